// User-interface texts by number, from the active string table.
//
// A table is a run of UTF-16 strings, each ended by a NUL (RCDATA resources
// named 1033 and 1041 on Windows; compiled in elsewhere). The program chooses
// and loads one at start-up, before any window exists, and may replace it
// once with the English one; after that the table is only read (any thread).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonvale {

// Texts the lookup can hold. Each deliverable's tables have a count of their
// own (the tuner's 171, levrig's fewer); the lookup takes what the loaded
// table holds.
constexpr int kUiTextCapacity = 256;
constexpr int kEnglishTable = 1033;
constexpr int kJapaneseTable = 1041;

// Text n of the loaded table; an empty string when no table is loaded, the
// table lacks it, or n is out of range. Never null.
const wchar_t* UiText(int number);

// Picks the table from the user's preferred UI language (Japanese for
// 0x0411, else English), loads it and returns 1041 or 1033. Natively: 1033.
int chooseLanguage();

// Loads the table named languageId; a missing table leaves every text empty.
// The entries point into the table, which stays for the life of the process.
void loadTable(int languageId);

// The table named languageId in the program's own module, unloaded.
bool uiTableData(int languageId, const wchar_t*& data, size_t& length);

// Points the entries at the strings of data[0, length); strings without a
// terminating NUL inside that range are left empty.
void setUiTable(const wchar_t* data, size_t length);

// The language that decides the table, from a list of four-hex-digit
// language ids as GetUserPreferredUILanguages gives it (each NUL-terminated,
// an empty string last). Leading "1400" entries (a custom locale's default)
// are skipped. 0 when nothing usable remains or the entry is not hexadecimal.
uint32_t firstPreferredLanguage(const wchar_t* list, size_t length);

// 1041 for the language id 0x0411, else 1033.
int tableForLanguage(uint32_t languageId);

} // namespace tonvale
