#include "tools/analyzer/live_analysis.h"

#include "app/note_reading.h"
#include "devices/device_catalogue_win.h"
#include "devices/wave_error_text_win.h"
#include "engine/engine_messages_win.h"
#include "engine/engine_thread_win.h"
#include "engine/pitch_reading.h"
#include "engine/sine_table.h"
#include "support/scoped_win.h"
#include "support/ui_text.h"
#include "support/utf16.h"
#include "tools/analyzer/analyzer.h"
#include "tools/analyzer/reading_table.h"

#include <cstdio>

namespace tonvale {
namespace {

constexpr char kProgram[] = "tonvale-analyze";
constexpr int kCannotStartText = 104; // "Failed to create the recording thread."

// Set by the console's Ctrl+C or Ctrl+Break, on a thread of the console.
HANDLE gInterrupted = nullptr;

BOOL WINAPI onConsoleControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        SetEvent(gInterrupted);
        return TRUE;
    }
    return FALSE;
}

class ConsoleInterrupt {
  public:
    ConsoleInterrupt() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        gInterrupted = event_.get();
        SetConsoleCtrlHandler(onConsoleControl, TRUE);
    }
    ~ConsoleInterrupt() {
        SetConsoleCtrlHandler(onConsoleControl, FALSE);
        gInterrupted = nullptr;
    }
    ConsoleInterrupt(const ConsoleInterrupt&) = delete;
    ConsoleInterrupt& operator=(const ConsoleInterrupt&) = delete;
    HANDLE event() const { return event_.get(); }

  private:
    UniqueHandle event_;
};

class MessageOnlyWindow {
  public:
    MessageOnlyWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr)) {}
    ~MessageOnlyWindow() {
        if (window_) {
            DestroyWindow(window_);
        }
    }
    MessageOnlyWindow(const MessageOnlyWindow&) = delete;
    MessageOnlyWindow& operator=(const MessageOnlyWindow&) = delete;
    HWND get() const { return window_; }

  private:
    HWND window_;
};

bool isIndex(const std::string& text) {
    size_t digits = text.size() > 1 && text[0] == '-' ? 1 : 0;
    for (; digits < text.size(); ++digits) {
        if (text[digits] < '0' || text[digits] > '9') {
            return false;
        }
    }
    return !text.empty();
}

// A stored key (as the tuner keeps it) or a name from the device list.
bool resolveDevice(const std::string& text, int32_t& index, std::string& error) {
    index = -1;
    if (text.empty()) {
        return true;
    }
    if (isIndex(text)) {
        // An index out of range is left for the device to refuse.
        if (!parseWholeNumber(text, -1, 9999, index)) {
            error = "--device takes an index from -1 to 9999";
            return false;
        }
        return true;
    }
    const std::wstring wanted = utf8ToWide(text);
    index = findDevice(DeviceDirection::capture, wanted.c_str());
    if (index >= 0) {
        return true;
    }
    for (const SoundDevice& device : deviceList(DeviceDirection::capture)) {
        if (device.index >= 0 && lstrcmpiW(device.name, wanted.c_str()) == 0) {
            index = device.index;
            return true;
        }
    }
    error = "no capture device '" + text + "' (see --list-devices)";
    return false;
}

double secondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER frequency = {};
    LARGE_INTEGER now = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double threadProcessorSeconds(HANDLE thread) {
    FILETIME created = {};
    FILETIME exited = {};
    FILETIME kernel = {};
    FILETIME user = {};
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
        return 0.0;
    }
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) * 1e-7; // 100 ns units
}

struct LiveRun {
    size_t readings = 0;
    EngineError error = EngineError::none;
    MMRESULT result = MMSYSERR_NOERROR;
    double seconds = 0.0;
    double engineSeconds = 0.0;
};

// Prints the readings the engine posts to `window` (the header before the
// first) until the time is up, an error arrives or the user interrupts.
void serveReadings(HWND window, HANDLE thread, double limitSeconds, HANDLE interrupted,
                   ReadingTable& table, std::ostream& out, LiveRun& run) {
    LARGE_INTEGER start = {};
    QueryPerformanceCounter(&start);
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, window, kEngineReading, kEngineError, PM_REMOVE)) {
            if (message.message == kEngineError) {
                run.error = static_cast<EngineError>(message.wParam);
                run.result = static_cast<MMRESULT>(message.lParam);
            } else if (message.message == kEngineReading) {
                if (run.readings == 0) {
                    table.printHeader();
                }
                auto* reading = reinterpret_cast<PitchReading*>(message.wParam);
                table.printLine(static_cast<size_t>(reading->sequence), secondsSince(start),
                                reading->level, reading->frequency);
                reading->busy.store(0, std::memory_order_release);
                ++run.readings;
            }
        }
        out.flush();
        run.seconds = secondsSince(start);
        if (run.error != EngineError::none || run.seconds >= limitSeconds) {
            break;
        }
        const auto waitMs = static_cast<DWORD>((limitSeconds - run.seconds) * 1000.0) + 1;
        if (MsgWaitForMultipleObjects(1, &interrupted, FALSE, waitMs, QS_POSTMESSAGE) ==
            WAIT_OBJECT_0) {
            run.seconds = secondsSince(start);
            break;
        }
    }
    run.engineSeconds = threadProcessorSeconds(thread);
}

} // namespace

int runDeviceList(std::ostream& out, std::ostream& err) {
    ComInitialization com(COINIT_APARTMENTTHREADED);
    loadTable(kEnglishTable);
    out << "index\tkey\tname\tdefault_rate_hz\n";
    for (const SoundDevice& device : deviceList(DeviceDirection::capture)) {
        out << device.index << '\t' << (device.key[0] ? wideToUtf8(device.key) : "-") << '\t'
            << wideToUtf8(device.name) << '\t'
            << defaultSampleRate(DeviceDirection::capture, device.index) << '\n';
    }
    out.flush();
    if (!out) {
        err << kProgram << ": cannot write the list\n";
        return kAnalyzerFailed;
    }
    return kAnalyzerOk;
}

int runLiveAnalysis(const AnalyzerOptions& options, const AnalyzerTuning& tuning, std::ostream& out,
                    std::ostream& err) {
    ComInitialization com(COINIT_APARTMENTTHREADED);
    loadTable(kEnglishTable);
    EngineStart start;
    std::string error;
    if (!resolveDevice(options.device, start.params.deviceId, error)) {
        err << kProgram << ": " << error << '\n';
        return kAnalyzerBadInput;
    }
    const uint32_t rate = options.rateHz > 0
                              ? static_cast<uint32_t>(options.rateHz)
                              : defaultSampleRate(DeviceDirection::capture, start.params.deviceId);
    const int32_t deviceId = start.params.deviceId;
    start.params = engineParamsFor(options, rate);
    start.params.deviceId = deviceId;
    start.channels = static_cast<int16_t>(options.channels);
    fillSineTable();
    MessageOnlyWindow window;
    ConsoleInterrupt interrupt;
    start.window = window.get();
    unsigned threadId = 0;
    HANDLE thread = startEngine(start, &threadId);
    if (!thread) {
        err << kProgram << ": " << wideToUtf8(UiText(kCannotStartText)) << '\n';
        return kAnalyzerFailed;
    }
    ReadingTable table(tuning, referenceFrequency(options.a4Hz, options.semitoneShift),
                       options.decimals, out);
    LiveRun run;
    serveReadings(window.get(), thread, options.liveSeconds, interrupt.event(), table, out, run);
    stopEngine(thread, threadId, window.get());
    if (run.error != EngineError::none) {
        const std::wstring text = waveInErrorText(UiText(engineErrorText(run.error)), run.result);
        err << kProgram << ": " << wideToUtf8(text) << '\n';
        return run.error == EngineError::outOfMemory ? kAnalyzerFailed : kAnalyzerBadInput;
    }
    if (run.readings == 0) {
        table.printHeader();
    }
    table.printSummary(run.readings);
    char usage[160];
    std::snprintf(usage, sizeof usage,
                  "engine: %.3f s of processor time in %.1f s (%.2f %% of one core) at %u Hz, "
                  "%d channel%s\n",
                  run.engineSeconds, run.seconds,
                  run.seconds > 0.0 ? 100.0 * run.engineSeconds / run.seconds : 0.0, rate,
                  options.channels, options.channels == 1 ? "" : "s");
    out << usage;
    out.flush();
    return out ? kAnalyzerOk : kAnalyzerFailed;
}

} // namespace tonvale
