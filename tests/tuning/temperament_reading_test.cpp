// Readings of the meter with the active temperament: the positions a
// Temperament hands to the reading decide note and cents by its own rule.
#include "app/note_reading.h"
#include "ini_text.h"
#include "tuning/temperament.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tonvale {
namespace {

double frequencyAbove(double referenceHz, double cents) {
    return referenceHz * std::pow(2.0, cents / 1200.0);
}

TEST(TemperamentReading, AgreesWithNearestNoteEverywhere) {
    auto file = iniFromText("[Wolf]\nScale=PYTHAGOREAN\n[Odd]\n1=-45\n2=40\n11=90\n");
    for (const wchar_t* name : {L"Wolf", L"Odd"}) {
        for (int key : {-7, 0, 3, 11}) {
            Temperament t(*file, name, key);
            ASSERT_FALSE(t.isRejected());
            for (double x = 0.0; x < 1200.0; x += 0.37) {
                double freqHz = frequencyAbove(440.0, x);
                NoteReading reading = readNote(freqHz, 440.0, &t);
                NearestNote nearest = t.nearestNote(1200.0 * std::log2(freqHz / 440.0));
                bool fromCUp = nearest.pitchClass >= 3; // octaves begin at C
                int fromC = fromCUp ? nearest.pitchClass - 3 : nearest.pitchClass + 9;
                int octave = 4 + nearest.octaveCarry + (fromCUp ? 1 : 0);
                ASSERT_EQ(reading.noteNumber, fromC + 12 * octave) << x;
                ASSERT_NEAR(reading.cents, nearest.cents, 1e-9) << x;
            }
        }
    }
}

TEST(TemperamentReading, MidpointGoesToTheUpperNote) {
    auto file = iniFromText("[T]\n1=-20\n");
    Temperament t(*file, L"T", 3); // A 0, A# 80, B 200 above A4
    NoteReading mid = readNote(frequencyAbove(440.0, 40.0), 440.0, &t);
    EXPECT_EQ(mid.noteNumber, 58); // A#4
    EXPECT_NEAR(mid.cents, -40.0, 1e-9);
    NoteReading below = readNote(frequencyAbove(440.0, 39.99), 440.0, &t);
    EXPECT_EQ(below.noteNumber, 57);
}

TEST(TemperamentReading, AStaysTheReference) {
    auto file = iniFromText("[M]\nScale=PYTHAGOREAN\nComma=SYNTONIC\n4=-1\n");
    for (int key = kMinKey; key <= kMaxKey; ++key) {
        Temperament t(*file, L"M", key);
        NoteReading a4 = readNote(440.0, 440.0, &t);
        EXPECT_EQ(a4.noteNumber, 57);
        EXPECT_NEAR(a4.cents, 0.0, 1e-9);
    }
}

} // namespace
} // namespace tonvale
