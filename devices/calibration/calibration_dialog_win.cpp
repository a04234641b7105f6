#include "devices/calibration/calibration_dialog_win.h"

#include "app/process_context_win.h"
#include "devices/device_catalogue_win.h"
#include "dialogs/builder/dialog_builder_win.h"
#include "support/text_format.h"
#include "support/ui_text.h"

namespace tonvale {

std::wstring calibrationTitle(int titleText, DeviceDirection direction, const wchar_t* name) {
    wchar_t defaultName[kDisplayNameCapacity] = {};
    if (!name || !*name) {
        defaultDeviceName(direction, defaultName);
        name = defaultName;
    }
    return formatString(UiText(titleText), name);
}

INT_PTR runCalibrationDialog(HINSTANCE instance, HWND owner, const std::wstring& title,
                             DLGPROC procedure, LPARAM parameter) {
    // The title is cut to what the buffer holds; device names are short.
    alignas(4) unsigned char buffer[kTemplateHeaderBytes + 2 * (kDisplayNameCapacity + 16)];
    const DLGTEMPLATE* bare = emptyTemplate(buffer, sizeof buffer, title.c_str());
    if (!bare)
        return 0;
    const INT_PTR result = DialogBoxIndirectParamW(instance, bare, owner, procedure, parameter);
    return result < 0 ? 0 : result;
}

HFONT calibrationFont() {
    return gProcess.uiFont ? gProcess.uiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void setItemText(HWND dialog, int id, const wchar_t* text) {
    SetDlgItemTextW(dialog, id, text);
}

void handDefaultToCancel(HWND dialog) {
    HWND first = GetDlgItem(dialog, IDOK);
    SendMessageW(first, BM_SETSTYLE, BS_PUSHBUTTON | BS_CENTER, TRUE);
    EnableWindow(first, FALSE);
    SendMessageW(dialog, DM_SETDEFID, IDCANCEL, 0);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDCANCEL)),
                 TRUE);
}

void makeFirstButtonDefault(HWND dialog, const wchar_t* text) {
    HWND first = GetDlgItem(dialog, IDOK);
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    SetWindowTextW(first, text);
    EnableWindow(first, TRUE);
    SendMessageW(cancel, BM_SETSTYLE, BS_PUSHBUTTON | BS_CENTER, TRUE);
    SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

} // namespace tonvale
