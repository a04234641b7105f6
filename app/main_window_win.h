// The main window: menu bar, meter, power lamp, Power and Settings...
// buttons. It owns the run of the engine (started for itself, or lent to
// another window), presents every reading on the meter, and carries out the
// menu commands. Messages: app/main_window_messages_win.h.
#pragma once

#include <windows.h>

#include "app/main_layout_win.h"

namespace tonvale {

// WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX: no sizing
// border, no maximise box.
constexpr DWORD kMainWindowStyle = 0x02CA0000;

// The window procedure of the main window's class (the single-instance
// name); messages it does not handle go to DefDlgProcW.
LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What other windows of the program lend to the main window's commands. A
// command whose hook is missing is disabled.
struct MainWindowHooks {
    // Runs the settings dialog modally; true when the settings changed.
    bool (*runSettingsDialog)(HWND owner) = nullptr;
};
extern MainWindowHooks gMainWindowHooks;

// Creates the main window at (x, y) (CW_USEDEFAULT allowed) with the outer
// size width x height, the menu and the controls of layout. Null when it or
// one of its controls could not be created. gProcess.mainWindow is set.
HWND createMainWindow(const MainLayout& layout, int x, int y, int width, int height, HMENU menu);

// The outer size of a window of kMainWindowStyle with a menu around a
// client area of the layout's size.
SIZE mainWindowSize(const MainLayout& layout);

} // namespace tonvale
