#include "meter/dial_geometry.h"
#include "meter/meter_glyphs.h"
#include "meter/meter_model.h"

#include "tests/tuning/ini_text.h"
#include "tuning/note_naming.h"
#include "tuning/note_spelling.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tonvale {
namespace {

std::string placements(const GlyphTable& table, const char* text) {
    const GlyphRun run = layoutGlyphs(table, text);
    std::string out;
    for (size_t i = 0; i < run.count; ++i)
        out += std::to_string(run.glyph[i].sourceX) + "/" + std::to_string(run.glyph[i].width) +
               "@" + std::to_string(run.glyph[i].destX) + " ";
    return out + "=" + std::to_string(run.advance);
}

TEST(MeterGlyphs, GlyphsLieAfterTheWidthsBeforeThemAndBlanksOnlyAdvance) {
    // Source x worked out from the rows: 7 letters of 40, digits of 15, ...
    EXPECT_EQ(placements(kNoteGlyphs, "G#4"), "240/40@0 430/18@40 340/15@58 =73");
    EXPECT_EQ(placements(kNoteGlyphs, "Bb0"), "40/40@0 448/18@40 280/15@58 =73");
    EXPECT_EQ(placements(kCentsGlyphs, "*00"), "0/22@24 0/22@46 =68");
    EXPECT_EQ(placements(kCentsGlyphs, "-03"), "244/24@0 0/22@24 66/22@46 =68");
    EXPECT_EQ(placements(kCentsGlyphs, "+50"), "220/24@0 110/22@24 0/22@46 =68");
    EXPECT_EQ(placements(kFrequencyGlyphs, " 440.0"),
              "64/16@16 64/16@32 0/16@48 160/8@64 0/16@72 =88");
    EXPECT_EQ(placements(kSmallGlyphs, "01b"), "0/12@0 12/12@12 132/12@24 =36");
    // A character the table lacks ends the text.
    EXPECT_EQ(placements(kSmallGlyphs, "4x4"), "48/12@0 =12");
    EXPECT_EQ(placements(kNoteGlyphs, ""), "=0");
}

TEST(MeterTexts, ReadoutsAsTheGlyphTablesSpellThem) {
    EXPECT_STREQ(centsText(99).text, "*00");
    EXPECT_STREQ(centsText(149).text, "+50");
    EXPECT_STREQ(centsText(96).text, "-03");
    EXPECT_STREQ(centsText(0).text, "-99");
    EXPECT_TRUE(centsText(kNoCents).empty());
    EXPECT_STREQ(frequencyText(4400).text, " 440.0");
    EXPECT_STREQ(frequencyText(99999).text, "9999.9");
    EXPECT_STREQ(frequencyText(275).text, "  27.5");
    EXPECT_TRUE(frequencyText(0).empty());
    EXPECT_TRUE(frequencyText(-5).empty());
    EXPECT_STREQ(referenceText(referenceValue(440, -1)).text, "01b");
    EXPECT_STREQ(referenceText(referenceValue(440, 2)).text, "02#");
    EXPECT_STREQ(referenceText(referenceValue(442, 0)).text, "442");
    EXPECT_TRUE(referenceText(0).empty());
}

TEST(MeterTexts, NoteNamesWithOctaveOnlyFromZeroTo119) {
    const NoteSpelling sharps = spelling(0, 0);
    const NoteSpelling flats = defaultSpelling();
    EXPECT_STREQ(noteText(57, sharps, nullptr).text, "A4");
    EXPECT_STREQ(noteText(48, sharps, nullptr).text, "C4");
    EXPECT_STREQ(noteText(58, flats, nullptr).text, "Bb4");
    EXPECT_STREQ(noteText(0, sharps, nullptr).text, "C0");
    EXPECT_STREQ(noteText(119, sharps, nullptr).text, "B9");
    EXPECT_STREQ(noteText(120, sharps, nullptr).text, "C");
    EXPECT_STREQ(noteText(-1, sharps, nullptr).text, "B");
    EXPECT_STREQ(noteText(-12, sharps, nullptr).text, "C");
    EXPECT_TRUE(noteText(-13, sharps, nullptr).empty());

    // A B-flat instrument reads its written note, a tone higher.
    auto file = iniFromText("[Bb Clarinet]\nTranspose=Bb\nFormat1=%1\n");
    NoteNaming clarinet(*file, L"Bb Clarinet", flats, nullptr);
    ASSERT_EQ(clarinet.name(), L"Bb Clarinet");
    EXPECT_STREQ(noteText(57, flats, &clarinet).text, "B4");
}

TEST(MeterTexts, TheReadingInWords) {
    ReadoutText a4;
    std::snprintf(a4.text, sizeof a4.text, "A4");
    EXPECT_EQ(spokenReading(a4, 102, 4408), L"A4 +3 cents 440.8 Hz");
    EXPECT_EQ(spokenReading(a4, 99, 4400), L"A4 +0 cents 440.0 Hz");
    EXPECT_EQ(spokenReading(a4, 76, 99999), L"A4 -23 cents 9999.9 Hz");
    EXPECT_EQ(spokenReading(ReadoutText(), 99, 4400), L"-");
}

TEST(MeterGeometry, NeedleTipsAndTheAreasTheyCover) {
    const NeedleTip up = needleTip(0.0f);
    EXPECT_EQ(up.x, 174);
    EXPECT_EQ(up.y, 68);
    EXPECT_EQ(pixelNeedleRect(up), (MeterRect{174, 68, 176, 214}));
    // The smooth needle straight up: left 173, right ceil(174) + 3.
    EXPECT_EQ(smoothNeedleRect(up), (MeterRect{173, 67, 177, 214}));

    const NeedleTip rest = needleTip(kNeedleRestDegrees);
    EXPECT_EQ(rest.x, 174 - 129); // 156 sin 56 = 129.33
    EXPECT_EQ(rest.y, 224 - 87);  // 156 cos 56 = 87.23
    EXPECT_EQ(pixelNeedleRect(rest), (MeterRect{45, 137, 176, 214}));
    EXPECT_EQ(smoothNeedleRect(rest), (MeterRect{43, 136, 177, 214}));
    const NeedleTip right = needleTip(56.0f);
    EXPECT_EQ(pixelNeedleRect(right), (MeterRect{174, 137, 305, 214}));
    EXPECT_EQ(smoothNeedleRect(right), (MeterRect{173, 136, 307, 214}));

    EXPECT_EQ(levelBarRect({354, 74, 370, 202}, 0), (MeterRect{354, 202, 370, 202}));
    EXPECT_EQ(levelBarRect({354, 74, 370, 202}, 16384), (MeterRect{354, 138, 370, 202}));
    EXPECT_EQ(levelBarRect({354, 74, 370, 202}, 32768), (MeterRect{354, 74, 370, 202}));
}

TEST(DialGeometry, CornersOfTheErasedAreaAndTheBand) {
    const DialSector erase = dialEraseSector();
    EXPECT_NEAR(erase.outerRight.x, 130.988, 1e-3);
    EXPECT_NEAR(erase.outerRight.y, -88.352, 1e-3);
    EXPECT_NEAR(erase.outerLeft.x, -130.988, 1e-3);
    EXPECT_NEAR(erase.innerLeft.x, -96.168, 1e-3);
    EXPECT_NEAR(erase.innerLeft.y, -64.866, 1e-3);
    const DialSector band = dialBandSector();
    EXPECT_NEAR(band.outerRight.x, 118.138, 1e-3);
    EXPECT_NEAR(band.outerRight.y, -79.685, 1e-3);
    EXPECT_NEAR(band.innerRight.x, 98.241, 1e-3);
    EXPECT_NEAR(band.innerRight.y, -66.264, 1e-3);
    DialLine lines[kDialScaleLines];
    dialScaleLines(lines);
    int black = 0;
    for (const DialLine& line : lines)
        black += line.ink == DialInk::black;
    EXPECT_EQ(black, 5); // four long marks and the centre
    EXPECT_FLOAT_EQ(lines[kDialScaleLines - 1].to.y, -103.0f);
}

// Records what the model asks of its window.
struct RecordedEffects : MeterEffects {
    std::vector<MeterRect> invalidated;
    int timerStarts = 0;
    int timerStops = 0;
    void invalidate(const MeterRect& rect) override { invalidated.push_back(rect); }
    void startNeedleTimer() override { ++timerStarts; }
    void stopNeedleTimer() override { ++timerStops; }
};

TEST(MeterModel, PowerDownReturnsTheNeedleToRestInFiveStepsAndStopsTheTimerThen) {
    MeterModel model;
    RecordedEffects effects;
    model.create(MeterSize::large, NeedleDrawing::pixels, 16);
    model.power(true, effects);
    model.power(true, effects);
    EXPECT_EQ(effects.timerStarts, 1);
    model.setNeedle(50.0f);
    for (int i = 0; i < 6; ++i)
        model.needleTimerTick(effects);
    ASSERT_FLOAT_EQ(model.needlePosition(), 56.0f);

    model.power(false, effects);
    const float expected[] = {33.6f, 11.2f, -11.2f, -33.6f, -56.0f};
    for (float degrees : expected) {
        EXPECT_EQ(effects.timerStops, 0);
        model.needleTimerTick(effects);
        EXPECT_NEAR(model.needlePosition(), degrees, 1e-4);
    }
    EXPECT_EQ(effects.timerStops, 1); // in the tick that reached rest
    EXPECT_EQ(model.timer(), NeedleTimer::off);
    EXPECT_EQ(model.needlePosition(), kNeedleRestDegrees);

    // On again while powering down: the running timer is kept.
    model.power(true, effects);
    model.setNeedle(10.0f);
    model.needleTimerTick(effects);
    model.power(false, effects);
    model.power(true, effects);
    EXPECT_EQ(effects.timerStarts, 2);
    EXPECT_EQ(model.timer(), NeedleTimer::powered);
}

TEST(MeterModel, EachMessageMarksAndInvalidatesOnlyWhatChanged) {
    MeterModel model;
    RecordedEffects effects;
    model.create(MeterSize::large, NeedleDrawing::pixels, 16);
    EXPECT_EQ(model.centsCode(), kNoCents); // a new meter shows no cents

    model.setLamps(0, effects);
    EXPECT_TRUE(effects.invalidated.empty());
    model.setLamps(2, effects); // flat only
    EXPECT_EQ(effects.invalidated, (std::vector<MeterRect>{{112, 164, 150, 190}}));
    model.setLamps(1, effects); // both lamps change
    EXPECT_EQ(effects.invalidated.size(), 3u);
    EXPECT_EQ(model.dirty(), kDirtyFlatLamp | kDirtySharpLamp);

    model.clearDirty();
    EXPECT_TRUE(model.setDigits(57, 99, 4400, effects));
    EXPECT_EQ(model.dirty(), kDirtyNote | kDirtySubtitle | kDirtyCents | kDirtyFrequency);
    model.clearDirty();
    EXPECT_TRUE(model.setDigits(57, 100, 4400, effects));
    EXPECT_EQ(model.dirty(), kDirtyCents);
    EXPECT_FALSE(model.setDigits(57, 100, 4400, effects));

    // The small display has no level bar: the level is kept, nothing drawn.
    model.clearDirty();
    RecordedEffects quiet;
    model.useSize(MeterSize::small, NeedleDrawing::pixels, 16, quiet);
    model.setLevel(1000, quiet);
    EXPECT_TRUE(quiet.invalidated.empty());
    EXPECT_EQ(model.level(), 1000);
}

TEST(MeterModel, TheUncoveredNeedleAreaGrowsUntilPainted) {
    MeterModel model;
    RecordedEffects effects;
    model.create(MeterSize::large, NeedleDrawing::pixels, 16);
    model.power(true, effects);
    model.setNeedle(0.0f);
    model.needleTimerTick(effects); // -56 -> -33.6
    const MeterRect first = pixelNeedleRect(needleTip(-56.0f));
    EXPECT_EQ(model.needleDirtyRect(), first);
    model.needleTimerTick(effects); // -> -11.2
    EXPECT_EQ(model.needleDirtyRect(), first.united(pixelNeedleRect(needleTip(-33.6f))));
    EXPECT_TRUE(model.dirty() & kDirtyNeedle);

    // A steady tone moves the needle by less than a pixel, and the level by
    // less than a bar pixel: nothing is redrawn for either.
    for (int i = 0; i < 5; ++i)
        model.needleTimerTick(effects); // at rest at 0 degrees
    model.clearDirty();
    effects.invalidated.clear();
    model.setNeedle(0.05f);
    model.needleTimerTick(effects);
    model.setLevel(100, effects); // the bar is 128 pixels: 256 levels each
    EXPECT_TRUE(effects.invalidated.empty());
    EXPECT_EQ(model.dirty(), 0);
    model.setNeedle(1.0f);
    model.needleTimerTick(effects);
    model.setLevel(300, effects);
    EXPECT_EQ(effects.invalidated.size(), 3u); // the needle where it was and is, the bar

    // The subtitle region is centred on its font.
    model.useSize(MeterSize::large, NeedleDrawing::pixels, 19, effects);
    EXPECT_EQ(model.region(kSubtitleRegion), (MeterRect{0, 59, 93, 78}));
}

} // namespace
} // namespace tonvale
