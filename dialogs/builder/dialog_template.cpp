#include "dialogs/builder/dialog_template.h"

#include <cstring>

namespace tonvale {
namespace {

bool isHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

class WordWriter {
  public:
    explicit WordWriter(unsigned char* out) : out_(out) {}
    void word(uint16_t value) {
        std::memcpy(out_ + written_, &value, sizeof value);
        written_ += sizeof value;
    }
    void dword(uint32_t value) {
        word(static_cast<uint16_t>(value));
        word(static_cast<uint16_t>(value >> 16));
    }
    size_t written() const { return written_; }

  private:
    unsigned char* out_;
    size_t written_ = 0;
};

} // namespace

size_t writeEmptyTemplate(void* buffer, size_t size, const wchar_t* title, uint32_t style) {
    if (!buffer || size < kTemplateHeaderBytes + 2)
        return 0;
    size_t length = 0;
    const size_t capacity = templateTitleCapacity(size);
    while (title && length < capacity && title[length] != L'\0')
        ++length;
    if (length > 0 && isHighSurrogate(title[length - 1]) && title[length] != L'\0')
        --length; // its low half was cut off

    WordWriter out(static_cast<unsigned char*>(buffer));
    out.dword(style);
    out.dword(0); // extended style
    out.word(0);  // controls
    for (int i = 0; i < 4; ++i)
        out.word(0); // x, y, cx, cy
    out.word(0);     // no menu
    out.word(0);     // default dialog class
    for (size_t i = 0; i < length; ++i)
        out.word(static_cast<uint16_t>(title[i]));
    out.word(0);
    return out.written();
}

} // namespace tonvale
