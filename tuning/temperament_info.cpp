#include "tuning/temperament.h"

#include "support/ini_reader.h"
#include "support/text_format.h"
#include "support/ui_text.h"

namespace tonvale {
namespace {

constexpr int kInformationText = 58;
constexpr int kUnreadableTemperamentText = 167;
constexpr int kTaskFailedText = 15;

// What the information box says about a section that cannot be used: never
// numbers of a parse that failed.
std::wstring unusableText(const wchar_t* sectionName) {
    const wchar_t* format = UiText(kUnreadableTemperamentText);
    if (*format)
        return formatString(format, sectionName);
    // A table without that text still names the section and the failure.
    return formatString(L"%s\n\n%s", sectionName, UiText(kTaskFailedText));
}

} // namespace

std::wstring describe(IniReader& scaleFile, const wchar_t* sectionName, int key) {
    if (!sectionName)
        sectionName = L"";
    ScaleSteps steps = parseSteps(scaleFile, sectionName);
    if (steps.result == kRejectedScale)
        return unusableText(sectionName);

    key = clampedKey(key);
    NoteSpelling names = spelling(key, steps.result >= 0 ? steps.result : 3);
    int tonic = keyTonic(key);
    int onA = (kPitchClasses - tonic) % kPitchClasses;
    double deviationOfA = steps.cents[onA] - 100.0 * onA;
    std::wstring distances;
    std::wstring differences;
    for (int i = 0; i < kPitchClasses; ++i) {
        const wchar_t* name = names[(tonic + i) % kPitchClasses];
        if (i > 0) {
            distances += L'\n';
            differences += L'\n';
        }
        distances += formatString(L"%s\t%.3f", name, steps.cents[i] - steps.cents[0]);
        differences += formatString(L"%s\t%+.3f", name, steps.cents[i] - 100.0 * i - deviationOfA);
    }
    return formatString(UiText(kInformationText), sectionName, names[tonic], distances.c_str(),
                        differences.c_str());
}

std::wstring describeFile(const wchar_t* scalePath, const wchar_t* sectionName, int key) {
    IniReader file;
    if (scalePath)
        file.load(scalePath);
    return describe(file, sectionName, key);
}

} // namespace tonvale
