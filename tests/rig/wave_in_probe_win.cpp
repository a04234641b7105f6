// Captures from the default wave-in device while the driver plays a 440 Hz
// tone into the rig's sink, and checks that the sound path is real: full
// 100 ms buffers arrive at the pace of a sound clock and carry the tone.
#include "engine/pi.h"
#include "support/scoped_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tonvale {
namespace {

constexpr DWORD kRateHz = 44100;
constexpr WORD kChannels = 2;
constexpr DWORD kBufferFrames = 4410; // 100 ms
constexpr DWORD kBufferBytes = kBufferFrames * kChannels * sizeof(int16_t);
constexpr int kQueuedBuffers = 10;
// The first buffers may come as a backlog all at once; pace is measured after.
constexpr int kSkippedBuffers = 5;
constexpr int kMeasuredBuffers = 20;
constexpr double kBufferSec = static_cast<double>(kBufferFrames) / kRateHz;
constexpr double kToneHz = 440.0;
constexpr DWORD kBufferWaitLimitMs = 3000;
// The driver plays the tone at half of full scale: rms about 11600.
constexpr double kLeastToneRms = 1000.0;
constexpr double kLeastToneShare = 0.8;

struct CapturedBuffer {
    DWORD bytesRecorded = 0;
    double arrivalSec = 0.0;
    std::vector<int16_t> samples; // interleaved stereo
};

struct Capture {
    MMRESULT openResult = MMSYSERR_ERROR;
    std::string failure; // empty when every wanted buffer arrived
    std::vector<CapturedBuffer> buffers;
};

double secondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER frequency = {};
    LARGE_INTEGER now = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Takes every done buffer in queue order and queues it again.
void collectDoneBuffers(HWAVEIN waveIn, std::vector<WAVEHDR>& headers, int& next,
                        const LARGE_INTEGER& start, int wanted, Capture& capture) {
    while ((headers[next].dwFlags & WHDR_DONE) != 0 &&
           static_cast<int>(capture.buffers.size()) < wanted) {
        WAVEHDR& header = headers[next];
        CapturedBuffer buffer;
        buffer.bytesRecorded = header.dwBytesRecorded;
        buffer.arrivalSec = secondsSince(start);
        const auto* data = reinterpret_cast<const int16_t*>(header.lpData);
        buffer.samples.assign(data, data + header.dwBytesRecorded / sizeof(int16_t));
        capture.buffers.push_back(std::move(buffer));
        header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        header.dwBytesRecorded = 0;
        waveInAddBuffer(waveIn, &header, sizeof(WAVEHDR));
        next = (next + 1) % kQueuedBuffers;
    }
}

Capture captureFromDefaultDevice(int wanted) {
    Capture capture;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kChannels;
    format.nSamplesPerSec = kRateHz;
    format.wBitsPerSample = 16;
    format.nBlockAlign = kChannels * sizeof(int16_t);
    format.nAvgBytesPerSec = kRateHz * format.nBlockAlign;

    UniqueHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    WaveInHandle device;
    capture.openResult = waveInOpen(device.receive(), WAVE_MAPPER, &format,
                                    reinterpret_cast<DWORD_PTR>(event.get()), 0, CALLBACK_EVENT);
    HWAVEIN waveIn = device.get();
    if (capture.openResult != MMSYSERR_NOERROR) {
        capture.failure = "waveInOpen failed";
        return capture;
    }
    std::vector<std::vector<char>> memory(kQueuedBuffers, std::vector<char>(kBufferBytes));
    std::vector<WAVEHDR> headers(kQueuedBuffers);
    for (int i = 0; i < kQueuedBuffers; ++i) {
        headers[i] = {};
        headers[i].lpData = memory[i].data();
        headers[i].dwBufferLength = kBufferBytes;
        waveInPrepareHeader(waveIn, &headers[i], sizeof(WAVEHDR));
        waveInAddBuffer(waveIn, &headers[i], sizeof(WAVEHDR));
    }
    LARGE_INTEGER start = {};
    QueryPerformanceCounter(&start);
    waveInStart(waveIn);
    int next = 0;
    while (static_cast<int>(capture.buffers.size()) < wanted) {
        if (WaitForSingleObject(event.get(), kBufferWaitLimitMs) != WAIT_OBJECT_0) {
            capture.failure = "no buffer arrived within 3 s";
            break;
        }
        collectDoneBuffers(waveIn, headers, next, start, wanted, capture);
    }
    waveInReset(waveIn);
    for (WAVEHDR& header : headers) {
        waveInUnprepareHeader(waveIn, &header, sizeof(WAVEHDR));
    }
    device.close();
    return capture;
}

// One capture serves every test of this program.
const Capture& sharedCapture() {
    static const Capture capture = captureFromDefaultDevice(kSkippedBuffers + kMeasuredBuffers);
    return capture;
}

// Least-squares slope of arrival time over buffer number.
double secondsPerBuffer(const std::vector<CapturedBuffer>& buffers, size_t first) {
    const double count = static_cast<double>(buffers.size() - first);
    double meanIndex = 0.0;
    double meanSec = 0.0;
    for (size_t i = first; i < buffers.size(); ++i) {
        meanIndex += static_cast<double>(i) / count;
        meanSec += buffers[i].arrivalSec / count;
    }
    double covariance = 0.0;
    double variance = 0.0;
    for (size_t i = first; i < buffers.size(); ++i) {
        const double di = static_cast<double>(i) - meanIndex;
        covariance += di * (buffers[i].arrivalSec - meanSec);
        variance += di * di;
    }
    return covariance / variance;
}

// Share of the mono signal's energy at one frequency: 1 for a pure sine that
// completes whole cycles in the buffer, about 0 for noise or other tones.
double energyShareAt(const std::vector<int16_t>& stereo, double freqHz, double* rms) {
    const size_t frames = stereo.size() / kChannels;
    double re = 0.0;
    double im = 0.0;
    double energy = 0.0;
    const double step = 2.0 * kPi * freqHz / kRateHz;
    for (size_t n = 0; n < frames; ++n) {
        const double x = (static_cast<double>(stereo[2 * n]) + stereo[2 * n + 1]) / 2.0;
        re += x * std::cos(step * static_cast<double>(n));
        im -= x * std::sin(step * static_cast<double>(n));
        energy += x * x;
    }
    *rms = frames > 0 ? std::sqrt(energy / static_cast<double>(frames)) : 0.0;
    return energy > 0.0 ? 2.0 * (re * re + im * im) / (static_cast<double>(frames) * energy) : 0.0;
}

TEST(RigSound, DefaultDeviceDeliversEveryBuffer) {
    const Capture& capture = sharedCapture();
    ASSERT_EQ(capture.openResult, static_cast<MMRESULT>(MMSYSERR_NOERROR))
        << "no wave-in device: is the rig's sound server running?";
    EXPECT_EQ(capture.failure, "");
    ASSERT_EQ(capture.buffers.size(), static_cast<size_t>(kSkippedBuffers + kMeasuredBuffers));
    for (size_t i = 0; i < capture.buffers.size(); ++i) {
        EXPECT_EQ(capture.buffers[i].bytesRecorded, kBufferBytes) << "buffer " << i << " not full";
    }
}

TEST(RigSound, FullBuffersArriveAtRealTimePace) {
    const Capture& capture = sharedCapture();
    ASSERT_EQ(capture.buffers.size(), static_cast<size_t>(kSkippedBuffers + kMeasuredBuffers));
    const double slopeSec = secondsPerBuffer(capture.buffers, kSkippedBuffers);
    const double spanSec =
        capture.buffers.back().arrivalSec - capture.buffers[kSkippedBuffers - 1].arrivalSec;
    std::printf("%d buffers in %.3f s, %.1f ms per buffer\n", kMeasuredBuffers, spanSec,
                slopeSec * 1000.0);
    // A source without a clock would deliver all of them at once; a busy
    // machine may wake late now and then but cannot outrun the clock.
    EXPECT_GT(slopeSec, 0.75 * kBufferSec);
    EXPECT_LT(slopeSec, 1.3 * kBufferSec);
    EXPECT_GT(spanSec, 0.75 * kMeasuredBuffers * kBufferSec);
    EXPECT_LT(spanSec, 1.5 * kMeasuredBuffers * kBufferSec);
}

TEST(RigSound, BuffersCarryTheTone) {
    const Capture& capture = sharedCapture();
    ASSERT_EQ(capture.buffers.size(), static_cast<size_t>(kSkippedBuffers + kMeasuredBuffers));
    double lowestShare = 1.0;
    double lowestRms = 1e9;
    std::string silent;
    std::string toneless;
    for (size_t i = kSkippedBuffers; i < capture.buffers.size(); ++i) {
        double rms = 0.0;
        const double share = energyShareAt(capture.buffers[i].samples, kToneHz, &rms);
        lowestShare = std::min(lowestShare, share);
        lowestRms = std::min(lowestRms, rms);
        if (rms < kLeastToneRms) {
            silent += " " + std::to_string(i);
        } else if (share < kLeastToneShare) {
            toneless += " " + std::to_string(i);
        }
    }
    std::printf("lowest rms %.0f, lowest share of energy at %.0f Hz %.3f\n", lowestRms, kToneHz,
                lowestShare);
    EXPECT_EQ(silent, "") << "buffers (nearly) silent";
    EXPECT_EQ(toneless, "") << "buffers with little of their energy at " << kToneHz << " Hz";
}

} // namespace
} // namespace tonvale
