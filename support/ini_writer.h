// Writes an INI file as a complete new temporary file beside the target and
// then puts it in the target's place, so a reader never sees a partial file.
//
// Use: open, any number of setSection / writeString / writeText, commit,
// close. Writes on a writer whose open failed do nothing. One writer per file;
// not shared between threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tonvale {

enum class IniEncoding {
    Utf16, // UTF-16LE with byte-order mark
    Ansi,  // the ANSI code page (with the UTF-8 mark when that is UTF-8)
};

class IniWriter {
  public:
    // codePage is kept for symmetry with IniReader; writing always uses the
    // ANSI code page in IniEncoding::Ansi.
    explicit IniWriter(uint32_t codePage = 0);
    ~IniWriter(); // closes without committing
    IniWriter(const IniWriter&) = delete;
    IniWriter& operator=(const IniWriter&) = delete;

    // Creates the temporary file beside targetPath (overwriting an earlier
    // one) and writes the byte-order mark. False when it cannot be created or
    // the target's file name is shorter than four characters.
    bool open(const wchar_t* targetPath, IniEncoding encoding);
    // The section (at most 127 characters) of the following keys; its header
    // is written with the first key, so a section without keys is absent.
    void setSection(const char* name);
    // Writes key=value; the value unchanged (no quoting, no escaping).
    void writeString(const char* key, const wchar_t* value);
    // Writes text line by line, split at line feeds (the line feed ending the
    // text ends its last line). Copies back IniReader::dump(). A pending
    // section stays pending: its header comes with its first key.
    void writeText(const wchar_t* text);
    // Flushes the temporary file to the disk and atomically replaces
    // targetPath with it. The file's size in bytes, or -1 when nothing was
    // open, a write failed or the replace failed; the target is then
    // untouched and the temporary file stays on disk.
    int32_t commit(const wchar_t* targetPath);
    // Closes a temporary file that was not committed; it stays on disk.
    void close();

    // The temporary file beside target: in the last path component, the last
    // "." becomes "_", then its last four characters become ".tmp"
    // ("tonvale.ini" -> "tonvale.tmp"). False for names under four characters.
    static bool temporaryPath(const std::wstring& target, std::wstring& temporary);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace tonvale
