#include "devices/calibration/reference_capture.h"

#include <cmath>

namespace tonvale {

namespace {

constexpr double kSemitone = 1.0594630943592953;
constexpr uint32_t kCandidateWait = 20;   // readings before a run may begin
constexpr uint32_t kCandidateLimit = 120; // readings before giving up
constexpr int16_t kStableReadings = 10;
constexpr double kMaxFrequencySpreadHz = 0.1;
constexpr float kMaxLevelRatio = 1.259f; // 1 dB

void beginRun(ReferenceCaptureJob& job, const CaptureReadingValues& reading) {
    job.lowestFrequency = job.highestFrequency = job.frequencySum = reading.frequencyHz;
    job.highestLevel = job.lowestLevel = reading.level;
    job.stableCount = 1;
}

// Adds the reading to the run; true when the run is complete.
bool extendRun(ReferenceCaptureJob& job, const CaptureReadingValues& reading) {
    if (job.stableCount == 0) {
        beginRun(job, reading);
        return false;
    }
    job.frequencySum += reading.frequencyHz;
    if (reading.frequencyHz < job.lowestFrequency)
        job.lowestFrequency = reading.frequencyHz;
    if (reading.frequencyHz > job.highestFrequency)
        job.highestFrequency = reading.frequencyHz;
    if (reading.level < job.lowestLevel)
        job.lowestLevel = reading.level;
    if (reading.level > job.highestLevel)
        job.highestLevel = reading.level;
    if (job.highestFrequency - job.lowestFrequency > kMaxFrequencySpreadHz ||
        job.highestLevel > job.lowestLevel * kMaxLevelRatio) {
        beginRun(job, reading);
        return false;
    }
    return ++job.stableCount >= kStableReadings;
}

CaptureStep complete(ReferenceCaptureJob& job) {
    job.state = CaptureState::finished;
    const double observed = observedFrequency(job);
    job.result = observed > 0.0 ? job.candidate / observed : 0.0;
    return CaptureStep::completed;
}

} // namespace

uint16_t matchReference(double frequencyHz) {
    for (uint16_t reference : kReferenceFrequencies)
        if (reference / kSemitone <= frequencyHz && frequencyHz <= reference * kSemitone)
            return reference;
    return 0;
}

void beginCapture(ReferenceCaptureJob& job) {
    job.candidateStart = 0;
    job.candidate = 0;
    job.stableCount = 0;
    job.lowestFrequency = job.highestFrequency = job.frequencySum = 0.0;
    job.highestLevel = job.lowestLevel = 0.0f;
}

CaptureStep evaluateReading(ReferenceCaptureJob& job, const CaptureReadingValues& reading) {
    if (job.stableCount > kStableReadings - 1)
        return complete(job);
    const uint16_t reference = matchReference(reading.frequencyHz);
    if (reference == 0) {
        if (job.candidate != 0) {
            job.candidate = 0;
            job.candidateStart = reading.sequence;
            job.stableCount = 0;
        }
        if (job.shownFrequency == 0)
            return CaptureStep::nothing;
        job.shownFrequency = 0;
        return CaptureStep::showDetected;
    }
    if (reference != job.candidate) {
        job.candidate = reference;
        job.candidateStart = reading.sequence;
        job.stableCount = 0;
    }
    const uint32_t age = reading.sequence - job.candidateStart;
    if (age >= kCandidateWait) {
        if (extendRun(job, reading))
            return complete(job);
        if (age >= kCandidateLimit) {
            job.frequencySum = 0.0;
            job.stableCount = kStableReadings;
            return complete(job);
        }
    }
    if (job.candidate == job.shownFrequency)
        return CaptureStep::nothing;
    job.shownFrequency = job.candidate;
    return CaptureStep::showDetected;
}

double observedFrequency(const ReferenceCaptureJob& job) {
    if (job.frequencySum == 0.0 || job.stableCount == 0)
        return 0.0;
    return job.frequencySum / job.stableCount;
}

double centsOfRatio(double ratio) {
    return 1200.0 * std::log2(ratio);
}

} // namespace tonvale
