// In-place forward FFT of real data, radix 2, decimation in time.
//
// Computes X_k = sum_n x_n e^(-2 pi i k n / N) and packs the half spectrum
// into the same N doubles:
//   data[0] = X_0 (real), data[1] = X_(N/2) (real),
//   data[2k], data[2k+1] = Re X_k, Im X_k for k = 1 .. N/2 - 1.
// The sign of the exponent matters: the phase-advance estimate relies on it.
//
// `length` is a power of two from 4 to 8192; gSineTable must be filled.
// Never allocates.
#pragma once

namespace tonvale {

void realFft(double* data, int length);

} // namespace tonvale
