#pragma once
// Whether the pixel loops use the processor's 256-bit vectors (AVX2). They
// are used where the processor has them; every path gives the same sums, and
// turning them off holds the narrower paths to the same pixels.

namespace emberlrn {

bool WideVectors();
// On takes effect only where the processor has them.
void SetWideVectors(bool on);

}  // namespace emberlrn
