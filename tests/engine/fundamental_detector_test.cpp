#include "engine/fundamental_detector.h"
#include "engine/pitch_analyzer.h"
#include "engine/sine_table.h"
#include "signal_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tonvale {
namespace {

using test::Partial;

class FundamentalDetectorTest : public ::testing::Test {
  protected:
    void SetUp() override { fillSineTable(); }

    // Feeds `blocks` hops of the tone through the analyzer, detecting after
    // each as the engine does, and returns the last result in cycles per sample.
    static double detectTone(PitchAnalyzer& analyzer, const std::vector<Partial>& partials,
                             double rateHz, bool harmonics, int blocks = 10) {
        const size_t hop = static_cast<size_t>(analyzer.hop);
        const std::vector<double> tone = test::makeTone(partials, rateHz, hop * blocks);
        std::vector<float> block(hop);
        double result = 0.0;
        for (int b = 0; b < blocks; ++b) {
            std::copy(tone.begin() + b * hop, tone.begin() + (b + 1) * hop, block.begin());
            analyzer.append(block.data());
            result = detectFundamental(analyzer, harmonics);
        }
        return result;
    }

    static int32_t peakBin(const PitchAnalyzer& analyzer) {
        const float* power = analyzer.power();
        return static_cast<int32_t>(std::max_element(power, power + analyzer.length / 2) - power);
    }
};

TEST_F(FundamentalDetectorTest, SineOnABinAndBetweenBins) {
    PitchAnalyzer analyzer;
    ASSERT_TRUE(analyzer.create(4096, false, 1102));
    const double rate = 11025.0;
    const double binHz = rate / 4096;
    for (bool harmonics : {false, true}) {
        double f = detectTone(analyzer, {{100 * binHz, 8000}}, rate, harmonics);
        EXPECT_EQ(peakBin(analyzer), 100);
        EXPECT_NEAR(f * 4096, 100.0, 1e-6);

        analyzer.clearPrevious();
        f = detectTone(analyzer, {{100.3 * binHz, 8000}}, rate, harmonics);
        EXPECT_EQ(peakBin(analyzer), 100);
        EXPECT_NEAR(f * 4096, 100.3, 1e-5);
        analyzer.clearPrevious();
    }
}

TEST_F(FundamentalDetectorTest, SteadyA440ReadsA440WithAndWithoutHarmonics) {
    for (bool longTransform : {false, true}) {
        for (bool harmonics : {false, true}) {
            PitchAnalyzer analyzer;
            ASSERT_TRUE(analyzer.create(4096, longTransform, 1102));
            const double f = detectTone(analyzer, {{440.0, 10000}}, 11025.0, harmonics);
            EXPECT_EQ(peakBin(analyzer), longTransform ? 327 : 163);
            EXPECT_NEAR(f * 11025.0, 440.0, 1e-3) << longTransform << harmonics;
            if (harmonics) {
                HarmonicCandidate candidates[kMaxHarmonicCandidates];
                const int n = scoreHarmonicCandidates(analyzer.power(), analyzer.length / 2,
                                                      f * analyzer.length, candidates);
                EXPECT_EQ(n, 10);
                EXPECT_EQ(chooseHarmonicDivisor(candidates, n), 1);
                EXPECT_GE(candidates[n - 1].score, 0.9375 * candidates[0].score);
            }
        }
    }
}

TEST_F(FundamentalDetectorTest, StrongSecondHarmonicIsDividedDownOnlyWhenHarmonicsAware) {
    const std::vector<Partial> tone = {
        {110.0, 3000}, {220.0, 10000}, {330.0, 5000}, {440.0, 4000}, {550.0, 3000}};
    PitchAnalyzer analyzer;
    ASSERT_TRUE(analyzer.create(4096, false, 1102));
    double f = detectTone(analyzer, tone, 11025.0, false);
    EXPECT_EQ(peakBin(analyzer), 82);
    EXPECT_NEAR(f * 11025.0, 220.0, 1e-3);

    HarmonicCandidate candidates[kMaxHarmonicCandidates];
    const int n = scoreHarmonicCandidates(analyzer.power(), 2048, f * 4096, candidates);
    ASSERT_EQ(n, 10);
    EXPECT_EQ(chooseHarmonicDivisor(candidates, n), 2);
    std::vector<int32_t> good;
    for (int i = 0; i < n && candidates[i].score >= 0.9375 * candidates[0].score; ++i) {
        good.push_back(candidates[i].divisor);
    }
    std::sort(good.begin(), good.end());
    EXPECT_EQ(good, (std::vector<int32_t>{2, 4, 6, 8}));
    for (int i = 0; i < n; ++i) {
        if (candidates[i].divisor % 2 == 1) {
            EXPECT_LT(candidates[i].score, 0.5 * candidates[0].score) << candidates[i].divisor;
        }
    }

    analyzer.clearPrevious();
    f = detectTone(analyzer, tone, 11025.0, true);
    EXPECT_NEAR(f * 11025.0, 110.0, 1e-3);
}

TEST_F(FundamentalDetectorTest, DcFrameReturnsZeroButStillKeepsTheTransform) {
    PitchAnalyzer analyzer;
    ASSERT_TRUE(analyzer.create(4096, false, 1102));
    EXPECT_EQ(detectTone(analyzer, {{0.0, 0.0}}, 11025.0, true, 1), 0.0); // silence: DC wins ties
    std::vector<float> block(1102, 5000.0f);
    for (int b = 0; b < 6; ++b) {
        analyzer.append(block.data());
    }
    analyzer.clearPrevious();
    EXPECT_EQ(detectFundamental(analyzer, true), 0.0);
    EXPECT_EQ(analyzer.previousValid, 1);
    EXPECT_TRUE(std::equal(analyzer.current, analyzer.current + 4096, analyzer.previous));
    EXPECT_GT(analyzer.previous[0], 1e6);
}

TEST_F(FundamentalDetectorTest, CandidatesStopBelowFourBins) {
    std::vector<float> power(2048, 1.0f);
    HarmonicCandidate candidates[kMaxHarmonicCandidates];
    EXPECT_EQ(scoreHarmonicCandidates(power.data(), 2048, 7.0, candidates), 1);
    EXPECT_EQ(candidates[0].divisor, 1);
    EXPECT_EQ(chooseHarmonicDivisor(candidates, 1), 1); // the only one is good
    EXPECT_EQ(scoreHarmonicCandidates(power.data(), 2048, 3.9, candidates), 0);
    EXPECT_EQ(chooseHarmonicDivisor(candidates, 0), 1);
    EXPECT_EQ(scoreHarmonicCandidates(power.data(), 2048, 40.0, candidates), 10);
    EXPECT_EQ(scoreHarmonicCandidates(power.data(), 2048, 39.9, candidates), 9);
}

// The score is the autocorrelation at the candidate's period: sum P[k] cos(k w).
TEST_F(FundamentalDetectorTest, ScoresMatchTheirDefinition) {
    std::vector<float> power(2048);
    for (int k = 0; k < 2048; ++k) {
        power[k] = static_cast<float>(1.0 + std::sin(k * 0.01) * std::sin(k * 0.01) * 100.0);
    }
    HarmonicCandidate candidates[kMaxHarmonicCandidates];
    const double peak = 81.7;
    ASSERT_EQ(scoreHarmonicCandidates(power.data(), 2048, peak, candidates), 10);
    for (int m = 1; m <= 10; ++m) {
        long double expected = 0.0L;
        for (int k = 0; k < 2048; ++k) {
            expected += power[k] * cosl(2.0L * kPi * m * k / peak);
        }
        EXPECT_NEAR(candidates[m - 1].score, static_cast<double>(expected), 1e-9 * 2048 * 101) << m;
    }
}

TEST_F(FundamentalDetectorTest, DecisionTakesTheGreatestCommonDivisorOfTheGoodOnes) {
    struct Case {
        std::vector<double> scores; // divisor i + 1
        int32_t expected;
    };
    const std::vector<Case> cases = {
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 1},                       // all good: keep the peak
        {{0.1, 1, 0.2, 0.99, 0.1, 0.98, 0.2, 0.97, 0.1, 0.96}, 2}, // 2, 4, 6, 8, 10
        {{0.1, 0.2, 1, 0.2, 0.1, 0.99, 0.1, 0.2, 0.98}, 3},        // 3, 6, 9: 2 does not divide 3
        {{0.1, 0.2, 0.1, 1, 0.1, 0.2, 0.1, 0.95}, 4},              // {4, 8}: the fourth harmonic
        {{0.1, 0.1, 0.9375, 0.1, 0.1, 1}, 3},                   // {6, 3}: the ratio itself is good
        {{0.1, 0.1, 0.9374, 0.1, 0.1, 1}, 6},                   // {6}: just below it is not
        {{0.1, 0.1, 0.2, 0.3, 0.2, 0.3, 0.1, 0.3, 0.2, 1}, 10}, // {10}: d may equal the count
        {{0.2, 0.1, 0.3, 0.1, 1, 0.2, 0.97}, 5},                // {5, 7}: none divides both; best
        {{0, -1, -2}, 1},                                       // a best score of 0 is good
        {{-1}, 1}, // a single candidate: its own divisor
        // No good candidate: half the peak, never the count.
        {{-1, -2, -3}, 2},
        {{-1, -2, -3, -4, -5, -6, -7, -8, -9, -10}, 2},
    };
    for (const Case& c : cases) {
        HarmonicCandidate candidates[kMaxHarmonicCandidates];
        const int n = static_cast<int>(c.scores.size());
        for (int i = 0; i < n; ++i) {
            candidates[i] = {c.scores[i], i + 1};
        }
        EXPECT_EQ(chooseHarmonicDivisor(candidates, n), c.expected) << n << " " << c.scores[0];
        for (int i = 1; i < n; ++i) {
            EXPECT_GE(candidates[i - 1].score, candidates[i].score);
        }
    }
}

// Low and middle brass notes put most of their energy near the sixth partial;
// the harmonic analysis must find the fundamental, not the third harmonic.
TEST_F(FundamentalDetectorTest, BrassToneWithAStrongSixthPartialReadsItsFundamental) {
    const double f0 = 174.61; // F3
    const double amplitudes[] = {0.25, 0.45, 0.6, 0.75, 0.9, 1.0, 0.8, 0.6, 0.45, 0.3, 0.2, 0.12};
    std::vector<Partial> tone;
    for (int k = 1; k <= 12; ++k) {
        tone.push_back({k * f0, 2500.0 * amplitudes[k - 1]});
    }
    for (bool longTransform : {false, true}) {
        PitchAnalyzer analyzer;
        ASSERT_TRUE(analyzer.create(4096, longTransform, 1102));
        double f = detectTone(analyzer, tone, 11025.0, false);
        EXPECT_NEAR(f * 11025.0, 6 * f0, 1e-3) << longTransform;

        HarmonicCandidate candidates[kMaxHarmonicCandidates];
        const int n = scoreHarmonicCandidates(analyzer.power(), analyzer.length / 2,
                                              f * analyzer.length, candidates);
        ASSERT_EQ(n, 10);
        EXPECT_EQ(chooseHarmonicDivisor(candidates, n), 6) << longTransform;

        analyzer.clearPrevious();
        f = detectTone(analyzer, tone, 11025.0, true);
        EXPECT_NEAR(f * 11025.0, f0, 1e-3) << longTransform;
    }
}

} // namespace
} // namespace tonvale
