// The "Display" page: in-tune range, note subtitles, window position and font.
#include "dialogs/settings/page_layout_win.h"
#include "dialogs/settings/settings_pages_win.h"
#include "dialogs/settings/settings_values.h"

#include "support/text_format.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"

#include <commctrl.h>

namespace tonvale {
namespace {

enum Control {
    kRangeGroup,
    kPlusMinusLabel,
    kRangeList,
    kCentsLabel,
    kSubtitleGroup,
    kNameLabel,
    kSubtitleList,
    kDescLabel,
    kCommentEdit,
    kPositionCheck,
    kFontCheck,
    kControlCount
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const DialogControl kControls[kControlCount] = {
    {L"Button", 39, kUnaddressedId, 0, kChild | kGroupBoxStyle},
    {L"Static", 40, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"ComboBox", kNoText, kInTuneRangeId, 0, kChild | kDropListStyle},
    {L"Static", 41, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"Button", 42, kUnaddressedId, 0, kChild | kGroupBoxStyle},
    {L"Static", 34, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"ComboBox", kNoText, kNoteSubtitleId, 0, kChild | kDropListStyle | CBS_SORT},
    {L"Static", 36, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"Edit", kNoText, kNoteCommentId, WS_EX_CLIENTEDGE, kChild | kEditStyle | ES_READONLY},
    {L"Button", 44, kSaveWindowPositionId, 0, kChild | kGroupStart | kCheckStyle},
    {L"Button", 45, kSystemFontId, 0, kChild | kCheckStyle},
};

class DisplayPage {
  public:
    explicit DisplayPage(SettingsPageData* data) : data_(data) {}
    static DisplayPage* attach(HWND, LPARAM parameter) {
        return heapNew<DisplayPage>(reinterpret_cast<SettingsPageData*>(parameter));
    }
    static void detach(DisplayPage* page) noexcept { heapDelete(page); }

    INT_PTR handleMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
        if (!data_)
            return FALSE;
        switch (message) {
        case WM_INITDIALOG:
            return onInit(page);
        case WM_COMMAND:
            if (LOWORD(wParam) == kNoteSubtitleId && HIWORD(wParam) == CBN_SELCHANGE) {
                showSelectedNaming(page);
                return TRUE;
            }
            return FALSE;
        case WM_NOTIFY:
            return onPageNotice(page, *reinterpret_cast<const NMHDR*>(lParam), data_->currentPage,
                                1, [&] { apply(page); });
        default:
            return FALSE;
        }
    }

  private:
    INT_PTR onInit(HWND page) {
        int width = 0;
        int height = 0;
        if (!layoutDisplayPage(page, data_->font, data_, &width, &height)) {
            DestroyWindow(page); // the host then ends as if cancelled
            return FALSE;
        }
        const SettingsCopy& copy = data_->copy;
        for (int range = 1; range <= kInTuneEntries; ++range)
            addEntry(page, kInTuneRangeId, formatString(L"%d", range).c_str());
        selectEntry(page, kInTuneRangeId, inTuneEntry(copy.inTuneRange));
        fillSectionList(page, kNoteSubtitleId, UiText(43), copy.noteDigest);
        selectEntry(page, kNoteSubtitleId,
                    entryForSection(page, kNoteSubtitleId, copy.noteSection));
        showSelectedNaming(page);
        setChecked(page, kSaveWindowPositionId, copy.rememberMainWindowPosition);
        setChecked(page, kSystemFontId, copy.useSystemFont);
        return FALSE;
    }

    void showSelectedNaming(HWND page) const {
        const DigestEntry* section = sectionOfEntry(page, kNoteSubtitleId, data_->copy.noteDigest);
        setControlText(page, kNoteCommentId, section ? section->comment : std::wstring());
    }

    void apply(HWND page) const {
        SettingsCopy& copy = data_->copy;
        copy.inTuneRange = selectedEntry(page, kInTuneRangeId) + 1;
        if (copy.inTuneRange < 1)
            copy.inTuneRange = 1;
        const DigestEntry* section = sectionOfEntry(page, kNoteSubtitleId, copy.noteDigest);
        copy.noteSection = section ? section->name : std::wstring();
        copy.rememberMainWindowPosition = isChecked(page, kSaveWindowPositionId);
        copy.useSystemFont = isChecked(page, kSystemFontId);
    }

    SettingsPageData* data_;
};

} // namespace

bool layoutDisplayPage(HWND page, HFONT font, void*, int* width, int* height) {
    PageLayout layout(page, font);
    if (!layout.valid())
        return false;
    LayoutNode* nodes[kControlCount] = {};
    nodes[kPlusMinusLabel] = layout.label(40);
    nodes[kRangeList] = layout.list(8);
    nodes[kCentsLabel] = layout.label(41);
    nodes[kRangeGroup] =
        layout.column(kLayoutTitled | kLayoutFramed | kLayoutStretch, 39,
                      {layout.row(kLayoutCentre, {nodes[kPlusMinusLabel], nodes[kRangeList],
                                                  nodes[kCentsLabel]})});

    nodes[kNameLabel] = layout.labelOf(34, {36});
    nodes[kSubtitleList] = layout.list(40, kLayoutStretch);
    nodes[kDescLabel] = layout.labelOf(36, {34});
    nodes[kCommentEdit] = layout.edit(40, kLayoutStretch);
    nodes[kSubtitleGroup] = layout.column(
        kLayoutTitled | kLayoutFramed | kLayoutStretch, 42,
        {layout.row(kLayoutCentre | kLayoutStretch, {nodes[kNameLabel], nodes[kSubtitleList]}),
         layout.row(kLayoutCentre | kLayoutStretch, {nodes[kDescLabel], nodes[kCommentEdit]})});

    LayoutNode* checks = nullptr;
    {
        MetricOverride gap(DialogBuilder::kColumnGap, DialogBuilder::scaled(5));
        nodes[kPositionCheck] = layout.check(44);
        nodes[kFontCheck] = layout.check(45);
        checks = layout.column(0, kNoText, {nodes[kPositionCheck], nodes[kFontCheck]});
    }
    LayoutNode* root =
        layout.column(kLayoutStretch, kNoText, {nodes[kRangeGroup], nodes[kSubtitleGroup], checks});
    return layout.finish(root, kControls, nodes, kControlCount, width, height);
}

INT_PTR CALLBACK displayPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return dialogProcedure<DisplayPage>(page, message, wParam, lParam);
}

} // namespace tonvale
