// The analyzer's output: one tab-separated line per reading (block, time,
// level, frequency, note, cents, and a subtitle with a note display), and a
// summary of the median. Readings from a file and from a live device print
// alike.
#pragma once

#include "engine/engine_params.h"
#include "tools/analyzer/analyzer_options.h"
#include "tools/analyzer/analyzer_tuning.h"

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tonvale {

// The engine's parameters that the options set, at a capture rate.
EngineParams engineParamsFor(const AnalyzerOptions& options, uint32_t sampleRate);

class ReadingTable {
  public:
    // Frequencies are printed with `decimals` decimals.
    ReadingTable(const AnalyzerTuning& tuning, double referenceHz, int decimals, std::ostream& out)
        : tuning_(tuning), referenceHz_(referenceHz), decimals_(decimals), out_(out) {}

    void printHeader();
    // One reading: `number` (the block, or the live reading's sequence) and
    // `timeSeconds` go to the first two columns.
    void printLine(size_t number, double timeSeconds, float level, double frequency);
    // The median of the readings with a note so far, out of `readings`.
    void printSummary(size_t readings) const;

  private:
    const AnalyzerTuning& tuning_;
    double referenceHz_;
    int decimals_;
    std::ostream& out_;
    std::vector<double> noteFrequencies_;
};

} // namespace tonvale
