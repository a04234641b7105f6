// accuracy_bench: makes the recordings of the accuracy bench, measures the
// truth of rendered instrument notes, and scores the detectors' readings.
//
//   accuracy_bench generate WORK
//   accuracy_bench split WORK RENDERED.wav
//   accuracy_bench score MANIFEST [--details FILE] --detector DIR LABEL OBSERVATION ...
//   accuracy_bench bound
//
// OBSERVATION is tuner-4096, tuner-8192 or frames-N (a window of N frames at
// the file's rate).
#include "bench/accuracy/bench_files.h"
#include "bench/accuracy/partials.h"
#include "bench/accuracy/score.h"
#include "bench/accuracy/test_set.h"
#include "tools/analyzer/file_bytes.h"
#include "tools/analyzer/wav_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

namespace tonvale::accuracy {
namespace {

namespace fs = std::filesystem;

int usage() {
    std::cerr << "usage: accuracy_bench generate WORK\n"
                 "       accuracy_bench split WORK RENDERED.wav\n"
                 "       accuracy_bench score MANIFEST [--details FILE] "
                 "--detector DIR LABEL tuner-4096|tuner-8192|frames-N ...\n"
                 "       accuracy_bench bound\n";
    return 2;
}

ManifestEntry entryOf(const Recording& r) {
    ManifestEntry e;
    e.name = r.name;
    e.group = r.group;
    e.rateHz = r.rateHz;
    e.seconds = r.seconds;
    e.truthHz = r.truthHz;
    e.segmentStartS = r.segmentStartS;
    e.segmentEndS = r.segmentEndS;
    e.humHz = r.humHz;
    e.sineAmplitude = r.sineAmplitude;
    e.noiseRms = std::hypot(r.noiseRms, kQuantizationRms);
    return e;
}

int generate(const fs::path& work) {
    fs::create_directories(work / "wav");
    std::string manifest = std::string(kManifestHeader) + '\n';
    for (const Recording& r : syntheticRecordings(kTestSetSeed)) {
        const std::string file = (work / "wav" / (r.name + ".wav")).string();
        if (!writeWav16(file, r.rateHz, 1, renderRecording(r))) {
            std::cerr << "accuracy_bench: cannot write " << file << '\n';
            return 1;
        }
        manifest += manifestLine(entryOf(r), r.detail) + '\n';
    }
    std::string schedule = "slot\tinstrument\tprogram\tnote\n";
    const std::vector<InstrumentNote> notes = instrumentNotes();
    for (size_t i = 0; i < notes.size(); ++i) {
        schedule += std::to_string(i) + '\t' + notes[i].instrument + '\t' +
                    std::to_string(notes[i].program) + '\t' + std::to_string(notes[i].midiNote) +
                    '\n';
    }
    const bool ok = writeText((work / "synthetic.tsv").string(), manifest) &&
                    writeText((work / "instruments.tsv").string(), schedule) &&
                    writeText((work / "instruments.mid").string(), midiFileBytes(notes));
    return ok ? 0 : 1;
}

std::string describeTruth(const InstrumentNote& note, const TruthMeasurement& t) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%s %s: partial %d of %zu strong, strongest %d, inharmonicity %.2f c, drift "
                  "%.3f c, %+.2f c from equal temperament",
                  note.instrument.c_str(), noteName(note.midiNote).c_str(), t.truthPartial,
                  t.partials.size(), t.strongestPartial, t.inharmonicityCents, t.driftCents,
                  centsBetween(t.truthHz, nominalHz(note.midiNote)));
    return text;
}

// Interleaved float frames [first, first + count) of a 32-bit float file.
std::vector<float> floatFrames(const WavInfo& wav, size_t first, size_t count) {
    std::vector<float> frames(count * wav.channels);
    std::memcpy(frames.data(), wav.data + first * wav.frameBytes, frames.size() * sizeof(float));
    return frames;
}

// Scales a note to a peak of -3 dBFS, as a player sets the input level, and
// rounds it to 16 bits.
std::vector<int16_t> levelledPcm16(const std::vector<float>& frames) {
    float peak = 1e-9f;
    for (float v : frames) {
        peak = std::max(peak, std::fabs(v));
    }
    const double gain = 0.7071 * 32768.0 / peak;
    std::vector<int16_t> pcm(frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        pcm[i] = static_cast<int16_t>(std::clamp(std::round(frames[i] * gain), -32768.0, 32767.0));
    }
    return pcm;
}

// Cuts the rendering into one levelled stereo file per note and measures
// each note's truth on the mono mix the tuner hears.
int split(const fs::path& work, const std::string& rendered) {
    std::vector<uint8_t> bytes;
    std::string error;
    WavInfo wav;
    if (!readFileBytes(rendered, bytes, error) ||
        !parseWav(bytes.data(), bytes.size(), wav, error) || wav.encoding != WavEncoding::float32 ||
        wav.sampleRate != kInstrumentRateHz) {
        std::cerr << "accuracy_bench: " << rendered << ": not 32-bit float at " << kInstrumentRateHz
                  << " Hz " << error << '\n';
        return 1;
    }
    const size_t slotFrames = static_cast<size_t>(kSlotSeconds * kInstrumentRateHz);
    const std::vector<InstrumentNote> notes = instrumentNotes();
    if (wav.frameCount < notes.size() * slotFrames - slotFrames / 2) {
        std::cerr << "accuracy_bench: " << rendered << " is shorter than the schedule\n";
        return 1;
    }
    std::string manifest = std::string(kManifestHeader) + '\n';
    for (size_t i = 0; i < notes.size(); ++i) {
        const InstrumentNote& note = notes[i];
        const size_t first = i * slotFrames;
        const size_t count = std::min(slotFrames, wav.frameCount - first);
        const std::vector<int16_t> pcm = levelledPcm16(floatFrames(wav, first, count));
        ManifestEntry e;
        e.name = "inst-" + note.instrument + "-" + noteName(note.midiNote);
        e.group = "instrument";
        e.rateHz = kInstrumentRateHz;
        e.seconds = static_cast<double>(count) / kInstrumentRateHz;
        e.segmentStartS = kInstrumentSegmentStartS;
        e.segmentEndS = kInstrumentSegmentEndS;
        const std::string file = (work / "wav" / (e.name + ".wav")).string();
        if (!writeWav16(file, kInstrumentRateHz, wav.channels, pcm)) {
            std::cerr << "accuracy_bench: cannot write " << file << '\n';
            return 1;
        }
        // The truth comes from the written file, through the tuner's own
        // mixdown, so that it describes exactly what the detectors hear.
        std::vector<uint8_t> noteBytes;
        WavInfo noteWav;
        if (!readFileBytes(file, noteBytes, error) ||
            !parseWav(noteBytes.data(), noteBytes.size(), noteWav, error)) {
            std::cerr << "accuracy_bench: cannot read back " << file << '\n';
            return 1;
        }
        const size_t segmentFirst = static_cast<size_t>(e.segmentStartS * kInstrumentRateHz);
        const size_t segmentCount =
            static_cast<size_t>((e.segmentEndS - e.segmentStartS) * kInstrumentRateHz);
        std::vector<int16_t> mono(segmentCount);
        decodeMonoFrames(noteWav, segmentFirst, segmentCount, mono.data());
        const TruthMeasurement truth = measureTruth(std::vector<double>(mono.begin(), mono.end()),
                                                    kInstrumentRateHz, nominalHz(note.midiNote));
        if (!truth.ok) {
            std::cerr << "accuracy_bench: " << e.name << ": no partial found; left out\n";
            fs::remove(file);
            continue;
        }
        e.truthHz = truth.truthHz;
        manifest += manifestLine(e, describeTruth(note, truth)) + '\n';
    }
    return writeText((work / "instruments-truth.tsv").string(), manifest) ? 0 : 1;
}

bool parseObservation(const std::string& text, Observation& observation) {
    if (text == "tuner-4096" || text == "tuner-8192") {
        observation.tunerLength = std::stoi(text.substr(6));
        return true;
    }
    if (text.rfind("frames-", 0) == 0) {
        observation.windowFrames = std::atoi(text.c_str() + 7);
        return observation.windowFrames > 1;
    }
    return false;
}

struct Detector {
    fs::path dir;
    std::string label;
    Observation observation;
};

std::map<std::string, double> readCpuSeconds(const fs::path& file) {
    std::map<std::string, double> seconds;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> cells = splitTabs(line);
        if (cells.size() == 2) {
            seconds[cells[0]] = std::atof(cells[1].c_str());
        }
    }
    return seconds;
}

const char* verdictName(Verdict v) {
    switch (v) {
    case Verdict::within:
        return "within";
    case Verdict::octave:
        return "octave";
    case Verdict::other:
        return "other";
    case Verdict::none:
        break;
    }
    return "none";
}

int score(const std::vector<std::string>& args) {
    std::vector<Detector> detectors;
    std::string detailsPath;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--details" && i + 1 < args.size()) {
            detailsPath = args[++i];
        } else if (args[i] == "--detector" && i + 3 < args.size()) {
            Detector d{args[i + 1], args[i + 2], {}};
            if (!parseObservation(args[i + 3], d.observation)) {
                return usage();
            }
            detectors.push_back(d);
            i += 3;
        } else {
            return usage();
        }
    }
    std::ifstream manifestFile(args[0]);
    std::vector<ManifestEntry> entries;
    std::string error;
    if (!manifestFile || !parseManifest(manifestFile, entries, error) || detectors.empty()) {
        std::cerr << "accuracy_bench: " << args[0] << ": " << (error.empty() ? "unusable" : error)
                  << '\n';
        return 1;
    }
    std::vector<std::string> groups;
    for (const ManifestEntry& e : entries) {
        if (std::find(groups.begin(), groups.end(), e.group) == groups.end()) {
            groups.push_back(e.group);
        }
    }
    std::string details = "detector\tname\tgroup\ttruth_hz\tverdict\terror_cents\n";
    std::vector<TableRow> rows;
    for (const std::string& group : groups) {
        for (const Detector& d : detectors) {
            const std::map<std::string, double> cpu = readCpuSeconds(d.dir / "cpu.tsv");
            std::vector<FileScore> files;
            for (const ManifestEntry& e : entries) {
                if (e.group != group) {
                    continue;
                }
                std::ifstream in(d.dir / (e.name + ".txt"));
                const auto seconds = cpu.find(e.name);
                files.push_back(scoreFile(e, parseReadings(in), d.observation,
                                          seconds == cpu.end() ? 0.0 : seconds->second));
                char line[256];
                std::snprintf(line, sizeof line, "%s\t%s\t%s\t%.6f\t%s\t%.4f\n", d.label.c_str(),
                              e.name.c_str(), group.c_str(), e.truthHz,
                              verdictName(files.back().verdict), files.back().errorCents);
                details += line;
            }
            rows.push_back({group, d.label, summarize(files)});
        }
    }
    std::cout << markdownTable(rows);
    return detailsPath.empty() || writeText(detailsPath, details) ? 0 : 1;
}

// The bound for typical cases, for the documentation.
int bound() {
    std::cout << "| sine | SNR | frequency | one reading, N = 4096 | one reading, N = 8192 |\n"
                 "| --- | --- | ---: | ---: | ---: |\n";
    struct Case {
        const char* label;
        double amplitude;
        double snrDb; // over the 44100 Hz band; +inf: quantization alone
    };
    const Case cases[] = {{"-6 dBFS, 16 bits", 0.5, INFINITY},
                          {"-40 dBFS, 16 bits", 0.01, INFINITY},
                          {"any level", 0.5, 30.0},
                          {"any level", 0.5, 10.0}};
    for (const Case& c : cases) {
        for (double freq : {55.0, 440.0, 3520.0}) {
            ManifestEntry e;
            e.rateHz = 44100;
            e.truthHz = freq;
            e.sineAmplitude = c.amplitude;
            const double noise = std::isinf(c.snrDb)
                                     ? 0.0
                                     : c.amplitude / std::sqrt(2.0) * std::pow(10.0, -c.snrDb / 20);
            e.noiseRms = std::hypot(noise, kQuantizationRms);
            char snr[64];
            std::snprintf(snr, sizeof snr, "%.0f dB",
                          20 * std::log10(c.amplitude / std::sqrt(2.0) / e.noiseRms));
            char line[256];
            std::snprintf(line, sizeof line, "| %s | %s | %.0f Hz | %.2g c | %.2g c |\n", c.label,
                          snr, freq, boundCents(e, {4096, 0}), boundCents(e, {8192, 0}));
            std::cout << line;
        }
    }
    return 0;
}

} // namespace
} // namespace tonvale::accuracy

int main(int argc, char** argv) {
    using namespace tonvale::accuracy;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "generate") {
        return generate(args[1]);
    }
    if (args.size() == 3 && args[0] == "split") {
        return split(args[1], args[2]);
    }
    if (args.size() >= 2 && args[0] == "score") {
        return score(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (args.size() == 1 && args[0] == "bound") {
        return bound();
    }
    return usage();
}
