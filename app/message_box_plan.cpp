#include "app/message_box_plan.h"

#include <algorithm>

namespace tonvale {
namespace {

struct ButtonSet {
    int count;
    uint16_t texts[3];
    int results[3];
    int cancelIndex;
};

// By type (type & 0x0F), 0 to 6.
constexpr ButtonSet kButtonSets[] = {
    {1, {kTextOk}, {mb::kIdOk}, -1},
    {2, {kTextOk, kTextCancel}, {mb::kIdOk, mb::kIdCancel}, 1},
    {3, {kTextAbort, kTextRetry, kTextIgnore}, {mb::kIdAbort, mb::kIdRetry, mb::kIdIgnore}, -1},
    {3, {kTextYes, kTextNo, kTextCancel}, {mb::kIdYes, mb::kIdNo, mb::kIdCancel}, 2},
    {2, {kTextYes, kTextNo}, {mb::kIdYes, mb::kIdNo}, -1},
    {2, {kTextRetry, kTextCancel}, {mb::kIdRetry, mb::kIdCancel}, 1},
    {3,
     {kTextCancel, kTextTryAgain, kTextContinue},
     {mb::kIdCancel, mb::kIdTryAgain, mb::kIdContinue},
     0},
};

uint16_t iconFor(uint32_t iconClass) {
    switch (iconClass) {
    case mb::kIconHand:
        return mb::kIconIdHand;
    case mb::kIconQuestion:
        return mb::kIconIdQuestion;
    case mb::kIconExclamation:
        return mb::kIconIdExclamation;
    case mb::kIconAsterisk:
        return mb::kIconIdAsterisk;
    default:
        return 0;
    }
}

// The builder's gaps are process-wide; the box sets its own and puts the
// previous ones back however the layout ends.
class MetricScope {
  public:
    MetricScope(int index, int value)
        : index_(index), previous_(DialogBuilder::setMetric(index, value)) {}
    ~MetricScope() { DialogBuilder::setMetric(index_, previous_); }
    MetricScope(const MetricScope&) = delete;
    MetricScope& operator=(const MetricScope&) = delete;

  private:
    int index_;
    int previous_;
};

} // namespace

MessageBoxPlan planMessageBox(uint32_t type) {
    MessageBoxPlan plan;
    const uint32_t kind = type & mb::kTypeMask;
    const ButtonSet& set = kButtonSets[kind < std::size(kButtonSets) ? kind : mb::kOk];
    plan.buttonCount = set.count;
    for (int i = 0; i < set.count; ++i) {
        plan.buttonTexts[i] = set.texts[i];
        plan.buttonResults[i] = set.results[i];
    }
    plan.cancelIndex = set.cancelIndex;
    switch (type & mb::kDefaultMask) {
    case mb::kDefaultButton2:
        plan.defaultButton = 1;
        break;
    case mb::kDefaultButton3:
        plan.defaultButton = 2;
        break;
    case mb::kDefaultButton4:
        plan.defaultButton = 3;
        break;
    default:
        plan.defaultButton = 0;
    }
    if (plan.defaultButton >= plan.buttonCount)
        plan.defaultButton = 0;
    plan.iconClass = type & mb::kIconMask;
    plan.icon = iconFor(plan.iconClass);
    plan.foreground = (type & mb::kSetForeground) != 0;
    return plan;
}

int messageBoxResult(const MessageBoxPlan& plan, int index) {
    if (index < 0 || index >= plan.buttonCount)
        return 0;
    return plan.buttonResults[index];
}

std::wstring withCrLf(const wchar_t* text) {
    std::wstring out;
    for (const wchar_t* c = text; c && *c; ++c) {
        if (*c == L'\r') {
            out += L"\r\n";
            if (c[1] == L'\n')
                ++c;
        } else if (*c == L'\n') {
            out += L"\r\n";
        } else {
            out += *c;
        }
    }
    return out;
}

MessageBoxLayout layoutMessageBox(const TextMeasure& measure, const MessageBoxLayoutInput& input) {
    constexpr int kSideGap = 14;
    constexpr int kLineGap = 10;
    MetricScope rowGap(DialogBuilder::kRowGap, kSideGap);
    MetricScope columnGap(DialogBuilder::kColumnGap, kLineGap);
    DialogBuilder builder;
    const int count = std::clamp(input.buttonCount, 1, kMaxMessageBoxButtons);

    // Buttons of one size: the widest text, and never narrower than "Cancel".
    LayoutNode* widest = builder.widest(measure, sizeDescriptor(32, 10, 0), input.buttonTexts,
                                        static_cast<size_t>(count));
    LayoutNode* cancel = builder.text(measure, sizeDescriptor(40, 10, 0), input.cancelText);
    LayoutNode* buttons[kMaxMessageBoxButtons] = {};
    for (int i = 0; i < count; ++i)
        buttons[i] = builder.pixels(0, std::max(widest->width, cancel->width), widest->height);
    LayoutNode* buttonRow =
        builder.row(measure, kLayoutCentre, nullptr, buttons, static_cast<size_t>(count));

    // The text wraps at 60 digit widths; a word or a text too long for the
    // screen is cut (the whole of it can still be copied).
    const int textLimit = 60 * measure.textExtent(L"0", TextPrefix::plain).width;
    LayoutNode* text = builder.wrapped(measure, 0, textLimit, input.text, TextPrefix::plain);
    text->width = std::min(text->width, textLimit);
    if (input.maxTextHeight > 0)
        text->height = std::min(text->height, input.maxTextHeight);
    LayoutNode* icon =
        input.hasIcon ? builder.pixels(0, input.iconWidth, input.iconHeight) : nullptr;
    // Text beside a taller icon is centred on it; otherwise both are top-aligned.
    const uint32_t messageFlags = icon && icon->height > text->height ? kLayoutCentre : 0;
    LayoutNode* message = nullptr;
    {
        MetricScope iconGap(DialogBuilder::kRowGap,
                            input.taskDialogLook ? input.iconWidth / 3 : kSideGap);
        message = builder.row(measure, messageFlags, nullptr, {icon, text});
    }

    MessageBoxLayout layout;
    if (input.taskDialogLook) {
        const int sideSpace = 2 * input.iconWidth / 3;
        const int lineSpace = 2 * input.iconHeight / 3;
        int width = std::max(message->width + 2 * sideSpace, buttonRow->width + 2 * kSideGap);
        width = std::max(width, std::min(input.captionWidth, textLimit + 2 * sideSpace));
        layout.bandHeight = message->height + 2 * lineSpace;
        DialogBuilder::finish(message, sideSpace, lineSpace, 0);
        DialogBuilder::finish(buttonRow, width - kSideGap - buttonRow->width,
                              layout.bandHeight + kLineGap, 0);
        layout.clientWidth = width;
        layout.clientHeight = layout.bandHeight + buttonRow->height + 2 * kLineGap;
    } else {
        LayoutNode* root = builder.column(measure, 0, nullptr, {message, buttonRow});
        if (message->width > buttonRow->width)
            buttonRow->x = (root->width - buttonRow->width) / 2;
        int width = root->width + 2 * kSideGap;
        const int wanted = std::min(input.captionWidth, textLimit + 2 * kSideGap);
        if (wanted > width) {
            buttonRow->x += (wanted - width) / 2;
            width = wanted;
        }
        DialogBuilder::finish(root, kSideGap, kLineGap, 0);
        layout.clientWidth = width;
        layout.clientHeight = root->height + 2 * kLineGap;
    }
    if (icon)
        layout.icon = icon->rect();
    layout.text = text->rect();
    for (int i = 0; i < count; ++i)
        layout.buttons[i] = buttons[i]->rect();
    return layout;
}

} // namespace tonvale
