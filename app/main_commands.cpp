#include "app/main_commands.h"

namespace tonvale {
namespace {

constexpr MenuEntry item(MainCommand command, int16_t text) {
    return {MenuEntryKind::item, command, text};
}
constexpr MenuEntry kSeparator = {MenuEntryKind::separator, 0, -1};
constexpr MenuEntry submenu(int16_t text) {
    return {MenuEntryKind::openSubmenu, 0, text};
}
constexpr MenuEntry kEndOfSubmenu = {MenuEntryKind::closeSubmenu, 0, -1};

} // namespace

const MenuEntry kMainMenu[kMainMenuEntries] = {
    submenu(135), // "&Tuning"
    item(kCommandPower, 136),
    kSeparator,
    item(kCommandReferenceTone, 137),
    item(kCommandSpectrum, 138),
    item(kCommandVolumeControl, 139),
    kSeparator,
    item(kCommandSettings, 140),
    item(kCommandLargeDisplay, 141),
    kSeparator,
    item(kCommandSettingsFolder, 142),
    kSeparator,
    item(kCommandExit, 143),
    kEndOfSubmenu,
    submenu(144), // "&Help"
    item(kCommandReadMe, 145),
    item(kCommandAbout, 146),
    kEndOfSubmenu,
};

} // namespace tonvale
