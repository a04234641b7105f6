// What the live engine tests share: a window of the test's own that
// receives the engine's messages, and a player that sends tones into the
// rig's sink through wave-out (Wine's default device), where the engine's
// wave-in hears them back through the sink's monitor.
#pragma once

#include <windows.h>

#include "engine/engine_messages_win.h"
#include "engine/engine_thread_win.h"
#include "engine/pitch_reading.h"
#include "support/scoped_win.h"

#include <mmsystem.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace tonvale::test {

struct ReadingCopy {
    int32_t sequence = 0;
    double frequency = 0.0;
    float level = 0.0f;
    int32_t spectrumCount = 0;
    int32_t peakBin = 0;
    int32_t baseRate = 0;
    int32_t loudestBin = -1; // of the attached spectrum
    DWORD arrivalMs = 0;
};

struct EngineErrorCopy {
    WPARAM code = 0;
    LPARAM result = 0;
};

// A message-only window on the test's thread. pump() copies each reading and
// clears its busy flag (unless holding), as the main window does.
class EngineWindow {
  public:
    EngineWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr)) {}
    ~EngineWindow() { DestroyWindow(window_); }
    EngineWindow(const EngineWindow&) = delete;
    EngineWindow& operator=(const EngineWindow&) = delete;

    HWND get() const { return window_; }

    // Handles the engine's messages for `ms` milliseconds.
    void pump(DWORD ms) {
        const DWORD start = GetTickCount();
        for (;;) {
            MSG message;
            while (PeekMessageW(&message, window_, kEngineReading, kEngineError, PM_REMOVE)) {
                handle(message);
            }
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= ms) {
                return;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_POSTMESSAGE);
        }
    }

    // Handles messages until `count` more readings arrived or `limitMs`
    // passed; true when they arrived.
    bool pumpUntilReadings(size_t count, DWORD limitMs) {
        const size_t wanted = readingMessages_ + count;
        const DWORD start = GetTickCount();
        while (readingMessages_ < wanted && GetTickCount() - start < limitMs) {
            pump(20);
        }
        return readingMessages_ >= wanted;
    }

    // Handles messages until `count` readings in a row are within `toleranceHz`
    // of `frequencyHz`, or `limitMs` passed; true when they were.
    bool pumpUntilSteady(double frequencyHz, double toleranceHz, int count, DWORD limitMs) {
        const DWORD start = GetTickCount();
        int inRow = 0;
        size_t seen = readings.size();
        while (inRow < count && GetTickCount() - start < limitMs) {
            pump(20);
            for (; seen < readings.size(); ++seen) {
                const bool close = std::abs(readings[seen].frequency - frequencyHz) <= toleranceHz;
                inRow = close ? inRow + 1 : 0;
            }
        }
        return inRow >= count;
    }

    // Handles messages until an error arrived or `limitMs` passed.
    bool pumpUntilError(DWORD limitMs) {
        const DWORD start = GetTickCount();
        while (errors.empty() && GetTickCount() - start < limitMs) {
            pump(20);
        }
        return !errors.empty();
    }

    // While holding, readings are counted but busy stays set.
    void hold(bool holding) { holding_ = holding; }
    PitchReading* heldReading() const { return held_; }
    size_t readingMessages() const { return readingMessages_; }

    std::vector<ReadingCopy> readings;
    std::vector<EngineErrorCopy> errors;

  private:
    void handle(const MSG& message) {
        if (message.message == kEngineError) {
            errors.push_back({message.wParam, message.lParam});
            return;
        }
        if (message.message != kEngineReading) {
            return;
        }
        ++readingMessages_;
        auto* reading = reinterpret_cast<PitchReading*>(message.wParam);
        ReadingCopy copy;
        copy.sequence = reading->sequence;
        copy.frequency = reading->frequency;
        copy.level = reading->level;
        copy.spectrumCount = reading->spectrumCount;
        copy.peakBin = reading->peakBin;
        copy.baseRate = reading->baseRate;
        for (int32_t i = 0; i < reading->spectrumCount; ++i) {
            if (copy.loudestBin < 0 || reading->spectrum[i] > reading->spectrum[copy.loudestBin]) {
                copy.loudestBin = i;
            }
        }
        copy.arrivalMs = GetTickCount();
        readings.push_back(copy);
        if (holding_) {
            held_ = reading;
        } else {
            reading->busy.store(0, std::memory_order_release);
        }
    }

    HWND window_;
    bool holding_ = false;
    PitchReading* held_ = nullptr;
    size_t readingMessages_ = 0;
};

// A running engine for the window; stopped (and its queue purged) at the end.
class RunningEngine {
  public:
    RunningEngine(EngineStart start, HWND window) : window_(window) {
        start.window = window;
        thread_ = startEngine(start, &threadId_);
    }
    ~RunningEngine() { stop(); }
    RunningEngine(const RunningEngine&) = delete;
    RunningEngine& operator=(const RunningEngine&) = delete;

    bool started() const { return thread_ != nullptr; }
    bool threadAlive() const { return thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT; }
    HANDLE thread() const { return thread_; }
    unsigned threadId() const { return threadId_; }
    void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        PostThreadMessageW(threadId_, message, wParam, lParam);
    }
    void stop() {
        stopEngine(thread_, threadId_, window_);
        thread_ = nullptr;
    }

  private:
    HWND window_;
    HANDLE thread_ = nullptr;
    unsigned threadId_ = 0;
};

// Plays 16-bit stereo at 44100 Hz on the default wave-out device.
class TonePlayer {
  public:
    static constexpr DWORD kRateHz = 44100;

    // `mono` is played on both channels; returns false when the device
    // refuses.
    bool play(const std::vector<int16_t>& mono) {
        stop();
        stereo_.resize(mono.size() * 2);
        for (size_t i = 0; i < mono.size(); ++i) {
            stereo_[2 * i] = mono[i];
            stereo_[2 * i + 1] = mono[i];
        }
        WAVEFORMATEX format = {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 2;
        format.nSamplesPerSec = kRateHz;
        format.wBitsPerSample = 16;
        format.nBlockAlign = 4;
        format.nAvgBytesPerSec = kRateHz * 4;
        if (waveOutOpen(device_.receive(), WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) !=
            MMSYSERR_NOERROR) {
            return false;
        }
        header_ = {};
        header_.lpData = reinterpret_cast<LPSTR>(stereo_.data());
        header_.dwBufferLength = static_cast<DWORD>(stereo_.size() * sizeof(int16_t));
        return waveOutPrepareHeader(device_.get(), &header_, sizeof header_) == MMSYSERR_NOERROR &&
               waveOutWrite(device_.get(), &header_, sizeof header_) == MMSYSERR_NOERROR;
    }

    // Samples of the tone the device has played so far.
    DWORD playedSamples() const {
        MMTIME time = {};
        time.wType = TIME_SAMPLES;
        waveOutGetPosition(device_.get(), &time, sizeof time);
        return time.u.sample;
    }

    void stop() {
        if (device_) {
            waveOutReset(device_.get());
            waveOutUnprepareHeader(device_.get(), &header_, sizeof header_);
            device_.close();
        }
    }
    ~TonePlayer() { stop(); }

  private:
    WaveOutHandle device_;
    WAVEHDR header_ = {};
    std::vector<int16_t> stereo_;
};

} // namespace tonvale::test
