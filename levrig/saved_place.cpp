#include "levrig/saved_place.h"

#include "support/ini_reader.h"
#include "support/ini_writer.h"

#include <cstddef>
#include <vector>

namespace tonvale {
namespace levrig {
namespace {

constexpr const char* kKeys[3] = {"Left", "Top", "Height"};
// The conversion reads at most this many characters of a value.
constexpr size_t kValueCapacity = 64;

wchar_t lowerAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// text[from, from + length) equals name, ASCII letters compared without case.
bool sameName(const std::wstring& text, size_t from, size_t length, const char* name) {
    size_t i = 0;
    for (; i < length && name[i]; ++i) {
        if (lowerAscii(text[from + i]) != lowerAscii(static_cast<unsigned char>(name[i])))
            return false;
    }
    return i == length && !name[i];
}

int32_t* placeField(SavedPlace& place, int key) {
    return key == 0 ? &place.left : key == 1 ? &place.top : &place.height;
}

std::wstring placeLines(const SavedPlace& place) {
    const int32_t values[3] = {place.left, place.top, place.height};
    std::wstring lines;
    for (int key = 0; key < 3; ++key) {
        for (const char* c = kKeys[key]; *c; ++c)
            lines.push_back(static_cast<wchar_t>(*c));
        lines.push_back(L'=');
        std::string digits = std::to_string(values[key]);
        lines.append(digits.begin(), digits.end());
        lines.push_back(L'\n');
    }
    return lines;
}

// The key a line holds ("key=..."), as a position and length; false for
// lines without "=".
bool lineKey(const std::wstring& line, size_t& length) {
    length = line.find(L'=');
    return length != std::wstring::npos;
}

} // namespace

bool parsePlaceValue(const wchar_t* text, int32_t& value) {
    const wchar_t* c = text;
    while (*c == L' ' || *c == L'\t')
        ++c;
    bool negative = false;
    if (*c == L'+' || *c == L'-')
        negative = *c++ == L'-';
    if (*c < L'0' || *c > L'9')
        return false;
    int64_t magnitude = 0;
    for (; *c >= L'0' && *c <= L'9'; ++c) {
        magnitude = magnitude * 10 + (*c - L'0');
        if (magnitude > int64_t{INT32_MAX} + 1)
            magnitude = int64_t{INT32_MAX} + 1;
    }
    int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX)
        signedValue = INT32_MAX;
    value = static_cast<int32_t>(signedValue);
    return true;
}

void readPlaceFromIni(const wchar_t* path, bool recording, SavedPlace& place) {
    IniReader reader;
    if (!reader.load(path) || !reader.selectSection(placeSectionName(recording)))
        return;
    for (int key = 0; key < 3; ++key) {
        wchar_t buffer[kValueCapacity] = {};
        reader.getString(kKeys[key], L"", buffer, kValueCapacity);
        int32_t value = 0;
        if (parsePlaceValue(buffer, value))
            *placeField(place, key) = value;
    }
}

std::wstring withPlaceInSection(const std::wstring& text, const char* section,
                                const SavedPlace& place) {
    std::vector<std::wstring> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::wstring result;
    bool inSection = false;
    bool written = false;
    auto closeSection = [&] {
        if (inSection && !written) {
            result += placeLines(place);
            written = true;
        }
        inSection = false;
    };
    for (const std::wstring& line : lines) {
        if (!line.empty() && line[0] == L'[') {
            closeSection();
            size_t close = line.find(L']');
            size_t nameLength = (close == std::wstring::npos ? line.size() : close) - 1;
            inSection = !written && sameName(line, 1, nameLength, section);
        } else if (inSection) {
            size_t keyLength = 0;
            if (lineKey(line, keyLength) &&
                (sameName(line, 0, keyLength, kKeys[0]) || sameName(line, 0, keyLength, kKeys[1]) ||
                 sameName(line, 0, keyLength, kKeys[2])))
                continue;
        }
        result += line;
        result += L'\n';
    }
    closeSection();
    if (!written) {
        result += L'[';
        for (const char* c = section; *c; ++c)
            result.push_back(static_cast<wchar_t>(*c));
        result += L"]\n";
        result += placeLines(place);
    }
    return result;
}

bool writePlaceToIni(const wchar_t* path, bool recording, const SavedPlace& place) {
    std::wstring text;
    {
        IniReader reader;
        if (reader.load(path))
            text = reader.dump();
    }
    text = withPlaceInSection(text, placeSectionName(recording), place);
    IniWriter writer;
    if (!writer.open(path, IniEncoding::Utf16))
        return false;
    writer.writeText(text.c_str());
    const bool written = writer.commit(path) >= 0;
    writer.close();
    return written;
}

void readSavedPlace(VolumeOptions& options) {
    SavedPlace place{options.left, options.top, options.height};
    if (options.store == PlaceStore::iniFile)
        readPlaceFromIni(options.storePath.c_str(), options.recording, place);
    else if (options.store == PlaceStore::registry)
        readPlaceFromRegistry(options.storePath.c_str(), options.recording, place);
    options.left = place.left;
    options.top = place.top;
    options.height = place.height;
}

bool writeSavedPlace(const VolumeOptions& options) {
    const SavedPlace place{options.left, options.top, options.height};
    if (options.store == PlaceStore::iniFile)
        return writePlaceToIni(options.storePath.c_str(), options.recording, place);
    if (options.store == PlaceStore::registry)
        return writePlaceToRegistry(options.storePath.c_str(), options.recording, place);
    return false;
}

} // namespace levrig
} // namespace tonvale
