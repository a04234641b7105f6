// The engine thread on the rig's real sound path: tones played into the
// null sink come back through its monitor to the engine's wave-in, and the
// readings reach a window of the test's own. Failures Wine cannot produce
// (a refused format, a buffer that cannot be queued again) come from a
// capture system that fails on purpose and otherwise makes the real calls.
#include "allocation_counter_win.h"
#include "engine/block_processor.h"
#include "engine/sine_table.h"
#include "live_engine_helpers_win.h"
#include "signal_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tonvale {
namespace {

using test::EngineWindow;
using test::Partial;
using test::RunningEngine;
using test::TonePlayer;

constexpr double kRateHz = 44100.0;
constexpr int32_t kBlockFrames = 4408; // D * H at 44100 Hz
constexpr int32_t kBaseRate = 11025;

EngineStart captureStart(bool harmonics = false) {
    EngineStart start;
    start.params.deviceId = -1;
    start.params.sampleRate = 44100;
    start.params.inputThreshold = -60;
    start.params.findFundamental = harmonics ? 1 : 0;
    start.channels = 2;
    return start;
}

std::vector<int16_t> tone(const std::vector<Partial>& partials, double seconds) {
    return test::toPcm16(test::makeTone(partials, kRateHz, static_cast<size_t>(seconds * kRateHz)));
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// The median reading of the tone run through the block processor directly,
// as the analyzer reads a file, leaving out the blocks that start it.
double offlineMedian(const std::vector<int16_t>& samples, bool harmonics) {
    BlockProcessor processor;
    EngineStart start = captureStart(harmonics);
    EXPECT_EQ(processor.start(start.params), BlockProcessor::StartResult::ok);
    std::vector<double> frequencies;
    for (size_t b = 0; (b + 1) * kBlockFrames <= samples.size(); ++b) {
        processor.processBlock(samples.data() + b * kBlockFrames);
        if (b >= 5 && processor.reading().frequency > 10.0) {
            frequencies.push_back(processor.reading().frequency);
        }
        processor.reading().busy.store(0);
    }
    return median(frequencies);
}

class EngineThreadTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { fillSineTable(); }
    EngineWindow window;
};

TEST_F(EngineThreadTest, LiveReadingsMatchTheOfflineAnalysisOfTheSameTones) {
    const std::vector<std::vector<Partial>> tones = {
        {{440.0, 9000.0}},
        {{220.0, 9000.0}},
        // The second harmonic is the strongest: the harmonic analysis must
        // still read the fundamental.
        {{146.83, 3000.0}, {293.66, 9000.0}, {440.49, 5000.0}, {587.32, 2000.0}},
    };
    const double expected[] = {440.0, 220.0, 146.83};
    RunningEngine engine(captureStart(true), window.get());
    ASSERT_TRUE(engine.started());
    ASSERT_TRUE(window.pumpUntilReadings(2, 8000));
    ASSERT_TRUE(window.errors.empty());
    // A busy machine leaves gaps in the sound server's stream, each putting
    // a reading or two off: the readings that agree with the one before them
    // are the tone's steady ones. The tone plays until enough were heard.
    const auto steadyReadings = [this](double expectedHz) {
        std::vector<double> steady;
        for (size_t i = 1; i < window.readings.size(); ++i) {
            const double frequency = window.readings[i].frequency;
            if (std::abs(frequency - expectedHz) < 0.02 * expectedHz &&
                std::abs(frequency - window.readings[i - 1].frequency) < 0.01) {
                steady.push_back(frequency);
            }
        }
        return steady;
    };
    constexpr double kToneSeconds = 6.0;
    for (size_t t = 0; t < tones.size(); ++t) {
        const std::vector<int16_t> samples = tone(tones[t], kToneSeconds);
        const double offline = offlineMedian(samples, true);
        ASSERT_NEAR(offline, expected[t], 0.05);
        TonePlayer player;
        window.readings.clear();
        ASSERT_TRUE(player.play(samples));
        std::vector<double> live;
        const DWORD startMs = GetTickCount();
        while (live.size() < 6 && GetTickCount() - startMs < (kToneSeconds + 1.0) * 1000) {
            window.pump(100);
            live = steadyReadings(expected[t]);
        }
        ASSERT_GE(live.size(), 6u) << expected[t] << " Hz was hardly heard steadily";
        EXPECT_NEAR(median(live), offline, 0.05) << expected[t] << " Hz";
        // About ten readings a second, numbered without gaps while the window
        // keeps up. The typical wait between readings is judged, as a gap in
        // the stream holds a few back and then lets them come at once.
        std::vector<double> waitsMs;
        for (size_t i = 1; i < window.readings.size(); ++i) {
            waitsMs.push_back(window.readings[i].arrivalMs - window.readings[i - 1].arrivalMs);
        }
        EXPECT_GT(median(waitsMs), 75.0) << expected[t] << " Hz";
        EXPECT_LT(median(waitsMs), 140.0) << expected[t] << " Hz";
        const test::ReadingCopy& first = window.readings.front();
        const test::ReadingCopy& last = window.readings.back();
        EXPECT_EQ(last.sequence - first.sequence + 1, static_cast<int32_t>(window.readings.size()));
    }
    EXPECT_TRUE(window.errors.empty());
}

TEST_F(EngineThreadTest, SequenceAdvancesOnlyWhenTheReadingIsGivenBack) {
    RunningEngine engine(captureStart(), window.get());
    ASSERT_TRUE(engine.started());
    const DWORD startMs = GetTickCount();
    ASSERT_TRUE(window.pumpUntilReadings(3, 8000));
    std::printf("first three readings after %lu ms\n", GetTickCount() - startMs);
    window.hold(true);
    window.readings.clear();
    ASSERT_TRUE(window.pumpUntilReadings(1, 4000));
    const int32_t heldSequence = window.readings[0].sequence;
    // Blocks keep arriving but the record stays the window's.
    window.pump(600);
    EXPECT_EQ(window.readings.size(), 1u);
    EXPECT_EQ(window.heldReading()->sequence, heldSequence);
    window.hold(false);
    window.heldReading()->busy.store(0, std::memory_order_release);
    window.pumpUntilReadings(1, 4000);
    ASSERT_GE(window.readings.size(), 2u);
    EXPECT_EQ(window.readings[1].sequence, heldSequence + 1);
}

TEST_F(EngineThreadTest, SpectrumRequestsAttachSpectraOfTheAskedSize) {
    TonePlayer player;
    ASSERT_TRUE(player.play(tone({{440.0, 9000.0}}, 10.0)));
    RunningEngine engine(captureStart(), window.get());
    ASSERT_TRUE(engine.started());
    // Until the ring holds nothing but the tone.
    ASSERT_TRUE(window.pumpUntilSteady(440.0, 0.1, 3, 8000));
    struct Request {
        WPARAM length;
        LPARAM count;
        int32_t servedLength;
        int32_t servedCount;
    };
    for (const Request& request :
         {Request{1024, 300, 1024, 300}, Request{16384, 1000, 8192, 512}, Request{0, 0, 0, 0}}) {
        engine.post(kEngineSpectrumRequest, request.length, request.count);
        // It takes effect from the next block.
        window.pumpUntilReadings(2, 4000);
        window.readings.clear();
        // Every reading carries the asked spectrum; its bins are judged on
        // steady readings only, as a gap in the sound server's stream puts
        // the odd reading a hertz or two off the tone.
        size_t steady = 0;
        const DWORD startMs = GetTickCount();
        while (steady < 2 && GetTickCount() - startMs < 6000) {
            const size_t seen = window.readings.size();
            window.pumpUntilReadings(1, 500);
            for (size_t i = std::max<size_t>(seen, 1); i < window.readings.size(); ++i) {
                const test::ReadingCopy& reading = window.readings[i];
                const double previous = window.readings[i - 1].frequency;
                if (request.servedCount == 0 || std::abs(reading.frequency - previous) > 0.1) {
                    continue;
                }
                ++steady;
                ASSERT_NEAR(reading.frequency, 440.0, 1.0);
                const double bin = reading.frequency / kBaseRate * request.servedLength;
                EXPECT_EQ(reading.peakBin, static_cast<int32_t>(bin + 0.5)) << request.length;
                EXPECT_NEAR(reading.loudestBin, bin, 1.0) << request.length;
            }
            if (request.servedCount == 0 && window.readings.size() >= 3) {
                break;
            }
        }
        ASSERT_GE(window.readings.size(), 3u) << request.length;
        for (const test::ReadingCopy& reading : window.readings) {
            ASSERT_EQ(reading.spectrumCount, request.servedCount) << request.length;
            if (request.servedCount != 0) {
                EXPECT_EQ(reading.baseRate, kBaseRate);
            }
        }
        if (request.servedCount != 0) {
            EXPECT_GE(steady, 2u) << request.length << ": the tone was hardly heard steadily";
        }
    }
}

TEST_F(EngineThreadTest, BlocksAreHandledWithoutAllocating) {
    test::countAllocationsOf(GetCurrentThreadId());
    ::operator delete(::operator new(16));
    ASSERT_EQ(test::countAllocationsOf(0), 1) << "the counter does not count";
    RunningEngine engine(captureStart(true), window.get());
    ASSERT_TRUE(engine.started());
    ASSERT_TRUE(window.pumpUntilReadings(3, 8000));
    engine.post(kEngineSpectrumRequest, 2048, 512);
    ASSERT_TRUE(window.pumpUntilReadings(2, 4000));
    test::countAllocationsOf(engine.threadId());
    const bool delivered = window.pumpUntilReadings(10, 6000);
    const int allocations = test::countAllocationsOf(0);
    ASSERT_TRUE(delivered);
    EXPECT_EQ(window.readings.back().spectrumCount, 512);
    EXPECT_EQ(allocations, 0);
}

TEST_F(EngineThreadTest, QuitMessagesDoNotEndTheEngine) {
    RunningEngine engine(captureStart(), window.get());
    ASSERT_TRUE(engine.started());
    engine.post(WM_QUIT);
    EXPECT_TRUE(window.pumpUntilReadings(3, 8000));
    EXPECT_TRUE(engine.threadAlive());
}

TEST_F(EngineThreadTest, StopReturnsAndLeavesNoReadingQueued) {
    RunningEngine engine(captureStart(), window.get());
    ASSERT_TRUE(engine.started());
    ASSERT_TRUE(window.pumpUntilReadings(1, 8000));
    // Until the next reading is posted, and not taken.
    MSG message;
    const DWORD startMs = GetTickCount();
    bool queued = false;
    while (!queued && GetTickCount() - startMs < 5000) {
        Sleep(20);
        queued = PeekMessageW(&message, window.get(), kEngineReading, kEngineReading, PM_NOREMOVE);
    }
    ASSERT_TRUE(queued);
    engine.stop();
    EXPECT_FALSE(PeekMessageW(&message, window.get(), kEngineReading, kEngineReading, PM_NOREMOVE));
}

// Makes the real calls except the one told to fail.
class FailingCapture : public CaptureSystem {
  public:
    MMRESULT refuseFormat = MMSYSERR_NOERROR;
    MMRESULT failStart = MMSYSERR_NOERROR;
    int preparesBeforeFailure = -1; // -1: never fail
    int addsBeforeFailure = -1;
    MMRESULT failure = MMSYSERR_NOMEM;
    int opens = 0;
    int prepares = 0;
    int adds = 0;

    MMRESULT openWaveIn(HWAVEIN* handle, UINT device, const WAVEFORMATEX* format,
                        DWORD_PTR callback, DWORD flags) override {
        ++opens;
        if ((flags & WAVE_FORMAT_QUERY) != 0 && refuseFormat != MMSYSERR_NOERROR) {
            return refuseFormat;
        }
        return CaptureSystem::openWaveIn(handle, device, format, callback, flags);
    }
    MMRESULT prepareHeader(HWAVEIN handle, WAVEHDR* header) override {
        if (prepares++ == preparesBeforeFailure) {
            return failure;
        }
        return CaptureSystem::prepareHeader(handle, header);
    }
    MMRESULT addBuffer(HWAVEIN handle, WAVEHDR* header) override {
        if (adds >= addsBeforeFailure && addsBeforeFailure >= 0) {
            ++adds;
            return failure;
        }
        ++adds;
        return CaptureSystem::addBuffer(handle, header);
    }
    MMRESULT startWaveIn(HWAVEIN handle) override {
        return failStart != MMSYSERR_NOERROR ? failStart : CaptureSystem::startWaveIn(handle);
    }
};

// Starts the engine on `start`, lets it run and checks that it reported
// exactly `code` with `result` once, delivered at most `readings` readings,
// still runs, and stops.
void expectOneFailure(EngineStart start, EngineError code, MMRESULT result, size_t readings) {
    EngineWindow window;
    RunningEngine engine(start, window.get());
    ASSERT_TRUE(engine.started());
    ASSERT_TRUE(window.pumpUntilError(8000));
    window.pump(400); // nothing more comes
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(window.errors[0].code, static_cast<WPARAM>(code));
    EXPECT_EQ(window.errors[0].result, static_cast<LPARAM>(result));
    EXPECT_LE(window.readings.size(), readings);
    // A failed engine waits for its stop.
    EXPECT_TRUE(engine.threadAlive());
    engine.stop();
}

TEST(EngineThreadFailures, UnknownDeviceCannotBeOpened) {
    EngineStart start = captureStart();
    start.params.deviceId = 99;
    expectOneFailure(start, EngineError::openFailed, MMSYSERR_BADDEVICEID, 0);
}

TEST(EngineThreadFailures, RefusedFormatAllocatesNothing) {
    FailingCapture capture;
    capture.refuseFormat = WAVERR_BADFORMAT;
    EngineStart start = captureStart();
    start.system = &capture;
    expectOneFailure(start, EngineError::openFailed, WAVERR_BADFORMAT, 0);
    EXPECT_EQ(capture.opens, 1);
    EXPECT_EQ(capture.prepares, 0);
}

TEST(EngineThreadFailures, RateOutsideTheFamiliesIsRefusedBeforeOpening) {
    FailingCapture capture;
    EngineStart start = captureStart();
    start.params.sampleRate = 32000;
    start.system = &capture;
    expectOneFailure(start, EngineError::openFailed, WAVERR_BADFORMAT, 0);
    EXPECT_EQ(capture.opens, 0);
}

TEST(EngineThreadFailures, BufferThatCannotBePreparedStopsTheQueue) {
    FailingCapture capture;
    capture.preparesBeforeFailure = 3;
    EngineStart start = captureStart();
    start.system = &capture;
    expectOneFailure(start, EngineError::deviceFailed, MMSYSERR_NOMEM, 0);
    EXPECT_EQ(capture.adds, 3);
}

TEST(EngineThreadFailures, CaptureThatCannotStart) {
    FailingCapture capture;
    capture.failStart = MMSYSERR_INVALHANDLE;
    EngineStart start = captureStart();
    start.system = &capture;
    expectOneFailure(start, EngineError::deviceFailed, MMSYSERR_INVALHANDLE, 0);
}

TEST(EngineThreadFailures, FailedRequeueIsReportedOnceAndEndsTheBlocks) {
    FailingCapture capture;
    capture.addsBeforeFailure = 10 + 3; // the first three blocks go back
    EngineStart start = captureStart();
    start.system = &capture;
    expectOneFailure(start, EngineError::deviceFailed, MMSYSERR_NOMEM, 4);
    // Buffers still queued are returned by the reset at stop, never queued
    // again.
    EXPECT_EQ(capture.adds, 14);
}

} // namespace
} // namespace tonvale
