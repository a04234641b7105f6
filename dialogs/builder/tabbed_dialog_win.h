// A modal dialog of tabbed pages, built from code like every dialog here.
//
// Each page is a child dialog made the first time it is shown: the host
// creates it from an empty child template, gives it the tab-page background
// when visual themes are on, moves it into the tab control's display area,
// then installs the page's procedure and sends it WM_INITDIALOG with the
// shared data as lParam; the procedure builds its controls there. A page
// that cannot build itself destroys its window, and the host then ends as if
// cancelled.
//
// Pages hear from the host as from a system property sheet, by WM_NOTIFY
// with a PSHNOTIFY whose hwndFrom is the host:
//   PSN_SETACTIVE  each time the page is shown;
//   PSN_APPLY      on OK (lParam TRUE): the current page first, then every
//                  other page shown so far, in page order. Answer 0 through
//                  DWLP_MSGRESULT to accept; any other value keeps the dialog
//                  open (PSNRET_INVALID also makes that page the current one).
//                  Pages never shown receive nothing;
//   PSN_HELP       on Help, to the current page.
// Ctrl+Tab and Ctrl+Shift+Tab move one tab forward or back, wrapping around.
// UI thread only; the host may be nested.
#pragma once

#include "dialogs/builder/dialog_template.h"

#include <windows.h>

namespace tonvale {

// The page's size for its layout with the host's font; with a page window
// it also creates the page's controls. False when a device context or a
// control could not be had. With a null page it must not create anything.
using PageLayoutFunction = bool (*)(HWND page, HFONT font, void* shared, int* width, int* height);

struct TabbedPage {
    int title; // UI text of the tab
    DLGPROC procedure;
    PageLayoutFunction layout;
};

struct TabbedDialogHeader {
    HWND parent = nullptr;
    int caption = 0; // UI text
    int startPage = 0;
    int okText = 0;
    int cancelText = 2;
    int helpText = kNoText; // the Help button stays hidden without a text
    bool omitHelp = false;
    HFONT font = nullptr;   // of the host and its pages
    void* shared = nullptr; // the data the pages edit
};

constexpr int kTabControlId = 30000;
constexpr int kTabbedHelpId = 9;

// Runs the dialog: IDOK when every shown page accepted PSN_APPLY, IDCANCEL
// when cancelled (or a page could not be made), 0 when the dialog itself
// could not be built (nothing was shown).
INT_PTR runTabbedDialog(const TabbedDialogHeader& header, const TabbedPage* pages, int count);

} // namespace tonvale
