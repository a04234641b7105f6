// The rules by which the settings dialog turns what its controls show into
// settings and back. Typed values are never rejected: they are clamped.
#pragma once

#include "tuning/temperament_digest.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tonvale {

// Reference pitch: the number at the start of the text clamped to 300 ... 500;
// 440 when the text holds no number (an empty field).
constexpr int kDefaultFrequencyOfA4 = 440;
int frequencyOfA4FromText(const wchar_t* text);

// Semitone shifts +2 ... -8, listed from the highest: entry = 2 - shift.
constexpr int kHighestShift = 2;
constexpr int kLowestShift = -8;
constexpr int kShiftEntries = kHighestShift - kLowestShift + 1;
inline int shiftEntry(int shift) {
    return kHighestShift - shift;
}
inline int shiftOfEntry(int entry) {
    return kHighestShift - entry;
}
// "%d up" (shift >= 1) or "%d down" (the magnitude, shift <= 0) followed by
// the shifted A4 " (%.1f Hz)", from the formats of the string table.
std::wstring shiftEntryText(int shift, const wchar_t* upFormat, const wchar_t* downFormat);

// Sensitivity slider: positions 8 ... 16 are thresholds -40 ... -80 dB.
constexpr int kSliderMin = 8;
constexpr int kSliderMax = 16;
constexpr int kSliderTicks = 2;
int sliderPosition(int thresholdDb);
int thresholdOfSlider(int position);

// Key list: the entry (from C) that shows a key, and back through the entry's
// text with parseKeyName.
int keyEntry(int key);

// In-tune range list "1" ... "10".
constexpr int kInTuneEntries = 10;
inline int inTuneEntry(int rangeCents) {
    return rangeCents < 1 ? 0 : rangeCents > kInTuneEntries ? kInTuneEntries - 1 : rangeCents - 1;
}

// Counter bias in hundredths of a cent: shown as "%+.2f" cents; read back as
// a decimal, 100 or more giving +10000, -100 or less -10000, anything between
// rounded to hundredths with halves up. Text without a number reads as 0.
constexpr int kBiasLimit = 10000;
constexpr size_t kBiasChars = 7;
std::wstring biasText(int hundredths);
int biasFromText(const wchar_t* text);

// Hum filter centre in hundredths of a hertz, 0 = off: shown as "%.2f" Hz;
// read back rounded with halves up, below 0 giving 0, at most 9999.
constexpr int kHumLimit = 9999;
constexpr size_t kHumChars = 5;
std::wstring humText(int hundredths);
int humFromText(const wchar_t* text);

// Sampling-rate list: "(Default)", "44100", "48000".
constexpr uint32_t kListedSampleRates[] = {0, 44100, 48000};
constexpr int kSampleRateEntries = 3;
int sampleRateEntry(uint32_t rate); // 0 for a rate not listed
uint32_t sampleRateOfEntry(int entry);

// Counter bias from a calibration: the measured rate against the nominal
// one, or the ratio of nominal to observed frequency of a captured reference,
// in cents clamped to -100 ... +100. Shown in the field with "%+.2f".
double biasOfMeasuredRate(double measuredRate, double nominalRate);
double biasOfCapturedRatio(double ratio);
std::wstring centsText(double cents);

// Device lists: the entry whose stored key is `key` among the entries' keys
// (entry 0, the default device, has none). Endpoint GUIDs compare ignoring
// ASCII case, product names exactly. 0 for an empty key or one that no entry
// has any more.
enum class KeyComparison { exact, ignoringCase };
int deviceEntryForKey(const wchar_t* const* keys, size_t count, const wchar_t* key,
                      KeyComparison comparison);

// Sections of a digest that a list offers: names shorter than 128 characters,
// as indices into the digest (an absent digest offers none).
constexpr size_t kListableNameLength = 127;
std::vector<size_t> listableSections(const TemperamentDigest* digest);

} // namespace tonvale
