#include "app/standard_icons_win.h"

#include "support/windows_version.h"

namespace tonvale {
namespace {

constexpr WORD kFirstStandardIcon = 32512; // IDI_APPLICATION
constexpr WORD kLastStandardIcon = 32516;  // IDI_ASTERISK
constexpr int kLargeIconMetric = 1;        // LIM_LARGE

using LoadIconMetricFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);

LoadIconMetricFunction loadIconMetric() {
    static const LoadIconMetricFunction function = [] {
        // Version 6 of the common controls (the manifest's) has it; older ones do not.
        HMODULE controls = LoadLibraryW(L"comctl32.dll");
        return controls ? reinterpret_cast<LoadIconMetricFunction>(
                              reinterpret_cast<void*>(GetProcAddress(controls, "LoadIconMetric")))
                        : nullptr;
    }();
    return function;
}

} // namespace

HICON loadStandardIcon(WORD id) {
    static HICON cache[kLastStandardIcon - kFirstStandardIcon + 1] = {};
    const bool standard = id >= kFirstStandardIcon && id <= kLastStandardIcon;
    if (standard && isWindowsVistaOrLater()) {
        HICON& cached = cache[id - kFirstStandardIcon];
        if (!cached) {
            if (LoadIconMetricFunction function = loadIconMetric())
                function(nullptr, MAKEINTRESOURCEW(id), kLargeIconMetric, &cached);
        }
        if (cached)
            return cached;
    }
    return LoadIconW(nullptr, MAKEINTRESOURCEW(id));
}

} // namespace tonvale
