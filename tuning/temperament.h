// Temperaments: where the twelve notes of the octave lie, read from sections
// of the user-editable "scale.ini" and transposed to a key.
//
// A section may give a Pythagorean base ("Scale" = PYTHAGOREAN[d]), a comma
// ("Comma" = DITONIC, PYTHAGOREAN, SYNTONIC or a ratio such as 81/80) and
// offsets of the steps "0" ... "11" in commas. Numbers are evaluated with all
// floating-point exceptions masked. A section is rejected when it is missing,
// a value is not finite, the comma is not positive, a step leaves the range
// the rest of the program can compute with, or the steps are out of order.
#pragma once

#include "tuning/note_spelling.h"

#include <cstdint>
#include <string>

namespace tonvale {

class IniReader;

// Results of parseSteps and values of Temperament::fifthsBelow().
constexpr int kNotPythagorean = -1;
constexpr int kRejectedScale = -2;

// A step further than this from the tonic (ten octaves) is no temperament;
// such a section is rejected so that nothing downstream computes with
// magnitudes that could overflow.
constexpr double kStepLimitCents = 12000.0;

struct ScaleSteps {
    double cents[kPitchClasses] = {}; // step n = n semitones above the tonic
    int result = kRejectedScale;      // d >= 0: Pythagorean, d fifths below
};

// Steps of a section of a loaded "scale.ini", untransposed. A rejected
// section gives the equal-tempered steps with result kRejectedScale.
ScaleSteps parseSteps(IniReader& scaleFile, const wchar_t* sectionName);

struct NearestNote {
    int pitchClass = 0;  // from A
    int octaveCarry = 0; // 1 when the note is the A of the next octave
    double cents = 0.0;  // deviation from that note
};

// The nearest multiple of 100 cents to cents (0 <= cents < 1200 above an A);
// exactly 50 goes up.
NearestNote nearestEqualNote(double cents);

class Temperament {
  public:
    // Plain equal temperament in key.
    explicit Temperament(int key = 0);
    // A section of a loaded "scale.ini" in key (clamped to -11 ... +11). A
    // null or empty name gives equal temperament. A rejected section gives
    // equal-tempered positions, an empty name and isRejected(); callers
    // discard such a record.
    Temperament(IniReader& scaleFile, const wchar_t* sectionName, int key);
    // The same with the file at scalePath read anew (null: no file).
    static Temperament load(const wchar_t* scalePath, const wchar_t* sectionName, int key);

    const std::wstring& name() const { return name_; }
    int key() const { return key_; }
    // Fifths of a Pythagorean chain below the tonic (0 ... 9), kNotPythagorean
    // for any other scale, kRejectedScale for a rejected section.
    int fifthsBelow() const { return fifthsBelow_; }
    bool isRejected() const { return fifthsBelow_ == kRejectedScale; }

    // Place of pitch class k (0 ... 12) in cents above A; position(0) = 0,
    // position(12) = 1200.
    double position(int k) const { return positions_[k]; }
    const double* positions() const { return positions_; }
    // Deviation of pitch class k (0 ... 11) from equal temperament, 0 for A.
    double offset(int k) const { return positions_[k] - 100.0 * k; }
    // Nearest note to x cents above an A, 0 <= x < 1200; a midpoint goes up.
    NearestNote nearestNote(double x) const;
    // "Name [Key]" for the meter; empty for an unnamed temperament in key 0.
    std::wstring keyLabel() const;
    // Fifths below the tonic used for the spelling: fifthsBelow() when it is 0
    // or more, else 3.
    int spellingFifths() const { return fifthsBelow_ >= 0 ? fifthsBelow_ : 3; }
    // Note names of this temperament's key.
    NoteSpelling spelling() const { return tonvale::spelling(key_, spellingFifths()); }

  private:
    void setEqual();

    std::wstring name_;
    int16_t key_ = 0;
    int16_t fifthsBelow_ = kNotPythagorean;
    double positions_[kPitchClasses + 1] = {};
};

// The information text of a section in a key: name, distances of the steps
// from the tonic and deviations from equal temperament with A held at 0. For
// a section that cannot be used the text says so instead.
std::wstring describe(IniReader& scaleFile, const wchar_t* sectionName, int key);
std::wstring describeFile(const wchar_t* scalePath, const wchar_t* sectionName, int key);

} // namespace tonvale
