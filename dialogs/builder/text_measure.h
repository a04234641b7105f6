// How the layout learns the size of a text: in the dialog's font on a device
// context (dialog_builder_win.h), or by a fixed rule in tests.
#pragma once

namespace tonvale {

struct TextExtent {
    int width = 0;
    int height = 0;
};

// Whether "&" marks a mnemonic (controls show "&OK" as "OK") or is shown.
enum class TextPrefix { mnemonic, plain };

class TextMeasure {
  public:
    virtual ~TextMeasure() = default;
    // Lines break only at line breaks.
    virtual TextExtent textExtent(const wchar_t* text, TextPrefix prefix) const = 0;
    // Words wrap at maxWidth (a word longer than that is broken); tabs expand.
    virtual TextExtent wrappedExtent(const wchar_t* text, int maxWidth,
                                     TextPrefix prefix) const = 0;
    virtual int screenWidth() const = 0;
};

} // namespace tonvale
