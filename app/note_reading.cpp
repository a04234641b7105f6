#include "app/note_reading.h"

#include "tuning/temperament.h"

#include <cmath>

namespace tonvale {
namespace {

constexpr int32_t kFullBar = 32768;
constexpr double kFullBarDecibels = -3.0;
constexpr float kSilentDecibels = -100.0f;

} // namespace

double referenceFrequency(double a4Hz, int32_t semitoneShift) {
    return a4Hz * std::pow(2.0, semitoneShift / 12.0);
}

NoteReading readNote(double freqHz, double referenceHz, const Temperament* temperament) {
    NoteReading reading;
    if (!(freqHz >= kLowestNoteHz) || !std::isfinite(freqHz) || !(referenceHz > 0.0)) {
        return reading;
    }
    double ref = referenceHz;
    int32_t octave = 4;
    while (ref > freqHz) {
        ref *= 0.5;
        --octave;
    }
    while (freqHz >= 2.0 * ref) {
        ref *= 2.0;
        ++octave;
    }
    const double centsAboveA = 1200.0 * std::log2(freqHz / ref);
    const NearestNote nearest =
        temperament ? temperament->nearestNote(centsAboveA) : nearestEqualNote(centsAboveA);
    octave += nearest.octaveCarry;
    int32_t fromC = 0;
    if (nearest.pitchClass >= 3) {
        fromC = nearest.pitchClass - 3; // octaves begin at C
        ++octave;
    } else {
        fromC = nearest.pitchClass + 9;
    }
    reading.noteNumber = (octave >= -1 && octave <= 11) ? fromC + 12 * octave : fromC + 132;
    reading.frequencyHz = freqHz;
    reading.cents = nearest.cents;
    return reading;
}

uint16_t levelBarValue(float level, int32_t thresholdDb) {
    const float decibels = level > 1e-10 ? 10.0f * std::log10(level) : kSilentDecibels;
    if (decibels <= thresholdDb) {
        return 0;
    }
    if (decibels >= kFullBarDecibels) {
        return kFullBar;
    }
    const double scaled =
        (decibels - thresholdDb) * static_cast<double>(kFullBar) / (kFullBarDecibels - thresholdDb);
    return static_cast<uint16_t>(scaled + 0.5);
}

} // namespace tonvale
