// The analyzer with a temperament and a note subtitle display: cents follow
// the temperament, names the display spelling, and bad choices say why.
#include "tools/analyzer/analyzer.h"
#include "wav_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace tonvale {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Outcome {
    int status = -1;
    std::string header;
    std::vector<std::string> lastRow; // columns of the last block
    std::string summary;
    std::string err;
};

class AnalyzerTuningTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ =
            std::filesystem::temp_directory_path() /
            ("tonvale-analyzer-tuning-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string path(const std::string& name) const { return (dir_ / name).u8string(); }

    std::string tone(double freqHz) const {
        const uint32_t rate = 44100;
        std::vector<double> samples(rate);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = 0.5 * std::sin(2.0 * kPi * freqHz * static_cast<double>(i) / rate);
        std::string file = path("tone.wav");
        test::writeFile(file, test::makeWav(test::WavLayout{}, samples));
        return file;
    }

    static std::string sample(const std::string& name) {
        return std::string(TONVALE_RESOURCES_DIR) + "/tuning/" + name;
    }

    static Outcome run(std::vector<std::string> args) {
        args.insert(args.begin(), "--summary");
        std::ostringstream out;
        std::ostringstream err;
        Outcome result;
        result.status = runAnalyzer(args, out, err);
        result.err = err.str();
        std::istringstream lines(out.str());
        std::string line;
        std::string previous;
        std::getline(lines, result.header);
        while (std::getline(lines, line)) {
            if (line.rfind("summary:", 0) == 0) {
                result.summary = line;
                std::istringstream columns(previous);
                std::string column;
                while (std::getline(columns, column, '\t'))
                    result.lastRow.push_back(column);
            }
            previous = line;
        }
        return result;
    }

    std::filesystem::path dir_;
};

TEST_F(AnalyzerTuningTest, CentsFollowTheTemperament) {
    // E4 of quarter-comma meantone in C, 3.42 cents below equal temperament
    // with A held at 440 Hz.
    const double meantoneE4 = 440.0 * std::pow(2.0, (386.3137 - 889.7353) / 1200.0);
    std::string wav = tone(meantoneE4);
    Outcome equal = run({wav});
    ASSERT_EQ(equal.status, 0) << equal.err;
    EXPECT_EQ(equal.lastRow[4], "E4");
    EXPECT_NEAR(std::stod(equal.lastRow[5]), -3.42, 0.1);
    Outcome meantone =
        run({"--scale-ini", sample("scale.ini"), "--temperament", "Meantone 1/4 comma", wav});
    ASSERT_EQ(meantone.status, 0) << meantone.err;
    EXPECT_EQ(meantone.lastRow[4], "E4");
    EXPECT_NEAR(std::stod(meantone.lastRow[5]), 0.0, 0.1);
    EXPECT_EQ(meantone.header.find("subtitle"), std::string::npos);
}

TEST_F(AnalyzerTuningTest, NamesFollowTheKey) {
    std::string wav = tone(440.0 * std::pow(2.0, -6.0 / 12)); // D#4 / Eb4
    EXPECT_EQ(run({"--key", "Eb", wav}).lastRow[4], "Eb4");
    EXPECT_EQ(run({"--key", "4", wav}).lastRow[4], "D#4");
    EXPECT_EQ(run({"--key", "E", wav}).lastRow[4], "D#4");
    Outcome bad = run({"--key", "12", wav});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--key"), std::string::npos);
}

TEST_F(AnalyzerTuningTest, SubtitleColumnAndWrittenNotes) {
    std::string wav = tone(440.0);
    Outcome clarinet = run({"--note-ini", sample("note.ini"), "--subtitle", "Bb Clarinet", wav});
    ASSERT_EQ(clarinet.status, 0) << clarinet.err;
    EXPECT_NE(clarinet.header.find("\tsubtitle"), std::string::npos);
    ASSERT_EQ(clarinet.lastRow.size(), 7u);
    EXPECT_EQ(clarinet.lastRow[4], "B4"); // concert A4 is written B4
    EXPECT_EQ(clarinet.lastRow[6], "Concert A");
    EXPECT_NE(clarinet.summary.find("B4"), std::string::npos);
    Outcome german = run({"--note-ini", sample("note.ini"), "--subtitle", "German (H for B)",
                          tone(440.0 * std::pow(2.0, 2.0 / 12))});
    EXPECT_EQ(german.lastRow[4], "B4");
    EXPECT_EQ(german.lastRow[6], "H");
}

TEST_F(AnalyzerTuningTest, MissingFilesAndSectionsAreExplained) {
    std::string wav = tone(440.0);
    Outcome noSection = run({"--scale-ini", sample("scale.ini"), "--temperament", "Nope", wav});
    EXPECT_EQ(noSection.status, 2);
    EXPECT_NE(noSection.err.find("has no section [Nope]"), std::string::npos);
    EXPECT_NE(noSection.err.find("Vallotti"), std::string::npos);
    Outcome noFile = run({"--note-ini", path("none.ini"), "--subtitle", "X", wav});
    EXPECT_EQ(noFile.status, 2);
    EXPECT_NE(noFile.err.find("cannot read"), std::string::npos);
    test::writeFile(path("bad.ini"), "[Broken]\nComma=1/0\n");
    Outcome broken = run({"--scale-ini", path("bad.ini"), "--temperament", "Broken", wav});
    EXPECT_EQ(broken.status, 2);
    EXPECT_NE(broken.err.find("cannot be used"), std::string::npos);
    EXPECT_EQ(run({"--temperament", "Vallotti", wav}).status, 2);
    EXPECT_EQ(run({"--subtitle", "Bb Clarinet", wav}).status, 2);
    EXPECT_EQ(run({"--scale-ini", sample("scale.ini"), wav}).status, 2);
}

} // namespace
} // namespace tonvale
