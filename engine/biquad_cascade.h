// A cascade of second-order IIR sections (direct form II, double precision):
// the anti-aliasing low-pass in front of decimation and the hum notch.
//
// Filters are designed from a normalised analog prototype through the
// bilinear transform and a low-pass-to-low-pass frequency substitution.
// Coefficients are computed when sections are added; filtering never
// allocates. One thread at a time.
#pragma once

#include <cstdint>

namespace tonvale {

// b0 and a0 are normalised to 1; w1, w2 are the state.
struct BiquadSection {
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double w1 = 0.0;
    double w2 = 0.0;
};

class BiquadCascade {
  public:
    static constexpr int32_t kMaxSections = 10;
    // Frequencies above this (cycles per sample) are treated as this.
    static constexpr double kHighestCutoff = 0.4995;

    BiquadCascade() = default;
    ~BiquadCascade() { release(); }
    BiquadCascade(const BiquadCascade&) = delete;
    BiquadCascade& operator=(const BiquadCascade&) = delete;

    // Room for `capacity` sections (clipped to 0 .. kMaxSections), none in
    // use, gain 1. False when memory is short.
    bool create(int32_t capacity);
    void release();

    // Appends `sections` sections of a Chebyshev type I low-pass of order
    // 2 * sections with cutoff `cutoff` (cycles per sample). The DC gain is
    // `ripple` and the passband stays between ripple and 1; ripple >= 1 gives
    // a Butterworth response. Fails without change when there is no room or
    // ripple is not positive.
    bool addLowPass(int32_t sections, double cutoff, float ripple);

    // Appends a notch at `centre` (cycles per sample) whose -3 dB points lie
    // bandwidthOctaves apart; unity gain at DC. Fails without change when
    // there is no room.
    bool addNotch(double centre, float bandwidthOctaves);

    // Each sample becomes the cascade's output times gain. An empty cascade
    // leaves the samples bit-identical.
    void filterInPlace(float* samples, int32_t count);

    // Produces `count` outputs from count * factor inputs (factor 1 .. 8):
    // every input passes the filter, and output j is the filtered input
    // j * factor.
    void decimate(float* out, const int16_t* in, int32_t count, int32_t factor);

    int32_t capacity() const { return capacity_; }
    int32_t count() const { return count_; }
    double gain() const { return gain_; }
    const BiquadSection& section(int32_t index) const { return sections_[index]; }

  private:
    void store(double b0, double b1, double b2, double a1, double a2);
    double run(double x);

    int32_t capacity_ = 0;
    int32_t count_ = 0;
    BiquadSection* sections_ = nullptr;
    double gain_ = 1.0;
};

} // namespace tonvale
