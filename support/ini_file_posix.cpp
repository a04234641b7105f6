#include "support/ini_file.h"

#include "support/utf16.h"

#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tonvale {
namespace ini_file {
namespace {

std::string narrowPath(const wchar_t* path) {
    size_t length = 0;
    while (path[length])
        ++length;
    return wideToUtf8(path, length);
}

std::string parentFolder(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class PosixOutput final : public OutputFile {
  public:
    explicit PosixOutput(int fd) : fd_(fd) {}
    ~PosixOutput() override {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool write(const void* data, size_t size) override {
        const char* bytes = static_cast<const char*>(data);
        while (ok_ && size > 0) {
            ssize_t done = ::write(fd_, bytes, size);
            if (done <= 0) {
                ok_ = false;
                break;
            }
            bytes += done;
            size -= static_cast<size_t>(done);
            written_ += done;
        }
        return ok_;
    }
    int64_t finish() override {
        bool synced = ::fsync(fd_) == 0;
        bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return ok_ && synced && closed ? written_ : -1;
    }

  private:
    int fd_ = -1;
    bool ok_ = true;
    int64_t written_ = 0;
};

} // namespace

bool readAll(const wchar_t* path, std::string& bytes) {
    FILE* file = std::fopen(narrowPath(path).c_str(), "rb");
    if (!file)
        return false;
    struct stat info = {};
    bool ok = ::fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
              info.st_size <= INT32_MAX;
    if (ok) {
        bytes.resize(static_cast<size_t>(info.st_size));
        ok = std::fread(&bytes[0], 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok;
}

uint32_t ansiCodePage() {
    return kUtf8CodePage;
}

// Without code pages every file without a mark is read as UTF-8.
std::wstring decode(uint32_t, const char* bytes, size_t size) {
    return utf8ToWide(bytes, size);
}

std::string encodeAnsi(const wchar_t* text, size_t length) {
    return wideToUtf8(text, length);
}

std::unique_ptr<OutputFile> createOutput(const std::wstring& path) {
    int fd =
        ::open(narrowPath(path.c_str()).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<OutputFile>(new PosixOutput(fd));
}

bool replaceFile(const std::wstring& source, const std::wstring& target) {
    std::string to = narrowPath(target.c_str());
    if (std::rename(narrowPath(source.c_str()).c_str(), to.c_str()) != 0)
        return false;
    // Make the new directory entry itself durable.
    int dir = ::open(parentFolder(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace ini_file
} // namespace tonvale
