// The tone window's arrangement with texts of a fixed width: a piano octave
// of equal keys, then the octave, gain and silence rows, nothing overlapping.
#include "tone/tone_window_layout.h"

#include "support/ui_text.h"
#include "tests/dialogs/fixed_measure.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

bool overlap(const LayoutRect& a, const LayoutRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

int bottom(const LayoutRect& r) {
    return r.y + r.height;
}

class ToneWindowLayoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        loadTable(kEnglishTable);
        DialogBuilder::setScreenDpi(96);
        layout = layOutToneWindow(measure);
    }
    const LayoutRect& at(int control) const { return layout.controls[control]; }

    FixedMeasure measure;
    ToneWindowLayout layout;
};

TEST_F(ToneWindowLayoutTest, NoteButtonsFormAPianoOctave) {
    const int white[7] = {0, 2, 4, 5, 7, 9, 11}; // C D E F G A B
    const int raised[5] = {1, 3, 6, 8, 10};      // C# D# F# G# A#
    // As wide as the widest key name ("C#" ... "Bb": two characters).
    const int expectedWidth = 2 * FixedMeasure::kCharWidth + 17 + 6;
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(at(i).width, expectedWidth) << i;
        EXPECT_EQ(at(i).height, at(0).height) << i;
    }
    for (int w = 1; w < 7; ++w) {
        EXPECT_EQ(at(white[w]).y, at(white[0]).y);
        EXPECT_GT(at(white[w]).x, at(white[w - 1]).x + at(white[w - 1]).width - 1);
    }
    for (int i : raised) {
        EXPECT_LT(bottom(at(i)), at(white[0]).y + 1) << "raised key " << i << " above";
        // Centred over the gap between its two white neighbours.
        const int twiceGapCentre = at(i - 1).x + at(i - 1).width + at(i + 1).x;
        EXPECT_NEAR(2 * at(i).x + at(i).width, twiceGapCentre, 1) << i;
    }
    // No raised key between E and F, nor after B.
    EXPECT_GT(at(6).x, at(4).x + at(4).width);
    EXPECT_LT(at(3).x + at(3).width, at(5).x);
}

TEST_F(ToneWindowLayoutTest, RowsFollowEachOtherInsideTheClientArea) {
    const int keysBottom = bottom(at(2));
    for (int i = kOctaveLabel; i <= kNextOctavesButton; ++i) {
        EXPECT_GE(at(i).y, keysBottom) << i;
        EXPECT_LE(bottom(at(i)), at(kGainSeparator).y) << i;
    }
    for (int i = kGainLabel; i <= kGainUnit; ++i) {
        EXPECT_GE(at(i).y, bottom(at(kGainSeparator))) << i;
    }
    for (int i = kSilenceBox; i <= kSecondsLabel; ++i) {
        EXPECT_GE(at(i).y, bottom(at(kGainMinus))) << i;
    }
    for (int i = 0; i < kToneControlCount; ++i) {
        EXPECT_GE(at(i).x, 0);
        EXPECT_GE(at(i).y, 0);
        EXPECT_LE(at(i).x + at(i).width, layout.clientWidth) << i;
        EXPECT_LE(bottom(at(i)), layout.clientHeight) << i;
        for (int j = i + 1; j < kToneControlCount; ++j) {
            EXPECT_FALSE(overlap(at(i), at(j))) << i << " and " << j;
        }
    }
    // The separator spans the window between the margins.
    EXPECT_EQ(at(kGainSeparator).x,
              layout.clientWidth - at(kGainSeparator).x - at(kGainSeparator).width);
    EXPECT_GE(at(kGainSeparator).width, at(11).x + at(11).width - at(0).x);
}

TEST_F(ToneWindowLayoutTest, SliderHasItsSizeAndLabelledEnds) {
    const LayoutRect& slider = at(kGainSlider);
    EXPECT_EQ(slider.width, 130);
    EXPECT_EQ(slider.height, 30);
    EXPECT_EQ(at(kGainMinus).x, slider.x);
    EXPECT_EQ(at(kGainPlus).x + at(kGainPlus).width, slider.x + slider.width);
    EXPECT_GE(at(kGainMinus).y, bottom(slider));
    EXPECT_EQ(at(kGainValue).width, 4 * FixedMeasure::kCharWidth + 6);
    // Octave buttons are as wide as the widest digit.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(at(kFirstOctaveButton + i).width, at(kFirstOctaveButton).width);
    }
}

} // namespace
} // namespace tonvale
