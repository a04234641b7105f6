// Character rules shared by the parsers: which characters are blanks, ASCII
// case folding and the widening of 8-bit names. Locale-free on purpose: the
// files these read must mean the same on every system.
#pragma once

#include <string>

namespace tonvale {

// Space or tab: what INI lines trim.
inline bool isSpaceOrTab(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The white space of the C locale (what iswspace answers there).
inline bool isCSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

inline wchar_t asciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

inline wchar_t asciiUpper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// An 8-bit character as a UTF-16 code unit, by zero extension.
inline wchar_t widenChar(char c) {
    return static_cast<wchar_t>(static_cast<unsigned char>(c));
}

// An 8-bit name widened character by character (zero extension).
inline std::wstring widenAscii(const char* text) {
    std::wstring out;
    if (text)
        for (; *text; ++text)
            out.push_back(widenChar(*text));
    return out;
}

} // namespace tonvale
