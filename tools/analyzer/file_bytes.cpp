#include "tools/analyzer/file_bytes.h"

#include "tools/analyzer/file_open.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace tonvale {

bool readFileBytes(const std::string& utf8Path, std::vector<uint8_t>& bytes, std::string& error) {
    bytes.clear();
    errno = 0;
    std::FILE* file = openFileForReading(utf8Path);
    if (!file) {
        error = errno != 0 ? std::strerror(errno) : "cannot open";
        return false;
    }
    bool ok = true;
    try {
        uint8_t chunk[64 * 1024];
        size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        if (std::ferror(file)) {
            error = errno != 0 ? std::strerror(errno) : "read error";
            ok = false;
        }
    } catch (const std::bad_alloc&) {
        error = "too large to read into memory";
        ok = false;
    }
    std::fclose(file);
    return ok;
}

} // namespace tonvale
