#include "tone/tone_console.h"

#include "tuning/temperament.h"

#include <algorithm>
#include <cmath>

namespace tonvale {

namespace {
constexpr int kA4NoteNumber = 57; // C0 = 0
} // namespace

double noteFrequency(int pitchClass, int octave, const TonePitch& pitch) {
    const int fromC = (pitchClass + 9) % 12;
    const int sounding = 12 * octave + fromC + pitch.namingShift;
    const int soundingClass = ((sounding % 12 + 12) % 12 + 3) % 12;
    double frequency = pitch.frequencyOfA4 *
                       std::pow(2.0, (sounding - kA4NoteNumber + pitch.halfToneShift) / 12.0);
    if (pitch.temperament) {
        frequency *= std::pow(2.0, pitch.temperament->offset(soundingClass) / 1200.0);
    }
    return frequency;
}

double linearGain(int gainPosition) {
    return std::pow(10.0, (gainPosition - kGainPositions) / 20.0);
}

OctaveChoice advanceFirstOctave(OctaveChoice choice) {
    choice.firstOctave = choice.firstOctave >= kMaxFirstOctave ? 0 : choice.firstOctave + 1;
    choice.octave =
        std::clamp(choice.octave, choice.firstOctave, choice.firstOctave + kOctaveButtons - 1);
    return choice;
}

SilenceAction silenceTick(SilenceClock& clock, int silenceSeconds, uint32_t now) {
    SilenceAction action = SilenceAction::none;
    const uint32_t sinceStart = now - clock.noteStart;
    if (inSilentPhase(clock)) {
        if (sinceStart >= static_cast<uint32_t>(silenceSeconds) * 1000u + kSoundingMs) {
            action = SilenceAction::restartNote;
            clock.noteStart = now;
        }
    } else if (sinceStart >= kSoundingMs) {
        action = SilenceAction::fadeOut;
    }
    clock.lastTick = now;
    return action;
}

ScreenPoint toneWindowOrigin(const ScreenRect& mainWindow, int32_t width, int32_t height,
                             ScreenPoint offset) {
    // In 64 bits: a saved offset may be any 32-bit value.
    auto place = [](int64_t mainStart, int64_t mainEnd, int64_t size, int32_t saved) {
        const int64_t at =
            mainStart + (saved == kCentred ? (mainEnd - mainStart - size) / 2 : saved);
        return static_cast<int32_t>(std::clamp<int64_t>(at, INT32_MIN / 2, INT32_MAX / 2));
    };
    return {place(mainWindow.left, mainWindow.right, width, offset.x),
            place(mainWindow.top, mainWindow.bottom, height, offset.y)};
}

ScreenPoint keepInWorkArea(ScreenPoint origin, int32_t width, int32_t height,
                           const ScreenRect& workArea) {
    int64_t x = std::max<int64_t>(origin.x, workArea.left);
    x = std::min<int64_t>(x, int64_t{workArea.right} - width);
    int64_t y = std::min<int64_t>(origin.y, int64_t{workArea.bottom} - height);
    y = std::max<int64_t>(y, workArea.top);
    return {static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

ScreenPoint placeToneWindow(const ScreenRect& mainWindow, int32_t width, int32_t height,
                            ScreenPoint offset, const ScreenRect& workArea) {
    return keepInWorkArea(toneWindowOrigin(mainWindow, width, height, offset), width, height,
                          workArea);
}

} // namespace tonvale
