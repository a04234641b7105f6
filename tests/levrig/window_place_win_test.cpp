// Size, place and their persistence, and the error boxes of the window body.
#include "levrig/error_box_win.h"
#include "levrig/private_heap.h"
#include "levrig/saved_place.h"
#include "support/scoped_win.h"
#include "tests/support/temp_folder.h"
#include "volume_window_fixture_win.h"

#include <thread>

namespace tonvale::levrig {
namespace {

using namespace testkit;

RECT rectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

class WindowPlace : public VolumeWindow {
  protected:
    void SetUp() override {
        VolumeWindow::SetUp();
        for (int i = 0; i < 6; ++i)
            playback(L"id" + std::to_wstring(i), L"Realtek", L"Output " + std::to_wstring(i));
        audio_.setDefault(false, L"id5");
    }
};

TEST_F(WindowPlace, TallerOrShorterButNeverWider) {
    WindowRun run(L"");
    const RECT rect = rectOf(run.window());
    MINMAXINFO limits = {};
    SendMessageW(run.window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, rect.right - rect.left);
    EXPECT_EQ(limits.ptMaxTrackSize.x, rect.right - rect.left);
    EXPECT_EQ(limits.ptMaxTrackSize.y, GetSystemMetrics(SM_CYSCREEN));

    // Six panels do not fit the first height: about four show, and the
    // default endpoint (the last) is scrolled into the middle.
    std::vector<HWND> all = panels(run.window());
    ASSERT_EQ(all.size(), 6u);
    HWND column = GetParent(all[0]);
    RECT client = {};
    GetClientRect(column, &client);
    const RECT panel = rectOf(all[0]);
    const int row = panel.bottom - panel.top - 2;
    EXPECT_EQ(client.bottom, 4 * row + 6);
    EXPECT_EQ(limits.ptMinTrackSize.y, rect.bottom - rect.top - client.bottom + row);
    // (The 2 pixels under the last row are its separator bar.)
    RECT last = rectOf(all[5]);
    MapWindowPoints(nullptr, column, reinterpret_cast<POINT*>(&last), 2);
    EXPECT_GE(last.top, 0);
    EXPECT_LE(last.bottom - 2, client.bottom);
    EXPECT_EQ(focusedPanel(run.window()), all[5]);
}

TEST_F(WindowPlace, PlaceAndHeightRoundTripThroughAnIniFile) {
    testing_files::TempFolder folder;
    const std::wstring ini = folder.wide("levrig.ini");
    const std::wstring line = L"/I \"" + ini + L"\"";
    int height = 0;
    {
        WindowRun run(line);
        const RECT rect = rectOf(run.window());
        height = rect.bottom - rect.top - 50;
        SetWindowPos(run.window(), nullptr, 120, 90, rect.right - rect.left, height, SWP_NOZORDER);
        EXPECT_EQ(run.close(), 0);
    }
    SavedPlace saved;
    readPlaceFromIni(ini.c_str(), false, saved);
    EXPECT_EQ(saved.left, 120);
    EXPECT_EQ(saved.top, 90);
    EXPECT_EQ(saved.height, height);
    WindowRun again(line);
    const RECT rect = rectOf(again.window());
    EXPECT_EQ(rect.left, 120);
    EXPECT_EQ(rect.top, 90);
    EXPECT_EQ(rect.bottom - rect.top, height);
}

TEST_F(WindowPlace, OwnedWindowKeepsItsOffsetInTheRegistry) {
    const std::wstring key = L"Software\\Tonvale tests\\levrig " + std::to_wstring(GetTickCount());
    HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, 200, 150, 100, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    int height = 0;
    {
        WindowRun run(L"/K \"" + key + L"\"", owner);
        const RECT rect = rectOf(run.window());
        height = rect.bottom - rect.top - 30;
        SetWindowPos(run.window(), nullptr, 230, 100, rect.right - rect.left, height, SWP_NOZORDER);
        EXPECT_EQ(run.close(), 0);
    }
    SavedPlace saved;
    readPlaceFromRegistry(key.c_str(), false, saved);
    EXPECT_EQ(saved.left, 30);
    EXPECT_EQ(saved.top, -50);
    EXPECT_EQ(saved.height, height);
    // The offset follows the owner.
    SetWindowPos(owner, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    {
        WindowRun run(L"/K \"" + key + L"\"", owner);
        const RECT rect = rectOf(run.window());
        EXPECT_EQ(rect.left, 330);
        EXPECT_EQ(rect.top, 250);
        EXPECT_EQ(rect.bottom - rect.top, height);
    }
    DestroyWindow(owner);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST_F(WindowPlace, SavedHeightAboveTheFirstHeightIsNotTaken) {
    testing_files::TempFolder folder;
    const std::wstring ini = folder.wide("levrig.ini");
    ASSERT_TRUE(writePlaceToIni(ini.c_str(), false, SavedPlace{kNoPlace, kNoPlace, 2000}));
    WindowRun first(L"");
    const RECT usual = rectOf(first.window());
    first.close();
    WindowRun run(L"/I \"" + ini + L"\"");
    const RECT rect = rectOf(run.window());
    EXPECT_EQ(rect.bottom - rect.top, usual.bottom - usual.top);
    // No place saved: centred like the first.
    EXPECT_EQ(rect.left, usual.left);
}

TEST_F(VolumeWindow, FailuresShowTheirBoxesAndReturnOne) {
    auto failedWith = [](const std::wstring& line, HWND owner = nullptr) {
        ErrorBoxWatcher box;
        WindowRun run(line, owner);
        EXPECT_FALSE(run.shown());
        EXPECT_EQ(run.join(), 1);
        return box.text();
    };
    EXPECT_EQ(failedWith(L""), L"Volume Control: No sound device is found.");
    playback(L"a", L"Realtek", L"Speakers");
    FakeAudioSystem::failCreation(true);
    EXPECT_EQ(failedWith(L""), L"Volume Control: Program initialization was failed.");
    FakeAudioSystem::failCreation(false);
    failPrivateAllocationsAfterForTesting(0);
    EXPECT_EQ(failedWith(L"/E x"), L"Volume Control: Out of memory.");
    failPrivateAllocationsAfterForTesting(-1);
    // An owner that is no window: the window cannot be made.
    EXPECT_EQ(failedWith(L"", reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF0))),
              L"Volume Control: Window creation was failed.");

    for (auto [code, text] : {std::pair{5, L"The dialog box unexpectedly returned an error."},
                              std::pair{6, L"An unexpected error occurred."},
                              std::pair{42, L"An unexpected error occurred."}}) {
        ErrorBoxWatcher box;
        std::thread([code = code] { showErrorBox(code); }).join();
        EXPECT_EQ(box.text(), std::wstring(L"Volume Control: ") + text);
    }
}

} // namespace
} // namespace tonvale::levrig
