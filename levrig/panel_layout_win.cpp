#include "levrig/panel_layout_win.h"

#include "dialogs/builder/dialog_builder_win.h"
#include "levrig/levrig_texts.h"
#include "levrig/library_win.h"
#include "support/ui_text.h"

#include <windows.h>

#include <commctrl.h>

namespace tonvale {
namespace levrig {
namespace {

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kSlider = kShown | WS_TABSTOP | TBS_AUTOTICKS | TBS_DOWNISLEFT;
constexpr DWORD kValueBox = kShown | SS_SUNKEN | SS_CENTERIMAGE | SS_NOPREFIX | SS_CENTER;
constexpr DWORD kLabel = kShown | SS_LEFTNOWORDWRAP;

// Positions in the tables below.
enum Slot {
    kNameSlot,
    kMoreSlot,
    kVolumeLabelSlot,
    kMinusSlot,
    kVolumeSlot,
    kPlusSlot,
    kVolumeValueSlot,
    kMuteSlot,
    kBalanceLabelSlot,
    kLeftSlot,
    kBalanceSlot,
    kRightSlot,
    kBalanceValueSlot,
    kSeparatorSlot,
    kSlotCount
};

DialogControl controlAt(Slot slot, PanelKind kind) {
    const PanelIds& ids = panelIds(kind);
    auto id = [](int value) { return static_cast<uint16_t>(value); };
    switch (slot) {
    case kNameSlot:
        return {L"Static", kNoText, id(ids.name), 0,
                kShown | WS_GROUP | SS_NOPREFIX | SS_LEFTNOWORDWRAP};
    case kMoreSlot:
        // Recording endpoints have no lines: the button is there but unseen.
        return {L"Button", kTextMore, id(ids.more), 0,
                kind == PanelKind::playbackEndpoint
                    ? kShown | WS_GROUP | WS_TABSTOP
                    : WS_CHILD | WS_DISABLED | WS_GROUP | WS_TABSTOP};
    case kVolumeLabelSlot:
        return {L"Static", kTextVolume, 0xFFFF, 0, kShown | WS_GROUP | SS_RIGHT};
    case kMinusSlot:
        return {L"Static", kTextMinus, 0xFFFF, 0, kLabel};
    case kVolumeSlot:
        return {TRACKBAR_CLASSW, kNoText, id(ids.volume), 0, kSlider};
    case kPlusSlot:
        return {L"Static", kTextPlus, 0xFFFF, 0, kLabel};
    case kVolumeValueSlot:
        return {L"Static", kNoText, id(ids.volumeValue), 0, kValueBox};
    case kMuteSlot:
        return {L"Button", kTextMute, id(ids.mute), 0,
                kShown | BS_CHECKBOX | WS_GROUP | WS_TABSTOP};
    case kBalanceLabelSlot:
        return {L"Static", kTextBalance, 0xFFFF, 0, kShown | WS_GROUP | SS_RIGHT};
    case kLeftSlot:
        return {L"Static", kTextLeft, 0xFFFF, 0, kLabel};
    case kBalanceSlot:
        return {TRACKBAR_CLASSW, kNoText, id(ids.balance), 0, kSlider};
    case kRightSlot:
        return {L"Static", kTextRight, 0xFFFF, 0, kLabel};
    case kBalanceValueSlot:
        return {L"Static", kNoText, id(ids.balanceValue), 0, kValueBox};
    case kSeparatorSlot:
    default:
        return {L"Static", kNoText, 0xFFFF, 0, kShown | WS_GROUP | SS_SUNKEN | SS_LEFTNOWORDWRAP};
    }
}

void setUpSlider(HWND panel, int id, int tickEvery) {
    HWND slider = GetDlgItem(panel, id);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendMessageW(slider, TBM_SETTICFREQ, tickEvery, 0);
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 10);
}

} // namespace

const PanelIds& panelIds(PanelKind kind) {
    return kind == PanelKind::sourceLine ? kLinePanelIds : kEndpointPanelIds;
}

DWORD panelStyle(PanelKind kind) {
    const DWORD style =
        kChildDialogStyle | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_GROUP | WS_TABSTOP;
    return kind == PanelKind::sourceLine ? style | WS_VISIBLE : style;
}

bool buildPanel(HWND panel, PanelKind kind) {
    LayoutDC dc(panel, uiFont());
    if (!dc.valid())
        return false;
    const TextMeasure& measure = dc.measure();
    DialogBuilder builder;
    const uint32_t stretch = sizeDescriptor(0, 0, 0, kLayoutStretch);
    const uint32_t plain = sizeDescriptor(0, 0, 0);
    const uint32_t valueBox = sizeDescriptor(6, 4, 0);
    const uint32_t slider = sizeDescriptor(0, 0, 0);
    const bool hasMore = kind != PanelKind::sourceLine;

    LayoutNode* nodes[kSlotCount] = {};
    // The name takes whatever width the rows leave it.
    nodes[kNameSlot] = builder.chars(measure, stretch, 1);
    nodes[kMoreSlot] =
        hasMore ? builder.text(measure, DialogBuilder::pushButton(), UiText(kTextMore)) : nullptr;
    nodes[kVolumeLabelSlot] = builder.text(measure, stretch, UiText(kTextVolume));
    nodes[kMinusSlot] = builder.text(measure, plain, UiText(kTextMinus));
    nodes[kVolumeSlot] = builder.fixed(slider, 131, 32);
    nodes[kPlusSlot] = builder.text(measure, plain, UiText(kTextPlus));
    nodes[kVolumeValueSlot] = builder.chars(measure, valueBox, 6);
    nodes[kMuteSlot] = builder.text(measure, DialogBuilder::checkBox(), UiText(kTextMute));
    nodes[kBalanceLabelSlot] = builder.text(measure, stretch, UiText(kTextBalance));
    nodes[kLeftSlot] = builder.text(measure, plain, UiText(kTextLeft));
    nodes[kBalanceSlot] = builder.fixed(slider, 75, 32);
    nodes[kRightSlot] = builder.text(measure, plain, UiText(kTextRight));
    nodes[kBalanceValueSlot] = builder.chars(measure, valueBox, 6);
    nodes[kSeparatorSlot] = builder.pixels(stretch, 0, 2);

    const uint32_t rowFlags = kLayoutStretch | kLayoutCentre;
    LayoutNode* root = builder.column(
        measure, 0, nullptr,
        {builder.row(measure, rowFlags, nullptr, {nodes[kNameSlot], nodes[kMoreSlot]}),
         builder.row(measure, rowFlags, nullptr,
                     {nodes[kVolumeLabelSlot], nodes[kMinusSlot], nodes[kVolumeSlot],
                      nodes[kPlusSlot], nodes[kVolumeValueSlot]}),
         builder.row(measure, rowFlags, nullptr,
                     {nodes[kMuteSlot], nodes[kBalanceLabelSlot], nodes[kLeftSlot],
                      nodes[kBalanceSlot], nodes[kRightSlot], nodes[kBalanceValueSlot]}),
         nodes[kSeparatorSlot]});
    const int margin = DialogBuilder::metric(DialogBuilder::kRowGap);
    DialogBuilder::finish(root, margin, margin, 0);

    DialogControl table[kSlotCount];
    LayoutRect rectangles[kSlotCount];
    int count = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!nodes[slot])
            continue;
        table[count] = controlAt(static_cast<Slot>(slot), kind);
        rectangles[count] = nodes[slot]->rect();
        ++count;
    }
    if (!createControls(panel, table, rectangles, count, uiFont()))
        return false;
    const PanelIds& ids = panelIds(kind);
    setUpSlider(panel, ids.volume, 10);
    setUpSlider(panel, ids.balance, 25);
    // The bottom margin goes: the separator bar ends the panel.
    SetWindowPos(panel, nullptr, 0, 0, root->width + 2 * margin, root->height + 2 * margin - 8,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

} // namespace levrig
} // namespace tonvale
