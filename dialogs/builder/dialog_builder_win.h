// The Windows half of the dialog builder: texts measured in a font on a
// device context, the empty template, control creation and placement.
#pragma once

#include "dialogs/builder/dialog_builder.h"
#include "dialogs/builder/dialog_template.h"
#include "support/scoped_win.h"

#include <windows.h>

namespace tonvale {

// Measures with whatever font is selected into dc, with DrawTextW's rules
// (the same flags the controls draw with).
class DcTextMeasure final : public TextMeasure {
  public:
    explicit DcTextMeasure(HDC dc) : dc_(dc) {}
    TextExtent textExtent(const wchar_t* text, TextPrefix prefix) const override;
    TextExtent wrappedExtent(const wchar_t* text, int maxWidth, TextPrefix prefix) const override;
    int screenWidth() const override;

  private:
    HDC dc_;
};

// A window's device context with a font selected, for one layout. valid()
// is false when no context could be had; the layout then fails.
class LayoutDC {
  public:
    LayoutDC(HWND window, HFONT font) : dc_(window), font_(dc_.get(), font), measure_(dc_.get()) {}
    bool valid() const { return static_cast<bool>(dc_); }
    HDC get() const { return dc_.get(); }
    const TextMeasure& measure() const { return measure_; }

  private:
    WindowDC dc_;
    SelectionOf font_;
    DcTextMeasure measure_;
};

// DrawTextW flags for a word-wrapped text as the measure wraps it.
UINT wrappedTextFlags(TextPrefix prefix);

// writeEmptyTemplate into buffer (aligned to 4 bytes), as the template type
// the dialog functions take; null when the buffer is too small.
const DLGTEMPLATE* emptyTemplate(void* buffer, size_t size, const wchar_t* title,
                                 DWORD style = kPopupDialogStyle);

// Creates table[0 .. count) as children of dialog at rectangles[i], each with
// its UI text and `font`. Stops at the first failure and returns false.
bool createControls(HWND dialog, const DialogControl* table, const LayoutRect* rectangles,
                    int count, HFONT font);

// Sizes dialog so its client area is clientWidth x clientHeight and centres
// it on its parent (or owner), kept inside the work area of that monitor.
void centreOnParent(HWND dialog, int clientWidth, int clientHeight);

} // namespace tonvale
