// Saves the settings over and over, alternating between two records, so
// that a driver can kill the process at any moment of a save.
//   settings_save_loop FOLDER
//   settings_save_loop --idle      (waits, keeping Wine's server up)
// Writes FOLDER\a.ref and FOLDER\b.ref (the two files whole) and a first
// FOLDER\tonvale.ini, prints "ready", then saves the two alternately to
// FOLDER\tonvale.ini until killed.
#include <windows.h>

#include "support/settings/tuner_settings.h"

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    const std::wstring folder = argv[1];
    if (folder == L"--idle") {
        Sleep(INFINITE);
        return 0;
    }
    tonvale::TunerSettings a;
    a.main.windowPosition = {40, 30};
    a.main.popupFlags = 1;
    a.main.frequencyOfA4 = 442;
    tonvale::TunerSettings b;
    b.main.popupFlags = 2;
    b.main.largeSize = false;
    b.main.inTuneRange = 7;
    // A longer file than a, so a cut-off file could not pass for it.
    wcscpy(b.main.inDeviceName, L"{0.0.1.00000000}.{6a3b6f51-9d2e-4c1a-8f0e-1b2c3d4e5f60}");
    const std::wstring target = folder + L"\\tonvale.ini";
    if (!tonvale::saveSettingsTo(a, (folder + L"\\a.ref").c_str()) ||
        !tonvale::saveSettingsTo(b, (folder + L"\\b.ref").c_str()) ||
        !tonvale::saveSettingsTo(a, target.c_str()))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    for (unsigned long i = 0;; ++i)
        tonvale::saveSettingsTo(i % 2 ? b : a, target.c_str());
}
