#pragma once
// The machine's clocks: CLOCK_MONOTONIC and the local time zone.

#include "interfaces/clock.h"

namespace emberlrn {

// The machine's clocks.
class SystemClock final : public Clock {
 public:
  int64_t MonotonicMs() const override;
  LocalDateTime Now() const override;
};

}  // namespace emberlrn
