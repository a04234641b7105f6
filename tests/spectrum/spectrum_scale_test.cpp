#include "spectrum/spectrum_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tonvale {
namespace {

constexpr int32_t kRates[] = {11025, 12000};

// One column per value of the band's transform: the column of a frequency is
// its bin, f x L / rate, rounded.
TEST(SpectrumScale, ColumnIsTheBinOfTheBandsTransform) {
    for (int32_t rate : kRates) {
        for (int band = 0; band < kBandCount; ++band) {
            const int32_t length = spectrumSizeOfBand(band);
            for (double hz = 0.0; hz < rate / 2.0; hz += 37.3) {
                const auto bin = static_cast<int32_t>(std::floor(hz * length / rate + 0.5));
                EXPECT_EQ(columnOfFrequency(hz, rate, binStepOfBand(band)), bin)
                    << rate << " Hz, band " << band << ", " << hz << " Hz";
            }
        }
    }
    // 256 columns span 6000 Hz at "1/1" and 750 Hz at "1/8" of a 12000 Hz rate.
    EXPECT_EQ(columnOfFrequency(6000.0, 12000, 1), 256);
    EXPECT_EQ(columnOfFrequency(750.0, 12000, 8), 256);
    EXPECT_EQ(spectrumSizeOfBand(0), 512);
    EXPECT_EQ(spectrumSizeOfBand(3), 4096);
}

TEST(SpectrumScale, StepsOfKnownBands) {
    struct Case {
        int32_t rate;
        int binStep;
        int32_t minorHz;
        int32_t majorHz;
    };
    const Case cases[] = {
        {12000, 1, 200, 1000}, // 1000 Hz is 42.7 columns: its fifth is 8.5, too narrow for 30
        {11025, 1, 200, 1000}, {11025, 4, 50, 200}, // 200 Hz is 37 columns and a multiple of 50
        {11025, 8, 50, 100}, // 20 Hz is 7.4 columns: the half, 50, is the minor step
        {12000, 8, 50, 100},
    };
    for (const Case& c : cases) {
        const AxisSteps steps = axisSteps(c.rate, c.binStep);
        EXPECT_EQ(steps.minorHz, c.minorHz) << c.rate << "/" << c.binStep;
        EXPECT_EQ(steps.majorHz, c.majorHz) << c.rate << "/" << c.binStep;
    }
    EXPECT_EQ(axisSteps(0, 1).minorHz, 0);
}

TEST(SpectrumScale, StepsAreWideEnoughAndMajorTicksFallOnMinorOnes) {
    for (int32_t rate = 1000; rate <= 200000; rate = rate * 3 / 2) {
        for (int band = 0; band < kBandCount; ++band) {
            const int binStep = binStepOfBand(band);
            const AxisSteps steps = axisSteps(rate, binStep);
            const double columnsPerHz = 256.0 / hertzPer256Columns(rate, binStep);
            ASSERT_GT(steps.minorHz, 0);
            EXPECT_GE(steps.minorHz * columnsPerHz, 8.0) << rate << "/" << binStep;
            EXPECT_GE(steps.majorHz * columnsPerHz, 30.0) << rate << "/" << binStep;
            EXPECT_EQ(steps.majorHz % steps.minorHz, 0) << rate << "/" << binStep;
            // No coarser than the decade that first fits.
            EXPECT_LT(steps.minorHz * columnsPerHz, 80.0) << rate << "/" << binStep;
        }
    }
}

TEST(SpectrumScale, Labels) {
    const std::pair<int32_t, const wchar_t*> cases[] = {
        {0, L"0Hz"},     {50, L"50"},     {999, L"999"},   {1000, L"1k"},
        {1200, L"1.2k"}, {2500, L"2.5k"}, {12000, L"12k"},
    };
    for (const auto& [hz, expected] : cases) {
        wchar_t label[16] = {};
        EXPECT_EQ(axisLabel(hz, label, 16), std::wstring(expected).size());
        EXPECT_EQ(std::wstring(label), expected) << hz;
    }
}

} // namespace
} // namespace tonvale
