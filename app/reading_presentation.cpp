#include "app/reading_presentation.h"

#include <algorithm>
#include <cmath>

namespace tonvale {
namespace {

// Lamps change at most every third reading, digits every second; a blank
// waits eight readings so the last note stays readable.
constexpr int64_t kLampsPacing = 2;
constexpr int64_t kDigitsPacing = 1;
constexpr int64_t kBlankDelay = 7;

} // namespace

int32_t shownCents(double cents) {
    const double shifted = std::trunc(cents + 100.5) - 100.0;
    return static_cast<int32_t>(std::clamp(shifted, -99.0, 99.0));
}

int32_t frequencyTenths(double frequencyHz) {
    const double tenths = std::trunc(10.0 * frequencyHz + 0.5);
    return static_cast<int32_t>(std::clamp(tenths, 0.0, static_cast<double>(kMaxFrequencyTenths)));
}

LampCode lampsFor(double cents, int32_t inTuneRangeCents) {
    if (std::fabs(cents) <= inTuneRangeCents)
        return kLampsInTune;
    return cents < 0.0 ? kLampFlat : kLampSharp;
}

void ReadingPresentation::reset(double a4Hz, int32_t semitoneShift) {
    referenceHz_ = referenceFrequency(a4Hz, semitoneShift);
    frequencyHz_ = 0.0;
    cents_ = 0.0;
    noteNumber_ = kNoNote;
    level_ = 0;
    currentTick_ = 0;
    lastDigitsTick_ = -2;
    lastLampsTick_ = -3;
}

void ReadingPresentation::present(const ReadingInput& reading, const PresentationRules& rules,
                                  MeterSink& meter) {
    const NoteReading note = readNote(reading.frequencyHz, referenceHz_, rules.temperament);
    frequencyHz_ = note.frequencyHz;
    cents_ = note.cents;
    noteNumber_ = note.noteNumber;
    level_ = levelBarValue(reading.level, rules.thresholdDb);
    currentTick_ = reading.sequence;

    const bool hasNote = noteNumber_ > kNoNote;
    const int64_t tick = currentTick_;
    if (hasNote) {
        const double clamped =
            std::clamp(cents_, -double(kNeedleLimitCents), double(kNeedleLimitCents));
        meter.setNeedle(static_cast<float>(clamped));
    } else {
        meter.needleRest();
    }

    if (hasNote) {
        if (tick - lastLampsTick_ > kLampsPacing) {
            lastLampsTick_ = currentTick_;
            meter.setLamps(lampsFor(cents_, rules.inTuneRangeCents));
        }
    } else {
        // The lamps of the next note then light without delay.
        lastLampsTick_ = static_cast<int32_t>(tick - kLampsPacing);
        meter.setLamps(kLampsOff);
    }

    if (hasNote) {
        if (tick - lastDigitsTick_ > kDigitsPacing) {
            lastDigitsTick_ = currentTick_;
            const auto code = static_cast<uint16_t>(shownCents(cents_) + kCentsCodeOffset);
            meter.setDigits(noteNumber_, code, frequencyTenths(frequencyHz_));
        }
    } else if (tick - lastDigitsTick_ > kBlankDelay) {
        lastDigitsTick_ = static_cast<int32_t>(tick - kDigitsPacing);
        meter.setDigits(kNoNote, kNoCentsCode, 0);
    }

    meter.setLevel(level_);
}

} // namespace tonvale
