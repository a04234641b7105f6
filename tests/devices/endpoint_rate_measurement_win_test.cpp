// The Core Audio measurement on a fake endpoint, for what Wine cannot do:
// Wine's sound drivers refuse exclusive mode, so buffer alignment, event
// pacing, discontinuities and a silent clock are played by the fake. Its
// clock runs one second per reading, so a run takes 31 polls.
#include <windows.h>

#include "devices/measurement/endpoint_rate_measurement_win.h"
#include "devices/measurement/rate_measurement_notices_win.h"

#include <audioclient.h>
#include <gtest/gtest.h>

#include <vector>

namespace tonvale {
namespace {

struct InitializeCall {
    DWORD flags;
    REFERENCE_TIME buffer;
    REFERENCE_TIME period;
    WAVEFORMATEX format;
};

// One object behind every interface the stream asks for; it lives on the
// test's stack, so references are not counted. COM interfaces have no
// virtual destructor, and none is needed here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FakeEndpoint : public IMMDevice,
                     public IPropertyStore,
                     public IAudioClient,
                     public IAudioCaptureClient,
                     public IAudioRenderClient,
                     public IAudioClock {
  public:
    // What the fake does.
    VARTYPE eventDrivenType = VT_UI4; // of the endpoint's event-driven property
    bool firstInitializeUnaligned = false;
    UINT32 bufferFrames = 960;
    UINT64 clockFrequency = 192000; // bytes per second of 48 kHz stereo
    double clockSpeed = 1.0001;     // positions per second / frequency
    bool clockSilent = false;
    int clockFailsAfter = -1; // readings before GetPosition fails; -1: never
    int packetsBeforeSilence = -1;
    int discontinuityAtPacket = -1;

    // What the stream did.
    int activations = 0;
    std::vector<InitializeCall> initializations;
    int starts = 0;
    int stops = 0;
    std::vector<UINT32> renderRequests;
    bool onlySilence = true;
    int readings = 0;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IMMDevice
    HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** out) override {
        if (iid != __uuidof(IAudioClient))
            return E_NOINTERFACE;
        ++activations;
        *out = static_cast<IAudioClient*>(this);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore** out) override {
        *out = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD*) override { return E_NOTIMPL; }

    // IPropertyStore: only the event-driven support is asked for.
    HRESULT STDMETHODCALLTYPE GetCount(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAt(DWORD, PROPERTYKEY*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY, PROPVARIANT* value) override {
        PropVariantInit(value);
        value->vt = eventDrivenType;
        value->ulVal = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY, REFPROPVARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit() override { return E_NOTIMPL; }

    // IAudioClient
    HRESULT STDMETHODCALLTYPE Initialize(AUDCLNT_SHAREMODE mode, DWORD flags, REFERENCE_TIME buffer,
                                         REFERENCE_TIME period, const WAVEFORMATEX* format,
                                         LPCGUID) override {
        EXPECT_EQ(mode, AUDCLNT_SHAREMODE_EXCLUSIVE);
        initializations.push_back({flags, buffer, period, *format});
        if (firstInitializeUnaligned && initializations.size() == 1)
            return AUDCLNT_E_BUFFER_SIZE_NOT_ALIGNED;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBufferSize(UINT32* frames) override {
        *frames = bufferFrames;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStreamLatency(REFERENCE_TIME*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentPadding(UINT32* padding) override {
        *padding = bufferFrames / 4;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsFormatSupported(AUDCLNT_SHAREMODE, const WAVEFORMATEX*,
                                                WAVEFORMATEX**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetMixFormat(WAVEFORMATEX** format) override {
        *format = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
        **format = {WAVE_FORMAT_IEEE_FLOAT, 6, 48000, 48000 * 24, 24, 32, 0};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDevicePeriod(REFERENCE_TIME* period, REFERENCE_TIME*) override {
        *period = 100000;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Start() override {
        ++starts;
        signal();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Stop() override {
        ++stops;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetEventHandle(HANDLE event) override {
        event_ = event;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetService(REFIID iid, void** out) override {
        if (iid == __uuidof(IAudioCaptureClient))
            *out = static_cast<IAudioCaptureClient*>(this);
        else if (iid == __uuidof(IAudioRenderClient))
            *out = static_cast<IAudioRenderClient*>(this);
        else if (iid == __uuidof(IAudioClock))
            *out = static_cast<IAudioClock*>(this);
        else
            return E_NOINTERFACE;
        return S_OK;
    }

    // IAudioCaptureClient: polled, a packet on every other call, as a drain
    // sees it; event-driven, a packet on every call.
    HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** data, UINT32* frames, DWORD* flags, UINT64*,
                                        UINT64*) override {
        *data = buffer_;
        *frames = 0;
        *flags = 0;
        if (!event_ && (captureCalls_++ % 2) == 1)
            return AUDCLNT_S_BUFFER_EMPTY;
        *frames = 480;
        if (packets_++ == discontinuityAtPacket)
            *flags = AUDCLNT_BUFFERFLAGS_DATA_DISCONTINUITY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReleaseBuffer(UINT32) override {
        signal();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetNextPacketSize(UINT32*) override { return E_NOTIMPL; }

    // IAudioRenderClient
    HRESULT STDMETHODCALLTYPE GetBuffer(UINT32 frames, BYTE** data) override {
        renderRequests.push_back(frames);
        *data = buffer_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReleaseBuffer(UINT32, DWORD flags) override {
        onlySilence = onlySilence && flags == AUDCLNT_BUFFERFLAGS_SILENT;
        ++packets_;
        signal();
        return S_OK;
    }

    // IAudioClock: one second of device time per reading.
    HRESULT STDMETHODCALLTYPE GetFrequency(UINT64* frequency) override {
        *frequency = clockFrequency;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPosition(UINT64* position, UINT64* time) override {
        time_ += 10000000;
        *time = time_;
        if (readings++ == clockFailsAfter)
            return E_FAIL;
        if (clockSilent) {
            *position = 0;
            time_ += 100000 - 10000000;
            return S_FALSE;
        }
        *position = static_cast<UINT64>(clockSpeed * clockFrequency * (readings - 1));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCharacteristics(DWORD*) override { return E_NOTIMPL; }

  private:
    void signal() {
        if (event_ && packets_ != packetsBeforeSilence)
            SetEvent(event_);
        if (packets_ == packetsBeforeSilence)
            packetsBeforeSilence = -2; // silent from now on
        if (packetsBeforeSilence == -2)
            event_ = nullptr;
    }

    HANDLE event_ = nullptr;
    int captureCalls_ = 0;
    int packets_ = 0;
    UINT64 time_ = 0;
    BYTE buffer_[4 * 4096] = {};
};
#pragma GCC diagnostic pop

struct Outcome {
    MeasurementEnd end;
    double result = 0.0;
    int countingNotices = 0;
};

Outcome measure(FakeEndpoint& fake, DeviceDirection direction, bool preferEvents) {
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    RateMeasurementJob job;
    job.dialogWindow = window;
    job.nominalRate = 48000;
    job.eventDrivenPreference = preferEvents;
    Outcome outcome;
    outcome.end = measureEndpointStream(job, direction, &fake);
    outcome.result = job.result;
    MSG message;
    while (PeekMessageW(&message, window, kMeasurementCounting, kMeasurementCounting, PM_REMOVE))
        ++outcome.countingNotices;
    DestroyWindow(window);
    return outcome;
}

TEST(EndpointMeasurement, UnalignedEventBufferIsInitialisedAgainAndMeasured) {
    FakeEndpoint fake;
    fake.firstInitializeUnaligned = true;
    fake.bufferFrames = 448;
    const Outcome outcome = measure(fake, DeviceDirection::capture, true);
    EXPECT_EQ(outcome.end.code, 0u);
    EXPECT_EQ(outcome.countingNotices, 1);
    // A byte-counting clock at 1.0001 times its frequency: 1.0001 x nominal.
    EXPECT_NEAR(outcome.result, 48004.8, 1e-6);
    EXPECT_EQ(fake.activations, 2);
    ASSERT_EQ(fake.initializations.size(), 2u);
    const InitializeCall& first = fake.initializations[0];
    EXPECT_EQ(first.flags, static_cast<DWORD>(AUDCLNT_STREAMFLAGS_EVENTCALLBACK));
    EXPECT_EQ(first.buffer, 200000);
    EXPECT_EQ(first.period, 200000);
    const InitializeCall& second = fake.initializations[1];
    EXPECT_EQ(second.flags, static_cast<DWORD>(AUDCLNT_STREAMFLAGS_EVENTCALLBACK));
    EXPECT_EQ(second.buffer, 93333); // 448 frames at 48 kHz, rounded
    EXPECT_EQ(second.period, 93333);
    // 16-bit PCM at the mix rate, at most two channels.
    EXPECT_EQ(second.format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(second.format.nChannels, 2);
    EXPECT_EQ(second.format.nSamplesPerSec, 48000u);
    EXPECT_EQ(second.format.nBlockAlign, 4);
    EXPECT_EQ(second.format.nAvgBytesPerSec, 192000u);
    EXPECT_EQ(fake.stops, 1);
}

TEST(EndpointMeasurement, PollingCaptureMindsDiscontinuitiesOnlyOnceCounting) {
    FakeEndpoint before;
    before.eventDrivenType = VT_EMPTY; // no event support: polling despite the preference
    before.discontinuityAtPacket = 0;
    const Outcome measured = measure(before, DeviceDirection::capture, true);
    EXPECT_EQ(measured.end.code, 0u);
    EXPECT_NEAR(measured.result, 48004.8, 1e-6);
    ASSERT_EQ(before.initializations.size(), 1u);
    EXPECT_EQ(before.initializations[0].flags, 0u);
    EXPECT_EQ(before.initializations[0].buffer, 2000000);
    EXPECT_EQ(before.initializations[0].period, 200000);

    FakeEndpoint after;
    after.discontinuityAtPacket = 5;
    const Outcome ended = measure(after, DeviceDirection::capture, false);
    EXPECT_EQ(ended.end.code, 6u);
    EXPECT_EQ(ended.end.detail, static_cast<uint32_t>(E_FAIL));
    EXPECT_EQ(ended.result, 0.0);
    EXPECT_EQ(ended.countingNotices, 1);
    EXPECT_EQ(after.stops, 1);
}

TEST(EndpointMeasurement, PollingRenderKeepsTheBufferFullOfSilence) {
    FakeEndpoint fake;
    const Outcome outcome = measure(fake, DeviceDirection::playback, false);
    EXPECT_EQ(outcome.end.code, 0u);
    EXPECT_NEAR(outcome.result, 48004.8, 1e-6);
    ASSERT_EQ(fake.initializations.size(), 1u);
    EXPECT_EQ(fake.initializations[0].period, 100000);
    ASSERT_GE(fake.renderRequests.size(), 2u);
    EXPECT_EQ(fake.renderRequests[0], fake.bufferFrames); // filled once before the start
    EXPECT_EQ(fake.renderRequests[1], fake.bufferFrames - fake.bufferFrames / 4);
    EXPECT_TRUE(fake.onlySilence);
}

TEST(EndpointMeasurement, ASilentClockEndsWithoutCounting) {
    for (DeviceDirection direction : {DeviceDirection::capture, DeviceDirection::playback}) {
        FakeEndpoint fake;
        fake.clockSilent = true;
        const Outcome outcome = measure(fake, direction, false);
        EXPECT_EQ(outcome.end.code, direction == DeviceDirection::capture ? 5u : 104u);
        EXPECT_EQ(outcome.end.detail, static_cast<uint32_t>(E_FAIL));
        EXPECT_EQ(outcome.countingNotices, 0);
        EXPECT_EQ(fake.readings, 7); // asked again until more than 0.5 s had passed
    }
}

TEST(EndpointMeasurement, EventsThatStopEndTheRunAfterHalfASecond) {
    for (DeviceDirection direction : {DeviceDirection::capture, DeviceDirection::playback}) {
        FakeEndpoint fake;
        fake.packetsBeforeSilence = 12;
        const DWORD start = GetTickCount();
        const Outcome outcome = measure(fake, direction, true);
        EXPECT_GE(GetTickCount() - start, 500u);
        EXPECT_EQ(outcome.end.code, direction == DeviceDirection::capture ? 7u : 105u);
        EXPECT_EQ(outcome.end.detail, static_cast<uint32_t>(E_UNEXPECTED));
        EXPECT_EQ(outcome.result, 0.0);
    }
}

TEST(EndpointMeasurement, AFailingClockEndsTheRun) {
    FakeEndpoint fake;
    fake.clockFailsAfter = 3;
    const Outcome outcome = measure(fake, DeviceDirection::capture, false);
    EXPECT_EQ(outcome.end.code, 7u);
    EXPECT_EQ(outcome.end.detail, static_cast<uint32_t>(E_FAIL));
}

} // namespace
} // namespace tonvale
