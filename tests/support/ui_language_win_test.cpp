#include "support/ui_text.h"

#include "support/windows_version.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace tonvale {
namespace {

// The test is registered once per locale; the expected table comes with it.
TEST(UiLanguageWin, ChoosesTheTableOfTheUsersLanguage) {
    const char* expected = std::getenv("TONVALE_EXPECT_LANGUAGE");
    if (!expected)
        GTEST_SKIP() << "TONVALE_EXPECT_LANGUAGE not set";
    int table = chooseLanguage();
    EXPECT_EQ(table, std::atoi(expected));
    EXPECT_STREQ(UiText(1), table == kJapaneseTable ? L"\u958B\u59CB" : L"Start");
}

// Before Vista the language comes from GetUserDefaultUILanguage, and before
// Windows 2000 from the user's default language; Wine answers all three from
// the locale.
TEST(UiLanguageWin, OlderSystemsAskTheirOwnFunctions) {
    const char* expected = std::getenv("TONVALE_EXPECT_LANGUAGE");
    if (!expected)
        GTEST_SKIP() << "TONVALE_EXPECT_LANGUAGE not set";
    const uint32_t saved = windowsVersion();
    for (uint32_t version : {0x40000u, 0x50000u, 0x50001u, 0x60000u}) {
        setWindowsVersionForTesting(version);
        EXPECT_EQ(chooseLanguage(), std::atoi(expected)) << std::hex << version;
    }
    setWindowsVersionForTesting(saved);
}

TEST(UiLanguageWin, TablesLiveBesideOtherResourcesOfTheProgram) {
    HMODULE program = GetModuleHandleW(nullptr);
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(7), RT_RCDATA), nullptr);
    loadTable(kEnglishTable);
    EXPECT_STREQ(UiText(2), L"Cancel");
}

} // namespace
} // namespace tonvale
