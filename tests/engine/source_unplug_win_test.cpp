// What happens when the capture source goes away while the engine captures
// from it: the test adds a null sink, makes its monitor the default source,
// plays a tone into it, starts the engine on the default device, stops the
// player (the server would move it to another sink) and unloads the sink's
// module. Whatever Wine then does, the engine must neither crash nor hang,
// report at most one error, and stop when told. What was seen is printed
// and kept in the artefacts folder (engine_unplug_test/observed.txt).
#include "engine/sine_table.h"
#include "live_engine_helpers_win.h"
#include "tests/rig/host_command_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tonvale {
namespace {

using testing_rig::runHostCommand;

const std::wstring kPlayerPidFile =
    L"/tmp/tonvale-unplug-player-" + std::to_wstring(GetCurrentProcessId());
// Programs Wine starts inherit its blocked signals: TERM might not reach.
const std::wstring kStopPlayer =
    L"kill -KILL $(cat " + kPlayerPidFile + L") 2>/dev/null; rm -f " + kPlayerPidFile;
const std::wstring kUnloadSink = L"pactl unload-module $(pactl list short modules | "
                                 L"awk '/sink_name=tonvale_unplug/ {print $1}')";

// Puts the rig's sound server back whatever the test did.
struct SoundServerGuard {
    ~SoundServerGuard() {
        runHostCommand(kStopPlayer + L"; " + kUnloadSink +
                       L" 2>/dev/null; pactl set-default-source speaker.monitor");
    }
};

void keep(const std::string& text) {
    std::printf("%s", text.c_str());
    const char* folder = std::getenv("TONVALE_ARTEFACTS_DIR");
    if (!folder) {
        return;
    }
    const std::string dir = std::string(folder) + "\\engine_unplug_test";
    CreateDirectoryA(dir.c_str(), nullptr);
    if (std::FILE* file = std::fopen((dir + "\\observed.txt").c_str(), "w")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
}

TEST(SourceUnplug, EngineSurvivesItsSourceGoingAway) {
    fillSineTable();
    SoundServerGuard guard;
    ASSERT_EQ(runHostCommand(
                  L"pactl load-module module-null-sink sink_name=tonvale_unplug rate=44100 "
                  L"channels=2 >/dev/null && pactl set-default-source tonvale_unplug.monitor && "
                  L"{ sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed-integer - synth 60 sine 440 "
                  L"vol 0.5 2>/dev/null | pacat --raw --rate=44100 --channels=2 --format=s16le "
                  L"--device=tonvale_unplug >/dev/null 2>&1 & echo $! >" +
                  kPlayerPidFile + L"; }"),
              0);
    test::EngineWindow window;
    EngineStart start;
    start.params.sampleRate = 44100;
    start.channels = 2;
    test::RunningEngine engine(start, window.get());
    ASSERT_TRUE(engine.started());
    // Steady readings, as a busy machine may leave a gap in the stream.
    ASSERT_TRUE(window.pumpUntilSteady(440.0, 1.0, 3, 10000)) << "not capturing the sine source";
    ASSERT_TRUE(window.errors.empty());

    const size_t before = window.readings.size();
    ASSERT_EQ(runHostCommand(kStopPlayer + L"; " + kUnloadSink), 0);
    const DWORD unpluggedMs = GetTickCount();
    window.pump(3000);
    const size_t after = window.readings.size() - before;
    size_t withTone = 0;
    size_t silent = 0;
    DWORD longestGapMs = 0;
    DWORD previousMs = unpluggedMs;
    for (size_t i = before; i < window.readings.size(); ++i) {
        longestGapMs = std::max(longestGapMs, window.readings[i].arrivalMs - previousMs);
        previousMs = window.readings[i].arrivalMs;
        const double frequency = window.readings[i].frequency;
        withTone += std::abs(frequency - 440.0) < 1.0 ? 1 : 0;
        silent += frequency == 0.0 ? 1 : 0;
    }
    EXPECT_LE(window.errors.size(), 1u);
    const bool running = engine.threadAlive();
    const DWORD stopStartMs = GetTickCount();
    engine.stop();
    const DWORD stopMs = GetTickCount() - stopStartMs;

    char text[512];
    std::snprintf(text, sizeof text,
                  "source unloaded while capturing:\n"
                  "  readings in the 3 s after: %zu (%zu still at 440 Hz, %zu silent)\n"
                  "  longest wait for a reading: %lu ms; last one %ld ms after the unload\n"
                  "  errors posted: %zu%s\n"
                  "  engine thread still running: %s; stop returned after %lu ms\n",
                  after, withTone, silent, longestGapMs,
                  after ? static_cast<long>(window.readings.back().arrivalMs - unpluggedMs) : -1L,
                  window.errors.size(),
                  window.errors.empty()
                      ? ""
                      : (" (code " + std::to_string(window.errors[0].code) + ", result " +
                         std::to_string(window.errors[0].result) + ")")
                            .c_str(),
                  running ? "yes" : "no", stopMs);
    keep(text);
}

} // namespace
} // namespace tonvale
