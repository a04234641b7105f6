// The tuner's process: start-up, the single-instance guard, the window
// classes, the settings, the main window, the message loop and the orderly
// end that saves the settings once.
#pragma once

#include <windows.h>

namespace tonvale {

// Everything the program entry does; returns the exit code (always 0).
int runTuner(HINSTANCE instance, int showCommand);

// Registers the program's window classes in their order, each only when the
// one before was registered (the entry's step; tests use it too).
void registerWindowClasses();

// The unhandled-exception filter of the process (installed during static
// initialisation): ends the program with a message for the codes of
// isFatalException, leaves every other code to the system.
LONG WINAPI tunerExceptionFilter(EXCEPTION_POINTERS* exception);

} // namespace tonvale
