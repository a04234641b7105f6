#include "devices/measurement/measurement_scheduling_win.h"

#include "support/windows_version.h"

namespace tonvale {

namespace {

using SetCharacteristics = HANDLE(WINAPI*)(LPCWSTR task, LPDWORD taskIndex);
using RevertCharacteristics = BOOL(WINAPI*)(HANDLE task);
using SetPriority = BOOL(WINAPI*)(HANDLE task, int priority);

// Bound once on the UI thread before any measurement thread starts; only
// read afterwards.
struct MmcssFunctions {
    HMODULE library = nullptr;
    SetCharacteristics setCharacteristics = nullptr;
    RevertCharacteristics revertCharacteristics = nullptr;
    SetPriority setPriority = nullptr;
};

MmcssFunctions gMmcss;

template <typename Function> Function lookUp(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Lowest set bit of the mask: the lowest-numbered processor.
DWORD_PTR lowestProcessor(DWORD_PTR mask) {
    return mask & (~mask + 1);
}

} // namespace

bool bindMmcss() {
    if (gMmcss.library)
        return true;
    UniqueLibrary library(LoadLibraryW(L"avrt.dll"));
    if (!library)
        return false;
    MmcssFunctions bound;
    bound.setCharacteristics =
        lookUp<SetCharacteristics>(library.get(), "AvSetMmThreadCharacteristicsW");
    bound.revertCharacteristics =
        lookUp<RevertCharacteristics>(library.get(), "AvRevertMmThreadCharacteristics");
    bound.setPriority = lookUp<SetPriority>(library.get(), "AvSetMmThreadPriority");
    if (!bound.setCharacteristics || !bound.revertCharacteristics || !bound.setPriority)
        return false;
    bound.library = library.release();
    gMmcss = bound;
    return true;
}

MeasurementScheduling::MeasurementScheduling() {
    if (isWindowsVistaOrLater()) {
        com_.emplace(COINIT_MULTITHREADED);
        if (gMmcss.library) {
            DWORD taskIndex = 0;
            mmcssTask_ = gMmcss.setCharacteristics(L"Pro Audio", &taskIndex);
        }
        return;
    }
    realTime_ = true;
    SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask) && processMask)
        SetThreadAffinityMask(GetCurrentThread(), lowestProcessor(processMask));
}

MeasurementScheduling::~MeasurementScheduling() {
    if (mmcssTask_)
        gMmcss.revertCharacteristics(mmcssTask_);
    com_.reset();
    if (realTime_)
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

} // namespace tonvale
