// Turns each reading of the engine into what the meter shows: needle, lamps,
// digits and level bar, with the lamps and digits paced so that they stay
// readable while the needle follows every reading.
#pragma once

#include "app/note_reading.h"

#include <cstdint>

namespace tonvale {

class Temperament;

// Lamp codes of the meter: bit 1 flat, bit 0 sharp, both in tune.
enum LampCode : uint8_t {
    kLampsOff = 0,
    kLampSharp = 1,
    kLampFlat = 2,
    kLampsInTune = 3,
};

// Digits codes of the meter.
constexpr uint16_t kNoCentsCode = 0xFFFF; // no cents shown
constexpr int32_t kCentsCodeOffset = 99;  // code = shown cents + 99 (0 ... 198)
constexpr int32_t kMaxFrequencyTenths = 99999;
constexpr float kNeedleLimitCents = 50.0f;

// The meter as the presentation drives it. The Windows side sends the
// meter's messages; tests record the calls.
class MeterSink {
  public:
    virtual void setNeedle(float cents) = 0; // already clamped to +-50
    virtual void needleRest() = 0;
    virtual void setLamps(LampCode lamps) = 0;
    // noteNumber kNoNote with kNoCentsCode and 0 tenths blanks the digits.
    virtual void setDigits(int32_t noteNumber, uint16_t centsCode, int32_t frequencyTenths) = 0;
    virtual void setLevel(uint16_t level) = 0; // 0 ... 32768
    virtual ~MeterSink() = default;
};

// Values of the settings the presentation reads for each reading.
struct PresentationRules {
    int32_t thresholdDb = -60;
    int32_t inTuneRangeCents = 3;
    const Temperament* temperament = nullptr; // null: equal temperament
};

// One reading as the engine hands it out.
struct ReadingInput {
    double frequencyHz = 0.0;
    float level = 0.0f; // power, full scale 1.0
    int32_t sequence = 0;
};

class ReadingPresentation {
  public:
    ReadingPresentation() { reset(440.0, 0); }

    // The state of a fresh power-on.
    void reset(double a4Hz, int32_t semitoneShift);

    // Sends, in this order: needle, lamps (paced), digits (paced), level.
    void present(const ReadingInput& reading, const PresentationRules& rules, MeterSink& meter);

    double referenceHz() const { return referenceHz_; }
    double frequencyHz() const { return frequencyHz_; }
    double cents() const { return cents_; }
    int32_t noteNumber() const { return noteNumber_; }
    uint16_t level() const { return level_; }

  private:
    double referenceHz_ = 0.0;
    double frequencyHz_ = 0.0;
    double cents_ = 0.0;
    int32_t noteNumber_ = kNoNote;
    uint16_t level_ = 0;
    int32_t lastDigitsTick_ = 0;
    int32_t lastLampsTick_ = 0;
    int32_t currentTick_ = 0;
};

// Cents as the digits show them: rounded half up, clamped to +-99.
int32_t shownCents(double cents);
// Tenths of a hertz, rounded, at most 99999.
int32_t frequencyTenths(double frequencyHz);
LampCode lampsFor(double cents, int32_t inTuneRangeCents);

} // namespace tonvale
