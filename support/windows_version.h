// The running Windows version and the predicates every branch on it uses.
//
// The value is major * 65536 + minor, taken from GetVersionExW during static
// initialisation, before the program entry runs. Builds for other systems
// report Windows 10 (0x000A0000), so portable code takes the modern paths.
// Each predicate is a strict comparison with a threshold.
#pragma once

#include <cstdint>

namespace tonvale {

uint32_t windowsVersion();

bool isWindows2000OrLater();  // 5.0: > 0x4FFFF
bool isWindowsXpOrLater();    // 5.1: > 0x50000
bool isWindowsVistaOrLater(); // 6.0: > 0x5FFFF
bool isWindows7OrLater();     // 6.1: > 0x60000
bool isWindows8OrLater();     // 6.2: > 0x60001
bool isWindows10OrLater();    // 10.0: > 0x9FFFF

// Replaces the value, for tests of version-dependent behaviour. Not for use
// while other threads may read it.
void setWindowsVersionForTesting(uint32_t version);

} // namespace tonvale
