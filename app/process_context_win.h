// Values that exist once per tuner process and most of the program reads.
//
// Written on the UI thread only: the instance and heap by the program entry
// (the heap is valid from static initialisation on), the UI font and icons by
// the entry, each window handle by its window's creation and WM_DESTROY.
// Worker threads read nothing but mainWindow, as the target of posted
// messages; it is set before any worker starts and the main window outlives
// every worker. The Windows version and its predicates are in
// support/windows_version.h, set before the entry runs.
#pragma once

#include "support/windows_version.h"

#include <windows.h>

namespace tonvale {

struct ProcessContext {
    HINSTANCE instance = nullptr;
    // Every private record of the program is allocated on it (HeapAlloc) and
    // freed with HeapFree.
    HANDLE heap = nullptr;
    HFONT uiFont = nullptr;
    HICON largeIcon = nullptr; // application icon 500
    HICON smallIcon = nullptr;
    HWND mainWindow = nullptr;     // null again after its WM_DESTROY; the loop watches it
    HWND spectrumWindow = nullptr; // null while closed
    HWND toneWindow = nullptr;     // null while closed
};

extern ProcessContext gProcess;

// Called first by the program entry with the module handle it was given.
void initProcessContext(HINSTANCE instance);

} // namespace tonvale
