#include "support/program_folders.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace tonvale {
namespace {

using testing_files::TempFolder;
using testing_files::writeBytes;

constexpr wchar_t kSep = L'/'; // accepted by both systems

// A file system of nothing but folders, to check the length rule without
// creating anything.
class CountingProbe final : public FolderProbe {
  public:
    Kind kind(const std::wstring& path, uint64_t&) const override {
        return folders.count(path) ? Kind::Folder : Kind::Missing;
    }
    bool createFolder(const std::wstring& path) override {
        folders.insert(path);
        return true;
    }
    std::set<std::wstring> folders;
};

struct Layout {
    TempFolder temp;
    std::wstring appData = temp.wide("appdata");
    std::wstring program = temp.wide("program") + kSep;
    std::filesystem::path settingsDir = temp.file("appdata") / "Maplewick" / "Tonvale";
    std::filesystem::path programDir = temp.file("program");
    Layout() { std::filesystem::create_directories(programDir); }
    ProgramFolders folders(bool windows2000OrLater = true) {
        return ProgramFolders(systemFolderProbe(), appData, program, windows2000OrLater, kSep);
    }
};

TEST(ProgramFolders, SettingsFolderIsCreatedUnderTheApplicationData) {
    Layout layout;
    const std::wstring expected = layout.appData + L"/Maplewick/Tonvale/";
    EXPECT_EQ(layout.folders().settingsFolder(), expected);
    EXPECT_TRUE(std::filesystem::is_directory(layout.settingsDir));
    EXPECT_EQ(layout.folders().settingsFolder(), expected); // again, now existing
    ProgramFolders withSeparator(systemFolderProbe(), layout.appData + kSep, layout.program, true,
                                 kSep);
    EXPECT_EQ(withSeparator.settingsFolder(), expected);
}

TEST(ProgramFolders, TooLongApplicationDataPathGivesNoSettingsFolder) {
    CountingProbe probe;
    // 229 characters and the separator, plus the two names (16) make 246.
    ProgramFolders tooLong(probe, std::wstring(229, L'a'), L"/p/", true, kSep);
    EXPECT_EQ(tooLong.settingsFolder(), L"");
    EXPECT_EQ(tooLong.savePath(L"tonvale.ini"), L"");
    EXPECT_TRUE(probe.folders.empty());
    ProgramFolders longest(probe, std::wstring(228, L'a'), L"/p/", true, kSep);
    EXPECT_EQ(longest.settingsFolder(), std::wstring(228, L'a') + L"/Maplewick/Tonvale/");
    ProgramFolders none(probe, L"", L"/p/", true, kSep);
    EXPECT_EQ(none.settingsFolder(), L"");
}

TEST(ProgramFolders, AFileInPlaceOfAFolderLevelGivesNoSettingsFolder) {
    Layout layout;
    std::filesystem::create_directories(layout.temp.file("appdata"));
    writeBytes(layout.temp.file("appdata") / "Maplewick", "not a folder");
    EXPECT_EQ(layout.folders().settingsFolder(), L"");
    EXPECT_EQ(layout.folders().savePath(L"tonvale.ini"), L"");
    writeBytes(layout.programDir / "scale.ini", "[S]\n");
    EXPECT_EQ(layout.folders().findDataFile(L"scale.ini"), layout.program + L"scale.ini");
}

TEST(ProgramFolders, DataFilesComeFromTheSettingsFolderUnlessEmpty) {
    Layout layout;
    ProgramFolders folders = layout.folders();
    EXPECT_EQ(folders.findDataFile(L"scale.ini"), L"");
    writeBytes(layout.programDir / "scale.ini", "[program copy]\n");
    EXPECT_EQ(folders.findDataFile(L"scale.ini"), layout.program + L"scale.ini");
    writeBytes(layout.settingsDir / "scale.ini", ""); // empty: passed over
    EXPECT_EQ(folders.findDataFile(L"scale.ini"), layout.program + L"scale.ini");
    writeBytes(layout.settingsDir / "scale.ini", "[own copy]\n");
    EXPECT_EQ(folders.findDataFile(L"scale.ini"), layout.appData + L"/Maplewick/Tonvale/scale.ini");

    std::filesystem::create_directories(layout.programDir / "note.ini");
    EXPECT_EQ(folders.findDataFile(L"note.ini"), L""); // a folder is not a file
    writeBytes(layout.programDir / "empty.ini", "");
    EXPECT_EQ(folders.findDataFile(L"empty.ini"), layout.program + L"empty.ini");
}

TEST(ProgramFolders, BeforeWindows2000OnlyTheProgramFolderIsUsed) {
    Layout layout;
    ProgramFolders old = layout.folders(false);
    writeBytes(layout.programDir / "tonvale.ini", "[Tonvale]\n");
    EXPECT_EQ(old.findDataFile(L"tonvale.ini"), layout.program + L"tonvale.ini");
    EXPECT_EQ(old.savePath(L"tonvale.ini"), layout.program + L"tonvale.ini");
    EXPECT_FALSE(std::filesystem::exists(layout.temp.file("appdata")));
    EXPECT_EQ(layout.folders().savePath(L"tonvale.ini"),
              layout.appData + L"/Maplewick/Tonvale/tonvale.ini");
}

TEST(ProgramFolders, ProcessWideFunctionsFollowTheTestRoots) {
    Layout layout;
    setFolderRootsForTesting(layout.appData, layout.program);
    writeBytes(layout.programDir / "note.ini", "[N]\n");
    const std::wstring sep(1, systemPathSeparator());
    EXPECT_EQ(SettingsFolder(), layout.appData + sep + L"Maplewick" + sep + L"Tonvale" + sep);
    EXPECT_EQ(findDataFile(L"note.ini"), layout.program + L"note.ini");
    EXPECT_EQ(settingsSavePath(L"tonvale.ini"), SettingsFolder() + L"tonvale.ini");
    EXPECT_EQ(programFolder(), layout.program);
    setFolderRootsForTesting(L"", L"");
}

} // namespace
} // namespace tonvale
