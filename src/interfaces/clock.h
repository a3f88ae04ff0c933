#pragma once
// Time as the saver sees it: a monotonic millisecond count for pacing and
// elapsed times, and the local date and time for the calendar overlay.

#include <cstdint>
#include <ctime>

namespace emberlrn {

struct LocalDateTime {
  std::tm tm{};         // local calendar fields, as localtime_r fills them
  int millisecond = 0;  // 0..999 within the second
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds from an arbitrary start; never goes backwards.
  virtual int64_t MonotonicMs() const = 0;
  // The local date and time now.
  virtual LocalDateTime Now() const = 0;
};

}  // namespace emberlrn
