#include "tuning/note_spelling.h"

#include <cwchar>

namespace tonvale {
namespace {

const wchar_t* const kFifthsNameTable[kFifthsNameLast - kFifthsNameFirst + 1] = {
    // -24 ... -13
    L"C",
    L"G",
    L"D",
    L"A",
    L"Fb",
    L"Cb",
    L"Gb",
    L"Db",
    L"Ab",
    L"Eb",
    L"Bb",
    L"F",
    // -12 ... -1
    L"C",
    L"G",
    L"D",
    L"A",
    L"Fb",
    L"Cb",
    L"Gb",
    L"Db",
    L"Ab",
    L"Eb",
    L"Bb",
    L"F",
    // 0 ... 11
    L"C",
    L"G",
    L"D",
    L"A",
    L"E",
    L"B",
    L"F#",
    L"C#",
    L"G#",
    L"D#",
    L"A#",
    L"E#",
    // 12 ... 23
    L"B#",
    L"G",
    L"D",
    L"A",
    L"E",
    L"B",
    L"F#",
    L"C#",
    L"G#",
    L"D#",
    L"A#",
    L"E#",
};

int normalisedKey(int key) {
    while (key > kMaxKey)
        key -= kPitchClasses;
    while (key < kMinKey)
        key += kPitchClasses;
    return key;
}

} // namespace

const int kKeyTonicTable[kPitchClasses] = {3, 10, 5, 0, 7, 2, 9, 4, 11, 6, 1, 8};

const wchar_t* fifthsName(int position) {
    if (position < kFifthsNameFirst || position > kFifthsNameLast)
        return L"";
    return kFifthsNameTable[position - kFifthsNameFirst];
}

int keyTonic(int key) {
    int index = key % kPitchClasses;
    return kKeyTonicTable[index < 0 ? index + kPitchClasses : index];
}

int letterPitchClass(wchar_t letter) {
    switch (letter) {
    case L'A':
    case L'a':
        return 0;
    case L'B':
    case L'b':
        return 2;
    case L'C':
    case L'c':
        return 3;
    case L'D':
    case L'd':
        return 5;
    case L'E':
    case L'e':
        return 7;
    case L'F':
    case L'f':
        return 8;
    case L'G':
    case L'g':
        return 10;
    default:
        return -1;
    }
}

bool NoteSpelling::operator==(const NoteSpelling& other) const {
    for (int k = 0; k < kPitchClasses; ++k) {
        if (std::wcscmp(names[k], other.names[k]) != 0)
            return false;
    }
    return true;
}

NoteSpelling spelling(int key, int fifthsBelow) {
    key = normalisedKey(key);
    if (fifthsBelow < 0)
        fifthsBelow = 0;
    if (fifthsBelow > 9)
        fifthsBelow = 9;
    NoteSpelling result;
    int pitchClass =
        ((keyTonic(key) - 7 * fifthsBelow) % kPitchClasses + kPitchClasses) % kPitchClasses;
    for (int j = 0; j < kPitchClasses; ++j) {
        const wchar_t* name = fifthsName(key - fifthsBelow + j);
        result.names[pitchClass][0] = name[0];
        result.names[pitchClass][1] = name[0] ? name[1] : L'\0';
        result.names[pitchClass][2] = L'\0';
        pitchClass = (pitchClass + 7) % kPitchClasses;
    }
    return result;
}

NoteSpelling defaultSpelling() {
    return spelling(0, 3);
}

int parseKeyName(const wchar_t* text) {
    if (!text)
        return 0;
    int pitchClass = letterPitchClass(text[0]);
    if (pitchClass < 0)
        return 0;
    if (text[1] == L'#')
        return kKeyTonicTable[pitchClass + 1];
    if (text[1] == L'b')
        return kKeyTonicTable[(pitchClass + kPitchClasses - 1) % kPitchClasses] - kPitchClasses;
    int key = kKeyTonicTable[pitchClass];
    return text[0] == L'F' || text[0] == L'f' ? key - kPitchClasses : key;
}

} // namespace tonvale
