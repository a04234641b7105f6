// What a message box of a given type shows and answers, and where its parts
// go: the portable half of the program's message box (message_box_win.h).
#pragma once

#include "dialogs/builder/dialog_builder.h"

#include <cstdint>
#include <string>

namespace tonvale {

// The values of the system's message box types and results.
namespace mb {
constexpr uint32_t kOk = 0, kOkCancel = 1, kAbortRetryIgnore = 2, kYesNoCancel = 3, kYesNo = 4,
                   kRetryCancel = 5, kCancelTryContinue = 6;
constexpr uint32_t kTypeMask = 0x0F, kIconMask = 0xF0, kDefaultMask = 0xF00;
constexpr uint32_t kIconHand = 0x10, kIconQuestion = 0x20, kIconExclamation = 0x30,
                   kIconAsterisk = 0x40;
constexpr uint32_t kDefaultButton2 = 0x100, kDefaultButton3 = 0x200, kDefaultButton4 = 0x300;
constexpr uint32_t kSetForeground = 0x10000;
constexpr int kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6,
              kIdNo = 7, kIdTryAgain = 10, kIdContinue = 11;
// System icons (IDI_HAND ... IDI_ASTERISK).
constexpr uint16_t kIconIdHand = 32513, kIconIdQuestion = 32514, kIconIdExclamation = 32515,
                   kIconIdAsterisk = 32516;
} // namespace mb

// UI texts of the box.
constexpr int kTextAbort = 125, kTextRetry = 126, kTextIgnore = 127, kTextTryAgain = 128,
              kTextContinue = 129, kTextYes = 130, kTextNo = 131, kTextOk = 132, kTextCancel = 133,
              kTextCopy = 134;

constexpr int kMaxMessageBoxButtons = 4;

struct MessageBoxPlan {
    uint16_t buttonTexts[kMaxMessageBoxButtons] = {}; // UI text numbers, in order
    int buttonResults[kMaxMessageBoxButtons] = {};    // what each button returns
    int buttonCount = 1;
    int defaultButton = 0;
    int cancelIndex = -1;   // the button Esc and the close box choose; -1: none
    uint32_t iconClass = 0; // type & 0xF0
    uint16_t icon = 0;      // system icon resource, 0 for none
    bool foreground = false;
};

// Types above 6 show OK alone. A default button beyond the buttons there
// are falls back to the first, so Enter always answers.
MessageBoxPlan planMessageBox(uint32_t type);

// The value a chosen button index returns; 0 for -1 (the box failed) or an
// index without a button.
int messageBoxResult(const MessageBoxPlan& plan, int index);

// The text with every line break as CR LF: a lone LF or CR becomes CR LF.
std::wstring withCrLf(const wchar_t* text);

struct MessageBoxLayoutInput {
    const wchar_t* text = L"";
    const wchar_t* buttonTexts[kMaxMessageBoxButtons] = {};
    int buttonCount = 1;
    const wchar_t* cancelText = L""; // every button is at least as wide as this one
    bool hasIcon = false;
    int iconWidth = 32; // the system's icon size, which also sets the spacing
    int iconHeight = 32;
    bool taskDialogLook = true; // white message band over grey buttons (Windows 6.0+)
    int captionWidth = 0;       // what the caption needs, frame buttons included
    int maxTextHeight = 0;      // the text is cut to this height; 0: no limit
};

struct MessageBoxLayout {
    LayoutRect icon;
    LayoutRect text;
    LayoutRect buttons[kMaxMessageBoxButtons];
    int clientWidth = 0;
    int clientHeight = 0;
    int bandHeight = 0; // height of the message band; 0 in the classic look
};

// Lays out the box with the builder's metrics set to 14 and 10 (restored
// afterwards).
MessageBoxLayout layoutMessageBox(const TextMeasure& measure, const MessageBoxLayoutInput& input);

} // namespace tonvale
