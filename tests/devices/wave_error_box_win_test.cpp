// The wave error box as a user meets it on the rig's display.
#include "app/message_box_win.h"
#include "devices/wave_error_text_win.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <gtest/gtest.h>

#include <thread>

namespace tonvale {
namespace {

TEST(WaveErrorBox, ShowsTheMessageAndTheSystemsReasonOwnedByTheWindow) {
    HWND owner = CreateWindowExW(0, L"Static", L"Owner", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    std::wstring text;
    HWND boxOwner = nullptr;
    bool iconShown = false;
    std::thread driver([&] {
        HWND box = uikit::waitForWindow(uikit::kDialogClass, L"Tonvale", 5000);
        if (!box) {
            return;
        }
        text = uikit::windowText(GetDlgItem(box, kMessageBoxTextId));
        boxOwner = GetWindow(box, GW_OWNER);
        iconShown = IsWindowVisible(GetDlgItem(box, kMessageBoxIconId)) != FALSE;
        PostMessageW(box, WM_COMMAND, kMessageBoxFirstButtonId, 0);
    });
    showWaveInError(owner, L"Failed to open the recording device.", MMSYSERR_BADDEVICEID);
    driver.join();
    EXPECT_EQ(text, waveInErrorText(L"Failed to open the recording device.", MMSYSERR_BADDEVICEID));
    EXPECT_EQ(text.rfind(L"Failed to open the recording device.\n\n", 0), 0u);
    EXPECT_EQ(boxOwner, owner);
    EXPECT_TRUE(iconShown);
    DestroyWindow(owner);
}

} // namespace
} // namespace tonvale
