#include "levrig/saved_place.h"

#include "support/scoped_win.h"

#include <windows.h>

#include <string>

namespace tonvale {
namespace levrig {
namespace {

constexpr const wchar_t* kValueNames[3] = {L"Left", L"Top", L"Height"};

// <key>\Record or <key>\Playback.
std::wstring subkeyPath(const wchar_t* key, bool recording) {
    std::wstring path = key;
    path += L'\\';
    for (const char* c = placeSectionName(recording); *c; ++c)
        path.push_back(static_cast<wchar_t>(*c));
    return path;
}

} // namespace

void readPlaceFromRegistry(const wchar_t* key, bool recording, SavedPlace& place) {
    UniqueRegistryKey opened;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subkeyPath(key, recording).c_str(), 0, KEY_QUERY_VALUE,
                      opened.receive()) != ERROR_SUCCESS)
        return;
    int32_t* fields[3] = {&place.left, &place.top, &place.height};
    for (int i = 0; i < 3; ++i) {
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegQueryValueExW(opened.get(), kValueNames[i], nullptr, &type,
                             reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof value)
            *fields[i] = static_cast<int32_t>(value);
    }
}

bool writePlaceToRegistry(const wchar_t* key, bool recording, const SavedPlace& place) {
    UniqueRegistryKey created;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subkeyPath(key, recording).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, created.receive(), nullptr) != ERROR_SUCCESS)
        return false;
    const int32_t values[3] = {place.left, place.top, place.height};
    bool written = true;
    for (int i = 0; i < 3; ++i) {
        DWORD value = static_cast<DWORD>(values[i]);
        written &=
            RegSetValueExW(created.get(), kValueNames[i], 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
    }
    return written;
}

} // namespace levrig
} // namespace tonvale
