#include "tools/analyzer/live_analysis.h"

#include "tools/analyzer/analyzer.h"

namespace tonvale {
namespace {

int refuse(std::ostream& err) {
    err << "tonvale-analyze: capture devices need the Windows build\n";
    return kAnalyzerBadInput;
}

} // namespace

int runDeviceList(std::ostream&, std::ostream& err) {
    return refuse(err);
}

int runLiveAnalysis(const AnalyzerOptions&, const AnalyzerTuning&, std::ostream&,
                    std::ostream& err) {
    return refuse(err);
}

} // namespace tonvale
