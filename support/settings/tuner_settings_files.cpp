// The settings of the running program, in the files its folder rules find.
#include "support/ini_reader.h"
#include "support/program_folders.h"
#include "support/settings/tuner_settings.h"

namespace tonvale {

TunerSettings gTunerSettings;

TuningFiles findTuningFiles() {
    return {findDataFile(L"scale.ini"), findDataFile(L"note.ini")};
}

void loadSettings() {
    IniReader file;
    std::wstring path = findDataFile(L"tonvale.ini");
    if (!path.empty())
        file.load(path.c_str());
    loadSettingsFrom(file, findTuningFiles(), gTunerSettings);
}

void saveSettings() {
    std::wstring path = settingsSavePath(L"tonvale.ini");
    if (!path.empty())
        saveSettingsTo(gTunerSettings, path.c_str());
}

} // namespace tonvale
