// A seeded generator whose sequence is fixed by this file alone (the
// standard library's distributions differ between implementations), so the
// same seed gives the same recordings everywhere.
#pragma once

#include <cmath>
#include <cstdint>

namespace tonvale::accuracy {

class BenchRandom {
  public:
    explicit BenchRandom(uint64_t seed) : state_(seed) {}

    // splitmix64
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // [0, 1)
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    // Log-uniform between two positive values, as notes spread over octaves.
    double logUniform(double low, double high) { return low * std::pow(high / low, uniform()); }
    int below(int count) { return static_cast<int>(uniform() * count); }

    // Standard normal (Box-Muller, one value per call).
    double gaussian() {
        const double u = 1.0 - uniform(); // (0, 1]
        const double v = uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
    }

  private:
    uint64_t state_;
};

} // namespace tonvale::accuracy
