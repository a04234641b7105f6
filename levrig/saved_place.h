// Where a volume window was last: its left/top (or offset from its owner)
// and height, kept per direction in an INI file or under a registry key.
// Values that are missing or unreadable keep what the options hold.
//
// INI: section "Record" or "Playback", keys Left, Top and Height, decimal.
// Registry: HKEY_CURRENT_USER\<key>\Record (or \Playback), REG_DWORD values
// Left, Top and Height (the Windows half).
#pragma once

#include "levrig/volume_options.h"

#include <cstdint>
#include <string>

namespace tonvale {
namespace levrig {

struct SavedPlace {
    int32_t left = kNoPlace;
    int32_t top = kNoPlace;
    int32_t height = 0;
};

// The options' store, read into their left, top and height.
void readSavedPlace(VolumeOptions& options);
// The options' left, top and height, written to their store; false when
// there is no store or writing failed.
bool writeSavedPlace(const VolumeOptions& options);

void readPlaceFromIni(const wchar_t* path, bool recording, SavedPlace& place);
bool writePlaceToIni(const wchar_t* path, bool recording, const SavedPlace& place);

// The Windows half; natively there is no registry (reads nothing, writes fail).
void readPlaceFromRegistry(const wchar_t* key, bool recording, SavedPlace& place);
bool writePlaceToRegistry(const wchar_t* key, bool recording, const SavedPlace& place);

// A decimal value as the INI file holds it: optional blanks and sign, digits;
// clamped to 32 bits. False when no digit follows.
bool parsePlaceValue(const wchar_t* text, int32_t& value);

// INI text as IniReader::dump gives it (lines ended by "\n", sections as
// "[name]"), with the three keys of the section set to the place: other keys
// and sections stay as they were; a missing section is added at the end.
std::wstring withPlaceInSection(const std::wstring& text, const char* section,
                                const SavedPlace& place);

} // namespace levrig
} // namespace tonvale
