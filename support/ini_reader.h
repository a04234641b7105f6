// Read-only view of an INI file: loaded once, normalised in place, then
// queried by section and key. One reader per file; not shared between threads.
//
// Section and key names compare case-insensitively for ASCII A-Z only. Keys are
// ASCII (8-bit strings widened by zero extension); section names may be wide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tonvale {

class IniReader {
  public:
    // codePage is used for files without a byte-order mark; 0 means the
    // system's ANSI code page (UTF-8 on systems without code pages).
    explicit IniReader(uint32_t codePage = 0);
    ~IniReader();
    IniReader(const IniReader&) = delete;
    IniReader& operator=(const IniReader&) = delete;

    // Reads the file once. A second call on a loaded reader does nothing and
    // returns false. True when the normalised text is non-empty; a missing or
    // unreadable file leaves the reader empty.
    bool load(const wchar_t* path);
    // The same from bytes already in memory (the file's whole content).
    bool loadBytes(const void* data, size_t size);

    // Selects the first section of that name and resets the cursor. False,
    // with nothing selected, when not loaded, empty or not found.
    bool selectSection(const wchar_t* name);
    bool selectSection(const char* name);

    // Value of key in the selected section, cut to capacity - 1 characters and
    // NUL-terminated; the default (absent = empty, also cut) when not found.
    // The default may be the buffer itself. Capacity 0 writes nothing.
    // Keys are searched from the line after the previous hit, so reading keys
    // in file order finds each on the first line tried.
    void getString(const char* key, const wchar_t* defaultValue, wchar_t* buffer, size_t capacity);
    // Convenience: the value cut to maxChars characters.
    std::wstring getString(const char* key, const wchar_t* defaultValue, size_t maxChars);
    // Optional sign and decimal digits, up to the first non-digit; the default
    // when the key is missing or no digit follows the sign. Wraps on overflow.
    int32_t getInt(const char* key, int32_t defaultValue);

    // Every section name followed by a NUL, then a final NUL. Returns the
    // characters written without the final NUL; capacity - 2 and nothing
    // written when it does not fit.
    int32_t sectionNames(wchar_t* buffer, int32_t capacity);
    // Removes the first section of that name, header and body; afterwards no
    // section is selected. False when not found.
    bool deleteSection(const wchar_t* name);
    bool deleteSection(const char* name);
    // Whole normalised text, each section line with its "]" restored and each
    // line ended by a line feed, NUL-terminated. When the text needs capacity
    // characters or more (NUL not counted) nothing is written and the needed
    // count is returned: call with capacity 0, then with the count + 1.
    int32_t dump(wchar_t* buffer, int32_t capacity);
    // The same text as a string.
    std::wstring dump();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace tonvale
