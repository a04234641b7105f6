// The microphone switch of the capture stream on the system Wine reports.
// Run twice: in the build's prefix (Windows 7: the endpoint is unmuted) and
// in one reporting XP (the recording mixer is switched); TONVALE_EXPECT_MODE
// names the mode the run must be in.
//
// Wine's endpoints keep their mute per interface object, so a muted
// microphone endpoint is a stand-in; which endpoints count as microphones is
// Wine's own. Wine's recording mixer is real: its wave-in destination has a
// mute of its own and one microphone source, whose mute takes writes but
// leaves a read's value as it was (it reads as unmuted); the fake mixer of
// recording_mixer_switch_win_test.cpp covers the sources.
#include "devices/names/endpoint_names_win.h"
#include "engine/capture_stream_win.h"
#include "support/windows_version.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tonvale {
namespace {

bool endpointMode() {
    return isWindowsVistaOrLater();
}

// An endpoint volume that only knows its mute. Lives on the test's stack;
// the count only shows that every reference handed out came back.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FakeEndpointVolume final : public IAudioEndpointVolume {
  public:
    explicit FakeEndpointVolume(bool muted) : muted_(muted) {}
    bool muted() const { return muted_; }
    int setMuteCalls() const { return setMuteCalls_; }
    ULONG references() const { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE SetMute(WINBOOL mute, LPCGUID) override {
        ++setMuteCalls_;
        muted_ = mute != FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMute(WINBOOL* mute) override {
        *mute = muted_;
        return S_OK;
    }
    // The rest is not used by the stream.
    HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE
    UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(FLOAT, LPCGUID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, FLOAT, LPCGUID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, FLOAT, LPCGUID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT, FLOAT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolumeRange(FLOAT*, FLOAT*, FLOAT*) override { return E_NOTIMPL; }

  private:
    bool muted_;
    int setMuteCalls_ = 0;
    std::atomic<ULONG> references_{1};
};
#pragma GCC diagnostic pop

// The real devices, with the microphone endpoint of the test's choosing.
class EndpointStandIn : public CaptureSystem {
  public:
    FakeEndpointVolume* endpoint = nullptr; // null: no microphone endpoint
    int lookups = 0;

    IAudioEndpointVolume* microphoneEndpointVolume(int32_t) override {
        ++lookups;
        if (endpoint) {
            endpoint->AddRef();
        }
        return endpoint;
    }
};

CaptureStream::Format microphoneOnly(int32_t deviceId) {
    CaptureStream::Format format;
    format.deviceId = deviceId;
    format.microphoneOnly = true;
    return format;
}

int32_t captureIndexNamed(const wchar_t* wanted) {
    for (int32_t index = 0; index < static_cast<int32_t>(waveInGetNumDevs()); ++index) {
        wchar_t name[kDisplayNameCapacity];
        if (endpointFriendlyName(DeviceDirection::capture, index, name) &&
            std::wcscmp(name, wanted) == 0) {
            return index;
        }
    }
    return -1;
}

TEST(MicrophoneSwitch, RunsInTheExpectedMode) {
    const char* expected = std::getenv("TONVALE_EXPECT_MODE");
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(endpointMode(), std::string(expected) == "endpoint");
}

TEST(MicrophoneSwitch, MutedMicrophoneEndpointIsUnmutedWhileOpen) {
    if (!endpointMode()) {
        GTEST_SKIP() << "the recording mixer is switched before Windows 6.0";
    }
    FakeEndpointVolume muted(true);
    EndpointStandIn system;
    system.endpoint = &muted;
    {
        CaptureStream stream(system);
        ASSERT_TRUE(stream.open(microphoneOnly(-1), GetCurrentThreadId()).ok());
        EXPECT_FALSE(muted.muted());
        EXPECT_TRUE(stream.endpointUnmuted());
        stream.close();
        EXPECT_TRUE(muted.muted());
        EXPECT_FALSE(stream.endpointUnmuted());
    }
    EXPECT_EQ(muted.references(), 1u);
}

TEST(MicrophoneSwitch, UnmutedOrMissingMicrophoneEndpointIsLeftAlone) {
    if (!endpointMode()) {
        GTEST_SKIP() << "the recording mixer is switched before Windows 6.0";
    }
    FakeEndpointVolume unmuted(false);
    EndpointStandIn system;
    system.endpoint = &unmuted;
    CaptureStream stream(system);
    ASSERT_TRUE(stream.open(microphoneOnly(-1), GetCurrentThreadId()).ok());
    stream.close();
    EXPECT_EQ(unmuted.setMuteCalls(), 0);
    EXPECT_EQ(unmuted.references(), 1u);

    system.endpoint = nullptr;
    ASSERT_TRUE(stream.open(microphoneOnly(-1), GetCurrentThreadId()).ok());
    EXPECT_FALSE(stream.endpointUnmuted());
    stream.close();

    // Without the setting the endpoint is not even looked at.
    system.lookups = 0;
    ASSERT_TRUE(stream.open(CaptureStream::Format{}, GetCurrentThreadId()).ok());
    stream.close();
    EXPECT_EQ(system.lookups, 0);
}

TEST(MicrophoneSwitch, OnlyMicrophoneEndpointsAreCandidates) {
    if (!endpointMode()) {
        GTEST_SKIP() << "endpoints exist from Windows 6.0";
    }
    // Wine gives its sound server's own capture endpoint the form factor
    // Microphone, and a sink's monitor LineLevel.
    const int32_t monitor = captureIndexNamed(L"Monitor of Null Output");
    ASSERT_GE(monitor, 0);
    const int32_t server = captureIndexNamed(L"PulseAudio");
    ASSERT_GE(server, 0);
    ComPtr<IAudioEndpointVolume> volume(systemCapture().microphoneEndpointVolume(monitor));
    EXPECT_FALSE(volume);
    volume = ComPtr<IAudioEndpointVolume>(systemCapture().microphoneEndpointVolume(server));
    EXPECT_TRUE(volume);
    // Wine reports it unmuted: opening for real leaves nothing to restore.
    CaptureStream stream(systemCapture());
    ASSERT_TRUE(stream.open(microphoneOnly(server), GetCurrentThreadId()).ok());
    EXPECT_FALSE(stream.endpointUnmuted());
}

// Wine's recording mixer of wave-in device 0, reached through an open handle
// as the stream reaches it.
struct WineMixer {
    HWAVEIN handle = nullptr;
    UINT mixer = 0;
    MIXERLINEW destination = {};
    MIXERLINEW microphone = {};

    WineMixer() {
        WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
        if (waveInOpen(&handle, 0, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR ||
            systemCapture().mixerOf(handle, &mixer) != MMSYSERR_NOERROR) {
            return;
        }
        destination.cbStruct = sizeof destination;
        destination.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
        systemCapture().mixerLineInfo(mixer, &destination, MIXER_GETLINEINFOF_COMPONENTTYPE);
        microphone.cbStruct = sizeof microphone;
        microphone.dwDestination = destination.dwDestination;
        microphone.dwSource = 0;
        systemCapture().mixerLineInfo(mixer, &microphone, MIXER_GETLINEINFOF_SOURCE);
    }
    ~WineMixer() {
        if (handle) {
            waveInClose(handle);
        }
    }

    // Reads or writes the mute of a line; false when the line has none.
    bool mute(const MIXERLINEW& line, bool* read, const bool* write) const {
        MIXERCONTROLW control = {};
        control.cbStruct = sizeof control;
        MIXERLINECONTROLSW lookup = {};
        lookup.cbStruct = sizeof lookup;
        lookup.dwLineID = line.dwLineID;
        lookup.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
        lookup.cControls = 1;
        lookup.cbmxctrl = sizeof control;
        lookup.pamxctrl = &control;
        if (systemCapture().mixerLineControls(mixer, &lookup, MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
            MMSYSERR_NOERROR) {
            return false;
        }
        MIXERCONTROLDETAILS_BOOLEAN value = {};
        MIXERCONTROLDETAILS details = {};
        details.cbStruct = sizeof details;
        details.dwControlID = control.dwControlID;
        details.cChannels = 1;
        details.cbDetails = sizeof value;
        details.paDetails = &value;
        if (write) {
            value.fValue = *write;
            return systemCapture().setMixerControlDetails(mixer, &details, 0) == MMSYSERR_NOERROR;
        }
        const bool ok = systemCapture().mixerControlDetails(mixer, &details, 0) == MMSYSERR_NOERROR;
        *read = value.fValue != 0;
        return ok;
    }
    bool muted(const MIXERLINEW& line) const {
        bool value = false;
        EXPECT_TRUE(mute(line, &value, nullptr));
        return value;
    }
    void setMuted(const MIXERLINEW& line, bool value) const {
        EXPECT_TRUE(mute(line, nullptr, &value));
    }
};

TEST(MicrophoneSwitch, WinesRecordingMixerIsSwitchedAndRestoredExactly) {
    if (endpointMode()) {
        GTEST_SKIP() << "the endpoint is unmuted from Windows 6.0";
    }
    WineMixer wine;
    ASSERT_NE(wine.handle, nullptr);
    ASSERT_EQ(wine.destination.cConnections, 1u);
    ASSERT_EQ(wine.microphone.dwComponentType,
              static_cast<DWORD>(MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE));
    for (bool mutedBefore : {true, false}) {
        wine.setMuted(wine.destination, mutedBefore);
        CaptureStream stream(systemCapture());
        // Wine's mixer has no selection control: the mute strategy runs, and
        // unmutes the microphone source (a write Wine accepts).
        ASSERT_TRUE(stream.open(microphoneOnly(0), GetCurrentThreadId()).ok());
        EXPECT_FALSE(wine.muted(wine.destination));
        EXPECT_EQ(stream.mixerSavedState(),
                  mutedBefore
                      ? RecordingMixerSwitch::kSwitched | RecordingMixerSwitch::kDestinationUnmuted
                      : RecordingMixerSwitch::kSwitched);
        stream.close();
        EXPECT_EQ(wine.muted(wine.destination), mutedBefore);
    }
}

TEST(MicrophoneSwitch, WhatWineDoesForTheDefaultDevice) {
    if (endpointMode()) {
        GTEST_SKIP() << "the endpoint is unmuted from Windows 6.0";
    }
    // Wine's wave mapper has no mixer of its own: the switch fails, and the
    // device stays open until the stream closes.
    CaptureStream stream(systemCapture());
    const CaptureStatus status = stream.open(microphoneOnly(-1), GetCurrentThreadId());
    EXPECT_EQ(status.error, EngineError::mixerFailed);
    EXPECT_NE(status.result, static_cast<MMRESULT>(MMSYSERR_NOERROR));
    std::printf("the mixer of Wine's wave mapper: result %u\n", status.result);
    stream.close();
}

TEST(MicrophoneSwitch, EachSystemUsesItsOwnSwitch) {
    FakeEndpointVolume muted(true);
    EndpointStandIn system;
    system.endpoint = &muted;
    CaptureStream stream(system);
    ASSERT_TRUE(stream.open(microphoneOnly(0), GetCurrentThreadId()).ok());
    if (endpointMode()) {
        EXPECT_EQ(stream.mixerSavedState(), 0u);
    } else {
        EXPECT_EQ(system.lookups, 0);
        EXPECT_NE(stream.mixerSavedState(), 0u);
    }
    stream.close();
}

} // namespace
} // namespace tonvale
