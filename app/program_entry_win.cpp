#include "app/program_entry_win.h"

#include "app/fatal_exception.h"
#include "app/main_layout_win.h"
#include "app/main_window_messages_win.h"
#include "app/main_window_win.h"
#include "app/process_context_win.h"
#include "app/program_version.h"
#include "app/window_placement.h"
#include "devices/measurement/measurement_scheduling_win.h"
#include "dialogs/builder/dialog_builder.h"
#include "engine/sine_table.h"
#include "meter/direct2d_win.h"
#include "meter/meter_win.h"
#include "spectrum/spectrum_view_win.h"
#include "spectrum/spectrum_window_win.h"
#include "support/scoped_win.h"
#include "support/settings/tuner_settings.h"
#include "support/ui_text.h"
#include "support/windows_version.h"
#include "tone/tone_window_win.h"

#include <commctrl.h>

#include <clocale>
#include <float.h>

namespace tonvale {
namespace {

constexpr int kIconId = 500;

// Installed before the entry runs.
const LPTOP_LEVEL_EXCEPTION_FILTER gPreviousFilter =
    SetUnhandledExceptionFilter(tunerExceptionFilter);

void becomeDpiAware() {
    using SetAwareFunction = BOOL(WINAPI*)();
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto setAware = reinterpret_cast<SetAwareFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")));
    if (setAware) {
        setAware();
        DialogBuilder::setScreenDpi(0);
    }
}

BOOL CALLBACK findRunningInstance(HWND window, LPARAM found) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    if (wcscmp(name, kSingleInstanceName) != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Brings the running instance forward: its active popup (an open dialog)
// rather than its main window.
void handOverToRunningInstance() {
    HWND running = nullptr;
    EnumWindows(findRunningInstance, reinterpret_cast<LPARAM>(&running));
    if (!running)
        return;
    if (IsIconic(running))
        ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(running));
}

// Invalid operation, division by zero and overflow raise exceptions; the
// rest are masked. The precision field of the x87 control word does not
// exist for the SSE arithmetic of x86-64, so only the exception masks are
// set there.
void setFloatingPointMode() {
#if defined(_M_X64) || defined(__x86_64__)
    _controlfp(_EM_DENORMAL | _EM_UNDERFLOW | _EM_INEXACT, _MCW_EM);
#else
    _controlfp(0x80003, 0xB001F);
#endif
}

void loadIcons() {
    if (isWindowsVistaOrLater()) {
        using LoadIconMetricFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
        static const auto loadIconMetric =
            reinterpret_cast<LoadIconMetricFunction>(reinterpret_cast<void*>(
                GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconMetric")));
        if (loadIconMetric) {
            loadIconMetric(gProcess.instance, MAKEINTRESOURCEW(kIconId), LIM_LARGE,
                           &gProcess.largeIcon);
            loadIconMetric(gProcess.instance, MAKEINTRESOURCEW(kIconId), LIM_SMALL,
                           &gProcess.smallIcon);
            return;
        }
    }
    gProcess.largeIcon = static_cast<HICON>(
        LoadImageW(gProcess.instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    gProcess.smallIcon = static_cast<HICON>(LoadImageW(gProcess.instance, MAKEINTRESOURCEW(kIconId),
                                                       IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), 0));
}

WNDCLASSEXW windowClass(const wchar_t* name, UINT style, WNDPROC procedure, int extraBytes,
                        HICON large, HICON small, HBRUSH background) {
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.style = style;
    cls.lpfnWndProc = procedure;
    cls.cbWndExtra = extraBytes;
    cls.hInstance = gProcess.instance;
    cls.hIcon = large;
    cls.hIconSm = small;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = background;
    cls.lpszClassName = name;
    return cls;
}

// The system's message font when the settings ask for it; null for the
// stock GUI font.
HFONT createUiFont() {
    if (!gTunerSettings.main.useSystemFont)
        return nullptr;
    // The structure without the padded-border field of Vista, which older
    // systems reject.
    NONCLIENTMETRICSW metrics = {};
    constexpr UINT kOldMetricsSize = 500;
    metrics.cbSize = kOldMetricsSize;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kOldMetricsSize, &metrics, 0))
        return nullptr;
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

// Creates the main window where it was last, pulled into the work area.
HWND openMainWindow(const MainLayout& layout) {
    UniqueMenu menu(buildMainMenu());
    const SIZE size = mainWindowSize(layout);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const WindowPosition& stored = gTunerSettings.main.windowPosition;
    const Placement placed = placeInWorkArea({stored.x, stored.y}, size.cx, size.cy,
                                             {work.left, work.top, work.right, work.bottom});
    HWND window = createMainWindow(layout, placed.x, placed.y, size.cx, size.cy, menu.get());
    if (window)
        menu.release(); // the window owns it now
    return window;
}

// Returns when the main window is gone. A WM_QUIT or an error while it
// still exists ends the process on the spot, without saving.
void runMessageLoop() {
    MSG message = {};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (gProcess.mainWindow)
                TerminateProcess(GetCurrentProcess(), 0);
            return;
        }
        const bool handled =
            (gProcess.toneWindow && IsDialogMessageW(gProcess.toneWindow, &message)) ||
            (gProcess.spectrumWindow && IsDialogMessageW(gProcess.spectrumWindow, &message));
        if (!handled && !IsDialogMessageW(gProcess.mainWindow, &message))
            DispatchMessageW(&message);
        if (!gProcess.mainWindow)
            return;
    }
}

// The part between the settings load and the save: false when the main
// window could not be made, and nothing is to be saved.
bool showMainWindowAndRun(int showCommand) {
    MainLayout layout;
    if (!buildMainLayout(gTunerSettings.main.largeSize, gProcess.uiFont, layout))
        return false;
    HWND main = openMainWindow(layout);
    if (!main)
        return false;
    // The popups open at the last exit (popup flags bit 0: the spectrum
    // window, bit 1: the tone window) come back hidden and are shown with the
    // main window below.
    if (!IsIconic(main) && gTunerSettings.rememberMainWindowPosition) {
        if (gTunerSettings.main.popupFlags & 1)
            openSpectrumWindow(false);
        if (gTunerSettings.main.popupFlags & 2)
            openToneWindow(false);
    }
    ShowWindow(main, showCommand);
    UpdateWindow(main);
    for (HWND popup : {gProcess.spectrumWindow, gProcess.toneWindow}) {
        if (popup) {
            ShowWindow(popup, SW_SHOWNA);
            UpdateWindow(popup);
        }
    }
    if (gTunerSettings.main.autoStart)
        SendMessageW(main, kMainPressPower, 0, 0);
    runMessageLoop();
    return true;
}

} // namespace

// A failure is not reported: the window that needs the class then fails to
// open.
void registerWindowClasses() {
    const WNDCLASSEXW classes[] = {
        windowClass(kSingleInstanceName, CS_HREDRAW | CS_VREDRAW, mainWindowProcedure,
                    DLGWINDOWEXTRA, gProcess.largeIcon, gProcess.smallIcon,
                    static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))),
        windowClass(kMeterClassName, CS_PARENTDC, meterProcedure, kMeterExtraBytes, nullptr,
                    nullptr, nullptr),
        windowClass(kSpectrumWindowClassName, 0, spectrumWindowProcedure, kSpectrumWindowExtraBytes,
                    nullptr, gProcess.smallIcon, nullptr),
        windowClass(kSpectrumViewClassName, CS_PARENTDC, spectrumViewProcedure,
                    kSpectrumViewExtraBytes, nullptr, nullptr, nullptr),
        toneWindowClass(gProcess.instance, gProcess.smallIcon),
        windowClass(kPowerLampClassName, CS_PARENTDC, powerLampProcedure, kPowerLampExtraBytes,
                    nullptr, nullptr, nullptr),
    };
    for (const WNDCLASSEXW& cls : classes)
        if (!RegisterClassExW(&cls))
            return;
}

LONG WINAPI tunerExceptionFilter(EXCEPTION_POINTERS* exception) {
    const DWORD code =
        exception && exception->ExceptionRecord ? exception->ExceptionRecord->ExceptionCode : 0;
    if (isFatalException(code))
        FatalAppExitW(0, fatalExceptionText(code).c_str());
    return EXCEPTION_CONTINUE_SEARCH;
}

int runTuner(HINSTANCE instance, int showCommand) {
    initProcessContext(instance);
    if (isWindowsVistaOrLater())
        becomeDpiAware();
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, kSingleInstanceName));
    if (!mutex)
        return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        handOverToRunningInstance();
        return 0;
    }
    setFloatingPointMode();
    ComInitialization com(COINIT_APARTMENTTHREADED);
    const int language = chooseLanguage();
    std::setlocale(LC_ALL, "");
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    fillSineTable();
    // Without it the measurement threads keep their normal class.
    if (isWindowsVistaOrLater())
        bindMmcss();
    loadIcons();
    registerWindowClasses();
    loadSettings();
    UniqueFont ownFont(createUiFont());
    gProcess.uiFont =
        ownFont ? ownFont.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (isWindowsVistaOrLater() && gTunerSettings.debug.useDirect2D && !gDirect2D)
        loadDirect2D();
    if (gTunerSettings.debug.englishUI && language != kEnglishTable)
        loadTable(kEnglishTable);

    if (showMainWindowAndRun(showCommand))
        saveSettings();

    mutex.reset();
    if (isWindowsVistaOrLater())
        releaseDirect2D();
    gProcess.uiFont = nullptr;
    return 0;
}

} // namespace tonvale
