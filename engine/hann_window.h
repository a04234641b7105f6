// The periodic Hann window w(n) = 0.5 - 0.5 cos(2 pi n / N), from the sine table.
#pragma once

namespace tonvale {

// Multiplies `length` samples in place. `length` is a power of two from 8 to
// 8192; gSineTable must be filled.
void applyHannWindow(double* samples, int length);

} // namespace tonvale
