// Keys, pitch classes and the spelling of note names.
//
// Pitch classes count from A (0 = A ... 11 = G#); A is the anchor because the
// reference pitch is A4. A key is the signed number of accidentals of a major
// key (0 = C, +1 = G, -1 = F ...), stored in -11 ... +11.
#pragma once

namespace tonvale {

constexpr int kPitchClasses = 12;
constexpr int kMinKey = -11;
constexpr int kMaxKey = 11;

// Key number -> tonic pitch class, index = key or key + 12 for a negative key.
// The map k -> (7k + 3) mod 12 is its own inverse, so indexed by a pitch class
// it gives the number of sharps of the major key on that pitch class.
extern const int kKeyTonicTable[kPitchClasses];

// Positions -24 ... +23 on the line of fifths (0 = C), each one or two ASCII
// characters. Never more than one accidental: where a double flat or double
// sharp would be needed the table holds the enharmonic name instead.
constexpr int kFifthsNameFirst = -24;
constexpr int kFifthsNameLast = 23;
const wchar_t* fifthsName(int position);

// key brought into kMinKey ... kMaxKey by clamping.
inline int clampedKey(int key) {
    return key < kMinKey ? kMinKey : key > kMaxKey ? kMaxKey : key;
}

// kKeyTonicTable for any key (reduced modulo 12).
int keyTonic(int key);

// Pitch class from A of a note letter A-G in either case; -1 for anything else.
int letterPitchClass(wchar_t letter);

// The twelve note names of a key, indexed by pitch class from A; each at most
// two characters and NUL-terminated.
struct NoteSpelling {
    wchar_t names[kPitchClasses][3] = {};

    const wchar_t* operator[](int pitchClass) const { return names[pitchClass]; }
    bool operator==(const NoteSpelling& other) const;
};

// Spelling of key with fifthsBelow fifths of the chain below the tonic: the
// twelve consecutive names of the line of fifths from key - fifthsBelow. The
// key is brought into -11 ... +11 and fifthsBelow into 0 ... 9.
NoteSpelling spelling(int key, int fifthsBelow);

// The spelling used without a temperament: key 0 with 3 fifths below
// (A Bb B C C# D Eb E F F# G G#).
NoteSpelling defaultSpelling();

// Key number of a text that begins with a note name ("Eb (D#)" -> -3,
// "F" -> -1, "C#" -> 7); 0 when it does not begin with a letter A-G.
int parseKeyName(const wchar_t* text);

} // namespace tonvale
