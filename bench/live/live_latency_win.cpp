// Latency of the live path: from the moment a tone starts in the sound
// output (the position wave-out reports for the tone's first sample) to the
// first reading within 1 cent of it, with the engine already running on the
// default capture device. Run in the rig, where the output is the null sink
// whose monitor the engine captures:
//   bash scripts/rig run -p build/windows/wineprefix env
//     WINEPREFIX=$PWD/build/windows/wineprefix wine-stable
//     build/windows/bin/live_latency.exe [--long] [--trials N]
// (one line).
#include "engine/sine_table.h"
#include "tests/engine/live_engine_helpers_win.h"
#include "tests/engine/signal_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using namespace tonvale;

constexpr double kRateHz = 44100.0;
constexpr double kLeadSeconds = 0.3; // silence before the tone in the same buffer
constexpr double kToneSeconds = 2.5;
constexpr DWORD kSilenceMs = 1500; // clears the analysis ring between trials
constexpr double kTolerableCents = 1.0;
const double kTonesHz[] = {440.0, 261.63, 392.0, 329.63, 493.88, 220.0};

double nowSeconds() {
    LARGE_INTEGER frequency = {};
    LARGE_INTEGER counter = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Trial {
    double heardSec = -1.0;   // to the first reading of a block loud enough to analyse
    double readSec = -1.0;    // to the first reading within 1 cent
    double settledSec = -1.0; // to the first of kSettledReadings in a row within 1 cent
};

constexpr int kSettledReadings = 5;

// Seconds from the tone's start in the output to the readings of the tone;
// negative when none came.
Trial measureOnce(test::EngineWindow& window, double toneHz) {
    Trial trial;
    const size_t lead = static_cast<size_t>(kLeadSeconds * kRateHz);
    std::vector<double> signal(lead, 0.0);
    const std::vector<double> tone =
        test::makeTone({{toneHz, 9000.0}}, kRateHz, static_cast<size_t>(kToneSeconds * kRateHz));
    signal.insert(signal.end(), tone.begin(), tone.end());
    test::TonePlayer player;
    if (!player.play(test::toPcm16(signal))) {
        return trial;
    }
    double toneStart = -1.0;
    const double limit = nowSeconds() + kLeadSeconds + kToneSeconds;
    window.readings.clear();
    size_t seen = 0;
    int inTune = 0;
    while (nowSeconds() < limit) {
        window.pump(2);
        const DWORD played = player.playedSamples();
        if (toneStart < 0.0 && played >= lead) {
            toneStart = nowSeconds() - (played - lead) / kRateHz;
        }
        for (; seen < window.readings.size() && toneStart >= 0.0; ++seen) {
            const double frequency = window.readings[seen].frequency;
            if (trial.heardSec < 0.0 && frequency != 0.0) {
                trial.heardSec = nowSeconds() - toneStart;
            }
            const double arrivalSec = nowSeconds() - toneStart;
            if (frequency > 10.0 &&
                std::abs(1200.0 * std::log2(frequency / toneHz)) < kTolerableCents) {
                if (trial.readSec < 0.0) {
                    trial.readSec = arrivalSec;
                }
                if (inTune++ == 0) {
                    trial.settledSec = arrivalSec;
                }
                if (inTune == kSettledReadings) {
                    return trial;
                }
            } else {
                inTune = 0;
            }
        }
    }
    trial.settledSec = -1.0;
    return trial;
}

void printSummary(const char* what, std::vector<double> seconds, int trials) {
    std::sort(seconds.begin(), seconds.end());
    if (seconds.empty()) {
        std::printf("  %s: never\n", what);
        return;
    }
    std::printf("  %s: %zu of %d tones, min %.3f s, median %.3f s, max %.3f s\n", what,
                seconds.size(), trials, seconds.front(), seconds[seconds.size() / 2],
                seconds.back());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    bool longTransform = false;
    int trials = 12;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--long") == 0) {
            longTransform = true;
        } else if (std::wcscmp(argv[i], L"--trials") == 0 && i + 1 < argc) {
            trials = std::max(1, _wtoi(argv[++i]));
        }
    }
    fillSineTable();
    test::EngineWindow window;
    EngineStart start;
    start.params.deviceId = -1;
    start.params.sampleRate = 44100;
    start.params.useLongFFT = longTransform ? 1 : 0;
    start.channels = 2;
    test::RunningEngine engine(start, window.get());
    if (!engine.started() || !window.pumpUntilReadings(10, 10000) || !window.errors.empty()) {
        std::fprintf(stderr, "live_latency: the engine does not deliver readings\n");
        return 1;
    }
    std::vector<double> firstReadings;
    std::vector<double> settledReadings;
    for (int t = 0; t < trials; ++t) {
        const double toneHz = kTonesHz[t % (sizeof kTonesHz / sizeof kTonesHz[0])];
        const Trial trial = measureOnce(window, toneHz);
        std::printf("trial %2d  %7.2f Hz  heard %6.3f s, within 1 cent %6.3f s, settled %6.3f s\n",
                    t + 1, toneHz, trial.heardSec, trial.readSec, trial.settledSec);
        if (trial.readSec >= 0.0) {
            firstReadings.push_back(trial.readSec);
        }
        if (trial.settledSec >= 0.0) {
            settledReadings.push_back(trial.settledSec);
        }
        window.pump(kSilenceMs);
    }
    std::printf("N %d, from the tone's start in the output:\n", longTransform ? 8192 : 4096);
    printSummary("first reading within 1 cent", firstReadings, trials);
    printSummary("first of 5 readings in a row within 1 cent", settledReadings, trials);
    return firstReadings.empty() ? 1 : 0;
}
