// Files and code pages under the INI reader and writer: the only part of the
// INI store that differs between Windows and other systems.
//
// Paths are wide (UTF-16 code units); natively they are opened by their UTF-8
// form, and "the ANSI code page" is UTF-8 (65001).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tonvale {
namespace ini_file {

constexpr uint32_t kUtf8CodePage = 65001;

// The whole file in one read. False when it cannot be opened or read, or when
// its size is zero or does not fit a signed 32-bit number.
bool readAll(const wchar_t* path, std::string& bytes);

// The system's ANSI code page.
uint32_t ansiCodePage();

// Bytes in codePage (0 = the ANSI code page) as UTF-16 code units.
std::wstring decode(uint32_t codePage, const char* bytes, size_t size);

// Text in the ANSI code page; unconvertible characters become the system's
// default character.
std::string encodeAnsi(const wchar_t* text, size_t length);

// A file being written. Created anew (an existing file is overwritten),
// shared for reading and writing while open.
class OutputFile {
  public:
    virtual ~OutputFile() = default; // closes without flushing to disk
    // False once any write has failed.
    virtual bool write(const void* data, size_t size) = 0;
    // Flushes the content to the disk and closes. The file's size, or -1 when
    // a write or the flush failed.
    virtual int64_t finish() = 0;
};

std::unique_ptr<OutputFile> createOutput(const std::wstring& path);

// Puts source in target's place in one step: afterwards target is either the
// complete old file or the complete new one. False when it fails; source then
// stays where it is.
bool replaceFile(const std::wstring& source, const std::wstring& target);

} // namespace ini_file
} // namespace tonvale
