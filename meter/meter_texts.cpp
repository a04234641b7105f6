#include "meter/meter_texts.h"

#include "tuning/note_naming.h"
#include "tuning/note_spelling.h"

#include <cstdio>
#include <cstdlib>

namespace tonvale {
namespace {

constexpr int32_t kNotesWithOctave = 120;
constexpr int32_t kLargestShiftValue = 299;

} // namespace

int32_t pitchClassFromA(int32_t noteNumber) {
    const int32_t fromC = ((noteNumber % 12) + 12) % 12;
    return (fromC + 3) % 12;
}

ReadoutText noteText(int32_t noteNumber, const NoteSpelling& spelling, const NoteNaming* naming) {
    ReadoutText out;
    if (noteNumber < kLowestNamedNote)
        return out;
    const int32_t n = naming ? naming->writtenNote(noteNumber) : noteNumber;
    const wchar_t* name = spelling[pitchClassFromA(n)];
    size_t length = 0;
    for (size_t i = 0; i < 2 && name[i]; ++i)
        out.text[length++] = static_cast<char>(name[i]);
    if (n >= 0 && n < kNotesWithOctave)
        out.text[length++] = static_cast<char>('0' + n / 12);
    return out;
}

ReadoutText centsText(uint16_t centsCode) {
    ReadoutText out;
    if (centsCode == kNoCents)
        return out;
    if (centsCode == kZeroCentsCode)
        std::snprintf(out.text, sizeof out.text, "*00");
    else
        std::snprintf(out.text, sizeof out.text, "%+03d", static_cast<int>(centsCode) - 99);
    return out;
}

ReadoutText frequencyText(int32_t tenths) {
    ReadoutText out;
    if (tenths > 0)
        std::snprintf(out.text, sizeof out.text, "%4d.%d", static_cast<int>(tenths / 10 % 10000),
                      static_cast<int>(tenths % 10));
    return out;
}

ReadoutText referenceText(int32_t value) {
    ReadoutText out;
    if (value == 0)
        return out;
    if (value <= kLargestShiftValue)
        std::snprintf(out.text, sizeof out.text, "%02d%c", static_cast<int>(std::abs(value) % 100),
                      value < 0 ? 'b' : '#');
    else
        std::snprintf(out.text, sizeof out.text, "%03d", static_cast<int>(value % 1000));
    return out;
}

int32_t referenceValue(int32_t a4Hz, int32_t semitoneShift) {
    return semitoneShift != 0 ? semitoneShift : a4Hz;
}

std::wstring spokenReading(const ReadoutText& note, uint16_t centsCode, int32_t tenths) {
    if (note.empty())
        return L"-";
    std::wstring words;
    for (const char* c = note.text; *c; ++c)
        words += static_cast<wchar_t>(*c);
    if (centsCode != kNoCents) {
        wchar_t cents[24];
        std::swprintf(cents, 24, L" %+d cents", static_cast<int>(centsCode) - 99);
        words += cents;
    }
    if (tenths > 0) {
        wchar_t hertz[24];
        std::swprintf(hertz, 24, L" %d.%d Hz", static_cast<int>(tenths / 10),
                      static_cast<int>(tenths % 10));
        words += hertz;
    }
    return words;
}

} // namespace tonvale
