#include "engine/hann_window.h"
#include "engine/real_fft.h"
#include "engine/sine_table.h"
#include "signal_helpers.h"

#include <gtest/gtest.h>

#include <random>

namespace tonvale {
namespace {

using test::directDft;

class TransformTest : public ::testing::Test {
  protected:
    void SetUp() override { fillSineTable(); }
};

TEST_F(TransformTest, SineTableEndsAndMiddleAreExact) {
    EXPECT_EQ(gSineTable.values[0], 0.0);
    EXPECT_EQ(gSineTable.values[1024], 0.7071067811865476);
    EXPECT_DOUBLE_EQ(gSineTable.values[2047], std::sin(2047 * kPi / 4096));
    for (int k = 1; k < SineTable::kSize; k += 97) {
        EXPECT_NEAR(gSineTable.values[k], std::sin(k * kPi / 4096), 2.3e-16) << k;
    }
}

TEST_F(TransformTest, HannWindowOfEightMatchesTheFormula) {
    double samples[8];
    std::fill(samples, samples + 8, 1.0);
    applyHannWindow(samples, 8);
    const double expected[8] = {0.0, 0.1464466094067262, 0.5, 0.8535533905932737,
                                1.0, 0.8535533905932737, 0.5, 0.1464466094067262};
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(samples[i], expected[i], 1e-15) << i;
    }
}

TEST_F(TransformTest, HannWindowIsPeriodicForEveryLength) {
    for (int n = 8; n <= 8192; n *= 2) {
        std::vector<double> samples(n, 2.0);
        applyHannWindow(samples.data(), n);
        double worst = 0.0;
        for (int i = 0; i < n; ++i) {
            const double expected = 2.0 * (0.5 - 0.5 * std::cos(2.0 * kPi * i / n));
            worst = std::max(worst, std::fabs(samples[i] - expected));
        }
        EXPECT_LT(worst, 1e-14) << n;
    }
}

TEST_F(TransformTest, ImpulseGivesOneInEveryRealSlot) {
    for (int n : {4, 8, 64, 8192}) {
        std::vector<double> data(n, 0.0);
        data[0] = 1.0;
        realFft(data.data(), n);
        EXPECT_EQ(data[0], 1.0);
        EXPECT_EQ(data[1], 1.0);
        for (int k = 1; k < n / 2; ++k) {
            ASSERT_EQ(data[2 * k], 1.0) << n << " bin " << k;
            ASSERT_EQ(data[2 * k + 1], 0.0) << n << " bin " << k;
        }
    }
}

// Every length against a direct DFT, which also pins the packing and the
// sign of the exponent.
TEST_F(TransformTest, MatchesDirectDftWithPackedOutput) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(-32768.0, 32767.0);
    for (int n = 4; n <= 8192; n *= 2) {
        std::vector<double> input(n);
        for (double& v : input) {
            v = uniform(random);
        }
        std::vector<double> data = input;
        realFft(data.data(), n);
        // Rounding grows like log2(n) times the signal's energy per bin.
        const double tolerance = 1e-12 * 32768.0 * n;
        const std::vector<size_t> bins = n <= 64
                                             ? std::vector<size_t>{}
                                             : std::vector<size_t>{0,
                                                                   1,
                                                                   2,
                                                                   3,
                                                                   static_cast<size_t>(n / 8),
                                                                   static_cast<size_t>(n / 4 - 1),
                                                                   static_cast<size_t>(n / 4),
                                                                   static_cast<size_t>(n / 4 + 1),
                                                                   static_cast<size_t>(n / 2 - 1)};
        std::vector<size_t> check = bins;
        if (check.empty()) {
            for (int k = 0; k < n / 2; ++k) {
                check.push_back(k);
            }
        }
        const auto nyquist = directDft(input, n / 2);
        EXPECT_NEAR(data[1], static_cast<double>(nyquist.real()), tolerance) << n;
        for (size_t k : check) {
            const auto expected = directDft(input, k);
            if (k == 0) {
                EXPECT_NEAR(data[0], static_cast<double>(expected.real()), tolerance) << n;
                continue;
            }
            EXPECT_NEAR(data[2 * k], static_cast<double>(expected.real()), tolerance)
                << n << " " << k;
            EXPECT_NEAR(data[2 * k + 1], static_cast<double>(expected.imag()), tolerance)
                << n << " " << k;
        }
    }
}

TEST_F(TransformTest, SineGivesNegativeImaginaryPeak) {
    // sin(2 pi 5 n / N) = (e^(i..) - e^(-i..)) / 2i, so X_5 = -i N / 2.
    const int n = 256;
    std::vector<double> data(n);
    for (int i = 0; i < n; ++i) {
        data[i] = std::sin(2.0 * kPi * 5 * i / n);
    }
    realFft(data.data(), n);
    EXPECT_NEAR(data[10], 0.0, 1e-12);
    EXPECT_NEAR(data[11], -n / 2.0, 1e-12);
}

} // namespace
} // namespace tonvale
