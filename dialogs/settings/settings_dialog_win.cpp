#include "dialogs/settings/settings_dialog_win.h"

#include "app/process_context_win.h"
#include "support/settings/tuner_settings.h"

#include <commctrl.h>

namespace tonvale {
namespace {

constexpr int kSettingsCaption = 16;
constexpr int kOkText = 0;
constexpr int kCancelText = 2;

// For the life of the process: the dialog opens where it was left.
int gLastSettingsPage = 0;

void loadControlClasses() {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
}

} // namespace

bool runSettingsDialog(HWND owner) {
    return runSettingsDialog(owner, programCalibrationDialogs(), &deviceList);
}

bool runSettingsDialog(HWND owner, const CalibrationDialogs& calibration,
                       DeviceListSource deviceLists) {
    // A modal dialog over a minimised owner would open where nobody sees it.
    if (owner && IsIconic(owner))
        ShowWindow(owner, SW_RESTORE);
    loadControlClasses();
    // The copy, its digests and the files live until the dialog ends.
    SettingsPageData data;
    data.files = findTuningFiles();
    data.copy = takeSettingsCopy(gTunerSettings, data.files);
    data.font =
        gProcess.uiFont ? gProcess.uiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    data.calibration = calibration;
    data.deviceLists = deviceLists;
    data.currentPage = gLastSettingsPage;

    TabbedDialogHeader header;
    header.parent = owner;
    header.caption = kSettingsCaption;
    header.startPage = gLastSettingsPage;
    header.okText = kOkText;
    header.cancelText = kCancelText;
    header.omitHelp = true;
    header.font = data.font;
    header.shared = &data;
    const INT_PTR result = runTabbedDialog(header, kSettingsPages, kSettingsPageCount);
    if (result != 0)
        gLastSettingsPage = data.currentPage;
    if (result != IDOK)
        return false;
    applySettingsCopy(data.copy, gTunerSettings, data.files);
    return true;
}

} // namespace tonvale
