// π in double precision, for the transform, the filters and the signals of
// tests; one definition so that they all agree to the last bit.
#pragma once

namespace tonvale {

constexpr double kPi = 3.14159265358979323846;

} // namespace tonvale
