#include "support/text_format.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(TextFormat, WideStringAndCharacterFollowTheTableConvention) {
    EXPECT_EQ(formatString(L"%s [%c%c]", L"Meantone", L'E', L'b'), L"Meantone [Eb]");
    EXPECT_EQ(formatString(L"Device: %s", L"\x30DE\x30A4\x30AF"), L"Device: \x30DE\x30A4\x30AF");
}

TEST(TextFormat, NumbersMatchTheCLibrary) {
    EXPECT_EQ(formatString(L"%+.2f cents", 1.005), L"+1.00 cents");
    EXPECT_EQ(formatString(L"%+.2f", -0.5), L"-0.50");
    EXPECT_EQ(formatString(L"%.3f Hz", 440.0), L"440.000 Hz");
    EXPECT_EQ(formatString(L"%d,%d", -2147483647 - 1, 42), L"-2147483648,42");
    EXPECT_EQ(formatString(L"%s\t%+.3f", L"C#", -13.6863), L"C#\t-13.686");
    EXPECT_EQ(formatString(L"%5d|%-4d|%04x", 7, 3, 255), L"    7|3   |00ff");
}

TEST(TextFormat, PercentAndUnknownConversionsAreCopied) {
    EXPECT_EQ(formatString(L"100%% %q %"), L"100% %q %");
}

TEST(TextFormat, BoundedBufferIsCutAndTerminated) {
    wchar_t buffer[6];
    EXPECT_EQ(formatText(buffer, 6, L"%s", L"Tonvale"), 5u);
    EXPECT_STREQ(buffer, L"Tonva");
    buffer[0] = L'x';
    EXPECT_EQ(formatText(buffer, 0, L"%d", 1), 0u);
    EXPECT_EQ(buffer[0], L'x');
    EXPECT_EQ(formatText(buffer, 1, L"%d", 1), 0u);
    EXPECT_EQ(buffer[0], L'\0');
}

} // namespace
} // namespace tonvale
