#include "app/main_window_win.h"

#include "app/about_box_win.h"
#include "app/engine_settings.h"
#include "app/main_commands.h"
#include "app/main_window_messages_win.h"
#include "app/message_box_win.h"
#include "app/process_context_win.h"
#include "app/program_version.h"
#include "app/reading_presentation.h"
#include "app/tool_launchers_win.h"
#include "app/window_placement.h"
#include "devices/device_catalogue_win.h"
#include "devices/wave_error_text_win.h"
#include "dialogs/builder/dialog_builder_win.h"
#include "engine/engine_thread_win.h"
#include "engine/pitch_reading.h"
#include "meter/meter_messages_win.h"
#include "meter/power_lamp_messages_win.h"
#include "spectrum/spectrum_messages_win.h"
#include "spectrum/spectrum_window_win.h"
#include "support/scoped_win.h"
#include "support/settings/tuner_settings.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"
#include "tone/tone_window_messages_win.h"
#include "tone/tone_window_win.h"

#include <string>

namespace tonvale {

MainWindowHooks gMainWindowHooks;

namespace {

constexpr wchar_t kCaption[] = L"Tonvale";
constexpr int kRecordingThreadFailedText = 104;
constexpr int kNoNoteCode = 0xFFF3; // note number -13 as the meter's low word
constexpr int kTuningMenu = 0;

// Texts with the device's explanation after them.
bool errorHasDetail(EngineError error) {
    return error == EngineError::openFailed || error == EngineError::deviceFailed;
}

// The meter as the reading presentation drives it: one message per call.
class MeterLink final : public MeterSink {
  public:
    void attach(HWND meter) { meter_ = meter; }

    void setNeedle(float cents) override { send(MM_SETNEEDLE, needleParam(cents)); }
    void needleRest() override { send(MM_NEEDLEREST, 0); }
    void setLamps(LampCode lamps) override { send(MM_SETLAMPS, lamps); }
    void setDigits(int32_t noteNumber, uint16_t centsCode, int32_t frequencyTenths) override {
        send(MM_SETDIGITS, digitsParam(noteNumber, centsCode), frequencyTenths);
    }
    void setLevel(uint16_t level) override { send(MM_SETLEVEL, level); }

    void blank() {
        send(MM_NEEDLEREST, 0);
        send(MM_SETDIGITS, MAKEWPARAM(kNoNoteCode, 0xFFFF), 0);
        send(MM_SETLAMPS, 0);
        send(MM_SETLEVEL, 0);
    }
    void send(UINT message, WPARAM wParam, LPARAM lParam = 0) const {
        SendMessageW(meter_, message, wParam, lParam);
    }

  private:
    HWND meter_ = nullptr;
};

struct CreationRecord {
    const MainLayout* layout;
};

class MainWindow {
  public:
    static constexpr int kSlot = GWLP_USERDATA;

    static MainWindow* attach(HWND window, const CREATESTRUCTW& create) {
        const auto* record = static_cast<const CreationRecord*>(create.lpCreateParams);
        if (!record || !record->layout)
            return nullptr;
        MainWindow* object = heapNew<MainWindow>(window, *record->layout);
        if (object)
            gProcess.mainWindow = window;
        return object;
    }
    static void detach(MainWindow* object) noexcept { heapDelete(object); }
    static LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefDlgProcW(window, message, wParam, lParam);
    }

    MainWindow(HWND window, const MainLayout& layout) : window_(window), layout_(layout) {}

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_CREATE:
            return onCreate();
        case WM_DESTROY:
            onDestroy();
            return 0;
        case WM_MOVE:
            if (IsWindowVisible(window_))
                meter_.send(MM_DROPBUFFER, 0);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE)
                meter_.send(MM_DROPBUFFER, 0);
            return defaultProcedure(window, message, wParam, lParam);
        case WM_ENABLE:
            onEnable(wParam != 0);
            return 0;
        case WM_CLOSE:
            onClose();
            return 0;
        case WM_COMMAND:
            onCommand(LOWORD(wParam));
            return 0;
        case WM_INITMENUPOPUP:
            if (HIWORD(lParam))
                return defaultProcedure(window, message, wParam, lParam);
            onInitMenu(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_SYSCOMMAND:
            // No screen saver while the tuner listens.
            if ((wParam & 0xFFF0) == SC_SCREENSAVE && engineThread_)
                return 1;
            return defaultProcedure(window, message, wParam, lParam);
        case kMainReading:
            return onReading(reinterpret_cast<PitchReading*>(wParam));
        case kMainEngineError:
            onEngineError(static_cast<EngineError>(wParam), static_cast<MMRESULT>(lParam));
            return 0;
        case kMainPressPower:
            pressPower();
            return 0;
        case kMainEngineControl:
            return onEngineControl(reinterpret_cast<HWND>(wParam));
        case kMainEngineRunning:
            return engineThread_ ? 1 : 0;
        default:
            return defaultProcedure(window, message, wParam, lParam);
        }
    }

  private:
    HWND control(int id) const { return GetDlgItem(window_, id); }
    void pressPower() const { SendMessageW(control(kPowerButtonId), BM_CLICK, 0, 0); }
    void showError(HWND owner, const wchar_t* text) const {
        TunerMessageBox(owner, text, kCaption, MB_OK | MB_ICONERROR);
    }

    LRESULT onCreate() {
        // The menu bar may wrap onto more lines than the window size allowed
        // for: make the client area as high as the layout.
        RECT client = {};
        RECT frame = {};
        GetClientRect(window_, &client);
        GetWindowRect(window_, &frame);
        const int missing = layout_.clientHeight - client.bottom;
        if (missing != 0)
            MoveWindow(window_, frame.left, frame.top, frame.right - frame.left,
                       frame.bottom - frame.top + missing, TRUE);
        HFONT font = gProcess.uiFont;
        if (!createControls(window_, kMainControls, layout_.controls, kMainControlCount, font))
            return -1;
        meter_.attach(control(kMeterId));
        meter_.send(MM_REFRESHINFO, 0);
        enableHookedCommands();
        checkLargeDisplay(GetSubMenu(GetMenu(window_), kTuningMenu));
        created_ = true;
        return 0;
    }

    // Commands whose windows the program does not have are disabled.
    void enableHookedCommands() {
        const bool settings = gMainWindowHooks.runSettingsDialog != nullptr;
        EnableWindow(control(kSettingsButtonId), settings);
        HMENU menu = GetMenu(window_);
        EnableMenuItem(menu, kCommandSettings, MF_BYCOMMAND | (settings ? MF_ENABLED : MF_GRAYED));
    }

    void onDestroy() {
        for (HWND popup : {gProcess.spectrumWindow, gProcess.toneWindow})
            if (popup)
                DestroyWindow(popup);
        stopEngine();
        if (created_)
            PostQuitMessage(0);
        gProcess.mainWindow = nullptr;
    }

    void onEnable(bool enable) {
        for (HWND popup : {gProcess.spectrumWindow, gProcess.toneWindow})
            if (popup)
                EnableWindow(popup, enable);
    }

    void onClose() {
        MainSettings& settings = gTunerSettings.main;
        if (gTunerSettings.rememberMainWindowPosition && !IsIconic(window_)) {
            RECT frame = {};
            GetWindowRect(window_, &frame);
            settings.windowPosition = {frame.left, frame.top};
        }
        settings.popupFlags = 0;
        if (gProcess.spectrumWindow) {
            settings.popupFlags |= 1;
            SendMessageW(gProcess.spectrumWindow, WM_CLOSE, 0, 0);
        }
        if (gProcess.toneWindow) {
            settings.popupFlags |= 2;
            SendMessageW(gProcess.toneWindow, WM_CLOSE, 0, 0);
        }
        releaseVolumeControl();
        DestroyWindow(window_);
    }

    void onCommand(UINT id) {
        switch (id) {
        case kCommandPower:
            if (engineThread_ && !client_)
                powerOff();
            else
                powerOn();
            break;
        case kCommandSettings:
            runSettings();
            break;
        case kCommandReferenceTone:
            openReferenceTone();
            break;
        case kCommandSpectrum:
            // A lent engine's readings never reach the spectrum window.
            spectrumCommand(client_ ? nullptr : engineThread_, client_ ? 0 : engineThreadId_);
            break;
        case kCommandExit:
            SendMessageW(window_, WM_CLOSE, 0, 0);
            break;
        case kCommandAbout:
            ShowWindow(window_, SW_RESTORE);
            showAboutBox(window_);
            break;
        case kCommandLargeDisplay:
            toggleLargeDisplay();
            break;
        case kCommandVolumeControl:
            launchVolumeControl(
                window_, findDevice(DeviceDirection::capture, gTunerSettings.main.inDeviceName));
            break;
        case kCommandReadMe:
            openReadMe(window_);
            break;
        case kCommandSettingsFolder:
            openSettingsFolder(window_);
            break;
        default:
            break;
        }
    }

    void onInitMenu(HMENU menu) {
        if (menu == GetSubMenu(GetMenu(window_), kTuningMenu))
            checkLargeDisplay(menu);
    }

    // The check mark follows the setting from the start, so that the
    // command toggles the size whatever opened it.
    static void checkLargeDisplay(HMENU tuning) {
        CheckMenuItem(tuning, kCommandLargeDisplay,
                      MF_BYCOMMAND | (gTunerSettings.main.largeSize ? MF_CHECKED : MF_UNCHECKED));
    }

    // Engine run ------------------------------------------------------------

    // Starts the engine for the main window (client null) or for a window
    // that borrows it. Refused while an engine runs or a borrower is
    // registered.
    bool startEngineFor(HWND client) {
        if (engineThread_ || client_)
            return false;
        EngineStart start;
        start.window = window_;
        start.channels = gTunerSettings.main.inDeviceChannels;
        if (client) {
            SendMessageW(client, kBorrowerFillParams, reinterpret_cast<WPARAM>(&start.params), 0);
        } else {
            const int32_t device =
                findDevice(DeviceDirection::capture, gTunerSettings.main.inDeviceName);
            start.params =
                engineParamsFromSettings(gTunerSettings.main, device,
                                         gTunerSettings.main.deviceSampleRate
                                             ? 0
                                             : defaultSampleRate(DeviceDirection::capture, device));
        }
        unsigned threadId = 0;
        HANDLE thread = startEngine(start, &threadId);
        if (!thread)
            return false;
        engineThread_ = thread;
        engineThreadId_ = threadId;
        client_ = client;
        return true;
    }

    void stopEngine() {
        if (engineThread_) {
            tonvale::stopEngine(engineThread_, engineThreadId_, window_);
            engineThread_ = nullptr;
            engineThreadId_ = 0;
        }
        client_ = nullptr;
    }

    void powerOn() {
        if (!startEngineFor(nullptr)) {
            showError(window_, UiText(kRecordingThreadFailedText));
            return;
        }
        const MainSettings& settings = gTunerSettings.main;
        presentation_.reset(settings.frequencyOfA4, settings.halfToneShift);
        SendMessageW(control(kPowerLampId), PLM_SETPOWER, 1, 0);
        meter_.send(MM_POWER, 1);
        meter_.blank();
        if (gProcess.spectrumWindow)
            SendMessageW(gProcess.spectrumWindow, kSpectrumEngineStarted,
                         reinterpret_cast<WPARAM>(engineThread_),
                         static_cast<LPARAM>(engineThreadId_));
    }

    void powerOff() {
        if (gProcess.spectrumWindow)
            SendMessageW(gProcess.spectrumWindow, kSpectrumEngineStopped, 0, 0);
        stopEngine();
        meter_.blank();
        meter_.send(MM_POWER, 0);
        SendMessageW(control(kPowerLampId), PLM_SETPOWER, 0, 0);
    }

    LRESULT onReading(PitchReading* reading) {
        if (client_) {
            SendMessageW(client_, kBorrowerReading, reinterpret_cast<WPARAM>(reading), 0);
            return 0;
        }
        // After a stop the record is gone with its engine.
        if (!engineThread_ || !reading)
            return 0;
        const MainSettings& settings = gTunerSettings.main;
        PresentationRules rules;
        rules.thresholdDb = settings.dBInputThreshold;
        rules.inTuneRangeCents = settings.inTuneRange;
        rules.temperament = gTunerSettings.temperament ? &*gTunerSettings.temperament : nullptr;
        presentation_.present({reading->frequency, reading->level, reading->sequence}, rules,
                              meter_);
        if (gProcess.spectrumWindow)
            SendMessageW(gProcess.spectrumWindow, kSpectrumReading,
                         reinterpret_cast<WPARAM>(reading), 0);
        reading->busy.store(0, std::memory_order_release);
        return 0;
    }

    void onEngineError(EngineError error, MMRESULT detail) {
        HWND owner = window_;
        if (client_) {
            SendMessageW(client_, kBorrowerEngineFailed, 0, 0);
            if (IsWindow(client_))
                owner = client_;
        } else if (engineThread_) {
            pressPower();
        }
        const int text = engineErrorText(error);
        if (!text)
            return;
        const std::wstring message =
            errorHasDetail(error) ? waveInErrorText(UiText(text), detail) : UiText(text);
        showError(owner, message.c_str());
    }

    LRESULT onEngineControl(HWND client) {
        if (!client) {
            stopEngine();
            return 1;
        }
        if (startEngineFor(client))
            return 1;
        showError(client, UiText(kRecordingThreadFailedText));
        return 0;
    }

    // Commands ---------------------------------------------------------------

    void openReferenceTone() {
        if (gProcess.toneWindow) {
            ShowWindow(window_, SW_RESTORE);
            SetActiveWindow(gProcess.toneWindow);
        } else {
            openToneWindow(true);
        }
    }

    // The engine restarts with the new settings when it ran.
    void runSettings() {
        if (!gMainWindowHooks.runSettingsDialog)
            return;
        const bool wasRunning = engineThread_ && !client_;
        if (wasRunning)
            pressPower();
        // The device and the tuning may change under the tone.
        if (gProcess.toneWindow)
            SendMessageW(gProcess.toneWindow, kToneWindowStop,
                         static_cast<WPARAM>(ToneWindowStop::atOnce), 0);
        if (gMainWindowHooks.runSettingsDialog(window_)) {
            meter_.send(MM_REFRESHINFO, 0);
            if (gProcess.toneWindow)
                SendMessageW(gProcess.toneWindow, kToneWindowRefresh, 0, 0);
        }
        if (wasRunning)
            pressPower();
    }

    void toggleLargeDisplay() {
        const UINT state = GetMenuState(GetMenu(window_), kCommandLargeDisplay, MF_BYCOMMAND);
        const bool large = !(state != static_cast<UINT>(-1) && (state & MF_CHECKED));
        if (large == gTunerSettings.main.largeSize)
            return;
        gTunerSettings.main.largeSize = large;
        checkLargeDisplay(GetSubMenu(GetMenu(window_), kTuningMenu));
        relayout(large);
        meter_.send(MM_SETLARGE, large ? 1 : 0);
    }

    void relayout(bool large) {
        MainLayout layout;
        if (!buildMainLayout(large, gProcess.uiFont, layout))
            return;
        layout_ = layout;
        for (int i = 0; i < kMainControlCount; ++i) {
            const LayoutRect& r = layout.controls[i];
            MoveWindow(control(kMainControls[i].id), r.x, r.y, r.width, r.height, TRUE);
        }
        const SIZE size = mainWindowSize(layout);
        RECT frame = {};
        GetWindowRect(window_, &frame);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        const Placement placed = placeInWorkArea({frame.left, frame.top}, size.cx, size.cy,
                                                 {work.left, work.top, work.right, work.bottom});
        MoveWindow(window_, placed.x, placed.y, size.cx, size.cy, TRUE);
        RECT client = {};
        GetClientRect(window_, &client);
        if (client.bottom < layout.clientHeight)
            MoveWindow(window_, placed.x, placed.y, size.cx,
                       size.cy + layout.clientHeight - client.bottom, TRUE);
    }

    HWND window_;
    MainLayout layout_;
    bool created_ = false;
    MeterLink meter_;
    ReadingPresentation presentation_;
    // The engine run: the thread while an engine runs (also after it
    // failed, until stopped), and the window it is lent to.
    HANDLE engineThread_ = nullptr;
    unsigned engineThreadId_ = 0;
    HWND client_ = nullptr;
};

} // namespace

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return windowProcedure<MainWindow>(window, message, wParam, lParam);
}

SIZE mainWindowSize(const MainLayout& layout) {
    RECT frame = {0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRectEx(&frame, kMainWindowStyle, TRUE, 0);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

HWND createMainWindow(const MainLayout& layout, int x, int y, int width, int height, HMENU menu) {
    CreationRecord record = {&layout};
    return CreateWindowExW(0, kSingleInstanceName, kCaption, kMainWindowStyle, x, y, width, height,
                           nullptr, menu, gProcess.instance, &record);
}

} // namespace tonvale
