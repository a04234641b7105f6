// Helpers for tests that meet the program's windows as a user does, under
// Wine on the rig's display (run them with RIG so they own the screen).
//
// Threads. A modal dialog runs its own message loop on the thread that opened
// it, so a test usually opens the dialog on its main thread and drives it
// from a second thread (std::thread): the driver finds the window
// (waitForWindow with Pump::no), reads it, presses keys or sends messages,
// and ends it; the main thread then checks what the call returned. Code that
// waits on the thread that owns the windows must pump (Pump::yes), or the
// windows never get their messages.
//
// Keyboard. pressKey() sends real input with SendInput, so hooks, the focus
// and IsDialogMessageW see it exactly as typed keys. The target must be the
// foreground window: call bringToFront() first. A bash driver can type into
// a window on the rig's display with xdotool (tried on Wine's notepad):
//   id=$(xdotool search --name '^Tonvale$' | head -1)
//   xdotool windowfocus --sync "$id" key ctrl+Tab
//   xdotool type --delay 50 'text'
// (`windowactivate` needs a window manager, which the rig does not have).
//
// Screenshots. captureWindow() copies the window's area of the screen into a
// PNG under $TONVALE_ARTEFACTS_DIR/<test>/ (artefactPath); look at them. The
// rig has no window manager, so by default top-level windows have no frame;
// drawOwnFrames() (call it first in main, before any window exists) makes
// this program draw its captions and borders itself.
//
// Text fit. textFit() checks one control's text against its rectangle with
// the control's own font and the rules the control draws by (wrapping,
// prefixes, the room a check box or push button keeps for itself);
// clippedTexts() checks every control of a window, including child dialogs.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace tonvale::uikit {

enum class Pump { yes, no };

// Polls condition() every few milliseconds until it holds or timeoutMs pass;
// with Pump::yes the calling thread's messages are dispatched meanwhile.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000,
               Pump pump = Pump::yes);

// Visible top-level windows of this process whose class and title match
// (null matches anything), in z order.
std::vector<HWND> findWindows(const wchar_t* className, const wchar_t* title);
// The first of them once there is one; null after timeoutMs.
HWND waitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs = 5000,
                   Pump pump = Pump::no);

// The class of every standard dialog (DialogBox*, CreateDialog*).
constexpr const wchar_t* kDialogClass = L"#32770";

std::wstring windowText(HWND window);
std::wstring windowClass(HWND window);
// All descendants in creation order (depth first).
std::vector<HWND> descendants(HWND window);
// Controls of `window` (descendants included) with that id.
HWND findControl(HWND window, int id);

struct TextFit {
    HWND control = nullptr;
    std::wstring text;
    SIZE needed = {};     // what the text takes, allowances included
    SIZE available = {};  // the control's client size
    bool checked = false; // false: a control whose text this kit cannot judge
    bool fits = true;
};
TextFit textFit(HWND control);
// One line per control whose text does not fit ("Button 102 "&OK": needs
// 40 x 13, has 35 x 19"); empty when everything fits.
std::vector<std::wstring> clippedTexts(HWND window);

// $TONVALE_ARTEFACTS_DIR/<test>/<file> (the folder is created); the current
// folder when the variable is not set.
std::wstring artefactPath(const std::wstring& test, const std::wstring& file);
// Copies the window's screen area (frame included) into a PNG file.
bool captureWindow(HWND window, const std::wstring& path);

// Wine's X11 driver leaves captions and borders to the window manager; the
// rig has none. This sets the driver's per-program options for this
// executable so that Wine draws them itself and never waits for a window
// manager, and adds the symbol font the caption buttons are drawn with. It
// must run before any window exists.
void drawOwnFrames();

// Makes the window the foreground window (and gives it the focus) as far as
// the system allows; true when it is.
bool bringToFront(HWND window);
// Presses and releases `key` with the modifiers (VK_CONTROL, VK_SHIFT,
// VK_MENU) held, through SendInput. False when the input was not accepted.
bool pressKey(WORD key, std::initializer_list<WORD> modifiers = {});
// Right-clicks at a point of the window's client area (SendInput).
bool rightClick(HWND window, POINT clientPoint);

} // namespace tonvale::uikit
