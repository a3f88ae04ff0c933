#include "frame/clocks.h"

#include <gtest/gtest.h>

#include "frame/compose_frame.h"
#include "frame/frame_fixture.h"
#include "frame/rotation.h"

namespace emberlrn {
namespace {

using namespace testing;

// What the notices of one frame show: 0 none, 1 or 2 the notice, with its countdown.
struct NoticeShown {
  int notice = 0;
  int countdown = 0;
  bool operator==(const NoticeShown&) const = default;
};

NoticeShown ComposeAndRead(FrameFixture& f) {
  f.ddrw.calls.clear();
  f.Compose();
  NoticeShown shown;
  for (const std::string& call : f.ddrw.calls) {
    if (call.rfind("DrawText(1 of 2", 0) == 0) shown.notice = 1;
    if (call.rfind("DrawText(2 of 2", 0) == 0) shown.notice = 2;
    const std::string before = "DrawText(This graphic will disappear in: ";
    if (call.rfind(before, 0) == 0) shown.countdown = std::stoi(call.substr(before.size()));
  }
  return shown;
}

TEST(NoticeClockTest, AFirstRunShowsNoticeOneThenNoticeTwoAndStoresBothFlags) {
  FrameFixture f(/*noticesDone=*/false);
  EXPECT_EQ(ComposeAndRead(f), (NoticeShown{1, 0}));  // before the first tick
  for (int n = 1; n <= 41; ++n) {
    f.clocks.NoticeClockTick(f.store);
    const NoticeShown shown = ComposeAndRead(f);
    if (n <= 19) {
      EXPECT_EQ(shown, (NoticeShown{1, 20 - n})) << "tick " << n;
    } else if (n <= 39) {
      EXPECT_EQ(shown, (NoticeShown{2, 40 - n})) << "tick " << n;
    } else {
      EXPECT_EQ(shown, (NoticeShown{})) << "tick " << n;
    }
    const size_t writes = n < 20 ? 0 : n < 40 ? 1 : 2;
    EXPECT_EQ(f.store.writes.size(), writes) << "tick " << n;
  }
  EXPECT_EQ(f.store.writes, (std::vector<MemoryStore::Write>{{"Settings", "RunMon", "True"},
                                                             {"Settings", "PwrMsg", "True"}}));
  EXPECT_FALSE(f.clocks.timer3Enabled);
  // A stopped clock changes nothing, should a tick still arrive.
  f.clocks.NoticeClockTick(f.store);
  EXPECT_EQ(f.clocks.noticeTicks, 41);
  EXPECT_EQ(f.store.writes.size(), 2u);
}

TEST(NoticeClockTest, WithNoticeOneDoneNoticeTwoCountsFrom39) {
  FrameFixture f(/*noticesDone=*/false);
  f.clocks.runMonShown = true;
  EXPECT_EQ(ComposeAndRead(f), (NoticeShown{2, 0}));
  for (int n = 1; n <= 39; ++n) {
    f.clocks.NoticeClockTick(f.store);
    EXPECT_EQ(ComposeAndRead(f), (NoticeShown{2, 40 - n})) << "tick " << n;
  }
  f.clocks.NoticeClockTick(f.store);
  EXPECT_EQ(ComposeAndRead(f), (NoticeShown{}));
  EXPECT_EQ(f.store.writes, (std::vector<MemoryStore::Write>{{"Settings", "PwrMsg", "True"}}));
}

TEST(NoticeClockTest, WithBothDoneNothingShowsAndTheClockStopsAtTick41) {
  FrameFixture f(/*noticesDone=*/true);
  for (int n = 1; n <= 41; ++n) {
    EXPECT_TRUE(f.clocks.timer3Enabled) << n;
    f.clocks.NoticeClockTick(f.store);
    EXPECT_EQ(ComposeAndRead(f), (NoticeShown{}));
  }
  EXPECT_FALSE(f.clocks.timer3Enabled);
  EXPECT_TRUE(f.store.writes.empty());
}

TEST(RunClockTest, TheMouseIsArmedFromTheFifthTickAfterTheFirstFrame) {
  FrameFixture f;
  f.clocks.firstFrame = true;
  f.Compose();
  for (int tick = 1; tick <= 4; ++tick) {
    f.clocks.RunClockTick();
    EXPECT_FALSE(f.clocks.mouseArmed) << tick;
  }
  f.clocks.RunClockTick();
  EXPECT_TRUE(f.clocks.mouseArmed);
  EXPECT_EQ(f.clocks.runSeconds, 5);
}

TEST(RunClockTest, TicksBeforeTheFirstFrameArmTheMouseForGood) {
  FrameFixture f;
  f.clocks.firstFrame = true;
  for (int tick = 1; tick <= 5; ++tick) f.clocks.RunClockTick();
  EXPECT_TRUE(f.clocks.mouseArmed);
  f.Compose();
  EXPECT_EQ(f.clocks.runSeconds, 0);
  EXPECT_TRUE(f.clocks.mouseArmed);
  f.clocks.RunClockTick();
  EXPECT_TRUE(f.clocks.mouseArmed);
}

TEST(RunClockTest, TheCountStartsAgainPastItsLimit) {
  AnimationClocks clocks;
  clocks.runSeconds = kRunSecondsLimit;
  clocks.mouseArmed = true;
  clocks.RunClockTick();
  EXPECT_EQ(clocks.runSeconds, 0);
  EXPECT_TRUE(clocks.mouseArmed);  // once armed, for good
}

TEST(FeatureClockTest, TheTipsFollowTheNoticesOfAFirstRun) {
  AnimationClocks clocks;
  clocks.featureTipsDue = true;
  clocks.pwrMsgShown = true;  // the notices finished at tick 40
  std::vector<std::pair<bool, int>> seen(86);
  for (int n = 1; n <= 85; ++n) {
    clocks.FeatureClockTick();
    seen[n] = {clocks.featuresOn, clocks.featureTip};
  }
  EXPECT_EQ(seen[58], (std::pair<bool, int>{false, 1}));
  EXPECT_EQ(seen[59], (std::pair<bool, int>{true, 1}));
  EXPECT_EQ(seen[64], (std::pair<bool, int>{true, 1}));
  EXPECT_EQ(seen[65], (std::pair<bool, int>{true, 2}));
  EXPECT_EQ(seen[70], (std::pair<bool, int>{true, 3}));
  EXPECT_EQ(seen[75], (std::pair<bool, int>{true, 4}));
  EXPECT_EQ(seen[80], (std::pair<bool, int>{true, 5}));
  EXPECT_EQ(seen[84], (std::pair<bool, int>{true, 5}));
  EXPECT_EQ(seen[85], (std::pair<bool, int>{false, 5}));
  EXPECT_FALSE(clocks.timer4Enabled);
}

TEST(FeatureClockTest, NoTipsInALaterRunNorOverANoticeStillShowing) {
  AnimationClocks later;
  later.pwrMsgShown = true;
  later.featureTipsDue = false;
  AnimationClocks unfinished;
  unfinished.featureTipsDue = true;
  unfinished.pwrMsgShown = false;
  for (AnimationClocks* clocks : {&later, &unfinished}) {
    for (int n = 1; n <= 85; ++n) {
      clocks->FeatureClockTick();
      EXPECT_FALSE(clocks->featuresOn) << n;
    }
    EXPECT_FALSE(clocks->timer4Enabled);
  }
}

TEST(RotationTest, RotateFPTurnsMinutesIntoSecondsWithinSixteenBits) {
  const std::vector<std::pair<int16_t, int16_t>> cases = {
      {1, 60},        {60, 3600}, {546, 32760}, {547, 32760}, {9999, 32760},
      {32767, 32760}, {0, 0},     {-1, 0},      {-32768, 0}};
  for (const auto& [minutes, seconds] : cases) {
    StyleRotation rotation;
    rotation.rotateTicks = minutes;
    rotation.RotateFP();
    EXPECT_EQ(rotation.rotateTicks, seconds) << minutes;
  }
}

TEST(RotationTest, GatherFPAlwaysEnds) {
  StyleRotation rotation;
  rotation.showStyle = {0, 0, 0, 0, 0, 0, 0};
  rotation.fireplaceIndex = 3;
  rotation.GatherFP();
  EXPECT_EQ(rotation.fireplaceIndex, 3);       // nothing to find: unchanged
  rotation.showStyle = {0, 1, 0, 0, 0, 0, 0};
  rotation.GatherFP();
  EXPECT_EQ(rotation.fireplaceIndex, 1);
  rotation.fireplaceIndex = 0;  // out of range: the search starts at 1
  rotation.showStyle = {0, 0, 0, 0, 0, 0, 1};
  rotation.GatherFP();
  EXPECT_EQ(rotation.fireplaceIndex, 6);
}

TEST(RotationTest, ThePeriodIsAnEqualityTestAndTheCountNeverOverflows) {
  StyleRotation rotation;
  rotation.rotateOn = 1;
  rotation.showStyle = {0, 1, 1, 1, 1, 1, 1};
  rotation.fireplaceIndex = 1;
  rotation.rotateTicks = 0;  // "RotateT" 0: never reached
  for (int tick = 0; tick < 100000; ++tick) rotation.Tick();
  EXPECT_EQ(rotation.fireplaceIndex, 1);
  EXPECT_GE(rotation.rotateCount, 0);
  EXPECT_EQ(rotation.rotateCount, 100000 % 32768);  // went back to 0 at 32767, twice, then counted on
}

}  // namespace
}  // namespace emberlrn
