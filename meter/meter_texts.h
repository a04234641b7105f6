// The texts of the meter's read-outs, in the characters of the glyph tables,
// and the reading in words that the meter keeps as its window text.
#pragma once

#include <cstdint>
#include <string>

namespace tonvale {

class NoteNaming;
struct NoteSpelling;

constexpr int32_t kNoNoteNumber = -13;
constexpr int32_t kLowestNamedNote = -12;
constexpr uint16_t kNoCents = 0xFFFF;
constexpr uint16_t kZeroCentsCode = 99;

// Short ASCII texts; the longest is "9999.9".
struct ReadoutText {
    char text[8] = {};
    bool empty() const { return text[0] == '\0'; }
};

// Pitch class from A of a note number from C (negative ones too).
int32_t pitchClassFromA(int32_t noteNumber);

// The note as the meter names it: with a note naming the written note, its
// letter and accidental from spelling, then the octave digit when the note is
// 0 ... 119. Empty below -12.
ReadoutText noteText(int32_t noteNumber, const NoteSpelling& spelling, const NoteNaming* naming);
// "*00" at 0 cents (the blank is there for the sign), else "%+03d"; empty for
// kNoCents.
ReadoutText centsText(uint16_t centsCode);
// "%4d.%d" of tenths of a hertz; empty for 0 or less.
ReadoutText frequencyText(int32_t tenths);
// The reference read-out: a semitone shift (value <= 299) as "%02d" with "b"
// or "#", otherwise the A4 frequency "%03d"; empty for 0.
ReadoutText referenceText(int32_t value);
// The shift when there is one, else the A4 frequency.
int32_t referenceValue(int32_t a4Hz, int32_t semitoneShift);

// "A4 +3 cents 440.8 Hz"; "-" when the note text is empty.
std::wstring spokenReading(const ReadoutText& note, uint16_t centsCode, int32_t tenths);

} // namespace tonvale
