#include "support/program_folders.h"

#include "support/program_folders_roots.h"
#include "support/windows_version.h"

#include <utility>

namespace tonvale {
namespace {

const wchar_t kMakerFolder[] = L"Maplewick";
const wchar_t kProductFolder[] = L"Tonvale";

struct TestRoots {
    std::wstring appData;
    std::wstring programFolder;
};

TestRoots& testRoots() {
    static TestRoots roots;
    return roots;
}

ProgramFolders systemFolders() {
    const TestRoots& roots = testRoots();
    bool redirected = !roots.appData.empty() || !roots.programFolder.empty();
    return ProgramFolders(systemFolderProbe(), redirected ? roots.appData : systemAppDataFolder(),
                          redirected ? roots.programFolder : systemProgramFolder(),
                          isWindows2000OrLater(), systemPathSeparator());
}

} // namespace

ProgramFolders::ProgramFolders(FolderProbe& probe, std::wstring appData, std::wstring programFolder,
                               bool useSettingsFolder, wchar_t separator)
    : probe_(probe), appData_(std::move(appData)), programFolder_(std::move(programFolder)),
      useSettingsFolder_(useSettingsFolder), separator_(separator) {}

bool ProgramFolders::ensureFolder(const std::wstring& path) {
    uint64_t size = 0;
    switch (probe_.kind(path, size)) {
    case FolderProbe::Kind::Folder:
        return true;
    case FolderProbe::Kind::File:
        return false;
    case FolderProbe::Kind::Missing:
        break;
    }
    return probe_.createFolder(path);
}

std::wstring ProgramFolders::settingsFolder() {
    if (appData_.empty())
        return std::wstring();
    std::wstring folder = appData_;
    if (folder.back() != separator_)
        folder.push_back(separator_);
    const size_t nameChars = (sizeof kMakerFolder + sizeof kProductFolder) / sizeof(wchar_t) - 2;
    if (folder.size() + nameChars > kMaxSettingsFolderChars)
        return std::wstring();
    if (!ensureFolder(folder))
        return std::wstring();
    for (const wchar_t* level : {kMakerFolder, kProductFolder}) {
        folder += level;
        if (!ensureFolder(folder))
            return std::wstring();
        folder.push_back(separator_);
    }
    return folder;
}

std::wstring ProgramFolders::findDataFile(const std::wstring& name) {
    uint64_t size = 0;
    if (useSettingsFolder_) {
        std::wstring folder = settingsFolder();
        if (!folder.empty()) {
            std::wstring path = folder + name;
            if (probe_.kind(path, size) == FolderProbe::Kind::File && size > 0)
                return path;
        }
    }
    if (!programFolder_.empty()) {
        std::wstring path = programFolder_ + name;
        if (probe_.kind(path, size) == FolderProbe::Kind::File)
            return path;
    }
    return std::wstring();
}

std::wstring ProgramFolders::savePath(const std::wstring& name) {
    if (!useSettingsFolder_)
        return programFolder_.empty() ? std::wstring() : programFolder_ + name;
    std::wstring folder = settingsFolder();
    return folder.empty() ? std::wstring() : folder + name;
}

std::wstring SettingsFolder() {
    return systemFolders().settingsFolder();
}

std::wstring findDataFile(const wchar_t* name) {
    return systemFolders().findDataFile(name ? name : L"");
}

std::wstring settingsSavePath(const wchar_t* name) {
    return systemFolders().savePath(name ? name : L"");
}

std::wstring programFolder() {
    const TestRoots& roots = testRoots();
    if (!roots.appData.empty() || !roots.programFolder.empty())
        return roots.programFolder;
    return systemProgramFolder();
}

void setFolderRootsForTesting(const std::wstring& appData, const std::wstring& programFolder) {
    testRoots() = TestRoots{appData, programFolder};
}

} // namespace tonvale
