// tonvale.exe: the tuner takes no command line.
#include <windows.h>

#include "app/main_window_win.h"
#include "app/program_entry_win.h"
#include "dialogs/settings/settings_dialog_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    tonvale::gMainWindowHooks.runSettingsDialog = tonvale::runSettingsDialog;
    return tonvale::runTuner(instance, showCommand);
}
