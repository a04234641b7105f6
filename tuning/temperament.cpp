#include "tuning/temperament.h"

#include "support/ini_reader.h"
#include "support/text_chars.h"
#include "support/text_format.h"
#include "support/ui_text.h"
#include "tuning/float_guard.h"
#include "tuning/ratio_expression.h"

#include <cmath>

namespace tonvale {
namespace {

constexpr size_t kValueChars = 127;
constexpr int kEqualTempLabelText = 84;

struct NamedComma {
    const char* name;
    double ratio;
};

const NamedComma kCommaTable[] = {
    {"DITONIC", 531441.0 / 524288.0},
    {"PYTHAGOREAN", 531441.0 / 524288.0},
    {"SYNTONIC", 81.0 / 80.0},
};

// ASCII letters without regard to case; the text must end where name ends
// unless prefixOnly.
bool matchesAscii(const wchar_t* text, const char* name, bool prefixOnly) {
    for (; *name; ++text, ++name) {
        if (asciiUpper(*text) != widenChar(*name))
            return false;
    }
    return prefixOnly || *text == L'\0';
}

double centsOfRatio(double ratio) {
    return 1200.0 * std::log2(ratio);
}

// Fifths below the tonic of a "Scale" value, or kNotPythagorean.
int pythagoreanFifths(const wchar_t* scale) {
    if (!matchesAscii(scale, "PYTHAGOREAN", true))
        return kNotPythagorean;
    wchar_t next = scale[11];
    return next >= L'0' && next <= L'9' ? next - L'0' : 3;
}

void equalSteps(double* steps) {
    for (int n = 0; n < kPitchClasses; ++n)
        steps[n] = 100.0 * n;
}

// A chain of pure fifths: fifthsBelow of them below the tonic, the rest above.
void pythagoreanSteps(int fifthsBelow, double* steps) {
    double ratios[kPitchClasses] = {1.0};
    double power = 1.0;
    for (int i = 1; i <= fifthsBelow; ++i) {
        power *= 3.0;
        double octaves = 1.0;
        while (octaves < power)
            octaves *= 2.0;
        double ratio = octaves / power;
        ratios[static_cast<int>(std::floor(12.0 * std::log2(ratio) + 0.5)) % kPitchClasses] = ratio;
    }
    power = 1.0;
    for (int i = 1; i <= kPitchClasses - 1 - fifthsBelow; ++i) {
        power *= 3.0;
        double octaves = 1.0;
        while (octaves * 2.0 < power)
            octaves *= 2.0;
        double ratio = power / octaves;
        ratios[static_cast<int>(std::floor(12.0 * std::log2(ratio) + 0.5)) % kPitchClasses] = ratio;
    }
    for (int n = 0; n < kPitchClasses; ++n)
        steps[n] = centsOfRatio(ratios[n]);
}

// Size of the section's comma in cents; false when the section must be
// rejected.
bool readComma(IniReader& file, double* commaCents) {
    std::wstring comma = file.getString("Comma", L"", kValueChars);
    *commaCents = 1.0;
    if (comma.empty())
        return true;
    for (const NamedComma& named : kCommaTable) {
        if (matchesAscii(comma.c_str(), named.name, false)) {
            *commaCents = centsOfRatio(named.ratio);
            return true;
        }
    }
    double ratio = 0.0;
    if (!evaluateRatio(comma.c_str(), &ratio))
        return true;
    if (!std::isfinite(ratio) || !(ratio > 0.0))
        return false;
    *commaCents = centsOfRatio(ratio);
    return true;
}

// Adds the offsets "0" ... "11"; false when the section must be rejected.
bool addOffsets(IniReader& file, double commaCents, double* steps) {
    for (int n = 0; n < kPitchClasses; ++n) {
        char key[3] = {static_cast<char>(n < 10 ? '0' + n : '1'),
                       static_cast<char>(n < 10 ? '\0' : '0' + n - 10), '\0'};
        std::wstring text = file.getString(key, L"", kValueChars);
        double value = 0.0;
        if (text.empty() || !evaluateRatio(text.c_str(), &value))
            continue;
        if (!std::isfinite(value))
            return false;
        steps[n] += value * commaCents;
    }
    return true;
}

bool stepsUsable(const double* steps) {
    for (int n = 0; n < kPitchClasses; ++n) {
        if (!std::isfinite(steps[n]) || std::fabs(steps[n]) > kStepLimitCents)
            return false;
        if (n > 0 && steps[n - 1] > steps[n])
            return false;
    }
    return true;
}

} // namespace

ScaleSteps parseSteps(IniReader& scaleFile, const wchar_t* sectionName) {
    ScaleSteps result;
    equalSteps(result.cents);
    if (!sectionName || !scaleFile.selectSection(sectionName))
        return result;

    FloatExceptionMask masked;
    double steps[kPitchClasses];
    std::wstring scale = scaleFile.getString("Scale", L"", kValueChars);
    int fifthsBelow = pythagoreanFifths(scale.c_str());
    if (fifthsBelow >= 0)
        pythagoreanSteps(fifthsBelow, steps);
    else
        equalSteps(steps);
    double commaCents = 1.0;
    if (!readComma(scaleFile, &commaCents) || !addOffsets(scaleFile, commaCents, steps) ||
        !stepsUsable(steps))
        return result;
    for (int n = 0; n < kPitchClasses; ++n)
        result.cents[n] = steps[n];
    result.result = fifthsBelow;
    return result;
}

NearestNote nearestEqualNote(double cents) {
    double semitones = 12.0 * cents / 1200.0;
    int k = static_cast<int>(semitones);
    NearestNote note{k, 0, (semitones - k) * 100.0};
    if (note.cents >= 50.0) {
        note.pitchClass = k + 1;
        note.cents -= 100.0;
    }
    if (note.pitchClass >= kPitchClasses) {
        note.pitchClass = 0;
        note.octaveCarry = 1;
    }
    return note;
}

Temperament::Temperament(int key) : key_(static_cast<int16_t>(clampedKey(key))) {
    setEqual();
}

Temperament::Temperament(IniReader& scaleFile, const wchar_t* sectionName, int key)
    : key_(static_cast<int16_t>(clampedKey(key))) {
    setEqual();
    if (!sectionName || !*sectionName)
        return;
    ScaleSteps steps = parseSteps(scaleFile, sectionName);
    fifthsBelow_ = static_cast<int16_t>(steps.result);
    if (isRejected())
        return;
    name_ = sectionName;
    int onA = (kPitchClasses - keyTonic(key_)) % kPitchClasses;
    for (int k = 0; k < kPitchClasses; ++k) {
        int step = onA + k;
        positions_[k] = step >= kPitchClasses
                            ? steps.cents[step - kPitchClasses] - steps.cents[onA] + 1200.0
                            : steps.cents[step] - steps.cents[onA];
    }
    positions_[kPitchClasses] = 1200.0;
}

Temperament Temperament::load(const wchar_t* scalePath, const wchar_t* sectionName, int key) {
    IniReader file;
    if (scalePath && sectionName && *sectionName)
        file.load(scalePath);
    return Temperament(file, sectionName, key);
}

void Temperament::setEqual() {
    for (int k = 0; k <= kPitchClasses; ++k)
        positions_[k] = 100.0 * k;
}

NearestNote Temperament::nearestNote(double x) const {
    for (int k = 1; k < kPitchClasses; ++k) {
        if (x <= positions_[k]) {
            if (x < (positions_[k - 1] + positions_[k]) / 2.0)
                return {k - 1, 0, x - positions_[k - 1]};
            return {k, 0, x - positions_[k]};
        }
    }
    if (x < (positions_[kPitchClasses - 1] + positions_[kPitchClasses]) / 2.0)
        return {kPitchClasses - 1, 0, x - positions_[kPitchClasses - 1]};
    return {0, 1, x - positions_[kPitchClasses]};
}

std::wstring Temperament::keyLabel() const {
    const wchar_t* base = name_.c_str();
    if (name_.empty()) {
        if (key_ == 0)
            return std::wstring();
        base = UiText(kEqualTempLabelText);
    }
    const wchar_t* keyName = fifthsName(key_);
    if (keyName[0] && keyName[1])
        return formatString(L"%s [%c%c]", base, keyName[0], keyName[1]);
    return formatString(L"%s [%c]", base, keyName[0]);
}

} // namespace tonvale
