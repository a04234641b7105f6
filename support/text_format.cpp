#include "support/text_format.h"

#include "support/text_chars.h"

#include <cstdio>
#include <cwchar>

namespace tonvale {
namespace {

// Appends to a bounded buffer, or only counts when growing a string.
class Sink {
  public:
    Sink(wchar_t* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) {}
    explicit Sink(std::wstring* text) : text_(text) {}

    void put(wchar_t c) {
        if (text_) {
            text_->push_back(c);
        } else if (capacity_ > 0 && written_ + 1 < capacity_) {
            buffer_[written_++] = c;
        }
    }
    void put(const wchar_t* s, size_t n) {
        for (size_t i = 0; i < n; ++i)
            put(s[i]);
    }
    void repeat(wchar_t c, int n) {
        for (int i = 0; i < n; ++i)
            put(c);
    }
    size_t finish() {
        if (text_)
            return text_->size();
        if (capacity_ > 0)
            buffer_[written_] = L'\0';
        return written_;
    }

  private:
    wchar_t* buffer_ = nullptr;
    size_t capacity_ = 0;
    size_t written_ = 0;
    std::wstring* text_ = nullptr;
};

struct Directive {
    bool leftAlign = false;
    bool plus = false;
    bool space = false;
    bool zero = false;
    bool alternate = false;
    int width = -1;
    int precision = -1;
};

void putPadded(Sink& sink, const Directive& directive, const wchar_t* s, size_t n) {
    int pad = directive.width > static_cast<int>(n) ? directive.width - static_cast<int>(n) : 0;
    if (!directive.leftAlign)
        sink.repeat(L' ', pad);
    sink.put(s, n);
    if (directive.leftAlign)
        sink.repeat(L' ', pad);
}

// Numbers go through the narrow C library, whose numeric conversions agree on
// every platform; only the string conversions differ.
void putNumber(Sink& sink, const Directive& directive, char conversion, bool isFloat, long long i,
               double d) {
    char format[32];
    char* f = format;
    *f++ = '%';
    if (directive.leftAlign)
        *f++ = '-';
    if (directive.plus)
        *f++ = '+';
    if (directive.space)
        *f++ = ' ';
    if (directive.zero)
        *f++ = '0';
    if (directive.alternate)
        *f++ = '#';
    *f++ = '*';
    *f++ = '.';
    *f++ = '*';
    if (!isFloat) {
        *f++ = 'l';
        *f++ = 'l';
    }
    *f++ = conversion;
    *f = '\0';
    char digits[512];
    int width = directive.width < 0 ? 0 : directive.width;
    int precision = directive.precision;
    int n = isFloat ? std::snprintf(digits, sizeof digits, format, width, precision, d)
                    : std::snprintf(digits, sizeof digits, format, width, precision, i);
    if (n < 0)
        return;
    size_t len =
        static_cast<size_t>(n) < sizeof digits ? static_cast<size_t>(n) : sizeof digits - 1;
    for (size_t k = 0; k < len; ++k)
        sink.put(widenChar(digits[k]));
}

const wchar_t* parseDirective(const wchar_t* p, Directive& directive, va_list& args) {
    for (;; ++p) {
        if (*p == L'-')
            directive.leftAlign = true;
        else if (*p == L'+')
            directive.plus = true;
        else if (*p == L' ')
            directive.space = true;
        else if (*p == L'0')
            directive.zero = true;
        else if (*p == L'#')
            directive.alternate = true;
        else
            break;
    }
    if (*p == L'*') {
        directive.width = va_arg(args, int);
        if (directive.width < 0) {
            directive.leftAlign = true;
            directive.width = -directive.width;
        }
        ++p;
    } else {
        for (; *p >= L'0' && *p <= L'9'; ++p)
            directive.width = (directive.width < 0 ? 0 : directive.width) * 10 + (*p - L'0');
    }
    if (*p == L'.') {
        ++p;
        directive.precision = 0;
        if (*p == L'*') {
            directive.precision = va_arg(args, int);
            ++p;
        } else {
            for (; *p >= L'0' && *p <= L'9'; ++p)
                directive.precision = directive.precision * 10 + (*p - L'0');
        }
    }
    while (*p == L'l' || *p == L'h' || *p == L'L')
        ++p;
    return p;
}

// Returns false for a conversion it does not know, which is then copied.
bool putConversion(Sink& sink, const Directive& directive, wchar_t conversion, va_list& args) {
    switch (conversion) {
    case L's': {
        const wchar_t* s = va_arg(args, const wchar_t*);
        if (!s)
            s = L"(null)";
        size_t n = std::wcslen(s);
        if (directive.precision >= 0 && static_cast<size_t>(directive.precision) < n)
            n = static_cast<size_t>(directive.precision);
        putPadded(sink, directive, s, n);
        return true;
    }
    case L'c': {
        wchar_t c = static_cast<wchar_t>(va_arg(args, int));
        putPadded(sink, directive, &c, 1);
        return true;
    }
    case L'd':
    case L'i':
        putNumber(sink, directive, 'd', false, va_arg(args, int), 0.0);
        return true;
    case L'u':
    case L'x':
    case L'X':
        putNumber(sink, directive, static_cast<char>(conversion), false, va_arg(args, unsigned),
                  0.0);
        return true;
    case L'f':
    case L'e':
    case L'g':
        putNumber(sink, directive, static_cast<char>(conversion), true, 0, va_arg(args, double));
        return true;
    default:
        return false;
    }
}

// va_list is an array type on some ABIs; a local copy can be passed on by reference.
void formatInto(Sink& sink, const wchar_t* format, va_list argsIn) {
    if (!format)
        return;
    va_list args;
    va_copy(args, argsIn);
    for (const wchar_t* p = format; *p;) {
        if (*p != L'%') {
            sink.put(*p++);
            continue;
        }
        if (p[1] == L'%') {
            sink.put(L'%');
            p += 2;
            continue;
        }
        Directive directive;
        const wchar_t* conversion = parseDirective(p + 1, directive, args);
        if (*conversion && putConversion(sink, directive, *conversion, args)) {
            p = conversion + 1;
        } else {
            sink.put(*p++);
        }
    }
    va_end(args);
}

} // namespace

size_t formatTextV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args) {
    Sink sink(buffer, capacity);
    formatInto(sink, format, args);
    return sink.finish();
}

size_t formatText(wchar_t* buffer, size_t capacity, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    size_t n = formatTextV(buffer, capacity, format, args);
    va_end(args);
    return n;
}

std::wstring formatString(const wchar_t* format, ...) {
    std::wstring text;
    Sink sink(&text);
    va_list args;
    va_start(args, format);
    formatInto(sink, format, args);
    va_end(args);
    return text;
}

} // namespace tonvale
