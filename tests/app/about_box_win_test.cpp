// The about box on the rig's display, and the test program's start: the UI
// font the program would choose, and frames Wine draws itself.
#include "app/about_box_win.h"

#include "tests/app/dialog_test_support_win.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace tonvale {
namespace {

constexpr const wchar_t* kTest = L"app_dialogs_win_test";
constexpr int kAboutTitle = 102;
constexpr int kAboutTagline = 168;

bool isIsoDate(const std::wstring& text) {
    if (text.size() != 10 || text[4] != L'-' || text[7] != L'-')
        return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::iswdigit(text[i]))
            return false;
    return text.compare(5, 2, L"01") >= 0 && text.compare(5, 2, L"12") <= 0 &&
           text.compare(8, 2, L"01") >= 0 && text.compare(8, 2, L"31") <= 0;
}

TEST(AboutBox, ShowsNameVersionWhatItIsAndTheBuildDate) {
    HWND owner = CreateWindowExW(0, L"Static", L"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                 500, 400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    const int table = testing::renderedTable();
    loadTable(table);
    ShowWindow(owner, SW_MINIMIZE);
    std::wstring title, name, tagline, date;
    std::vector<std::wstring> clipped;
    bool ownerRestored = false, okFocused = false, captured = false;
    const bool shown = testing::whileDriven<bool>(
        [&] { return showAboutBox(owner); },
        [&](HWND box) {
            title = uikit::windowText(box);
            name = uikit::windowText(GetDlgItem(box, 101));
            tagline = uikit::windowText(GetDlgItem(box, 102));
            date = uikit::windowText(GetDlgItem(box, 103));
            clipped = uikit::clippedTexts(box);
            ownerRestored = !IsIconic(owner);
            okFocused = testing::focusOf(box) == GetDlgItem(box, IDOK);
            const std::wstring file = std::wstring(L"about_box_") + testing::lookName() + L"_" +
                                      testing::languageName(table) + L".png";
            captured = uikit::captureWindow(box, uikit::artefactPath(kTest, file));
            uikit::bringToFront(box);
            uikit::pressKey(VK_ESCAPE);
        },
        IDOK);
    EXPECT_TRUE(shown);
    EXPECT_EQ(title, UiText(kAboutTitle));
    EXPECT_EQ(name, L"Tonvale 1.6.0.1");
    EXPECT_EQ(tagline, UiText(kAboutTagline));
    EXPECT_FALSE(tagline.empty());
    EXPECT_TRUE(isIsoDate(date)) << testing::narrow(date);
    EXPECT_TRUE(clipped.empty()) << testing::joined(clipped);
    EXPECT_TRUE(ownerRestored);
    EXPECT_TRUE(okFocused);
    EXPECT_TRUE(captured);
    loadTable(kEnglishTable);
    DestroyWindow(owner);
}

} // namespace
} // namespace tonvale

namespace tonvale::testing {
int& renderedTableSlot() {
    static int table = kEnglishTable;
    return table;
}
} // namespace tonvale::testing

int main(int argc, char** argv) {
    tonvale::uikit::drawOwnFrames();
    tonvale::testing::renderedTableSlot() = tonvale::chooseLanguage();
    // The program's UI font: the system's message font.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    tonvale::gProcess.uiFont = CreateFontIndirectW(&metrics.lfMessageFont);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
