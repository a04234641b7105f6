#include "support/ini_file.h"

#include "support/scoped_win.h"

#include <windows.h>

namespace tonvale {
namespace ini_file {
namespace {

class WinOutput final : public OutputFile {
  public:
    explicit WinOutput(HANDLE file) : file_(file) {}
    bool write(const void* data, size_t size) override {
        const char* bytes = static_cast<const char*>(data);
        while (ok_ && size > 0) {
            DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
            DWORD done = 0;
            if (!WriteFile(file_.get(), bytes, chunk, &done, nullptr) || done == 0) {
                ok_ = false;
                break;
            }
            bytes += done;
            size -= done;
        }
        return ok_;
    }
    int64_t finish() override {
        // The content must be on the disk before the file can replace another.
        bool flushed = FlushFileBuffers(file_.get()) != 0;
        LARGE_INTEGER size = {};
        bool sized = GetFileSizeEx(file_.get(), &size) != 0;
        bool closed = CloseHandle(file_.release()) != 0;
        return ok_ && flushed && sized && closed ? size.QuadPart : -1;
    }

  private:
    UniqueFileHandle file_;
    bool ok_ = true;
};

} // namespace

bool readAll(const wchar_t* path, std::string& bytes) {
    UniqueFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 && size.QuadPart <= MAXLONG;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD done = 0;
        ok = ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &done, nullptr) &&
             done == bytes.size();
    }
    return ok;
}

uint32_t ansiCodePage() {
    return GetACP();
}

std::wstring decode(uint32_t codePage, const char* bytes, size_t size) {
    UINT page = codePage ? codePage : CP_ACP;
    int count = MultiByteToWideChar(page, 0, bytes, static_cast<int>(size), nullptr, 0);
    std::wstring out;
    if (count > 0) {
        out.reserve(static_cast<size_t>(count) + 3);
        out.resize(static_cast<size_t>(count));
        MultiByteToWideChar(page, 0, bytes, static_cast<int>(size), &out[0], count);
    }
    return out;
}

std::string encodeAnsi(const wchar_t* text, size_t length) {
    std::string out;
    if (length == 0)
        return out;
    int count = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr,
                                    nullptr);
    if (count > 0) {
        out.resize(static_cast<size_t>(count));
        WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &out[0], count, nullptr,
                            nullptr);
    }
    return out;
}

std::unique_ptr<OutputFile> createOutput(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::unique_ptr<OutputFile>(new WinOutput(file));
}

bool replaceFile(const std::wstring& source, const std::wstring& target) {
    // One rename that replaces the target: no moment without a complete file.
    return MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace ini_file
} // namespace tonvale
