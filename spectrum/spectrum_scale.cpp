#include "spectrum/spectrum_scale.h"

#include "support/text_format.h"

namespace tonvale {
namespace {

constexpr int kMinorSpacing = 8;
constexpr int kMajorSpacing = 30;
constexpr int32_t kFirstStepHz = 10;
// A step wider than the whole band ends the search: no rate reaches it.
constexpr int32_t kLargestStepHz = 100000000;

double spacingOf(int32_t stepHz, double hertzPer256) {
    return stepHz / hertzPer256 * 256.0;
}

// The decade that spans `spacing` columns, then its fifth or half if they
// still do and are multiples of `unit`.
int32_t stepFor(double hertzPer256, int spacing, int32_t unit) {
    int32_t step = kFirstStepHz;
    while (spacingOf(step, hertzPer256) < spacing && step < kLargestStepHz)
        step *= 10;
    for (int32_t divisor : {5, 2}) {
        const int32_t part = step / divisor;
        if (spacingOf(part, hertzPer256) >= spacing && part % unit == 0)
            return part;
    }
    return step;
}

} // namespace

double hertzPer256Columns(int32_t rate, int binStep) {
    return rate / 2.0 / binStep;
}

int32_t columnOfFrequency(double hz, int32_t rate, int binStep) {
    return static_cast<int32_t>(hz / hertzPer256Columns(rate, binStep) * 256.0 + 0.5);
}

AxisSteps axisSteps(int32_t rate, int binStep) {
    if (rate <= 0 || binStep <= 0)
        return {};
    const double hertzPer256 = hertzPer256Columns(rate, binStep);
    AxisSteps steps;
    steps.minorHz = stepFor(hertzPer256, kMinorSpacing, 1);
    steps.majorHz = stepFor(hertzPer256, kMajorSpacing, steps.minorHz);
    return steps;
}

size_t axisLabel(int32_t hz, wchar_t* buffer, size_t capacity) {
    if (hz == 0)
        return formatText(buffer, capacity, L"0Hz");
    if (hz < 1000)
        return formatText(buffer, capacity, L"%d", hz);
    if (hz % 1000 == 0)
        return formatText(buffer, capacity, L"%dk", hz / 1000);
    return formatText(buffer, capacity, L"%.1fk", hz / 1000.0);
}

} // namespace tonvale
