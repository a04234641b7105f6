#include "support/windows_version.h"

#include "support/windows_version_detect.h"

namespace tonvale {
namespace {

// Filled on first use, which is at the latest the dynamic initialisation of
// this file (before main), so other static initialisers may ask too.
uint32_t& versionValue() {
    static uint32_t value = detectWindowsVersion();
    return value;
}

const bool kVersionDetected = (versionValue(), true);

} // namespace

uint32_t windowsVersion() {
    return versionValue();
}

bool isWindows2000OrLater() {
    return versionValue() > 0x4FFFF;
}
bool isWindowsXpOrLater() {
    return versionValue() > 0x50000;
}
bool isWindowsVistaOrLater() {
    return versionValue() > 0x5FFFF;
}
bool isWindows7OrLater() {
    return versionValue() > 0x60000;
}
bool isWindows8OrLater() {
    return versionValue() > 0x60001;
}
bool isWindows10OrLater() {
    return versionValue() > 0x9FFFF;
}

void setWindowsVersionForTesting(uint32_t version) {
    versionValue() = version;
}

} // namespace tonvale
