#include "platform/event_loop.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_input.h"
#include "fakes/fake_system.h"

namespace emberlrn {
namespace {

class CountingFrames final : public FrameSource {
 public:
  explicit CountingFrames(FakeClock& clock) : clock_(clock) {}
  bool FramesWanted() const override { return wanted; }
  void RaiseFrame() override {
    times.push_back(clock_.MonotonicMs());
    // A change shown moves the next one on, as a flame step does.
    if (nextChange && *nextChange <= clock_.MonotonicMs()) nextChange = *nextChange + changeEveryMs;
    clock_.AdvanceMs(costMs);
  }
  std::optional<int64_t> NextChangeMs() const override { return nextChange; }
  bool wanted = true;
  int64_t costMs = 0;
  std::optional<int64_t> nextChange;
  int64_t changeEveryMs = 0;
  std::vector<int64_t> times;

 private:
  FakeClock& clock_;
};

struct LoopTest : ::testing::Test {
  FakeClock clock;
  FakeInputSource input{clock};
  EventLoop loop{clock, input};
  int64_t start = clock.MonotonicMs();
  int64_t Since() const { return clock.MonotonicMs() - start; }
};

TEST_F(LoopTest, TimersTickOncePerIntervalInCreationOrderAndSleepBetween) {
  std::vector<std::string> log;
  loop.AddTimer(1000, [&] { log.push_back("A@" + std::to_string(Since())); });
  loop.AddTimer(1000, [&] { log.push_back("B@" + std::to_string(Since())); });
  loop.AddTimer(2500, [&] { log.push_back("C@" + std::to_string(Since())); });
  loop.RunFor(5000);
  EXPECT_EQ(log,
            (std::vector<std::string>{"A@1000", "B@1000", "A@2000", "B@2000", "C@2500", "A@3000",
                                      "B@3000", "A@4000", "B@4000", "A@5000", "B@5000", "C@5000"}));
  EXPECT_EQ(Since(), 5000);
  EXPECT_EQ(input.zeroWaits, 0);
  EXPECT_LE(input.waits, 8);  // one sleep per distinct due moment
}

TEST_F(LoopTest, ALateTickIsDeliveredOnceAndMissedTicksAreDropped) {
  std::vector<int64_t> fast, slow;
  loop.AddTimer(1000, [&] { fast.push_back(Since()); });
  loop.AddTimer(1000, [&] {
    slow.push_back(Since());
    if (slow.size() == 2) clock.AdvanceMs(3500);  // a handler that keeps the thread busy
  });
  loop.RunFor(8000);
  // The fast timer's ticks due at 3000, 4000 and 5000 come as one at 5500;
  // then it keeps its phase.
  EXPECT_EQ(fast, (std::vector<int64_t>{1000, 2000, 5500, 6000, 7000, 8000}));
  EXPECT_EQ(slow, (std::vector<int64_t>{1000, 2000, 5500, 6000, 7000, 8000}));
}

TEST_F(LoopTest, DisabledTimersGetNoTicksAndRestartTheirIntervalWhenEnabled) {
  int ticks = 0;
  const auto timer = loop.AddTimer(1000, [&] { ++ticks; });
  loop.AddTimer(1000, [&] {
    if (Since() == 2000) loop.SetTimerEnabled(timer, false);
  });
  loop.RunFor(5300);
  EXPECT_EQ(ticks, 2);
  EXPECT_FALSE(loop.TimerEnabled(timer));
  loop.SetTimerEnabled(timer, true);
  loop.RunFor(1000);
  EXPECT_EQ(ticks, 3);  // at 6300, a full interval after enabling
  EXPECT_FALSE(loop.TimerEnabled(99));
}

TEST_F(LoopTest, ATimerThatKnowsWhenItHasWorkSleepsUntilThenKeepingItsPhase) {
  std::vector<int64_t> ticks;
  std::optional<int64_t> work = start + 55;
  const EventLoop::TimerId timer = loop.AddTimer(20, [&] {
    ticks.push_back(Since());
    work = clock.MonotonicMs() >= start + 300 ? std::nullopt : std::optional(start + 300);
  });
  loop.SetTimerWorkDue(timer, [&] { return work; });
  loop.RunFor(1000);
  // The first tick of its phase at or after each moment, none while it has no work.
  EXPECT_EQ(ticks, (std::vector<int64_t>{60, 300}));
  EXPECT_LE(input.waits, 3);
  // Work that is already overdue is ticked for at once.
  work = clock.MonotonicMs() - 500;
  loop.RunFor(100);
  EXPECT_EQ(ticks, (std::vector<int64_t>{60, 300, 1000}));
}

TEST_F(LoopTest, ATimerWithSlackRidesOnOtherWakesAndWakesTheLoopOnlyWhenItRunsOut) {
  std::vector<int64_t> slack, strict;
  const EventLoop::TimerId timer = loop.AddTimer(250, [&] { slack.push_back(Since()); });
  loop.SetTimerSlack(timer, 250);
  loop.AddTimer(100, [&] { strict.push_back(Since()); });
  loop.RunFor(1000);
  // Taken along by the 100 ms timer's wakes, its phase kept.
  EXPECT_EQ(slack, (std::vector<int64_t>{300, 500, 800, 1000}));
  EXPECT_EQ(input.waits, 10);
  // Alone, it wakes the loop when its slack is used up.
  loop.SetTimerEnabled(1, false);
  slack.clear();
  loop.RunFor(1000);
  EXPECT_EQ(slack, (std::vector<int64_t>{1500, 2000}));
}

TEST_F(LoopTest, TimerMadeDuringATickStartsItsOwnInterval) {
  std::vector<int64_t> second;
  bool made = false;
  loop.AddTimer(1000, [&] {
    if (!made) {
      made = true;
      loop.AddTimer(400, [&] { second.push_back(Since()); });
    }
  });
  loop.RunFor(2000);
  EXPECT_EQ(second, (std::vector<int64_t>{1400, 1800}));
}

TEST_F(LoopTest, FramesComeAtMostSixtyASecondPacedBySleeping) {
  CountingFrames frames(clock);
  loop.SetFrameSource(&frames);
  loop.RunFor(10000);
  // 60 a second from the first at once, and one at the very end.
  EXPECT_EQ(frames.times.size(), 601u);
  EXPECT_EQ(frames.times.front(), start);
  for (size_t i = 1; i < frames.times.size(); ++i) {
    const int64_t gap = frames.times[i] - frames.times[i - 1];
    ASSERT_TRUE(gap == 16 || gap == 17) << "gap " << gap << " at frame " << i;
  }
  EXPECT_EQ(input.zeroWaits, 0);
  EXPECT_EQ(loop.FrameCount(), 601);
}

TEST_F(LoopTest, SlowFramesDoNotPileUpAndTimersStillTick) {
  CountingFrames frames(clock);
  frames.costMs = 40;  // a frame that takes longer than its interval
  int ticks = 0;
  loop.AddTimer(1000, [&] { ++ticks; });
  loop.SetFrameSource(&frames);
  loop.RunFor(4000);
  // Each frame follows the one before as soon as it has finished, never two at once.
  for (size_t i = 1; i < frames.times.size(); ++i) {
    EXPECT_GE(frames.times[i] - frames.times[i - 1], 40);
  }
  EXPECT_GE(frames.times.size(), 90u);
  EXPECT_EQ(ticks, 4);
}

TEST_F(LoopTest, ASourceThatKnowsItsNextChangeGetsFramesThenOrAfterInputAndPictureTicks) {
  CountingFrames frames(clock);
  frames.nextChange = start + 250;
  frames.changeEveryMs = 10000;
  loop.SetFrameSource(&frames);
  int soundTicks = 0;
  loop.AddTimer(20, [&] { ++soundTicks; }, EventLoop::Touches::kSoundOnly);
  loop.AddTimer(1000, [] {});
  input.At(start + 600, [] {});
  loop.RunFor(1100);
  std::vector<int64_t> since;
  for (int64_t t : frames.times) since.push_back(t - start);
  // The first frame at once, then the change, the input and the picture tick;
  // the sound's ticks ask for none.
  EXPECT_EQ(since, (std::vector<int64_t>{0, 250, 600, 1000}));
  EXPECT_EQ(soundTicks, 55);
  // A source whose changes come every frame gets frames at the full pace again.
  frames.times.clear();
  frames.nextChange = clock.MonotonicMs();
  frames.changeEveryMs = 0;
  loop.RunFor(1000);
  EXPECT_GE(frames.times.size(), 59u);
}

TEST_F(LoopTest, NoFramesWhileNotWantedAndTheyRestartAtOnce) {
  CountingFrames frames(clock);
  frames.wanted = false;
  loop.SetFrameSource(&frames);
  int ticks = 0;
  loop.AddTimer(1000, [&] {
    ++ticks;
    if (ticks == 3) frames.wanted = true;
  });
  loop.RunFor(2900);
  EXPECT_TRUE(frames.times.empty());
  EXPECT_LE(input.waits, 4);  // slept from tick to tick
  loop.RunFor(200);
  ASSERT_FALSE(frames.times.empty());
  EXPECT_EQ(frames.times.front() - start, 3000);
}

TEST_F(LoopTest, InputIsDeliveredAtItsMomentBeforeTimersOfThatMoment) {
  std::vector<std::string> log;
  loop.AddTimer(1000, [&] { log.push_back("tick@" + std::to_string(Since())); });
  input.At(start + 1000, [&] { log.push_back("key@" + std::to_string(Since())); });
  input.At(start + 1234, [&] { log.push_back("move@" + std::to_string(Since())); });
  loop.RunFor(2000);
  EXPECT_EQ(log, (std::vector<std::string>{"key@1000", "tick@1000", "move@1234", "tick@2000"}));
}

TEST_F(LoopTest, StopEndsTheRunAfterTheHandler) {
  int ticks = 0;
  loop.AddTimer(1000, [&] {
    if (++ticks == 3) loop.Stop();
  });
  loop.Run();
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(Since(), 3000);
}

TEST_F(LoopTest, EndingTheProcessFromAHandlerLeavesTheLoop) {
  FakeSystem system;
  loop.AddTimer(1000, [&] { system.EndProcess(); });
  EXPECT_THROW(loop.Run(), ProcessEnded);
  EXPECT_EQ(Since(), 1000);
}

TEST_F(LoopTest, NineHoursOfSixTimersRunInFakeTime) {
  int64_t ticks = 0;
  for (int i = 0; i < 6; ++i) loop.AddTimer(1000, [&] { ++ticks; });
  loop.RunFor(9LL * 3600 * 1000);
  EXPECT_EQ(ticks, 6LL * 9 * 3600);
}

}  // namespace
}  // namespace emberlrn
