#include "tools/analyzer/file_open.h"

namespace tonvale {

std::FILE* openFileForReading(const std::string& utf8Path) {
    return std::fopen(utf8Path.c_str(), "rb");
}

} // namespace tonvale
