// A tabbed dialog of three test pages on the rig's display: pages made on
// first show, Ctrl+Tab around the tabs, the order of PSN_APPLY and a page
// that refuses it, Help, a page that cannot be made; screenshots.
#include "dialogs/builder/tabbed_dialog_win.h"

#include "dialogs/builder/dialog_builder_win.h"
#include "dialogs/builder/page_area.h"
#include "support/ui_text.h"
#include "support/windows_version.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tonvale {
namespace {

constexpr const wchar_t* kTest = L"dialogs_tabbed_win_test";
constexpr int kPageCount = 3;
HFONT gFont = nullptr;
int gRenderedTable = kEnglishTable;

struct PageRecord {
    int inits = 0;
    int activations = 0;
    int helps = 0;
    LRESULT applyAnswer = PSNRET_NOERROR;
    bool failInit = false;
};

struct Shared {
    PageRecord pages[kPageCount];
    std::vector<int> applyOrder;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// Page 0: a check box and a framed group with a row; page 1: two check
// boxes; page 2: a label, a list and a button.
const DialogControl kPage0[] = {
    {L"Button", 20, 1001, 0, kChild | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX},
    {L"Button", 27, 1002, 0, kChild | BS_GROUPBOX},
    {L"Static", 28, 1003, 0, kChild | SS_LEFT},
    {L"Edit", kNoText, 1004, WS_EX_CLIENTEDGE, kChild | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL},
    {L"Static", 29, 1005, 0, kChild | SS_LEFT},
};
const DialogControl kPage1[] = {
    {L"Button", 44, 1101, 0, kChild | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX},
    {L"Button", 45, 1102, 0, kChild | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX},
};
const DialogControl kPage2[] = {
    {L"Static", 47, 1201, 0, kChild | SS_LEFT},
    {L"ComboBox", kNoText, 1202, 0, kChild | WS_TABSTOP | WS_GROUP | CBS_DROPDOWNLIST | WS_VSCROLL},
    {L"Button", 50, 1203, 0, kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON},
};

template <int Index> bool layoutPage(HWND page, HFONT font, void*, int* width, int* height) {
    LayoutDC dc(page, font);
    if (!dc.valid())
        return false;
    const TextMeasure& measure = dc.measure();
    DialogBuilder builder;
    std::vector<LayoutNode*> nodes;
    LayoutNode* root = nullptr;
    const DialogControl* table = nullptr;
    if (Index == 0) {
        nodes = {builder.text(measure, DialogBuilder::checkBox(), UiText(20)), nullptr,
                 builder.text(measure, 0, UiText(28)),
                 builder.chars(measure, sizeDescriptor(8, 8, 0), 5),
                 builder.text(measure, 0, UiText(29))};
        nodes[1] = builder.row(measure, kLayoutTitled | kLayoutFramed | kLayoutCentre, UiText(27),
                               {nodes[2], nodes[3], nodes[4]});
        root = builder.column(measure, 0, nullptr, {nodes[0], nodes[1]});
        table = kPage0;
    } else if (Index == 1) {
        nodes = {builder.text(measure, DialogBuilder::checkBox(), UiText(44)),
                 builder.text(measure, DialogBuilder::checkBox(), UiText(45))};
        root = builder.column(measure, 0, nullptr, {nodes[0], nodes[1]});
        table = kPage1;
    } else {
        nodes = {
            builder.text(measure, 0, UiText(47)),
            builder.widest(measure, DialogBuilder::checkBox(), {UiText(71), L"Speakers (rig)"}),
            builder.text(measure, DialogBuilder::pushButton(), UiText(50))};
        root = builder.row(measure, kLayoutCentre, nullptr, {nodes[0], nodes[1], nodes[2]});
        table = kPage2;
    }
    const int margin = 8;
    DialogBuilder::finish(root, margin, margin, 0);
    *width = root->width + 2 * margin;
    *height = root->height + 2 * margin;
    if (!page)
        return true;
    std::vector<LayoutRect> rects;
    for (LayoutNode* node : nodes)
        rects.push_back(node->rect());
    if (Index == 2)
        rects[1].height += 100; // the list drops down below
    return createControls(page, table, rects.data(), static_cast<int>(rects.size()), font);
}

template <int Index>
INT_PTR CALLBACK pageProcedure(HWND page, UINT message, WPARAM, LPARAM lParam) {
    auto* shared = reinterpret_cast<Shared*>(GetWindowLongPtrW(page, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        shared = reinterpret_cast<Shared*>(lParam);
        SetWindowLongPtrW(page, DWLP_USER, lParam);
        PageRecord& record = shared->pages[Index];
        ++record.inits;
        int width = 0, height = 0;
        if (record.failInit || !layoutPage<Index>(page, gFont, shared, &width, &height))
            DestroyWindow(page);
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto& notify = *reinterpret_cast<const PSHNOTIFY*>(lParam);
        PageRecord& record = shared->pages[Index];
        if (notify.hdr.code == PSN_SETACTIVE)
            ++record.activations;
        else if (notify.hdr.code == PSN_HELP)
            ++record.helps;
        else if (notify.hdr.code == PSN_APPLY)
            shared->applyOrder.push_back(Index);
        else
            return FALSE;
        SetWindowLongPtrW(page, DWLP_MSGRESULT,
                          notify.hdr.code == PSN_APPLY ? record.applyAnswer : 0);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

const TabbedPage kPages[kPageCount] = {
    {17, pageProcedure<0>, layoutPage<0>},
    {18, pageProcedure<1>, layoutPage<1>},
    {19, pageProcedure<2>, layoutPage<2>},
};

class TabbedDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        loadTable(gRenderedTable);
        owner = CreateWindowExW(0, L"Static", L"Main", WS_POPUP | WS_VISIBLE | WS_BORDER, 150, 100,
                                500, 400, nullptr, nullptr, nullptr, nullptr);
        header.parent = owner;
        header.caption = 16;
        header.okText = 0;
        header.cancelText = 2;
        header.font = gFont;
        header.shared = &shared;
    }
    void TearDown() override { DestroyWindow(owner); }

    // Runs the dialog while drive(host) acts on it from another thread; a
    // host the driver leaves open is cancelled.
    INT_PTR run(const std::function<void(HWND)>& drive) {
        std::thread driver([&] {
            HWND host = uikit::waitForWindow(uikit::kDialogClass, UiText(16), 5000);
            if (!host)
                return;
            uikit::bringToFront(host);
            drive(host);
            if (!uikit::waitUntil([&] { return !IsWindow(host); }, 1000, uikit::Pump::no))
                PostMessageW(host, WM_COMMAND, IDCANCEL, 0);
        });
        const INT_PTR result = runTabbedDialog(header, kPages, kPageCount);
        driver.join();
        return result;
    }

    static int selection(HWND host) {
        return static_cast<int>(SendDlgItemMessageW(host, kTabControlId, TCM_GETCURSEL, 0, 0));
    }
    // Ctrl+Tab (or Ctrl+Shift+Tab) and waits for the tab to change.
    static bool ctrlTab(HWND host, bool forward) {
        const int before = selection(host);
        if (forward)
            uikit::pressKey(VK_TAB, {VK_CONTROL});
        else
            uikit::pressKey(VK_TAB, {VK_CONTROL, VK_SHIFT});
        return uikit::waitUntil([&] { return !IsWindow(host) || selection(host) != before; }, 2000,
                                uikit::Pump::no);
    }
    // The visible page (child dialog) of the host.
    static HWND visiblePage(HWND host) {
        for (HWND child : uikit::descendants(host))
            if (uikit::windowClass(child) == uikit::kDialogClass && IsWindowVisible(child))
                return child;
        return nullptr;
    }

    HWND owner = nullptr;
    Shared shared;
    TabbedDialogHeader header;
};

TEST_F(TabbedDialogTest, PagesAreMadeOnFirstShowAndCtrlTabWrapsAround) {
    std::vector<int> inits, selections;
    bool helpVisible = true;
    RECT pageRect = {}, displayArea = {};
    const INT_PTR result = run([&](HWND host) {
        inits.push_back(shared.pages[1].inits);
        helpVisible = IsWindowVisible(GetDlgItem(host, kTabbedHelpId)) != FALSE;
        HWND tab = GetDlgItem(host, kTabControlId);
        GetWindowRect(tab, &displayArea);
        TabCtrl_AdjustRect(tab, FALSE, &displayArea);
        GetWindowRect(visiblePage(host), &pageRect);
        for (bool forward : {true, true, true, false}) {
            ctrlTab(host, forward);
            selections.push_back(selection(host));
            inits.push_back(shared.pages[0].inits + shared.pages[1].inits + shared.pages[2].inits);
        }
        uikit::pressKey(VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(inits, (std::vector<int>{0, 2, 3, 3, 3}));
    EXPECT_EQ(selections, (std::vector<int>{1, 2, 0, 2}));
    EXPECT_EQ(shared.pages[0].activations, 2);
    EXPECT_EQ(shared.pages[2].activations, 2);
    EXPECT_TRUE(shared.applyOrder.empty());
    EXPECT_FALSE(helpVisible);

    // The page fills the display area, which has the aspect rule's height.
    EXPECT_TRUE(EqualRect(&pageRect, &displayArea));
    int widest = 0, tallest = 0;
    for (const TabbedPage& page : kPages) {
        int width = 0, height = 0;
        ASSERT_TRUE(page.layout(nullptr, gFont, nullptr, &width, &height));
        widest = std::max(widest, width);
        tallest = std::max(tallest, height);
    }
    EXPECT_EQ(displayArea.right - displayArea.left, widest);
    EXPECT_EQ(displayArea.bottom - displayArea.top, pageAreaHeight(widest, tallest));
}

// The focus's control id as another thread sees it.
int focusedId(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return GetDlgCtrlID(info.hwndFocus);
}

TEST_F(TabbedDialogTest, TabGoesThroughThePageThenTheTabsAndTheButtons) {
    std::vector<int> focus;
    run([&](HWND host) {
        for (int step = 0; step < 5; ++step) {
            focus.push_back(focusedId(host));
            uikit::pressKey(VK_TAB);
            uikit::waitUntil([&] { return focusedId(host) != focus.back(); }, 1000,
                             uikit::Pump::no);
        }
        uikit::pressKey(VK_ESCAPE);
    });
    EXPECT_EQ(focus, (std::vector<int>{1001, 1004, kTabControlId, IDOK, IDCANCEL}));
}

TEST_F(TabbedDialogTest, ApplyGoesToTheCurrentPageFirstThenToTheShownOnesInOrder) {
    header.startPage = 1;
    const INT_PTR result = run([&](HWND host) {
        ctrlTab(host, true);
        uikit::pressKey(VK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shared.applyOrder, (std::vector<int>{2, 1}));
    EXPECT_EQ(shared.pages[0].inits, 0);
}

TEST_F(TabbedDialogTest, ARefusingPageKeepsTheDialogOpen) {
    shared.pages[1].applyAnswer = PSNRET_INVALID;
    bool openAfterRefusal = false;
    int selectedAfterRefusal = -1;
    const INT_PTR result = run([&](HWND host) {
        ctrlTab(host, true);
        ctrlTab(host, false);
        SendDlgItemMessageW(host, IDOK, BM_CLICK, 0, 0);
        openAfterRefusal = IsWindow(host) != FALSE;
        selectedAfterRefusal = selection(host);
        // Refusing without a change of page leaves the current one.
        shared.pages[1].applyAnswer = PSNRET_INVALID_NOCHANGEPAGE;
        ctrlTab(host, false);
        SendDlgItemMessageW(host, IDOK, BM_CLICK, 0, 0);
        EXPECT_EQ(selection(host), 0);
        shared.pages[1].applyAnswer = PSNRET_NOERROR;
        SendDlgItemMessageW(host, IDOK, BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(selectedAfterRefusal, 1);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shared.applyOrder, (std::vector<int>{0, 1, 0, 1, 0, 1}));
}

TEST_F(TabbedDialogTest, HelpGoesToTheCurrentPage) {
    header.helpText = 3;
    header.startPage = 2;
    bool helpVisible = false;
    run([&](HWND host) {
        helpVisible = IsWindowVisible(GetDlgItem(host, kTabbedHelpId)) != FALSE;
        SendDlgItemMessageW(host, kTabbedHelpId, BM_CLICK, 0, 0);
        uikit::pressKey(VK_ESCAPE);
    });
    EXPECT_TRUE(helpVisible);
    EXPECT_EQ(shared.pages[2].helps, 1);
    EXPECT_EQ(shared.pages[0].helps + shared.pages[1].helps, 0);

    header.omitHelp = true;
    run([&](HWND host) {
        helpVisible = IsWindowVisible(GetDlgItem(host, kTabbedHelpId)) != FALSE;
    });
    EXPECT_FALSE(helpVisible);
}

TEST_F(TabbedDialogTest, APageThatCannotBeMadeEndsTheDialogAsCancelled) {
    shared.pages[2].failInit = true;
    const INT_PTR result = run([&](HWND host) {
        ctrlTab(host, true);
        ctrlTab(host, true);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(shared.pages[2].inits, 1);
    EXPECT_TRUE(shared.applyOrder.empty());

    // A start page that cannot be made: the same, before anything is seen.
    shared = Shared{};
    shared.pages[0].failInit = true;
    EXPECT_EQ(runTabbedDialog(header, kPages, kPageCount), IDCANCEL);
    EXPECT_EQ(runTabbedDialog(header, kPages, 0), 0);
}

// In the language of the locale the test runs in, whose fonts can show it.
TEST_F(TabbedDialogTest, ScreenshotsAndTextsThatFit) {
    const std::wstring prefix = std::wstring(L"tabbed_dialog_") +
                                (isWindowsVistaOrLater() ? L"task" : L"classic") + L"_" +
                                (gRenderedTable == kJapaneseTable ? L"ja" : L"en");
    header.helpText = 3;
    std::vector<std::wstring> clipped[2];
    bool captured[2] = {};
    run([&](HWND host) {
        for (int shot = 0; shot < 2; ++shot) {
            if (shot == 1)
                ctrlTab(host, false); // to the last page
            clipped[shot] = uikit::clippedTexts(host);
            captured[shot] = uikit::captureWindow(
                host,
                uikit::artefactPath(kTest, prefix + (shot ? L"_device.png" : L"_tuning.png")));
        }
    });
    for (int shot = 0; shot < 2; ++shot) {
        EXPECT_TRUE(captured[shot]);
        for (const std::wstring& line : clipped[shot])
            ADD_FAILURE() << std::string(line.begin(), line.end());
    }
}

} // namespace
} // namespace tonvale

int main(int argc, char** argv) {
    tonvale::uikit::drawOwnFrames();
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    tonvale::gFont = CreateFontIndirectW(&metrics.lfMessageFont);
    tonvale::gRenderedTable = tonvale::chooseLanguage();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
