#include "platform/system_clock.h"

#include <chrono>

namespace emberlrn {

int64_t SystemClock::MonotonicMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LocalDateTime SystemClock::Now() const {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  LocalDateTime result;
  localtime_r(&seconds, &result.tm);
  result.millisecond =
      static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  return result;
}

}  // namespace emberlrn
