#include "app/fatal_exception.h"

#include <cwchar>

namespace tonvale {
namespace {

constexpr uint32_t kFatalCodes[] = {
    0xC0000005, // access violation
    0xC0000017, // no memory
    0xC000001D, // illegal instruction
    0xC0000025, // non-continuable exception
    0xC0000094, // integer division by zero
    0xC0000096, // privileged instruction
    0xC00000FD, // stack overflow
    0x80000001, // guard-page violation
};

} // namespace

bool isFatalException(uint32_t code) {
    for (uint32_t fatal : kFatalCodes)
        if (code == fatal)
            return true;
    return false;
}

std::wstring fatalExceptionText(uint32_t code) {
    wchar_t text[64];
    std::swprintf(text, 64, L"An unrecoverable error has occurred. (0x%08X)",
                  static_cast<unsigned>(code));
    return text;
}

} // namespace tonvale
