#include "app/fatal_exception.h"
#include "app/main_commands.h"
#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(WindowPlacement, EachCoordinateIsPulledIntoTheWorkAreaOnItsOwn) {
    const WorkArea area = {0, 0, 1024, 740};
    EXPECT_EQ(placeInWorkArea({100, 50}, 420, 300, area).x, 100);
    // Partly off the right and bottom edges.
    Placement p = placeInWorkArea({900, 600}, 420, 300, area);
    EXPECT_EQ(p.x, 604);
    EXPECT_EQ(p.y, 440);
    p = placeInWorkArea({-50, -20}, 420, 300, area);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    // Wider than the area: the right edge stays inside; taller: the top.
    p = placeInWorkArea({10, 10}, 1100, 800, area);
    EXPECT_EQ(p.x, 1024 - 1100);
    EXPECT_EQ(p.y, 0);
    // A coordinate never stored is passed on; the other is still clamped.
    p = placeInWorkArea({kDefaultPosition, 900}, 420, 300, area);
    EXPECT_EQ(p.x, kDefaultPosition);
    EXPECT_EQ(p.y, 440);
    p = placeInWorkArea({2000, kDefaultPosition}, 420, 300, {100, 30, 1124, 770});
    EXPECT_EQ(p.x, 704);
    EXPECT_EQ(p.y, kDefaultPosition);
}

TEST(FatalException, OnlyTheListedCodesEndTheProgramWithTheirCode) {
    for (uint32_t code : {0xC0000005u, 0xC0000017u, 0xC000001Du, 0xC0000025u, 0xC0000094u,
                          0xC0000096u, 0xC00000FDu, 0x80000001u})
        EXPECT_TRUE(isFatalException(code)) << std::hex << code;
    // Floating-point traps and C++ exceptions go to the system's handling.
    for (uint32_t code : {0xC000008Eu, 0xC0000090u, 0xC0000091u, 0xC0000093u, 0xE06D7363u, 0u})
        EXPECT_FALSE(isFatalException(code)) << std::hex << code;
    EXPECT_EQ(fatalExceptionText(0xC0000005), L"An unrecoverable error has occurred. (0xC0000005)");
    EXPECT_EQ(fatalExceptionText(0x80000001), L"An unrecoverable error has occurred. (0x80000001)");
}

TEST(MainMenu, TwoSubmenusWithEveryCommandOnce) {
    int depth = 0;
    int submenus = 0;
    int seen[200] = {};
    for (const MenuEntry& entry : kMainMenu) {
        switch (entry.kind) {
        case MenuEntryKind::openSubmenu:
            EXPECT_EQ(depth++, 0);
            ++submenus;
            break;
        case MenuEntryKind::closeSubmenu:
            EXPECT_EQ(--depth, 0);
            break;
        case MenuEntryKind::item:
            EXPECT_EQ(depth, 1);
            ++seen[entry.command];
            // Item texts follow the command order of the string table.
            EXPECT_GE(entry.text, 136);
            EXPECT_LE(entry.text, 146);
            break;
        case MenuEntryKind::separator:
            EXPECT_EQ(depth, 1);
            break;
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(submenus, 2);
    for (int command : {100, 101, 102, 103, 104, 105, 107, 108, 109, 112})
        EXPECT_EQ(seen[command], 1) << command;
}

} // namespace
} // namespace tonvale
