#pragma once
// A clock that moves only when the test moves it. It starts on a fixed local
// date and time, and the monotonic count and the wall clock advance together.

#include <ctime>

#include "interfaces/clock.h"

namespace emberlrn {

class FakeClock final : public Clock {
 public:
  // Starts at the given local time (default Tuesday 8 December 2026, 10:00:00).
  explicit FakeClock(int year = 2026, int month = 12, int day = 8, int hour = 10, int minute = 0,
                     int second = 0) {
    SetLocalTime(year, month, day, hour, minute, second);
  }

  void SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    wallBase_ = timegm(&tm);  // the fake's local time is kept as if it were UTC
    wallOffsetMs_ = monotonicMs_;
  }

  void AdvanceMs(int64_t ms) { monotonicMs_ += ms; }

  int64_t MonotonicMs() const override { return monotonicMs_; }

  LocalDateTime Now() const override {
    const int64_t sinceBase = monotonicMs_ - wallOffsetMs_;
    const std::time_t seconds = wallBase_ + static_cast<std::time_t>(sinceBase / 1000);
    LocalDateTime result;
    gmtime_r(&seconds, &result.tm);
    result.millisecond = static_cast<int>(sinceBase % 1000);
    return result;
  }

 private:
  int64_t monotonicMs_ = 1000000;  // arbitrary, not zero, so "0 means unset" bugs show
  int64_t wallOffsetMs_ = 0;
  std::time_t wallBase_ = 0;
};

}  // namespace emberlrn
