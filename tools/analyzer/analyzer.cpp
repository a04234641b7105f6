#include "tools/analyzer/analyzer.h"

#include "app/note_reading.h"
#include "engine/block_processor.h"
#include "engine/sine_table.h"
#include "tools/analyzer/analyzer_options.h"
#include "tools/analyzer/analyzer_tuning.h"
#include "tools/analyzer/file_bytes.h"
#include "tools/analyzer/note_format.h"
#include "tools/analyzer/wav_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tonvale {
namespace {

constexpr char kProgram[] = "tonvale-analyze";
constexpr char kAcceptedRates[] =
    "accepted: 11025, 22050, 44100 or 88200 Hz, or 12000, 24000, 48000 or 96000 Hz";

std::string formatFixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result = text;
    // A value that rounds to zero prints without a sign.
    if (result[0] == '-' && result.find_first_not_of("-0.") == std::string::npos) {
        result.erase(0, 1);
    }
    return result;
}

std::string formatLevel(float level) {
    return level > 0.0f ? formatFixed(10.0 * std::log10(static_cast<double>(level)), 2) : "-inf";
}

EngineParams engineParamsFor(const AnalyzerOptions& options, uint32_t sampleRate) {
    EngineParams params;
    params.sampleRate = sampleRate;
    params.clockAdjust = static_cast<int16_t>(options.clockAdjust);
    params.inputThreshold = static_cast<int16_t>(options.thresholdDb);
    params.findFundamental = options.harmonics ? 1 : 0;
    params.humFrequency = static_cast<float>(options.humHz);
    params.useLongFFT = options.longFft ? 1 : 0;
    return params;
}

struct NoteColumns {
    std::string frequency = "0";
    std::string note = "-";
    std::string cents = "-";
    std::string subtitle = "-";
};

NoteColumns formatNote(const NoteReading& reading, const AnalyzerTuning& tuning, int decimals) {
    NoteColumns columns;
    if (reading.noteNumber != kNoNote) {
        columns.frequency = formatFixed(reading.frequencyHz, decimals);
        columns.note = tuning.noteName(reading.noteNumber);
        columns.cents = formatFixed(reading.cents, 2);
        columns.subtitle = tuning.subtitle(reading.noteNumber);
    }
    return columns;
}

// Feeds every whole block of the file to the processor and prints its
// reading; returns the frequencies of the blocks that had a note. A final
// partial block is left out, as a capture buffer is only delivered when full.
std::vector<double> analyzeBlocks(const WavInfo& wav, BlockProcessor& processor, double referenceHz,
                                  const AnalyzerTuning& tuning, int decimals, std::ostream& out) {
    const size_t blockFrames = static_cast<size_t>(processor.blockSamples());
    const size_t blocks = wav.frameCount / blockFrames;
    std::vector<int16_t> samples(blockFrames);
    std::vector<double> noteFrequencies;
    out << "block\ttime_s\tlevel\tfrequency_hz\tnote\tcents"
        << (tuning.hasSubtitles() ? "\tsubtitle\n" : "\n");
    for (size_t b = 0; b < blocks; ++b) {
        decodeMonoFrames(wav, b * blockFrames, blockFrames, samples.data());
        processor.processBlock(samples.data());
        PitchReading& reading = processor.reading();
        const NoteReading note = readNote(reading.frequency, referenceHz, tuning.temperament());
        if (note.noteNumber != kNoNote) {
            noteFrequencies.push_back(note.frequencyHz);
        }
        const NoteColumns columns = formatNote(note, tuning, decimals);
        const double endSeconds = static_cast<double>((b + 1) * blockFrames) / wav.sampleRate;
        out << b << '\t' << formatFixed(endSeconds, 3) << '\t' << formatLevel(reading.level) << '\t'
            << columns.frequency << '\t' << columns.note << '\t' << columns.cents;
        if (tuning.hasSubtitles()) {
            out << '\t' << columns.subtitle;
        }
        out << '\n';
        reading.busy.store(0, std::memory_order_release);
    }
    return noteFrequencies;
}

void printSummary(std::vector<double> frequencies, size_t blocks, double referenceHz,
                  const AnalyzerTuning& tuning, int decimals, std::ostream& out) {
    if (frequencies.empty()) {
        out << "summary: no block with a note (" << blocks << " blocks)\n";
        return;
    }
    std::sort(frequencies.begin(), frequencies.end());
    const size_t n = frequencies.size();
    const double median =
        n % 2 == 1 ? frequencies[n / 2] : (frequencies[n / 2 - 1] + frequencies[n / 2]) / 2.0;
    const NoteColumns columns =
        formatNote(readNote(median, referenceHz, tuning.temperament()), tuning, decimals);
    out << "summary: median " << columns.frequency << " Hz, " << columns.note << ' '
        << (columns.cents[0] == '-' ? "" : "+") << columns.cents << " cents, " << n << " of "
        << blocks << " blocks with a note\n";
}

int refuse(std::ostream& err, const std::string& message) {
    err << kProgram << ": " << message << '\n';
    return kAnalyzerBadInput;
}

} // namespace

int runAnalyzer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    AnalyzerOptions options;
    std::string error;
    if (!parseAnalyzerOptions(args, options, error)) {
        return refuse(err, error + "\nTry '" + kProgram + " --help'.");
    }
    if (options.help) {
        out << analyzerUsage();
        return kAnalyzerOk;
    }
    AnalyzerTuning tuning;
    if (!tuning.load(options, error)) {
        return refuse(err, error);
    }
    std::vector<uint8_t> bytes;
    if (!readFileBytes(options.file, bytes, error)) {
        return refuse(err, "cannot read " + options.file + ": " + error);
    }
    WavInfo wav;
    if (!parseWav(bytes.data(), bytes.size(), wav, error)) {
        return refuse(err, options.file + ": " + error);
    }
    fillSineTable();
    BlockProcessor processor;
    switch (processor.start(engineParamsFor(options, wav.sampleRate))) {
    case BlockProcessor::StartResult::ok:
        break;
    case BlockProcessor::StartResult::unsupportedRate:
        return refuse(err, options.file + ": unsupported sample rate " +
                               std::to_string(wav.sampleRate) + " Hz; " + kAcceptedRates);
    case BlockProcessor::StartResult::outOfMemory:
        err << kProgram << ": not enough memory\n";
        return kAnalyzerFailed;
    }
    const double referenceHz = referenceFrequency(options.a4Hz, options.semitoneShift);
    std::vector<double> frequencies =
        analyzeBlocks(wav, processor, referenceHz, tuning, options.decimals, out);
    if (options.summary) {
        const size_t blocks = wav.frameCount / static_cast<size_t>(processor.blockSamples());
        printSummary(std::move(frequencies), blocks, referenceHz, tuning, options.decimals, out);
    }
    out.flush();
    return out ? kAnalyzerOk : kAnalyzerFailed;
}

} // namespace tonvale
