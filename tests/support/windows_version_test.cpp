#include "support/windows_version.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

struct Predicates {
    bool at50, at51, at60, at61, at62, at100;
    bool operator==(const Predicates& o) const {
        return at50 == o.at50 && at51 == o.at51 && at60 == o.at60 && at61 == o.at61 &&
               at62 == o.at62 && at100 == o.at100;
    }
};

Predicates predicatesFor(uint32_t version) {
    setWindowsVersionForTesting(version);
    return {isWindows2000OrLater(), isWindowsXpOrLater(), isWindowsVistaOrLater(),
            isWindows7OrLater(),    isWindows8OrLater(),  isWindows10OrLater()};
}

TEST(WindowsVersion, PredicatesAreStrictThresholds) {
    const uint32_t saved = windowsVersion();
    EXPECT_TRUE(predicatesFor(0x40000) == (Predicates{false, false, false, false, false, false}));
    EXPECT_TRUE(predicatesFor(0x50000) == (Predicates{true, false, false, false, false, false}));
    EXPECT_TRUE(predicatesFor(0x50002) == (Predicates{true, true, false, false, false, false}));
    EXPECT_TRUE(predicatesFor(0x60000) == (Predicates{true, true, true, false, false, false}));
    EXPECT_TRUE(predicatesFor(0x60001) == (Predicates{true, true, true, true, false, false}));
    EXPECT_TRUE(predicatesFor(0x60002) == (Predicates{true, true, true, true, true, false}));
    EXPECT_TRUE(predicatesFor(0x60003) == (Predicates{true, true, true, true, true, false}));
    EXPECT_TRUE(predicatesFor(0xA0000) == (Predicates{true, true, true, true, true, true}));
    setWindowsVersionForTesting(saved);
}

TEST(WindowsVersion, IsKnownBeforeMain) {
    // Natively a modern Windows; under Wine whatever the prefix reports
    // (Windows 7 by default), but never the unset value.
    EXPECT_TRUE(isWindowsVistaOrLater());
}

} // namespace
} // namespace tonvale
