#include "engine/engine_thread_win.h"

#include "engine/block_processor.h"
#include "engine/capture_stream_win.h"
#include "engine/engine_messages_win.h"
#include "support/scoped_win.h"
#include "support/worker_thread_win.h"

#include <algorithm>

namespace tonvale {
namespace {

// Everything one run of the engine holds, on the engine thread's stack.
class EngineRun {
  public:
    explicit EngineRun(const EngineStart& start)
        : window_(start.window), stream_(start.system ? *start.system : systemCapture()) {}

    // Opens the device and sets up buffers, filters and analysis; signals
    // the start-up event; starts capturing. A failure is posted once.
    void startUp(const EngineStart& start);
    // Serves messages until kEngineStop.
    void serve();
    void shutDown();

  private:
    CaptureStatus prepare(const EngineStart& start);
    void onBlock(WAVEHDR* header);
    void onSpectrumRequest(WPARAM length, LPARAM count);
    void report(const CaptureStatus& status);

    HWND window_;
    CaptureStream stream_;
    BlockProcessor processor_;
};

CaptureStatus EngineRun::prepare(const EngineStart& start) {
    const EngineParams& params = start.params;
    EngineRates rates;
    if (!deriveEngineRates(params, rates)) {
        // Only 11025 or 12000 Hz times 1, 2, 4 or 8 can be analysed.
        return CaptureStatus{EngineError::openFailed, WAVERR_BADFORMAT};
    }
    CaptureStream::Format format;
    format.deviceId = params.deviceId;
    format.sampleRate = params.sampleRate;
    format.channels = start.channels;
    format.microphoneOnly = params.microphoneOnly != 0;
    CaptureStatus status = stream_.open(format, GetCurrentThreadId());
    if (status.ok()) {
        status = stream_.queueBuffers(rates.decimation * rates.hop);
    }
    if (status.ok() && processor_.start(params) != BlockProcessor::StartResult::ok) {
        status = CaptureStatus{EngineError::outOfMemory, MMSYSERR_NOMEM};
    }
    return status;
}

void EngineRun::startUp(const EngineStart& start) {
    CaptureStatus status = prepare(start);
    // From here on `start` may be gone.
    SetEvent(start.startedEvent);
    if (status.ok()) {
        status = stream_.start();
    }
    if (!status.ok()) {
        report(status);
    }
}

void EngineRun::report(const CaptureStatus& status) {
    stream_.enterErrorState();
    PostMessageW(window_, kEngineError, static_cast<WPARAM>(status.error),
                 static_cast<LPARAM>(status.result));
}

void EngineRun::serve() {
    for (;;) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1 || got == 0) {
            continue; // a failed retrieval is retried; WM_QUIT does not end the engine
        }
        switch (message.message) {
        case kEngineStop:
            return;
        case kEngineSpectrumRequest:
            onSpectrumRequest(message.wParam, message.lParam);
            break;
        case MM_WIM_DATA:
            onBlock(reinterpret_cast<WAVEHDR*>(message.lParam));
            break;
        default:
            break;
        }
    }
}

void EngineRun::onBlock(WAVEHDR* header) {
    const int16_t* samples = stream_.takeBlock(header);
    if (!samples) {
        return;
    }
    if (processor_.processBlock(samples)) {
        PitchReading& reading = processor_.reading();
        // A reading nobody will receive must not stay busy for ever.
        if (!PostMessageW(window_, kEngineReading, reinterpret_cast<WPARAM>(&reading), 0)) {
            reading.busy.store(0, std::memory_order_release);
        }
    }
    const CaptureStatus status = stream_.requeue(header);
    if (!status.ok()) {
        report(status);
    }
}

void EngineRun::onSpectrumRequest(WPARAM length, LPARAM count) {
    const auto maxLength = static_cast<WPARAM>(BlockProcessor::kMaxSpectrumLength);
    const auto servedLength = static_cast<int32_t>(std::min(length, maxLength));
    const auto servedCount = static_cast<int32_t>(
        std::clamp<LPARAM>(count, 0, static_cast<LPARAM>(PitchReading::kMaxSpectrum)));
    processor_.requestSpectrum(servedLength, servedCount);
}

void EngineRun::shutDown() {
    stream_.close();
    processor_.stop();
}

} // namespace

uint32_t engineThread(void* argument) {
    const EngineStart& start = *static_cast<const EngineStart*>(argument);
    ComInitialization com(COINIT_MULTITHREADED);
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // creates the message queue
    EngineRun run(start);
    run.startUp(start);
    run.serve();
    run.shutDown();
    return 0;
}

HANDLE startEngine(EngineStart& start, unsigned* threadId) {
    UniqueHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!started) {
        return nullptr;
    }
    start.startedEvent = started.get();
    HANDLE thread = WorkerThread::start(nullptr, 0, engineThread, &start, 0, threadId);
    if (thread) {
        // The thread's end releases the wait too, should it end before
        // signalling.
        HANDLE waitFor[2] = {started.get(), thread};
        WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
    }
    const DWORD error = GetLastError();
    start.startedEvent = nullptr;
    started.reset();
    SetLastError(error);
    return thread;
}

void stopEngine(HANDLE thread, unsigned threadId, HWND window) {
    if (!thread) {
        return;
    }
    PostThreadMessageW(threadId, kEngineStop, 0, 0);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    MSG message;
    PeekMessageW(&message, window, kEngineReading, kEngineReading, PM_REMOVE);
}

} // namespace tonvale
