// Note subtitle displays of "note.ini": a transposition for players of
// transposing instruments, a subtitle per note, and the two formats that the
// meter ("Format1") and the reference tone window ("Format2") show.
//
// In formats "%1" is the note's name, "%2" its subtitle, "%%" a percent sign;
// any other "%" and character stand for themselves.
#pragma once

#include "tuning/note_spelling.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tonvale {

class IniReader;
class Temperament;

constexpr size_t kFormatChars = 127;
constexpr size_t kSubtitleChars = 15;

// Pitch of a "Transpose" value: a letter A-G (either case), optionally "#" or
// "b", optionally "+" (up) or "-" (down). shift is sounding minus written in
// semitones, instrumentKey the key number of the instrument's pitch; both 0
// for an instrument in C or a value that is not a note.
struct Transposition {
    int shift = 0;
    int instrumentKey = 0;
};
Transposition parseTransposition(const wchar_t* text);

class NoteNaming {
  public:
    // Section of a loaded "note.ini". currentSpelling is the spelling of the
    // active temperament (or the default one); temperament may be null. When
    // the section does not exist name() is empty and the caller discards the
    // record.
    NoteNaming(IniReader& noteFile, const wchar_t* sectionName, const NoteSpelling& currentSpelling,
               const Temperament* temperament);
    // The same with the file at notePath read anew (null: no file).
    static NoteNaming load(const wchar_t* notePath, const wchar_t* sectionName,
                           const NoteSpelling& currentSpelling, const Temperament* temperament);

    const std::wstring& name() const { return name_; }
    const std::wstring& format1() const { return format1_; }
    const std::wstring& format2() const { return format2_; }
    int shift() const { return shift_; }
    int instrumentKey() const { return instrumentKey_; }
    const NoteSpelling& names() const { return names_; }
    const wchar_t* subtitle(int pitchClass) const { return subtitles_[pitchClass]; }

    // Note names to show: the written key's spelling when a temperament is
    // active and the instrument transposes, else currentSpelling.
    NoteSpelling displaySpelling(const NoteSpelling& currentSpelling,
                                 const Temperament* temperament) const;

    // Expands Format1 (which 0) or Format2 (which 1) for a pitch class from A
    // into buffer (capacity counts the NUL). Insertions that do not fit whole
    // end the expansion; "%2" with an empty subtitle empties the result.
    // True when the result is not empty.
    bool expand(int which, int pitchClass, wchar_t* buffer, size_t capacity) const;

    // shift + i; with wrap brought into 0 ... 11.
    int soundingIndex(int i, bool wrap) const;
    // Written note number (from C, 12 per octave) shown for sounding note n.
    int writtenNote(int n) const;

  private:
    std::wstring name_;
    std::wstring format1_;
    std::wstring format2_;
    int16_t shift_ = 0;
    int16_t instrumentKey_ = 0;
    NoteSpelling names_;
    wchar_t subtitles_[kPitchClasses][kSubtitleChars + 1] = {};
};

// The display spelling with no note naming active, or with naming (may be
// null).
NoteSpelling displaySpelling(const NoteNaming* naming, const NoteSpelling& currentSpelling,
                             const Temperament* temperament);

} // namespace tonvale
