#pragma once
// Input for the event loop in tests: events scripted at moments of the fake
// clock. Waiting moves the fake clock on instead of sleeping, so a test runs
// hours of the saver in milliseconds.

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "fake_clock.h"
#include "platform/event_loop.h"

namespace emberlrn {

class FakeInputSource final : public InputSource {
 public:
  explicit FakeInputSource(FakeClock& clock) : clock_(clock) {}

  // An input event delivered at that monotonic moment (events of the same
  // moment in the order they were scripted).
  void At(int64_t monotonicMs, std::function<void()> event) {
    events_.emplace(monotonicMs, std::move(event));
  }
  void After(int64_t delayMs, std::function<void()> event) {
    At(clock_.MonotonicMs() + delayMs, std::move(event));
  }

  void WaitForInput(int64_t timeoutMs) override {
    ++waits;
    if (timeoutMs == 0) ++zeroWaits;
    int64_t until = clock_.MonotonicMs() + timeoutMs;
    if (!events_.empty() && events_.begin()->first < until) {
      until = std::max(events_.begin()->first, clock_.MonotonicMs());
    }
    clock_.AdvanceMs(until - clock_.MonotonicMs());
  }

  bool DispatchInput() override {
    bool any = false;
    while (!events_.empty() && events_.begin()->first <= clock_.MonotonicMs()) {
      auto event = std::move(events_.begin()->second);
      events_.erase(events_.begin());
      event();
      any = true;
    }
    return any;
  }

  int64_t waits = 0;
  int64_t zeroWaits = 0;  // waits that did not sleep at all

 private:
  FakeClock& clock_;
  std::multimap<int64_t, std::function<void()>> events_;
};

}  // namespace emberlrn
