#include "tools/analyzer/note_format.h"

#include "app/note_reading.h"

namespace tonvale {

const NoteNames& defaultNoteNames() {
    static const NoteNames names = {"A",  "Bb", "B", "C",  "C#", "D",
                                    "Eb", "E",  "F", "F#", "G",  "G#"};
    return names;
}

std::string formatNoteName(int32_t noteNumber, const NoteNames& names) {
    if (noteNumber == kNoNote) {
        return "-";
    }
    int32_t octave = noteNumber / 12;
    int32_t fromC = noteNumber % 12;
    if (fromC < 0) {
        fromC += 12;
        --octave;
    }
    return names[(fromC + 3) % 12] + std::to_string(octave);
}

} // namespace tonvale
