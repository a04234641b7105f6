#include "support/program_folders.h"
#include "support/program_folders_roots.h"

#include "support/utf16.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace tonvale {
namespace {

std::string narrow(const std::wstring& path) {
    return wideToUtf8(path);
}

class PosixFolderProbe final : public FolderProbe {
  public:
    Kind kind(const std::wstring& path, uint64_t& sizeBytes) const override {
        struct stat info = {};
        if (::stat(narrow(path).c_str(), &info) != 0)
            return Kind::Missing;
        if (S_ISDIR(info.st_mode))
            return Kind::Folder;
        sizeBytes = static_cast<uint64_t>(info.st_size);
        return Kind::File;
    }
    bool createFolder(const std::wstring& path) override {
        if (::mkdir(narrow(path).c_str(), 0755) == 0)
            return true;
        uint64_t size = 0;
        return errno == EEXIST && kind(path, size) == Kind::Folder;
    }
};

} // namespace

FolderProbe& systemFolderProbe() {
    static PosixFolderProbe probe;
    return probe;
}

wchar_t systemPathSeparator() {
    return L'/';
}

std::wstring systemAppDataFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return utf8ToWide(config);
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return utf8ToWide(std::string(home) + "/.config");
    return std::wstring();
}

std::wstring systemProgramFolder() {
    char path[PATH_MAX + 1] = {};
    ssize_t length = ::readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0)
        return std::wstring();
    std::string full(path, static_cast<size_t>(length));
    size_t slash = full.find_last_of('/');
    return slash == std::string::npos ? std::wstring() : utf8ToWide(full.substr(0, slash + 1));
}

} // namespace tonvale
