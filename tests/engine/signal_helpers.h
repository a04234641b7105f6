// Test signals and reference transforms, independent of the engine's code.
#pragma once

#include "engine/pi.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

namespace tonvale::test {

struct Partial {
    double freqHz;
    double amplitude; // in 16-bit units
};

// Sum of sines, sample i at time i / rateHz (starting phase 0).
inline std::vector<double> makeTone(const std::vector<Partial>& partials, double rateHz,
                                    size_t count, size_t firstSample = 0) {
    std::vector<double> out(count, 0.0);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(firstSample + i) / rateHz;
        for (const Partial& p : partials) {
            out[i] += p.amplitude * std::sin(2.0 * kPi * p.freqHz * t);
        }
    }
    return out;
}

inline std::vector<int16_t> toPcm16(const std::vector<double>& samples) {
    std::vector<int16_t> out(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        const double v = std::round(samples[i]);
        out[i] = static_cast<int16_t>(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
    }
    return out;
}

// Direct DFT in long double: X_k = sum x_n e^(-2 pi i k n / N).
inline std::complex<long double> directDft(const std::vector<double>& x, size_t k) {
    const size_t n = x.size();
    std::complex<long double> sum = 0.0L;
    for (size_t i = 0; i < n; ++i) {
        const long double angle =
            -2.0L * 3.141592653589793238462643383279L * static_cast<long double>((k * i) % n) / n;
        sum += static_cast<long double>(x[i]) * std::complex<long double>(cosl(angle), sinl(angle));
    }
    return sum;
}

inline std::vector<double> hannWindowed(std::vector<double> x) {
    const size_t n = x.size();
    for (size_t i = 0; i < n; ++i) {
        x[i] *= 0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(i) / n);
    }
    return x;
}

} // namespace tonvale::test
