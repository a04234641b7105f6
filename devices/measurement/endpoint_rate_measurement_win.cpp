#include "devices/measurement/endpoint_rate_measurement_win.h"

#include "devices/measurement/rate_measurement_notices_win.h"
#include "devices/measurement/time_stamp_table.h"
#include "devices/names/endpoint_names_win.h"
#include "support/scoped_win.h"

#include <audioclient.h>
#include <propidl.h>

#include <algorithm>

namespace tonvale {

namespace {

constexpr REFERENCE_TIME kPollingBufferDuration = 2000000; // 200 ms
constexpr REFERENCE_TIME kCapturePollingPeriod = 200000;   // 20 ms
constexpr REFERENCE_TIME kRenderPollingPeriod = 100000;    // 10 ms
constexpr DWORD kPollingSleepMs = 20;
constexpr DWORD kEventWaitMs = 500;
constexpr uint64_t kTimeUnitsPerSecond = 10000000; // clock time stamps are 100 ns
// A clock that keeps saying "not yet current" for this long is not running.
constexpr uint64_t kSilentClockTime = 500001;

// {1DA5D803-D492-4EDD-8C23-E0C0FFEE7F0E},7
const PROPERTYKEY kSupportsEventDrivenKey = {
    {0x1DA5D803, 0xD492, 0x4EDD, {0x8C, 0x23, 0xE0, 0xC0, 0xFF, 0xEE, 0x7F, 0x0E}}, 7};

bool nonZero(const PROPVARIANT& value) {
    switch (value.vt) {
    case VT_BOOL:
        return value.boolVal != VARIANT_FALSE;
    case VT_I1:
    case VT_UI1:
        return value.bVal != 0;
    case VT_I2:
    case VT_UI2:
        return value.uiVal != 0;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
        return value.ulVal != 0;
    case VT_I8:
    case VT_UI8:
        return value.uhVal.QuadPart != 0;
    default:
        return false;
    }
}

bool supportsEventDriven(IMMDevice* endpoint) {
    ComPtr<IPropertyStore> store;
    if (FAILED(endpoint->OpenPropertyStore(STGM_READ, store.receive())))
        return false;
    PROPVARIANT value;
    PropVariantInit(&value);
    if (FAILED(store->GetValue(kSupportsEventDrivenKey, &value)))
        return false;
    const bool supported = value.vt != VT_EMPTY && nonZero(value);
    PropVariantClear(&value);
    return supported;
}

HRESULT activate(IMMDevice* endpoint, ComPtr<IAudioClient>& client) {
    return endpoint->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, client.receiveVoid());
}

enum class ClockReading { taken, failed, silent, stopped };

class EndpointStream {
  public:
    EndpointStream(RateMeasurementJob& job, DeviceDirection direction, IMMDevice* endpoint)
        : job_(job), capture_(direction == DeviceDirection::capture),
          codes_(capture_ ? kCaptureCodes : kPlaybackCodes), endpoint_(endpoint),
          table_(Pacing::byPosition, 1, 0) {}

    MeasurementEnd run() {
        eventDriven_ = job_.eventDrivenPreference && supportsEventDriven(endpoint_);
        MeasurementEnd end = initialize();
        if (end.code == 0)
            end = start();
        if (end.code == 0) {
            end = capture_ ? (eventDriven_ ? captureEvents() : capturePolling())
                           : (eventDriven_ ? renderEvents() : renderPolling());
        }
        if (started_)
            client_->Stop();
        if (end.code == 0 && table_.complete())
            job_.result = rateAtNominal();
        return end;
    }

  private:
    MeasurementEnd openFailed(HRESULT result) const {
        return {codes_.openFailed, static_cast<uint32_t>(result)};
    }
    MeasurementEnd runFailed(HRESULT result) const {
        return {codes_.coreAudioFailed, static_cast<uint32_t>(result)};
    }

    HRESULT initializeClient(DWORD flags, REFERENCE_TIME buffer, REFERENCE_TIME period) {
        return client_->Initialize(AUDCLNT_SHAREMODE_EXCLUSIVE, flags, buffer, period, &format_,
                                   nullptr);
    }

    MeasurementEnd initialize() {
        HRESULT result = activate(endpoint_, client_);
        if (SUCCEEDED(result))
            result = client_->GetMixFormat(mixFormat_.receive());
        if (FAILED(result))
            return openFailed(result);
        format_.wFormatTag = WAVE_FORMAT_PCM;
        format_.nChannels = std::min<WORD>(mixFormat_->nChannels, 2);
        format_.nSamplesPerSec = mixFormat_->nSamplesPerSec;
        format_.wBitsPerSample = 16;
        format_.nBlockAlign = static_cast<WORD>(format_.nChannels * 2);
        format_.nAvgBytesPerSec = format_.nSamplesPerSec * format_.nBlockAlign;
        format_.cbSize = 0;
        if (!eventDriven_) {
            result = initializeClient(0, kPollingBufferDuration,
                                      capture_ ? kCapturePollingPeriod : kRenderPollingPeriod);
            return FAILED(result) ? openFailed(result) : MeasurementEnd{};
        }
        return initializeEventDriven();
    }

    MeasurementEnd initializeEventDriven() {
        REFERENCE_TIME period = 0;
        HRESULT result = client_->GetDevicePeriod(&period, nullptr);
        if (SUCCEEDED(result))
            result = initializeClient(AUDCLNT_STREAMFLAGS_EVENTCALLBACK, 2 * period, 2 * period);
        if (result == AUDCLNT_E_BUFFER_SIZE_NOT_ALIGNED) {
            // The device rounds the buffer to its own block: ask it for the
            // frames it chose and initialise a new client with exactly that.
            UINT32 frames = 0;
            result = client_->GetBufferSize(&frames);
            if (FAILED(result))
                return openFailed(result);
            const auto aligned = static_cast<REFERENCE_TIME>(
                static_cast<uint32_t>(10000000.0 / format_.nSamplesPerSec * frames + 0.5));
            client_.reset();
            result = activate(endpoint_, client_);
            if (SUCCEEDED(result))
                result = initializeClient(AUDCLNT_STREAMFLAGS_EVENTCALLBACK, aligned, aligned);
        }
        if (FAILED(result))
            return openFailed(result);
        event_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!event_)
            return {codes_.outOfMemory, static_cast<uint32_t>(E_OUTOFMEMORY)};
        result = client_->SetEventHandle(event_.get());
        return FAILED(result) ? openFailed(result) : MeasurementEnd{};
    }

    MeasurementEnd start() {
        HRESULT result =
            capture_
                ? client_->GetService(__uuidof(IAudioCaptureClient), captureClient_.receiveVoid())
                : client_->GetService(__uuidof(IAudioRenderClient), renderClient_.receiveVoid());
        if (SUCCEEDED(result))
            result = client_->GetService(__uuidof(IAudioClock), clock_.receiveVoid());
        if (FAILED(result))
            return openFailed(result);
        client_->Reset();
        if (!capture_) {
            // Silence in the whole buffer before the clock starts.
            result = client_->GetBufferSize(&bufferFrames_);
            if (SUCCEEDED(result))
                result = playSilence(bufferFrames_);
            if (FAILED(result))
                return openFailed(result);
        }
        result = client_->Start();
        if (FAILED(result))
            return openFailed(result);
        started_ = true;
        clock_->GetFrequency(&clockFrequency_);
        // A clock without a frequency could never pace the stamps.
        if (clockFrequency_ == 0)
            return {codes_.clockSilent, static_cast<uint32_t>(E_FAIL)};
        table_ = TimeStampTable(Pacing::byPosition, clockFrequency_, 0);
        return {};
    }

    HRESULT playSilence(UINT32 frames) {
        BYTE* data = nullptr;
        HRESULT result = renderClient_->GetBuffer(frames, &data);
        if (SUCCEEDED(result))
            result = renderClient_->ReleaseBuffer(frames, AUDCLNT_BUFFERFLAGS_SILENT);
        return result;
    }

    // One position with its time. While the clock reports S_FALSE (position
    // not yet current) it is asked again, with the first answer's time as
    // the reference for giving up.
    ClockReading readClock(TimeStampPair& pair) {
        UINT64 position = 0;
        UINT64 time = 0;
        HRESULT result = clock_->GetPosition(&position, &time);
        const UINT64 firstTime = time;
        while (result == S_FALSE) {
            if (job_.stopRequested())
                return ClockReading::stopped;
            result = clock_->GetPosition(&position, &time);
            if (result == S_FALSE && time - firstTime >= kSilentClockTime)
                return ClockReading::silent;
        }
        if (FAILED(result))
            return ClockReading::failed;
        pair = {position, time};
        return ClockReading::taken;
    }

    // One clock reading and the counting scheme; false when the run is over.
    bool countStep(MeasurementEnd& end) {
        TimeStampPair pair;
        switch (readClock(pair)) {
        case ClockReading::failed:
            end = runFailed(E_FAIL);
            return false;
        case ClockReading::silent:
            end = {codes_.clockSilent, static_cast<uint32_t>(E_FAIL)};
            return false;
        case ClockReading::stopped:
            return false;
        case ClockReading::taken:
            break;
        }
        if (table_.due(pair.position) && table_.record(pair) == 0)
            PostMessageW(job_.dialogWindow, kMeasurementCounting, 0, 0);
        return !table_.complete();
    }

    bool waitForEvent(MeasurementEnd& end) {
        if (WaitForSingleObject(event_.get(), kEventWaitMs) == WAIT_OBJECT_0)
            return true;
        end = runFailed(E_UNEXPECTED);
        return false;
    }

    // A gap in the data only matters once counting has begun.
    bool checkContinuity(DWORD flags, MeasurementEnd& end) {
        if (!table_.counting() || !(flags & AUDCLNT_BUFFERFLAGS_DATA_DISCONTINUITY))
            return true;
        end = {codes_.discontinuity, static_cast<uint32_t>(E_FAIL)};
        return false;
    }

    // Reads one packet; `flags` stay 0 when none was waiting.
    bool readPacket(bool& empty, DWORD& flags, MeasurementEnd& end) {
        BYTE* data = nullptr;
        UINT32 frames = 0;
        flags = 0;
        HRESULT result = captureClient_->GetBuffer(&data, &frames, &flags, nullptr, nullptr);
        empty = result != S_OK;
        if (SUCCEEDED(result) && !empty)
            result = captureClient_->ReleaseBuffer(frames);
        if (FAILED(result)) {
            end = runFailed(result);
            return false;
        }
        if (empty)
            flags = 0;
        return true;
    }

    MeasurementEnd capturePolling() {
        MeasurementEnd end;
        while (!job_.stopRequested()) {
            Sleep(kPollingSleepMs);
            for (bool empty = false; !empty;) {
                DWORD flags = 0;
                if (!readPacket(empty, flags, end) || !checkContinuity(flags, end))
                    return end;
            }
            if (!countStep(end))
                break;
        }
        return end;
    }

    MeasurementEnd captureEvents() {
        MeasurementEnd end;
        while (!job_.stopRequested()) {
            bool empty = false;
            DWORD flags = 0;
            if (!waitForEvent(end) || !readPacket(empty, flags, end) ||
                !checkContinuity(flags, end) || !countStep(end))
                break;
        }
        return end;
    }

    MeasurementEnd renderPolling() {
        MeasurementEnd end;
        while (!job_.stopRequested()) {
            Sleep(kPollingSleepMs);
            UINT32 padding = 0;
            HRESULT result = client_->GetCurrentPadding(&padding);
            if (SUCCEEDED(result) && padding < bufferFrames_)
                result = playSilence(bufferFrames_ - padding);
            if (FAILED(result))
                return runFailed(result);
            if (padding < bufferFrames_ && !countStep(end))
                break;
        }
        return end;
    }

    MeasurementEnd renderEvents() {
        MeasurementEnd end;
        while (!job_.stopRequested()) {
            if (!waitForEvent(end))
                break;
            const HRESULT result = playSilence(bufferFrames_);
            if (FAILED(result))
                return runFailed(result);
            if (!countStep(end))
                break;
        }
        return end;
    }

    // The clock's ratio to real time applied to the job's nominal rate: a
    // clock that counts bytes, or a stream at the mix rate rather than the
    // nominal one, still gives the device's error at the rate compared with.
    double rateAtNominal() const {
        const double unitsPerSecond = table_.rate(kTimeUnitsPerSecond);
        const double nominal = job_.nominalRate > 0 ? job_.nominalRate : format_.nSamplesPerSec;
        return unitsPerSecond / static_cast<double>(clockFrequency_) * nominal;
    }

    RateMeasurementJob& job_;
    const bool capture_;
    const MeasurementCodes codes_;
    IMMDevice* endpoint_;
    bool eventDriven_ = false;
    bool started_ = false;
    WAVEFORMATEX format_ = {};
    UINT32 bufferFrames_ = 0;
    UINT64 clockFrequency_ = 0;
    TimeStampTable table_;
    // Released from the last: clock and stream services, event, mix format,
    // client.
    ComPtr<IAudioClient> client_;
    CoTaskMemory<WAVEFORMATEX> mixFormat_;
    UniqueHandle event_;
    ComPtr<IAudioCaptureClient> captureClient_;
    ComPtr<IAudioRenderClient> renderClient_;
    ComPtr<IAudioClock> clock_;
};

} // namespace

MeasurementEnd measureEndpointStream(RateMeasurementJob& job, DeviceDirection direction,
                                     IMMDevice* endpoint) {
    EndpointStream stream(job, direction, endpoint);
    return stream.run();
}

MeasurementEnd measureEndpoint(RateMeasurementJob& job, DeviceDirection direction) {
    const uint32_t openFailed = direction == DeviceDirection::capture ? kCaptureCodes.openFailed
                                                                      : kPlaybackCodes.openFailed;
    ComPtr<IMMDeviceEnumerator> enumerator;
    HRESULT result = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                      __uuidof(IMMDeviceEnumerator), enumerator.receiveVoid());
    if (FAILED(result))
        return {openFailed, static_cast<uint32_t>(result)};
    ComPtr<IMMDevice> endpoint;
    if (job.deviceIndex < 0) {
        result = enumerator->GetDefaultAudioEndpoint(static_cast<EDataFlow>(direction), eMultimedia,
                                                     endpoint.receive());
    } else {
        wchar_t id[kEndpointIdCapacity];
        result = endpointId(direction, job.deviceIndex, id)
                     ? enumerator->GetDevice(id, endpoint.receive())
                     : HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    }
    if (FAILED(result))
        return {openFailed, static_cast<uint32_t>(result)};
    return measureEndpointStream(job, direction, endpoint.get());
}

} // namespace tonvale
