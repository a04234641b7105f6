#include "support/ui_text.h"

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

TEST(UiLanguageWin, TablesLiveBesideOtherResourcesOfTheProgram) {
    HMODULE program = GetModuleHandleW(nullptr);
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(7), RT_RCDATA), nullptr);
    loadTable(kEnglishTable);
    EXPECT_STREQ(UiText(2), L"Cancel");
}

} // namespace
} // namespace tonvale
