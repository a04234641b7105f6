// The program's message box as a user meets it on the rig's display: its
// buttons in both languages, the keys, "Copy", the windows it disables, and
// input it must survive. Screenshots go to the artefacts folder.
#include "app/message_box_win.h"

#include "tests/app/dialog_test_support_win.h"

#include <gtest/gtest.h>

#include <vector>

namespace tonvale {
namespace {

using testing::focusOf;
using testing::joined;
using testing::whileDriven;

constexpr const wchar_t* kTest = L"app_dialogs_win_test";
constexpr WPARAM kFirstButton = kMessageBoxFirstButtonId;

// Opens a box on this thread; drive() acts on it from another.
int runBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type,
           const std::function<void(HWND)>& drive) {
    return whileDriven<int>([&] { return TunerMessageBox(owner, text, caption, type); }, drive,
                            kFirstButton);
}

bool stillOpenAfter(HWND box, DWORD ms) {
    return !uikit::waitUntil([&] { return !IsWindow(box); }, ms, uikit::Pump::no);
}

struct Button {
    int id;
    std::wstring text;
    bool isDefault;
};

std::vector<Button> buttonsOf(HWND box) {
    std::vector<Button> buttons;
    for (int id = kMessageBoxFirstButtonId; id < kMessageBoxFirstButtonId + 4; ++id) {
        HWND button = GetDlgItem(box, id);
        if (!button)
            break;
        const auto style = GetWindowLongPtrW(button, GWL_STYLE);
        buttons.push_back(
            {id, uikit::windowText(button), (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON});
    }
    return buttons;
}

class MessageBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        loadTable(kEnglishTable);
        owner = CreateWindowExW(0, L"Static", L"Owner", WS_POPUP | WS_VISIBLE | WS_BORDER, 200, 150,
                                400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override {
        DestroyWindow(owner);
        loadTable(kEnglishTable);
    }
    HWND owner = nullptr;
};

struct TypeCase {
    UINT type;
    std::vector<int> ids; // returned by each button, in order
};

TEST_F(MessageBoxTest, EveryTypeShowsItsButtonsInBothLanguagesAndAnswersWithThem) {
    const TypeCase cases[] = {
        {MB_OK, {IDOK}},
        {MB_OKCANCEL, {IDOK, IDCANCEL}},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
        {MB_YESNO, {IDYES, IDNO}},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
        {MB_CANCELTRYCONTINUE, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}},
    };
    for (int table : {kEnglishTable, kJapaneseTable}) {
        loadTable(table);
        for (const TypeCase& c : cases) {
            // Every button answers in one language; the other shows its texts once.
            const size_t tried = table == kEnglishTable ? c.ids.size() : 1;
            for (size_t chosen = 0; chosen < tried; ++chosen) {
                const MessageBoxPlan plan = planMessageBox(c.type);
                std::vector<Button> buttons;
                std::vector<std::wstring> clipped;
                bool iconShown = true;
                int focusedId = 0;
                const UINT type = c.type | (c.ids.size() > 1 ? MB_DEFBUTTON2 : 0);
                const int result =
                    runBox(owner, L"Choose a button.", L"Tonvale", type, [&](HWND box) {
                        buttons = buttonsOf(box);
                        iconShown = IsWindowVisible(GetDlgItem(box, kMessageBoxIconId)) != FALSE;
                        clipped = uikit::clippedTexts(box);
                        uikit::bringToFront(box);
                        focusedId = GetDlgCtrlID(focusOf(box));
                        SendMessageW(
                            GetDlgItem(box, kMessageBoxFirstButtonId + static_cast<int>(chosen)),
                            BM_CLICK, 0, 0);
                    });
                SCOPED_TRACE(testing::narrow(testing::languageName(table)) + " type " +
                             std::to_string(c.type));
                EXPECT_EQ(result, c.ids[chosen]);
                EXPECT_FALSE(iconShown);
                ASSERT_EQ(buttons.size(), c.ids.size());
                const size_t defaultIndex = c.ids.size() > 1 ? 1 : 0;
                for (size_t i = 0; i < buttons.size(); ++i) {
                    EXPECT_EQ(buttons[i].text, UiText(plan.buttonTexts[i])) << i;
                    EXPECT_EQ(buttons[i].isDefault, i == defaultIndex) << i;
                }
                EXPECT_EQ(focusedId, kMessageBoxFirstButtonId + static_cast<int>(defaultIndex));
                if (table == testing::renderedTable()) {
                    EXPECT_TRUE(clipped.empty()) << joined(clipped);
                }
            }
        }
    }
    // The texts themselves, as the tables hold them.
    loadTable(kEnglishTable);
    EXPECT_STREQ(UiText(kTextYes), L"&Yes");
    loadTable(kJapaneseTable);
    EXPECT_STREQ(UiText(kTextYes), L"\u306F\u3044(&Y)");
}

TEST_F(MessageBoxTest, EscAndTheCloseBoxDoNothingWithoutACancelButton) {
    bool openAfterEsc = false, openAfterClose = false, closeInMenu = true;
    const int result =
        runBox(owner, L"Press a key.", L"Tonvale", MB_OK | MB_ICONHAND, [&](HWND box) {
            closeInMenu =
                GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND) != UINT(-1);
            uikit::bringToFront(box);
            uikit::pressKey(VK_ESCAPE);
            openAfterEsc = stillOpenAfter(box, 300);
            PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
            PostMessageW(box, WM_CLOSE, 0, 0);
            openAfterClose = stillOpenAfter(box, 300);
            uikit::pressKey(VK_RETURN);
        });
    EXPECT_FALSE(closeInMenu);
    EXPECT_TRUE(openAfterEsc);
    EXPECT_TRUE(openAfterClose);
    EXPECT_EQ(result, IDOK);
}

TEST_F(MessageBoxTest, EscTheCloseBoxEnterAndMnemonicsAnswerAsTheTypeSays) {
    auto pressing = [&](UINT type, WORD key) {
        return runBox(owner, L"Press a key.", L"Tonvale", type, [&](HWND box) {
            uikit::bringToFront(box);
            uikit::pressKey(key);
        });
    };
    EXPECT_EQ(pressing(MB_OKCANCEL, VK_ESCAPE), IDCANCEL);
    EXPECT_EQ(pressing(MB_YESNOCANCEL, VK_ESCAPE), IDCANCEL);
    EXPECT_EQ(pressing(MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, VK_ESCAPE), IDCANCEL);
    EXPECT_EQ(pressing(MB_YESNO | MB_DEFBUTTON2, VK_RETURN), IDNO);
    EXPECT_EQ(pressing(MB_YESNO, 'N'), IDNO);
    EXPECT_EQ(pressing(MB_ABORTRETRYIGNORE, 'I'), IDIGNORE);
    // Tab follows the buttons' order: from the default first button to the second.
    EXPECT_EQ(runBox(owner, L"Tab", L"Tonvale", MB_YESNO,
                     [&](HWND box) {
                         uikit::bringToFront(box);
                         uikit::pressKey(VK_TAB);
                         uikit::pressKey(VK_SPACE);
                     }),
              IDNO);
    const int closed = runBox(owner, L"Close it.", L"Tonvale", MB_OKCANCEL, [&](HWND box) {
        EXPECT_NE(GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND), UINT(-1));
        PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(closed, IDCANCEL);
}

TEST_F(MessageBoxTest, CopyPutsTheTextOnTheClipboardWithCrLfLineBreaks) {
    bool menuShown = false;
    runBox(owner, L"first line\nsecond line\rthird\r\nfourth", L"Tonvale", MB_OK, [&](HWND box) {
        uikit::bringToFront(box);
        RECT text = {};
        GetWindowRect(GetDlgItem(box, kMessageBoxTextId), &text);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&text), 2);
        uikit::rightClick(box, {text.left + 5, text.top + 5});
        HWND menu = uikit::waitForWindow(L"#32768", nullptr, 3000);
        menuShown = menu != nullptr;
        uikit::pressKey(VK_DOWN);
        uikit::pressKey(VK_RETURN);
        uikit::waitUntil([&] { return !IsWindowVisible(menu); }, 2000, uikit::Pump::no);
        uikit::pressKey(VK_RETURN);
    });
    EXPECT_TRUE(menuShown);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::wstring copied;
    if (data) {
        copied = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    EXPECT_EQ(copied, L"first line\r\nsecond line\r\nthird\r\nfourth");
}

TEST_F(MessageBoxTest, AnErrorBoxDisablesTheThreadsOtherWindowsUntilItCloses) {
    auto popup = [](int x) {
        return CreateWindowExW(0, L"Static", L"Other", WS_POPUP | WS_VISIBLE | WS_BORDER, x, 10, 80,
                               60, nullptr, nullptr, nullptr, nullptr);
    };
    HWND spectrum = popup(10), tone = popup(100);
    HWND hidden = CreateWindowExW(0, L"Static", L"Hidden", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    auto enabledDuring = [&](UINT type) {
        std::vector<bool> enabled;
        runBox(owner, L"Something failed.", L"Tonvale", type, [&](HWND) {
            for (HWND window : {spectrum, tone, hidden, owner})
                enabled.push_back(IsWindowEnabled(window) != FALSE);
        });
        return enabled;
    };
    EXPECT_EQ(enabledDuring(MB_ICONHAND), (std::vector<bool>{false, false, true, false}));
    for (HWND window : {spectrum, tone, hidden, owner})
        EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(enabledDuring(MB_ICONEXCLAMATION), (std::vector<bool>{false, false, true, false}));
    // Questions and information hold only their owner.
    EXPECT_EQ(enabledDuring(MB_ICONASTERISK), (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(enabledDuring(MB_ICONQUESTION), (std::vector<bool>{true, true, true, false}));
    for (HWND window : {spectrum, tone, hidden})
        DestroyWindow(window);
}

TEST_F(MessageBoxTest, ALongCaptionWidensTheBoxInsteadOfBeingCut) {
    auto widthWith = [&](const wchar_t* caption) {
        RECT window = {};
        runBox(owner, L"Short.", caption, MB_OK, [&](HWND box) { GetWindowRect(box, &window); });
        return window.right - window.left;
    };
    const wchar_t* longCaption = L"Tonvale - a caption long enough to need a wider box";
    const int narrow = widthWith(L"Tonvale");
    const int wide = widthWith(longCaption);
    EXPECT_GT(wide, narrow);

    // The caption fits beside the close box.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, longCaption, lstrlenW(longCaption), &extent);
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    EXPECT_GE(wide, extent.cx + GetSystemMetrics(SM_CXSIZE));
}

TEST_F(MessageBoxTest, BadInputStillShowsABoxThatFitsTheScreen) {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const std::wstring longCaption(2000, L'C');
    std::wstring longText;
    for (int i = 0; i < 3000; ++i)
        longText += L"word ";
    const std::wstring longWord(5000, L'W');
    struct Input {
        const wchar_t* text;
        const wchar_t* caption;
    } inputs[] = {
        {L"Text", longCaption.c_str()},
        {nullptr, nullptr},
        {L"", L""},
        {UiText(9999), UiText(-5)},
        {longText.c_str(), L"Tonvale"},
        {longWord.c_str(), L"Tonvale"},
    };
    for (const Input& input : inputs) {
        RECT window = {};
        std::wstring caption;
        bool shown = false;
        const int result =
            runBox(owner, input.text, input.caption, MB_OK | MB_ICONHAND, [&](HWND box) {
                shown = IsWindowVisible(box) != FALSE;
                GetWindowRect(box, &window);
                caption = uikit::windowText(box);
                uikit::bringToFront(box);
                uikit::pressKey(VK_RETURN);
            });
        SCOPED_TRACE(
            testing::narrow(std::wstring(input.text ? input.text : L"(null)").substr(0, 20)));
        EXPECT_TRUE(shown);
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(caption, input.caption ? input.caption : L"");
        EXPECT_GE(window.left, work.left);
        EXPECT_GE(window.top, work.top);
        EXPECT_LE(window.right, work.right);
        EXPECT_LE(window.bottom, work.bottom);
    }
}

// In the language of the locale the test runs in, whose fonts can show it.
TEST_F(MessageBoxTest, ScreenshotsInTheLocalesLanguage) {
    const int table = testing::renderedTable();
    loadTable(table);
    // Texts of the program's own messages, in the table's language.
    const std::wstring error = std::wstring(UiText(114)) + L"\n" + UiText(121);
    const std::wstring question = std::wstring(UiText(76)) + L"\n" + UiText(77);
    const struct {
        const wchar_t* name;
        const std::wstring& text;
        UINT type;
    } shots[] = {
        {L"error", error, MB_OK | MB_ICONHAND},
        {L"question", question, MB_YESNOCANCEL | MB_ICONQUESTION},
    };
    for (const auto& shot : shots) {
        const std::wstring file = std::wstring(L"message_box_") + testing::lookName() + L"_" +
                                  testing::languageName(table) + L"_" + shot.name + L".png";
        bool captured = false, iconShown = false;
        std::vector<std::wstring> clipped;
        runBox(owner, shot.text.c_str(), L"Tonvale", shot.type, [&](HWND box) {
            HWND icon = GetDlgItem(box, kMessageBoxIconId);
            iconShown = IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0;
            clipped = uikit::clippedTexts(box);
            captured = uikit::captureWindow(box, uikit::artefactPath(kTest, file));
        });
        EXPECT_TRUE(captured) << testing::narrow(file);
        EXPECT_TRUE(iconShown) << testing::narrow(file);
        EXPECT_TRUE(clipped.empty()) << joined(clipped);
    }
}

} // namespace
} // namespace tonvale
