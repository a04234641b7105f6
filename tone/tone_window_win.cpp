#include "tone/tone_window_win.h"

#include <commctrl.h>
#include <mmsystem.h>

#include "app/main_window_messages_win.h"
#include "app/message_box_win.h"
#include "app/process_context_win.h"
#include "devices/device_catalogue_win.h"
#include "devices/wave_error_text_win.h"
#include "dialogs/builder/dialog_builder_win.h"
#include "support/scoped_win.h"
#include "support/settings/tuner_settings.h"
#include "support/text_format.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"
#include "tone/tone_console.h"
#include "tone/tone_thread_win.h"
#include "tone/tone_window_layout.h"
#include "tone/tone_window_messages_win.h"

#include <string>

namespace tonvale {
namespace {

constexpr int kTextTitle = 87, kTextOctave = 98, kTextGain = 99, kTextSilence = 100;
constexpr int kTextSeconds = 101, kTextNoMemory = 103, kTextNoThread = 105;
constexpr int kTextCannotOpen = 117, kTextPlaybackError = 118;
constexpr int kTextNext = 154, kTextMinus = 155, kTextPlus = 156, kTextDecibels = 157;
constexpr int kTextTwo = 160;
constexpr const wchar_t kErrorCaption[] = L"Tonvale";

constexpr UINT_PTR kSilenceTimer = 1;
constexpr UINT kSilenceTimerMs = 50;
constexpr uint16_t kStaticId = 0xFFFF;
constexpr size_t kTooltipChars = 128;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kNoteStyle = kChild | BS_AUTOCHECKBOX | BS_PUSHLIKE;
constexpr DWORD kLabelStyle = kChild | WS_GROUP | SS_LEFTNOWORDWRAP;
constexpr DWORD kRadioStyle = kChild | BS_AUTORADIOBUTTON;
constexpr DWORD kFirstOfGroup = WS_GROUP | WS_TABSTOP;

uint16_t noteIdAt(int i) {
    return static_cast<uint16_t>(kFirstNoteButtonId + notePitchClassAt(i));
}

// In the order of ToneControl.
const DialogControl kControls[kToneControlCount] = {
    {L"Button", kNoText, noteIdAt(0), 0, kNoteStyle | kFirstOfGroup},
    {L"Button", kNoText, noteIdAt(1), 0, kNoteStyle},
    {L"Button", kNoText, noteIdAt(2), 0, kNoteStyle},
    {L"Button", kNoText, noteIdAt(3), 0, kNoteStyle},
    {L"Button", kNoText, noteIdAt(4), 0, kNoteStyle},
    {L"Button", kNoText, noteIdAt(5), 0, kNoteStyle},
    {L"Button", kNoText, noteIdAt(6), 0, kNoteStyle},
    {L"Button", kNoText, noteIdAt(7), 0, kNoteStyle},
    {L"Button", kNoText, noteIdAt(8), 0, kNoteStyle},
    {L"Button", kNoText, noteIdAt(9), 0, kNoteStyle},
    {L"Button", kNoText, noteIdAt(10), 0, kNoteStyle},
    {L"Button", kNoText, noteIdAt(11), 0, kNoteStyle},
    {L"Static", kTextOctave, kStaticId, 0, kLabelStyle},
    {L"Static", kNoText, kStaticId, 0, kChild | SS_ETCHEDVERT},
    {L"Button", kNoText, kFirstOctaveButtonId, 0, kRadioStyle | kFirstOfGroup},
    {L"Button", kNoText, kFirstOctaveButtonId + 1, 0, kRadioStyle},
    {L"Button", kNoText, kFirstOctaveButtonId + 2, 0, kRadioStyle},
    {L"Button", kNoText, kFirstOctaveButtonId + 3, 0, kRadioStyle},
    {L"Button", kNoText, kFirstOctaveButtonId + 4, 0, kRadioStyle},
    {L"Button", kTextNext, kNextOctavesButtonId, 0, kChild | BS_PUSHBUTTON | kFirstOfGroup},
    {L"Static", kNoText, kStaticId, 0, kLabelStyle | SS_SUNKEN},
    {L"Static", kTextMinus, kStaticId, 0, kLabelStyle},
    {L"Static", kTextPlus, kStaticId, 0, kLabelStyle},
    {L"Static", kTextGain, kStaticId, 0, kLabelStyle},
    {TRACKBAR_CLASSW, kNoText, kGainSliderId, 0,
     kChild | WS_TABSTOP | TBS_AUTOTICKS | TBS_DOWNISLEFT},
    {L"Static", kNoText, kGainValueId, 0,
     kChild | SS_SUNKEN | SS_CENTERIMAGE | SS_NOPREFIX | SS_CENTER},
    {L"Static", kTextDecibels, kStaticId, 0, kChild | SS_LEFTNOWORDWRAP},
    {L"Button", kTextSilence, kSilenceBoxId, 0, kChild | BS_AUTOCHECKBOX | WS_TABSTOP},
    {L"Static", kNoText, kStaticId, 0, kChild | SS_ETCHEDVERT},
    {L"Button", kTextTwo, kFirstSilenceButtonId, 0, kRadioStyle | kFirstOfGroup},
    {L"Button", kTextTwo + 1, kFirstSilenceButtonId + 1, 0, kRadioStyle},
    {L"Button", kTextTwo + 2, kFirstSilenceButtonId + 2, 0, kRadioStyle},
    {L"Static", kTextSeconds, kStaticId, 0, kLabelStyle},
};

TonePitch currentPitch() {
    const TunerSettings& settings = gTunerSettings;
    TonePitch pitch;
    pitch.frequencyOfA4 = settings.main.frequencyOfA4;
    pitch.halfToneShift = settings.main.halfToneShift;
    pitch.namingShift = settings.noteNaming ? settings.noteNaming->shift() : 0;
    pitch.temperament = settings.temperament ? &*settings.temperament : nullptr;
    return pitch;
}

ScreenRect screenRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void showError(const wchar_t* text) {
    TunerMessageBox(gProcess.mainWindow, text, kErrorCaption, MB_ICONHAND);
}

class ToneWindow {
  public:
    static constexpr int kSlot = DWLP_USER;

    explicit ToneWindow(HWND window) : window_(window) {}

    static ToneWindow* attach(HWND window, const CREATESTRUCTW&) {
        return heapNew<ToneWindow>(window);
    }
    static void detach(ToneWindow* object) noexcept { heapDelete(object); }
    static LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefDlgProcW(window, message, wParam, lParam);
    }

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    bool onCreate();
    void onCommand(int id);
    void onNoteButton(int id);
    void onOctaveButton(int id);
    void onNextOctaves();
    void onSilenceBox();
    void onSilenceButton(int id);
    void onGainSlider();
    void onTimer();
    void stop(ToneWindowStop how);
    void onGeneratorFailed(ToneFailure code, MMRESULT detail);
    LRESULT onSysCommand(WPARAM command, LPARAM lParam);
    void onClose();
    void onDestroy();

    bool buildControls();
    void place(int clientWidth, int clientHeight);
    void labelOctaveButtons();
    void showGain();
    void enableSilenceButtons();
    void setNoteNames();
    void createTooltips();
    std::wstring tooltipText(int pitchClass) const;

    int octave() const { return firstOctave_ + octaveOffset_; }
    int chosenPitchClass() const;
    double chosenFrequency() const { return noteFrequency(chosenPitchClass(), octave()); }
    bool startRun(double frequencyHz);
    void noteAction();

    HWND window_;
    ToneRun run_;
    HWND tooltip_ = nullptr;
    int16_t gainPosition_ = 0;
    int16_t firstOctave_ = 0;
    int16_t octaveOffset_ = 0;
    int16_t silence_ = 0; // seconds; negative: off, the magnitude kept
    SilenceClock clock_;
};

LRESULT ToneWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return onCreate() ? 0 : -1;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            onCommand(LOWORD(wParam));
        }
        return 0;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(window_, kGainSliderId)) {
            onGainSlider();
        }
        return 0;
    case WM_TIMER:
        if (wParam == kSilenceTimer) {
            onTimer();
        }
        return 0;
    case kToneWindowStop:
        stop(wParam != 0 ? ToneWindowStop::atOnce : ToneWindowStop::fadeOut);
        return 0;
    case kToneWindowGeneratorFailed:
        onGeneratorFailed(static_cast<ToneFailure>(wParam), static_cast<MMRESULT>(lParam));
        return 0;
    case kToneWindowRefresh:
        setNoteNames();
        return 0;
    case WM_SYSCOMMAND:
        return onSysCommand(wParam, lParam);
    case WM_CLOSE:
        onClose();
        return 0;
    case WM_DESTROY:
        onDestroy();
        return 0;
    default:
        return defaultProcedure(window, message, wParam, lParam);
    }
}

bool ToneWindow::onCreate() {
    const ToneSettings& saved = gTunerSettings.tone;
    firstOctave_ = saved.octaveVisible;
    octaveOffset_ = static_cast<int16_t>(saved.octave - saved.octaveVisible);
    gainPosition_ = static_cast<int16_t>(saved.dBGain + kGainPositions);
    silence_ = saved.pause;
    if (!buildControls()) {
        return false;
    }
    setNoteNames();
    labelOctaveButtons();
    CheckDlgButton(window_, kFirstOctaveButtonId + octaveOffset_, BST_CHECKED);
    HWND slider = GetDlgItem(window_, kGainSliderId);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, kGainPositions));
    SendMessageW(slider, TBM_SETTICFREQ, 2, 0);
    SendMessageW(slider, TBM_SETPOS, TRUE, gainPosition_);
    showGain();
    const int silenceSeconds = silence_ < 0 ? -silence_ : silence_;
    CheckDlgButton(window_, kFirstSilenceButtonId + silenceSeconds - 2, BST_CHECKED);
    if (silence_ > 0) {
        CheckDlgButton(window_, kSilenceBoxId, BST_CHECKED);
    }
    enableSilenceButtons();
    createTooltips();
    return true;
}

bool ToneWindow::buildControls() {
    HFONT font =
        gProcess.uiFont ? gProcess.uiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LayoutDC dc(window_, font);
    if (!dc.valid()) {
        return false;
    }
    const ToneWindowLayout layout = layOutToneWindow(dc.measure());
    if (!createControls(window_, kControls, layout.controls, kToneControlCount, font)) {
        return false;
    }
    place(layout.clientWidth, layout.clientHeight);
    return true;
}

// At the saved offset from the main window, or centred on it, inside the
// work area of the monitor the window would land on.
void ToneWindow::place(int clientWidth, int clientHeight) {
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT main = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (gProcess.mainWindow) {
        GetWindowRect(gProcess.mainWindow, &main);
    }
    const WindowPosition& saved = gTunerSettings.tone.windowPosition;
    const ScreenPoint origin =
        toneWindowOrigin(screenRect(main), width, height, {saved.x, saved.y});
    const RECT wanted = {origin.x, origin.y, origin.x + width, origin.y + height};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT work = main;
    if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        work = monitor.rcWork;
    }
    const ScreenPoint at = keepInWorkArea(origin, width, height, screenRect(work));
    SetWindowPos(window_, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ToneWindow::labelOctaveButtons() {
    for (int i = 0; i < kOctaveButtons; ++i) {
        wchar_t label[4] = {};
        formatText(label, 4, L"%c", static_cast<wchar_t>(L'0' + firstOctave_ + i));
        SetDlgItemTextW(window_, kFirstOctaveButtonId + i, label);
    }
}

void ToneWindow::showGain() {
    wchar_t value[8] = {};
    formatText(value, 8, L"%+d", gainDisplayValue(gainPosition_));
    SetDlgItemTextW(window_, kGainValueId, value);
}

void ToneWindow::enableSilenceButtons() {
    for (int i = 0; i < 3; ++i) {
        EnableWindow(GetDlgItem(window_, kFirstSilenceButtonId + i), silence_ > 0);
    }
}

std::wstring ToneWindow::tooltipText(int pitchClass) const {
    wchar_t text[kTooltipChars] = {};
    if (const auto& naming = gTunerSettings.noteNaming) {
        naming->expand(1, naming->soundingIndex(pitchClass, true), text, kTooltipChars);
    }
    return text;
}

// Each note button's caption, and its tooltip: the note naming's subtitle of
// the note it sounds.
void ToneWindow::setNoteNames() {
    for (int k = 0; k < kPitchClasses; ++k) {
        HWND button = GetDlgItem(window_, kFirstNoteButtonId + k);
        SetWindowTextW(button, gTunerSettings.displaySpelling[k]);
        if (tooltip_) {
            std::wstring text = tooltipText(k);
            TTTOOLINFOW tool = {};
            tool.cbSize = TTTOOLINFOW_V1_SIZE;
            tool.hwnd = window_;
            tool.uId = reinterpret_cast<UINT_PTR>(button);
            tool.lpszText = text.data();
            SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

// A window without tooltips works all the same: a failure here is silent.
void ToneWindow::createTooltips() {
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               gProcess.instance, nullptr);
    if (!tooltip_) {
        return;
    }
    SetWindowPos(tooltip_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    for (int k = 0; k < kPitchClasses; ++k) {
        std::wstring text = tooltipText(k);
        TTTOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window_, kFirstNoteButtonId + k));
        tool.lpszText = text.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

int ToneWindow::chosenPitchClass() const {
    for (int k = 0; k < kPitchClasses; ++k) {
        if (IsDlgButtonChecked(window_, kFirstNoteButtonId + k) == BST_CHECKED) {
            return k;
        }
    }
    return kPitchClasses - 1;
}

bool ToneWindow::startRun(double frequencyHz) {
    const MainSettings& main = gTunerSettings.main;
    const int32_t device = findDevice(DeviceDirection::playback, main.outDeviceName);
    ToneParams params;
    params.deviceIndex = static_cast<uint32_t>(device); // -1 is WAVE_MAPPER
    params.sampleRate = static_cast<int32_t>(
        main.deviceSampleRate != 0 ? main.deviceSampleRate
                                   : defaultSampleRate(DeviceDirection::playback, device));
    params.clockAdjust = main.outClockAdjust;
    params.frequency = frequencyHz;
    params.gain = linearGain(gainPosition_);
    params.noticeWindow = window_;
    return startToneRun(params, run_);
}

// The note (re)starts now: the silence counts from here.
void ToneWindow::noteAction() {
    clock_.noteStart = clock_.lastTick = timeGetTime();
}

void ToneWindow::onCommand(int id) {
    if (id >= kFirstNoteButtonId && id <= kLastNoteButtonId) {
        onNoteButton(id);
    } else if (id >= kFirstOctaveButtonId && id < kFirstOctaveButtonId + kOctaveButtons) {
        onOctaveButton(id);
    } else if (id == kNextOctavesButtonId) {
        onNextOctaves();
    } else if (id == kSilenceBoxId) {
        onSilenceBox();
    } else if (id >= kFirstSilenceButtonId && id < kFirstSilenceButtonId + 3) {
        onSilenceButton(id);
    } else if (id == IDCANCEL) {
        onClose();
    }
}

void ToneWindow::onNoteButton(int id) {
    if (IsDlgButtonChecked(window_, id) != BST_CHECKED) {
        if (run_.active()) {
            SendMessageW(window_, kToneWindowStop, static_cast<WPARAM>(ToneWindowStop::fadeOut), 0);
        }
        return;
    }
    for (int other = kFirstNoteButtonId; other <= kLastNoteButtonId; ++other) {
        if (other != id) {
            CheckDlgButton(window_, other, BST_UNCHECKED);
        }
    }
    const double frequency = noteFrequency(id - kFirstNoteButtonId, octave());
    if (run_.active()) {
        postToneFrequency(run_, frequency);
    } else if (startRun(frequency)) {
        SetTimer(window_, kSilenceTimer, kSilenceTimerMs, nullptr);
    } else {
        CheckDlgButton(window_, id, BST_UNCHECKED);
        showError(UiText(kTextNoThread));
        return;
    }
    noteAction();
}

void ToneWindow::onOctaveButton(int id) {
    const int offset = id - kFirstOctaveButtonId;
    if (offset == octaveOffset_) {
        return;
    }
    octaveOffset_ = static_cast<int16_t>(offset);
    if (run_.active()) {
        postToneFrequency(run_, chosenFrequency());
        noteAction();
    }
}

void ToneWindow::onNextOctaves() {
    const int octaveBefore = octave();
    const OctaveChoice next = advanceFirstOctave({firstOctave_, octaveBefore});
    firstOctave_ = static_cast<int16_t>(next.firstOctave);
    labelOctaveButtons();
    const int offset = next.octave - next.firstOctave;
    if (offset != octaveOffset_) {
        octaveOffset_ = static_cast<int16_t>(offset);
        CheckRadioButton(window_, kFirstOctaveButtonId, kFirstOctaveButtonId + kOctaveButtons - 1,
                         kFirstOctaveButtonId + offset);
    }
    if (run_.active() && octave() != octaveBefore) {
        postToneFrequency(run_, chosenFrequency());
        noteAction();
    }
}

void ToneWindow::onGainSlider() {
    const auto position =
        static_cast<int16_t>(SendDlgItemMessageW(window_, kGainSliderId, TBM_GETPOS, 0, 0));
    if (position == gainPosition_) {
        return;
    }
    gainPosition_ = position;
    showGain();
    if (run_.active()) {
        postToneGain(run_, linearGain(gainPosition_));
    }
}

void ToneWindow::onSilenceBox() {
    if (IsDlgButtonChecked(window_, kSilenceBoxId) == BST_CHECKED) {
        if (silence_ < 0) {
            silence_ = static_cast<int16_t>(-silence_);
        }
        if (run_.active()) {
            noteAction();
        }
    } else {
        if (silence_ > 0) {
            silence_ = static_cast<int16_t>(-silence_);
        }
        if (run_.active() && inSilentPhase(clock_)) {
            postToneFrequency(run_, chosenFrequency());
            noteAction();
        }
    }
    enableSilenceButtons();
}

void ToneWindow::onSilenceButton(int id) {
    if (silence_ <= 0) {
        return;
    }
    silence_ = static_cast<int16_t>(id - kFirstSilenceButtonId + 2);
    if (run_.active() && inSilentPhase(clock_)) {
        postToneFrequency(run_, chosenFrequency());
        noteAction();
    }
}

void ToneWindow::onTimer() {
    if (silence_ <= 0 || !run_.active()) {
        return;
    }
    switch (silenceTick(clock_, silence_, timeGetTime())) {
    case SilenceAction::restartNote:
        postToneFrequency(run_, chosenFrequency());
        break;
    case SilenceAction::fadeOut:
        postToneFrequency(run_, 0.0);
        break;
    case SilenceAction::none:
        break;
    }
}

// While the tone fades out the main window's readings, timers and paints are
// served, so the meter keeps moving; input waits until the thread has ended.
void waitServingTheMainWindow(HANDLE thread) {
    constexpr int kBatch = 32; // a paint that is never validated cannot hold the wait
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE,
                                                      QS_POSTMESSAGE | QS_TIMER | QS_PAINT);
        if (woken != WAIT_OBJECT_0 + 1) {
            return;
        }
        MSG message;
        while (gProcess.mainWindow &&
               PeekMessageW(&message, gProcess.mainWindow, WM_APP, WM_APP, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        for (int i = 0;
             i < kBatch && PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE); ++i) {
            DispatchMessageW(&message);
        }
        for (int i = 0;
             i < kBatch && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
            DispatchMessageW(&message);
        }
    }
}

void ToneWindow::stop(ToneWindowStop how) {
    for (int id = kFirstNoteButtonId; id <= kLastNoteButtonId; ++id) {
        CheckDlgButton(window_, id, BST_UNCHECKED);
    }
    if (!run_.active()) {
        return;
    }
    KillTimer(window_, kSilenceTimer);
    if (how == ToneWindowStop::atOnce) {
        postToneStop(run_, ToneStop::atOnce);
        UpdateWindow(window_);
        WaitForSingleObject(run_.thread.get(), INFINITE);
    } else {
        postToneStop(run_, ToneStop::fadeOut);
        waitServingTheMainWindow(run_.thread.get());
    }
    run_.thread.reset();
    run_.threadId = 0;
}

void ToneWindow::onGeneratorFailed(ToneFailure code, MMRESULT detail) {
    if (run_.active()) {
        stop(ToneWindowStop::fadeOut);
    }
    switch (code) {
    case ToneFailure::cannotOpen:
        showError(waveOutErrorText(UiText(kTextCannotOpen), detail).c_str());
        break;
    case ToneFailure::bufferFailed:
        showError(waveOutErrorText(UiText(kTextPlaybackError), detail).c_str());
        break;
    case ToneFailure::outOfMemory:
        showError(UiText(kTextNoMemory));
        break;
    }
}

LRESULT ToneWindow::onSysCommand(WPARAM command, LPARAM lParam) {
    if ((command & 0xFFF0) == SC_SCREENSAVE && gProcess.mainWindow &&
        SendMessageW(gProcess.mainWindow, kMainEngineRunning, 0, 0) != 0) {
        return 1;
    }
    return defaultProcedure(window_, WM_SYSCOMMAND, command, lParam);
}

void ToneWindow::onClose() {
    ToneSettings& saved = gTunerSettings.tone;
    if (gProcess.mainWindow && !IsIconic(gProcess.mainWindow)) {
        RECT main = {}, own = {};
        GetWindowRect(gProcess.mainWindow, &main);
        GetWindowRect(window_, &own);
        saved.windowPosition = {own.left - main.left, own.top - main.top};
    }
    saved.octaveVisible = firstOctave_;
    saved.octave = static_cast<int16_t>(octave());
    saved.dBGain = static_cast<int16_t>(gainPosition_ - kGainPositions);
    saved.pause = silence_;
    DestroyWindow(window_);
}

void ToneWindow::onDestroy() {
    if (run_.active()) {
        stop(ToneWindowStop::atOnce);
    }
    if (gProcess.toneWindow == window_) {
        gProcess.toneWindow = nullptr;
    }
}

} // namespace

LRESULT CALLBACK toneWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return windowProcedure<ToneWindow>(window, message, wParam, lParam);
}

WNDCLASSEXW toneWindowClass(HINSTANCE instance, HICON smallIcon) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = toneWindowProcedure;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIconSm = smallIcon;
    windowClass.lpszClassName = kToneWindowClass;
    return windowClass;
}

void openToneWindow(bool visible) {
    if (gProcess.mainWindow) {
        ShowWindow(gProcess.mainWindow, SW_RESTORE);
    }
    if (gProcess.toneWindow) {
        return;
    }
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | (visible ? WS_VISIBLE : 0);
    gProcess.toneWindow =
        CreateWindowExW(0, kToneWindowClass, UiText(kTextTitle), style, 0, 0, 0, 0,
                        gProcess.mainWindow, nullptr, gProcess.instance, nullptr);
}

double noteFrequency(int pitchClass, int octave) {
    return noteFrequency(pitchClass, octave, currentPitch());
}

} // namespace tonvale
