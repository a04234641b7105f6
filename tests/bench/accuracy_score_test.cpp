#include "bench/accuracy/partials.h"
#include "bench/accuracy/score.h"
#include "bench/accuracy/test_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace tonvale::accuracy {
namespace {

TEST(AccuracyScore, GrossErrorsAreOctavesOnlyNearWholeOctaves) {
    EXPECT_EQ(judge(50.0), Verdict::within);
    EXPECT_EQ(judge(-50.0), Verdict::within);
    EXPECT_EQ(judge(50.01), Verdict::other);
    EXPECT_EQ(judge(1200.0), Verdict::octave);
    EXPECT_EQ(judge(-1150.0), Verdict::octave);
    EXPECT_EQ(judge(1250.01), Verdict::other);
    EXPECT_EQ(judge(1901.96), Verdict::other); // a twelfth
    EXPECT_EQ(judge(-2400.0), Verdict::octave);
    EXPECT_EQ(judge(std::nan("")), Verdict::none);
}

TEST(AccuracyScore, PercentilesInterpolateBetweenRanks) {
    EXPECT_DOUBLE_EQ(percentile({3, 1, 2}, 0.5), 2.0);
    EXPECT_DOUBLE_EQ(percentile({4, 1, 3, 2}, 0.5), 2.5);
    std::vector<double> hundred;
    for (int i = 0; i <= 100; ++i) {
        hundred.push_back(100 - i);
    }
    EXPECT_DOUBLE_EQ(percentile(hundred, 0.95), 95.0);
    EXPECT_DOUBLE_EQ(percentile({7}, 0.95), 7.0);
    EXPECT_TRUE(std::isnan(percentile({}, 0.5)));
}

TEST(AccuracyScore, ReadingsSkipTextAndSilence) {
    std::istringstream in("block time_s level\n"
                          "0.1 0\n"
                          "0.2 440.5\n"
                          "0.3\t9.99\n"
                          "0.4 220 extra\n"
                          "summary: median 440 Hz\n"
                          "0.5 441.25\n");
    const std::vector<Reading> readings = parseReadings(in);
    ASSERT_EQ(readings.size(), 2u);
    EXPECT_DOUBLE_EQ(readings[0].timeS, 0.2);
    EXPECT_DOUBLE_EQ(readings[1].freqHz, 441.25);
}

TEST(AccuracyScore, ManifestRoundTripsAndRefusesBrokenLines) {
    ManifestEntry e;
    e.name = "sine-01";
    e.group = "sine";
    e.rateHz = 48000;
    e.seconds = 3.2;
    e.truthHz = 84.718574823;
    e.segmentStartS = 1.0;
    e.segmentEndS = 3.2;
    e.sineAmplitude = 0.0107;
    e.noiseRms = 8.8e-6;
    std::istringstream in(std::string(kManifestHeader) + "\n" + manifestLine(e, "a detail") + "\n");
    std::vector<ManifestEntry> entries;
    std::string error;
    ASSERT_TRUE(parseManifest(in, entries, error)) << error;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].group, "sine");
    EXPECT_EQ(entries[0].rateHz, 48000u);
    EXPECT_DOUBLE_EQ(entries[0].truthHz, e.truthHz);
    EXPECT_DOUBLE_EQ(entries[0].noiseRms, e.noiseRms);

    std::istringstream broken("x\tsine\t44100\t3\t0\t1\t3\t0\t0\t0\tzero truth\n");
    EXPECT_FALSE(parseManifest(broken, entries, error));
    EXPECT_NE(error.find("line 1"), std::string::npos);
}

ManifestEntry fileAt(double truthHz) {
    ManifestEntry e;
    e.name = "f";
    e.group = "g";
    e.rateHz = 44100;
    e.seconds = 3.0;
    e.truthHz = truthHz;
    e.segmentStartS = 1.0;
    e.segmentEndS = 3.0;
    return e;
}

// A file is judged by the median of its readings inside the steady stretch:
// a start-up reading outside it or one stray block inside cannot spoil it.
TEST(AccuracyScore, FilesAreJudgedByTheirMedianReadingInTheStretch) {
    const double cent = std::pow(2.0, 1.0 / 1200);
    const std::vector<Reading> readings = {{0.5, 880.0}, {1.0, 440.0 * cent}, {1.5, 880.0},
                                           {2.0, 440.0}, {2.5, 440.0},        {3.0, 440.0 / cent},
                                           {3.1, 10}};
    const FileScore score = scoreFile(fileAt(440.0), readings, {4096, 0}, 0.02);
    EXPECT_EQ(score.verdict, Verdict::within);
    EXPECT_NEAR(score.errorCents, 0.0, 1e-9);
    ASSERT_EQ(score.blockErrorsCents.size(), 5u);
    EXPECT_NEAR(score.blockErrorsCents[1], 1200.0, 1e-9);
    EXPECT_TRUE(std::isnan(score.boundCents)); // not a lone sine

    const FileScore octave = scoreFile(fileAt(220.0), readings, {4096, 0}, 0.02);
    EXPECT_EQ(octave.verdict, Verdict::octave);
    const FileScore none = scoreFile(fileAt(440.0), {{0.5, 440.0}}, {4096, 0}, 0.02);
    EXPECT_EQ(none.verdict, Verdict::none);
}

TEST(AccuracyScore, GroupSharesCountFilesAndSpeedIsAudioOverCpu) {
    std::vector<FileScore> files(4);
    const double errors[] = {0.1, 0.3, 1200.0, 0.0};
    const Verdict verdicts[] = {Verdict::within, Verdict::within, Verdict::octave, Verdict::none};
    for (int i = 0; i < 4; ++i) {
        files[i].errorCents = errors[i];
        files[i].verdict = verdicts[i];
        files[i].audioSeconds = 3.0;
        files[i].cpuSeconds = 0.02;
        files[i].boundCents = std::nan("");
    }
    const GroupScore g = summarize(files);
    EXPECT_EQ(g.files, 4);
    EXPECT_DOUBLE_EQ(g.medianCents, 0.3); // over the three files with a reading
    EXPECT_DOUBLE_EQ(g.shareOctave, 0.25);
    EXPECT_DOUBLE_EQ(g.shareNone, 0.25);
    EXPECT_DOUBLE_EQ(g.shareOther, 0.0);
    EXPECT_DOUBLE_EQ(g.audioPerCpu, 150.0);
    EXPECT_TRUE(std::isnan(g.boundP95Cents));
    const std::string table = markdownTable({{"sine", "a", g}, {"sine", "b", g}});
    EXPECT_NE(table.find("| sine | a | 4 | 0.3 |"), std::string::npos) << table;
    EXPECT_NE(table.find("|  | b | 4 |"), std::string::npos) << table;
}

// The tuner estimates from N + H samples at the decimated rate; its bound
// must equal that of a plain window of N + H samples at that rate carrying
// the same noise density.
TEST(AccuracyScore, BoundFollowsTheNoiseDensityThroughDecimation) {
    ManifestEntry captured = fileAt(440.0);
    captured.sineAmplitude = 0.1;
    captured.noiseRms = 0.01;
    ManifestEntry decimated = captured;
    decimated.rateHz = 11025;
    decimated.noiseRms = 0.01 * std::sqrt(11025.0 / 44100.0);
    const double tuner = boundCents(captured, {4096, 0});
    EXPECT_NEAR(tuner, boundCents(decimated, {0, 4096 + 1102}), 1e-12 * tuner);
    // Doubling the window divides the deviation by about 2^1.5.
    EXPECT_NEAR(boundCents(decimated, {0, 2 * 5198}) / boundCents(decimated, {0, 5198}),
                std::pow(2.0, -1.5), 1e-3);
    EXPECT_GT(tuner, boundCents(captured, {8192, 0}));
}

std::vector<double> tone(const std::vector<Partial>& partials, double rate, double seconds) {
    std::vector<double> out(static_cast<size_t>(rate * seconds));
    for (size_t i = 0; i < out.size(); ++i) {
        for (const Partial& p : partials) {
            out[i] += 32768.0 * p.amplitude * std::sin(2 * 3.141592653589793 * p.freqHz * i / rate);
        }
    }
    return out;
}

TEST(AccuracyTruth, FirstPartialIsTheTruthAndInharmonicityIsReported) {
    // A string-like tone, 10 cents off its nominal note, partials stretched.
    const double f1 = 110.0 * std::pow(2.0, 10.0 / 1200);
    std::vector<Partial> partials;
    for (int k = 1; k <= 8; ++k) {
        partials.push_back({k * f1 * std::sqrt(1.0 + 1e-4 * (k * k - 1)), 0.2 / k, 0.0});
    }
    const TruthMeasurement t = measureTruth(tone(partials, 44100, 1.0), 44100, 110.0);
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.truthPartial, 1);
    EXPECT_NEAR(centsBetween(t.truthHz, f1), 0.0, 0.001);
    EXPECT_NEAR(t.inharmonicityCents, 1200 * std::log2(std::sqrt(1.0 + 63e-4)), 0.01);
    EXPECT_NEAR(t.driftCents, 0.0, 0.01);
}

TEST(AccuracyTruth, AWeakFundamentalGivesWayToTheLowestStrongPartial) {
    const std::vector<Partial> partials = {
        {200.0, 0.3 * 0.003, 0.0}, {400.0, 0.3, 0.0}, {600.0, 0.2, 0.0}, {800.0, 0.1, 0.0}};
    const TruthMeasurement t = measureTruth(tone(partials, 48000, 1.0), 48000, 200.0);
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.truthPartial, 2);
    EXPECT_EQ(t.strongestPartial, 2);
    EXPECT_NEAR(centsBetween(t.truthHz, 200.0), 0.0, 0.001);
}

TEST(AccuracyTestSet, RecordingsAreReproducibleAndNoiseHasItsLevel) {
    const std::vector<Recording> a = syntheticRecordings(kTestSetSeed);
    const std::vector<Recording> b = syntheticRecordings(kTestSetSeed);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(a[7].truthHz, b[7].truthHz);
    const Recording* noisy = nullptr;
    for (const Recording& r : a) {
        if (r.group == "noisy-sine") {
            noisy = &r;
            break;
        }
    }
    ASSERT_NE(noisy, nullptr);
    Recording noiseOnly = *noisy;
    noiseOnly.partials.clear();
    const std::vector<int16_t> samples = renderRecording(noiseOnly);
    EXPECT_EQ(samples, renderRecording(noiseOnly));
    double power = 0.0;
    for (int16_t s : samples) {
        power += (s / 32768.0) * (s / 32768.0);
    }
    const double rms = std::sqrt(power / samples.size());
    EXPECT_NEAR(rms, std::hypot(noisy->noiseRms, kQuantizationRms), 0.02 * rms);
}

} // namespace
} // namespace tonvale::accuracy
