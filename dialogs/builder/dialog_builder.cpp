#include "dialogs/builder/dialog_builder.h"

#include <algorithm>
#include <utility>

namespace tonvale {
namespace {

constexpr int kMetricCount = 4;
constexpr int kBaseDpi = 96;

int gMetrics[kMetricCount] = {8, 8, 2, 2};
int gScreenDpi = kBaseDpi;

// Rounded value of n * dpi / 96, at no less than 96 dpi.
int atDpi(int n, int dpi) {
    const int d = std::max(dpi, kBaseDpi);
    return (n * d + kBaseDpi / 2) / kBaseDpi;
}

int leafHeight(int textHeight, uint32_t descriptor) {
    int minimum = minimumHeight(descriptor);
    if (minimum > 0 && ((minimum - textHeight) & 1) != 0)
        ++minimum;
    return std::max(textHeight + verticalAllowance(descriptor), minimum);
}

bool isTitled(const LayoutNode* node) {
    return (node->flags & kLayoutTitled) != 0;
}
bool isFramed(const LayoutNode* node) {
    return (node->flags & kLayoutFramed) != 0;
}

// Left and right margin between a group's edge and its children.
int sideMargin(const LayoutNode* node) {
    if (!isTitled(node))
        return 0;
    return gMetrics[DialogBuilder::kRowGap] +
           (isFramed(node) ? gMetrics[DialogBuilder::kFrameMargin] : 0);
}

// Places a column's child across the inner width per the column's flags;
// a child without alignment stays where it is.
void alignInColumn(const LayoutNode* column, LayoutNode* child, int side, int innerWidth) {
    if (column->flags & kLayoutAlignEnd)
        child->x = side + innerWidth - child->width;
    else if (column->flags & kLayoutCentre)
        child->x = side + (innerWidth - child->width) / 2;
}

void widenColumn(LayoutNode* node, int width) {
    const int side = sideMargin(node);
    const int inner = width - 2 * side;
    for (LayoutNode* child = node->firstChild; child; child = child->next)
        if (child->flags & kLayoutStretch)
            DialogBuilder::widen(child, inner);
    for (LayoutNode* child = node->firstChild; child; child = child->next)
        alignInColumn(node, child, side, inner);
}

void widenRow(LayoutNode* node, int width) {
    int count = 0;
    int stretchable = 0;
    int childWidths = 0;
    for (const LayoutNode* child = node->firstChild; child; child = child->next) {
        ++count;
        childWidths += child->width;
        if (child->flags & kLayoutStretch)
            ++stretchable;
    }
    if (count == 0)
        return;
    if (stretchable > 0) {
        const int share = (width - node->width) / stretchable;
        int shift = 0;
        for (LayoutNode* child = node->firstChild; child; child = child->next) {
            child->x += shift;
            if (child->flags & kLayoutStretch) {
                const int before = child->width;
                DialogBuilder::widen(child, before + share);
                shift += child->width - before;
            }
        }
    } else if (isTitled(node)) {
        // Equal gaps before, between and after the children, inside the frame.
        const int left = isFramed(node) ? gMetrics[DialogBuilder::kFrameMargin] : 0;
        const int gap = (width - 2 * left - childWidths) / (count + 1);
        int x = left + gap;
        for (LayoutNode* child = node->firstChild; child; child = child->next) {
            child->x = x;
            x += child->width + gap;
        }
    } else if (count == 1) {
        node->firstChild->x = (width - node->firstChild->width) / 2;
    } else {
        // First at the left edge, last at the right edge; the rounding of
        // the equal gaps is spread so the last one still ends at the edge.
        const int free = width - childWidths;
        int before = 0;
        int index = 0;
        for (LayoutNode* child = node->firstChild; child; child = child->next, ++index) {
            child->x = before + free * index / (count - 1);
            before += child->width;
        }
    }
}

void makeAbsolute(LayoutNode* node, int originX, int originY) {
    node->x += originX;
    node->y += originY;
    const bool ownOrigin = (node->flags & kLayoutOwnOrigin) != 0;
    for (LayoutNode* child = node->firstChild; child; child = child->next)
        makeAbsolute(child, ownOrigin ? 0 : node->x, ownOrigin ? 0 : node->y);
}

} // namespace

void DialogBuilder::setScreenDpi(int dpi) {
    gScreenDpi = dpi > 0 ? dpi : askScreenDpi();
}

int DialogBuilder::screenDpi() {
    return gScreenDpi;
}

int DialogBuilder::setMetric(int index, int value) {
    if (index < 0 || index >= kMetricCount)
        return 0;
    return std::exchange(gMetrics[index], value);
}

int DialogBuilder::metric(int index) {
    return index >= 0 && index < kMetricCount ? gMetrics[index] : 0;
}

uint32_t DialogBuilder::pushButton() {
    return sizeDescriptor(atDpi(17, gScreenDpi) + 6, 6, 0);
}

uint32_t DialogBuilder::checkBox() {
    const int minimum = atDpi(15, gScreenDpi);
    return sizeDescriptor(atDpi(20, gScreenDpi), 0, minimum + (minimum & 1));
}

int DialogBuilder::scaled(int designUnits) {
    return gScreenDpi > kBaseDpi ? atDpi(designUnits, gScreenDpi) : designUnits;
}

LayoutNode* DialogBuilder::leaf(uint32_t descriptor, int width, int height) {
    LayoutNode& node = nodes_.emplace_back();
    node.flags = descriptorFlags(descriptor);
    node.width = width;
    node.height = height;
    return &node;
}

LayoutNode* DialogBuilder::textLeaf(uint32_t descriptor, TextExtent extent) {
    return leaf(descriptor, extent.width + horizontalAllowance(descriptor),
                leafHeight(extent.height, descriptor));
}

LayoutNode* DialogBuilder::text(const TextMeasure& measure, uint32_t descriptor,
                                const wchar_t* text, TextPrefix prefix) {
    return textLeaf(descriptor, measure.textExtent(text ? text : L"", prefix));
}

LayoutNode* DialogBuilder::chars(const TextMeasure& measure, uint32_t descriptor, int count) {
    TextExtent zero = measure.textExtent(L"0", TextPrefix::plain);
    zero.width *= std::max(count, 0);
    return textLeaf(descriptor, zero);
}

LayoutNode* DialogBuilder::fixed(uint32_t descriptor, int width, int height) {
    return pixels(descriptor, scaled(width), scaled(height));
}

LayoutNode* DialogBuilder::pixels(uint32_t descriptor, int width, int height) {
    return leaf(descriptor, width + horizontalAllowance(descriptor),
                height + verticalAllowance(descriptor));
}

LayoutNode* DialogBuilder::widest(const TextMeasure& measure, uint32_t descriptor,
                                  std::initializer_list<const wchar_t*> texts) {
    return widest(measure, descriptor, texts.begin(), texts.size());
}

LayoutNode* DialogBuilder::widest(const TextMeasure& measure, uint32_t descriptor,
                                  const wchar_t* const* texts, size_t count) {
    TextExtent widest;
    for (size_t i = 0; i < count; ++i) {
        if (!texts[i])
            continue;
        const TextExtent extent = measure.textExtent(texts[i], TextPrefix::mnemonic);
        widest.width = std::max(widest.width, extent.width);
        widest.height = extent.height;
    }
    return textLeaf(descriptor, widest);
}

LayoutNode* DialogBuilder::paragraph(const TextMeasure& measure, uint32_t descriptor, int count,
                                     const wchar_t* text, TextPrefix prefix) {
    const int zeroWidth = measure.textExtent(L"0", TextPrefix::plain).width;
    if (count > 0) {
        const int width = count * zeroWidth;
        TextExtent extent = measure.wrappedExtent(text ? text : L"", width, prefix);
        // A word longer than the line may need more.
        extent.width = std::max(extent.width, width);
        return textLeaf(descriptor, extent);
    }
    const int limit = std::min(measure.screenWidth() * 3 / 4, 120 * zeroWidth);
    return wrapped(measure, descriptor, limit, text, prefix);
}

LayoutNode* DialogBuilder::wrapped(const TextMeasure& measure, uint32_t descriptor, int maxWidth,
                                   const wchar_t* text, TextPrefix prefix) {
    return textLeaf(descriptor, measure.wrappedExtent(text ? text : L"", maxWidth, prefix));
}

LayoutNode* DialogBuilder::column(const TextMeasure& measure, uint32_t flags, const wchar_t* title,
                                  std::initializer_list<LayoutNode*> children) {
    return column(measure, flags, title, children.begin(), children.size());
}

LayoutNode* DialogBuilder::column(const TextMeasure& measure, uint32_t flags, const wchar_t* title,
                                  LayoutNode* const* children, size_t count) {
    return container(measure, flags | kLayoutColumn, title, children, count);
}

LayoutNode* DialogBuilder::row(const TextMeasure& measure, uint32_t flags, const wchar_t* title,
                               std::initializer_list<LayoutNode*> children) {
    return row(measure, flags, title, children.begin(), children.size());
}

LayoutNode* DialogBuilder::row(const TextMeasure& measure, uint32_t flags, const wchar_t* title,
                               LayoutNode* const* children, size_t count) {
    return container(measure, flags & ~kLayoutColumn, title, children, count);
}

LayoutNode* DialogBuilder::container(const TextMeasure& measure, uint32_t flags,
                                     const wchar_t* title, LayoutNode* const* children,
                                     size_t count) {
    LayoutNode* node = &nodes_.emplace_back();
    node->flags = flags & (kLayoutFlagMask | kLayoutColumn);
    LayoutNode** link = &node->firstChild;
    for (size_t i = 0; i < count; ++i) {
        if (!children[i])
            continue;
        *link = children[i];
        link = &children[i]->next;
    }
    *link = nullptr;

    const bool isColumn = (flags & kLayoutColumn) != 0;
    const int side = sideMargin(node);
    int top = 0;
    int bottom = 0;
    TextExtent titleExtent;
    if (isTitled(node)) {
        titleExtent = measure.textExtent(title ? title : L"", TextPrefix::mnemonic);
        node->titleHeight = titleExtent.height;
        top = titleExtent.height + gMetrics[kColumnGap];
        if (isFramed(node)) {
            top += gMetrics[kFrameBottom];
            bottom = gMetrics[kFrameBottom];
        }
    }

    int innerWidth = 0;
    int innerHeight = 0;
    for (const LayoutNode* child = node->firstChild; child; child = child->next) {
        innerWidth = std::max(innerWidth, child->width);
        innerHeight = std::max(innerHeight, child->height);
    }
    if (isColumn) {
        const bool bands = (flags & kLayoutBands) != 0;
        const int band = innerHeight;
        int y = top;
        for (LayoutNode* child = node->firstChild; child; child = child->next) {
            child->x = side;
            child->y = bands ? y + (band - child->height) / 2 : y;
            y += (bands ? band : child->height) + gMetrics[kColumnGap];
        }
        innerHeight = node->firstChild ? y - gMetrics[kColumnGap] - top : 0;
        for (LayoutNode* child = node->firstChild; child; child = child->next) {
            if (child->flags & kLayoutStretch)
                widen(child, innerWidth);
            alignInColumn(node, child, side, innerWidth);
        }
    } else {
        int x = side;
        for (LayoutNode* child = node->firstChild; child; child = child->next) {
            child->x = x;
            x += child->width + gMetrics[kRowGap];
            if (flags & kLayoutAlignEnd)
                child->y = top + innerHeight - child->height;
            else if (flags & kLayoutCentre)
                child->y = top + (innerHeight - child->height) / 2;
            else
                child->y = top;
        }
        innerWidth = node->firstChild ? x - gMetrics[kRowGap] - side : 0;
    }
    node->width = innerWidth + 2 * side;
    node->height = top + innerHeight + bottom;

    if (isTitled(node)) {
        const int titleWidth = titleExtent.width + (isFramed(node) ? 2 * side : 0);
        widen(node, titleWidth);
    }
    return node;
}

void DialogBuilder::widen(LayoutNode* node, int width) {
    if (!node || width <= node->width)
        return;
    if (node->firstChild) {
        if (node->flags & kLayoutColumn)
            widenColumn(node, width);
        else
            widenRow(node, width);
    }
    node->width = width;
}

void DialogBuilder::finish(LayoutNode* root, int x, int y, int minimumWidth) {
    if (!root)
        return;
    widen(root, minimumWidth);
    makeAbsolute(root, x, y);
}

} // namespace tonvale
