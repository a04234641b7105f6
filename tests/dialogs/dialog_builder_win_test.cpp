// A dialog made from the empty template and laid out with the real font:
// the controls land on their nodes' rectangles, their texts fit, and the
// dialog is centred on its owner inside the work area.
#include "dialogs/builder/dialog_builder_win.h"

#include "support/window_binding_win.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <gtest/gtest.h>

#include <thread>

namespace tonvale {
namespace {

constexpr DialogControl kControls[] = {
    {L"Static", kNoText, 200, 0, WS_CHILD | WS_VISIBLE | SS_LEFT},
    {L"Button", kNoText, 201, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
    {L"Button", kNoText, IDOK, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {L"Button", kNoText, IDCANCEL, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
};
constexpr int kControlCount = 4;
const wchar_t* const kTexts[kControlCount] = {
    L"A paragraph long enough to be wrapped over more than one line by the layout of the "
    L"dialog, which keeps it at twenty widths of the digit zero.",
    L"&Check this box", L"&OK", L"Cancel"};

struct LaidOutDialog {
    HFONT font = nullptr;
    LayoutRect rects[kControlCount] = {};
    LayoutRect client = {};
    bool created = false;

    static LaidOutDialog* attach(HWND, LPARAM parameter) {
        return reinterpret_cast<LaidOutDialog*>(parameter);
    }
    static void detach(LaidOutDialog*) noexcept {}

    INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            created = build(dialog);
            if (!created)
                EndDialog(dialog, -1);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
        }
    }

    bool build(HWND dialog) {
        LayoutDC dc(GetWindow(dialog, GW_OWNER), font);
        if (!dc.valid())
            return false;
        const TextMeasure& measure = dc.measure();
        DialogBuilder builder;
        LayoutNode* nodes[kControlCount] = {
            builder.paragraph(measure, 0, 20, kTexts[0]),
            builder.text(measure, DialogBuilder::checkBox(), kTexts[1]),
            builder.widest(measure, DialogBuilder::pushButton(), {kTexts[2], kTexts[3]}),
            builder.widest(measure, DialogBuilder::pushButton(), {kTexts[2], kTexts[3]}),
        };
        LayoutNode* buttons =
            builder.row(measure, kLayoutCentre | kLayoutStretch, nullptr, {nodes[2], nodes[3]});
        LayoutNode* body =
            builder.column(measure, kLayoutTitled | kLayoutFramed, L"Group", {nodes[0], nodes[1]});
        LayoutNode* root = builder.column(measure, kLayoutAlignEnd, nullptr, {body, buttons});
        DialogBuilder::finish(root, 11, 11, 0);
        for (int i = 0; i < kControlCount; ++i)
            rects[i] = nodes[i]->rect();
        client = {0, 0, root->width + 22, root->height + 22};
        if (!createControls(dialog, kControls, rects, kControlCount, font))
            return false;
        for (int i = 0; i < kControlCount; ++i)
            SetDlgItemTextW(dialog, kControls[i].id, kTexts[i]);
        centreOnParent(dialog, client.width, client.height);
        return true;
    }
};

LayoutRect clientRectOf(HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

HWND makeOwner(int x, int y) {
    return CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE | WS_BORDER, x, y, 300,
                           200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Runs the dialog over `owner`; `check` sees it from a second thread, then it is closed.
INT_PTR runDialog(HWND owner, LaidOutDialog& state, const wchar_t* title,
                  const std::function<void(HWND)>& check) {
    alignas(4) unsigned char buffer[96];
    const DLGTEMPLATE* dialogTemplate = emptyTemplate(buffer, sizeof buffer, title);
    std::thread driver([&] {
        HWND dialog = uikit::waitForWindow(uikit::kDialogClass, nullptr);
        if (!dialog)
            return;
        check(dialog);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    const INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, owner,
                                dialogProcedure<LaidOutDialog>, reinterpret_cast<LPARAM>(&state));
    driver.join();
    return result;
}

class DialogBuilderWin : public ::testing::Test {
  protected:
    void SetUp() override {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        font.reset(CreateFontIndirectW(&metrics.lfMessageFont));
        state.font = font.get();
        DialogBuilder::setScreenDpi(0);
    }
    UniqueFont font;
    LaidOutDialog state;
};

TEST_F(DialogBuilderWin, ControlsLandOnTheirNodesAndTheirTextsFit) {
    HWND owner = makeOwner(100, 100);
    ASSERT_NE(owner, nullptr);
    RECT client = {}, window = {}, ownerRect = {};
    std::vector<std::wstring> clipped;
    LayoutRect placed[kControlCount] = {};
    std::wstring title;
    const INT_PTR result = runDialog(owner, state, L"Builder", [&](HWND dialog) {
        GetClientRect(dialog, &client);
        GetWindowRect(dialog, &window);
        GetWindowRect(owner, &ownerRect);
        for (int i = 0; i < kControlCount; ++i)
            placed[i] = clientRectOf(GetDlgItem(dialog, kControls[i].id));
        clipped = uikit::clippedTexts(dialog);
        title = uikit::windowText(dialog);
        uikit::captureWindow(dialog,
                             uikit::artefactPath(L"dialogs_builder_win_test", L"dialog.png"));
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_TRUE(state.created);
    EXPECT_EQ(title, L"Builder");
    EXPECT_EQ(client.right, state.client.width);
    EXPECT_EQ(client.bottom, state.client.height);
    for (int i = 0; i < kControlCount; ++i) {
        EXPECT_EQ(placed[i].x, state.rects[i].x) << i;
        EXPECT_EQ(placed[i].y, state.rects[i].y) << i;
        EXPECT_EQ(placed[i].width, state.rects[i].width) << i;
        EXPECT_EQ(placed[i].height, state.rects[i].height) << i;
    }
    EXPECT_GT(state.rects[0].height, state.rects[1].height) << "the paragraph wraps";
    EXPECT_TRUE(clipped.empty()) << (clipped.empty()
                                         ? std::string()
                                         : std::string(clipped[0].begin(), clipped[0].end()));
    // Centred on the owner (integer halves may differ by one).
    EXPECT_NEAR((window.left + window.right) / 2, (ownerRect.left + ownerRect.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 1);
    DestroyWindow(owner);
}

TEST_F(DialogBuilderWin, DialogNearTheScreenEdgeStaysInsideTheWorkArea) {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND owner = makeOwner(work.right - 60, work.bottom - 40);
    RECT window = {};
    runDialog(owner, state, L"Edge", [&](HWND dialog) { GetWindowRect(dialog, &window); });
    EXPECT_LE(window.right, work.right);
    EXPECT_LE(window.bottom, work.bottom);
    EXPECT_GE(window.left, work.left);
    DestroyWindow(owner);
}

TEST_F(DialogBuilderWin, TemplateTitleIsCutBeforeAPairItWouldSplit) {
    // 28 bytes hold two title units: the pair's high half alone is dropped.
    alignas(4) unsigned char buffer[28];
    const wchar_t pair[] = {L'T', 0xD83D, 0xDE00, 0};
    ASSERT_NE(emptyTemplate(buffer, 28, pair), nullptr);
    HWND dialog = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), static_cast<const DLGTEMPLATE*>(static_cast<void*>(buffer)),
        nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(uikit::windowText(dialog), L"T");
    EXPECT_EQ(GetWindowLongPtrW(dialog, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_SYSMENU),
              WS_POPUP | WS_CAPTION | WS_SYSMENU);
    DestroyWindow(dialog);
    EXPECT_EQ(emptyTemplate(buffer, 23, L"x"), nullptr);
}

} // namespace
} // namespace tonvale

int main(int argc, char** argv) {
    tonvale::uikit::drawOwnFrames();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
