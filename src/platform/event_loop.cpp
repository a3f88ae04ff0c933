#include "platform/event_loop.h"

#include <algorithm>
#include <utility>

#include "interfaces/clock.h"

namespace emberlrn {
namespace {

// With nothing due the loop still looks up now and then; input wakes it
// earlier anyway.
constexpr int64_t kIdleWaitMs = 1000;

}  // namespace

EventLoop::EventLoop(const Clock& clock, InputSource& input) : clock_(clock), input_(input) {}

EventLoop::TimerId EventLoop::AddTimer(int64_t intervalMs, std::function<void()> onTick,
                                       Touches touches) {
  const int64_t interval = std::max<int64_t>(intervalMs, 1);
  timers_.push_back(
      {interval, clock_.MonotonicMs() + interval, true, std::move(onTick), touches, nullptr});
  return static_cast<TimerId>(timers_.size() - 1);
}

void EventLoop::SetTimerWorkDue(TimerId timer,
                                std::function<std::optional<int64_t>()> workDueMs) {
  if (timer < 0 || static_cast<size_t>(timer) >= timers_.size()) return;
  timers_[timer].workDueMs = std::move(workDueMs);
}

std::optional<int64_t> EventLoop::TickDueMs(const Timer& t) const {
  if (!t.enabled) return std::nullopt;
  if (!t.workDueMs) return t.dueMs;
  const std::optional<int64_t> work = t.workDueMs();
  if (!work) return std::nullopt;
  if (*work <= t.dueMs) return t.dueMs;
  return t.dueMs + (*work - t.dueMs + t.intervalMs - 1) / t.intervalMs * t.intervalMs;
}

void EventLoop::SetTimerSlack(TimerId timer, int64_t slackMs) {
  if (timer < 0 || static_cast<size_t>(timer) >= timers_.size()) return;
  timers_[timer].slackMs = std::max<int64_t>(slackMs, 0);
}

void EventLoop::SetTimerEnabled(TimerId timer, bool enabled) {
  if (timer < 0 || static_cast<size_t>(timer) >= timers_.size()) return;
  Timer& t = timers_[timer];
  if (enabled && !t.enabled) t.dueMs = clock_.MonotonicMs() + t.intervalMs;
  t.enabled = enabled;
}

bool EventLoop::TimerEnabled(TimerId timer) const {
  if (timer < 0 || static_cast<size_t>(timer) >= timers_.size()) return false;
  return timers_[timer].enabled;
}

void EventLoop::SetFrameSource(FrameSource* frames) {
  frames_ = frames;
  framesRunning_ = false;
  stirred_ = true;
}

void EventLoop::Run() { RunUntil(std::nullopt); }

void EventLoop::RunFor(int64_t durationMs) { RunUntil(clock_.MonotonicMs() + durationMs); }

void EventLoop::RunUntil(std::optional<int64_t> endMs) {
  stopped_ = false;
  while (!stopped_) {
    if (input_.DispatchInput()) stirred_ = true;
    if (stopped_) break;
    // Everything due at the moment of this pass is delivered, the end
    // moment included.
    const int64_t passMs = clock_.MonotonicMs();
    DeliverDueTimers(passMs);
    if (stopped_) break;
    DeliverDueFrame(clock_.MonotonicMs());
    if (stopped_ || (endMs && passMs >= *endMs)) break;

    const int64_t now = clock_.MonotonicMs();
    const bool framesWanted = frames_ != nullptr && frames_->FramesWanted();
    int64_t wake = NextWakeMs(framesWanted).value_or(now + kIdleWaitMs);
    if (endMs) wake = std::min(wake, *endMs);
    input_.WaitForInput(std::max<int64_t>(wake - now, 0));
  }
}

void EventLoop::DeliverDueTimers(int64_t nowMs) {
  // By index: a tick may add a timer (the warning window makes its own).
  for (size_t i = 0; i < timers_.size() && !stopped_; ++i) {
    const std::optional<int64_t> due = TickDueMs(timers_[i]);
    if (!due || *due > nowMs) continue;
    // One late tick stands for all that were missed; the phase is kept.
    Timer& t = timers_[i];
    const int64_t missed = (nowMs - t.dueMs) / t.intervalMs;
    t.dueMs += (missed + 1) * t.intervalMs;
    if (t.touches == Touches::kPicture) stirred_ = true;
    t.onTick();
  }
}

int64_t EventLoop::NextFrameDueMs() const {
  return frameEpochMs_ + frameIndex_ * 1000 / kMaxFramesPerSecond;
}

void EventLoop::DeliverDueFrame(int64_t nowMs) {
  if (frames_ == nullptr || !frames_->FramesWanted()) {
    framesRunning_ = false;
    return;
  }
  if (!framesRunning_) {
    framesRunning_ = true;
    frameEpochMs_ = nowMs;
    frameIndex_ = 0;
  }
  if (NextFrameDueMs() > nowMs) return;
  if (const std::optional<int64_t> change = ChangeDueMs(); change && *change > nowMs) return;
  stirred_ = false;
  ++frameIndex_;
  // More than a frame behind (a long handler, a slow machine): start the
  // pace again from now instead of hurrying to catch up.
  if (NextFrameDueMs() <= nowMs) {
    frameEpochMs_ = nowMs;
    frameIndex_ = 1;
  }
  ++frameCount_;
  frames_->RaiseFrame();
}

std::optional<int64_t> EventLoop::NextWakeMs(bool framesWanted) const {
  std::optional<int64_t> wake;
  for (const Timer& t : timers_) {
    std::optional<int64_t> due = TickDueMs(t);
    if (due) *due += t.slackMs;
    if (due && (!wake || *due < *wake)) wake = due;
  }
  if (framesWanted) {
    // Frames that were not running yet start at once.
    int64_t frameDue = framesRunning_ ? NextFrameDueMs() : clock_.MonotonicMs();
    if (const std::optional<int64_t> change = ChangeDueMs()) frameDue = std::max(frameDue, *change);
    if (!wake || frameDue < *wake) wake = frameDue;
  }
  return wake;
}

std::optional<int64_t> EventLoop::ChangeDueMs() const {
  if (frames_ == nullptr) return std::nullopt;
  const std::optional<int64_t> change = frames_->NextChangeMs();
  if (!change || stirred_) return std::nullopt;
  return change;
}

}  // namespace emberlrn
