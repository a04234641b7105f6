// The reference tone window met as a user meets it, under Wine on the rig's
// display and sound server: its controls, what the note buttons play (heard
// back from the sink's monitor through wave-in), the values it keeps, the
// fade-out wait that keeps the main window served, and the error box of a
// device that cannot be opened. A plain window stands in for the main window.
#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>

#include "app/main_window_messages_win.h"
#include "app/message_box_win.h"
#include "app/process_context_win.h"
#include "support/scoped_win.h"
#include "support/settings/tuner_settings.h"
#include "support/ui_text.h"
#include "support/utf16.h"
#include "tests/ui_kit/ui_test_kit_win.h"
#include "tone/tone_window_layout.h"
#include "tone/tone_window_messages_win.h"
#include "tone/tone_window_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tonvale {
namespace {

constexpr DWORD kRate = 44100;

// The stand-in main window counts what it is served.
std::atomic<int> gReadings{0}, gTimerTicks{0}, gPaints{0};
bool gEngineRunning = false;

LRESULT CALLBACK mainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_APP:
        ++gReadings;
        return 0;
    case kMainEngineRunning:
        return gEngineRunning ? 1 : 0;
    case WM_TIMER:
        ++gTimerTicks;
        return 0;
    case WM_PAINT: {
        PaintDC paint(window);
        ++gPaints;
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Records the sink's monitor (the default wave-in device) while pumping
// this thread's messages, so the tone window's timer runs meanwhile.
class MonitorRecording {
  public:
    MonitorRecording() {
        WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, kRate, kRate * 2, 2, 16, 0};
        event_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (waveInOpen(device_.receive(), WAVE_MAPPER, &format,
                       reinterpret_cast<DWORD_PTR>(event_.get()), 0,
                       CALLBACK_EVENT) != MMSYSERR_NOERROR) {
            return;
        }
        for (size_t i = 0; i < kBuffers; ++i) {
            memory_[i].resize(kBufferSamples);
            headers_[i].lpData = reinterpret_cast<LPSTR>(memory_[i].data());
            headers_[i].dwBufferLength = kBufferSamples * 2;
            waveInPrepareHeader(device_.get(), &headers_[i], sizeof(WAVEHDR));
            waveInAddBuffer(device_.get(), &headers_[i], sizeof(WAVEHDR));
        }
        waveInStart(device_.get());
    }
    ~MonitorRecording() {
        waveInReset(device_.get());
        for (WAVEHDR& header : headers_) {
            waveInUnprepareHeader(device_.get(), &header, sizeof header);
        }
    }
    bool open() const { return static_cast<bool>(device_); }

    // Records for ms more milliseconds; returns everything recorded so far.
    // What the device captured before the call counts as before.
    const std::vector<int16_t>& recordFor(DWORD ms) {
        collect();
        const size_t wanted = samples_.size() + static_cast<size_t>(ms) * kRate / 1000;
        uikit::waitUntil(
            [&] {
                collect();
                return samples_.size() >= wanted;
            },
            ms + 3000);
        return samples_;
    }
    size_t size() {
        collect();
        return samples_.size();
    }
    const std::vector<int16_t>& samples() const { return samples_; }

  private:
    static constexpr size_t kBuffers = 40;         // 2 s: a slow moment of the pump loses nothing
    static constexpr size_t kBufferSamples = 2205; // 50 ms

    void collect() {
        while (headers_[next_].dwFlags & WHDR_DONE) {
            WAVEHDR& header = headers_[next_];
            const auto* data = reinterpret_cast<const int16_t*>(header.lpData);
            samples_.insert(samples_.end(), data, data + header.dwBytesRecorded / 2);
            header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
            waveInAddBuffer(device_.get(), &header, sizeof header);
            next_ = (next_ + 1) % kBuffers;
        }
    }

    WaveInHandle device_;
    UniqueHandle event_;
    std::vector<int16_t> memory_[kBuffers];
    WAVEHDR headers_[kBuffers] = {};
    size_t next_ = 0;
    std::vector<int16_t> samples_;
};

struct Sound {
    int peak = 0;
    double frequencyHz = 0.0;
};

// Peak and frequency of samples [from, to). The frequency comes from the
// median period between rising zero crossings, which a short gap left by an
// underrun of the sound server does not move.
Sound measure(const std::vector<int16_t>& samples, size_t from, size_t to) {
    Sound sound;
    std::vector<double> periods;
    double previous = -1.0;
    for (size_t k = from + 1; k < std::min(to, samples.size()); ++k) {
        sound.peak = std::max(sound.peak, std::abs(static_cast<int>(samples[k])));
        if (samples[k - 1] < 0 && samples[k] >= 0) {
            const double at = static_cast<double>(k - 1) +
                              -samples[k - 1] / static_cast<double>(samples[k] - samples[k - 1]);
            if (previous >= 0.0) {
                periods.push_back(at - previous);
            }
            previous = at;
        }
    }
    if (!periods.empty()) {
        std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
        sound.frequencyHz = kRate / periods[periods.size() / 2];
    }
    return sound;
}

// The last `ms` milliseconds of a recording.
Sound tail(const std::vector<int16_t>& samples, DWORD ms) {
    const size_t span = static_cast<size_t>(ms) * kRate / 1000;
    return measure(samples, samples.size() > span ? samples.size() - span : 0, samples.size());
}

// Records for at least ms more milliseconds, then on until the last spanMs
// sound as `heard` expects or 4 s more have passed: on a busy machine the
// sound server delivers late. Returns the last spanMs.
Sound recordUntilHeard(MonitorRecording& recording, DWORD ms, DWORD spanMs,
                       const std::function<bool(const Sound&)>& heard) {
    Sound last = tail(recording.recordFor(ms), spanMs);
    const DWORD start = GetTickCount();
    while (!heard(last) && GetTickCount() - start < 4000) {
        last = tail(recording.recordFor(50), spanMs);
    }
    return last;
}

// Whether the sound that ends a recording at `level` stops short rather
// than fading: 10 ms before it goes quiet it is still above half its level.
bool endsWithACut(const std::vector<int16_t>& samples, int level) {
    size_t end = samples.size();
    while (end > 0 && std::abs(static_cast<int>(samples[end - 1])) < level / 20) {
        --end;
    }
    const size_t span = kRate / 100;
    return end > span && measure(samples, end - span, end).peak > level / 2;
}

// Sounding and silent stretches of a recording, 10 ms at a time; a silence
// shorter than 300 ms is an underrun of the sound server, not a pause.
std::vector<std::pair<bool, double>> stretches(const std::vector<int16_t>& samples) {
    constexpr size_t kStep = kRate / 100;
    std::vector<std::pair<bool, double>> result; // (sounding, seconds)
    for (size_t at = 0; at + kStep <= samples.size(); at += kStep) {
        const bool sounding = measure(samples, at, at + kStep).peak > 1000;
        if (result.empty() || result.back().first != sounding) {
            result.emplace_back(sounding, 0.0);
        }
        result.back().second += 0.01;
    }
    for (size_t i = 1; i + 1 < result.size(); ++i) {
        if (!result[i].first && result[i].second < 0.3) {
            result[i - 1].second += result[i].second + result[i + 1].second;
            result.erase(result.begin() + static_cast<std::ptrdiff_t>(i),
                         result.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            --i;
        }
    }
    return result;
}

class ToneWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gTunerSettings = TunerSettings();
        gEngineRunning = false;
    }
    void TearDown() override {
        if (gProcess.toneWindow) {
            SendMessageW(gProcess.toneWindow, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(gProcess.toneWindow, nullptr);
    }

    HWND open() {
        openToneWindow(true);
        tone = gProcess.toneWindow;
        EXPECT_NE(tone, nullptr);
        uikit::waitUntil([&] { return IsWindowVisible(tone) != FALSE; });
        return tone;
    }
    HWND item(int id) const { return GetDlgItem(tone, id); }
    void click(int id) const { SendMessageW(item(id), BM_CLICK, 0, 0); }
    bool checked(int id) const { return IsDlgButtonChecked(tone, id) == BST_CHECKED; }
    std::wstring text(int id) const { return uikit::windowText(item(id)); }
    void slide(int position) const {
        SendMessageW(item(kGainSliderId), TBM_SETPOS, TRUE, position);
        SendMessageW(tone, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                     reinterpret_cast<LPARAM>(item(kGainSliderId)));
    }
    RECT windowRect(HWND window) const {
        RECT rect = {};
        GetWindowRect(window, &rect);
        return rect;
    }

    HWND tone = nullptr;
};

TEST_F(ToneWindowTest, DefaultStateFitsAndIsCentredOnTheMainWindow) {
    open();
    EXPECT_EQ(uikit::windowText(tone), UiText(87));
    EXPECT_EQ(GetWindow(tone, GW_OWNER), gProcess.mainWindow);
    const wchar_t* expectedNames[12] = {L"A",  L"Bb", L"B", L"C",  L"C#", L"D",
                                        L"Eb", L"E",  L"F", L"F#", L"G",  L"G#"};
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(text(kFirstNoteButtonId + k), expectedNames[k]);
        EXPECT_FALSE(checked(kFirstNoteButtonId + k));
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(text(kFirstOctaveButtonId + i), std::wstring(1, static_cast<wchar_t>(L'2' + i)));
        EXPECT_EQ(checked(kFirstOctaveButtonId + i), i == 2) << i;
    }
    EXPECT_EQ(SendMessageW(item(kGainSliderId), TBM_GETPOS, 0, 0), 10);
    EXPECT_EQ(text(kGainValueId), L"+0");
    EXPECT_FALSE(checked(kSilenceBoxId));
    EXPECT_TRUE(checked(kFirstSilenceButtonId));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(IsWindowEnabled(item(kFirstSilenceButtonId + i)));
    }
    const RECT own = windowRect(tone), main = windowRect(gProcess.mainWindow);
    EXPECT_NEAR(own.left + own.right, main.left + main.right, 2);
    EXPECT_NEAR(own.top + own.bottom, main.top + main.bottom, 2);

    const std::vector<std::wstring> clipped = uikit::clippedTexts(tone);
    EXPECT_TRUE(clipped.empty()) << wideToUtf8(clipped.empty() ? L"" : clipped[0]);
    const bool japanese = std::wstring(UiText(98)) != L"Octave:";
    uikit::captureWindow(
        tone, uikit::artefactPath(L"tone_window_test",
                                  japanese ? L"tone_window_ja.png" : L"tone_window_en.png"));
}

// A4 at the middle of the slider (-10 dB), then C without a new tone run,
// the octave above, and the release: each heard back from the sink.
TEST_F(ToneWindowTest, NoteButtonsPlayCrossFadeAndRelease) {
    MonitorRecording recording;
    ASSERT_TRUE(recording.open());
    open();
    recording.recordFor(200);
    click(kFirstNoteButtonId); // A
    ASSERT_TRUE(checked(kFirstNoteButtonId));
    const double level = 0.316228 * 32512;
    const Sound a4 = recordUntilHeard(recording, 1200, 500, [&](const Sound& s) {
        return std::abs(s.frequencyHz - 440.0) < 0.5 && std::abs(s.peak - level) < 0.02 * 32512;
    });
    EXPECT_NEAR(a4.frequencyHz, 440.0, 0.5);
    EXPECT_NEAR(a4.peak, level, 0.02 * 32512);

    const size_t switchAt = recording.size();
    click(kFirstNoteButtonId + 3); // C
    EXPECT_FALSE(checked(kFirstNoteButtonId));
    EXPECT_TRUE(checked(kFirstNoteButtonId + 3));
    const Sound c4 = recordUntilHeard(recording, 1200, 500, [](const Sound& s) {
        return std::abs(s.frequencyHz - 261.63) < 0.5;
    });
    EXPECT_NEAR(c4.frequencyHz, 261.63, 0.5);
    const std::vector<int16_t>& switched = recording.samples();
    // No pause between the notes: the run went on and the two cross-faded.
    const std::vector<int16_t> sinceSwitch(switched.begin() + static_cast<std::ptrdiff_t>(switchAt),
                                           switched.end());
    for (const auto& stretch : stretches(sinceSwitch)) {
        EXPECT_TRUE(stretch.first) << "a pause of " << stretch.second << " s";
    }

    click(kFirstOctaveButtonId + 3); // octave 5
    const Sound c5 = recordUntilHeard(recording, 1200, 500, [](const Sound& s) {
        return std::abs(s.frequencyHz - 523.25) < 1.0;
    });
    EXPECT_NEAR(c5.frequencyHz, 523.25, 1.0);

    click(kFirstNoteButtonId + 3); // released: fades out, the run ends
    EXPECT_FALSE(checked(kFirstNoteButtonId + 3));
    EXPECT_LT(
        recordUntilHeard(recording, 800, 300, [](const Sound& s) { return s.peak < 100; }).peak,
        100);
}

// With 2 s of silence the note sounds for 2 s, fades, and starts again 4 s
// after it started, as long as it stays chosen.
TEST_F(ToneWindowTest, RepeatingSilencePausesAndRestartsTheNote) {
    MonitorRecording recording;
    ASSERT_TRUE(recording.open());
    gTunerSettings.tone.pause = 2;
    open();
    EXPECT_TRUE(checked(kSilenceBoxId));
    click(kFirstNoteButtonId);
    const auto heard = stretches(recording.recordFor(6000));
    click(kFirstNoteButtonId);
    std::string seen;
    for (const auto& stretch : heard) {
        seen += (stretch.first ? " sound " : " silence ") + std::to_string(stretch.second);
    }
    // A pause between two soundings; no sounding longer than two seconds.
    // (The monitor may deliver its first moments late, so the recording can
    // begin inside the first sounding.)
    SCOPED_TRACE(seen);
    bool paused = false;
    for (size_t i = 1; i + 1 < heard.size(); ++i) {
        if (!heard[i].first && !paused) {
            paused = true;
            EXPECT_NEAR(heard[i].second, 1.95, 0.4);
            if (i + 2 < heard.size()) {
                EXPECT_NEAR(heard[i + 1].second, 2.05, 0.4);
            }
        }
    }
    EXPECT_TRUE(paused);
    for (const auto& stretch : heard) {
        EXPECT_TRUE(!stretch.first || stretch.second < 2.45);
    }
}

TEST_F(ToneWindowTest, NextOctavesWrapAndKeepTheOctaveInView) {
    gTunerSettings.tone.octaveVisible = 4;
    gTunerSettings.tone.octave = 8;
    open();
    EXPECT_TRUE(checked(kFirstOctaveButtonId + 4));
    click(kNextOctavesButtonId);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(text(kFirstOctaveButtonId + i), std::wstring(1, static_cast<wchar_t>(L'0' + i)));
        EXPECT_EQ(checked(kFirstOctaveButtonId + i), i == 4) << i;
    }
    click(kNextOctavesButtonId);
    EXPECT_EQ(text(kFirstOctaveButtonId), L"1");
    EXPECT_TRUE(checked(kFirstOctaveButtonId + 3)) << "octave 4 kept";
}

// Closing while a note sounds stops it at once and keeps what was chosen;
// the next window opens where this one was, as it was left.
TEST_F(ToneWindowTest, ClosingStopsAtOnceAndKeepsTheChoices) {
    MonitorRecording recording;
    ASSERT_TRUE(recording.open());
    open();
    SetWindowPos(tone, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    click(kNextOctavesButtonId); // digits 3 ... 7, octave 4 kept
    slide(14);
    EXPECT_EQ(text(kGainValueId), L"+4");
    recording.recordFor(200);
    click(kFirstNoteButtonId + 7);                        // E, sounding until stopped
    const int level = static_cast<int>(0.501187 * 32512); // -6 dB
    const Sound e4 = recordUntilHeard(recording, 1000, 300, [&](const Sound& s) {
        return std::abs(s.peak - level) < 0.02 * 32512;
    });
    EXPECT_NEAR(e4.peak, level, 0.02 * 32512);

    SendMessageW(tone, WM_COMMAND, IDCANCEL, 0); // Esc
    EXPECT_EQ(gProcess.toneWindow, nullptr);
    EXPECT_FALSE(IsWindow(tone));
    // The queued sound is dropped: the tone stops short instead of fading.
    EXPECT_LT(
        recordUntilHeard(recording, 300, 250, [](const Sound& s) { return s.peak < 100; }).peak,
        100)
        << "still sounding after the window closed";
    EXPECT_TRUE(endsWithACut(recording.samples(), level)) << "faded out instead of stopping";

    const ToneSettings& kept = gTunerSettings.tone;
    const RECT main = windowRect(gProcess.mainWindow);
    EXPECT_EQ(kept.windowPosition.x, 40 - main.left);
    EXPECT_EQ(kept.windowPosition.y, 30 - main.top);
    EXPECT_EQ(kept.octaveVisible, 3);
    EXPECT_EQ(kept.octave, 4);
    EXPECT_EQ(kept.dBGain, -6);
    EXPECT_EQ(kept.pause, -2) << "off, its seconds kept";

    open();
    const RECT reopened = windowRect(tone);
    EXPECT_EQ(reopened.left, 40);
    EXPECT_EQ(reopened.top, 30);
    EXPECT_EQ(text(kFirstOctaveButtonId), L"3");
    EXPECT_TRUE(checked(kFirstOctaveButtonId + 1));
    EXPECT_EQ(text(kGainValueId), L"+4");
    click(kSilenceBoxId);
    click(kFirstSilenceButtonId + 2); // 4 seconds
    SendMessageW(tone, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(kept.pause, 4);

    open();
    EXPECT_TRUE(checked(kSilenceBoxId));
    EXPECT_TRUE(checked(kFirstSilenceButtonId + 2));
    EXPECT_TRUE(IsWindowEnabled(item(kFirstSilenceButtonId)));
}

TEST_F(ToneWindowTest, SavedPlaceOffTheScreenIsPulledIntoTheWorkArea) {
    gTunerSettings.tone.windowPosition = {5000, -5000};
    open();
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT own = windowRect(tone);
    EXPECT_EQ(own.right, work.right);
    EXPECT_EQ(own.top, work.top);
}

// The fade-out stop waits for the thread, and meanwhile the main window's
// readings, timers and paints are served.
TEST_F(ToneWindowTest, FadeOutWaitKeepsTheMainWindowServed) {
    open();
    click(kFirstNoteButtonId);
    uikit::waitUntil([] { return false; }, 300);
    HWND main = gProcess.mainWindow;
    SetTimer(main, 7, 10, nullptr);
    std::atomic<bool> waiting{true};
    std::thread feeder([&] {
        while (waiting) {
            PostMessageW(main, WM_APP, 0, 0);
            InvalidateRect(main, nullptr, FALSE);
            Sleep(10);
        }
    });
    uikit::waitUntil([] { return false; }, 50);
    const int readings = gReadings, ticks = gTimerTicks, paints = gPaints;
    const DWORD start = GetTickCount();
    SendMessageW(tone, kToneWindowStop, static_cast<WPARAM>(ToneWindowStop::fadeOut), 0);
    const DWORD waitedMs = GetTickCount() - start;
    const int servedReadings = gReadings - readings, servedTicks = gTimerTicks - ticks,
              servedPaints = gPaints - paints;
    waiting = false;
    feeder.join();
    KillTimer(main, 7);
    EXPECT_FALSE(checked(kFirstNoteButtonId));
    EXPECT_GE(waitedMs, 250u) << "the queued sound should play before the run ends";
    EXPECT_GT(servedReadings, 3);
    EXPECT_GT(servedTicks, 3);
    EXPECT_GT(servedPaints, 3);
}

TEST_F(ToneWindowTest, NoteNamingRenamesButtonsAndTransposesTheirPitch) {
    open();
    const std::wstring noteIni =
        utf8ToWide(std::string(TONVALE_RESOURCES_DIR) + "/tuning/note.ini");
    wcscpy(gTunerSettings.main.noteSection, L"Bb Clarinet");
    rebuildTuning(gTunerSettings, {L"", noteIni});
    ASSERT_TRUE(gTunerSettings.noteNaming.has_value());
    SendMessageW(tone, kToneWindowRefresh, 0, 0);
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(text(kFirstNoteButtonId + k), gTunerSettings.displaySpelling[k]);
    }
    EXPECT_NEAR(noteFrequency(3, 4), 233.08, 0.01); // written C4 sounds Bb3

    HWND tooltip = nullptr;
    for (HWND w : uikit::findWindows(TOOLTIPS_CLASSW, nullptr)) {
        tooltip = GetWindow(w, GW_OWNER) == tone ? w : tooltip;
    }
    if (!tooltip) { // hidden tooltips are not listed as visible windows
        tooltip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    }
    ASSERT_NE(tooltip, nullptr);
    wchar_t shown[128] = {};
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = tone;
    tool.uId = reinterpret_cast<UINT_PTR>(item(kFirstNoteButtonId + 3));
    tool.lpszText = shown;
    SendMessageW(tooltip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
    wchar_t expected[128] = {};
    gTunerSettings.noteNaming->expand(1, gTunerSettings.noteNaming->soundingIndex(3, true),
                                      expected, 128);
    EXPECT_STREQ(shown, expected);
    EXPECT_NE(expected[0], L'\0');
}

TEST_F(ToneWindowTest, ScreenSaverWaitsWhileTheEngineRuns) {
    open();
    gEngineRunning = true;
    EXPECT_EQ(SendMessageW(tone, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
}

// A playback device that cannot be opened (run without a sound server): its
// wave-out error text in an error box owned by the main window; the note is
// released and the window stays usable.
TEST_F(ToneWindowTest, DeviceThatCannotBeOpenedShowsItsErrorAndTheWindowStaysUsable) {
    open();
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::wstring boxText;
        HWND boxOwner = nullptr;
        std::thread driver([&] {
            HWND box = uikit::waitForWindow(uikit::kDialogClass, L"Tonvale", 10000);
            if (!box) {
                return;
            }
            boxOwner = GetWindow(box, GW_OWNER);
            for (HWND child : uikit::descendants(box)) {
                const std::wstring t = uikit::windowText(child);
                boxText = t.size() > boxText.size() ? t : boxText;
            }
            uikit::captureWindow(box, uikit::artefactPath(L"tone_window_test", L"error_box.png"));
            PostMessageW(GetDlgItem(box, kMessageBoxFirstButtonId), BM_CLICK, 0, 0);
        });
        click(kFirstNoteButtonId);
        uikit::waitUntil([&] { return !boxText.empty(); }, 10000);
        driver.join();
        EXPECT_EQ(boxOwner, gProcess.mainWindow);
        EXPECT_EQ(boxText.rfind(std::wstring(UiText(117)) + L"\r\n\r\n", 0) == 0 ||
                      boxText.rfind(std::wstring(UiText(117)) + L"\n\n", 0) == 0,
                  true)
            << wideToUtf8(boxText);
        EXPECT_GT(boxText.size(), wcslen(UiText(117)) + 2) << "the system's text follows";
        EXPECT_FALSE(checked(kFirstNoteButtonId));
        EXPECT_TRUE(IsWindowEnabled(tone));
    }
}

} // namespace
} // namespace tonvale

int main(int argc, char** argv) {
    using namespace tonvale;
    uikit::drawOwnFrames();
    ::testing::InitGoogleTest(&argc, argv);
    ComInitialization com(COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    chooseLanguage();
    initProcessContext(GetModuleHandleW(nullptr));
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont));
    gProcess.uiFont = font.get();
    DialogBuilder::setScreenDpi(0);

    const WNDCLASSEXW toneClass = toneWindowClass(gProcess.instance, nullptr);
    WNDCLASSEXW mainClass = {};
    mainClass.cbSize = sizeof mainClass;
    mainClass.lpfnWndProc = mainProcedure;
    mainClass.hInstance = gProcess.instance;
    mainClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    mainClass.lpszClassName = L"TonvaleTestMain";
    if (!RegisterClassExW(&toneClass) || !RegisterClassExW(&mainClass)) {
        return 1;
    }
    gProcess.mainWindow =
        CreateWindowExW(0, L"TonvaleTestMain", L"Tonvale main", WS_POPUP | WS_VISIBLE | WS_CAPTION,
                        300, 200, 420, 320, nullptr, nullptr, gProcess.instance, nullptr);
    const int result = RUN_ALL_TESTS();
    DestroyWindow(gProcess.mainWindow);
    return result;
}
