#include "devices/wave_error_text_win.h"

#include "app/message_box_win.h"
#include "support/text_format.h"

namespace tonvale {
namespace {

constexpr UINT kSystemTextCapacity = 512;
constexpr wchar_t kCaption[] = L"Tonvale";

using ErrorTextFunction = MMRESULT(WINAPI*)(MMRESULT, wchar_t*, UINT);

std::wstring composeErrorText(const wchar_t* message, MMRESULT code, ErrorTextFunction systemText) {
    std::wstring text = formatString(L"%s\n\n", message ? message : L"");
    if (code != MMSYSERR_NOERROR) {
        wchar_t explanation[kSystemTextCapacity] = {};
        if (systemText(code, explanation, kSystemTextCapacity) == MMSYSERR_NOERROR) {
            explanation[kSystemTextCapacity - 1] = L'\0';
            text += explanation;
        } else {
            text += formatString(L"Error code %d", static_cast<int>(code));
        }
    }
    return text;
}

} // namespace

std::wstring waveInErrorText(const wchar_t* message, MMRESULT code) {
    return composeErrorText(message, code, waveInGetErrorTextW);
}

std::wstring waveOutErrorText(const wchar_t* message, MMRESULT code) {
    return composeErrorText(message, code, waveOutGetErrorTextW);
}

void showWaveInError(HWND owner, const wchar_t* message, MMRESULT code) {
    TunerMessageBox(owner, waveInErrorText(message, code).c_str(), kCaption, MB_ICONHAND);
}

void showWaveOutError(HWND owner, const wchar_t* message, MMRESULT code) {
    TunerMessageBox(owner, waveOutErrorText(message, code).c_str(), kCaption, MB_ICONHAND);
}

} // namespace tonvale
