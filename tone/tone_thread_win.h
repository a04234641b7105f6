// The tone generator thread: one per tone run, playing the reference tone
// through a wave-out device in six buffers of about 50 ms that circulate
// continuously, silence included. It is commanded only by the thread
// messages of tone_thread_messages_win.h and reports a failure once to its
// window (tone_window_messages_win.h), then waits to be stopped.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include "support/scoped_win.h"
#include "tone/tone_thread_messages_win.h"

#include <cstdint>

namespace tonvale {

struct ToneParams {
    uint32_t deviceIndex = WAVE_MAPPER; // a wave-out index, or WAVE_MAPPER
    int32_t sampleRate = 44100;         // Hz
    int16_t clockAdjust = 0;            // playback clock correction, hundredths of a cent
    double frequency = 0.0;             // Hz of the first tone; 0 or less starts silent
    double gain = 0.0;                  // linear, 0 ... 1
    // Manual-reset event the thread signals when its start-up is over,
    // successful or not; a failure's notice is posted after it.
    HANDLE startEvent = nullptr;
    HWND noticeWindow = nullptr; // receives kToneWindowGeneratorFailed
};

constexpr int kToneBuffers = 6;

// The thread function, for WorkerThread::startWithRecord with a ToneParams.
// Returns 0.
uint32_t toneThread(void* argument);

// A tone run as its window holds it.
struct ToneRun {
    UniqueHandle thread;
    DWORD threadId = 0;
    bool active() const { return static_cast<bool>(thread); }
};

// Starts a thread with params (its startEvent is made here) and waits
// without limit until its start-up is over. False, with nothing held, when
// the event or the thread cannot be created.
bool startToneRun(ToneParams params, ToneRun& run);

void postToneFrequency(const ToneRun& run, double frequencyHz);
void postToneGain(const ToneRun& run, double gain);
void postToneStop(const ToneRun& run, ToneStop how);

} // namespace tonvale
