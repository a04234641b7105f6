#include "tuning/note_naming.h"

#include "support/ini_reader.h"
#include "tuning/temperament.h"

#include <cwchar>

namespace tonvale {
namespace {

constexpr int kInC = 3; // pitch class of C, counted from A

int modulo12(int value) {
    return (value % kPitchClasses + kPitchClasses) % kPitchClasses;
}

// Key whose spelling shows the written notes: the temperament's key seen from
// the instrument, kept within seven accidentals where it can be.
int writtenKey(const Temperament& temperament, int instrumentKey) {
    int key = temperament.key() - instrumentKey;
    if (key < -7)
        key += kPitchClasses;
    else if (key > 7)
        key -= kPitchClasses;
    return key;
}

// Appends text whole or not at all; false when it does not fit.
bool appendWhole(wchar_t* buffer, size_t capacity, size_t* length, const wchar_t* text) {
    size_t n = std::wcslen(text);
    if (*length + n > capacity - 1)
        return false;
    std::wmemcpy(buffer + *length, text, n);
    *length += n;
    buffer[*length] = L'\0';
    return true;
}

} // namespace

Transposition parseTransposition(const wchar_t* text) {
    Transposition result;
    if (!text)
        return result;
    int pitchClass = letterPitchClass(text[0]);
    if (pitchClass < 0)
        return result;
    bool flat = false;
    wchar_t direction = L'\0';
    if (text[1] == L'#') {
        pitchClass += 1;
        direction = text[2];
    } else if (text[1] == L'b') {
        pitchClass = modulo12(pitchClass - 1);
        flat = true;
        direction = text[2];
    } else {
        flat = text[0] == L'F' || text[0] == L'f';
        direction = text[1];
    }
    if (pitchClass == kInC)
        return result;
    bool down =
        direction == L'-' || (direction != L'+' && !(pitchClass >= kInC && pitchClass <= 8));
    result.instrumentKey = kKeyTonicTable[pitchClass] - (flat ? kPitchClasses : 0);
    result.shift = modulo12(pitchClass - kInC) - (down ? kPitchClasses : 0);
    return result;
}

NoteNaming::NoteNaming(IniReader& noteFile, const wchar_t* sectionName,
                       const NoteSpelling& currentSpelling, const Temperament* temperament)
    : names_(currentSpelling) {
    if (!sectionName || !noteFile.selectSection(sectionName))
        return;
    name_ = sectionName;
    format1_ = noteFile.getString("Format1", L"", kFormatChars);
    format2_ = noteFile.getString("Format2", L"", kFormatChars);
    Transposition transposition =
        parseTransposition(noteFile.getString("Transpose", L"", kFormatChars).c_str());
    shift_ = static_cast<int16_t>(transposition.shift);
    instrumentKey_ = static_cast<int16_t>(transposition.instrumentKey);

    if (instrumentKey_ != 0) {
        NoteSpelling written = temperament ? spelling(writtenKey(*temperament, instrumentKey_),
                                                      temperament->spellingFifths())
                                           : currentSpelling;
        for (int i = 0; i < kPitchClasses; ++i)
            std::wcscpy(subtitles_[i], written[modulo12(i - shift_)]);
    }
    for (int i = 0; i < kPitchClasses; ++i) {
        char key[3] = {static_cast<char>(currentSpelling[i][0]),
                       static_cast<char>(currentSpelling[i][1]), '\0'};
        wchar_t value[kSubtitleChars + 1];
        noteFile.getString(key, L"", value, kSubtitleChars + 1);
        if (value[0])
            std::wcscpy(subtitles_[i], value);
    }
}

NoteNaming NoteNaming::load(const wchar_t* notePath, const wchar_t* sectionName,
                            const NoteSpelling& currentSpelling, const Temperament* temperament) {
    IniReader file;
    if (notePath && sectionName && *sectionName)
        file.load(notePath);
    return NoteNaming(file, sectionName, currentSpelling, temperament);
}

NoteSpelling NoteNaming::displaySpelling(const NoteSpelling& currentSpelling,
                                         const Temperament* temperament) const {
    if (!temperament || instrumentKey_ == 0)
        return currentSpelling;
    return spelling(writtenKey(*temperament, instrumentKey_), temperament->spellingFifths());
}

bool NoteNaming::expand(int which, int pitchClass, wchar_t* buffer, size_t capacity) const {
    if (capacity < 1)
        return false;
    buffer[0] = L'\0';
    if ((which != 0 && which != 1) || pitchClass < 0 || pitchClass >= kPitchClasses)
        return false;
    const std::wstring& format = which == 0 ? format1_ : format2_;
    size_t length = 0;
    for (const wchar_t* p = format.c_str(); *p && length < capacity - 1; ++p) {
        if (*p != L'%') {
            buffer[length++] = *p;
            buffer[length] = L'\0';
            continue;
        }
        wchar_t next = p[1];
        bool fits = true;
        if (next == L'1') {
            fits = appendWhole(buffer, capacity, &length, names_[pitchClass]);
        } else if (next == L'2') {
            if (!subtitles_[pitchClass][0]) {
                buffer[0] = L'\0';
                return false;
            }
            fits = appendWhole(buffer, capacity, &length, subtitles_[pitchClass]);
        } else if (next == L'%') {
            fits = appendWhole(buffer, capacity, &length, L"%");
        } else if (next == L'\0') {
            appendWhole(buffer, capacity, &length, L"%");
            break;
        } else {
            const wchar_t pair[3] = {L'%', next, L'\0'};
            fits = appendWhole(buffer, capacity, &length, pair);
        }
        if (!fits)
            break;
        ++p;
    }
    return length > 0;
}

int NoteNaming::soundingIndex(int i, bool wrap) const {
    int index = shift_ + i;
    if (wrap) {
        if (index < 0)
            index += kPitchClasses;
        else if (index >= kPitchClasses)
            index -= kPitchClasses;
    }
    return index;
}

int NoteNaming::writtenNote(int n) const {
    if (shift_ == 0)
        return n;
    int m = n - shift_;
    if (m < -12) {
        int remainder = m % 12;
        return remainder != 0 ? 132 + remainder + 12 : 132;
    }
    if (m > 143)
        return 132 + m % 12;
    return m;
}

NoteSpelling displaySpelling(const NoteNaming* naming, const NoteSpelling& currentSpelling,
                             const Temperament* temperament) {
    return naming ? naming->displaySpelling(currentSpelling, temperament) : currentSpelling;
}

} // namespace tonvale
