#include "app/about_box_win.h"

#include "app/build_date.h"
#include "app/process_context_win.h"
#include "app/program_version.h"
#include "dialogs/builder/dialog_builder_win.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"

#include <string>

namespace tonvale {
namespace {

constexpr int kAboutTitle = 102;
constexpr int kAboutTagline = 168;
constexpr int kOkText = 0;
constexpr int kCancelText = 2; // only measured: OK is as wide as a standard button
constexpr int kApplicationIcon = 500;
constexpr size_t kTitleCapacity = 28;

enum AboutControl { kIcon, kName, kTagline, kDate, kOk, kControlCount };

constexpr DWORD kLineStyle = WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
constexpr DialogControl kControls[kControlCount] = {
    {L"Static", kNoText, 100, 0, WS_CHILD | WS_VISIBLE | SS_ICON},
    {L"Static", kNoText, 101, 0, kLineStyle},
    {L"Static", kAboutTagline, 102, 0, kLineStyle},
    {L"Static", kNoText, 103, 0, kLineStyle},
    {L"Button", kOkText, IDOK, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON},
};

HFONT dialogFont() {
    return gProcess.uiFont ? gProcess.uiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HICON programIcon() {
    if (gProcess.largeIcon)
        return gProcess.largeIcon;
    HINSTANCE instance = gProcess.instance ? gProcess.instance : GetModuleHandleW(nullptr);
    return LoadIconW(instance, MAKEINTRESOURCEW(kApplicationIcon)); // may be missing
}

class AboutBox {
  public:
    static AboutBox* attach(HWND, LPARAM) { return heapNew<AboutBox>(); }
    static void detach(AboutBox* box) noexcept { heapDelete(box); }

    INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            if (!build(dialog))
                EndDialog(dialog, 0);
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                EndDialog(dialog, 1);
            return TRUE;
        default:
            return FALSE;
        }
    }

  private:
    bool build(HWND dialog) {
        const std::wstring name = std::wstring(L"Tonvale ") + kProgramVersion;
        const std::wstring date = isoBuildDate(__DATE__);
        HICON icon = programIcon();
        LayoutDC dc(GetWindow(dialog, GW_OWNER), dialogFont());
        if (!dc.valid())
            return false;
        const TextMeasure& measure = dc.measure();
        DialogBuilder builder;
        LayoutNode* nodes[kControlCount] = {
            icon ? builder.pixels(0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON))
                 : nullptr,
            builder.text(measure, 0, name.c_str(), TextPrefix::plain),
            builder.text(measure, 0, UiText(kAboutTagline), TextPrefix::plain),
            builder.text(measure, 0, date.c_str(), TextPrefix::plain),
            builder.widest(measure, DialogBuilder::pushButton(),
                           {UiText(kOkText), UiText(kCancelText)}),
        };
        const int previousGap = DialogBuilder::setMetric(DialogBuilder::kColumnGap, 4);
        LayoutNode* lines =
            builder.column(measure, 0, nullptr, {nodes[kName], nodes[kTagline], nodes[kDate]});
        DialogBuilder::setMetric(DialogBuilder::kColumnGap, previousGap);
        const int previousRowGap =
            DialogBuilder::setMetric(DialogBuilder::kRowGap, DialogBuilder::scaled(14));
        LayoutNode* info = builder.row(measure, 0, nullptr, {nodes[kIcon], lines});
        DialogBuilder::setMetric(DialogBuilder::kRowGap, previousRowGap);
        LayoutNode* root = builder.column(measure, kLayoutAlignEnd, nullptr, {info, nodes[kOk]});
        const int margin = DialogBuilder::scaled(14);
        DialogBuilder::finish(root, margin, margin, 0);

        LayoutRect rects[kControlCount] = {};
        for (int i = 0; i < kControlCount; ++i)
            if (nodes[i])
                rects[i] = nodes[i]->rect();
        centreOnParent(dialog, root->width + 2 * margin, root->height + 2 * margin);
        if (!createControls(dialog, kControls, rects, kControlCount, dialogFont()))
            return false;
        if (icon)
            SendDlgItemMessageW(dialog, kControls[kIcon].id, STM_SETICON,
                                reinterpret_cast<WPARAM>(icon), 0);
        else
            ShowWindow(GetDlgItem(dialog, kControls[kIcon].id), SW_HIDE);
        SetDlgItemTextW(dialog, kControls[kName].id, name.c_str());
        SetDlgItemTextW(dialog, kControls[kDate].id, date.c_str());
        SetFocus(GetDlgItem(dialog, IDOK));
        return true;
    }
};

} // namespace

bool showAboutBox(HWND mainWindow) {
    if (mainWindow && IsIconic(mainWindow))
        ShowWindow(mainWindow, SW_RESTORE);
    alignas(4) unsigned char buffer[kTemplateHeaderBytes + 2 * (kTitleCapacity + 1)];
    const DLGTEMPLATE* bare = emptyTemplate(buffer, sizeof buffer, UiText(kAboutTitle));
    HINSTANCE instance = gProcess.instance ? gProcess.instance : GetModuleHandleW(nullptr);
    return bare &&
           DialogBoxIndirectParamW(instance, bare, mainWindow, dialogProcedure<AboutBox>, 0) > 0;
}

} // namespace tonvale
