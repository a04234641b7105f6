#include "levrig/error_box_win.h"

#include "levrig/levrig_texts.h"
#include "support/ui_text.h"

#include <windows.h>

namespace tonvale {
namespace levrig {

void showErrorBox(int code) {
    MessageBoxW(nullptr, UiText(errorTextNumber(code)), UiText(kTextErrorCaption),
                MB_OK | MB_ICONERROR);
}

} // namespace levrig
} // namespace tonvale
