// tonvale-analyze: runs a WAV file through the block processor exactly as
// the engine runs live sound, and prints one reading per block.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tonvale {

constexpr int kAnalyzerOk = 0;
constexpr int kAnalyzerFailed = 1;   // out of memory
constexpr int kAnalyzerBadInput = 2; // bad options or an unreadable or unsupported file

// `args` are the arguments after the program name, in UTF-8. The table (and
// the help) goes to `out`, messages to `err`. Returns the exit status.
int runAnalyzer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tonvale
