// Helpers for tests that meet the volume windows as a user does: find the
// window's adapters and panels, move sliders, click boxes, read error boxes.
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace tonvale::levrig::testkit {

constexpr int kAdapterList = 256;
constexpr int kPanelName = 256;
constexpr int kMoreButton = 257;
constexpr int kVolumeSlider = 258;
constexpr int kVolumeValue = 259;
constexpr int kBalanceSlider = 260;
constexpr int kBalanceValue = 261;
constexpr int kMuteBox = 262;
// The same on a line panel.
constexpr int kLineVolumeSlider = 257;
constexpr int kLineVolumeValue = 258;
constexpr int kLineBalanceSlider = 259;
constexpr int kLineMuteBox = 261;

// The top-level windows of a thread.
std::vector<HWND> threadWindows(DWORD threadId);
// The entries of the adapter list and the chosen one.
std::vector<std::wstring> adapterNames(HWND window);
int chosenAdapter(HWND window);
// Chooses an adapter as the drop-down list does.
void chooseAdapter(HWND window, int index);
// Panels in the column (a panel holds a name static 256), visible ones in
// their order from the top when onlyVisible.
std::vector<HWND> panels(HWND window, bool onlyVisible = true);
std::wstring panelName(HWND panel);
HWND panelNamed(HWND window, const std::wstring& name);
// The panel holding the focus, if any.
HWND focusedPanel(HWND window);

// Moves a slider as a user's drag ends: the position, then the panel's
// WM_HSCROLL.
void moveSlider(HWND panel, int id, int position);
int sliderPosition(HWND panel, int id);
std::wstring controlText(HWND panel, int id);
bool checked(HWND panel, int id);
bool enabled(HWND panel, int id);

// Waits (without pumping: the windows are another thread's) for an error
// box of the volume library, reads its text and presses OK. Returns the
// text, or "<none>" when no box appears within timeoutMs.
std::wstring takeErrorBox(DWORD timeoutMs = 20000);

// Runs takeErrorBox on a thread of its own, for calls that block until the
// box is gone.
class ErrorBoxWatcher {
  public:
    ErrorBoxWatcher() : thread_([this] { text_ = takeErrorBox(); }) {}
    ~ErrorBoxWatcher() {
        if (thread_.joinable())
            thread_.join();
    }
    std::wstring text() {
        if (thread_.joinable())
            thread_.join();
        return text_;
    }

  private:
    std::wstring text_;
    std::thread thread_;
};

} // namespace tonvale::levrig::testkit
