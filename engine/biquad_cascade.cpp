#include "engine/biquad_cascade.h"

#include "engine/pi.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <new>

namespace tonvale {
namespace {

using Complex = std::complex<double>;

// 1 / tan(0.5): the analog frequency 1 rad/s lands on 1 rad per sample.
constexpr double kBilinear = 1.830487721712452;
constexpr double kTanHalf = 0.5463024898437905;
constexpr double kHighestAngle = 3.1384511013829623; // 2 pi * 0.4995

double targetAngle(double cyclesPerSample) {
    return cyclesPerSample > BiquadCascade::kHighestCutoff ? kHighestAngle
                                                           : 2.0 * kPi * cyclesPerSample;
}

// Coefficient of the substitution that moves the prototype's edge at 1 rad
// per sample to `angle`.
double substitutionAlpha(double angle) {
    return std::sin((1.0 - angle) / 2.0) / std::sin((1.0 + angle) / 2.0);
}

Complex bilinear(Complex s) {
    return (kBilinear + s) / (kBilinear - s);
}

Complex substitute(Complex z, double alpha) {
    return (z + alpha) / (1.0 + alpha * z);
}

// -2 Re(p) and |p|^2: the polynomial of a point and its conjugate.
void conjugatePair(Complex p, double& c1, double& c2) {
    c1 = -2.0 * p.real();
    c2 = std::norm(p);
}

} // namespace

bool BiquadCascade::create(int32_t capacity) {
    release();
    const int32_t slots = std::clamp(capacity, 0, kMaxSections);
    if (slots > 0) {
        sections_ = new (std::nothrow) BiquadSection[slots]();
        if (!sections_) {
            return false;
        }
    }
    capacity_ = slots;
    count_ = 0;
    gain_ = 1.0;
    return true;
}

void BiquadCascade::release() {
    delete[] sections_;
    sections_ = nullptr;
    capacity_ = 0;
    count_ = 0;
    gain_ = 1.0;
}

// The section's numerator b0, b1, b2 is stored normalised to b0 = 1, and b0
// moves into the cascade's gain.
void BiquadCascade::store(double b0, double b1, double b2, double a1, double a2) {
    sections_[count_++] = {b1 / b0, b2 / b0, a1, a2, 0.0, 0.0};
    gain_ *= b0;
}

bool BiquadCascade::addLowPass(int32_t sections, double cutoff, float ripple) {
    if (sections < 0 || sections > capacity_ - count_ || !(ripple > 0.0f)) {
        return false;
    }
    const int order = 2 * sections;
    double sh = 1.0;
    double ch = 1.0;
    if (ripple < 1.0f) {
        const float reciprocalSquare = 1.0f / (ripple * ripple);
        const double v = 1.0 / std::sqrt(reciprocalSquare - 1.0);
        const double a = std::pow(v + std::sqrt(v * v + 1.0), 1.0 / order);
        sh = (a - 1.0 / a) / 2.0;
        ch = (a + 1.0 / a) / 2.0;
        // Puts the prototype's -3 dB point at 1. A ripple deeper than 3 dB has
        // no such point in the stopband; its edge stays at the ripple's end.
        if (v > 1.0) {
            const double t = std::cosh(std::log(v + std::sqrt(v * v - 1.0)) / order);
            sh /= t;
            ch /= t;
        }
    }
    const double alpha = substitutionAlpha(targetAngle(cutoff));
    for (int32_t k = 0; k < sections; ++k) {
        const double theta = (2 * k + 1) * kPi / (2 * order);
        const Complex pole =
            substitute(bilinear({-std::sin(theta) * sh, std::cos(theta) * ch}), alpha);
        double a1 = 0.0;
        double a2 = 0.0;
        conjugatePair(pole, a1, a2);
        // Double zero at z = -1, which the substitution leaves in place.
        const double b1 = 2.0;
        const double b2 = 1.0;
        double g = (1.0 + a1 + a2) / (1.0 + b1 + b2);
        if (k == sections - 1 && ripple < 1.0f) {
            g *= ripple; // DC gain at the ripple trough
        }
        store(g, g * b1, g * b2, a1, a2);
    }
    return true;
}

bool BiquadCascade::addNotch(double centre, float bandwidthOctaves) {
    if (count_ >= capacity_) {
        return false;
    }
    const double centreAngle = targetAngle(centre);
    const double alpha = substitutionAlpha(centreAngle);
    const float halfBandwidth = bandwidthOctaves / 2.0f;
    const double edgeAngle = centreAngle / std::pow(2.0, static_cast<double>(halfBandwidth));

    // The lower edge taken back to the prototype, then to the analog axis.
    const Complex edge = std::polar(1.0, edgeAngle);
    const Complex u = (edge - alpha) / (1.0 - alpha * edge);
    const double prototypeEdge = std::atan2(u.imag(), u.real());
    const double analogEdge = std::tan(prototypeEdge / 2.0) / kTanHalf;
    // (s^2 + 1) / (s^2 + 2hs + 1) is 3 dB down at analogEdge and its inverse.
    const double h = (1.0 - analogEdge * analogEdge) / (2.0 * analogEdge);

    double b1 = 0.0;
    double b2 = 0.0;
    conjugatePair(substitute(bilinear({0.0, 1.0}), alpha), b1, b2);

    double a1 = 0.0;
    double a2 = 0.0;
    const double damping = std::fabs(h);
    if (damping > 1.0) {
        const double root = std::sqrt(4.0 * h * h - 4.0);
        const double z1 = substitute(bilinear((root - 2.0 * damping) / 2.0), alpha).real();
        const double z2 = substitute(bilinear((-2.0 * damping - root) / 2.0), alpha).real();
        a1 = -(z1 + z2);
        a2 = z1 * z2;
    } else {
        conjugatePair(substitute(bilinear({-damping, std::sqrt(1.0 - h * h)}), alpha), a1, a2);
    }
    const double g = (1.0 + a1 + a2) / (1.0 + b1 + b2);
    store(g, g * b1, g * b2, a1, a2);
    return true;
}

inline double BiquadCascade::run(double x) {
    for (int32_t i = 0; i < count_; ++i) {
        BiquadSection& s = sections_[i];
        const double w = x - s.a1 * s.w1 - s.a2 * s.w2;
        x = w + s.b1 * s.w1 + s.b2 * s.w2;
        s.w2 = s.w1;
        s.w1 = w;
    }
    return x;
}

void BiquadCascade::filterInPlace(float* samples, int32_t count) {
    if (count_ == 0) {
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        samples[i] = static_cast<float>(run(samples[i]) * gain_);
    }
}

namespace {

// Decimation in wavefront order, for the anti-aliasing designs: in step t,
// section k filters input sample t - k. The section steps of one t depend
// only on what step t - 1 produced, so the processor runs all sections side
// by side instead of waiting for each sample to ripple through the whole
// cascade. Every section still sees its samples in order with the same
// arithmetic as BiquadCascade::run(), so the output is bit-identical.
template <int Sections>
void decimateWavefront(BiquadSection* sections, double gain, float* out, const int16_t* in,
                       int32_t count, int32_t factor) {
    double a1[Sections];
    double a2[Sections];
    double b1[Sections];
    double b2[Sections];
    double w1[Sections];
    double w2[Sections];
    for (int k = 0; k < Sections; ++k) {
        a1[k] = sections[k].a1;
        a2[k] = sections[k].a2;
        b1[k] = sections[k].b1;
        b2[k] = sections[k].b2;
        w1[k] = sections[k].w1;
        w2[k] = sections[k].w2;
    }
    // carry[k] is the input waiting for section k: the output of section
    // k - 1 from the previous step; carry[Sections] is the cascade's output.
    double carry[Sections + 1] = {};
    auto step = [&](int k) {
        const double x = carry[k];
        const double w = x - a1[k] * w1[k] - a2[k] * w2[k];
        carry[k + 1] = w + b1[k] * w1[k] + b2[k] * w2[k];
        w2[k] = w1[k];
        w1[k] = w;
    };
    const int64_t samples = static_cast<int64_t>(count) * factor;
    for (int64_t t = 0; t < samples + Sections - 1; ++t) {
        // Sections k with 0 <= t - k < samples are busy; all of them once the
        // wave is in, fewer while it fills and drains.
        const int first = t >= samples ? static_cast<int>(t - samples + 1) : 0;
        const int last = t < Sections - 1 ? static_cast<int>(t) : Sections - 1;
        if (t < samples) {
            carry[0] = in[t];
        }
        for (int k = last; k >= first; --k) { // downwards: carry[k] is read before it is replaced
            step(k);
        }
        const int64_t done = t - (Sections - 1);
        if (last == Sections - 1 && done % factor == 0) {
            out[done / factor] = static_cast<float>(carry[Sections] * gain);
        }
    }
    for (int k = 0; k < Sections; ++k) {
        sections[k].w1 = w1[k];
        sections[k].w2 = w2[k];
    }
}

} // namespace

void BiquadCascade::decimate(float* out, const int16_t* in, int32_t count, int32_t factor) {
    if (count_ == 10) {
        decimateWavefront<10>(sections_, gain_, out, in, count, factor);
        return;
    }
    if (count_ == 8) {
        decimateWavefront<8>(sections_, gain_, out, in, count, factor);
        return;
    }
    for (int32_t j = 0; j < count; ++j) {
        const int16_t* group = in + static_cast<ptrdiff_t>(j) * factor;
        out[j] = static_cast<float>(run(group[0]) * gain_);
        for (int32_t i = 1; i < factor; ++i) {
            run(group[i]);
        }
    }
}

} // namespace tonvale
