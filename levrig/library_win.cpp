#include "levrig/library_win.h"

#include "dialogs/builder/dialog_builder.h"
#include "levrig/private_heap.h"
#include "support/ui_text.h"

#include <windows.h>

#include <commctrl.h>

namespace tonvale {
namespace levrig {
namespace {

constexpr WORD kIconResource = 256;

HMODULE gModule = nullptr;
HANDLE gActivationContext = nullptr;
bool gLocksReady = false;
CRITICAL_SECTION gOptionsLock;
CRITICAL_SECTION gModelLock;
CRITICAL_SECTION gWindowListLock;

bool gPrepared = false;
HFONT gFont = nullptr;
bool gFontOwned = false;
HICON gLargeIcon = nullptr;
HICON gSmallIcon = nullptr;
EnumeratorFactory gEnumeratorFactory = nullptr;

HFONT createMessageFont() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        if (HFONT font = CreateFontIndirectW(&metrics.lfMessageFont)) {
            gFontOwned = true;
            return font;
        }
    }
    gFontOwned = false;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// LoadIconMetric is in version 6 of the common controls only; the library's
// manifest selects that version while its context is active.
HICON loadIcon(bool large) {
    using LoadIconMetricFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
    HICON icon = nullptr;
    if (HMODULE controls = GetModuleHandleW(L"comctl32.dll")) {
        auto load = reinterpret_cast<LoadIconMetricFunction>(
            reinterpret_cast<void*>(GetProcAddress(controls, "LoadIconMetric")));
        if (load && SUCCEEDED(load(gModule, MAKEINTRESOURCEW(kIconResource),
                                   large ? LIM_LARGE : LIM_SMALL, &icon)))
            return icon;
    }
    const int size = GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON);
    return static_cast<HICON>(
        LoadImageW(gModule, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, size, size, 0));
}

// The builder's spacing, made for 96 dots per inch, follows the screen.
// The builder keeps it process-wide; it is written only here, under the
// options lock, before the first window of a load lays out, and every window
// thread takes that lock on its way in. Concurrent layouts therefore only
// read it and need no lock of their own. Scaled from the design values each
// time, so a second first use after an unload does not scale twice.
int gDesignMetrics[DialogBuilder::kFrameBottom + 1];
bool gDesignMetricsKept = false;

void scaleLayoutMetrics() {
    DialogBuilder::setScreenDpi(0);
    for (int index = DialogBuilder::kRowGap; index <= DialogBuilder::kFrameBottom; ++index) {
        if (!gDesignMetricsKept)
            gDesignMetrics[index] = DialogBuilder::metric(index);
        DialogBuilder::setMetric(index, DialogBuilder::scaled(gDesignMetrics[index]));
    }
    gDesignMetricsKept = true;
}

HRESULT createSystemEnumerator(IMMDeviceEnumerator** enumerator) {
    return CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                            __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(enumerator));
}

} // namespace

bool attachLibrary(HMODULE module) {
    gModule = module;
    // While the loader runs this, the library's own manifest is the current
    // activation context.
    HANDLE context = nullptr;
    gActivationContext = GetCurrentActCtx(&context) ? context : nullptr;
    if (!gLocksReady) {
        InitializeCriticalSection(&gOptionsLock);
        InitializeCriticalSection(&gModelLock);
        InitializeCriticalSection(&gWindowListLock);
        gLocksReady = true;
    }
    return createPrivateHeap();
}

void detachLibrary() {
    freeWindowList();
    if (gFont && gFontOwned)
        DeleteObject(gFont);
    gFont = nullptr;
    for (HICON* icon : {&gLargeIcon, &gSmallIcon}) {
        if (*icon)
            DestroyIcon(*icon);
        *icon = nullptr;
    }
    gPrepared = false;
    if (gLocksReady) {
        DeleteCriticalSection(&gOptionsLock);
        DeleteCriticalSection(&gModelLock);
        DeleteCriticalSection(&gWindowListLock);
        gLocksReady = false;
    }
    destroyPrivateHeap();
    if (gActivationContext) {
        ReleaseActCtx(gActivationContext);
        gActivationContext = nullptr;
    }
}

HMODULE libraryModule() {
    return gModule;
}

CRITICAL_SECTION& optionsLock() {
    return gOptionsLock;
}

CRITICAL_SECTION& modelLock() {
    return gModelLock;
}

CRITICAL_SECTION& windowListLock() {
    return gWindowListLock;
}

ActivationScope::ActivationScope() {
    if (gActivationContext)
        active_ = ActivateActCtx(gActivationContext, &cookie_) != FALSE;
}

ActivationScope::~ActivationScope() {
    if (active_)
        DeactivateActCtx(0, cookie_);
}

void prepareFirstUse() {
    LockScope lock(gOptionsLock);
    if (gPrepared)
        return;
    gFont = createMessageFont();
    // The common controls are bound to the version the library's manifest
    // names (its imports are resolved in its own activation context).
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    gLargeIcon = loadIcon(true);
    gSmallIcon = loadIcon(false);
    scaleLayoutMetrics();
    chooseLanguage();
    gPrepared = true;
}

HFONT uiFont() {
    return gFont;
}

HICON libraryIcon(bool large) {
    return large ? gLargeIcon : gSmallIcon;
}

HRESULT createDeviceEnumerator(IMMDeviceEnumerator** enumerator) {
    *enumerator = nullptr;
    return (gEnumeratorFactory ? gEnumeratorFactory : createSystemEnumerator)(enumerator);
}

void setEnumeratorFactoryForTesting(EnumeratorFactory factory) {
    gEnumeratorFactory = factory;
}

} // namespace levrig
} // namespace tonvale
