#include "tools/analyzer/file_open.h"

#include "support/utf16.h"

#include <cstdio>

namespace tonvale {

std::FILE* openFileForReading(const std::string& utf8Path) {
    return _wfopen(utf8ToWide(utf8Path).c_str(), L"rb");
}

} // namespace tonvale
