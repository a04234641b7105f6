#include "support/utf16.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(Utf16, RoundTripsBmpAndSupplementaryCharacters) {
    const std::string text = "A\xC3\xA9\xE3\x83\x81\xF0\x9D\x84\x9E"; // A é チ 𝄞
    std::wstring wide = utf8ToWide(text);
    ASSERT_EQ(wide.size(), 5u);
    EXPECT_EQ(static_cast<unsigned>(wide[2]), 0x30C1u);
    EXPECT_EQ(static_cast<unsigned>(wide[3]), 0xD834u);
    EXPECT_EQ(static_cast<unsigned>(wide[4]), 0xDD1Eu);
    EXPECT_EQ(wideToUtf8(wide), text);
}

TEST(Utf16, InvalidInputBecomesReplacementCharacter) {
    std::wstring wide = utf8ToWide(std::string("a\xFF"
                                               "b\xE3\x83",
                                               5));
    ASSERT_EQ(wide.size(), 4u);
    EXPECT_EQ(static_cast<unsigned>(wide[1]), 0xFFFDu);
    EXPECT_EQ(static_cast<unsigned>(wide[3]), 0xFFFDu);
    const wchar_t lone[] = {static_cast<wchar_t>(0xD800), L'x'};
    EXPECT_EQ(wideToUtf8(lone, 2), "\xEF\xBF\xBDx");
    // An overlong encoding of "/" must not decode to it.
    EXPECT_EQ(utf8ToWide(std::string("\xC0\xAF")), std::wstring(1, static_cast<wchar_t>(0xFFFD)));
}

} // namespace
} // namespace tonvale
