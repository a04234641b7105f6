// The fixture of the window tests: the library's code in this process over
// a fake Core Audio.
#pragma once

#include "fake_core_audio_win.h"
#include "levrig_test_kit_win.h"
#include "tests/ui_kit/ui_test_kit_win.h"
#include "window_run_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tonvale::levrig::testkit {

using fake::FakeAudioSystem;
using fake::FakeDevice;
using fake::FakeDeviceSetup;

// A deadline, not a pause: generous for a loaded machine.
constexpr DWORD kSoon = 15000;

class VolumeWindow : public ::testing::Test {
  protected:
    void SetUp() override { FakeAudioSystem::install(&audio_); }
    void TearDown() override { FakeAudioSystem::install(nullptr); }

    FakeDevice& playback(const std::wstring& id, const std::wstring& adapter,
                         const std::wstring& name, UINT channels = 2) {
        FakeDeviceSetup setup;
        setup.id = id;
        setup.adapter = adapter;
        setup.name = name;
        setup.channels = channels;
        return audio_.add(setup);
    }
    FakeDevice& recording(const std::wstring& id, const std::wstring& adapter,
                          const std::wstring& name, DWORD state = DEVICE_STATE_ACTIVE) {
        FakeDeviceSetup setup{id, adapter, name, true, state};
        return audio_.add(setup);
    }
    static std::vector<std::wstring> names(const std::vector<HWND>& panels) {
        std::vector<std::wstring> result;
        for (HWND panel : panels)
            result.push_back(panelName(panel));
        return result;
    }
    // Waits for a condition on the window thread's controls.
    static bool soon(const std::function<bool()>& condition) {
        return uikit::waitUntil(condition, kSoon, uikit::Pump::no);
    }

    FakeAudioSystem audio_;
};

} // namespace tonvale::levrig::testkit
