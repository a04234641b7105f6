#include "engine/block_processor.h"
#include "engine/sine_table.h"
#include "signal_helpers.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

using test::Partial;

class BlockProcessorTest : public ::testing::Test {
  protected:
    void SetUp() override { fillSineTable(); }

    static EngineParams params(uint32_t rate) {
        EngineParams p;
        p.sampleRate = rate;
        return p;
    }

    // Runs `blocks` blocks of the tone, clearing busy after each reading as
    // the window does. Returns how many readings were handed out.
    static int run(BlockProcessor& processor, const std::vector<Partial>& partials, int blocks,
                   bool clearBusy = true) {
        const size_t size = static_cast<size_t>(processor.blockSamples());
        const double rate = processor.rates().baseRate * processor.rates().decimation;
        int handed = 0;
        for (int b = 0; b < blocks; ++b) {
            const auto pcm = test::toPcm16(test::makeTone(partials, rate, size, b * size));
            if (processor.processBlock(pcm.data())) {
                ++handed;
            }
            if (clearBusy) {
                processor.reading().busy.store(0);
            }
        }
        return handed;
    }
};

TEST_F(BlockProcessorTest, DerivedQuantitiesFollowTheCaptureRate) {
    struct Case {
        uint32_t rate;
        int32_t base, factor, hop;
    };
    for (Case c :
         {Case{11025, 11025, 1, 1102}, Case{22050, 11025, 2, 1102}, Case{44100, 11025, 4, 1102},
          Case{88200, 11025, 8, 1102}, Case{12000, 12000, 1, 1200}, Case{24000, 12000, 2, 1200},
          Case{48000, 12000, 4, 1200}, Case{96000, 12000, 8, 1200}}) {
        EngineRates rates;
        ASSERT_TRUE(deriveEngineRates(params(c.rate), rates)) << c.rate;
        EXPECT_EQ(rates.baseRate, c.base);
        EXPECT_EQ(rates.decimation, c.factor);
        EXPECT_EQ(rates.hop, c.hop);
    }
    EngineRates rates;
    for (uint32_t bad : {0u, 32000u, 33075u, 36000u, 132300u, 8000u}) {
        EXPECT_FALSE(deriveEngineRates(params(bad), rates)) << bad;
    }
    EngineParams p = params(44100);
    p.useLongFFT = 1;
    p.clockAdjust = 1200;
    p.inputThreshold = -40;
    ASSERT_TRUE(deriveEngineRates(p, rates));
    EXPECT_EQ(rates.transformLength, 8192);
    EXPECT_NEAR(rates.clockFactor, std::pow(2.0, 0.01), 1e-15);
    EXPECT_NEAR(rates.thresholdPower, 1e-4, 1e-18);
}

TEST_F(BlockProcessorTest, FiltersAreSetUpForTheRateAndHum) {
    BlockProcessor processor;
    ASSERT_EQ(processor.start(params(11025)), BlockProcessor::StartResult::ok);
    EXPECT_EQ(processor.antiAliasCascade().capacity(), 10);
    EXPECT_EQ(processor.antiAliasCascade().count(), 0);
    EXPECT_EQ(processor.humCascade().capacity(), 1);
    EXPECT_EQ(processor.humCascade().count(), 0);
    EXPECT_EQ(processor.blockSamples(), 1102);

    EngineParams p = params(22050);
    p.humFrequency = 50.0f;
    ASSERT_EQ(processor.start(p), BlockProcessor::StartResult::ok);
    EXPECT_EQ(processor.antiAliasCascade().count(), 8);
    EXPECT_EQ(processor.humCascade().count(), 1);
    ASSERT_EQ(processor.start(params(96000)), BlockProcessor::StartResult::ok);
    EXPECT_EQ(processor.antiAliasCascade().count(), 10);
    EXPECT_EQ(processor.blockSamples(), 9600);
    EXPECT_EQ(processor.start(params(32000)), BlockProcessor::StartResult::unsupportedRate);
}

TEST_F(BlockProcessorTest, FullScaleSineLevelIsOneHalfWithinThePassbandGain) {
    for (uint32_t rate : {11025u, 12000u, 22050u, 48000u, 88200u, 96000u}) {
        BlockProcessor processor;
        ASSERT_EQ(processor.start(params(rate)), BlockProcessor::StartResult::ok);
        run(processor, {{440.0, 32767.0}}, 6);
        const float level = processor.reading().level;
        if (rate == 11025u || rate == 12000u) {
            EXPECT_NEAR(level, 0.5, 0.002) << rate;
        } else {
            // The sample variance carries a factor H / (H - 1) over the power.
            EXPECT_GE(level, 0.489f) << rate;
            EXPECT_LE(level, 0.5f * 1200 / 1199) << rate;
        }
        EXPECT_NEAR(processor.reading().frequency, 440.0, 0.01) << rate;
    }
}

TEST_F(BlockProcessorTest, SilenceCarriesNoFrequencyAndKeepsThePreviousFrameCleared) {
    BlockProcessor processor;
    EngineParams p = params(44100);
    p.inputThreshold = -80;
    ASSERT_EQ(processor.start(p), BlockProcessor::StartResult::ok);
    const std::vector<int16_t> silence(processor.blockSamples(), 0);
    for (int b = 0; b < 5; ++b) {
        ASSERT_TRUE(processor.processBlock(silence.data()));
        EXPECT_EQ(processor.reading().level, 0.0f);
        EXPECT_EQ(processor.reading().frequency, 0.0);
        EXPECT_EQ(processor.reading().sequence, b);
        EXPECT_EQ(processor.analyzer().previousValid, 0);
        processor.reading().busy.store(0);
    }
}

TEST_F(BlockProcessorTest, QuietToneBelowThresholdIsSkipped) {
    BlockProcessor processor;
    EngineParams p = params(12000);
    p.inputThreshold = -40; // a sine of amplitude 100 is about -70 dB
    ASSERT_EQ(processor.start(p), BlockProcessor::StartResult::ok);
    run(processor, {{440.0, 100.0}}, 6);
    EXPECT_EQ(processor.reading().frequency, 0.0);
    EXPECT_EQ(processor.analyzer().previousValid, 0);
    p.inputThreshold = -80;
    ASSERT_EQ(processor.start(p), BlockProcessor::StartResult::ok);
    run(processor, {{440.0, 100.0}}, 6);
    EXPECT_NEAR(processor.reading().frequency, 440.0, 0.01);
}

// The mean is taken out and the sum of squares divided by H - 1.
TEST_F(BlockProcessorTest, LevelIsTheSampleVarianceWhateverTheOffset) {
    BlockProcessor processor;
    ASSERT_EQ(processor.start(params(11025)), BlockProcessor::StartResult::ok);
    std::vector<int16_t> block(processor.blockSamples());
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<int16_t>(i % 2 == 0 ? 5000 - 3000 : 5000 + 3000);
    }
    ASSERT_TRUE(processor.processBlock(block.data()));
    const double deviation = 3000.0 / 32768.0;
    const double expected = 1102.0 * deviation * deviation / 1101.0;
    EXPECT_NEAR(processor.reading().level, expected, expected * 1e-6);
}

// The low-pass in front of the decimation is 3 dB down at 0.45 of the base
// rate, whatever the factor.
TEST_F(BlockProcessorTest, AntiAliasFilterIsThreeDecibelsDownAtItsCutoff) {
    for (uint32_t rate : {22050u, 44100u, 88200u, 48000u}) {
        BlockProcessor processor;
        ASSERT_EQ(processor.start(params(rate)), BlockProcessor::StartResult::ok);
        const double cutoffHz = 0.45 * processor.rates().baseRate;
        run(processor, {{cutoffHz, 20000.0}}, 8);
        const double passbandLevel = 0.5 * (20000.0 / 32768.0) * (20000.0 / 32768.0);
        EXPECT_NEAR(processor.reading().level / passbandLevel, 0.5, 0.01) << rate;
    }
}

TEST_F(BlockProcessorTest, BusyReadingIsNotTouchedAndSequenceWaits) {
    BlockProcessor processor;
    ASSERT_EQ(processor.start(params(11025)), BlockProcessor::StartResult::ok);
    EXPECT_EQ(processor.reading().sequence, -1);
    EXPECT_EQ(run(processor, {{440.0, 8000.0}}, 1, false), 1);
    EXPECT_EQ(processor.reading().sequence, 0);
    const float level = processor.reading().level;
    EXPECT_EQ(run(processor, {{440.0, 16000.0}}, 3, false), 0);
    EXPECT_EQ(processor.reading().sequence, 0);
    EXPECT_EQ(processor.reading().level, level);
    processor.reading().busy.store(0);
    EXPECT_EQ(run(processor, {{440.0, 8000.0}}, 1, false), 1);
    EXPECT_EQ(processor.reading().sequence, 1);
    EXPECT_EQ(processor.reading().busy.load(), 1);
}

TEST_F(BlockProcessorTest, SpectrumRequestsAreClampedAndAttached) {
    BlockProcessor processor;
    ASSERT_EQ(processor.start(params(48000)), BlockProcessor::StartResult::ok);
    processor.requestSpectrum(16384, 1000);
    EXPECT_EQ(processor.spectrumLength(), 8192);
    EXPECT_EQ(processor.spectrumCount(), 512);
    processor.requestSpectrum(3000, -5); // not a power of two
    EXPECT_EQ(processor.spectrumLength(), 2048);
    EXPECT_EQ(processor.spectrumCount(), 0);
    processor.requestSpectrum(2, 10);
    EXPECT_EQ(processor.spectrumLength(), 8);

    processor.requestSpectrum(4096, 400);
    run(processor, {{1000.0, 16384.0}}, 6);
    const PitchReading& reading = processor.reading();
    EXPECT_EQ(reading.spectrumCount, 400);
    EXPECT_EQ(reading.baseRate, 12000);
    // 1000 Hz is 341.33 bins of a 4096-point transform at 12000 Hz.
    EXPECT_EQ(reading.peakBin, 341);
    const int loudest = static_cast<int>(
        std::max_element(reading.spectrum, reading.spectrum + 400) - reading.spectrum);
    EXPECT_EQ(loudest, 341);
    EXPECT_NEAR(reading.spectrum[341], -12.0, 2.0); // half scale, between bins
    processor.requestSpectrum(2048, 400);
    run(processor, {{1000.0, 16384.0}}, 6);
    EXPECT_EQ(reading.peakBin, 171); // 170.67 bins: rounded, not truncated

    processor.requestSpectrum(0, 300);
    run(processor, {{1000.0, 16384.0}}, 1);
    EXPECT_EQ(processor.reading().spectrumCount, 0);
}

TEST_F(BlockProcessorTest, HumNotchRemovesFiftyHertzUnderATone) {
    const std::vector<Partial> tone = {{50.0, 20000.0}, {330.0, 2000.0}};
    BlockProcessor plain;
    ASSERT_EQ(plain.start(params(44100)), BlockProcessor::StartResult::ok);
    run(plain, tone, 10);
    EXPECT_NEAR(plain.reading().frequency, 50.0, 0.1);

    BlockProcessor dehummed;
    EngineParams p = params(44100);
    p.humFrequency = 50.0f;
    ASSERT_EQ(dehummed.start(p), BlockProcessor::StartResult::ok);
    run(dehummed, tone, 10);
    EXPECT_NEAR(dehummed.reading().frequency, 330.0, 0.01);
    EXPECT_NEAR(10.0 * std::log10(dehummed.reading().level),
                10.0 * std::log10(0.5 * 2000.0 * 2000.0 / 32768.0 / 32768.0), 0.2);
}

// The notch sits at the hum's true frequency: a fast capture clock hears
// the mains a little low.
TEST_F(BlockProcessorTest, HumNotchFollowsTheClockCorrection) {
    const double clockFactor = std::pow(2.0, 10000.0 / 120000.0);
    BlockProcessor processor;
    EngineParams p = params(44100);
    p.humFrequency = 50.0f;
    p.clockAdjust = 10000;
    ASSERT_EQ(processor.start(p), BlockProcessor::StartResult::ok);
    run(processor, {{50.0 / clockFactor, 20000.0}, {330.0, 2000.0}}, 10);
    EXPECT_NEAR(processor.reading().frequency, 330.0 * clockFactor, 0.01);
}

TEST_F(BlockProcessorTest, ClockAdjustmentScalesTheFrequency) {
    BlockProcessor processor;
    EngineParams p = params(44100);
    p.clockAdjust = 100; // one cent
    ASSERT_EQ(processor.start(p), BlockProcessor::StartResult::ok);
    run(processor, {{440.0, 10000.0}}, 8);
    EXPECT_NEAR(processor.reading().frequency, 440.0 * std::pow(2.0, 1.0 / 1200.0), 0.002);
}

} // namespace
} // namespace tonvale
