// The reference-signal capture: which of the reference tones the readings
// show, when a run of them is steady enough to trust, and what the ratio of
// nominal to observed frequency says about the capture clock.
//
// Readings come every 0.1 s. A candidate must hold for 20 readings before a
// run counts; 10 steady readings in a row complete the capture; 120
// readings after the candidate appeared it ends without a result.
#pragma once

#include <cstdint>

namespace tonvale {

enum class CaptureState : uint16_t { idle = 0, capturing = 1, finished = 2 };

// One capture, from the dialog's start to its end (lives on the caller's
// stack for the modal dialog).
struct ReferenceCaptureJob {
    int32_t deviceIndex = -1;            // wave-in index; -1 = the default device
    const wchar_t* deviceName = nullptr; // for the title; may be null or empty
    uint32_t sampleRate = 0;             // capture rate handed to the engine
    CaptureState state = CaptureState::idle;
    uint16_t shownFrequency = 0; // reference shown as detected; 0 = none
    double result = 0.0;         // nominal / observed; 0 = no result
    uint32_t candidateStart = 0; // sequence of the reading the candidate began at
    uint16_t candidate = 0;      // reference the recent readings match; 0 = none
    int16_t stableCount = 0;     // readings in the current steady run
    double lowestFrequency = 0.0;
    double highestFrequency = 0.0;
    double frequencySum = 0.0;
    float highestLevel = 0.0f;
    float lowestLevel = 0.0f;
};

// The reference frequencies, in search order.
constexpr uint16_t kReferenceFrequencies[] = {440, 880, 1000, 2000};

// The first reference within a semitone of frequencyHz (bounds included),
// 0 when none is.
uint16_t matchReference(double frequencyHz);

// Clears the candidate and the run, for a new start.
void beginCapture(ReferenceCaptureJob& job);

struct CaptureReadingValues {
    uint32_t sequence = 0;
    float level = 0.0f;
    double frequencyHz = 0.0;
};

enum class CaptureStep {
    nothing,      // nothing to show
    showDetected, // the shown frequency changed (0: "None detected")
    completed,    // the capture is over: stop the engine, show the outcome
};

// Evaluates one reading of a capture in progress (the job's state is not
// looked at). On completion the state is finished and the result is set
// when a steady run was seen.
CaptureStep evaluateReading(ReferenceCaptureJob& job, const CaptureReadingValues& reading);

// The mean frequency of the completed run; 0 without one.
double observedFrequency(const ReferenceCaptureJob& job);

// 1200 log2(ratio): the counter bias in cents of a clock ratio.
double centsOfRatio(double ratio);

} // namespace tonvale
