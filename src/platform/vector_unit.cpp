#include "platform/vector_unit.h"

#include <atomic>

namespace emberlrn {
namespace {

bool ProcessorHasWideVectors() {
#if defined(__x86_64__) || defined(__i386__)
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

std::atomic<bool>& Wide() {
  static std::atomic<bool> wide{ProcessorHasWideVectors()};
  return wide;
}

}  // namespace

bool WideVectors() { return Wide().load(std::memory_order_relaxed); }

void SetWideVectors(bool on) { Wide().store(on && ProcessorHasWideVectors()); }

}  // namespace emberlrn
