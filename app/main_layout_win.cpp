#include "app/main_layout_win.h"

#include "app/main_commands.h"
#include "dialogs/builder/dialog_builder_win.h"
#include "meter/meter_win.h"
#include "support/scoped_win.h"
#include "support/ui_text.h"

namespace tonvale {
namespace {

constexpr int kPowerText = 72;
constexpr int kSettingsText = 73;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

} // namespace

const DialogControl kMainControls[kMainControlCount] = {
    {L"Static", kNoText, 0, 0, kChild | WS_GROUP | SS_SUNKEN | SS_SIMPLE},
    {kMeterClassName, kNoText, kMeterId, WS_EX_CLIENTEDGE, kChild},
    {kPowerLampClassName, kNoText, kPowerLampId, 0, kChild},
    {L"Button", kPowerText, kPowerButtonId, 0,
     kChild | WS_GROUP | WS_TABSTOP | BS_CENTER | BS_DEFPUSHBUTTON},
    {L"Button", kSettingsText, kSettingsButtonId, 0,
     kChild | WS_TABSTOP | BS_CENTER | BS_PUSHBUTTON},
};

bool buildMainLayout(bool large, HFONT font, MainLayout& layout) {
    LayoutDC dc(nullptr, font);
    if (!dc.valid())
        return false;
    const TextMeasure& measure = dc.measure();
    DialogBuilder builder;
    LayoutNode* meter = large ? builder.pixels(sizeDescriptor(4, 4, 0), 386, 214)
                              : builder.pixels(sizeDescriptor(4, 4, 0), 232, 82);
    LayoutNode* lamp = builder.pixels(0, 14, 12);
    // Both buttons as wide as the wider text; the allowance is in pixels
    // whatever the screen's dpi.
    const uint32_t button = sizeDescriptor(32, 10, 0);
    const wchar_t* texts[] = {UiText(kPowerText), UiText(kSettingsText)};
    LayoutNode* power = builder.widest(measure, button, texts, 2);
    LayoutNode* settings = builder.widest(measure, button, texts, 2);

    DialogBuilder::setMetric(DialogBuilder::kRowGap, 5);
    DialogBuilder::setMetric(DialogBuilder::kColumnGap, 0);
    LayoutNode* pair = builder.row(measure, kLayoutCentre, nullptr, {lamp, power});
    const int gap = large ? 8 : 5;
    DialogBuilder::setMetric(DialogBuilder::kRowGap, gap);
    DialogBuilder::setMetric(DialogBuilder::kColumnGap, gap);
    LayoutNode* buttons =
        builder.row(measure, kLayoutStretch | kLayoutCentre, nullptr, {pair, settings});
    LayoutNode* body =
        builder.column(measure, kLayoutTitled | kLayoutCentre, nullptr, {meter, buttons});
    DialogBuilder::setMetric(DialogBuilder::kRowGap, 8);
    DialogBuilder::setMetric(DialogBuilder::kColumnGap, 8);
    DialogBuilder::finish(body, 0, 2, 0); // below the sunken line

    layout.controls[0] = {0, 0, body->width, 2};
    layout.controls[1] = meter->rect();
    layout.controls[2] = lamp->rect();
    layout.controls[3] = power->rect();
    layout.controls[4] = settings->rect();
    layout.clientWidth = body->width;
    layout.clientHeight = body->height + 2;
    return true;
}

HMENU buildMainMenu() {
    UniqueMenu bar(CreateMenu());
    if (!bar)
        return nullptr;
    HMENU submenu = nullptr;
    const wchar_t* submenuText = L"";
    for (const MenuEntry& entry : kMainMenu) {
        switch (entry.kind) {
        case MenuEntryKind::openSubmenu:
            submenu = CreatePopupMenu();
            submenuText = UiText(entry.text);
            if (!submenu)
                return nullptr;
            break;
        case MenuEntryKind::item:
            AppendMenuW(submenu, MF_STRING, entry.command, UiText(entry.text));
            break;
        case MenuEntryKind::separator:
            AppendMenuW(submenu, MF_SEPARATOR, 0, nullptr);
            break;
        case MenuEntryKind::closeSubmenu:
            if (!AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                             submenuText)) {
                DestroyMenu(submenu);
                return nullptr;
            }
            submenu = nullptr;
            break;
        }
    }
    return bar.release();
}

} // namespace tonvale
