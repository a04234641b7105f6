#include "support/program_folders.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

namespace tonvale {
namespace {

// Under Wine the application data lives in the test's own prefix.
TEST(ProgramFoldersWin, SettingsFolderIsUnderRoamingApplicationData) {
    wchar_t appData[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, TRUE));
    std::wstring expected = appData;
    if (expected.back() != L'\\')
        expected += L'\\';
    expected += L"Maplewick\\Tonvale\\";
    EXPECT_EQ(SettingsFolder(), expected);
    DWORD attributes = GetFileAttributesW(expected.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(settingsSavePath(L"tonvale.ini"), expected + L"tonvale.ini");
}

TEST(ProgramFoldersWin, ProgramFolderHoldsTheExecutable) {
    wchar_t exe[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    std::wstring folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_EQ(std::wstring(exe).rfind(folder, 0), 0u);
    EXPECT_EQ(std::wstring(exe).find(L'\\', folder.size()), std::wstring::npos);
    EXPECT_EQ(findDataFile(L"support_folders_win_test.exe"), std::wstring(exe));
}

} // namespace
} // namespace tonvale
