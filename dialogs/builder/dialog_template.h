// The in-memory template of a dialog without controls, and the table that
// describes the controls a dialog creates itself after its layout.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonvale {

// WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
constexpr uint32_t kPopupDialogStyle = 0x80000000u | 0x00C00000u | 0x00080000u | 0x00000080u;
// WS_CHILD | DS_CONTROL (Tab moves into and out of the child dialog)
constexpr uint32_t kChildDialogStyle = 0x40000000u | 0x00000400u;

// Bytes before the title: header (18), menu (2) and class (2) words.
constexpr size_t kTemplateHeaderBytes = 22;

// The title capacity, in UTF-16 code units, of a template buffer of `size` bytes.
constexpr size_t templateTitleCapacity(size_t size) {
    return size < kTemplateHeaderBytes + 2 ? 0 : (size - kTemplateHeaderBytes) / 2 - 1;
}

// Writes a standard dialog template (not the extended form) into buffer:
// `style`, no extended style, no controls, position and size 0, no menu,
// the default dialog class, and the title (UTF-16 code units; null for
// none) cut to the capacity without splitting a surrogate pair. The buffer
// must be aligned to 4 bytes. Returns the bytes written, 0 when even an
// empty title does not fit.
size_t writeEmptyTemplate(void* buffer, size_t size, const wchar_t* title,
                          uint32_t style = kPopupDialogStyle);

// Marks a control without a text.
constexpr int kNoText = -1;

// One child control, in creation and tab order.
struct DialogControl {
    const wchar_t* className; // "Button", "Static", "SysTabControl32", ...
    int text;                 // UI text number, or kNoText
    uint16_t id;
    uint32_t exStyle;
    uint32_t style; // includes WS_CHILD, and WS_VISIBLE when shown
};

} // namespace tonvale
