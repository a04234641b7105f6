#include "tools/analyzer/analyzer.h"
#include "wav_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace tonvale {
namespace {

using test::WavKind;
using test::WavLayout;

constexpr double kPi = 3.14159265358979323846;

struct Tone {
    double freqHz;
    double amplitude; // full scale 1.0
};

// Interleaved frames; the right channel is `rightGain` times the left.
std::vector<double> makeFrames(const std::vector<Tone>& tones, uint32_t rate, double seconds,
                               uint16_t channels, double rightGain = 1.0) {
    const size_t frames = static_cast<size_t>(rate * seconds);
    std::vector<double> out;
    out.reserve(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        double v = 0.0;
        for (const Tone& t : tones) {
            v += t.amplitude * std::sin(2.0 * kPi * t.freqHz * i / rate);
        }
        out.push_back(v);
        if (channels == 2) {
            out.push_back(v * rightGain);
        }
    }
    return out;
}

struct Result {
    int status = -1;
    std::vector<std::vector<std::string>> rows; // table rows without the header
    std::string header;
    std::string summary;
    std::string err;
};

class AnalyzerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = std::filesystem::temp_directory_path() /
               ("tonvale-analyzer-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string path(const std::string& name) const {
        return (dir_ / std::filesystem::u8path(name)).u8string();
    }

    std::string writeWav(const std::string& name, const WavLayout& layout,
                         const std::vector<double>& samples) const {
        const std::string file = path(name);
        test::writeFile(file, test::makeWav(layout, samples));
        return file;
    }

    static Result run(std::vector<std::string> args) {
        std::ostringstream out;
        std::ostringstream err;
        Result result;
        result.status = runAnalyzer(args, out, err);
        result.err = err.str();
        std::istringstream lines(out.str());
        std::string line;
        while (std::getline(lines, line)) {
            if (result.header.empty()) {
                result.header = line;
            } else if (line.rfind("summary:", 0) == 0) {
                result.summary = line;
            } else {
                std::vector<std::string> cells;
                std::istringstream cellStream(line);
                std::string cell;
                while (std::getline(cellStream, cell, '\t')) {
                    cells.push_back(cell);
                }
                result.rows.push_back(cells);
            }
        }
        return result;
    }

    std::filesystem::path dir_;
};

enum Column { kBlock, kTime, kLevel, kFrequency, kNote, kCents };

TEST_F(AnalyzerTest, EveryRateOfBothFamiliesReadsTheTone) {
    for (uint32_t base : {11025u, 12000u}) {
        for (uint32_t factor : {1u, 2u, 4u, 8u}) {
            const uint32_t rate = base * factor;
            const std::string file = writeWav("tone.wav", {rate, 1, WavKind::pcm16},
                                              makeFrames({{440.0, 0.5}}, rate, 1.25, 1));
            const Result r = run({file});
            ASSERT_EQ(r.status, 0) << rate << r.err;
            EXPECT_EQ(r.header, "block\ttime_s\tlevel\tfrequency_hz\tnote\tcents");
            const size_t blockFrames = factor * (base / 10);
            ASSERT_EQ(r.rows.size(), static_cast<size_t>(rate * 1.25) / blockFrames) << rate;
            const auto& last = r.rows.back();
            ASSERT_EQ(last.size(), 6u);
            EXPECT_EQ(last[kBlock], std::to_string(r.rows.size() - 1));
            EXPECT_NEAR(std::stod(last[kTime]),
                        static_cast<double>(r.rows.size() * blockFrames) / rate, 0.0006);
            EXPECT_NEAR(std::stod(last[kFrequency]), 440.0, 0.01) << rate;
            EXPECT_EQ(last[kNote], "A4");
            EXPECT_NEAR(std::stod(last[kCents]), 0.0, 0.05);
            // A sine of amplitude 0.5 has a power of 0.125: -9.03 dB.
            EXPECT_NEAR(std::stod(last[kLevel]), -9.03, 0.1) << rate;
        }
    }
}

TEST_F(AnalyzerTest, StereoAndWiderSamplesReadLikeMono) {
    const std::vector<Tone> tone = {{329.63, 0.4}};
    const std::string mono =
        writeWav("mono.wav", {48000, 1, WavKind::pcm16}, makeFrames(tone, 48000, 1.0, 1));
    const Result reference = run({"--summary", mono});
    ASSERT_EQ(reference.status, 0) << reference.err;
    EXPECT_EQ(reference.rows.back()[kNote], "E4");
    for (WavKind kind :
         {WavKind::pcm16, WavKind::pcm24, WavKind::float32, WavKind::extensiblePcm16}) {
        const std::string file =
            writeWav("stereo.wav", {48000, 2, kind}, makeFrames(tone, 48000, 1.0, 2));
        const Result r = run({"--summary", file});
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(r.rows.size(), reference.rows.size());
        EXPECT_EQ(r.summary, reference.summary) << static_cast<int>(kind);
        EXPECT_NEAR(std::stod(r.rows.back()[kLevel]), std::stod(reference.rows.back()[kLevel]),
                    0.01);
    }
}

TEST_F(AnalyzerTest, ChannelsInOppositePhaseMixToSilence) {
    const std::string file = writeWav("opposed.wav", {22050, 2, WavKind::pcm16},
                                      makeFrames({{440.0, 0.5}}, 22050, 0.5, 2, -1.0));
    const Result r = run({"--summary", file});
    ASSERT_EQ(r.status, 0);
    for (const auto& row : r.rows) {
        EXPECT_EQ(row[kFrequency], "0");
        EXPECT_EQ(row[kNote], "-");
        EXPECT_EQ(row[kCents], "-");
    }
    EXPECT_EQ(r.summary, "summary: no block with a note (5 blocks)");
}

// A tone gliding from 400 to 480 Hz gives every block a frequency of its own.
std::vector<double> makeGlide(uint32_t rate, double seconds) {
    std::vector<double> out(static_cast<size_t>(rate * seconds));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        out[i] = 0.5 * std::sin(2.0 * kPi * (400.0 * t + 40.0 * t * t));
    }
    return out;
}

double summaryMedian(const Result& r) {
    double median = 0.0;
    EXPECT_EQ(std::sscanf(r.summary.c_str(), "summary: median %lf Hz", &median), 1) << r.summary;
    return median;
}

// The median of an even count is the mean of the middle two.
TEST_F(AnalyzerTest, SummaryMedianOfEvenAndOddCounts) {
    for (double seconds : {1.0, 0.8}) {
        const std::string file =
            writeWav("glide.wav", {11025, 1, WavKind::pcm16}, makeGlide(11025, seconds));
        const Result r = run({"--summary", file});
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<double> frequencies;
        for (const auto& row : r.rows) {
            frequencies.push_back(std::stod(row[kFrequency]));
        }
        ASSERT_EQ(frequencies.size(), seconds == 1.0 ? 10u : 8u);
        std::sort(frequencies.begin(), frequencies.end());
        const size_t n = frequencies.size();
        ASSERT_GT(frequencies[n / 2] - frequencies[n / 2 - 1], 1.0);
        EXPECT_NEAR(summaryMedian(r), (frequencies[n / 2 - 1] + frequencies[n / 2]) / 2.0, 0.0011);
    }
    const std::string file =
        writeWav("glide.wav", {11025, 1, WavKind::pcm16}, makeGlide(11025, 0.7));
    const Result r = run({"--summary", file});
    ASSERT_EQ(r.rows.size(), 7u);
    std::vector<std::string> frequencies;
    for (const auto& row : r.rows) {
        frequencies.push_back(row[kFrequency]);
    }
    std::sort(frequencies.begin(), frequencies.end());
    EXPECT_EQ(r.summary.rfind("summary: median " + frequencies[3] + " Hz, ", 0), 0u) << r.summary;
}

TEST_F(AnalyzerTest, CentsThatRoundToZeroHaveNoMinusSign) {
    const std::string file =
        writeWav("flat.wav", {11025, 1, WavKind::pcm16},
                 makeFrames({{440.0 * std::pow(2.0, -0.003 / 1200), 0.5}}, 11025, 1.0, 1));
    const Result r = run({"--summary", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.rows.back()[kCents], "0.00");
    EXPECT_NE(r.summary.find(", A4 +0.00 cents, "), std::string::npos) << r.summary;
}

TEST_F(AnalyzerTest, SilenceHasMinusInfiniteLevelAndNoNote) {
    const std::string file =
        writeWav("silence.wav", {11025, 1, WavKind::pcm16}, std::vector<double>(11025, 0.0));
    const Result r = run({file});
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.rows.size(), 10u);
    EXPECT_EQ(r.rows[3], (std::vector<std::string>{"3", "0.400", "-inf", "0", "-", "-"}));
}

TEST_F(AnalyzerTest, HumFilterUncoversTheToneUnderFiftyHertz) {
    const std::string file = writeWav("hum.wav", {44100, 1, WavKind::pcm16},
                                      makeFrames({{50.0, 0.6}, {261.63, 0.05}}, 44100, 1.5, 1));
    Result r = run({"--summary", file});
    ASSERT_EQ(r.status, 0);
    EXPECT_NEAR(std::stod(r.rows.back()[kFrequency]), 50.0, 0.1);
    r = run({"--hum", "50", "--summary", file});
    ASSERT_EQ(r.status, 0);
    EXPECT_NEAR(std::stod(r.rows.back()[kFrequency]), 261.63, 0.01);
    EXPECT_EQ(r.rows.back()[kNote], "C4");
}

TEST_F(AnalyzerTest, ClockAdjustmentOfOneCentReadsOneCentHigher) {
    const std::string file =
        writeWav("a.wav", {96000, 1, WavKind::pcm16}, makeFrames({{440.0, 0.5}}, 96000, 1.0, 1));
    const Result plain = run({file});
    const Result adjusted = run({"--clock-adjust", "100", file});
    ASSERT_EQ(adjusted.status, 0);
    EXPECT_NEAR(std::stod(adjusted.rows.back()[kCents]) - std::stod(plain.rows.back()[kCents]), 1.0,
                0.011);
    EXPECT_NEAR(std::stod(adjusted.rows.back()[kFrequency]), 440.0 * std::pow(2.0, 1.0 / 1200),
                0.002);
}

TEST_F(AnalyzerTest, ReferenceAndShiftChangeNotesAndCents) {
    const std::string file =
        writeWav("a.wav", {24000, 1, WavKind::pcm16}, makeFrames({{440.0, 0.5}}, 24000, 1.0, 1));
    Result r = run({"--a4", "442", file});
    EXPECT_EQ(r.rows.back()[kNote], "A4");
    EXPECT_NEAR(std::stod(r.rows.back()[kCents]), 1200.0 * std::log2(440.0 / 442.0), 0.02);
    r = run({"--shift=-1", file});
    EXPECT_EQ(r.rows.back()[kNote], "Bb4");
    EXPECT_NEAR(std::stod(r.rows.back()[kCents]), 0.0, 0.02);
    r = run({"--shift", "-3", file});
    EXPECT_EQ(r.rows.back()[kNote], "C5");
}

TEST_F(AnalyzerTest, HarmonicsAwareFindsTheFundamentalUnderItsSecondHarmonic) {
    const std::string file = writeWav(
        "a2.wav", {44100, 1, WavKind::pcm16},
        makeFrames({{110.0, 0.09}, {220.0, 0.3}, {330.0, 0.15}, {440.0, 0.12}, {550.0, 0.09}},
                   44100, 1.0, 1));
    Result r = run({"--summary", file});
    EXPECT_NEAR(std::stod(r.rows.back()[kFrequency]), 220.0, 0.01);
    EXPECT_EQ(r.rows.back()[kNote], "A3");
    r = run({"--harmonics", "--long-fft", "--summary", file});
    EXPECT_NEAR(std::stod(r.rows.back()[kFrequency]), 110.0, 0.01);
    EXPECT_EQ(r.rows.back()[kNote], "A2");
}

// Three decimals of a hertz are 0.06 cent at 27.5 Hz: too coarse to measure
// the reading's own accuracy.
TEST_F(AnalyzerTest, DecimalsWidenTheFrequencyColumnAndTheSummary) {
    const std::string file = writeWav("a0.wav", {44100, 1, WavKind::pcm16},
                                      makeFrames({{27.5 * 1.0001, 0.5}}, 44100, 1.0, 1));
    const Result plain = run({"--summary", file});
    const Result wide = run({"--decimals", "7", "--summary", file});
    ASSERT_EQ(wide.status, 0) << wide.err;
    const std::string& frequency = wide.rows.back()[kFrequency];
    EXPECT_EQ(frequency.size() - frequency.find('.'), 8u) << frequency;
    EXPECT_NEAR(std::stod(frequency), std::stod(plain.rows.back()[kFrequency]), 0.0005);
    EXPECT_NE(wide.summary.find(" 27.50"), std::string::npos) << wide.summary;
    EXPECT_EQ(wide.rows.back()[kCents], plain.rows.back()[kCents]);
    EXPECT_EQ(run({"--decimals", "0", file}).rows.back()[kFrequency], "28");
}

TEST_F(AnalyzerTest, ThresholdDecidesWhetherAQuietToneIsRead) {
    // Amplitude 0.0005: -69 dB.
    const std::string file = writeWav("quiet.wav", {12000, 1, WavKind::float32},
                                      makeFrames({{440.0, 0.0005}}, 12000, 1.0, 1));
    EXPECT_EQ(run({file}).rows.back()[kNote], "-");
    EXPECT_EQ(run({"--threshold", "-80", file}).rows.back()[kNote], "A4");
}

TEST_F(AnalyzerTest, NonAsciiFileNamesAreRead) {
    const std::string file = writeWav("\xC3\xA4\xE9\x9F\xB3.wav", {11025, 1, WavKind::pcm16},
                                      makeFrames({{440.0, 0.5}}, 11025, 0.6, 1));
    const Result r = run({file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.rows.back()[kNote], "A4");
}

TEST_F(AnalyzerTest, BadFilesAreRefusedWithAReason) {
    const std::vector<double> tone = makeFrames({{440.0, 0.5}}, 32000, 0.3, 1);
    std::string truncated =
        test::makeWav({44100, 1, WavKind::pcm16}, makeFrames({{440.0, 0.5}}, 44100, 0.3, 1));
    truncated.resize(truncated.size() - 1000);
    test::writeFile(path("truncated.wav"), truncated);
    test::writeFile(path("text.wav"), "just some text, not a WAV file at all");
    struct Case {
        std::string file;
        std::string message;
    };
    const Case cases[] = {
        {path("missing.wav"), "cannot read"},
        {dir_.u8string(), "cannot read"},
        {path("text.wav"),
         "not a RIFF/WAVE file; accepted: 16-bit or 24-bit PCM, or 32-bit float; mono or stereo"},
        {writeWav("rate.wav", {32000, 1, WavKind::pcm16}, tone),
         "unsupported sample rate 32000 Hz; accepted: 11025, 22050, 44100 or 88200 Hz, or 12000, "
         "24000, 48000 or 96000 Hz"},
        {writeWav("8bit.wav", {44100, 1, WavKind::pcm8}, tone),
         "unsupported sample format: 8-bit PCM; accepted: 16-bit or 24-bit PCM, or 32-bit float; "
         "mono or stereo"},
        {path("truncated.wav"), "truncated data chunk"},
    };
    for (const Case& c : cases) {
        const Result r = run({c.file});
        EXPECT_EQ(r.status, 2) << c.file;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.rfind("tonvale-analyze: ", 0), 0u) << r.err;
        EXPECT_TRUE(r.header.empty());
    }
}

TEST_F(AnalyzerTest, BadOptionsAreRefusedAndHelpIsShown) {
    const std::string file =
        writeWav("a.wav", {11025, 1, WavKind::pcm16}, makeFrames({{440.0, 0.5}}, 11025, 0.3, 1));
    const std::vector<std::vector<std::string>> refused = {
        {"--threshold", "-90", file},
        {"--threshold", "-39", file},
        {"--threshold", "-60.5", file},
        {"--a4", "299.9", file},
        {"--a4", "501", file},
        {"--shift", "3", file},
        {"--shift", "-9", file},
        {"--clock-adjust", "10001", file},
        {"--clock-adjust", "-10001", file},
        {"--hum", "abc", file},
        {"--hum", "100", file},
        {"--decimals", "10", file},
        {"--decimals", "-1", file},
        {"--bogus", file},
        {"--summary=yes", file},
        {file, "--threshold"},
        {},
        {file, file},
    };
    for (const auto& args : refused) {
        const Result r = run(args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("--help"), std::string::npos) << r.err;
    }
    EXPECT_EQ(run({"--threshold=-80", "--a4", "500", "--shift", "-8", "--clock-adjust", "-10000",
                   "--hum", "60", file})
                  .status,
              0);
    const Result help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.header.rfind("Usage: tonvale-analyze", 0), 0u);
}

TEST_F(AnalyzerTest, LiveOptionsAreCheckedBeforeAnyDeviceIsOpened) {
    const std::string file =
        writeWav("a.wav", {11025, 1, WavKind::pcm16}, makeFrames({{440.0, 0.5}}, 11025, 0.3, 1));
    const struct {
        std::vector<std::string> args;
        const char* message;
    } refused[] = {
        {{"--live", "0", "--device", "0"}, "--live takes a number from 0.1 to 86400"},
        {{"--live", "86401"}, "--live takes"},
        {{"--live", "2", file}, "--live takes no input file"},
        {{"--live", "2", "--rate", "32000"}, "--rate takes 11025, 22050"},
        {{"--live", "2", "--rate", "44100.0"}, "--rate takes"},
        {{"--live", "2", "--channels", "3"}, "--channels takes a whole number from 1 to 2"},
        {{"--live", "2", "--device="}, "--device needs a name or an index"},
        {{"--device", "0", file}, "--device, --channels and --rate go with --live"},
        {{"--rate", "48000", file}, "go with --live"},
    };
    for (const auto& c : refused) {
        const Result r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(r.header.empty());
    }
#ifndef _WIN32
    // Capture devices are the Windows build's.
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--live", "1"}, {"--list-devices"}}) {
        const Result r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("need the Windows build"), std::string::npos) << r.err;
    }
#endif
}

} // namespace
} // namespace tonvale
