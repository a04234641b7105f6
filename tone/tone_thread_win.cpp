#include "tone/tone_thread_win.h"

#include "support/worker_thread_win.h"
#include "tone/double_message.h"
#include "tone/tone_synth.h"
#include "tone/tone_window_messages_win.h"

#include <optional>

namespace tonvale {
namespace {

// After the final buffer has come back, the device may still be playing
// its last samples; ending then would cut them.
constexpr DWORD kDrainMs = 50;

class ToneStream {
  public:
    explicit ToneStream(const ToneParams& params) : params_(params) {}
    ToneStream(const ToneStream&) = delete;
    ToneStream& operator=(const ToneStream&) = delete;
    ~ToneStream() { end(); }

    void run();

  private:
    struct StartResult {
        std::optional<ToneFailure> failure;
        MMRESULT detail = MMSYSERR_NOERROR;
    };

    StartResult startUp();
    MMRESULT open();
    bool allocateBuffers();
    void render(WAVEHDR& header);
    MMRESULT prepareAndWrite(WAVEHDR& header);
    void fail(ToneFailure code, MMRESULT detail);
    void onMessage(const MSG& message);
    void onBufferDone(WAVEHDR* header);
    void end();

    ToneParams params_;
    WaveOutHandle device_;
    std::optional<ToneSynth> synth_;
    HeapBlock<int16_t> samples_; // kToneBuffers * bufferSamples, one block
    WAVEHDR headers_[kToneBuffers] = {};
    bool failed_ = false;
    bool fadingOut_ = false;
    bool ended_ = false;
    const WAVEHDR* finalBuffer_ = nullptr;
};

void ToneStream::run() {
    const StartResult start = startUp();
    SetEvent(params_.startEvent);
    if (start.failure) {
        fail(*start.failure, start.detail);
    }
    MSG message;
    while (!ended_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        onMessage(message);
    }
}

ToneStream::StartResult ToneStream::startUp() {
    MMRESULT result = open();
    if (result != MMSYSERR_NOERROR) {
        return {ToneFailure::cannotOpen, result};
    }
    synth_.emplace(params_.sampleRate, params_.clockAdjust, params_.frequency, params_.gain);
    if (!allocateBuffers()) {
        return {ToneFailure::outOfMemory, 0};
    }
    // Six buffers of sound first, then all of them queued: the device never
    // waits for synthesis at the start.
    for (WAVEHDR& header : headers_) {
        render(header);
    }
    for (WAVEHDR& header : headers_) {
        result = prepareAndWrite(header);
        if (result != MMSYSERR_NOERROR) {
            return {ToneFailure::bufferFailed, result};
        }
    }
    return {};
}

MMRESULT ToneStream::open() {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = static_cast<DWORD>(params_.sampleRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = format.nSamplesPerSec * 2;
    format.cbSize = 0;
    MMRESULT result = waveOutOpen(nullptr, params_.deviceIndex, &format, 0, 0, WAVE_FORMAT_QUERY);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    return waveOutOpen(device_.receive(), params_.deviceIndex, &format, GetCurrentThreadId(), 0,
                       CALLBACK_THREAD);
}

bool ToneStream::allocateBuffers() {
    const uint32_t count = synth_->timing().bufferSamples;
    if (!samples_.allocate(static_cast<size_t>(count) * kToneBuffers)) {
        return false;
    }
    for (int b = 0; b < kToneBuffers; ++b) {
        headers_[b].lpData =
            reinterpret_cast<LPSTR>(samples_.get() + static_cast<size_t>(b) * count);
        headers_[b].dwBufferLength = count * sizeof(int16_t);
    }
    return true;
}

void ToneStream::render(WAVEHDR& header) {
    synth_->render(reinterpret_cast<int16_t*>(header.lpData), synth_->timing().bufferSamples);
}

MMRESULT ToneStream::prepareAndWrite(WAVEHDR& header) {
    header.dwFlags = 0;
    MMRESULT result = waveOutPrepareHeader(device_.get(), &header, sizeof header);
    if (result == MMSYSERR_NOERROR) {
        result = waveOutWrite(device_.get(), &header, sizeof header);
    }
    return result;
}

void ToneStream::fail(ToneFailure code, MMRESULT detail) {
    failed_ = true;
    PostMessageW(params_.noticeWindow, kToneWindowGeneratorFailed, static_cast<WPARAM>(code),
                 static_cast<LPARAM>(detail));
}

void ToneStream::onMessage(const MSG& message) {
    const bool changesAccepted = !failed_ && !fadingOut_;
    switch (message.message) {
    case kToneSetFrequency:
        if (changesAccepted) {
            synth_->setFrequency(joinDouble(message.wParam, static_cast<uint64_t>(message.lParam)));
        }
        break;
    case kToneSetGain:
        if (changesAccepted) {
            synth_->setGain(joinDouble(message.wParam, static_cast<uint64_t>(message.lParam)));
        }
        break;
    case kToneStop:
        if (failed_ || static_cast<ToneStop>(message.wParam) != ToneStop::fadeOut) {
            ended_ = true;
        } else if (!fadingOut_) {
            fadingOut_ = true;
            synth_->fadeOutAll();
        }
        break;
    case MM_WOM_DONE:
        onBufferDone(reinterpret_cast<WAVEHDR*>(message.lParam));
        break;
    default:
        break;
    }
}

void ToneStream::onBufferDone(WAVEHDR* header) {
    waveOutUnprepareHeader(device_.get(), header, sizeof *header);
    if (header == finalBuffer_) {
        Sleep(kDrainMs);
        ended_ = true;
        return;
    }
    if (failed_) {
        return;
    }
    // Only a buffer synthesised after the last voice had gone is all silence.
    const bool silentBefore = synth_->silent();
    render(*header);
    MMRESULT result = prepareAndWrite(*header);
    if (result != MMSYSERR_NOERROR) {
        fail(ToneFailure::bufferFailed, result);
        if (fadingOut_) {
            ended_ = true;
        }
        return;
    }
    if (fadingOut_ && silentBefore && !finalBuffer_) {
        finalBuffer_ = header;
    }
}

void ToneStream::end() {
    if (samples_) {
        if (device_) {
            waveOutReset(device_.get());
        }
        for (WAVEHDR& header : headers_) {
            if (header.dwFlags & WHDR_PREPARED) {
                waveOutUnprepareHeader(device_.get(), &header, sizeof header);
            }
        }
        samples_.reset();
    }
    synth_.reset();
    device_.close();
}

} // namespace

uint32_t toneThread(void* argument) {
    const ToneParams params = WorkerThread::takeRecord<ToneParams>(argument);
    ToneStream stream(params);
    stream.run();
    return 0;
}

bool startToneRun(ToneParams params, ToneRun& run) {
    UniqueHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!started) {
        return false;
    }
    params.startEvent = started.get();
    unsigned threadId = 0;
    UniqueHandle thread(WorkerThread::startWithRecord(toneThread, params, &threadId));
    if (!thread) {
        return false;
    }
    // The thread's end releases the wait too, should its start-up never
    // finish (an exception stopped at its entry).
    HANDLE waitFor[2] = {started.get(), thread.get()};
    WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
    run.thread = std::move(thread);
    run.threadId = threadId;
    return true;
}

namespace {
void postDouble(const ToneRun& run, UINT message, double value) {
    const DoubleHalves halves = splitDouble(value);
    PostThreadMessageW(run.threadId, message, halves.low, static_cast<LPARAM>(halves.high));
}
} // namespace

void postToneFrequency(const ToneRun& run, double frequencyHz) {
    postDouble(run, kToneSetFrequency, frequencyHz);
}

void postToneGain(const ToneRun& run, double gain) {
    postDouble(run, kToneSetGain, gain);
}

void postToneStop(const ToneRun& run, ToneStop how) {
    PostThreadMessageW(run.threadId, kToneStop, static_cast<WPARAM>(how), 0);
}

} // namespace tonvale
