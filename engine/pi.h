// π in double precision, for the transform, the filters and the signals of
// tests; one definition so that they all agree to the last bit.
#pragma once

namespace tonvale {

constexpr double kPi = 3.14159265358979323846;
// For oscillators that run in extended precision (x87 80-bit long double).
constexpr long double kPiExtended = 3.141592653589793238462643383279502884L;

} // namespace tonvale
