// The main window's controls, their layout for either display size, and its
// menu bar, all from the UI font and the UI texts.
#pragma once

#include <windows.h>

#include "dialogs/builder/dialog_builder.h"
#include "dialogs/builder/dialog_template.h"

namespace tonvale {

// The sunken line under the menu bar, the meter, the power lamp, the Power
// and Settings... buttons, in creation (and tab) order.
constexpr int kMainControlCount = 5;
extern const DialogControl kMainControls[kMainControlCount];

struct MainLayout {
    LayoutRect controls[kMainControlCount] = {};
    int clientWidth = 0;
    int clientHeight = 0;
};

// The layout for the large or small display, measured on a screen DC with
// font; false when no DC could be had.
bool buildMainLayout(bool large, HFONT font, MainLayout& layout);

// The menu bar; null when a menu could not be made.
HMENU buildMainMenu();

} // namespace tonvale
