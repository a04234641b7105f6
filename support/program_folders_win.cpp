#include "support/program_folders.h"
#include "support/program_folders_roots.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace tonvale {
namespace {

class WinFolderProbe final : public FolderProbe {
  public:
    Kind kind(const std::wstring& path, uint64_t& sizeBytes) const override {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
            return Kind::Missing;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return Kind::Folder;
        sizeBytes = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        return Kind::File;
    }
    bool createFolder(const std::wstring& path) override {
        if (CreateDirectoryW(path.c_str(), nullptr))
            return true;
        // Another process may have made it in the meantime.
        uint64_t size = 0;
        return GetLastError() == ERROR_ALREADY_EXISTS && kind(path, size) == Kind::Folder;
    }
};

} // namespace

FolderProbe& systemFolderProbe() {
    static WinFolderProbe probe;
    return probe;
}

wchar_t systemPathSeparator() {
    return L'\\';
}

std::wstring systemAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, TRUE))
        return std::wstring();
    return path;
}

std::wstring systemProgramFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size())
            break;
        if (path.size() >= 32768)
            return std::wstring();
        path.resize(path.size() * 2);
    }
    std::wstring full(path.data());
    size_t separator = full.find_last_of(L'\\');
    return separator == std::wstring::npos ? std::wstring() : full.substr(0, separator + 1);
}

} // namespace tonvale
