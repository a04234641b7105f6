#include "support/ui_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tonvale {
namespace {

std::vector<std::wstring> tableTexts(int languageId) {
    const wchar_t* data = nullptr;
    size_t length = 0;
    std::vector<std::wstring> texts;
    if (!uiTableData(languageId, data, length))
        return texts;
    EXPECT_GT(length, 0u);
    EXPECT_EQ(data[length - 1], L'\0') << "the last text must be terminated";
    for (size_t pos = 0; pos < length;) {
        texts.emplace_back(data + pos);
        pos += texts.back().size() + 1;
    }
    return texts;
}

// The printf conversions and line feeds of a text, in order.
std::vector<std::wstring> formatTokens(const std::wstring& text) {
    std::vector<std::wstring> tokens;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n') {
            tokens.push_back(L"\\n");
        } else if (text[i] == L'%') {
            size_t end = text.find_first_of(L"%sdcfiuxXeEgG", i + 1);
            if (end == std::wstring::npos)
                end = text.size() - 1;
            tokens.push_back(text.substr(i, end - i + 1));
            i = end;
        }
    }
    return tokens;
}

TEST(UiStringTables, EachHoldsExactly171Texts) {
    EXPECT_EQ(tableTexts(kEnglishTable).size(), 171u);
    EXPECT_EQ(tableTexts(kJapaneseTable).size(), 171u);
}

TEST(UiStringTables, LanguagesShareTheFormatConversions) {
    std::vector<std::wstring> english = tableTexts(kEnglishTable);
    std::vector<std::wstring> japanese = tableTexts(kJapaneseTable);
    ASSERT_EQ(english.size(), japanese.size());
    for (size_t n = 0; n < english.size(); ++n)
        EXPECT_EQ(formatTokens(english[n]), formatTokens(japanese[n])) << "text " << n;
    EXPECT_EQ(formatTokens(english[58]).size(), 11u);
    EXPECT_EQ(formatTokens(english[12]), std::vector<std::wstring>{L"%+.2f"});
}

TEST(UiText, LoadedTablesAnswerByNumber) {
    loadTable(kEnglishTable);
    EXPECT_STREQ(UiText(0), L"OK");
    EXPECT_STREQ(UiText(84), L"Equal Temp.");
    EXPECT_STREQ(UiText(155), L" -");
    EXPECT_STREQ(UiText(40), L"\u00B1");
    EXPECT_EQ(std::wstring(UiText(58)).rfind(L"Temperament Name:\n%s\n\n", 0), 0u);
    EXPECT_STREQ(UiText(166), L"8");
    EXPECT_STREQ(UiText(170), L"");
    EXPECT_STREQ(UiText(-1), L"");
    EXPECT_STREQ(UiText(171), L"");

    loadTable(kJapaneseTable);
    EXPECT_STREQ(UiText(135), L"\u30C1\u30E5\u30FC\u30CB\u30F3\u30B0(&T)");
    EXPECT_STREQ(UiText(84), L"\u5E73\u5747\u5F8B");

    loadTable(1036); // no such table
    for (int n = 0; n < kUiTextCapacity; ++n)
        ASSERT_STREQ(UiText(n), L"") << n;
    loadTable(kEnglishTable);
}

TEST(UiText, EntriesPointIntoTheTableAndStopAtItsEnd) {
    static const wchar_t table[] = {L'a', 0, 0, L'b', L'c', 0, L'd'}; // "d" is not terminated
    setUiTable(table, sizeof table / sizeof table[0]);
    EXPECT_EQ(UiText(0), table);
    EXPECT_STREQ(UiText(1), L"");
    EXPECT_EQ(UiText(2), table + 3);
    EXPECT_STREQ(UiText(3), L"");
    EXPECT_NE(UiText(3), nullptr);

    // A table longer than the lookup fills it and no more.
    std::vector<wchar_t> full;
    for (int n = 0; n <= kUiTextCapacity; ++n)
        full.insert(full.end(), {L'x', L'\0'});
    setUiTable(full.data(), full.size());
    EXPECT_STREQ(UiText(kUiTextCapacity - 1), L"x");
    EXPECT_STREQ(UiText(kUiTextCapacity), L"");
    loadTable(kEnglishTable);
}

TEST(UiLanguage, FirstPreferredLanguageSkipsCustomLocaleEntries) {
    auto first = [](const std::wstring& list) {
        return firstPreferredLanguage(list.data(), list.size());
    };
    using namespace std::string_literals;
    EXPECT_EQ(first(L"0411\0\0"s), 0x0411u);
    EXPECT_EQ(first(L"1400\0"
                    L"0411\0\0"s),
              0x0411u);
    EXPECT_EQ(first(L"1400\0"
                    L"1400\0"
                    L"0411\0\0"s),
              0x0411u);
    EXPECT_EQ(first(L"0409\0"
                    L"0411\0\0"s),
              0x0409u);
    EXPECT_EQ(first(L"1400\0\0"s), 0u);
    EXPECT_EQ(first(L"04g1\0\0"s), 0u);
    EXPECT_EQ(first(L"\0\0"s), 0u);
    EXPECT_EQ(first(L""s), 0u);
    EXPECT_EQ(first(L"100000411\0\0"s), 0u); // never wraps around to 0x0411

    EXPECT_EQ(tableForLanguage(0x0411), kJapaneseTable);
    EXPECT_EQ(tableForLanguage(0x0409), kEnglishTable);
    EXPECT_EQ(tableForLanguage(0x0804), kEnglishTable);
    EXPECT_EQ(tableForLanguage(0), kEnglishTable);
}

} // namespace
} // namespace tonvale
