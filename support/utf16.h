// Conversions between UTF-8 and UTF-16 held in wchar_t.
//
// Portable code holds UTF-16 code units in wchar_t (16 bits on Windows, 32 on
// Linux) and never relies on its size. Invalid input becomes U+FFFD.
#pragma once

#include <cstddef>
#include <string>

namespace tonvale {

std::wstring utf8ToWide(const char* text, size_t length);
std::wstring utf8ToWide(const std::string& text);
std::string wideToUtf8(const wchar_t* text, size_t length);
std::string wideToUtf8(const std::wstring& text);

} // namespace tonvale
