#include "support/utf16.h"
#include "tools/analyzer/analyzer.h"

#include <iostream>

// The wide entry point gets file names in any script; the analyzer takes UTF-8.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(tonvale::wideToUtf8(argv[i]));
    }
    return tonvale::runAnalyzer(args, std::cout, std::cerr);
}
