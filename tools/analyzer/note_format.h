// Scientific note names for the analyzer's output (A4, C#5, Eb3).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tonvale {

// Twelve names counted from A (0 = A .. 11 = G#), as the tuning model counts
// pitch classes.
using NoteNames = std::array<std::string, 12>;

// A Bb B C C# D Eb E F F# G G#.
const NoteNames& defaultNoteNames();

// The name and scientific octave of a note number (counted from C, A4 = 57),
// or "-" for kNoNote.
std::string formatNoteName(int32_t noteNumber, const NoteNames& names = defaultNoteNames());

} // namespace tonvale
