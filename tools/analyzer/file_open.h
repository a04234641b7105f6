// fopen for a UTF-8 path: plain fopen on POSIX, the wide call on Windows,
// where the narrow one would take the path in the ANSI code page.
#pragma once

#include <cstdio>
#include <string>

namespace tonvale {

std::FILE* openFileForReading(const std::string& utf8Path);

} // namespace tonvale
