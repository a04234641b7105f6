// Time of one spectrum frame in the view at its largest size (512 x 320
// client pixels, 512 values): drawing into the buffer and painting it to the
// screen, with GDI and, where it loads, Direct2D. Run in the rig:
//   bash scripts/rig run -p build/windows/wineprefix env
//     WINEPREFIX=$PWD/build/windows/wineprefix wine-stable
//     build/windows/bin/spectrum_draw_bench.exe [--frames N] [--direct2d]
// (one line). Wine's Direct2D takes a large part of a second per frame, so
// its figures are measured only on request.
#include "app/process_context_win.h"
#include "meter/direct2d_win.h"
#include "spectrum/spectrum_frame.h"
#include "spectrum/spectrum_messages_win.h"
#include "spectrum/spectrum_view_win.h"
#include "spectrum/spectrum_window_win.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <random>
#include <vector>

namespace {

using namespace tonvale;

constexpr int kViewWidth = 512;
constexpr int kViewHeight = 320;
constexpr int kValues = 512;

double nowMs() {
    LARGE_INTEGER frequency = {};
    LARGE_INTEGER counter = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Spectra of a sung note: harmonics over a noise floor, a little different
// every frame so that the curve moves as it does live.
std::vector<std::vector<float>> makeSpectra(int count) {
    std::mt19937 random(3);
    std::normal_distribution<float> noise(0.0f, 3.0f);
    std::vector<std::vector<float>> spectra(static_cast<size_t>(count));
    for (int f = 0; f < count; ++f) {
        std::vector<float>& values = spectra[static_cast<size_t>(f)];
        values.resize(kValues);
        const double fundamental = 20.4 + 0.3 * std::sin(f * 0.2);
        for (int i = 0; i < kValues; ++i) {
            double db = -95.0 + noise(random);
            for (int h = 1; h <= 8; ++h) {
                const double distance = i - fundamental * h;
                db = std::max(db, -12.0 - 4.0 * h - 6.0 * distance * distance);
            }
            values[static_cast<size_t>(i)] = static_cast<float>(db);
        }
    }
    return spectra;
}

struct Figures {
    double medianMs = 0.0;
    double p95Ms = 0.0;
    double maxMs = 0.0;
};

Figures figuresOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    return {times[n / 2], times[std::min(n - 1, n * 95 / 100)], times[n - 1]};
}

// Each frame: drawn into the buffer and painted to the screen. With
// `newAxis` every frame also redraws the axis (as after a band change).
Figures measure(HWND view, const std::vector<std::vector<float>>& spectra, bool newAxis) {
    SpectrumFrame frame;
    frame.count = kValues;
    frame.rate = 11025;
    frame.spectrumSize = 1024;
    frame.binStep = 2;
    frame.topDb = -10;
    frame.bottomDb = -(10 + 110) + 1;
    std::vector<double> times;
    for (size_t i = 0; i < spectra.size(); ++i) {
        frame.values = spectra[i].data();
        frame.markerColumn = 41 + static_cast<int32_t>(i % 3);
        if (newAxis)
            frame.binStep = static_cast<int16_t>(frame.binStep == 2 ? 4 : 2);
        const double start = nowMs();
        SendMessageW(view, kViewDrawFrame, reinterpret_cast<WPARAM>(&frame), 0);
        UpdateWindow(view);
        GdiFlush();
        times.push_back(nowMs() - start);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    return figuresOf(times);
}

void report(const char* backEnd, const char* what, const Figures& figures) {
    std::printf("%-9s %-22s median %6.3f ms   95th %6.3f ms   max %6.3f ms\n", backEnd, what,
                figures.medianMs, figures.p95Ms, figures.maxMs);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int frames = 1000;
    bool direct2D = false;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--frames") == 0 && i + 1 < argc)
            frames = std::max(10, _wtoi(argv[i + 1]));
        direct2D = direct2D || std::wcscmp(argv[i], L"--direct2d") == 0;
    }
    initProcessContext(GetModuleHandleW(nullptr));
    if (!registerSpectrumClasses(gProcess.instance, nullptr))
        return 1;
    HWND host = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 10, 10, kViewWidth + 20,
                                kViewHeight + 20, nullptr, nullptr, gProcess.instance, nullptr);
    RECT frame = {0, 0, kViewWidth, kViewHeight};
    AdjustWindowRectEx(&frame, WS_CHILD | WS_VISIBLE, FALSE, WS_EX_CLIENTEDGE);
    HWND view =
        CreateWindowExW(WS_EX_CLIENTEDGE, kSpectrumViewClassName, L"", WS_CHILD | WS_VISIBLE, 4, 4,
                        frame.right - frame.left, frame.bottom - frame.top, host, nullptr,
                        gProcess.instance, nullptr);
    if (!host || !view)
        return 1;
    const std::vector<std::vector<float>> spectra = makeSpectra(frames);
    std::printf("%d frames of %d values, view %d x %d\n", frames, kValues, kViewWidth, kViewHeight);
    measure(view, spectra, false); // warm-up
    report("GDI", "frame", measure(view, spectra, false));
    report("GDI", "frame with new axis", measure(view, spectra, true));
    if (!direct2D)
        return DestroyWindow(host) ? 0 : 1;
    if (loadDirect2D()) {
        measure(view, spectra, false);
        report("Direct2D", "frame", measure(view, spectra, false));
        report("Direct2D", "frame with new axis", measure(view, spectra, true));
        releaseDirect2D();
    } else {
        std::printf("Direct2D  not available\n");
    }
    DestroyWindow(host);
    return 0;
}
