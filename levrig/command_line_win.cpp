#include "levrig/command_line_win.h"

#include <windows.h>

#include <shellapi.h>

namespace tonvale {
namespace levrig {

void parseCommandLine(const wchar_t* commandLine, EndpointResolver& resolver,
                      VolumeOptions& options) {
    if (!commandLine)
        return;
    const wchar_t* start = commandLine;
    while (*start == L' ' || *start == L'\t')
        ++start;
    // An empty line would be split into the program's own path.
    if (!*start)
        return;
    int count = 0;
    wchar_t** args = CommandLineToArgvW(start, &count);
    if (!args)
        return;
    struct Free {
        wchar_t** args;
        ~Free() { LocalFree(args); }
    } freeArgs{args};
    parseVolumeOptions(args, count, resolver, options);
}

} // namespace levrig
} // namespace tonvale
