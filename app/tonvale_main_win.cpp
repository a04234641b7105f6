// tonvale.exe: the tuner takes no command line.
#include <windows.h>

#include "app/program_entry_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return tonvale::runTuner(instance, showCommand);
}
