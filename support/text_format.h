// Formatting of UI texts with the conversions the string tables use.
//
// The tables follow the Windows wide-printf convention ("%s" is a wide string,
// "%c" a wide character), which the C library on other systems reads
// differently, so portable code formats through this instead of swprintf.
//
// Supported: %% %s %c %d %i %u %x %X %f %e %g with flags "-+ 0#", a width
// and a precision (either may be "*"). Unknown conversions are copied as they
// stand. The output is always NUL-terminated and cut to fit the buffer.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

namespace tonvale {

// Writes at most capacity - 1 characters and a NUL; returns the characters
// written (without the NUL). Capacity 0 writes nothing.
size_t formatText(wchar_t* buffer, size_t capacity, const wchar_t* format, ...);
size_t formatTextV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args);

// Same conversions into a string of any length.
std::wstring formatString(const wchar_t* format, ...);

} // namespace tonvale
