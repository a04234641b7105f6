// The tone's samples against cosines computed independently, and the
// properties that keep changes click-free: constant level across a
// cross-fade, linear level ramps, and no step larger than the sounding
// voices' own slopes allow.
#include "tone/tone_synth.h"

#include "engine/pi.h"
#include "tone/double_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tonvale {
namespace {

constexpr int32_t kRate = 44100;
constexpr uint32_t kRamp = 2205;
constexpr double kFullGain = 0.9921875 * 32768.0; // 32512

std::vector<int16_t> render(ToneSynth& synth, size_t count) {
    std::vector<int16_t> samples(count);
    synth.render(samples.data(), static_cast<uint32_t>(count));
    return samples;
}

// Expected sample k of a voice that started at sample 0 with phase step phi,
// fading in over the ramp.
double expectedSample(size_t k, double phi, double gain) {
    const double envelope = k < kRamp ? static_cast<double>(k) / kRamp : 1.0;
    return gain * 0.9921875 * envelope * std::cos(2.0 * kPi * phi * static_cast<double>(k)) *
           32768.0;
}

void expectCosine(const std::vector<int16_t>& samples, size_t first, double phi, double gain) {
    for (size_t k = first; k < samples.size(); ++k) {
        ASSERT_NEAR(samples[k], expectedSample(k, phi, gain), 1.0) << "sample " << k;
    }
}

int maxStep(const std::vector<int16_t>& samples) {
    int step = 0;
    for (size_t k = 1; k < samples.size(); ++k) {
        step = std::max(step, std::abs(samples[k] - samples[k - 1]));
    }
    return step;
}

TEST(ToneTiming, BuffersRampsAndClockCorrection) {
    ToneTiming at44 = toneTiming(44100, 0);
    EXPECT_EQ(at44.bufferSamples, 2205u);
    EXPECT_EQ(at44.rampSamples, 2205u);
    EXPECT_DOUBLE_EQ(at44.effectiveRate, 44100.0);
    ToneTiming at48 = toneTiming(48000, 0);
    EXPECT_EQ(at48.bufferSamples, 2400u);
    EXPECT_EQ(at48.rampSamples, 2400u);
    EXPECT_EQ(toneTiming(11025, 0).bufferSamples, 551u);
    EXPECT_NEAR(toneTiming(44100, 10000).effectiveRate, 44100.0 * std::pow(2.0, 1.0 / 12.0), 1e-9);
    EXPECT_NEAR(toneTiming(44100, 120).effectiveRate, 44100.0 * std::pow(2.0, 0.001), 1e-9);
}

TEST(ToneSamples, RoundToNearestAndClip) {
    EXPECT_EQ(toSample(0.0f), 0);
    EXPECT_EQ(toSample(0.5f / 32768.0f), 1);
    EXPECT_EQ(toSample(-0.5f / 32768.0f), 0);
    EXPECT_EQ(toSample(32767.0f / 32768.0f), 32767);
    EXPECT_EQ(toSample(1.5f), 32767);
    EXPECT_EQ(toSample(-1.0f), -32768);
    EXPECT_EQ(toSample(-1.5f), -32768);
    EXPECT_EQ(toSample(0.9921875f), 32512);
}

TEST(ToneSynth, FirstSamplesAreTheCosineFromZeroPhaseUnderTheAttack) {
    ToneSynth synth(kRate, 0, 440.0, 1.0);
    std::vector<int16_t> samples = render(synth, 3 * kRamp);
    EXPECT_EQ(samples[0], 0); // the attack starts from nothing
    expectCosine(samples, 0, 440.0 / kRate, 1.0);
}

TEST(ToneSynth, ClockCorrectionLowersTheNominalFrequency) {
    for (int16_t adjust : {int16_t{120}, int16_t{10000}, int16_t{-10000}}) {
        ToneSynth synth(kRate, adjust, 440.0, 0.5);
        const double phi = 440.0 / (kRate * std::pow(2.0, adjust / 120000.0));
        expectCosine(render(synth, 4 * kRamp), 0, phi, 0.5);
    }
}

TEST(ToneSynth, FrequenciesAboveNyquistSoundOctavesLower) {
    EXPECT_NEAR(foldedPhaseStep(30000.0, kRate), 15000.0 / kRate, 1e-15);
    EXPECT_NEAR(foldedPhaseStep(30000.0, kRate), 0.3401, 1e-4);
    EXPECT_DOUBLE_EQ(foldedPhaseStep(100000.0, kRate), 12500.0 / kRate);
    EXPECT_DOUBLE_EQ(foldedPhaseStep(22050.0, kRate), 0.5);

    ToneSynth folded(kRate, 0, 30000.0, 1.0);
    ToneSynth plain(kRate, 0, 15000.0, 1.0);
    EXPECT_EQ(render(folded, 5000), render(plain, 5000));
}

TEST(ToneSynth, FullGainPeaksAt32512) {
    ToneSynth synth(kRate, 0, 440.0, 1.0);
    std::vector<int16_t> samples = render(synth, kRate);
    EXPECT_EQ(*std::max_element(samples.begin(), samples.end()), 32512);
    EXPECT_GE(*std::min_element(samples.begin(), samples.end()), -32512);
}

// Minutes of tone keep amplitude and phase: a single-precision recurrence
// would have drifted by far more than one step.
TEST(ToneSynth, LongToneStaysOnTheCosine) {
    ToneSynth synth(kRate, 0, 440.0, 1.0);
    std::vector<int16_t> samples(kRate);
    for (int second = 0; second < 120; ++second) {
        synth.render(samples.data(), kRate);
    }
    for (size_t k = 0; k < samples.size(); ++k) {
        const double t = 120.0 * kRate + static_cast<double>(k);
        const double phase = std::fmod(440.0 * t, static_cast<double>(kRate)) / kRate;
        ASSERT_NEAR(samples[k], kFullGain * std::cos(2.0 * kPi * phase), 1.0) << "sample " << k;
    }
}

// A near-constant voice (0.001 Hz) shows the envelopes themselves.
TEST(ToneSynth, CrossFadeOfEqualGainsKeepsTheLevel) {
    ToneSynth synth(kRate, 0, 0.001, 1.0);
    render(synth, kRamp + 10);
    synth.setFrequency(0.001);
    EXPECT_EQ(synth.voiceCount(), 2u);
    std::vector<int16_t> fade = render(synth, kRamp + 10);
    for (size_t k = 0; k < fade.size(); ++k) {
        ASSERT_NEAR(fade[k], kFullGain, 1.0) << "sample " << k;
    }
    EXPECT_EQ(synth.voiceCount(), 1u);
}

TEST(ToneSynth, GainChangeIsALinearRampOnTheSameOscillator) {
    ToneSynth synth(kRate, 0, 0.001, 1.0);
    render(synth, kRamp + 10);
    synth.setGain(0.5);
    std::vector<int16_t> ramp = render(synth, kRamp + 10);
    for (size_t k = 0; k < ramp.size(); ++k) {
        const double j = std::min<double>(static_cast<double>(k), kRamp);
        ASSERT_NEAR(ramp[k], kFullGain + (kFullGain / 2 - kFullGain) * j / kRamp, 1.0) << k;
    }
    EXPECT_EQ(synth.voiceCount(), 1u);

    synth.setGain(0.5); // the same gain: nothing to fade
    EXPECT_EQ(synth.voiceCount(), 1u);

    // A sounding tone keeps its phase through the change.
    ToneSynth tone(kRate, 0, 440.0, 1.0);
    const size_t changeAt = kRamp + 100;
    render(tone, changeAt);
    tone.setGain(0.25);
    std::vector<int16_t> after = render(tone, kRamp + 100);
    const double phi = 440.0 / kRate;
    for (size_t k = 0; k < after.size(); ++k) {
        const double j = std::min<double>(static_cast<double>(k), kRamp);
        const double level = kFullGain * (1.0 - 0.75 * j / kRamp);
        const double expected =
            level * std::cos(2.0 * kPi * phi * static_cast<double>(changeAt + k));
        ASSERT_NEAR(after[k], expected, 1.0) << "sample " << k;
    }
}

// Sample-to-sample steps while notes and levels change, across chunk and
// buffer boundaries, stay within what the sounding cosines and their 50 ms
// ramps can produce. A switch without a ramp jumps by thousands.
TEST(ToneSynth, NoteAndGainChangesNeverStepBeyondTheSlope) {
    const double frequencies[] = {50.0, 80.0, 60.0};
    double bound = 2.0;
    for (double f : frequencies) {
        bound += kFullGain * (2.0 * std::sin(kPi * f / kRate) + 1.0 / kRamp);
    }
    ToneSynth synth(kRate, 0, frequencies[0], 1.0);
    std::vector<int16_t> stream;
    auto play = [&](size_t count) {
        std::vector<int16_t> part = render(synth, count);
        stream.insert(stream.end(), part.begin(), part.end());
    };
    play(3001);
    synth.setFrequency(frequencies[1]);
    play(777);
    synth.setGain(0.1);
    play(2205);
    synth.setFrequency(frequencies[2]);
    synth.setGain(1.0);
    play(5000);
    synth.setFrequency(0.0);
    play(3000);
    EXPECT_LE(maxStep(stream), bound);
    EXPECT_GT(maxStep(stream), bound / 10); // the stream really moved
    EXPECT_TRUE(synth.silent());
}

TEST(ToneSynth, FrequencyZeroFadesToSilenceThatKeepsFlowing) {
    ToneSynth synth(kRate, 0, 440.0, 1.0);
    render(synth, 4410);
    synth.setFrequency(0.0);
    std::vector<int16_t> fade = render(synth, kRamp);
    EXPECT_GT(*std::max_element(fade.begin(), fade.begin() + 100), 20000);
    EXPECT_TRUE(synth.silent());
    std::vector<int16_t> after = render(synth, 2 * kRamp);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](int16_t s) { return s == 0; }));

    ToneSynth quiet(kRate, 0, 0.0, 1.0);
    EXPECT_TRUE(quiet.silent());
    quiet.setGain(0.25);
    quiet.setFrequency(440.0);
    expectCosine(render(quiet, 2 * kRamp), 0, 440.0 / kRate, 0.25);
}

TEST(ToneSynth, FadeOutAllSilencesEveryVoiceWithinOneRamp) {
    ToneSynth synth(kRate, 0, 440.0, 1.0);
    render(synth, 1000);
    synth.setFrequency(660.0);
    render(synth, 1000);
    synth.setGain(0.3);
    EXPECT_EQ(synth.voiceCount(), 3u);
    synth.fadeOutAll();
    render(synth, kRamp);
    EXPECT_TRUE(synth.silent());
}

struct RefusingHeap {
    static bool refuse;
    static void* allocate(size_t bytes) { return refuse ? nullptr : std::calloc(1, bytes); }
    static void release(void* block) { std::free(block); }
};
bool RefusingHeap::refuse = false;

TEST(ToneSynth, RefusedVoicesLeaveTheSoundAsItWas) {
    const VoiceHeap heap = {RefusingHeap::allocate, RefusingHeap::release};
    RefusingHeap::refuse = true;
    ToneSynth silentStart(kRate, 0, 440.0, 1.0, heap);
    EXPECT_TRUE(silentStart.silent());

    RefusingHeap::refuse = false;
    ToneSynth synth(kRate, 0, 440.0, 1.0, heap);
    RefusingHeap::refuse = true;
    std::vector<int16_t> before = render(synth, 3000);
    synth.setFrequency(660.0);
    synth.setGain(0.2);
    std::vector<int16_t> after = render(synth, 3000);
    before.insert(before.end(), after.begin(), after.end());
    expectCosine(before, 0, 440.0 / kRate, 1.0);
    RefusingHeap::refuse = false;
}

TEST(DoubleMessage, TravelsBitForBitLowHalfFirst) {
    for (double value : {440.0, -0.0, 0.31622776601683794, 5e-324, 1e300}) {
        const DoubleHalves halves = splitDouble(value);
        const double back = joinDouble(halves.low, halves.high);
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << value;
    }
    const DoubleHalves halves = splitDouble(440.0);
    EXPECT_EQ(halves.low, 0u);
    EXPECT_EQ(halves.high, 0x407B8000u);
    // A sign-extended parameter brings nothing of its upper half.
    EXPECT_EQ(joinDouble(halves.low | 0xFFFFFFFF00000000u, halves.high), 440.0);
}

} // namespace
} // namespace tonvale
