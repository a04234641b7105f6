// The library's two exports.
#include "levrig/levrig_win.h"

#include "levrig/window_body_win.h"
#include "levrig/window_list_win.h"
#include "support/exception_border.h"

using namespace tonvale;

extern "C" int32_t WINAPI LevRig(HWND owner, const wchar_t* commandLine) {
    return levrig::runWindowBody(owner, commandLine, nullptr);
}

extern "C" int32_t WINAPI LevRigAsync(HWND owner, const wchar_t* commandLine) {
    return guardBorder(
        "LevRigAsync",
        [&] {
            return commandLine ? levrig::openWindow(owner, commandLine) : levrig::closeAllWindows();
        },
        []() noexcept { return 1; });
}
