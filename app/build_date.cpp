#include "app/build_date.h"

#include <cstring>

namespace tonvale {

std::wstring isoBuildDate(const char* compilerDate) {
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const std::string date = compilerDate ? compilerDate : "";
    auto digit = [&](size_t i) { return date[i] >= '0' && date[i] <= '9'; };
    const char* month =
        date.size() == 11 ? std::strstr(kMonths, date.substr(0, 3).c_str()) : nullptr;
    const bool readable = month && (month - kMonths) % 3 == 0 && (date[4] == ' ' || digit(4)) &&
                          digit(5) && digit(7) && digit(8) && digit(9) && digit(10);
    if (!readable)
        return std::wstring(date.begin(), date.end());
    const int monthNumber = static_cast<int>(month - kMonths) / 3 + 1;
    std::wstring iso(date.begin() + 7, date.end());
    iso += L'-';
    iso += static_cast<wchar_t>(L'0' + monthNumber / 10);
    iso += static_cast<wchar_t>(L'0' + monthNumber % 10);
    iso += L'-';
    iso += date[4] == ' ' ? L'0' : static_cast<wchar_t>(date[4]);
    iso += static_cast<wchar_t>(date[5]);
    return iso;
}

} // namespace tonvale
