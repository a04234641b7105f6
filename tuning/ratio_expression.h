// Numbers and ratio expressions typed by users into "scale.ini".
//
// Both read the same way on every system: the decimal point is always ".",
// whatever the locale, and wchar_t is only compared with ASCII characters.
#pragma once

#include <cstddef>

namespace tonvale {

// Reads a decimal floating-point number at the start of text with the grammar
// of the C library's wcstod for decimal input: leading white space, an
// optional sign, digits with an optional decimal point (at least one digit),
// and an optional exponent that counts only when a digit follows the "e".
// Hexadecimal numbers and the words INF and NAN are not numbers here.
// Returns the characters consumed, 0 when nothing could be converted (value
// then 0). The value is correctly rounded; a magnitude too large gives an
// infinity and one too small zero, both with the number's sign.
size_t readDecimal(const wchar_t* text, double* value);

// Evaluates "number [op number]..." with op "*" or "/", left to right from 1;
// blanks may follow each number. False, with value untouched, when a number
// is missing where one is expected or something other than an operator
// follows a number. The result may be infinite or NaN (1/0, 0/0): callers
// that care must check, with floating-point exceptions masked.
bool evaluateRatio(const wchar_t* text, double* value);

} // namespace tonvale
