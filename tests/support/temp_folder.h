// A fresh folder under the system's temporary folder (inside the Wine prefix
// under Wine), removed with its content at the end of the test.
#pragma once

#include "support/utf16.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace tonvale {
namespace testing_files {

class TempFolder {
  public:
    TempFolder() {
        static std::atomic<unsigned> counter{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("tonvale-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }
    // The path as the library takes it: UTF-16 code units in wchar_t.
    std::wstring wide(const std::string& name) const { return widePath(file(name)); }

    static std::wstring widePath(const std::filesystem::path& p) {
        auto u8 = p.u8string();
        return utf8ToWide(std::string(u8.begin(), u8.end()));
    }

  private:
    std::filesystem::path path_;
};

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// UTF-8 text as UTF-16LE bytes.
inline std::string utf16LeBytes(const std::string& utf8) {
    std::string bytes;
    for (wchar_t unit : utf8ToWide(utf8)) {
        bytes.push_back(static_cast<char>(static_cast<unsigned>(unit) & 0xFF));
        bytes.push_back(static_cast<char>((static_cast<unsigned>(unit) >> 8) & 0xFF));
    }
    return bytes;
}

} // namespace testing_files
} // namespace tonvale
