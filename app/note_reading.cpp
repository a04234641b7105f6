#include "app/note_reading.h"

#include <cmath>

namespace tonvale {
namespace {

constexpr int32_t kFullBar = 32768;
constexpr double kFullBarDecibels = -3.0;
constexpr float kSilentDecibels = -100.0f;

struct NearestNote {
    int32_t fromA; // 0 = A .. 11 = G#; 12 = the A of the next octave
    double cents;
};

NearestNote nearestEqualTempered(double x) {
    const double semitones = 12.0 * x;
    int32_t note = static_cast<int32_t>(semitones);
    double cents = (semitones - note) * 100.0;
    if (cents >= 50.0) {
        ++note;
        cents -= 100.0;
    }
    return {note, cents};
}

NearestNote nearestTempered(double x, const double* p) {
    double cents = 1200.0 * x;
    for (int32_t k = 1; k <= 11; ++k) {
        if (cents <= p[k]) {
            if (cents < (p[k - 1] + p[k]) / 2.0) {
                return {k - 1, cents - p[k - 1]};
            }
            return {k, cents - p[k]};
        }
    }
    if (cents < (p[11] + p[12]) / 2.0) {
        return {11, cents - p[11]};
    }
    return {12, cents - p[12]};
}

} // namespace

double referenceFrequency(double a4Hz, int32_t semitoneShift) {
    return a4Hz * std::pow(2.0, semitoneShift / 12.0);
}

NoteReading readNote(double freqHz, double referenceHz, const double* positions) {
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
    const double x = std::log2(freqHz / ref);
    NearestNote nearest = positions ? nearestTempered(x, positions) : nearestEqualTempered(x);
    if (nearest.fromA == 12) {
        nearest.fromA = 0;
        ++octave;
    }
    int32_t fromC = 0;
    if (nearest.fromA >= 3) {
        fromC = nearest.fromA - 3; // octaves begin at C
        ++octave;
    } else {
        fromC = nearest.fromA + 9;
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
