#include "support/ui_text.h"

namespace tonvale {
namespace {

const wchar_t* gUiTexts[kUiTextCapacity] = {};

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

} // namespace

const wchar_t* UiText(int number) {
    if (number < 0 || number >= kUiTextCapacity || !gUiTexts[number])
        return L"";
    return gUiTexts[number];
}

void setUiTable(const wchar_t* data, size_t length) {
    for (const wchar_t*& entry : gUiTexts)
        entry = nullptr;
    size_t pos = 0;
    for (int n = 0; n < kUiTextCapacity && data; ++n) {
        size_t end = pos;
        while (end < length && data[end] != L'\0')
            ++end;
        if (end >= length)
            break; // no terminating NUL inside the table
        gUiTexts[n] = data + pos;
        pos = end + 1;
    }
}

void loadTable(int languageId) {
    const wchar_t* data = nullptr;
    size_t length = 0;
    if (uiTableData(languageId, data, length))
        setUiTable(data, length);
    else
        setUiTable(nullptr, 0);
}

uint32_t firstPreferredLanguage(const wchar_t* list, size_t length) {
    size_t pos = 0;
    auto entryEnd = [&](size_t from) {
        while (from < length && list[from] != L'\0')
            ++from;
        return from;
    };
    // Skip the custom locale's default UI language.
    while (pos < length) {
        size_t end = entryEnd(pos);
        if (!(end - pos == 4 && list[pos] == L'1' && list[pos + 1] == L'4' &&
              list[pos + 2] == L'0' && list[pos + 3] == L'0'))
            break;
        pos = end + 1;
    }
    size_t end = pos < length ? entryEnd(pos) : pos;
    if (end == pos || end - pos > 8)
        return 0;
    uint32_t id = 0;
    for (size_t i = pos; i < end; ++i) {
        int digit = hexDigit(list[i]);
        if (digit < 0)
            return 0;
        id = id * 16 + static_cast<uint32_t>(digit);
    }
    return id;
}

int tableForLanguage(uint32_t languageId) {
    return languageId == 0x0411 ? kJapaneseTable : kEnglishTable;
}

} // namespace tonvale
