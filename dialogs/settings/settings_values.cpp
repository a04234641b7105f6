#include "dialogs/settings/settings_values.h"

#include "support/text_chars.h"
#include "support/text_format.h"
#include "tuning/float_guard.h"
#include "tuning/note_spelling.h"
#include "tuning/ratio_expression.h"

#include <cmath>

namespace tonvale {
namespace {

constexpr int kMinFrequencyOfA4 = 300;
constexpr int kMaxFrequencyOfA4 = 500;
constexpr int kSliderStepDb = 5;
// Far beyond every clamp here, and far from overflowing the arithmetic.
constexpr int64_t kSaturation = int64_t{1} << 40;

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

int64_t saturatedDigit(int64_t value, wchar_t digit) {
    value = value * 10 + (digit - L'0');
    return value > kSaturation ? kSaturation : value;
}

int clampedInt(int64_t value, int low, int high) {
    return value < low ? low : value > high ? high : static_cast<int>(value);
}

// A typed decimal in hundredths, rounded with halves up (towards +infinity).
// Plain decimals are rounded on their digits, so "1.005" gives 101 although
// no double holds 1.005 exactly; forms with an exponent go through a double.
// False when the text does not begin with a number.
bool readHundredths(const wchar_t* text, int64_t* hundredths) {
    double value = 0.0;
    size_t used = 0;
    {
        FloatExceptionMask masked;
        used = readDecimal(text, &value);
        if (used == 0)
            return false;
        bool exponent = false;
        for (size_t i = 0; i < used; ++i)
            exponent = exponent || text[i] == L'e' || text[i] == L'E';
        if (exponent) {
            double scaled = std::floor(value * 100.0 + 0.5);
            *hundredths = !(scaled < static_cast<double>(kSaturation)) ? kSaturation
                          : !(scaled > -static_cast<double>(kSaturation))
                              ? -kSaturation
                              : static_cast<int64_t>(scaled);
            return true;
        }
    }
    const wchar_t* p = text;
    while (isCSpace(*p))
        ++p;
    const bool negative = *p == L'-';
    if (*p == L'+' || *p == L'-')
        ++p;
    int64_t magnitude = 0;
    for (; isDigit(*p); ++p)
        magnitude = saturatedDigit(magnitude, *p);
    int fractionDigits = 0;
    int firstDropped = -1;    // the first digit beyond the hundredths
    bool restNonZero = false; // any non-zero digit after that one
    if (*p == L'.') {
        for (++p; isDigit(*p); ++p, ++fractionDigits) {
            if (fractionDigits < 2)
                magnitude = saturatedDigit(magnitude, *p);
            else if (fractionDigits == 2)
                firstDropped = *p - L'0';
            else
                restNonZero = restNonZero || *p != L'0';
        }
    }
    for (; fractionDigits < 2; ++fractionDigits)
        magnitude = saturatedDigit(magnitude, L'0');
    // A half goes up: away from zero for positive numbers, towards it for
    // negative ones, which round away only beyond the half.
    const bool half = firstDropped == 5 && !restNonZero;
    const bool aboveHalf = firstDropped > 5 || (firstDropped == 5 && restNonZero);
    if (aboveHalf || (half && !negative))
        ++magnitude;
    *hundredths = negative ? -magnitude : magnitude;
    return true;
}

bool sameKey(const wchar_t* a, const wchar_t* b, KeyComparison comparison) {
    for (;; ++a, ++b) {
        wchar_t x = *a;
        wchar_t y = *b;
        if (comparison == KeyComparison::ignoringCase) {
            x = asciiLower(x);
            y = asciiLower(y);
        }
        if (x != y)
            return false;
        if (x == L'\0')
            return true;
    }
}

} // namespace

int frequencyOfA4FromText(const wchar_t* text) {
    const wchar_t* p = text ? text : L"";
    while (isCSpace(*p))
        ++p;
    const bool negative = *p == L'-';
    if (*p == L'+' || *p == L'-')
        ++p;
    if (!isDigit(*p))
        return kDefaultFrequencyOfA4;
    int64_t value = 0;
    for (; isDigit(*p); ++p)
        value = saturatedDigit(value, *p);
    return clampedInt(negative ? -value : value, kMinFrequencyOfA4, kMaxFrequencyOfA4);
}

std::wstring shiftEntryText(int shift, const wchar_t* upFormat, const wchar_t* downFormat) {
    std::wstring text = shift >= 1 ? formatString(upFormat, shift)
                                   : formatString(downFormat, shift < 0 ? -shift : shift);
    const double frequency = kDefaultFrequencyOfA4 * std::pow(2.0, shift / 12.0);
    return text + formatString(L" (%.1f Hz)", frequency);
}

int sliderPosition(int thresholdDb) {
    return clampedInt(-thresholdDb / kSliderStepDb, kSliderMin, kSliderMax);
}

int thresholdOfSlider(int position) {
    return -kSliderStepDb * clampedInt(position, kSliderMin, kSliderMax);
}

int keyEntry(int key) {
    return (keyTonic(key) - 3 + kPitchClasses) % kPitchClasses;
}

std::wstring biasText(int hundredths) {
    return formatString(L"%+.2f", hundredths / 100.0);
}

int biasFromText(const wchar_t* text) {
    int64_t hundredths = 0;
    if (!text || !readHundredths(text, &hundredths))
        return 0;
    return clampedInt(hundredths, -kBiasLimit, kBiasLimit);
}

std::wstring humText(int hundredths) {
    return formatString(L"%.2f", hundredths / 100.0);
}

int humFromText(const wchar_t* text) {
    int64_t hundredths = 0;
    if (!text || !readHundredths(text, &hundredths))
        return 0;
    return clampedInt(hundredths, 0, kHumLimit);
}

int sampleRateEntry(uint32_t rate) {
    for (int i = 1; i < kSampleRateEntries; ++i)
        if (kListedSampleRates[i] == rate)
            return i;
    return 0;
}

uint32_t sampleRateOfEntry(int entry) {
    return entry > 0 && entry < kSampleRateEntries ? kListedSampleRates[entry] : 0;
}

double biasOfMeasuredRate(double measuredRate, double nominalRate) {
    if (!(measuredRate > 0.0) || !(nominalRate > 0.0))
        return 0.0;
    return biasOfCapturedRatio(measuredRate / nominalRate);
}

double biasOfCapturedRatio(double ratio) {
    if (!(ratio > 0.0))
        return 0.0;
    const double cents = 1200.0 * std::log2(ratio);
    return cents < -100.0 ? -100.0 : cents > 100.0 ? 100.0 : cents;
}

std::wstring centsText(double cents) {
    return formatString(L"%+.2f", cents);
}

int deviceEntryForKey(const wchar_t* const* keys, size_t count, const wchar_t* key,
                      KeyComparison comparison) {
    if (!key || !*key)
        return 0;
    for (size_t entry = 1; entry < count; ++entry)
        if (keys[entry] && sameKey(keys[entry], key, comparison))
            return static_cast<int>(entry);
    return 0;
}

std::vector<size_t> listableSections(const TemperamentDigest* digest) {
    std::vector<size_t> sections;
    if (!digest)
        return sections;
    for (size_t i = 0; i < digest->size(); ++i)
        if ((*digest)[i].name.size() <= kListableNameLength)
            sections.push_back(i);
    return sections;
}

} // namespace tonvale
