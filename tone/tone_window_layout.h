// Where the reference tone window's controls go: twelve note buttons laid
// out like a piano octave, the octave chooser, a separator, the level slider
// and the repeating silence, one row under the other. The Windows half
// creates the controls in the order of ToneControl on these rectangles.
#pragma once

#include "dialogs/builder/dialog_builder.h"

namespace tonvale {

// Control ids. A note button's pitch class (from A) is its id - 100.
constexpr int kFirstNoteButtonId = 100;
constexpr int kLastNoteButtonId = 111;
constexpr int kNextOctavesButtonId = 112;
constexpr int kFirstOctaveButtonId = 113; // ... 117
constexpr int kGainSliderId = 118;
constexpr int kGainValueId = 119;
constexpr int kSilenceBoxId = 120;
constexpr int kFirstSilenceButtonId = 121; // 2, 3 and 4 seconds ... 123

// The controls in creation (and tab) order.
enum ToneControl : int {
    kNoteC, // note buttons C, C#, D ... B: pitch classes 3 ... 11, 0 ... 2
    kOctaveLabel = kNoteC + 12,
    kOctaveSeparator,
    kFirstOctaveButton,
    kNextOctavesButton = kFirstOctaveButton + 5,
    kGainSeparator,
    kGainMinus,
    kGainPlus,
    kGainLabel,
    kGainSlider,
    kGainValue,
    kGainUnit,
    kSilenceBox,
    kSilenceSeparator,
    kFirstSilenceButton,
    kSecondsLabel = kFirstSilenceButton + 3,
    kToneControlCount
};

// Pitch class (from A) of the note button at creation position i (0 ... 11).
constexpr int notePitchClassAt(int i) {
    return (i + 3) % 12;
}

struct ToneWindowLayout {
    LayoutRect controls[kToneControlCount] = {};
    int clientWidth = 0;
    int clientHeight = 0;
};

// Lays the window out with the texts of the UI string table as measure
// measures them. Note buttons are as wide as the widest name of a raised
// key, the octave buttons as the widest digit.
ToneWindowLayout layOutToneWindow(const TextMeasure& measure);

} // namespace tonvale
