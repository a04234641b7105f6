// The engine's capture: a wave-in device opened in 16-bit PCM with ten
// buffers queued, each filled buffer arriving as MM_WIM_DATA in the engine
// thread's queue, and the microphone made the only recording source while
// the stream is open when asked (endpoint unmute from Windows 6.0, the
// recording mixer before). Everything switched is put back by close().
//
// All calls on the engine thread; no callback runs on a system thread.
#pragma once

#include <windows.h>

#include "engine/capture_system_win.h"
#include "engine/engine_messages_win.h"
#include "engine/recording_mixer_switch_win.h"
#include "support/scoped_win.h"

#include <mmsystem.h>

#include <cstdint>

namespace tonvale {

// An error code of the engine with the system result code behind it.
struct CaptureStatus {
    EngineError error = EngineError::none;
    MMRESULT result = MMSYSERR_NOERROR;

    bool ok() const { return error == EngineError::none; }
};

class CaptureStream {
  public:
    static constexpr int kBufferCount = 10;

    struct Format {
        int32_t deviceId = -1; // negative: the default device (wave mapper)
        uint32_t sampleRate = 44100;
        int16_t channels = 2; // 1 or 2
        bool microphoneOnly = false;
    };

    explicit CaptureStream(CaptureSystem& system) : system_(system) {}
    ~CaptureStream() { close(); }
    CaptureStream(const CaptureStream&) = delete;
    CaptureStream& operator=(const CaptureStream&) = delete;

    // Queries and opens the device with completion messages to threadId.
    // openFailed with the query's or the open's result, or mixerFailed (the
    // device then stays open until close()).
    CaptureStatus open(const Format& format, DWORD threadId);
    // Allocates the ten buffers of framesPerBuffer frames in one zero-filled
    // block, prepares and queues them in order. outOfMemory, or deviceFailed
    // with the first failing result (later buffers are not queued).
    CaptureStatus queueBuffers(int32_t framesPerBuffer);
    CaptureStatus start();

    // For MM_WIM_DATA: unprepares the buffer and returns its framesPerBuffer
    // mono samples (a stereo buffer mixed down in place), whatever byte count
    // was recorded; null in the error state.
    const int16_t* takeBlock(WAVEHDR* header);
    // Prepares and queues a taken buffer again; a failure enters the error
    // state.
    CaptureStatus requeue(WAVEHDR* header);

    // From now on no buffer is handed out or queued again.
    void enterErrorState() { failed_ = true; }
    bool failed() const { return failed_; }

    // Resets and closes the device, unprepares and frees the buffers, and
    // puts the recording mixer and the microphone endpoint back. Safe to call
    // again.
    void close();

    // What the microphone switch changed, for tests: the mixer's saved state
    // and whether the endpoint was unmuted.
    uint32_t mixerSavedState() const { return mixerSwitch_.savedState(); }
    bool endpointUnmuted() const { return static_cast<bool>(unmutedEndpoint_); }

  private:
    void unmuteMicrophoneEndpoint(int32_t deviceId);

    CaptureSystem& system_;
    HWAVEIN device_ = nullptr;
    int16_t channels_ = 1;
    int32_t framesPerBuffer_ = 0;
    HeapBlock<int16_t> samples_;
    WAVEHDR headers_[kBufferCount] = {};
    bool failed_ = false;
    RecordingMixerSwitch mixerSwitch_;
    ComPtr<IAudioEndpointVolume> unmutedEndpoint_;
};

} // namespace tonvale
