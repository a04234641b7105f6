#include "bench/accuracy/score.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

namespace tonvale::accuracy {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGrossCents = 50.0;
constexpr double kNoNoteHz = 10.0;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

bool parseNumber(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

std::string formatCents(double value) {
    if (std::isnan(value)) {
        return "–";
    }
    char text[32];
    if (value >= 100.0) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else if (value >= 1.0) {
        std::snprintf(text, sizeof text, "%.2f", value);
    } else {
        std::snprintf(text, sizeof text, "%.2g", value);
    }
    return text;
}

std::string formatShare(double share) {
    if (share == 0.0) {
        return "0";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", 100.0 * share);
    return text;
}

} // namespace

std::vector<Reading> parseReadings(std::istream& in) {
    std::vector<Reading> readings;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string time;
        std::string freq;
        std::string rest;
        Reading r;
        if ((fields >> time >> freq) && !(fields >> rest) && parseNumber(time, r.timeS) &&
            parseNumber(freq, r.freqHz) && r.freqHz >= kNoNoteHz) {
            readings.push_back(r);
        }
    }
    return readings;
}

const char* const kManifestHeader = "name\tgroup\trate_hz\tseconds\ttruth_hz\tsegment_start_s\t"
                                    "segment_end_s\thum_hz\tsine_amplitude\tnoise_rms\tdetail";

std::string manifestLine(const ManifestEntry& e, const std::string& detail) {
    char numbers[256];
    std::snprintf(numbers, sizeof numbers, "%u\t%.3f\t%.9f\t%.3f\t%.3f\t%g\t%.9g\t%.9g", e.rateHz,
                  e.seconds, e.truthHz, e.segmentStartS, e.segmentEndS, e.humHz, e.sineAmplitude,
                  e.noiseRms);
    return e.name + '\t' + e.group + '\t' + numbers + '\t' + detail;
}

bool parseManifest(std::istream& in, std::vector<ManifestEntry>& entries, std::string& error) {
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line.rfind("name\t", 0) == 0) {
            continue;
        }
        std::vector<std::string> cells;
        std::istringstream stream(line);
        std::string cell;
        while (std::getline(stream, cell, '\t')) {
            cells.push_back(cell);
        }
        ManifestEntry e;
        double rate = 0.0;
        const bool ok = cells.size() >= 10 && !cells[0].empty() && parseNumber(cells[2], rate) &&
                        parseNumber(cells[3], e.seconds) && parseNumber(cells[4], e.truthHz) &&
                        parseNumber(cells[5], e.segmentStartS) &&
                        parseNumber(cells[6], e.segmentEndS) && parseNumber(cells[7], e.humHz) &&
                        parseNumber(cells[8], e.sineAmplitude) &&
                        parseNumber(cells[9], e.noiseRms) && rate > 0.0 && e.truthHz > 0.0 &&
                        e.segmentEndS > e.segmentStartS;
        if (!ok) {
            error = "manifest line " + std::to_string(number) + " is malformed";
            return false;
        }
        e.name = cells[0];
        e.group = cells[1];
        e.rateHz = static_cast<uint32_t>(rate);
        entries.push_back(e);
    }
    return true;
}

double centsBetween(double freqHz, double truthHz) {
    return 1200.0 * std::log2(freqHz / truthHz);
}

Verdict judge(double cents) {
    if (std::isnan(cents)) {
        return Verdict::none;
    }
    if (std::fabs(cents) <= kGrossCents) {
        return Verdict::within;
    }
    const double octaves = std::round(cents / 1200.0);
    return std::fabs(cents - 1200.0 * octaves) <= kGrossCents ? Verdict::octave : Verdict::other;
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return kNaN;
    }
    std::sort(values.begin(), values.end());
    const double position = fraction * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(std::floor(position));
    const size_t above = std::min(below + 1, values.size() - 1);
    const double weight = position - static_cast<double>(below);
    return values[below] + weight * (values[above] - values[below]);
}

double boundCents(const ManifestEntry& entry, const Observation& observation) {
    if (entry.sineAmplitude <= 0.0 || entry.noiseRms <= 0.0) {
        return kNaN;
    }
    const double captureRate = entry.rateHz;
    double rate = captureRate; // of the samples the estimate is made from
    double samples = observation.windowFrames;
    if (observation.tunerLength > 0) {
        rate = entry.rateHz % 11025 == 0 ? 11025.0 : 12000.0;
        samples = observation.tunerLength + std::floor(rate / 10.0);
    }
    // The anti-aliasing filter keeps the noise density near the tone, so
    // the white noise of variance s2 at the capture rate has variance
    // s2 x rate / captureRate over the decimated band.
    const double noiseVariance = entry.noiseRms * entry.noiseRms * rate / captureRate;
    const double snr = entry.sineAmplitude * entry.sineAmplitude / (2.0 * noiseVariance);
    const double variance =
        12.0 / (4.0 * kPi * kPi * snr * samples * (samples * samples - 1.0)); // (cycles/sample)^2
    const double sigmaHz = rate * std::sqrt(variance);
    return 1200.0 / std::log(2.0) * sigmaHz / entry.truthHz;
}

FileScore scoreFile(const ManifestEntry& entry, const std::vector<Reading>& readings,
                    const Observation& observation, double cpuSeconds) {
    FileScore score;
    score.audioSeconds = entry.seconds;
    score.cpuSeconds = cpuSeconds;
    score.boundCents = boundCents(entry, observation);
    std::vector<double> inside;
    for (const Reading& r : readings) {
        if (r.timeS >= entry.segmentStartS && r.timeS <= entry.segmentEndS) {
            inside.push_back(r.freqHz);
            score.blockErrorsCents.push_back(std::fabs(centsBetween(r.freqHz, entry.truthHz)));
        }
    }
    if (inside.empty()) {
        score.errorCents = kNaN;
        score.verdict = Verdict::none;
        return score;
    }
    const double cents = centsBetween(percentile(inside, 0.5), entry.truthHz);
    score.errorCents = std::fabs(cents);
    score.verdict = judge(cents);
    return score;
}

GroupScore summarize(const std::vector<FileScore>& files) {
    GroupScore group;
    group.files = static_cast<int>(files.size());
    std::vector<double> errors;
    std::vector<double> blocks;
    std::vector<double> bounds;
    double audio = 0.0;
    double cpu = 0.0;
    int other = 0;
    int octave = 0;
    int none = 0;
    for (const FileScore& f : files) {
        other += f.verdict == Verdict::other;
        octave += f.verdict == Verdict::octave;
        none += f.verdict == Verdict::none;
        if (f.verdict != Verdict::none) {
            errors.push_back(f.errorCents);
        }
        blocks.insert(blocks.end(), f.blockErrorsCents.begin(), f.blockErrorsCents.end());
        if (!std::isnan(f.boundCents)) {
            bounds.push_back(1.96 * f.boundCents);
        }
        audio += f.audioSeconds;
        cpu += f.cpuSeconds;
    }
    const double count = files.empty() ? 1.0 : static_cast<double>(files.size());
    group.medianCents = percentile(errors, 0.5);
    group.p95Cents = percentile(errors, 0.95);
    group.shareOther = other / count;
    group.shareOctave = octave / count;
    group.shareNone = none / count;
    group.blockP95Cents = percentile(blocks, 0.95);
    group.boundP95Cents = percentile(bounds, 0.5);
    group.audioPerCpu = cpu > 0.0 ? audio / cpu : kNaN;
    return group;
}

std::string markdownTable(const std::vector<TableRow>& rows) {
    std::string out =
        "| group | detector | files | median (c) | p95 (c) | > 50 c | octave | "
        "no reading | block p95 (c) | bound p95 (c) | audio s / CPU s |\n"
        "| --- | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |\n";
    std::string lastGroup;
    for (const TableRow& row : rows) {
        const GroupScore& s = row.score;
        char speed[32];
        std::snprintf(speed, sizeof speed, "%.0f", s.audioPerCpu);
        out += "| " + (row.group == lastGroup ? std::string() : row.group) + " | " + row.detector +
               " | " + std::to_string(s.files) + " | " + formatCents(s.medianCents) + " | " +
               formatCents(s.p95Cents) + " | " + formatShare(s.shareOther) + " | " +
               formatShare(s.shareOctave) + " | " + formatShare(s.shareNone) + " | " +
               formatCents(s.blockP95Cents) + " | " + formatCents(s.boundP95Cents) + " | " +
               (std::isnan(s.audioPerCpu) ? "–" : speed) + " |\n";
        lastGroup = row.group;
    }
    return out;
}

} // namespace tonvale::accuracy
