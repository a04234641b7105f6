// The list of sections of "scale.ini" or "note.ini" that the settings dialog
// offers: every section in file order with its "Comment".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tonvale {

class IniReader;

struct DigestEntry {
    std::wstring name;
    std::wstring comment; // up to 255 characters, empty when absent
};
using TemperamentDigest = std::vector<DigestEntry>;

// Nothing when the list of section names does not fit in 65,536 characters;
// an empty digest for a file without sections (or no file).
std::optional<TemperamentDigest> digest(IniReader& file);
std::optional<TemperamentDigest> digestFile(const wchar_t* path);

} // namespace tonvale
