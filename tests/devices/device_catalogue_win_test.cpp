// The catalogue on the devices Wine really offers through the rig's sound
// server (a null sink "Null Output" and its monitor). Run twice: in the
// build's prefix (Windows 7: endpoint mode) and in one reporting XP
// (legacy mode); TONVALE_EXPECT_MODE names the mode the run must be in.
#include "devices/device_catalogue_win.h"
#include "devices/names/endpoint_names_win.h"
#include "devices/wave_error_text_win.h"
#include "support/windows_version.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwctype>
#include <string>

namespace tonvale {
namespace {

constexpr DeviceDirection kBoth[] = {DeviceDirection::capture, DeviceDirection::playback};

bool endpointMode() {
    return isWindowsVistaOrLater();
}

bool looksLikeGuid(const std::wstring& text) {
    if (text.size() != 38 || text.front() != L'{' || text.back() != L'}') {
        return false;
    }
    for (size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != L'-' : !std::iswxdigit(text[i])) {
            return false;
        }
    }
    return true;
}

std::wstring withOtherCase(const wchar_t* text) {
    std::wstring changed = text;
    for (wchar_t& c : changed) {
        c = std::iswupper(c) ? std::towlower(c) : std::towupper(c);
    }
    return changed;
}

TEST(DeviceCatalogue, RunsInTheExpectedMode) {
    const char* expected = std::getenv("TONVALE_EXPECT_MODE");
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(endpointMode(), std::string(expected) == "endpoint");
}

TEST(DeviceCatalogue, EveryDeviceHasAKeyThatFindsIt) {
    for (DeviceDirection direction : kBoth) {
        const int32_t count = static_cast<int32_t>(deviceCount(direction));
        ASSERT_GE(count, 2) << "the rig offers the sink and its monitor, or the server's own";
        for (int32_t index = 0; index < count; ++index) {
            wchar_t key[kDeviceKeyCapacity];
            ASSERT_TRUE(deviceKey(direction, index, key)) << index;
            if (endpointMode()) {
                EXPECT_TRUE(looksLikeGuid(key)) << index;
                // Letter case does not matter for endpoint GUIDs.
                EXPECT_EQ(findDevice(direction, withOtherCase(key).c_str()), index);
            } else {
                wchar_t name[kDisplayNameCapacity];
                EXPECT_FALSE(displayName(direction, index, name));
                EXPECT_EQ(findDevice(direction, withOtherCase(key).c_str()), -1);
            }
            // Two endpoints never share a GUID, but two products may share a
            // name: the first index with the key is found.
            const int32_t found = findDevice(direction, key);
            EXPECT_TRUE(found == index || (!endpointMode() && found < index)) << index;
        }
    }
}

TEST(DeviceCatalogue, KeysOutOfRangeOrGoneFindTheDefaultDevice) {
    for (DeviceDirection direction : kBoth) {
        wchar_t key[kDeviceKeyCapacity] = L"stale";
        EXPECT_FALSE(deviceKey(direction, static_cast<int32_t>(deviceCount(direction)), key));
        EXPECT_STREQ(key, L"");
        wcscpy(key, L"stale");
        EXPECT_FALSE(deviceKey(direction, -1, key));
        EXPECT_STREQ(key, L"");

        EXPECT_EQ(findDevice(direction, nullptr), -1);
        EXPECT_EQ(findDevice(direction, L""), -1);
        EXPECT_EQ(findDevice(direction, L"{00000000-0000-0000-0000-000000000000}"), -1);
        EXPECT_EQ(findDevice(direction, L"Unplugged Microphone"), -1);
    }
}

TEST(DeviceCatalogue, ListsNameTheRigsDevicesAfterTheDefaultEntry) {
    const std::vector<SoundDevice> capture = deviceList(DeviceDirection::capture);
    ASSERT_EQ(capture.size(), deviceCount(DeviceDirection::capture) + 1);
    EXPECT_EQ(capture[0].index, -1);
    EXPECT_STREQ(capture[0].key, L"");
    EXPECT_STREQ(capture[0].name, L"(Default Device)");
    bool monitorListed = false;
    for (size_t i = 1; i < capture.size(); ++i) {
        EXPECT_EQ(capture[i].index, static_cast<int32_t>(i) - 1);
        EXPECT_EQ(capture[i].direction, DeviceDirection::capture);
        EXPECT_NE(capture[i].name[0], L'\0');
        monitorListed = monitorListed || std::wstring(capture[i].name) == L"Monitor of Null Output";
        // Legacy mode names devices by their keys.
        if (!endpointMode()) {
            EXPECT_STREQ(capture[i].name, capture[i].key);
        }
    }
    EXPECT_TRUE(monitorListed) << "the rig's sink monitor, by its name in both modes";

    wchar_t name[kDisplayNameCapacity];
    ASSERT_TRUE(defaultDeviceName(DeviceDirection::capture, name));
    EXPECT_NE(name[0], L'\0');
}

TEST(DeviceCatalogue, DefaultRatesFollowTheMode) {
    for (DeviceDirection direction : kBoth) {
        for (int32_t index = -1; index < static_cast<int32_t>(deviceCount(direction)); ++index) {
            // Wine mixes at the server's 44100 Hz; its wave capabilities offer
            // every format, 48 kHz 16-bit included.
            EXPECT_EQ(defaultSampleRate(direction, index), endpointMode() ? 44100u : 48000u)
                << index;
        }
    }
    // A device that is not there has no mix format, nor format bits.
    EXPECT_EQ(defaultSampleRate(DeviceDirection::capture, 99), 44100u);
}

TEST(DeviceCatalogue, EndpointIdsLeadToTheKeys) {
    wchar_t id[kEndpointIdCapacity];
    ASSERT_TRUE(endpointId(DeviceDirection::capture, -1, id));
    EXPECT_NE(id[0], L'\0');
    EXPECT_FALSE(endpointId(DeviceDirection::capture, 99, id));
    EXPECT_STREQ(id, L"");
    ASSERT_TRUE(endpointId(DeviceDirection::capture, 0, id));
    wchar_t guid[kDeviceKeyCapacity];
    ASSERT_TRUE(endpointGuid(DeviceDirection::capture, 0, guid));
    // Wine's endpoint ids end with the endpoint GUID, as Windows' do.
    EXPECT_NE(std::wstring(id).find(guid), std::wstring::npos);
}

TEST(WaveErrorText, SystemTextOrTheCodeFollowsTheMessage) {
    EXPECT_EQ(waveInErrorText(L"Failed.", MMSYSERR_NOERROR), L"Failed.\n\n");
    const std::wstring known = waveInErrorText(L"Failed.", WAVERR_BADFORMAT);
    EXPECT_EQ(known.rfind(L"Failed.\n\n", 0), 0u);
    EXPECT_GT(known.size(), std::wstring(L"Failed.\n\n").size() + 10);
    EXPECT_EQ(known.find(L"Error code"), std::wstring::npos);
    EXPECT_EQ(waveOutErrorText(L"Failed.", 12345), L"Failed.\n\nError code 12345");
}

} // namespace
} // namespace tonvale
