#include "engine/biquad_cascade.h"
#include "signal_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace tonvale {
namespace {

constexpr float kRipple = 0.98855311f; // 0.1 dB

// |H(e^(iw))| from the stored coefficients.
double coefficientResponse(const BiquadCascade& cascade, double cyclesPerSample) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * cyclesPerSample);
    std::complex<double> h = cascade.gain();
    for (int i = 0; i < cascade.count(); ++i) {
        const BiquadSection& s = cascade.section(i);
        h *= (1.0 + s.b1 * z1 + s.b2 * z1 * z1) / (1.0 + s.a1 * z1 + s.a2 * z1 * z1);
    }
    return std::abs(h);
}

// Runs a sine through filterInPlace and measures the output's amplitude after
// the transient, by correlation over whole periods.
double measuredResponse(BiquadCascade& cascade, double cyclesPerSample) {
    const int settle = 40000;
    const int measure = 20000;
    std::vector<float> samples(settle + measure);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<float>(10000.0 * std::sin(2.0 * kPi * cyclesPerSample * i));
    }
    cascade.filterInPlace(samples.data(), static_cast<int32_t>(samples.size()));
    double c = 0.0;
    double s = 0.0;
    for (int i = settle; i < settle + measure; ++i) {
        c += samples[i] * std::cos(2.0 * kPi * cyclesPerSample * i);
        s += samples[i] * std::sin(2.0 * kPi * cyclesPerSample * i);
    }
    return 2.0 * std::hypot(c, s) / measure / 10000.0;
}

double chebyshevPolynomial(int order, double x) {
    return std::fabs(x) <= 1.0 ? std::cos(order * std::acos(x))
                               : std::cosh(order * std::acosh(std::fabs(x)));
}

// Chebyshev type I of `order` whose -3 dB point is at cutoff, mapped by the
// bilinear transform prewarped at the cutoff.
double chebyshevReference(int order, double ripple, double cutoff, double cyclesPerSample) {
    const double epsilon = std::sqrt(1.0 / (ripple * ripple) - 1.0);
    const double scale = std::cosh(std::acosh(1.0 / epsilon) / order);
    const double omega = std::tan(kPi * cyclesPerSample) / std::tan(kPi * cutoff) * scale;
    const double t = chebyshevPolynomial(order, omega);
    return 1.0 / std::sqrt(1.0 + epsilon * epsilon * t * t);
}

TEST(BiquadCascade, CapacityIsClippedAndFullCascadesRefuseSections) {
    BiquadCascade cascade;
    ASSERT_TRUE(cascade.create(12));
    EXPECT_EQ(cascade.capacity(), 10);
    EXPECT_EQ(cascade.count(), 0);
    EXPECT_EQ(cascade.gain(), 1.0);
    EXPECT_FALSE(cascade.addLowPass(11, 0.1, kRipple));
    EXPECT_EQ(cascade.count(), 0);
    EXPECT_TRUE(cascade.addLowPass(8, 0.1, kRipple));
    EXPECT_FALSE(cascade.addLowPass(3, 0.1, kRipple));
    EXPECT_EQ(cascade.count(), 8);
    EXPECT_TRUE(cascade.addNotch(0.01, 0.25f));
    EXPECT_TRUE(cascade.addNotch(0.01, 0.25f));
    EXPECT_FALSE(cascade.addNotch(0.01, 0.25f));
    EXPECT_EQ(cascade.count(), 10);

    BiquadCascade none;
    ASSERT_TRUE(none.create(0));
    EXPECT_FALSE(none.addNotch(0.01, 0.25f));
}

TEST(BiquadCascade, AntiAliasLowPassesMatchTheChebyshevResponse) {
    struct Design {
        int factor;
        int sections;
    };
    for (Design d : {Design{2, 8}, Design{4, 10}, Design{8, 10}}) {
        BiquadCascade cascade;
        ASSERT_TRUE(cascade.create(10));
        const double cutoff = 0.9 * 0.5 / d.factor;
        ASSERT_TRUE(cascade.addLowPass(d.sections, cutoff, kRipple));
        EXPECT_NEAR(coefficientResponse(cascade, 0.0), kRipple, 1e-9);
        double worst = 0.0;
        for (double f = 0.0; f < 0.5; f += 0.0005) {
            const double reference = chebyshevReference(2 * d.sections, kRipple, cutoff, f);
            worst = std::max(worst, std::fabs(coefficientResponse(cascade, f) - reference));
        }
        EXPECT_LT(worst, 1e-6) << d.factor;
        EXPECT_NEAR(coefficientResponse(cascade, cutoff), std::sqrt(0.5), 1e-6);
        // Everything that would fold back below the new Nyquist is gone.
        EXPECT_LT(coefficientResponse(cascade, 0.5 / d.factor), 0.001) << d.factor;
        for (double f = 0.0; f < 0.8 * cutoff; f += cutoff / 50) {
            const double gain = coefficientResponse(cascade, f);
            EXPECT_GE(gain, kRipple - 1e-6);
            EXPECT_LE(gain, 1.0 + 1e-6);
        }
    }
}

TEST(BiquadCascade, ConstantSettlesToRippleTimesInputThroughTheLowPass) {
    BiquadCascade cascade;
    ASSERT_TRUE(cascade.create(10));
    ASSERT_TRUE(cascade.addLowPass(10, 0.1125, kRipple));
    std::vector<float> samples(4000, 1000.0f);
    cascade.filterInPlace(samples.data(), 4000);
    EXPECT_NEAR(samples.back(), 1000.0 * kRipple, 1e-3);
}

TEST(BiquadCascade, FilteringMatchesTheDesignedResponse) {
    BiquadCascade cascade;
    ASSERT_TRUE(cascade.create(10));
    ASSERT_TRUE(cascade.addLowPass(10, 0.1125, kRipple));
    for (double f : {0.01, 0.05, 0.1, 0.1125, 0.12}) {
        EXPECT_NEAR(measuredResponse(cascade, f), coefficientResponse(cascade, f), 2e-4) << f;
    }
}

TEST(BiquadCascade, RippleOfOneOrMoreGivesButterworth) {
    for (float ripple : {1.0f, 1.5f}) {
        BiquadCascade cascade;
        ASSERT_TRUE(cascade.create(10));
        ASSERT_TRUE(cascade.addLowPass(4, 0.1, ripple));
        EXPECT_NEAR(coefficientResponse(cascade, 0.0), 1.0, 1e-12); // no ripple scaling
        for (double f = 0.0; f < 0.5; f += 0.01) {
            const double omega = std::tan(kPi * f) / std::tan(kPi * 0.1);
            EXPECT_NEAR(coefficientResponse(cascade, f), 1.0 / std::sqrt(1.0 + std::pow(omega, 16)),
                        1e-9)
                << f;
        }
    }
}

TEST(BiquadCascade, CutoffAboveTheHighestIsClamped) {
    BiquadCascade high;
    BiquadCascade higher;
    BiquadCascade highest;
    for (BiquadCascade* c : {&high, &higher, &highest}) {
        ASSERT_TRUE(c->create(2));
    }
    ASSERT_TRUE(high.addLowPass(1, 0.6, kRipple));
    ASSERT_TRUE(higher.addLowPass(1, 5.0, kRipple));
    ASSERT_TRUE(highest.addLowPass(1, 0.4995, kRipple));
    ASSERT_TRUE(high.addNotch(0.6, 0.25f));
    ASSERT_TRUE(higher.addNotch(5.0, 0.25f));
    ASSERT_TRUE(highest.addNotch(0.4995, 0.25f));
    // The clamped angle is 2 pi times 0.4995 as a float, a hair above 0.4995.
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(std::memcmp(&high.section(i), &higher.section(i), sizeof(BiquadSection)), 0);
        EXPECT_NEAR(high.section(i).a1, highest.section(i).a1, 1e-6);
        EXPECT_NEAR(high.section(i).a2, highest.section(i).a2, 1e-6);
        EXPECT_NEAR(high.section(i).b1, highest.section(i).b1, 1e-6);
    }
    EXPECT_EQ(high.gain(), higher.gain());
    EXPECT_NEAR(high.gain(), highest.gain(), 1e-6);
}

TEST(BiquadCascade, HumNotchRemovesItsCentreAndPassesOctavesAway) {
    for (double humHz : {50.0, 60.0}) {
        const double rate = humHz == 50.0 ? 11025.0 : 12000.0;
        BiquadCascade cascade;
        ASSERT_TRUE(cascade.create(1));
        ASSERT_TRUE(cascade.addNotch(humHz / rate, 0.25f));
        EXPECT_NEAR(coefficientResponse(cascade, 0.0), 1.0, 1e-12);
        EXPECT_LT(coefficientResponse(cascade, humHz / rate), 1e-6);
        // The -3 dB points lie a quarter octave apart around the centre.
        EXPECT_NEAR(coefficientResponse(cascade, humHz / rate / std::pow(2.0, 0.125)),
                    std::sqrt(0.5), 1e-6);
        EXPECT_NEAR(coefficientResponse(cascade, humHz / rate * std::pow(2.0, 0.125)),
                    std::sqrt(0.5), 1e-3);

        EXPECT_LT(measuredResponse(cascade, humHz / rate), 1e-3);
        EXPECT_GT(measuredResponse(cascade, 2.0 * humHz / rate), 0.98);
        EXPECT_GT(measuredResponse(cascade, 0.5 * humHz / rate), 0.98);

        std::vector<float> constant(20000, -700.0f);
        cascade.filterInPlace(constant.data(), 20000);
        EXPECT_NEAR(constant.back(), -700.0f, 1e-3);
    }
}

TEST(BiquadCascade, WideNotchUsesRealPoles) {
    BiquadCascade cascade;
    ASSERT_TRUE(cascade.create(1));
    ASSERT_TRUE(cascade.addNotch(0.05, 4.0f)); // |h| > 1
    EXPECT_NEAR(coefficientResponse(cascade, 0.0), 1.0, 1e-12);
    EXPECT_LT(coefficientResponse(cascade, 0.05), 1e-6);
    EXPECT_NEAR(coefficientResponse(cascade, 0.05 / 4.0), std::sqrt(0.5), 1e-6);
}

TEST(BiquadCascade, EmptyCascadeLeavesSamplesBitIdentical) {
    BiquadCascade cascade;
    ASSERT_TRUE(cascade.create(1));
    std::mt19937 random(3);
    std::uniform_real_distribution<float> uniform(-40000.0f, 40000.0f);
    std::vector<float> samples(1200);
    for (float& v : samples) {
        v = uniform(random);
    }
    samples[5] = 1e-40f; // denormal
    samples[6] = -0.0f;
    const std::vector<float> original = samples;
    cascade.filterInPlace(samples.data(), 1200);
    EXPECT_EQ(std::memcmp(samples.data(), original.data(), samples.size() * sizeof(float)), 0);
}

// Output j is the filtered input j * D, and the inputs after it still pass
// the filter; blocks of any size continue where the last one ended.
TEST(BiquadCascade, DecimationKeepsTheFirstOfEachGroupAfterFilteringAll) {
    struct Design {
        int sections;
        int factor;
        std::vector<int> blocks; // outputs per call
    };
    for (const Design& d : {Design{10, 4, {1102, 1102}}, Design{8, 2, {1102, 1, 3, 500}},
                            Design{10, 8, {1200, 7, 1}}, Design{3, 4, {100, 1}}}) {
        BiquadCascade decimator;
        BiquadCascade reference;
        for (BiquadCascade* c : {&decimator, &reference}) {
            ASSERT_TRUE(c->create(10));
            ASSERT_TRUE(c->addLowPass(d.sections, 0.45 / d.factor, kRipple));
        }
        std::mt19937 random(11);
        std::uniform_int_distribution<int> uniform(-32768, 32767);
        for (int outputs : d.blocks) {
            std::vector<int16_t> in(static_cast<size_t>(outputs) * d.factor);
            for (int16_t& v : in) {
                v = static_cast<int16_t>(uniform(random));
            }
            std::vector<float> out(outputs, 12345.0f);
            decimator.decimate(out.data(), in.data(), outputs, d.factor);
            std::vector<float> all(in.begin(), in.end());
            reference.filterInPlace(all.data(), static_cast<int32_t>(all.size()));
            for (int j = 0; j < outputs; ++j) {
                ASSERT_EQ(out[j], all[static_cast<size_t>(j) * d.factor]) << d.sections << " " << j;
            }
        }
    }
}

} // namespace
} // namespace tonvale
