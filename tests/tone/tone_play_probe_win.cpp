// Plays one reference tone through the default wave-out device with the
// tone generator thread, as the tone window starts it, then stops it with a
// fade-out and reports how long the thread took to end. The driver records
// the sink meanwhile and measures the recording.
//
//   tone_play_probe [--frequency HZ | --pitch-class K --octave O
//                    [--scale-ini FILE --temperament NAME --key N]]
//                   [--clock-adjust N] [--gain G] [--seconds S]
// Exit status 0 when the thread started, reported nothing and ended.
//
//   tone_play_probe --measure-fade FILE.wav
// Finds the end of the tone in a recording and checks that it fades out
// linearly over 50 ms into silence. Exit status 0 when it does.
#include <windows.h>

#include "support/utf16.h"
#include "tone/tone_console.h"
#include "tone/tone_thread_win.h"
#include "tone/tone_window_messages_win.h"
#include "tools/analyzer/file_bytes.h"
#include "tools/analyzer/wav_reader.h"
#include "tuning/temperament.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace tonvale {
namespace {

struct ProbeOptions {
    std::string measureFade;
    double frequency = 440.0;
    int pitchClass = -1;
    int octave = 4;
    std::string scaleIni;
    std::string temperament;
    int key = 0;
    int clockAdjust = 0;
    double gain = 0.5;
    double seconds = 3.0;
};

bool parse(int argc, char** argv, ProbeOptions& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--measure-fade") {
            options.measureFade = value;
        } else if (name == "--frequency") {
            options.frequency = std::atof(value);
        } else if (name == "--pitch-class") {
            options.pitchClass = std::atoi(value);
        } else if (name == "--octave") {
            options.octave = std::atoi(value);
        } else if (name == "--scale-ini") {
            options.scaleIni = value;
        } else if (name == "--temperament") {
            options.temperament = value;
        } else if (name == "--key") {
            options.key = std::atoi(value);
        } else if (name == "--clock-adjust") {
            options.clockAdjust = std::atoi(value);
        } else if (name == "--gain") {
            options.gain = std::atof(value);
        } else if (name == "--seconds") {
            options.seconds = std::atof(value);
        } else {
            std::fprintf(stderr, "unknown option %s\n", name.c_str());
            return false;
        }
    }
    return argc % 2 == 1;
}

double chosenFrequency(const ProbeOptions& options) {
    if (options.pitchClass < 0) {
        return options.frequency;
    }
    std::optional<Temperament> temperament;
    if (!options.temperament.empty()) {
        temperament = Temperament::load(utf8ToWide(options.scaleIni).c_str(),
                                        utf8ToWide(options.temperament).c_str(), options.key);
        if (temperament->isRejected()) {
            std::fprintf(stderr, "temperament %s not usable\n", options.temperament.c_str());
            std::exit(2);
        }
    }
    TonePitch pitch;
    pitch.temperament = temperament ? &*temperament : nullptr;
    return noteFrequency(options.pitchClass, options.octave, pitch);
}

bool gNoticeSeen = false;

void reportNotices(HWND window) {
    MSG message;
    while (PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
        if (message.message == kToneWindowGeneratorFailed) {
            gNoticeSeen = true;
            std::printf("notice %u detail %u\n", static_cast<unsigned>(message.wParam),
                        static_cast<unsigned>(message.lParam));
        }
    }
}

// Waits for the thread while noting any failure notice it posts, including
// one posted just before it ended.
bool waitReportingNotices(HANDLE thread, DWORD limitMs, HWND window) {
    const DWORD start = GetTickCount();
    for (;;) {
        reportNotices(window);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= limitMs) {
            return false;
        }
        if (MsgWaitForMultipleObjects(1, &thread, FALSE, limitMs - elapsed, QS_POSTMESSAGE) ==
            WAIT_OBJECT_0) {
            reportNotices(window);
            return true;
        }
    }
}

int run(const ProbeOptions& options) {
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ToneParams params;
    params.sampleRate = 44100;
    params.clockAdjust = static_cast<int16_t>(options.clockAdjust);
    params.frequency = chosenFrequency(options);
    params.gain = options.gain;
    params.noticeWindow = window;
    std::printf("playing %.4f Hz\n", params.frequency);
    std::fflush(stdout);
    ToneRun run;
    if (!startToneRun(params, run)) {
        std::printf("the thread did not start\n");
        return 1;
    }
    const bool endedEarly =
        waitReportingNotices(run.thread.get(), static_cast<DWORD>(options.seconds * 1000), window);
    LARGE_INTEGER frequency, stopAt, endAt;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&stopAt);
    postToneStop(run, ToneStop::fadeOut);
    const bool ended = waitReportingNotices(run.thread.get(), 10000, window);
    QueryPerformanceCounter(&endAt);
    std::printf("ended %.0f ms after the fade-out stop\n",
                1000.0 * static_cast<double>(endAt.QuadPart - stopAt.QuadPart) /
                    static_cast<double>(frequency.QuadPart));
    DestroyWindow(window);
    return !endedEarly && ended && !gNoticeSeen ? 0 : 1;
}

// Peaks of 2.5 ms windows: a 440 Hz tone has a crest in each.
constexpr size_t kWindow = 110;
constexpr double kWindowMs = 2.5;

int measureFade(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    WavInfo wav;
    if (!readFileBytes(path, bytes, error) || !parseWav(bytes.data(), bytes.size(), wav, error)) {
        std::printf("cannot read %s: %s\n", path.c_str(), error.c_str());
        return 2;
    }
    std::vector<int16_t> samples(wav.frameCount);
    decodeMonoFrames(wav, 0, wav.frameCount, samples.data());
    std::vector<int> peaks;
    for (size_t at = 0; at + kWindow <= samples.size(); at += kWindow) {
        int peak = 0;
        for (size_t k = at; k < at + kWindow; ++k) {
            peak = std::max(peak, std::abs(static_cast<int>(samples[k])));
        }
        peaks.push_back(peak);
    }
    const int steady = peaks.empty() ? 0 : *std::max_element(peaks.begin(), peaks.end());
    if (steady < 1000) {
        std::printf("no tone in the recording\n");
        return 1;
    }
    size_t end = peaks.size() - 1;
    while (peaks[end] < steady / 20) {
        --end;
    }
    size_t start = end;
    while (start > 0 && peaks[start] < steady * 95 / 100) {
        --start;
    }
    const double fadeMs = static_cast<double>(end - start) * kWindowMs;
    const double middle = 100.0 * peaks[(start + end) / 2] / steady;
    const double silenceMs = static_cast<double>(peaks.size() - 1 - end) * kWindowMs;
    std::printf("steady peak %d; fade from 95 %% to 5 %% in %.1f ms, %.0f %% halfway; "
                "%.0f ms of silence after it\n",
                steady, fadeMs, middle, silenceMs);
    // A linear 50 ms ramp spends 45 ms between 95 % and 5 %.
    const bool linearFade = fadeMs >= 37.5 && fadeMs <= 55.0 && middle >= 35.0 && middle <= 65.0;
    return linearFade && silenceMs >= 100.0 ? 0 : 1;
}

} // namespace
} // namespace tonvale

int main(int argc, char** argv) {
    tonvale::ProbeOptions options;
    if (!tonvale::parse(argc, argv, options)) {
        return 2;
    }
    if (!options.measureFade.empty()) {
        return tonvale::measureFade(options.measureFade);
    }
    return tonvale::run(options);
}
