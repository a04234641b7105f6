#include "devices/sample_rate_rule.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(SampleRateRule, FamilyBaseNeedsAPositiveMultiple) {
    EXPECT_EQ(rateFamilyBase(0), 0u);
    EXPECT_EQ(rateFamilyBase(11025), 11025u);
    EXPECT_EQ(rateFamilyBase(352800), 11025u);
    EXPECT_EQ(rateFamilyBase(24000), 12000u);
    // A multiple of both (their least common multiple): 11025 wins.
    EXPECT_EQ(rateFamilyBase(1764000), 11025u);
    EXPECT_EQ(rateFamilyBase(32000), 0u);
    EXPECT_EQ(rateFamilyBase(44101), 0u);
}

TEST(SampleRateRule, MixRatesBecomeRatesTheAnalysisTakes) {
    const struct {
        uint32_t mixRate;
        uint32_t rate;
    } cases[] = {
        {44100, 44100},  {48000, 48000},  {96000, 96000}, {192000, 96000}, {176400, 88200},
        {384000, 48000}, {352800, 44100}, {36000, 48000}, {32000, 48000},  {16000, 48000},
        {37800, 44100},  {11025, 11025},  {12000, 12000}, {132300, 44100}, {8000, 48000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rateForMixRate(c.mixRate), c.rate) << c.mixRate;
    }
    // Whatever comes in, the result is 11025 or 12000 times 1, 2, 4 or 8.
    for (uint32_t mixRate = 1000; mixRate <= 400000; mixRate += 25) {
        const uint32_t rate = rateForMixRate(mixRate);
        const uint32_t base = rateFamilyBase(rate);
        ASSERT_NE(base, 0u) << mixRate;
        const uint32_t factor = rate / base;
        EXPECT_TRUE(factor == 1 || factor == 2 || factor == 4 || factor == 8) << mixRate;
    }
}

TEST(SampleRateRule, LegacyFormatsChoose48kOnlyFor16Bit48kHz) {
    EXPECT_EQ(rateForFormatBits(0), 44100u);
    EXPECT_EQ(rateForFormatBits(0x0F00), 44100u); // 44.1 kHz formats only
    EXPECT_EQ(rateForFormatBits(0x3000), 44100u); // 48 kHz 8-bit
    EXPECT_EQ(rateForFormatBits(0x4000), 48000u); // 48 kHz mono 16-bit
    EXPECT_EQ(rateForFormatBits(0x8000), 48000u); // 48 kHz stereo 16-bit
}

} // namespace
} // namespace tonvale
