// String tables compiled into the program, for systems without resources.
// Defined by the source that tools/stringtable generates.
#pragma once

#include <cstddef>

namespace tonvale {

// The table of languageId as UTF-16 code units, a NUL after every text.
bool compiledUiTable(int languageId, const wchar_t*& data, size_t& length);

} // namespace tonvale
