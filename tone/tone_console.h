// The arithmetic of the reference tone window, apart from its controls:
// the frequency of a note button, the level slider, the octave chooser, the
// repeating silence and where the window opens.
#pragma once

#include <cstdint>

namespace tonvale {

class Temperament;

// What decides the pitch of a note besides the button and the octave.
struct TonePitch {
    double frequencyOfA4 = 440.0;
    int halfToneShift = 0;                    // semitones added to every note
    int namingShift = 0;                      // transposition of the note naming; 0 when none
    const Temperament* temperament = nullptr; // null: equal temperament
};

// Sounding frequency of the button of pitchClass (from A, 0 ... 11) in
// octave: the written note shifted by the naming's transposition, placed by
// the temperament. C4 with nothing shifted is 261.63 Hz at A4 = 440.
double noteFrequency(int pitchClass, int octave, const TonePitch& pitch);

// Slider positions 0 ... 20 are -20 ... 0 dB.
constexpr int kGainPositions = 20;
double linearGain(int gainPosition);
// What the value box shows: the default position 10 reads "+0".
inline int gainDisplayValue(int gainPosition) {
    return gainPosition - 10;
}

// The five octave buttons show firstOctave ... firstOctave + 4.
constexpr int kOctaveButtons = 5;
constexpr int kMaxFirstOctave = 4;

struct OctaveChoice {
    int firstOctave = 2;
    int octave = 4; // absolute; within firstOctave ... firstOctave + 4
};

// The ">" button: the first octave goes up by one, from 4 back to 0; the
// chosen octave stays where it is when it is still shown, else the nearest
// shown one is chosen.
OctaveChoice advanceFirstOctave(OctaveChoice choice);

// The repeating silence: a note sounds for two seconds, then pauses for the
// chosen seconds, over and over. Times are timeGetTime values (milliseconds,
// wrapping at 2^32).
constexpr uint32_t kSoundingMs = 2000;

struct SilenceClock {
    uint32_t noteStart = 0; // last (re)start of the note
    uint32_t lastTick = 0;  // last tick or note action
};

// Silent phase: the sounding time has passed by the last tick.
inline bool inSilentPhase(const SilenceClock& clock) {
    return clock.lastTick - clock.noteStart >= kSoundingMs;
}

enum class SilenceAction { none, restartNote, fadeOut };

// One timer tick at now with silenceSeconds > 0: says what to send to the
// tone and advances the clock.
SilenceAction silenceTick(SilenceClock& clock, int silenceSeconds, uint32_t now);

struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The saved offset's coordinate that means "centred on the main window".
constexpr int32_t kCentred = INT32_MIN;

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// Top-left corner of a window of width x height at offset from the main
// window's top-left corner, or centred on it per coordinate (kCentred).
ScreenPoint toneWindowOrigin(const ScreenRect& mainWindow, int32_t width, int32_t height,
                             ScreenPoint offset);
// origin moved into the work area: x is raised to its left, then lowered to
// its right minus the width; y is lowered to its bottom minus the height,
// then raised to its top, so the caption stays within reach.
ScreenPoint keepInWorkArea(ScreenPoint origin, int32_t width, int32_t height,
                           const ScreenRect& workArea);

// toneWindowOrigin kept inside the work area.
ScreenPoint placeToneWindow(const ScreenRect& mainWindow, int32_t width, int32_t height,
                            ScreenPoint offset, const ScreenRect& workArea);

} // namespace tonvale
