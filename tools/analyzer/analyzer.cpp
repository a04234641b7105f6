#include "tools/analyzer/analyzer.h"

#include "app/note_reading.h"
#include "engine/block_processor.h"
#include "engine/sine_table.h"
#include "tools/analyzer/analyzer_options.h"
#include "tools/analyzer/analyzer_tuning.h"
#include "tools/analyzer/file_bytes.h"
#include "tools/analyzer/live_analysis.h"
#include "tools/analyzer/reading_table.h"
#include "tools/analyzer/wav_reader.h"

namespace tonvale {
namespace {

constexpr char kProgram[] = "tonvale-analyze";
constexpr char kAcceptedRates[] =
    "accepted: 11025, 22050, 44100 or 88200 Hz, or 12000, 24000, 48000 or 96000 Hz";

// Feeds every whole block of the file to the processor and prints its
// reading; returns the number of blocks. A final partial block is left out,
// as a capture buffer is only delivered when full.
size_t analyzeBlocks(const WavInfo& wav, BlockProcessor& processor, ReadingTable& table) {
    const size_t blockFrames = static_cast<size_t>(processor.blockSamples());
    const size_t blocks = wav.frameCount / blockFrames;
    std::vector<int16_t> samples(blockFrames);
    table.printHeader();
    for (size_t b = 0; b < blocks; ++b) {
        decodeMonoFrames(wav, b * blockFrames, blockFrames, samples.data());
        processor.processBlock(samples.data());
        PitchReading& reading = processor.reading();
        const double endSeconds = static_cast<double>((b + 1) * blockFrames) / wav.sampleRate;
        table.printLine(b, endSeconds, reading.level, reading.frequency);
        reading.busy.store(0, std::memory_order_release);
    }
    return blocks;
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
    if (options.listDevices) {
        return runDeviceList(out, err);
    }
    AnalyzerTuning tuning;
    if (!tuning.load(options, error)) {
        return refuse(err, error);
    }
    if (options.liveSeconds > 0.0) {
        return runLiveAnalysis(options, tuning, out, err);
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
    ReadingTable table(tuning, referenceFrequency(options.a4Hz, options.semitoneShift),
                       options.decimals, out);
    const size_t blocks = analyzeBlocks(wav, processor, table);
    if (options.summary) {
        table.printSummary(blocks);
    }
    out.flush();
    return out ? kAnalyzerOk : kAnalyzerFailed;
}

} // namespace tonvale
