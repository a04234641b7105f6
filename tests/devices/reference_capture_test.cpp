// The reference capture's judgement of a stream of readings, one every
// 0.1 s, as the capture dialog feeds them.
#include "devices/calibration/measurement_outcome.h"
#include "devices/calibration/reference_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace tonvale {
namespace {

struct CaptureRun {
    ReferenceCaptureJob job;
    int readings = 0;      // fed until completion
    int shownChanges = 0;  // showDetected steps
    uint32_t sequence = 0; // of the next reading
};

// Feeds readings frequency(i), level(i) from `sequence` on until the capture
// completes or `limit` readings have gone.
void feed(
    CaptureRun& run, const std::function<double(int)>& frequency, int limit,
    const std::function<float(int)>& level = [](int) { return 0.01f; }) {
    run.job.state = CaptureState::capturing;
    for (int i = 0; i < limit; ++i) {
        const CaptureStep step = evaluateReading(run.job, {run.sequence++, level(i), frequency(i)});
        ++run.readings;
        if (step == CaptureStep::showDetected)
            ++run.shownChanges;
        if (step == CaptureStep::completed)
            return;
    }
}

TEST(ReferenceCapture, MatchesWithinASemitone) {
    EXPECT_EQ(matchReference(440.0), 440);
    EXPECT_EQ(matchReference(453.0), 440);
    EXPECT_EQ(matchReference(440.0 / 1.0594630943592953), 440);
    EXPECT_EQ(matchReference(440.0 * 1.0594630943592953), 440);
    EXPECT_EQ(matchReference(470.0), 0);
    EXPECT_EQ(matchReference(415.0), 0);
    // Between 880 and 1000 lies a gap no reference claims.
    EXPECT_EQ(matchReference(932.0), 880);
    EXPECT_EQ(matchReference(940.0), 0);
    EXPECT_EQ(matchReference(944.0), 1000);
    EXPECT_EQ(matchReference(1050.0), 1000);
    EXPECT_EQ(matchReference(2100.0), 2000);
    EXPECT_EQ(matchReference(0.0), 0);
}

TEST(ReferenceCapture, SteadyToneCompletesAfterTwentyIgnoredAndTenSteadyReadings) {
    // A tone 1.2 cents sharp: the clock looks 1.2 cents slow.
    const double sharp = 440.0 * std::pow(2.0, 1.2 / 1200.0);
    CaptureRun run;
    run.sequence = 500;
    feed(
        run, [&](int) { return sharp; }, 200);
    EXPECT_EQ(run.job.state, CaptureState::finished);
    // Readings 0-19 wait, 20-29 form the run: completion at the 30th, 3 s in.
    EXPECT_EQ(run.readings, 30);
    EXPECT_EQ(run.job.shownFrequency, 440);
    EXPECT_EQ(run.shownChanges, 1);
    EXPECT_NEAR(observedFrequency(run.job), sharp, 1e-9);
    EXPECT_NEAR(centsOfRatio(run.job.result), -1.2, 1e-9);
}

TEST(ReferenceCapture, ToneAt453HzCountsAs440) {
    CaptureRun run;
    feed(
        run, [](int) { return 453.0; }, 200);
    EXPECT_EQ(run.readings, 30);
    EXPECT_NEAR(run.job.result, 440.0 / 453.0, 1e-12);
}

TEST(ReferenceCapture, ToneAt470HzMatchesNothing) {
    CaptureRun run;
    feed(
        run, [](int) { return 470.0; }, 300);
    EXPECT_EQ(run.job.state, CaptureState::capturing);
    EXPECT_EQ(run.job.shownFrequency, 0);
    EXPECT_EQ(run.shownChanges, 0);
}

TEST(ReferenceCapture, WanderingToneEndsWithoutResultAfter120Readings) {
    // 0.06 Hz per reading: every third reading spreads the run beyond 0.1 Hz.
    CaptureRun run;
    feed(
        run, [](int i) { return 438.0 + 0.06 * i; }, 400);
    EXPECT_EQ(run.job.state, CaptureState::finished);
    EXPECT_EQ(run.readings, 121);
    EXPECT_EQ(run.job.result, 0.0);
    EXPECT_EQ(observedFrequency(run.job), 0.0);
}

TEST(ReferenceCapture, LevelSwingOfMoreThanOneDecibelRestartsTheRun) {
    CaptureRun run;
    // Every fifth reading 1.1 dB louder: no run of ten survives.
    feed(
        run, [](int) { return 440.0; }, 400,
        [](int i) { return i % 5 == 4 ? 0.01f * 1.288f : 0.01f; });
    EXPECT_EQ(run.readings, 121);
    EXPECT_EQ(run.job.result, 0.0);
    // 0.9 dB is still steady.
    CaptureRun steady;
    feed(
        steady, [](int) { return 440.0; }, 400,
        [](int i) { return i % 5 == 4 ? 0.01f * 1.23f : 0.01f; });
    EXPECT_EQ(steady.readings, 30);
    EXPECT_NEAR(steady.job.result, 1.0, 1e-12);
}

TEST(ReferenceCapture, SwitchingReferenceRestartsTheWait) {
    CaptureRun run;
    feed(
        run, [](int i) { return i < 25 ? 440.0 : 880.0; }, 200);
    // 25 readings of 440 (a run of 5 begun), then 880 waits 20 again.
    EXPECT_EQ(run.readings, 25 + 30);
    EXPECT_EQ(run.shownChanges, 2);
    EXPECT_NEAR(run.job.result, 1.0, 1e-12);
    EXPECT_EQ(run.job.candidate, 880);
}

TEST(ReferenceCapture, SilenceClearsTheCandidateAndTheShownFrequency) {
    CaptureRun run;
    feed(
        run, [](int i) { return i < 5   ? 1000.0
                                : i < 8 ? 0.0
                                        : 1000.0; }, 200);
    // Shown 1000, then none, then 1000 again; the wait starts over at 8.
    EXPECT_EQ(run.shownChanges, 3);
    EXPECT_EQ(run.readings, 8 + 30);
    EXPECT_NEAR(run.job.result, 1.0, 1e-12);
}

TEST(ReferenceCapture, SequenceWrapsAsUnsigned) {
    CaptureRun run;
    run.sequence = 0xFFFFFFF0u;
    feed(
        run, [](int) { return 2000.0; }, 200);
    EXPECT_EQ(run.readings, 30);
}

TEST(MeasurementOutcome, CounterBiasAndCountDown) {
    EXPECT_NEAR(counterBiasCents(44110.0, 44100.0), 0.39, 0.005);
    EXPECT_NEAR(counterBiasCents(44100.0, 44100.0), 0.0, 1e-12);
    EXPECT_LT(counterBiasCents(47990.0, 48000.0), 0.0);
    EXPECT_EQ(secondsRemaining(1000, 1000), 30u);
    EXPECT_EQ(secondsRemaining(1000, 1999), 30u);
    EXPECT_EQ(secondsRemaining(1000, 2000), 29u);
    EXPECT_EQ(secondsRemaining(1000, 30999), 1u);
    EXPECT_EQ(secondsRemaining(1000, 45000), 1u);
    // GetTickCount wraps after 49.7 days.
    EXPECT_EQ(secondsRemaining(0xFFFFF000u, 0x00000C18u), 23u); // 7.192 s
}

} // namespace
} // namespace tonvale
