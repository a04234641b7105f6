// Layout of dialogs built from code: a tree of nodes, one per control and one
// per group, whose leaf sizes come from measured texts. The arithmetic is
// portable; the Windows half (dialog_builder_win.h) measures with the dialog's
// font, writes the template, creates the controls and places the dialog.
//
// Use: build leaves and containers bottom-up with one DialogBuilder (it owns
// the nodes; they live as long as it does), finish() the root, then take each
// control's rectangle from its node. All sizes are pixels.
//
// Metrics and the standard descriptors are process-wide and belong to the
// thread that builds dialogs (the UI thread); set them before a layout. They
// are plain statics: where several threads lay out (the volume library), set
// them once before any of those threads starts a layout, then only read them.
#pragma once

#include "dialogs/builder/text_measure.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>

namespace tonvale {

// Node flags (bits 0-10 of a size descriptor).
constexpr uint32_t kLayoutStretch = 1;  // takes a share of extra width
constexpr uint32_t kLayoutAlignEnd = 2; // children at the end: right in a column, bottom in a row
constexpr uint32_t kLayoutCentre = 4;   // children centred across the stacking direction
constexpr uint32_t kLayoutBands = 8; // column: every child centred in a band as high as the tallest
constexpr uint32_t kLayoutTitled = 16;      // the group has a title (a group box)
constexpr uint32_t kLayoutOwnOrigin = 32;   // children keep positions relative to this node
constexpr uint32_t kLayoutFramed = 64;      // the group box has an inner frame margin
constexpr uint32_t kLayoutColumn = 0x800;   // set by column(): widening re-aligns the children
constexpr uint32_t kLayoutFlagMask = 0x7FF; // the flags a size descriptor can carry

struct LayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct LayoutNode {
    LayoutNode* next = nullptr;
    LayoutNode* firstChild = nullptr;
    uint32_t flags = 0;
    // Relative to the parent until finish(), then absolute in the client area.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // Titled groups: the height of the title line at the top of the node.
    int titleHeight = 0;

    LayoutRect rect() const { return {x, y, width, height}; }
};

// A size descriptor: bits 25-31 horizontal allowance added to the measured
// width, bits 18-24 vertical allowance added to the measured height, bits
// 11-17 minimum height, bits 0-10 node flags. Each field is clamped to 0-127.
constexpr uint32_t sizeDescriptor(int horizontalAllowance, int verticalAllowance, int minimumHeight,
                                  uint32_t flags = 0) {
    auto field = [](int value) {
        return static_cast<uint32_t>(value < 0 ? 0 : value > 127 ? 127 : value);
    };
    return field(horizontalAllowance) << 25 | field(verticalAllowance) << 18 |
           field(minimumHeight) << 11 | (flags & kLayoutFlagMask);
}
constexpr int horizontalAllowance(uint32_t descriptor) {
    return static_cast<int>(descriptor >> 25);
}
constexpr int verticalAllowance(uint32_t descriptor) {
    return static_cast<int>(descriptor >> 18 & 0x7F);
}
constexpr int minimumHeight(uint32_t descriptor) {
    return static_cast<int>(descriptor >> 11 & 0x7F);
}
constexpr uint32_t descriptorFlags(uint32_t descriptor) {
    return descriptor & kLayoutFlagMask;
}

class DialogBuilder {
  public:
    // Metric indices. Defaults are for 96 dpi.
    static constexpr int kRowGap = 0;      // between the items of a row; side margin of a group (8)
    static constexpr int kColumnGap = 1;   // between the items of a column; under a group title (8)
    static constexpr int kFrameMargin = 2; // extra margin inside a framed group (2)
    static constexpr int kFrameBottom =
        3; // extra space at the top and bottom of a framed group (2)

    // d <= 0 asks the screen. Above 96 the standard descriptors and fixed
    // sizes scale by d/96; at 96 or below design units are pixels.
    static void setScreenDpi(int dpi);
    static int screenDpi();
    // Returns the previous value; an index outside 0-3 changes nothing and returns 0.
    static int setMetric(int index, int value);
    static int metric(int index);

    // Standard descriptors at the current screen dpi.
    static uint32_t pushButton();
    // Check boxes, radio buttons and combo boxes.
    static uint32_t checkBox();
    // Design units to pixels at the current dpi.
    static int scaled(int designUnits);

    // Leaves; each has position (0, 0) and the descriptor's flags.
    // Width: the text's width + horizontal allowance; height: the larger of
    // the text's height + vertical allowance and the minimum height (raised
    // by one when its parity differs from the text height's, so the text
    // centres on whole pixels).
    LayoutNode* text(const TextMeasure& measure, uint32_t descriptor, const wchar_t* text,
                     TextPrefix prefix = TextPrefix::mnemonic);
    // n widths of "0".
    LayoutNode* chars(const TextMeasure& measure, uint32_t descriptor, int count);
    // Design units, scaled with the dpi, plus the allowances.
    LayoutNode* fixed(uint32_t descriptor, int width, int height);
    LayoutNode* pixels(uint32_t descriptor, int width, int height);
    // The widest text's width; the last text's height. Null entries are skipped.
    LayoutNode* widest(const TextMeasure& measure, uint32_t descriptor,
                       std::initializer_list<const wchar_t*> texts);
    LayoutNode* widest(const TextMeasure& measure, uint32_t descriptor, const wchar_t* const* texts,
                       size_t count);
    // Word-wrapped text. count > 0: count widths of "0" wide, as high as the
    // wrapped text. count <= 0: as wide as the wrapped text needs, at most
    // three quarters of the screen and 120 widths of "0".
    LayoutNode* paragraph(const TextMeasure& measure, uint32_t descriptor, int count,
                          const wchar_t* text, TextPrefix prefix = TextPrefix::mnemonic);
    // Word-wrapped text as wide as it needs, at most maxWidth pixels.
    LayoutNode* wrapped(const TextMeasure& measure, uint32_t descriptor, int maxWidth,
                        const wchar_t* text, TextPrefix prefix = TextPrefix::mnemonic);

    // Containers. Null children are skipped; a child belongs to one container.
    // A titled group (kLayoutTitled) measures `title`, puts its children below
    // it and insets them by the row gap (plus the frame margin when framed).
    // The title must fit: unframed it spans the group from its left edge;
    // framed (a group box control draws it indented) it needs the side
    // margins as well.
    LayoutNode* column(const TextMeasure& measure, uint32_t flags, const wchar_t* title,
                       std::initializer_list<LayoutNode*> children);
    LayoutNode* column(const TextMeasure& measure, uint32_t flags, const wchar_t* title,
                       LayoutNode* const* children, size_t count);
    LayoutNode* row(const TextMeasure& measure, uint32_t flags, const wchar_t* title,
                    std::initializer_list<LayoutNode*> children);
    LayoutNode* row(const TextMeasure& measure, uint32_t flags, const wchar_t* title,
                    LayoutNode* const* children, size_t count);

    // Makes a node `width` wide (never narrower): a column re-aligns its
    // children and widens the stretchable ones; a row gives its stretchable
    // children equal shares, or spreads the children when none stretches.
    static void widen(LayoutNode* node, int width);
    // Widens the root to minimumWidth, places it at (x, y) and makes every
    // position absolute (children of kLayoutOwnOrigin nodes stay relative to it).
    static void finish(LayoutNode* root, int x, int y, int minimumWidth);

  private:
    LayoutNode* leaf(uint32_t descriptor, int width, int height);
    LayoutNode* textLeaf(uint32_t descriptor, TextExtent extent);
    LayoutNode* container(const TextMeasure& measure, uint32_t flags, const wchar_t* title,
                          LayoutNode* const* children, size_t count);

    std::deque<LayoutNode> nodes_;
};

// The screen's logical dpi (96 where there is no screen).
int askScreenDpi();

} // namespace tonvale
