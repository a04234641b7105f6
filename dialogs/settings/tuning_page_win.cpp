// The "Tuning" page: start-up and analysis switches, sensitivity, reference
// pitch with its semitone shift, temperament and key.
#include "dialogs/settings/page_layout_win.h"
#include "dialogs/settings/settings_pages_win.h"
#include "dialogs/settings/settings_values.h"

#include "app/message_box_win.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"
#include "tuning/note_spelling.h"
#include "tuning/temperament.h"

#include <commctrl.h>

namespace tonvale {
namespace {

constexpr const wchar_t* kMessageCaption = L"Tonvale";
constexpr int kKeyTexts = 59; // "C" ... "B", twelve texts from C
constexpr const wchar_t* kA4Entries[] = {L"444", L"442", L"440", L"435", L"415"};
constexpr int kA4Chars = 3;

enum Control {
    kPowerOnCheck,
    kHarmonicsCheck,
    kSwayCheck,
    kMicCheck,
    kSensitivityGroup,
    kLoLabel,
    kSlider,
    kHiLabel,
    kPitchGroup,
    kA4Label,
    kA4Combo,
    kPitchRangeLabel,
    kShiftCheck,
    kShiftList,
    kTemperamentGroup,
    kNameLabel,
    kTemperamentList,
    kDescLabel,
    kCommentEdit,
    kKeyLabel,
    kKeyList,
    kInformationButton,
    kControlCount
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const DialogControl kControls[kControlCount] = {
    {L"Button", 20, kPowerOnInitiallyId, 0, kChild | kGroupStart | kCheckStyle},
    {L"Button", 21, kHarmonicsAwareId, 0, kChild | kCheckStyle},
    {L"Button", 22, kReduceNeedleSwayId, 0, kChild | kCheckStyle},
    {L"Button", 23, kMicInSwitchId, 0, kChild | kCheckStyle},
    {L"Button", 24, kUnaddressedId, 0, kChild | kGroupBoxStyle},
    {L"Static", 25, kUnaddressedId, 0, kChild | kLabelStyle},
    {TRACKBAR_CLASSW, kNoText, kSensitivityId, 0,
     kChild | WS_GROUP | WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM},
    {L"Static", 26, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"Button", 27, kUnaddressedId, 0, kChild | kGroupBoxStyle},
    {L"Static", 28, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"ComboBox", kNoText, kFrequencyOfA4Id, 0, kChild | kComboEditStyle},
    {L"Static", 29, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"Button", 30, kSemitoneShiftId, 0, kChild | kGroupStart | kCheckStyle},
    {L"ComboBox", kNoText, kShiftListId, 0, kChild | kDropListStyle},
    {L"Button", 33, kUnaddressedId, 0, kChild | kGroupBoxStyle},
    {L"Static", 34, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"ComboBox", kNoText, kTemperamentId, 0, kChild | kDropListStyle | CBS_SORT},
    {L"Static", 36, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"Edit", kNoText, kTemperamentCommentId, WS_EX_CLIENTEDGE, kChild | kEditStyle | ES_READONLY},
    {L"Static", 37, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"ComboBox", kNoText, kKeyId, 0, kChild | kDropListStyle},
    {L"Button", 38, kInformationId, 0, kChild | kPushStyle},
};

class TuningPage {
  public:
    explicit TuningPage(SettingsPageData* data) : data_(data) {}
    static TuningPage* attach(HWND, LPARAM parameter) {
        return heapNew<TuningPage>(reinterpret_cast<SettingsPageData*>(parameter));
    }
    static void detach(TuningPage* page) noexcept { heapDelete(page); }

    INT_PTR handleMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
        if (!data_)
            return FALSE;
        switch (message) {
        case WM_INITDIALOG:
            return onInit(page);
        case WM_COMMAND:
            return onCommand(page, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return onPageNotice(page, *reinterpret_cast<const NMHDR*>(lParam), data_->currentPage,
                                0, [&] { apply(page); });
        default:
            return FALSE;
        }
    }

  private:
    INT_PTR onInit(HWND page);
    INT_PTR onCommand(HWND page, int id, int code);
    void fillReferencePitch(HWND page) const;
    void fillTemperaments(HWND page) const;
    void showSelectedTemperament(HWND page) const;
    const DigestEntry* selectedSection(HWND page) const;
    void showTemperamentInformation(HWND page) const;
    void apply(HWND page) const;

    SettingsPageData* data_;
};

INT_PTR TuningPage::onInit(HWND page) {
    int width = 0;
    int height = 0;
    if (!layoutTuningPage(page, data_->font, data_, &width, &height)) {
        DestroyWindow(page); // the host then ends as if cancelled
        return FALSE;
    }
    const SettingsCopy& copy = data_->copy;
    setChecked(page, kPowerOnInitiallyId, copy.autoStart);
    setChecked(page, kHarmonicsAwareId, copy.findFundamental);
    setChecked(page, kReduceNeedleSwayId, copy.useLongFFT);
    setChecked(page, kMicInSwitchId, copy.microphoneOnly);
    HWND slider = GetDlgItem(page, kSensitivityId);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(kSliderMin, kSliderMax));
    SendMessageW(slider, TBM_SETTICFREQ, kSliderTicks, 0);
    SendMessageW(slider, TBM_SETPOS, TRUE, sliderPosition(copy.dBInputThreshold));
    fillReferencePitch(page);
    fillTemperaments(page);
    for (int i = 0; i < kPitchClasses; ++i)
        addEntry(page, kKeyId, UiText(kKeyTexts + i));
    selectEntry(page, kKeyId, keyEntry(copy.key));
    return FALSE; // the host gives the focus
}

void TuningPage::fillReferencePitch(HWND page) const {
    const SettingsCopy& copy = data_->copy;
    for (const wchar_t* entry : kA4Entries)
        addEntry(page, kFrequencyOfA4Id, entry);
    SendDlgItemMessageW(page, kFrequencyOfA4Id, CB_LIMITTEXT, kA4Chars, 0);
    SetDlgItemInt(page, kFrequencyOfA4Id, static_cast<UINT>(copy.frequencyOfA4), FALSE);
    for (int shift = kHighestShift; shift >= kLowestShift; --shift)
        addEntry(page, kShiftListId, shiftEntryText(shift, UiText(31), UiText(32)).c_str());
    const bool shifted = copy.halfToneShift != 0;
    enableControl(page, kFrequencyOfA4Id, !shifted);
    enableControl(page, kShiftListId, shifted);
    setChecked(page, kSemitoneShiftId, shifted);
    selectEntry(page, kShiftListId, shiftEntry(shifted ? copy.halfToneShift : 0));
}

void TuningPage::fillTemperaments(HWND page) const {
    const SettingsCopy& copy = data_->copy;
    fillSectionList(page, kTemperamentId, UiText(35), copy.scaleDigest);
    selectEntry(page, kTemperamentId, entryForSection(page, kTemperamentId, copy.scaleSection));
    showSelectedTemperament(page);
}

const DigestEntry* TuningPage::selectedSection(HWND page) const {
    return sectionOfEntry(page, kTemperamentId, data_->copy.scaleDigest);
}

void TuningPage::showSelectedTemperament(HWND page) const {
    const DigestEntry* section = selectedSection(page);
    setControlText(page, kTemperamentCommentId, section ? section->comment : std::wstring());
    enableControl(page, kInformationId, section != nullptr);
}

void TuningPage::showTemperamentInformation(HWND page) const {
    const DigestEntry* section = selectedSection(page);
    if (!section)
        return;
    const int key = parseKeyName(entryText(page, kKeyId, selectedEntry(page, kKeyId)).c_str());
    const std::wstring text =
        describeFile(data_->files.scaleIni.empty() ? nullptr : data_->files.scaleIni.c_str(),
                     section->name.c_str(), key);
    TunerMessageBox(pageOwner(page), text.c_str(), kMessageCaption, MB_OK | MB_ICONASTERISK);
}

INT_PTR TuningPage::onCommand(HWND page, int id, int code) {
    switch (id) {
    case kSemitoneShiftId:
        if (code == BN_CLICKED) {
            const bool shifted = isChecked(page, kSemitoneShiftId);
            if (shifted)
                SetDlgItemInt(page, kFrequencyOfA4Id, kDefaultFrequencyOfA4, FALSE);
            enableControl(page, kFrequencyOfA4Id, !shifted);
            enableControl(page, kShiftListId, shifted);
        }
        return TRUE;
    case kTemperamentId:
        if (code == CBN_SELCHANGE)
            showSelectedTemperament(page);
        return TRUE;
    case kInformationId:
        if (code == BN_CLICKED)
            showTemperamentInformation(page);
        return TRUE;
    default:
        return FALSE;
    }
}

void TuningPage::apply(HWND page) const {
    SettingsCopy& copy = data_->copy;
    copy.autoStart = isChecked(page, kPowerOnInitiallyId);
    copy.findFundamental = isChecked(page, kHarmonicsAwareId);
    copy.useLongFFT = isChecked(page, kReduceNeedleSwayId);
    copy.microphoneOnly = isChecked(page, kMicInSwitchId);
    copy.frequencyOfA4 = frequencyOfA4FromText(controlText(page, kFrequencyOfA4Id).c_str());
    copy.halfToneShift =
        isChecked(page, kSemitoneShiftId) ? shiftOfEntry(selectedEntry(page, kShiftListId)) : 0;
    copy.dBInputThreshold = thresholdOfSlider(
        static_cast<int>(SendDlgItemMessageW(page, kSensitivityId, TBM_GETPOS, 0, 0)));
    const DigestEntry* section = selectedSection(page);
    copy.scaleSection = section ? section->name : std::wstring();
    copy.key = parseKeyName(entryText(page, kKeyId, selectedEntry(page, kKeyId)).c_str());
}

} // namespace

bool layoutTuningPage(HWND page, HFONT font, void*, int* width, int* height) {
    PageLayout layout(page, font);
    if (!layout.valid())
        return false;
    LayoutNode* nodes[kControlCount] = {};
    LayoutNode* checks = nullptr;
    {
        MetricOverride gap(DialogBuilder::kColumnGap, DialogBuilder::scaled(5));
        for (int i = kPowerOnCheck; i <= kMicCheck; ++i)
            nodes[i] = layout.check(kControls[i].text);
        checks = layout.column(
            0, kNoText,
            {nodes[kPowerOnCheck], nodes[kHarmonicsCheck], nodes[kSwayCheck], nodes[kMicCheck]});
    }
    LayoutNode* slider = nullptr;
    {
        MetricOverride noGap(DialogBuilder::kRowGap, 0);
        nodes[kLoLabel] = layout.label(25);
        nodes[kSlider] = layout.builder().fixed(0, 100, 30);
        nodes[kHiLabel] = layout.label(26);
        slider = layout.row(kLayoutCentre, {nodes[kLoLabel], nodes[kSlider], nodes[kHiLabel]});
    }
    nodes[kSensitivityGroup] = layout.column(kLayoutTitled | kLayoutFramed, 24, {slider});
    LayoutNode* top = layout.row(kLayoutStretch, {checks, nodes[kSensitivityGroup]});

    nodes[kA4Label] = layout.label(28);
    nodes[kA4Combo] = layout.list(8);
    nodes[kPitchRangeLabel] = layout.label(29);
    nodes[kShiftCheck] = layout.check(30);
    nodes[kShiftList] = layout.list(35, kLayoutStretch);
    nodes[kPitchGroup] = layout.column(
        kLayoutTitled | kLayoutFramed | kLayoutStretch, 27,
        {layout.row(kLayoutCentre, {nodes[kA4Label], nodes[kA4Combo], nodes[kPitchRangeLabel]}),
         layout.row(kLayoutCentre | kLayoutStretch, {nodes[kShiftCheck], nodes[kShiftList]})});

    nodes[kNameLabel] = layout.labelOf(34, {36, 37});
    nodes[kTemperamentList] = layout.list(20, kLayoutStretch);
    nodes[kDescLabel] = layout.labelOf(36, {34, 37});
    nodes[kCommentEdit] = layout.edit(20, kLayoutStretch);
    nodes[kKeyLabel] = layout.labelOf(37, {34, 36});
    nodes[kKeyList] = layout.list(14);
    nodes[kInformationButton] = layout.button(38);
    nodes[kTemperamentGroup] = layout.column(
        kLayoutTitled | kLayoutFramed | kLayoutStretch, 33,
        {layout.row(kLayoutCentre | kLayoutStretch, {nodes[kNameLabel], nodes[kTemperamentList]}),
         layout.row(kLayoutCentre | kLayoutStretch, {nodes[kDescLabel], nodes[kCommentEdit]}),
         layout.row(kLayoutCentre, {layout.row(kLayoutCentre, {nodes[kKeyLabel], nodes[kKeyList]}),
                                    nodes[kInformationButton]})});

    LayoutNode* root =
        layout.column(kLayoutStretch, kNoText, {top, nodes[kPitchGroup], nodes[kTemperamentGroup]});
    return layout.finish(root, kControls, nodes, kControlCount, width, height);
}

INT_PTR CALLBACK tuningPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return dialogProcedure<TuningPage>(page, message, wParam, lParam);
}

} // namespace tonvale
