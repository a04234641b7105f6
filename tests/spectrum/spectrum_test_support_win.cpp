#include "tests/spectrum/spectrum_test_support_win.h"

#include "app/process_context_win.h"
#include "engine/engine_messages_win.h"
#include "spectrum/spectrum_messages_win.h"
#include "spectrum/spectrum_window_win.h"
#include "support/settings/tuner_settings.h"

#include <algorithm>
#include <cmath>

namespace tonvale::test {

MainStandIn gMain;

namespace {

constexpr wchar_t kMainClass[] = L"SpectrumTestMain";
constexpr UINT kEngineRunningQuery = WM_APP + 5;

LRESULT CALLBACK mainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kEngineReading: {
        // As the main window does: the spectrum window sees the reading
        // before its busy flag is cleared.
        auto* reading = reinterpret_cast<PitchReading*>(wParam);
        ++gMain.readings;
        gMain.lastSpectrumCount = reading->spectrumCount;
        if (gProcess.spectrumWindow)
            SendMessageW(gProcess.spectrumWindow, kSpectrumReading, wParam, 0);
        reading->busy.store(0, std::memory_order_release);
        return 0;
    }
    case kEngineRunningQuery:
        return gMain.engineRuns ? 1 : 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

bool MainStandIn::create() {
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = mainProcedure;
    cls.hInstance = gProcess.instance;
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    cls.lpszClassName = kMainClass;
    RegisterClassExW(&cls);
    window = CreateWindowExW(0, kMainClass, L"Tonvale", WS_POPUP | WS_CAPTION | WS_VISIBLE, 120, 60,
                             420, 330, nullptr, nullptr, gProcess.instance, nullptr);
    gProcess.mainWindow = window;
    return window != nullptr;
}

void MainStandIn::destroy() {
    DestroyWindow(window);
    gProcess.mainWindow = nullptr;
    window = nullptr;
}

RequestCollector::RequestCollector() {
    InitializeCriticalSection(&lock_);
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, run, this, 0, &id_);
    WaitForSingleObject(ready_, 5000);
}

RequestCollector::~RequestCollector() {
    PostThreadMessageW(id_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    CloseHandle(ready_);
    DeleteCriticalSection(&lock_);
}

DWORD WINAPI RequestCollector::run(void* self) {
    auto* collector = static_cast<RequestCollector*>(self);
    MSG message = {};
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // makes the queue
    SetEvent(collector->ready_);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message != kEngineSpectrumRequest)
            continue;
        EnterCriticalSection(&collector->lock_);
        collector->received_.push_back({message.wParam, message.lParam});
        LeaveCriticalSection(&collector->lock_);
    }
    return 0;
}

std::vector<SpectrumRequest> RequestCollector::take(size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    std::vector<SpectrumRequest> requests;
    for (;;) {
        const bool late = GetTickCount() - start >= timeoutMs;
        EnterCriticalSection(&lock_);
        const bool done = late || received_.size() >= count;
        if (done)
            requests.swap(received_);
        LeaveCriticalSection(&lock_);
        if (done)
            return requests;
        Sleep(5);
    }
}

bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message = {};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            HWND spectrum = gProcess.spectrumWindow;
            if (spectrum && IsDialogMessageW(spectrum, &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, 10),
                                  QS_ALLINPUT);
    }
}

void fillReading(PitchReading& reading, int peak, int32_t count) {
    reading.baseRate = kTestRate;
    reading.spectrumCount = count;
    reading.peakBin = peak;
    for (float& value : reading.spectrum)
        value = -100.0f;
    reading.spectrum[peak] = -15.0f;
}

SIZE clientSize(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

SCROLLINFO scrollInfo(HWND window) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &info);
    return info;
}

int rowOf(double db, int top, int bottom, int plotHeight) {
    const int maxHeight = plotHeight - 1;
    const double h = std::clamp((db - bottom) / (top - bottom), 0.0, 1.0) * maxHeight;
    return maxHeight - static_cast<int>(std::floor(h + 0.5));
}

void SpectrumWindowTest::SetUpTestSuite() {
    static const bool registered = registerSpectrumClasses(gProcess.instance, nullptr);
    ASSERT_TRUE(registered);
    ASSERT_TRUE(gMain.create());
}

void SpectrumWindowTest::TearDownTestSuite() {
    gMain.destroy();
}

void SpectrumWindowTest::SetUp() {
    gTunerSettings.spectrum = SpectrumSettings();
    gTunerSettings.spectrum.viewSize = {256, 160};
    gTunerSettings.spectrum.dBOffset = 10;
    gMain.engineRuns = false;
}

void SpectrumWindowTest::TearDown() {
    if (gProcess.spectrumWindow)
        DestroyWindow(gProcess.spectrumWindow);
    EXPECT_EQ(gProcess.spectrumWindow, nullptr);
}

HWND SpectrumWindowTest::open() {
    HWND window = openSpectrumWindow(true);
    pump(50);
    return window;
}

HWND SpectrumWindowTest::view() {
    return GetDlgItem(gProcess.spectrumWindow, kSpectrumViewId);
}

void SpectrumWindowTest::send(const PitchReading& reading) {
    SendMessageW(gProcess.spectrumWindow, kSpectrumReading, reinterpret_cast<WPARAM>(&reading), 0);
}

void SpectrumWindowTest::connect(HANDLE thread, DWORD threadId) {
    SendMessageW(gProcess.spectrumWindow, kSpectrumEngineStarted, reinterpret_cast<WPARAM>(thread),
                 static_cast<LPARAM>(threadId));
}

void SpectrumWindowTest::chooseBand(int band) {
    SendMessageW(GetDlgItem(gProcess.spectrumWindow, kFirstBandButtonId + band), BM_CLICK, 0, 0);
}

void SpectrumWindowTest::resizeBy(int dx, int dy) {
    RECT frame = {};
    GetWindowRect(gProcess.spectrumWindow, &frame);
    SetWindowPos(gProcess.spectrumWindow, nullptr, 0, 0, frame.right - frame.left + dx,
                 frame.bottom - frame.top + dy, SWP_NOMOVE | SWP_NOZORDER);
    pump(20);
}

} // namespace tonvale::test
