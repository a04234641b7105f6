#include "app/note_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tonvale {
namespace {

double centsAbove(double hz, double cents) {
    return hz * std::pow(2.0, cents / 1200.0);
}

TEST(NoteReading, EqualTemperamentNotesAndOctaves) {
    const double ref = referenceFrequency(440.0, 0);
    struct Case {
        double hz;
        int32_t note;
    };
    const Case cases[] = {
        {440.0, 57},  // A4
        {261.63, 48}, // C4
        {centsAbove(440.0, -30.0), 57},
        {centsAbove(440.0, 49.999), 57},
        {centsAbove(440.0, 50.001), 58}, // half-way and above goes up
        {centsAbove(880.0, -0.001), 69}, // rounds up to the next octave's A
        {246.94, 47},                    // B3: the octave turns at C
        {27.5, 9},                       // A0
        {16.3516, 0},                    // C0
        {13.75, -3},
        {10.0, -9},                      // Eb-1, +48.7 cents
        {4186.01, 96},                   // C8
    };
    for (const Case& c : cases) {
        const NoteReading r = readNote(c.hz, ref);
        EXPECT_EQ(r.noteNumber, c.note) << c.hz;
        const double noteHz = 440.0 * std::pow(2.0, (c.note - 57) / 12.0);
        EXPECT_NEAR(r.cents, 1200.0 * std::log2(c.hz / noteHz), 1e-9) << c.hz;
        EXPECT_EQ(r.frequencyHz, c.hz);
    }
}

TEST(NoteReading, OctavesBeyondTheRangeWrapIntoIt) {
    // Octave 12 is stored as note + 132.
    EXPECT_EQ(readNote(440.0 * 256, 440.0).noteNumber, 9 + 132);
}

TEST(NoteReading, BelowTenHertzOrNoNumberIsNoNote) {
    for (double hz : {9.999, 0.0, -440.0, std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity()}) {
        const NoteReading r = readNote(hz, 440.0);
        EXPECT_EQ(r.noteNumber, kNoNote) << hz;
        EXPECT_EQ(r.frequencyHz, 0.0);
        EXPECT_EQ(r.cents, 0.0);
    }
}

TEST(NoteReading, ShiftedReferenceMovesTheNotes) {
    const double ref = referenceFrequency(440.0, -1);
    EXPECT_NEAR(ref, 415.3047, 1e-4);
    const NoteReading r = readNote(415.3047, ref);
    EXPECT_EQ(r.noteNumber, 57);
    EXPECT_NEAR(r.cents, 0.0, 1e-3);
    EXPECT_EQ(readNote(442.0, referenceFrequency(442.0, 0)).noteNumber, 57);
}

TEST(NoteReading, LevelBarRunsFromThresholdToMinusThreeDecibels) {
    EXPECT_EQ(levelBarValue(0.0f, -60), 0);
    EXPECT_EQ(levelBarValue(-1e-12f, -60), 0);
    EXPECT_EQ(levelBarValue(1e-6f, -60), 0);     // exactly the threshold
    EXPECT_EQ(levelBarValue(0.6f, -60), 32768);  // above -3 dB
    EXPECT_EQ(levelBarValue(1e-4f, -60), 11498); // -40 dB: 20 of 57 dB
    EXPECT_EQ(levelBarValue(1e-4f, -40), 0);
    EXPECT_EQ(levelBarValue(1e-9f, -80), 0);  // -90 dB
    EXPECT_EQ(levelBarValue(1e-10f, -80), 0); // counts as -100 dB
    EXPECT_EQ(levelBarValue(std::numeric_limits<float>::quiet_NaN(), -60), 0);
}

} // namespace
} // namespace tonvale
