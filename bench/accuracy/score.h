// Scoring of pitch readings against the measured truth: per file the median
// of the readings inside the steady stretch, per group the spread of the
// files' errors, gross errors, block scatter, the estimation bound and speed.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace tonvale::accuracy {

struct Reading {
    double timeS = 0.0; // end of the stretch of sound the reading was made from
    double freqHz = 0.0;
};

// Lines "time frequency" separated by blanks or tabs; other lines (headers,
// summaries) are skipped, and so are readings below 10 Hz, which show no note.
std::vector<Reading> parseReadings(std::istream& in);

struct ManifestEntry {
    std::string name;
    std::string group;
    uint32_t rateHz = 0;
    double seconds = 0.0;
    double truthHz = 0.0;
    double segmentStartS = 0.0;
    double segmentEndS = 0.0;
    double humHz = 0.0;
    double sineAmplitude = 0.0; // full scale 1.0; 0 for anything but a lone sine
    double noiseRms = 0.0;      // white noise, quantization included
};

extern const char* const kManifestHeader;
std::string manifestLine(const ManifestEntry& entry, const std::string& detail);
// False with the line number in `error` on a malformed line.
bool parseManifest(std::istream& in, std::vector<ManifestEntry>& entries, std::string& error);

double centsBetween(double freqHz, double truthHz);

enum class Verdict { within, octave, other, none };
// Within 50 cents of the truth; else within 50 cents of a whole number of
// octaves from it; else any other gross error; `none` is for no reading.
Verdict judge(double cents);

// Linear interpolation between the closest ranks (the median of an even
// count is the mean of the middle two); NaN when empty.
double percentile(std::vector<double> values, double fraction);

// How the detector observes the sound, for the bound: the tuner decimates
// to 11025 or 12000 Hz and spans its transform length plus one hop with the
// two frames of a reading; other detectors span a window at the file's rate.
struct Observation {
    int tunerLength = 0;  // 4096 or 8192 for the tuner
    int windowFrames = 0; // otherwise, frames at the file's rate
};

// Standard deviation (cents) of any unbiased estimate of a lone sine's
// frequency from one observation: the Cramer-Rao bound for a real sine of
// unknown amplitude, phase and frequency in white Gaussian noise; NaN when
// the entry is not a lone sine.
double boundCents(const ManifestEntry& entry, const Observation& observation);

struct FileScore {
    Verdict verdict = Verdict::none;
    double errorCents = 0.0;              // |median reading - truth|; unset with no reading
    std::vector<double> blockErrorsCents; // |each reading - truth| inside the stretch
    double boundCents = 0.0;              // NaN unless a lone sine
    double audioSeconds = 0.0;
    double cpuSeconds = 0.0;
};

FileScore scoreFile(const ManifestEntry& entry, const std::vector<Reading>& readings,
                    const Observation& observation, double cpuSeconds);

struct GroupScore {
    int files = 0;
    double medianCents = 0.0; // of the files with a reading
    double p95Cents = 0.0;
    double shareOther = 0.0; // more than 50 cents off, not by whole octaves
    double shareOctave = 0.0;
    double shareNone = 0.0;
    double blockP95Cents = 0.0;
    double boundP95Cents = 0.0; // 1.96 x the bound, median over the files; NaN if none
    double audioPerCpu = 0.0;   // seconds of audio per CPU second
};

GroupScore summarize(const std::vector<FileScore>& files);

struct TableRow {
    std::string group;
    std::string detector;
    GroupScore score;
};

std::string markdownTable(const std::vector<TableRow>& rows);

} // namespace tonvale::accuracy
