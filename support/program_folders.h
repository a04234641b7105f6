// The tuner's folders: its per-user settings folder under the roaming
// application data, "Maplewick\Tonvale\", and the folder of its executable,
// which holds fall-back copies of the data files.
//
// Paths end with a separator; an empty string means "none". Nothing here
// reports failures: callers fall back to defaults (reading) or skip the
// write (saving). Natively the application data is $XDG_CONFIG_HOME (or
// ~/.config) and the separator "/".
#pragma once

#include <cstdint>
#include <string>

namespace tonvale {

// What the folder rules need from the file system.
class FolderProbe {
  public:
    enum class Kind { Missing, File, Folder };
    virtual ~FolderProbe() = default;
    virtual Kind kind(const std::wstring& path, uint64_t& sizeBytes) const = 0;
    // Creates one folder level; false when it fails.
    virtual bool createFolder(const std::wstring& path) = 0;
};

// The rules, on given roots. settingsFolder() forms (and creates) the folder
// each time it is asked; useSettingsFolder is false before Windows 2000.
class ProgramFolders {
  public:
    // The settings folder path must not exceed this many characters.
    static constexpr size_t kMaxSettingsFolderChars = 245;

    ProgramFolders(FolderProbe& probe, std::wstring appData, std::wstring programFolder,
                   bool useSettingsFolder, wchar_t separator);

    // appData + "Maplewick\Tonvale\", each level created if missing; empty
    // when the path would be too long, a level cannot be created, or a file
    // stands where a level should be.
    std::wstring settingsFolder();
    // Where to read name from: the settings folder's copy if it is a file and
    // not empty, else the program folder's if it is a file, else empty.
    std::wstring findDataFile(const std::wstring& name);
    // Where to save name: in the settings folder (empty when there is none),
    // or before Windows 2000 in the program folder.
    std::wstring savePath(const std::wstring& name);
    const std::wstring& programFolder() const { return programFolder_; }

  private:
    bool ensureFolder(const std::wstring& path);

    FolderProbe& probe_;
    std::wstring appData_;
    std::wstring programFolder_;
    bool useSettingsFolder_;
    wchar_t separator_;
};

// The same rules on the system's folders.
std::wstring SettingsFolder();
std::wstring findDataFile(const wchar_t* name);
std::wstring settingsSavePath(const wchar_t* name);
// The executable's full path cut after its last separator.
std::wstring programFolder();
// "\" on Windows, "/" elsewhere.
wchar_t systemPathSeparator();

// Points the functions above at other roots (tests must never touch the
// user's real folders). Empty strings restore the system's folders.
void setFolderRootsForTesting(const std::wstring& appData, const std::wstring& programFolder);

// The file system as it is.
FolderProbe& systemFolderProbe();

} // namespace tonvale
