// Layouts worked out by hand from the layout rules, with texts 6 pixels a
// unit and 13 pixels a line (FixedMeasure) and the default metrics 8, 8, 2, 2.
#include "dialogs/builder/dialog_builder.h"
#include "dialogs/builder/page_area.h"

#include "tests/dialogs/fixed_measure.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

::testing::AssertionResult hasRect(const LayoutNode* node, int x, int y, int width, int height) {
    if (node->x == x && node->y == y && node->width == width && node->height == height)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << node->x << ", " << node->y << ") " << node->width << " x " << node->height
           << ", expected (" << x << ", " << y << ") " << width << " x " << height;
}

class DialogBuilderTest : public ::testing::Test {
  protected:
    void SetUp() override { DialogBuilder::setScreenDpi(96); }
    void TearDown() override { DialogBuilder::setScreenDpi(96); }

    // Boxes of fixed sizes: A 40 x 20, B 60 x 10, C 30 x 30.
    LayoutNode* a(uint32_t flags = 0) { return builder.pixels(flags, 40, 20); }
    LayoutNode* b(uint32_t flags = 0) { return builder.pixels(flags, 60, 10); }
    LayoutNode* c(uint32_t flags = 0) { return builder.pixels(flags, 30, 30); }

    FixedMeasure measure;
    DialogBuilder builder;
};

TEST_F(DialogBuilderTest, DescriptorsPackTheirFieldsAndClamp) {
    const uint32_t descriptor = sizeDescriptor(23, 6, 16, kLayoutStretch | kLayoutFramed);
    EXPECT_EQ(horizontalAllowance(descriptor), 23);
    EXPECT_EQ(verticalAllowance(descriptor), 6);
    EXPECT_EQ(minimumHeight(descriptor), 16);
    EXPECT_EQ(descriptorFlags(descriptor), kLayoutStretch | kLayoutFramed);
    // The column mark is not a descriptor flag: bit 11 is the minimum height's.
    EXPECT_EQ(descriptorFlags(kLayoutColumn), 0u);
    const uint32_t clamped = sizeDescriptor(200, -3, 128, 0xFFFFFFFF);
    EXPECT_EQ(horizontalAllowance(clamped), 127);
    EXPECT_EQ(verticalAllowance(clamped), 0);
    EXPECT_EQ(minimumHeight(clamped), 127);
    EXPECT_EQ(descriptorFlags(clamped), 0x7FFu);
}

TEST_F(DialogBuilderTest, StandardDescriptorsAndFixedSizesFollowTheDpi) {
    EXPECT_EQ(DialogBuilder::pushButton(), sizeDescriptor(23, 6, 0));
    EXPECT_EQ(DialogBuilder::checkBox(), sizeDescriptor(20, 0, 16));
    EXPECT_EQ(DialogBuilder::scaled(50), 50);

    DialogBuilder::setScreenDpi(120); // 17 * 1.25 = 21.25, 20 * 1.25 = 25, 15 * 1.25 = 18.75
    EXPECT_EQ(DialogBuilder::pushButton(), sizeDescriptor(21 + 6, 6, 0));
    EXPECT_EQ(DialogBuilder::checkBox(), sizeDescriptor(25, 0, 20));
    DialogBuilder::setScreenDpi(144); // 25.5, 30, 22.5 rounded, the height made even
    EXPECT_EQ(DialogBuilder::pushButton(), sizeDescriptor(26 + 6, 6, 0));
    EXPECT_EQ(DialogBuilder::checkBox(), sizeDescriptor(30, 0, 24));
    EXPECT_TRUE(hasRect(builder.fixed(sizeDescriptor(2, 3, 0), 50, 20), 0, 0, 75 + 2, 30 + 3));
    EXPECT_TRUE(hasRect(builder.pixels(sizeDescriptor(2, 3, 0), 50, 20), 0, 0, 52, 23));

    DialogBuilder::setScreenDpi(72); // below 96 design units stay pixels
    EXPECT_EQ(DialogBuilder::pushButton(), sizeDescriptor(23, 6, 0));
    EXPECT_EQ(DialogBuilder::scaled(50), 50);
}

TEST_F(DialogBuilderTest, MetricsAnswerTheirPreviousValue) {
    EXPECT_EQ(DialogBuilder::setMetric(DialogBuilder::kRowGap, 14), 8);
    EXPECT_EQ(DialogBuilder::setMetric(DialogBuilder::kRowGap, 8), 14);
    EXPECT_EQ(DialogBuilder::setMetric(4, 99), 0);
    EXPECT_EQ(DialogBuilder::setMetric(-1, 99), 0);
    EXPECT_EQ(DialogBuilder::metric(DialogBuilder::kFrameBottom), 2);
}

TEST_F(DialogBuilderTest, LeavesAreMeasuredTextPlusAllowances) {
    // "&OK" shows two units: 12 + 23 wide, 13 + 6 high.
    EXPECT_TRUE(hasRect(builder.text(measure, DialogBuilder::pushButton(), L"&OK"), 0, 0, 35, 19));
    // The minimum 16 takes the text height's odd parity: 17.
    EXPECT_TRUE(hasRect(builder.text(measure, DialogBuilder::checkBox(), L"Ab"), 0, 0, 32, 17));
    EXPECT_TRUE(hasRect(builder.text(measure, sizeDescriptor(0, 0, 26), L"x\ny"), 0, 0, 6, 26));
    EXPECT_TRUE(hasRect(builder.text(measure, sizeDescriptor(0, 0, 0), L"a&&b", TextPrefix::plain),
                        0, 0, 24, 13));
    EXPECT_TRUE(hasRect(builder.chars(measure, sizeDescriptor(4, 0, 0), 5), 0, 0, 34, 13));
    EXPECT_TRUE(hasRect(builder.widest(measure, sizeDescriptor(2, 0, 0), {L"a", L"abcd", L"ab"}), 0,
                        0, 26, 13));
    EXPECT_TRUE(hasRect(builder.widest(measure, 0, {L"abc\nd", nullptr, L"ab"}), 0, 0, 18, 13));
    EXPECT_EQ(builder.text(measure, kLayoutStretch | kLayoutCentre, L"a")->flags,
              kLayoutStretch | kLayoutCentre);
}

TEST_F(DialogBuilderTest, ParagraphsWrapAtTheirWidth) {
    // 10 widths of "0" = 60: "aa bb cc" (48) fits, "dd" goes below.
    EXPECT_TRUE(hasRect(builder.paragraph(measure, 0, 10, L"aa bb cc dd"), 0, 0, 60, 26));
    EXPECT_TRUE(hasRect(builder.paragraph(measure, 0, 10, L"a"), 0, 0, 60, 13));
    // Without a count: as wide as needed, at most min(3/4 of 1024, 120 x 6) = 720.
    EXPECT_TRUE(hasRect(builder.paragraph(measure, 0, 0, L"aa bb"), 0, 0, 30, 13));
    const std::wstring words(150, L'w');
    std::wstring text = words.substr(0, 100) + L" " + words.substr(0, 100);
    EXPECT_TRUE(hasRect(builder.paragraph(measure, 0, 0, text.c_str()), 0, 0, 600, 26));
    // "aaa bbb" (42) is too wide for 40: three lines of 18.
    EXPECT_TRUE(hasRect(builder.wrapped(measure, sizeDescriptor(4, 2, 0), 40, L"aaa bbb ccc"), 0, 0,
                        22, 41));
    EXPECT_TRUE(hasRect(builder.paragraph(measure, 0, 0, nullptr), 0, 0, 0, 13));
}

TEST_F(DialogBuilderTest, ColumnsStackWithGapsAndAlignAcross) {
    LayoutNode *na = a(), *nb = b(), *nc = c();
    LayoutNode* column = builder.column(measure, 0, nullptr, {na, nb, nc});
    EXPECT_TRUE(hasRect(column, 0, 0, 60, 20 + 8 + 10 + 8 + 30));
    EXPECT_TRUE(hasRect(na, 0, 0, 40, 20));
    EXPECT_TRUE(hasRect(nb, 0, 28, 60, 10));
    EXPECT_TRUE(hasRect(nc, 0, 46, 30, 30));
    EXPECT_EQ(column->flags, kLayoutColumn);
    EXPECT_EQ(column->firstChild, na);
    EXPECT_EQ(na->next, nb);
    EXPECT_EQ(nc->next, nullptr);

    na = a(), nb = b(), nc = c();
    builder.column(measure, kLayoutAlignEnd, nullptr, {na, nb, nc});
    EXPECT_EQ(na->x, 20);
    EXPECT_EQ(nb->x, 0);
    EXPECT_EQ(nc->x, 30);

    na = a(), nb = b(), nc = c();
    builder.column(measure, kLayoutCentre, nullptr, {na, nullptr, nb, nc});
    EXPECT_EQ(na->x, 10);
    EXPECT_EQ(nb->x, 0);
    EXPECT_EQ(nc->x, 15);
}

TEST_F(DialogBuilderTest, ColumnBandsAreAsHighAsTheTallestChild) {
    LayoutNode *na = a(), *nb = b(), *nc = c();
    LayoutNode* column = builder.column(measure, kLayoutBands, nullptr, {na, nb, nc});
    EXPECT_TRUE(hasRect(column, 0, 0, 60, 3 * 30 + 2 * 8));
    EXPECT_TRUE(hasRect(na, 0, 5, 40, 20));
    EXPECT_TRUE(hasRect(nb, 0, 38 + 10, 60, 10));
    EXPECT_TRUE(hasRect(nc, 0, 76, 30, 30));
}

TEST_F(DialogBuilderTest, StretchableChildrenTakeTheColumnWidth) {
    LayoutNode *na = a(kLayoutStretch), *nb = b(), *nc = c();
    builder.column(measure, kLayoutAlignEnd, nullptr, {na, nb, nc});
    EXPECT_TRUE(hasRect(na, 0, 0, 60, 20));
    EXPECT_EQ(nc->x, 30);
}

TEST_F(DialogBuilderTest, RowsStackWithGapsAndAlignAcross) {
    LayoutNode *na = a(), *nb = b(), *nc = c();
    LayoutNode* row = builder.row(measure, 0, nullptr, {na, nb, nc});
    EXPECT_TRUE(hasRect(row, 0, 0, 40 + 8 + 60 + 8 + 30, 30));
    EXPECT_TRUE(hasRect(na, 0, 0, 40, 20));
    EXPECT_TRUE(hasRect(nb, 48, 0, 60, 10));
    EXPECT_TRUE(hasRect(nc, 116, 0, 30, 30));
    EXPECT_EQ(row->flags & kLayoutColumn, 0u);

    na = a(), nb = b(), nc = c();
    builder.row(measure, kLayoutAlignEnd, nullptr, {na, nb, nc});
    EXPECT_EQ(na->y, 10);
    EXPECT_EQ(nb->y, 20);
    EXPECT_EQ(nc->y, 0);

    na = a(), nb = b(), nc = c();
    builder.row(measure, kLayoutCentre, nullptr, {na, nb, nc});
    EXPECT_EQ(na->y, 5);
    EXPECT_EQ(nb->y, 10);
    EXPECT_EQ(nc->y, 0);

    EXPECT_TRUE(hasRect(builder.row(measure, 0, nullptr, {}), 0, 0, 0, 0));
}

TEST_F(DialogBuilderTest, GroupsInsetTheirChildrenBelowTheTitle) {
    // "Title": 30 x 13. Unframed: children at 13 + 8 down, 8 in from each side.
    LayoutNode *na = a(), *nb = b();
    LayoutNode* group = builder.column(measure, kLayoutTitled, L"Title", {na, nb});
    EXPECT_TRUE(hasRect(group, 0, 0, 8 + 60 + 8, 21 + 20 + 8 + 10));
    EXPECT_EQ(group->titleHeight, 13);
    EXPECT_TRUE(hasRect(na, 8, 21, 40, 20));
    EXPECT_TRUE(hasRect(nb, 8, 49, 60, 10));

    // Framed: 2 more at each side, 2 more under the title and below the children.
    na = a(), nb = b();
    group = builder.column(measure, kLayoutTitled | kLayoutFramed, L"Title", {na, nb});
    EXPECT_TRUE(hasRect(group, 0, 0, 10 + 60 + 10, 23 + 38 + 2));
    EXPECT_TRUE(hasRect(na, 10, 23, 40, 20));
    EXPECT_TRUE(hasRect(nb, 10, 51, 60, 10));

    na = a(), nb = b();
    group = builder.row(measure, kLayoutTitled | kLayoutFramed, L"Title", {na, nb});
    EXPECT_TRUE(hasRect(group, 0, 0, 10 + 40 + 8 + 60 + 10, 23 + 20 + 2));
    EXPECT_TRUE(hasRect(na, 10, 23, 40, 20));
    EXPECT_TRUE(hasRect(nb, 58, 23, 60, 10));
}

TEST_F(DialogBuilderTest, AWiderTitleWidensItsGroup) {
    // "A long group title": 108 wide. Unframed the group is that wide and
    // the centred children move to the middle of the 92 inside the margins.
    LayoutNode *na = a(), *nb = b();
    LayoutNode* group =
        builder.column(measure, kLayoutTitled | kLayoutCentre, L"A long group title", {na, nb});
    EXPECT_EQ(group->width, 108);
    EXPECT_EQ(na->x, 8 + (92 - 40) / 2);
    EXPECT_EQ(nb->x, 8 + (92 - 60) / 2);

    // Framed the title needs the side margins too: 108 + 2 x 10.
    na = a(), nb = b();
    group = builder.column(measure, kLayoutTitled | kLayoutFramed | kLayoutCentre,
                           L"A long group title", {na, nb});
    EXPECT_EQ(group->width, 128);
    EXPECT_EQ(na->x, 10 + 34);
    EXPECT_EQ(nb->x, 10 + 24);
}

TEST_F(DialogBuilderTest, WideningARowSharesTheExtraAmongStretchableChildren) {
    LayoutNode *na = a(), *stretch = builder.pixels(kLayoutStretch, 30, 10), *nc = c();
    LayoutNode* row = builder.row(measure, 0, nullptr, {na, stretch, nc});
    ASSERT_EQ(row->width, 116);
    DialogBuilder::widen(row, 150);
    EXPECT_EQ(row->width, 150);
    EXPECT_TRUE(hasRect(na, 0, 0, 40, 20));
    EXPECT_TRUE(hasRect(stretch, 48, 0, 64, 10));
    EXPECT_TRUE(hasRect(nc, 120, 0, 30, 30));

    // Two share 35: 17 each, the odd pixel is left over.
    LayoutNode* first = builder.pixels(kLayoutStretch, 30, 10);
    LayoutNode* middle = a();
    LayoutNode* last = builder.pixels(kLayoutStretch, 30, 10);
    row = builder.row(measure, 0, nullptr, {first, middle, last});
    DialogBuilder::widen(row, 151);
    EXPECT_EQ(row->width, 151);
    EXPECT_TRUE(hasRect(first, 0, 0, 47, 10));
    EXPECT_EQ(middle->x, 55);
    EXPECT_TRUE(hasRect(last, 103, 0, 47, 10));

    DialogBuilder::widen(row, 100); // never narrower
    EXPECT_EQ(row->width, 151);
}

TEST_F(DialogBuilderTest, WideningARowWithoutStretchableChildrenSpreadsThem) {
    LayoutNode* only = a();
    DialogBuilder::widen(builder.row(measure, 0, nullptr, {only}), 100);
    EXPECT_EQ(only->x, 30);

    // Free 200 - 130 = 70: first at the left edge, last ending at the right.
    LayoutNode *na = a(), *nb = b(), *nc = c();
    DialogBuilder::widen(builder.row(measure, 0, nullptr, {na, nb, nc}), 200);
    EXPECT_EQ(na->x, 0);
    EXPECT_EQ(nb->x, 40 + 35);
    EXPECT_EQ(nc->x, 170);

    // In a group: equal gaps before, between and after; (200 - 100) / 3 = 33.
    na = a(), nb = b();
    DialogBuilder::widen(builder.row(measure, kLayoutTitled, L"T", {na, nb}), 200);
    EXPECT_EQ(na->x, 33);
    EXPECT_EQ(nb->x, 33 + 40 + 33);
    // Framed, inside the frame margin of 2: (200 - 4 - 100) / 3 = 32.
    na = a(), nb = b();
    LayoutNode* group = builder.row(measure, kLayoutTitled | kLayoutFramed, L"T", {na, nb});
    DialogBuilder::widen(group, 200);
    EXPECT_EQ(na->x, 2 + 32);
    EXPECT_EQ(nb->x, 2 + 32 + 40 + 32);
    EXPECT_EQ(na->y, 23);
}

TEST_F(DialogBuilderTest, WideningAColumnRealignsAndWidensStretchableChildren) {
    LayoutNode *na = a(), *stretch = builder.pixels(kLayoutStretch, 30, 10);
    LayoutNode* column = builder.column(measure, kLayoutAlignEnd, nullptr, {na, stretch});
    DialogBuilder::widen(column, 100);
    EXPECT_TRUE(hasRect(na, 60, 0, 40, 20));
    EXPECT_TRUE(hasRect(stretch, 0, 28, 100, 10));

    // A framed group's inner width excludes 2 x (8 + 2).
    na = a(), stretch = builder.pixels(kLayoutStretch, 30, 10);
    column =
        builder.column(measure, kLayoutTitled | kLayoutFramed | kLayoutCentre, L"T", {na, stretch});
    DialogBuilder::widen(column, 100);
    EXPECT_TRUE(hasRect(stretch, 10, 51, 80, 10));
    EXPECT_EQ(na->x, 10 + 20);

    // Unaligned children stay where they are.
    na = a(), stretch = builder.pixels(kLayoutStretch, 30, 10);
    column = builder.column(measure, 0, nullptr, {na, stretch});
    DialogBuilder::widen(column, 90);
    EXPECT_EQ(na->x, 0);
    EXPECT_EQ(stretch->width, 90);
}

TEST_F(DialogBuilderTest, FinishWidensTheRootAndMakesPositionsAbsolute) {
    LayoutNode* stretch = builder.pixels(kLayoutStretch, 30, 10);
    LayoutNode* fixedWidth = b();
    LayoutNode* row = builder.row(measure, kLayoutStretch, nullptr, {stretch, fixedWidth});
    LayoutNode* below = c();
    LayoutNode* root = builder.column(measure, kLayoutCentre, nullptr, {row, below});
    DialogBuilder::finish(root, 5, 7, 200);
    EXPECT_TRUE(hasRect(root, 5, 7, 200, 10 + 8 + 30));
    EXPECT_TRUE(hasRect(row, 5, 7, 200, 10));
    EXPECT_TRUE(hasRect(stretch, 5, 7, 30 + 102, 10));
    EXPECT_TRUE(hasRect(fixedWidth, 5 + 140, 7, 60, 10));
    EXPECT_TRUE(hasRect(below, 5 + 85, 7 + 18, 30, 30));

    DialogBuilder::finish(root, 0, 0, 50); // narrower: no change of size
    EXPECT_EQ(root->width, 200);
}

TEST_F(DialogBuilderTest, ChildrenOfAnOwnOriginNodeStayRelativeToIt) {
    LayoutNode *pad = builder.pixels(0, 50, 10), *na = a(), *nb = b();
    LayoutNode* page = builder.column(measure, kLayoutOwnOrigin, nullptr, {na, nb});
    LayoutNode* root = builder.row(measure, 0, nullptr, {pad, page});
    DialogBuilder::finish(root, 10, 20, 0);
    EXPECT_TRUE(hasRect(pad, 10, 20, 50, 10));
    EXPECT_TRUE(hasRect(page, 68, 20, 60, 38));
    EXPECT_TRUE(hasRect(na, 0, 0, 40, 20));
    EXPECT_TRUE(hasRect(nb, 0, 28, 60, 10));
}

TEST_F(DialogBuilderTest, NothingBreaksOnEmptyOrNullInput) {
    LayoutNode* empty = builder.text(measure, DialogBuilder::pushButton(), L"");
    EXPECT_EQ(empty->width, 23);
    EXPECT_EQ(builder.text(measure, 0, nullptr)->width, 0);
    EXPECT_TRUE(hasRect(builder.column(measure, kLayoutTitled | kLayoutFramed, nullptr, {}), 0, 0,
                        20, 13 + 8 + 2 + 2));
    EXPECT_TRUE(hasRect(builder.chars(measure, 0, -5), 0, 0, 0, 13));
    DialogBuilder::widen(nullptr, 10);
    DialogBuilder::finish(nullptr, 0, 0, 10);
}

TEST(PageArea, HeightRisesToTheFirstOfTwoThreeAndFourQuartersOfTheWidth) {
    // 300 wide: 150, 225 or 300 high.
    EXPECT_EQ(pageAreaHeight(300, 0), 150);
    EXPECT_EQ(pageAreaHeight(300, 150), 150);
    EXPECT_EQ(pageAreaHeight(300, 151), 225);
    EXPECT_EQ(pageAreaHeight(300, 226), 300);
    EXPECT_EQ(pageAreaHeight(300, 301), 301);
    // Rounded up: (2 * 301 + 3) / 4 = 151.
    EXPECT_EQ(pageAreaHeight(301, 100), 151);
    EXPECT_EQ(pageAreaHeight(0, 40), 40);
}

} // namespace
} // namespace tonvale
