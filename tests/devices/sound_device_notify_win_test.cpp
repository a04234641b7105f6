// Device-change notices. Wine 8 delivers none when the sound server gains or
// loses a sink or source (the first test records what it does deliver), so
// the notices are also driven the way the audio service calls them, with
// the ids of real endpoints.
#include "devices/names/endpoint_names_win.h"
#include "devices/sound_device_notify_win.h"
#include "support/scoped_win.h"
#include "tests/rig/host_command_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tonvale {
namespace {

constexpr UINT kNotice = WM_APP;
constexpr LPARAM kParameter = 0x5A5A;

struct Notice {
    WPARAM flow;
    LPARAM parameter;
};

class MessageWindow {
  public:
    MessageWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr)) {}
    ~MessageWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

    // Notices that arrive within `waitMs`.
    std::vector<Notice> collect(DWORD waitMs) {
        std::vector<Notice> notices;
        const DWORD start = GetTickCount();
        do {
            MSG message;
            while (PeekMessageW(&message, window_, kNotice, kNotice, PM_REMOVE)) {
                notices.push_back({message.wParam, message.lParam});
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        } while (GetTickCount() - start < waitMs);
        return notices;
    }

  private:
    HWND window_;
};

TEST(SoundDeviceNotify, WhatWineDeliversWhenTheServerGainsAndLosesDevices) {
    MessageWindow window;
    CSndDevNotify* notify = heapNew<CSndDevNotify>(window.get(), kNotice, kParameter);
    ASSERT_NE(notify, nullptr);
    ASSERT_TRUE(notify->registered());
    using testing_rig::runHostCommand;
    ASSERT_EQ(runHostCommand(L"pactl load-module module-null-sink sink_name=notified >/dev/null"),
              0);
    std::vector<Notice> notices = window.collect(1500);
    ASSERT_EQ(runHostCommand(L"pactl unload-module $(pactl list short modules | "
                             L"awk '/sink_name=notified/ {print $1}')"),
              0);
    const std::vector<Notice> more = window.collect(1500);
    notices.insert(notices.end(), more.begin(), more.end());
    heapDelete(notify);
    std::printf("Wine delivered %zu notices for a sink loaded and unloaded\n", notices.size());
    for (const Notice& notice : notices) {
        EXPECT_LE(notice.flow & 0xFFFF, 2u);
        EXPECT_EQ(notice.parameter, kParameter);
    }
}

TEST(SoundDeviceNotify, DeviceNoticesCarryTheEndpointsFlow) {
    MessageWindow window;
    CSndDevNotify* notify = heapNew<CSndDevNotify>(window.get(), kNotice, kParameter);
    ASSERT_NE(notify, nullptr);
    wchar_t captureId[kEndpointIdCapacity];
    wchar_t playbackId[kEndpointIdCapacity];
    ASSERT_TRUE(endpointId(DeviceDirection::capture, 0, captureId));
    ASSERT_TRUE(endpointId(DeviceDirection::playback, 0, playbackId));

    IMMNotificationClient* client = notify;
    EXPECT_EQ(client->OnDeviceAdded(captureId), S_OK);
    EXPECT_EQ(client->OnDeviceRemoved(playbackId), S_OK);
    EXPECT_EQ(client->OnDeviceStateChanged(captureId, 0x4), S_OK);  // unplugged
    EXPECT_EQ(client->OnDeviceStateChanged(captureId, 0x10), S_OK); // no state bit: ignored
    EXPECT_EQ(client->OnDeviceAdded(L"{0.0.1.00000000}.{00000000-0000-0000-0000-000000000000}"),
              S_OK); // unknown id: nothing to post
    EXPECT_EQ(client->OnPropertyValueChanged(captureId, kDeviceFriendlyNameKey), S_OK);
    EXPECT_EQ(client->OnDefaultDeviceChanged(eRender, eMultimedia, playbackId), S_OK);
    EXPECT_EQ(client->OnDefaultDeviceChanged(eCapture, eConsole, captureId), S_OK); // other role
    EXPECT_EQ(client->OnDefaultDeviceChanged(eCapture, eMultimedia, nullptr), S_OK);

    const std::vector<Notice> notices = window.collect(200);
    ASSERT_EQ(notices.size(), 5u);
    const WPARAM expected[] = {1, 0, 1, kDefaultDeviceNotice | 0, kDefaultDeviceNotice | 1};
    for (size_t i = 0; i < notices.size(); ++i) {
        EXPECT_EQ(notices[i].flow, expected[i]) << i;
        EXPECT_EQ(notices[i].parameter, kParameter) << i;
    }
    heapDelete(notify);
}

TEST(SoundDeviceNotify, CountsReferencesButLeavesDeletionToItsOwner) {
    MessageWindow window;
    CSndDevNotify* notify = heapNew<CSndDevNotify>(window.get(), kNotice, 0);
    ASSERT_NE(notify, nullptr);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(notify->QueryInterface(__uuidof(IUnknown), &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    // The owner's reference and any the enumerator took.
    const ULONG held = notify->AddRef() - 1;
    ASSERT_GE(held, 1u);
    for (ULONG count = held + 1; count > 0; --count) {
        EXPECT_EQ(notify->Release(), count - 1);
    }
    // At zero the object lives on until its owner deletes it.
    EXPECT_EQ(notify->AddRef(), 1u);
    heapDelete(notify);
}

} // namespace
} // namespace tonvale
