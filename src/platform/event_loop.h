#pragma once
// The one event loop of the saver: on one thread it hands out, one at a
// time, the input events, the ticks of the window timers and the frame
// events of the drawing control. Between them it sleeps until the next thing
// is due or input arrives; it never spins.
//
// Timers behave like window timers: a tick that comes due while a handler
// runs is delivered once, late; ticks missed meanwhile are dropped, never
// queued, and the timer keeps its phase. Timers due at the same moment tick
// in the order they were made. Frames come at most kMaxFramesPerSecond times
// a second, and only while the frame source wants them; a source that knows
// when its picture next changes by itself gets frames only from then on, or
// after input or a timer tick that may have changed it.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

namespace emberlrn {

class Clock;

// Where input comes from: the window system in the program, a script in tests.
class InputSource {
 public:
  virtual ~InputSource() = default;
  // Returns when input is pending or timeoutMs milliseconds have passed,
  // whichever comes first (at once for 0). Sleeps meanwhile.
  virtual void WaitForInput(int64_t timeoutMs) = 0;
  // Hands every pending input event to its handler; true when there was any.
  virtual bool DispatchInput() = 0;
};

// What raises the frame events: the drawing control.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // True while frames are to be composed (the display is open).
  virtual bool FramesWanted() const = 0;
  // Raises one frame event.
  virtual void RaiseFrame() = 0;
  // The moment the picture next changes of its own accord (a flame step,
  // the clock's next second), when the source knows it; nothing when frames
  // are wanted at the full pace.
  virtual std::optional<int64_t> NextChangeMs() const { return std::nullopt; }
};

class EventLoop {
 public:
  using TimerId = int;
  static constexpr int kMaxFramesPerSecond = 60;

  EventLoop(const Clock& clock, InputSource& input);
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // What a timer's ticks may touch: the picture, or the sound alone (whose
  // ticks call for no frame).
  enum class Touches { kPicture, kSoundOnly };
  // A new timer, enabled, first due one interval from now.
  TimerId AddTimer(int64_t intervalMs, std::function<void()> onTick,
                   Touches touches = Touches::kPicture);
  // A disabled timer receives no ticks; enabling it again starts a fresh
  // interval from now.
  void SetTimerEnabled(TimerId timer, bool enabled);
  bool TimerEnabled(TimerId timer) const;
  // A timer whose handler knows when it next has work (nothing while it has
  // none) gets no ticks before then: the loop sleeps through them, and the
  // tick that comes is the first of the timer's phase at or after that moment.
  void SetTimerWorkDue(TimerId timer, std::function<std::optional<int64_t>()> workDueMs);
  // A timer that may tick up to slackMs late wakes the loop only when that
  // time is up; a wake for anything else (a frame) that comes after it is
  // due takes its tick along. Its phase is kept.
  void SetTimerSlack(TimerId timer, int64_t slackMs);

  void SetFrameSource(FrameSource* frames);

  // Runs until Stop is called.
  void Run();
  // Runs until the clock has moved on by durationMs (everything due up to
  // that moment is delivered), or until Stop is called.
  void RunFor(int64_t durationMs);
  // The loop returns once the handler that called this has finished.
  void Stop() { stopped_ = true; }

  // Frame events raised so far.
  int64_t FrameCount() const { return frameCount_; }

 private:
  struct Timer {
    int64_t intervalMs;
    int64_t dueMs;
    bool enabled;
    std::function<void()> onTick;
    Touches touches;
    std::function<std::optional<int64_t>()> workDueMs;
    int64_t slackMs = 0;
  };
  // When the timer's next tick that has work comes, or nothing when none will.
  std::optional<int64_t> TickDueMs(const Timer& timer) const;

  void RunUntil(std::optional<int64_t> endMs);
  void DeliverDueTimers(int64_t nowMs);
  // When the frame source says when its picture next changes: the earlier of
  // that and now, once input or a timer may have changed it.
  std::optional<int64_t> ChangeDueMs() const;
  void DeliverDueFrame(int64_t nowMs);
  int64_t NextFrameDueMs() const;
  // The earliest moment something is due, or nothing when nothing is.
  std::optional<int64_t> NextWakeMs(bool framesWanted) const;

  const Clock& clock_;
  InputSource& input_;
  FrameSource* frames_ = nullptr;
  std::deque<Timer> timers_;  // a deque keeps references valid as timers are added
  bool stopped_ = false;

  // Frames are due at frameEpochMs_ + frameIndex_ * 1000 / 60, so that the
  // pace averages 60 a second on a millisecond clock.
  bool framesRunning_ = false;
  int64_t frameEpochMs_ = 0;
  int64_t frameIndex_ = 0;
  int64_t frameCount_ = 0;
  bool stirred_ = true;  // input or a tick may have changed the picture since the last frame
};

}  // namespace emberlrn
