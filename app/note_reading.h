// What the meter shows of one reading: the note and its deviation in cents,
// and the level bar.
#pragma once

#include <cstdint>

namespace tonvale {

// Note numbers count from C, 12 per octave, in scientific octaves (A4 = 57).
constexpr int32_t kNoNote = -13;
constexpr double kLowestNoteHz = 10.0;

struct NoteReading {
    double frequencyHz = 0.0; // 0 when there is no note
    double cents = 0.0;       // deviation from the nearest note; 0 when none
    int32_t noteNumber = kNoNote;
};

// The frequency the octave search starts from: a4Hz * 2^(semitoneShift / 12).
double referenceFrequency(double a4Hz, int32_t semitoneShift);

class Temperament;

// The nearest note to freqHz and the deviation from it, by the tuning
// model's rule: the temperament's, or equal temperament's for nullptr. A
// deviation of exactly half-way goes to the upper note. Frequencies below
// 10 Hz, and values that are no number, give no note.
NoteReading readNote(double freqHz, double referenceHz, const Temperament* temperament = nullptr);

// The level bar, 0 .. 32768: empty at or below thresholdDb, full from -3 dB.
// `level` is a reading's power (full scale 1.0).
uint16_t levelBarValue(float level, int32_t thresholdDb);

} // namespace tonvale
