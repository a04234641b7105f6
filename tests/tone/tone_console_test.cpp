#include "tone/tone_console.h"

#include "../tuning/ini_text.h"
#include "tuning/temperament.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tonvale {
namespace {

constexpr int kA = 0, kBb = 1, kC = 3, kE = 7;

Temperament quarterCommaMeantone(int key) {
    auto file = iniFromText("[Meantone]\nScale=PYTHAGOREAN3\nComma=SYNTONIC\n"
                            "1=-7/4\n2=-2/4\n3=3/4\n4=-4/4\n5=1/4\n6=-6/4\n7=-1/4\n"
                            "8=-8/4\n9=-3/4\n10=2/4\n11=-5/4\n");
    return Temperament(*file, L"Meantone", key);
}

double centsBetween(double f, double reference) {
    return 1200.0 * std::log2(f / reference);
}

TEST(NoteFrequency, EqualTemperamentReferenceAndShifts) {
    TonePitch pitch;
    EXPECT_DOUBLE_EQ(noteFrequency(kA, 4, pitch), 440.0);
    EXPECT_NEAR(noteFrequency(kC, 4, pitch), 261.6256, 1e-4);
    EXPECT_NEAR(noteFrequency(kA, 0, pitch), 27.5, 1e-12);
    EXPECT_NEAR(noteFrequency(kC, 8, pitch), 4186.009, 1e-3);

    pitch.frequencyOfA4 = 442.0;
    EXPECT_DOUBLE_EQ(noteFrequency(kA, 4, pitch), 442.0);
    pitch.frequencyOfA4 = 440.0;
    pitch.halfToneShift = -1; // A4 sounds as A-flat
    EXPECT_NEAR(noteFrequency(kA, 4, pitch), 415.3047, 1e-4);
}

TEST(NoteFrequency, TransposingNamingSoundsTheInstrumentsPitch) {
    TonePitch pitch;
    pitch.namingShift = -2; // an instrument in B-flat: written C sounds B-flat
    EXPECT_NEAR(noteFrequency(kC, 4, pitch), 233.0819, 1e-4);
    EXPECT_NEAR(noteFrequency(kBb, 4, pitch),
                noteFrequency(kA, 4, TonePitch()) * std::pow(2.0, -1.0 / 12), 1e-9);
}

TEST(NoteFrequency, TemperamentPlacesTheSoundingNote) {
    const Temperament meantone = quarterCommaMeantone(0);
    TonePitch pitch;
    pitch.temperament = &meantone;
    const TonePitch equal;
    EXPECT_DOUBLE_EQ(noteFrequency(kA, 4, pitch), 440.0);
    EXPECT_NEAR(centsBetween(noteFrequency(kE, 4, pitch), noteFrequency(kE, 4, equal)), -3.42,
                0.005);
    EXPECT_NEAR(centsBetween(noteFrequency(kC, 4, pitch), noteFrequency(kC, 4, equal)), 10.26,
                0.005);

    // The offset belongs to the sounding note, also below C0: written C0 for
    // a B-flat instrument sounds B-flat -1.
    pitch.namingShift = -2;
    TonePitch equalShifted = equal;
    equalShifted.namingShift = -2;
    EXPECT_NEAR(centsBetween(noteFrequency(kC, 0, pitch), noteFrequency(kC, 0, equalShifted)),
                meantone.offset(kBb), 1e-9);
}

TEST(ToneGain, SliderPositionsAreDecibels) {
    EXPECT_DOUBLE_EQ(linearGain(20), 1.0);
    EXPECT_NEAR(linearGain(10), 0.316228, 1e-6);
    EXPECT_NEAR(linearGain(0), 0.1, 1e-15);
    EXPECT_EQ(gainDisplayValue(10), 0);
    EXPECT_EQ(gainDisplayValue(0), -10);
    EXPECT_EQ(gainDisplayValue(20), 10);
}

TEST(OctaveChooser, AdvanceWrapsAndKeepsOrClampsTheOctave) {
    struct Case {
        OctaveChoice before, after;
    };
    const Case cases[] = {
        {{4, 8}, {0, 4}}, {{2, 4}, {3, 4}}, {{2, 2}, {3, 3}},
        {{0, 4}, {1, 4}}, {{3, 3}, {4, 4}}, {{4, 4}, {0, 4}},
    };
    for (const Case& c : cases) {
        const OctaveChoice after = advanceFirstOctave(c.before);
        EXPECT_EQ(after.firstOctave, c.after.firstOctave) << c.before.firstOctave;
        EXPECT_EQ(after.octave, c.after.octave) << c.before.firstOctave << ' ' << c.before.octave;
    }
}

// Ticks every 50 ms from a note start: with 3 s of silence the note fades
// at 2 s and starts again at 5 s, over and over, also across the wrap of
// the millisecond clock.
TEST(RepeatingSilence, SoundsTwoSecondsThenPauses) {
    for (uint32_t start : {1000u, 0xFFFFF000u}) {
        SilenceClock clock{start, start};
        std::vector<uint32_t> fades, restarts;
        for (uint32_t t = 50; t <= 10500; t += 50) {
            switch (silenceTick(clock, 3, start + t)) {
            case SilenceAction::fadeOut:
                fades.push_back(t);
                break;
            case SilenceAction::restartNote:
                restarts.push_back(t);
                break;
            case SilenceAction::none:
                break;
            }
        }
        EXPECT_EQ(fades, (std::vector<uint32_t>{2000, 7000}));
        EXPECT_EQ(restarts, (std::vector<uint32_t>{5000, 10000}));
    }
}

TEST(ToneWindowPlacement, CentredOffsetAndWorkAreaClamp) {
    const ScreenRect main{100, 100, 500, 400};
    const ScreenRect work{0, 0, 1024, 740};
    ScreenPoint p = placeToneWindow(main, 200, 100, {kCentred, kCentred}, work);
    EXPECT_EQ(p.x, 200);
    EXPECT_EQ(p.y, 200);
    p = placeToneWindow(main, 200, 100, {30, -40}, work);
    EXPECT_EQ(p.x, 130);
    EXPECT_EQ(p.y, 60);
    // Off to the right and below: pulled back inside.
    p = placeToneWindow(main, 200, 100, {2000, 2000}, work);
    EXPECT_EQ(p.x, 824);
    EXPECT_EQ(p.y, 640);
    // Off to the left and above, with extreme saved offsets.
    p = placeToneWindow(main, 200, 100, {INT32_MIN + 1, INT32_MIN + 1}, work);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    p = placeToneWindow(main, 200, 100, {INT32_MAX, INT32_MAX}, work);
    EXPECT_EQ(p.x, 824);
    EXPECT_EQ(p.y, 640);
    // Taller than the work area: the top edge wins.
    p = placeToneWindow(main, 200, 900, {0, 0}, work);
    EXPECT_EQ(p.y, 0);
}

} // namespace
} // namespace tonvale
