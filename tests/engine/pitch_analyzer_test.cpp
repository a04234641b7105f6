#include "engine/pitch_analyzer.h"
#include "engine/sine_table.h"
#include "signal_helpers.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tonvale {
namespace {

using test::directDft;
using test::hannWindowed;

class PitchAnalyzerTest : public ::testing::Test {
  protected:
    void SetUp() override { fillSineTable(); }

    // Appends blocks whose samples count up from `first`.
    static void appendCounting(PitchAnalyzer& analyzer, float& next, int blocks) {
        std::vector<float> block(analyzer.hop);
        for (int b = 0; b < blocks; ++b) {
            for (float& v : block) {
                v = next++;
            }
            analyzer.append(block.data());
        }
    }
};

TEST_F(PitchAnalyzerTest, OneAllocationLaidOutForTheLongTransform) {
    PitchAnalyzer analyzer;
    EXPECT_EQ(analyzer.block, nullptr);
    EXPECT_EQ(analyzer.length, 0);
    ASSERT_TRUE(analyzer.create(4096, false, 1102));
    EXPECT_EQ(analyzer.length, 4096);
    EXPECT_EQ(analyzer.hop, 1102);
    EXPECT_EQ(analyzer.ringLength, 1102u + 8192u);
    EXPECT_EQ(analyzer.writePos, 0u);
    EXPECT_EQ(analyzer.previousValid, 0);
    EXPECT_EQ(static_cast<void*>(analyzer.previous), analyzer.block);
    EXPECT_EQ(analyzer.current, analyzer.previous + 8192);
    EXPECT_EQ(analyzer.power(), reinterpret_cast<float*>(analyzer.current + 8192));
    EXPECT_EQ(analyzer.ring, analyzer.power() + 4096);
    for (uint32_t i = 0; i < analyzer.ringLength; ++i) {
        ASSERT_EQ(analyzer.ring[i], 0.0f);
    }

    ASSERT_TRUE(analyzer.create(4096, true, 1200));
    EXPECT_EQ(analyzer.length, 8192);
    EXPECT_EQ(analyzer.ringLength, 1200u + 8192u);
    analyzer.release();
    EXPECT_EQ(analyzer.block, nullptr);
    EXPECT_EQ(analyzer.ring, nullptr);
}

TEST_F(PitchAnalyzerTest, RefusesLengthsTheTransformCannotTake) {
    PitchAnalyzer analyzer;
    EXPECT_FALSE(analyzer.create(8192, true, 1102));
    EXPECT_FALSE(analyzer.create(3000, false, 1102));
    EXPECT_FALSE(analyzer.create(4096, false, 0));
    EXPECT_EQ(analyzer.block, nullptr);
}

TEST_F(PitchAnalyzerTest, RingWrapsAndAnAppendEndingAtTheEndResetsWritePos) {
    PitchAnalyzer analyzer;
    ASSERT_TRUE(analyzer.create(4096, false, 8192)); // ring of exactly two blocks
    float next = 0.0f;
    appendCounting(analyzer, next, 2);
    EXPECT_EQ(analyzer.writePos, 0u);

    ASSERT_TRUE(analyzer.create(4096, false, 1102));
    appendCounting(analyzer, next = 0.0f, 9); // 9918 samples into a ring of 9294
    EXPECT_EQ(analyzer.writePos, 9918u - 9294u);
    EXPECT_EQ(analyzer.ring[0], 9294.0f);
    EXPECT_EQ(analyzer.ring[623], 9917.0f);
    EXPECT_EQ(analyzer.ring[624], 624.0f); // not yet overwritten
    EXPECT_EQ(analyzer.ring[9293], 9293.0f);
}

// A frame that starts before index 0 takes its first samples from the ring's
// end; back = H gives the frame one block earlier.
TEST_F(PitchAnalyzerTest, FramesAcrossTheWrapMatchAWindowedDft) {
    PitchAnalyzer analyzer;
    ASSERT_TRUE(analyzer.create(4096, false, 1102));
    std::vector<double> history;
    std::vector<float> block(1102);
    for (int b = 0; b < 9; ++b) {
        for (float& v : block) {
            v = static_cast<float>(1000.0 * std::sin(0.05 * history.size()) +
                                   300.0 * std::cos(0.31 * history.size()));
            history.push_back(v);
        }
        analyzer.append(block.data());
    }
    ASSERT_LT(analyzer.writePos, 4096u); // the latest frame wraps
    for (int back : {0, 1102}) {
        std::vector<double> frame(history.end() - 4096 - back, history.end() - back);
        const std::vector<double> windowed = hannWindowed(frame);
        std::vector<double> data(4096);
        analyzer.extractFrame(data.data(), 4096, back);
        EXPECT_EQ(data[1], 0.0);
        for (size_t k : {1u, 40u, 41u, 203u, 204u, 1000u}) {
            const auto expected = directDft(windowed, k);
            EXPECT_NEAR(data[2 * k], static_cast<double>(expected.real()), 1e-6)
                << back << " " << k;
            EXPECT_NEAR(data[2 * k + 1], static_cast<double>(expected.imag()), 1e-6)
                << back << " " << k;
        }
    }
}

TEST_F(PitchAnalyzerTest, FullScaleSineOnABinReadsMinusSixDecibels) {
    for (int length : {512, 4096, 8192}) {
        PitchAnalyzer analyzer;
        ASSERT_TRUE(analyzer.create(4096, false, 1200));
        const int bin = 37;
        std::vector<float> block(1200);
        size_t n = 0;
        for (int b = 0; b < 8; ++b) {
            for (float& v : block) {
                v = static_cast<float>(32768.0 * std::sin(2.0 * kPi * bin * n++ / length));
            }
            analyzer.append(block.data());
        }
        std::vector<float> spectrum(600, 1.0f);
        analyzer.decibelSpectrum(length, spectrum.data(), 600);
        EXPECT_NEAR(spectrum[bin], -6.0206, 0.001) << length;
        EXPECT_LT(spectrum[bin + 3], -100.0f) << length;
        if (length == 512) {
            for (int k = 256; k < 600; ++k) {
                ASSERT_EQ(spectrum[k], -120.0f) << k;
            }
        }
    }
}

TEST_F(PitchAnalyzerTest, SilenceReadsMinusOneHundredTwentyEverywhere) {
    PitchAnalyzer analyzer;
    ASSERT_TRUE(analyzer.create(4096, false, 1102));
    std::vector<float> silence(1102, 0.0f);
    analyzer.append(silence.data());
    std::vector<float> spectrum(512, 0.0f);
    analyzer.decibelSpectrum(8192, spectrum.data(), 512);
    for (float v : spectrum) {
        ASSERT_EQ(v, -120.0f);
    }
}

// When the previous buffer already holds the latest transform of the same
// length the spectrum comes from it; otherwise the latest frame is taken.
TEST_F(PitchAnalyzerTest, SpectrumUsesPreviousBufferOnlyWhenItIsCurrent) {
    PitchAnalyzer analyzer;
    ASSERT_TRUE(analyzer.create(4096, false, 1102));
    std::vector<float> block(1102, 0.0f);
    analyzer.append(block.data());
    std::fill(analyzer.previous, analyzer.previous + 8192, 0.0);
    analyzer.previous[2 * 10] = 4096.0 * 32768.0 / 4; // a full-scale sine's bin
    std::vector<float> spectrum(16);

    analyzer.previousValid = 1;
    analyzer.decibelSpectrum(4096, spectrum.data(), 16);
    EXPECT_NEAR(spectrum[10], -6.0206, 0.001);

    analyzer.decibelSpectrum(2048, spectrum.data(), 16); // other length: from the ring
    EXPECT_EQ(spectrum[10], -120.0f);
    analyzer.previousValid = 0;
    analyzer.decibelSpectrum(4096, spectrum.data(), 16);
    EXPECT_EQ(spectrum[10], -120.0f);
}

} // namespace
} // namespace tonvale
