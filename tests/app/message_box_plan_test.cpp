// The message box's buttons by type, its copied text, and its layout worked
// out by hand with texts 6 pixels a unit and 13 pixels a line.
#include "app/message_box_plan.h"

#include "app/build_date.h"
#include "tests/dialogs/fixed_measure.h"

#include <gtest/gtest.h>

#include <vector>

namespace tonvale {
namespace {

struct TypeRow {
    uint32_t type;
    std::vector<int> texts;
    std::vector<int> results;
    int cancelIndex;
};

TEST(MessageBoxPlan, ButtonsResultsAndCancelFollowTheType) {
    const TypeRow rows[] = {
        {0, {132}, {1}, -1},
        {1, {132, 133}, {1, 2}, 1},
        {2, {125, 126, 127}, {3, 4, 5}, -1},
        {3, {130, 131, 133}, {6, 7, 2}, 2},
        {4, {130, 131}, {6, 7}, -1},
        {5, {126, 133}, {4, 2}, 1},
        {6, {133, 128, 129}, {2, 10, 11}, 0},
        {7, {132}, {1}, -1},
        {15, {132}, {1}, -1},
    };
    for (const TypeRow& row : rows) {
        const MessageBoxPlan plan = planMessageBox(row.type);
        ASSERT_EQ(plan.buttonCount, static_cast<int>(row.texts.size())) << row.type;
        for (int i = 0; i < plan.buttonCount; ++i) {
            EXPECT_EQ(plan.buttonTexts[i], row.texts[i]) << row.type;
            EXPECT_EQ(messageBoxResult(plan, i), row.results[i]) << row.type;
        }
        EXPECT_EQ(plan.cancelIndex, row.cancelIndex) << row.type;
        EXPECT_EQ(messageBoxResult(plan, -1), 0);
        EXPECT_EQ(messageBoxResult(plan, plan.buttonCount), 0);
    }
}

TEST(MessageBoxPlan, DefaultButtonIconAndForegroundComeFromTheirBits) {
    EXPECT_EQ(planMessageBox(mb::kYesNoCancel).defaultButton, 0);
    EXPECT_EQ(planMessageBox(mb::kYesNoCancel | mb::kDefaultButton2).defaultButton, 1);
    EXPECT_EQ(planMessageBox(mb::kYesNoCancel | mb::kDefaultButton3).defaultButton, 2);
    // Beyond the buttons there are: the first, so Enter still answers.
    EXPECT_EQ(planMessageBox(mb::kYesNo | mb::kDefaultButton3).defaultButton, 0);
    EXPECT_EQ(planMessageBox(mb::kOk | mb::kDefaultButton4).defaultButton, 0);

    const uint32_t classes[] = {
        0, mb::kIconHand, mb::kIconQuestion, mb::kIconExclamation, mb::kIconAsterisk, 0x50, 0xF0};
    const uint16_t icons[] = {0, 32513, 32514, 32515, 32516, 0, 0};
    for (size_t i = 0; i < std::size(classes); ++i) {
        const MessageBoxPlan plan = planMessageBox(mb::kOk | classes[i]);
        EXPECT_EQ(plan.icon, icons[i]) << i;
        EXPECT_EQ(plan.iconClass, classes[i]);
    }
    EXPECT_TRUE(planMessageBox(mb::kSetForeground).foreground);
    EXPECT_FALSE(planMessageBox(mb::kOk).foreground);
}

TEST(MessageBoxPlan, CopiedTextHasCrLfLineBreaks) {
    EXPECT_EQ(withCrLf(L"a\nb\rc\r\nd\n\n"), L"a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(withCrLf(L"\r\r\n\n\r"), L"\r\n\r\n\r\n\r\n");
    EXPECT_EQ(withCrLf(L"no breaks"), L"no breaks");
    EXPECT_EQ(withCrLf(L""), L"");
    EXPECT_EQ(withCrLf(nullptr), L"");
}

TEST(BuildDate, ReadsAsYearMonthDay) {
    EXPECT_EQ(isoBuildDate("Mar  5 2024"), L"2024-03-05");
    EXPECT_EQ(isoBuildDate("Dec 25 2023"), L"2023-12-25");
    EXPECT_EQ(isoBuildDate("Jan 01 2030"), L"2030-01-01");
    EXPECT_EQ(isoBuildDate("Foo  5 2024"), L"Foo  5 2024");
    EXPECT_EQ(isoBuildDate("anJ  5 2024"), L"anJ  5 2024");
    EXPECT_EQ(isoBuildDate("Mar"), L"Mar");
    EXPECT_EQ(isoBuildDate(nullptr), L"");
}

::testing::AssertionResult isRect(const LayoutRect& rect, int x, int y, int width, int height) {
    if (rect.x == x && rect.y == y && rect.width == width && rect.height == height)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << rect.x << ", " << rect.y << ") " << rect.width << " x " << rect.height;
}

class MessageBoxLayoutTest : public ::testing::Test {
  protected:
    // "Hello world" (66 x 13) with an OK and a Cancel button and a 32 x 32 icon.
    // Buttons: the widest text (36) + 32 = 68 is less than "Cancel" + 40 = 76;
    // 13 + 10 = 23 high; the row is 76 + 14 + 76 = 166 wide.
    MessageBoxLayoutTest() {
        input.text = L"Hello world";
        input.buttonTexts[0] = L"&OK";
        input.buttonTexts[1] = L"Cancel";
        input.buttonCount = 2;
        input.cancelText = L"Cancel";
        input.hasIcon = true;
    }
    FixedMeasure measure;
    MessageBoxLayoutInput input;
};

TEST_F(MessageBoxLayoutTest, TaskDialogLookPutsTheMessageInABandAndTheButtonsAtTheRight) {
    // Icon gap 32 / 3 = 10; spacing 21 both ways; the text is centred on the
    // taller icon: (32 - 13) / 2 = 9. Width max(21 + 108 + 21, 14 + 166 + 14).
    const MessageBoxLayout layout = layoutMessageBox(measure, input);
    EXPECT_TRUE(isRect(layout.icon, 21, 21, 32, 32));
    EXPECT_TRUE(isRect(layout.text, 21 + 42, 21 + 9, 66, 13));
    EXPECT_EQ(layout.bandHeight, 21 + 32 + 21);
    EXPECT_TRUE(isRect(layout.buttons[0], 14, 84, 76, 23));
    EXPECT_TRUE(isRect(layout.buttons[1], 104, 84, 76, 23));
    EXPECT_EQ(layout.clientWidth, 194);
    EXPECT_EQ(layout.clientHeight, 74 + 10 + 23 + 10);
    EXPECT_EQ(DialogBuilder::metric(DialogBuilder::kRowGap), 8);
    EXPECT_EQ(DialogBuilder::metric(DialogBuilder::kColumnGap), 8);

    // A caption needing 300 widens the box; the buttons keep to the right edge.
    input.captionWidth = 300;
    MessageBoxLayout wide = layoutMessageBox(measure, input);
    EXPECT_EQ(wide.clientWidth, 300);
    EXPECT_EQ(wide.buttons[0].x, 14 + 106);
    EXPECT_TRUE(isRect(wide.text, 63, 30, 66, 13));
    // No wider than the widest text (60 x 6) and the outer spacing.
    input.captionWidth = 5000;
    EXPECT_EQ(layoutMessageBox(measure, input).clientWidth, 360 + 2 * 21);
}

TEST_F(MessageBoxLayoutTest, ClassicLookCentresTheButtonsUnderAWiderMessage) {
    input.taskDialogLook = false;
    // Icon gap 14: the message row is 32 + 14 + 66 = 112 wide, narrower than
    // the buttons, so both start at the left margin 14; 10 above and below.
    MessageBoxLayout layout = layoutMessageBox(measure, input);
    EXPECT_TRUE(isRect(layout.icon, 14, 10, 32, 32));
    EXPECT_TRUE(isRect(layout.text, 60, 19, 66, 13));
    EXPECT_TRUE(isRect(layout.buttons[0], 14, 52, 76, 23));
    EXPECT_EQ(layout.clientWidth, 194);
    EXPECT_EQ(layout.clientHeight, 32 + 10 + 23 + 2 * 10);
    EXPECT_EQ(layout.bandHeight, 0);

    // The caption's extra 106 moves the buttons by half.
    input.captionWidth = 300;
    EXPECT_EQ(layoutMessageBox(measure, input).buttons[0].x, 14 + 53);

    // A 300-pixel text: the message row (346) is wider; the buttons centre under it.
    const std::wstring text(50, L'x');
    input.text = text.c_str();
    input.captionWidth = 0;
    layout = layoutMessageBox(measure, input);
    EXPECT_EQ(layout.buttons[0].x, 14 + (346 - 166) / 2);
    EXPECT_EQ(layout.text.x, 60);
}

TEST_F(MessageBoxLayoutTest, TallTextIsTopAlignedWithTheIconAndCutToItsLimit) {
    input.text = L"a\nb\nc\nd"; // 52 high, taller than the icon
    MessageBoxLayout layout = layoutMessageBox(measure, input);
    EXPECT_EQ(layout.icon.y, 21);
    EXPECT_EQ(layout.text.y, 21);
    EXPECT_EQ(layout.bandHeight, 21 + 52 + 21);

    std::wstring lines;
    for (int i = 0; i < 100; ++i)
        lines += L"line\n";
    input.text = lines.c_str();
    input.maxTextHeight = 200;
    EXPECT_EQ(layoutMessageBox(measure, input).text.height, 200);

    const std::wstring word(1000, L'w'); // one word wider than the line
    input.text = word.c_str();
    EXPECT_EQ(layoutMessageBox(measure, input).text.width, 360);
}

TEST_F(MessageBoxLayoutTest, EmptyTextAndNoIconStillLeaveRoomForTheButtons) {
    input.text = L"";
    input.hasIcon = false;
    input.buttonCount = 1;
    const MessageBoxLayout layout = layoutMessageBox(measure, input);
    EXPECT_TRUE(isRect(layout.icon, 0, 0, 0, 0));
    EXPECT_TRUE(isRect(layout.text, 21, 21, 0, 13));
    EXPECT_TRUE(isRect(layout.buttons[0], 14, 21 + 13 + 21 + 10, 76, 23));
    EXPECT_EQ(layout.clientWidth, 14 + 76 + 14);

    input.buttonCount = 9; // clamped to the four there can be
    EXPECT_GT(layoutMessageBox(measure, input).buttons[3].width, 0);
}

} // namespace
} // namespace tonvale
