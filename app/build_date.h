// The build date as the about box shows it.
#pragma once

#include <string>

namespace tonvale {

// "Mmm dd yyyy" as the compiler's __DATE__ gives it (the day padded with a
// blank) to "yyyy-mm-dd"; an unreadable date comes back unchanged.
std::wstring isoBuildDate(const char* compilerDate);

} // namespace tonvale
