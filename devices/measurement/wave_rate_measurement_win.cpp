#include "devices/measurement/wave_rate_measurement_win.h"

#include "devices/measurement/rate_measurement_notices_win.h"
#include "devices/measurement/time_stamp_table.h"
#include "support/scoped_win.h"

#include <mmsystem.h>

namespace tonvale {

namespace {

constexpr int kCaptureBuffers = 10;
constexpr DWORD kPlaybackLoops = 0x7FFFFFFF;
constexpr DWORD kPlaybackCheckMs = 200;
// Longest wait for a captured buffer before the stop request is looked at
// again: a device that stops delivering must not hold the thread.
constexpr DWORD kCaptureWaitMs = 100;

WAVEFORMATEX pcmFormat(uint16_t channels, int32_t rate) {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

UINT waveDeviceId(int32_t index) {
    return index < 0 ? WAVE_MAPPER : static_cast<UINT>(index);
}

uint64_t counterNow() {
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return static_cast<uint64_t>(counter.QuadPart);
}

// A position in samples, for drivers that answer in bytes instead.
uint32_t samplesOf(const MMTIME& time, const WAVEFORMATEX& format) {
    if (time.wType == TIME_SAMPLES)
        return time.u.sample;
    return time.u.cb / format.nBlockAlign;
}

// Reads the device position until it moves, then the counter: the pair is
// (new position, counter). Stops early, with `stopped` set, on a stop request.
template <typename ReadPosition>
MMRESULT takePair(const RateMeasurementJob& job, ReadPosition readPosition, TimeStampPair& pair,
                  bool& stopped) {
    uint32_t first = 0;
    MMRESULT result = readPosition(first);
    uint32_t now = first;
    while (result == MMSYSERR_NOERROR && now == first) {
        if (job.stopRequested()) {
            stopped = true;
            return MMSYSERR_NOERROR;
        }
        result = readPosition(now);
    }
    pair = {now, counterNow()};
    return result;
}

// One check of the counting scheme at counter value `counter`. Returns false
// when the run is over: complete, stopped, or failed (end set).
template <typename ReadPosition>
bool countStep(RateMeasurementJob& job, TimeStampTable& table, uint64_t counter,
               ReadPosition readPosition, uint32_t failCode, MeasurementEnd& end) {
    if (!table.due(counter))
        return true;
    TimeStampPair pair;
    bool stopped = false;
    const MMRESULT result = takePair(job, readPosition, pair, stopped);
    if (result != MMSYSERR_NOERROR) {
        end = {failCode, result};
        return false;
    }
    if (stopped)
        return false;
    if (table.record(pair) == 0)
        PostMessageW(job.dialogWindow, kMeasurementCounting, 0, 0);
    return !table.complete();
}

// The capture device with its buffers; the teardown order is the wave API's:
// reset (buffers come back), unprepare, free, close.
class CaptureStream {
  public:
    ~CaptureStream() {
        if (!device_)
            return;
        waveInReset(device_.get());
        for (WAVEHDR& header : headers_) {
            if (header.dwFlags & WHDR_PREPARED)
                waveInUnprepareHeader(device_.get(), &header, sizeof header);
        }
        memory_.reset();
        device_.close();
    }

    MeasurementEnd open(const RateMeasurementJob& job, const WAVEFORMATEX& format) {
        const UINT id = waveDeviceId(job.deviceIndex);
        MMRESULT result = waveInOpen(nullptr, id, &format, 0, 0, WAVE_FORMAT_QUERY);
        if (result != MMSYSERR_NOERROR)
            return {kCaptureCodes.openFailed, result};
        MSG message;
        PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // the thread's queue
        result =
            waveInOpen(device_.receive(), id, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD);
        if (result != MMSYSERR_NOERROR)
            return {kCaptureCodes.openFailed, result};
        const DWORD bufferBytes = format.nSamplesPerSec / 10 * format.nBlockAlign;
        if (!memory_.allocate(static_cast<size_t>(bufferBytes) * kCaptureBuffers)) {
            device_.close();
            return {kCaptureCodes.outOfMemory, 0};
        }
        for (int i = 0; i < kCaptureBuffers; ++i) {
            WAVEHDR& header = headers_[i];
            header.lpData = reinterpret_cast<LPSTR>(memory_.get() + size_t{bufferBytes} * i);
            header.dwBufferLength = bufferBytes;
            result = waveInPrepareHeader(device_.get(), &header, sizeof header);
            if (result == MMSYSERR_NOERROR)
                result = waveInAddBuffer(device_.get(), &header, sizeof header);
            if (result != MMSYSERR_NOERROR)
                return {kCaptureCodes.waveFailed, result};
        }
        result = waveInStart(device_.get());
        if (result != MMSYSERR_NOERROR)
            return {kCaptureCodes.waveFailed, result};
        return {};
    }

    HWAVEIN device() const { return device_.get(); }

  private:
    WaveInHandle device_;
    HeapBlock<uint8_t> memory_;
    WAVEHDR headers_[kCaptureBuffers] = {};
};

class PlaybackStream {
  public:
    ~PlaybackStream() {
        if (!device_)
            return;
        waveOutReset(device_.get());
        if (header_.dwFlags & WHDR_PREPARED)
            waveOutUnprepareHeader(device_.get(), &header_, sizeof header_);
        memory_.reset();
        device_.close();
    }

    MeasurementEnd open(const RateMeasurementJob& job, const WAVEFORMATEX& format) {
        const UINT id = waveDeviceId(job.deviceIndex);
        MMRESULT result = waveOutOpen(nullptr, id, &format, 0, 0, WAVE_FORMAT_QUERY);
        if (result == MMSYSERR_NOERROR)
            result = waveOutOpen(device_.receive(), id, &format, 0, 0, CALLBACK_NULL);
        if (result != MMSYSERR_NOERROR)
            return {kPlaybackCodes.openFailed, result};
        // One second of silence, looped for as long as the run lasts.
        const DWORD bytes = format.nAvgBytesPerSec;
        if (!memory_.allocate(bytes)) {
            device_.close();
            return {kPlaybackCodes.outOfMemory, 0};
        }
        header_.lpData = reinterpret_cast<LPSTR>(memory_.get());
        header_.dwBufferLength = bytes;
        header_.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
        header_.dwLoops = kPlaybackLoops;
        result = waveOutPrepareHeader(device_.get(), &header_, sizeof header_);
        if (result == MMSYSERR_NOERROR)
            result = waveOutWrite(device_.get(), &header_, sizeof header_);
        if (result != MMSYSERR_NOERROR)
            return {kPlaybackCodes.waveFailed, result};
        return {};
    }

    HWAVEOUT device() const { return device_.get(); }

  private:
    WaveOutHandle device_;
    HeapBlock<uint8_t> memory_;
    WAVEHDR header_ = {};
};

uint64_t counterFrequency() {
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    return static_cast<uint64_t>(frequency.QuadPart);
}

// Waits for the next captured buffer; false when none came in time.
bool nextCapturedBuffer(MSG& message) {
    for (;;) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == MM_WIM_DATA)
                return true;
            continue;
        }
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, kCaptureWaitMs, QS_ALLPOSTMESSAGE) !=
            WAIT_OBJECT_0)
            return false;
    }
}

} // namespace

MeasurementEnd measureWaveInput(RateMeasurementJob& job) {
    const WAVEFORMATEX format = pcmFormat(job.captureChannels, job.nominalRate);
    const uint64_t frequency = counterFrequency();
    MeasurementEnd end;
    double rate = 0.0;
    {
        CaptureStream stream;
        end = stream.open(job, format);
        if (end.code != 0)
            return end;
        TimeStampTable table(Pacing::byTime, frequency, counterNow());
        auto readPosition = [&](uint32_t& samples) {
            MMTIME time = {};
            time.wType = TIME_SAMPLES;
            const MMRESULT result = waveInGetPosition(stream.device(), &time, sizeof time);
            samples = samplesOf(time, format);
            return result;
        };
        bool running = true;
        while (running && !job.stopRequested()) {
            MSG message;
            if (!nextCapturedBuffer(message))
                continue;
            auto* header = reinterpret_cast<WAVEHDR*>(message.lParam);
            const MMRESULT result = waveInAddBuffer(stream.device(), header, sizeof *header);
            if (result != MMSYSERR_NOERROR) {
                end = {kCaptureCodes.waveFailed, result};
                break;
            }
            running =
                countStep(job, table, counterNow(), readPosition, kCaptureCodes.waveFailed, end);
        }
        rate = table.rate(frequency);
    }
    if (end.code == 0)
        job.result = rate;
    return end;
}

MeasurementEnd measureWaveOutput(RateMeasurementJob& job) {
    const WAVEFORMATEX format = pcmFormat(1, job.nominalRate);
    const uint64_t frequency = counterFrequency();
    MeasurementEnd end;
    double rate = 0.0;
    {
        PlaybackStream stream;
        end = stream.open(job, format);
        if (end.code != 0)
            return end;
        TimeStampTable table(Pacing::byTime, frequency, counterNow());
        auto readPosition = [&](uint32_t& samples) {
            MMTIME time = {};
            time.wType = TIME_SAMPLES;
            const MMRESULT result = waveOutGetPosition(stream.device(), &time, sizeof time);
            samples = samplesOf(time, format);
            return result;
        };
        bool running = true;
        while (running && !job.stopRequested()) {
            Sleep(kPlaybackCheckMs);
            running =
                countStep(job, table, counterNow(), readPosition, kPlaybackCodes.waveFailed, end);
        }
        rate = table.rate(frequency);
    }
    if (end.code == 0)
        job.result = rate;
    return end;
}

} // namespace tonvale
