// Command ids of the main window (menu items and buttons), its controls, and
// the menu bar as a table of UI text numbers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonvale {

enum MainCommand : uint16_t {
    kCommandPower = 100,
    kCommandReferenceTone = 101,
    kCommandSpectrum = 102,
    kCommandVolumeControl = 103,
    kCommandSettings = 104,
    kCommandExit = 105,
    kCommandAbout = 107,
    kCommandReadMe = 108,
    kCommandLargeDisplay = 109,
    kCommandSettingsFolder = 112,
};

enum MainControlId : uint16_t {
    kPowerButtonId = kCommandPower,
    kSettingsButtonId = kCommandSettings,
    kMeterId = 113,
    kPowerLampId = 114,
};

enum class MenuEntryKind : uint8_t { item, separator, openSubmenu, closeSubmenu };

struct MenuEntry {
    MenuEntryKind kind;
    uint16_t command; // items only
    int16_t text;     // UI text number; items and submenus
};

constexpr size_t kMainMenuEntries = 18;
extern const MenuEntry kMainMenu[kMainMenuEntries];

} // namespace tonvale
