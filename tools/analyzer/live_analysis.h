// The analyzer on a live capture device: the tuner's own capture stream and
// engine thread, with the readings posted to a message-only window and
// printed as they come. Windows only; other builds refuse.
#pragma once

#include "tools/analyzer/analyzer_options.h"
#include "tools/analyzer/analyzer_tuning.h"

#include <ostream>

namespace tonvale {

// --list-devices: index, key, name and default rate of every capture device,
// the default device first. Returns the exit status.
int runDeviceList(std::ostream& out, std::ostream& err);

// --live: captures for options.liveSeconds, or until Ctrl+C, and prints the
// table and the summary. A device that cannot be opened or fails ends the
// run with the engine's error text and status 2. Returns the exit status.
int runLiveAnalysis(const AnalyzerOptions& options, const AnalyzerTuning& tuning, std::ostream& out,
                    std::ostream& err);

} // namespace tonvale
