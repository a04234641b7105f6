#include "tuning/ratio_expression.h"

#include "support/text_chars.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace tonvale {
namespace {

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Decimal exponent of the leading non-zero digit, far enough to tell an
// overflow from an underflow; saturates instead of wrapping.
constexpr long kExponentLimit = 100000000L;

long addSaturated(long a, long b) {
    long sum = a + b;
    if (sum > kExponentLimit)
        return kExponentLimit;
    if (sum < -kExponentLimit)
        return -kExponentLimit;
    return sum;
}

} // namespace

size_t readDecimal(const wchar_t* text, double* value) {
    *value = 0.0;
    const wchar_t* p = text;
    while (isCSpace(*p))
        ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-')
        negative = *p++ == L'-';

    // The unsigned part, copied as ASCII for the locale-free conversion.
    std::string digits;
    long magnitude = 0; // position of the first significant digit
    bool significant = false;
    size_t mantissaDigits = 0;
    for (; isDigit(*p); ++p, ++mantissaDigits) {
        digits.push_back(static_cast<char>(*p));
        if (significant || *p != L'0') {
            significant = true;
            magnitude = addSaturated(magnitude, 1);
        }
    }
    if (*p == L'.') {
        digits.push_back('.');
        for (++p; isDigit(*p); ++p, ++mantissaDigits) {
            digits.push_back(static_cast<char>(*p));
            if (!significant) {
                if (*p != L'0')
                    significant = true;
                else
                    magnitude = addSaturated(magnitude, -1);
            }
        }
    }
    if (mantissaDigits == 0)
        return 0;

    if ((*p == L'e' || *p == L'E') &&
        (isDigit(p[1]) || ((p[1] == L'+' || p[1] == L'-') && isDigit(p[2])))) {
        digits.push_back('e');
        ++p;
        bool negativeExponent = false;
        if (*p == L'+' || *p == L'-') {
            negativeExponent = *p == L'-';
            digits.push_back(static_cast<char>(*p++));
        }
        long exponent = 0;
        for (; isDigit(*p); ++p) {
            digits.push_back(static_cast<char>(*p));
            exponent = addSaturated(exponent * 10 > kExponentLimit ? kExponentLimit : exponent * 10,
                                    *p - L'0');
        }
        magnitude = addSaturated(magnitude, negativeExponent ? -exponent : exponent);
    }

    double result = 0.0;
    std::from_chars_result converted =
        std::from_chars(digits.data(), digits.data() + digits.size(), result);
    if (converted.ec == std::errc::result_out_of_range)
        result = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    *value = negative ? -result : result;
    return static_cast<size_t>(p - text);
}

bool evaluateRatio(const wchar_t* text, double* value) {
    double result = 1.0;
    wchar_t op = L'*';
    const wchar_t* p = text;
    for (;;) {
        double number = 0.0;
        size_t used = readDecimal(p, &number);
        if (used == 0)
            return false;
        p += used;
        result = op == L'*' ? result * number : result / number;
        while (isCSpace(*p))
            ++p;
        if (*p == L'\0')
            break;
        if (*p != L'*' && *p != L'/')
            return false;
        op = *p++;
    }
    *value = result;
    return true;
}

} // namespace tonvale
