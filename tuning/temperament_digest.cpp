#include "tuning/temperament_digest.h"

#include "support/ini_reader.h"

#include <cwchar>

namespace tonvale {
namespace {

constexpr int32_t kNamesStep = 1024;
constexpr int32_t kNamesLimit = 65536;
constexpr size_t kCommentChars = 255;

} // namespace

std::optional<TemperamentDigest> digest(IniReader& file) {
    std::vector<wchar_t> names;
    int32_t capacity = kNamesStep;
    for (;;) {
        names.assign(static_cast<size_t>(capacity), L'\0');
        if (file.sectionNames(names.data(), capacity) != capacity - 2)
            break;
        if (capacity >= kNamesLimit)
            return std::nullopt;
        capacity += kNamesStep;
    }
    TemperamentDigest result;
    for (const wchar_t* name = names.data(); *name; name += std::wcslen(name) + 1) {
        DigestEntry entry;
        entry.name = name;
        if (file.selectSection(name))
            entry.comment = file.getString("Comment", L"", kCommentChars);
        result.push_back(std::move(entry));
    }
    return result;
}

std::optional<TemperamentDigest> digestFile(const wchar_t* path) {
    IniReader file;
    if (path)
        file.load(path);
    return digest(file);
}

} // namespace tonvale
