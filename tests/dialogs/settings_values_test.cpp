// How the settings dialog reads its fields back: clamps, rounding of typed
// decimals, the slider's 5 dB steps, the shift and key lists.
#include "dialogs/settings/settings_values.h"

#include "tuning/note_spelling.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tonvale {
namespace {

TEST(SettingsValues, ReferencePitchIsClampedOrDefaulted) {
    EXPECT_EQ(frequencyOfA4FromText(L"442"), 442);
    EXPECT_EQ(frequencyOfA4FromText(L"250"), 300);
    EXPECT_EQ(frequencyOfA4FromText(L"999"), 500);
    EXPECT_EQ(frequencyOfA4FromText(L"-45"), 300);
    EXPECT_EQ(frequencyOfA4FromText(L""), 440);
    EXPECT_EQ(frequencyOfA4FromText(L"abc"), 440);
    EXPECT_EQ(frequencyOfA4FromText(L" 415x"), 415);
    EXPECT_EQ(frequencyOfA4FromText(L"99999999999999999999"), 500);
}

TEST(SettingsValues, CounterBiasClampsAtAHundredCentsAndRoundsHalvesUp) {
    EXPECT_EQ(biasFromText(L"123.456"), 10000);
    EXPECT_EQ(biasFromText(L"100"), 10000);
    EXPECT_EQ(biasFromText(L"-100"), -10000);
    EXPECT_EQ(biasFromText(L"-250"), -10000);
    EXPECT_EQ(biasFromText(L"-0.005"), 0);
    EXPECT_EQ(biasFromText(L"-0.006"), -1);
    EXPECT_EQ(biasFromText(L"0.005"), 1);
    // Rounded on the typed digits: 1.005 is not a double, but it is a half.
    EXPECT_EQ(biasFromText(L"1.005"), 101);
    EXPECT_EQ(biasFromText(L"-1.005"), -100);
    EXPECT_EQ(biasFromText(L"+3.141"), 314);
    EXPECT_EQ(biasFromText(L"99.995"), 10000);
    EXPECT_EQ(biasFromText(L"-99.995"), -9999);
    EXPECT_EQ(biasFromText(L".5"), 50);
    EXPECT_EQ(biasFromText(L"1e1"), 1000);
    EXPECT_EQ(biasFromText(L"1e999"), 10000);
    EXPECT_EQ(biasFromText(L""), 0);
    EXPECT_EQ(biasFromText(L"x"), 0);
    // What the field shows reads back unchanged.
    for (int hundredths : {-10000, -1234, -1, 0, 1, 5, 999, 10000})
        EXPECT_EQ(biasFromText(biasText(hundredths).c_str()), hundredths) << hundredths;
    EXPECT_EQ(biasText(0), L"+0.00");
    EXPECT_EQ(biasText(-1234), L"-12.34");
    EXPECT_LE(biasText(-10000).size(), kBiasChars);
}

TEST(SettingsValues, HumCentreIsHundredthsFromZeroTo9999) {
    EXPECT_EQ(humFromText(L"50"), 5000);
    EXPECT_EQ(humFromText(L"60"), 6000);
    EXPECT_EQ(humFromText(L"59.995"), 6000);
    EXPECT_EQ(humFromText(L"100"), 9999);
    EXPECT_EQ(humFromText(L"-5"), 0);
    EXPECT_EQ(humFromText(L""), 0);
    EXPECT_EQ(humText(5000), L"50.00");
    EXPECT_EQ(humFromText(humText(9999).c_str()), 9999);
    EXPECT_LE(humText(9999).size(), kHumChars);
}

TEST(SettingsValues, SliderStepsAreFiveDecibels) {
    EXPECT_EQ(thresholdOfSlider(kSliderMin), -40);
    EXPECT_EQ(thresholdOfSlider(kSliderMax), -80);
    for (int threshold = -80; threshold <= -40; threshold += 5)
        EXPECT_EQ(thresholdOfSlider(sliderPosition(threshold)), threshold);
    EXPECT_EQ(sliderPosition(-62), 12); // between steps: towards less sensitive
}

TEST(SettingsValues, ShiftEntriesNameTheShiftedPitch) {
    EXPECT_EQ(shiftEntryText(2, L"%d up", L"%d down"), L"2 up (493.9 Hz)");
    EXPECT_EQ(shiftEntryText(1, L"%d up", L"%d down"), L"1 up (466.2 Hz)");
    EXPECT_EQ(shiftEntryText(0, L"%d up", L"%d down"), L"0 down (440.0 Hz)");
    EXPECT_EQ(shiftEntryText(-3, L"%d up", L"%d down"), L"3 down (370.0 Hz)");
    EXPECT_EQ(shiftEntryText(-8, L"%d up", L"%d down"), L"8 down (277.2 Hz)");
    EXPECT_EQ(shiftOfEntry(5), -3);
    for (int shift = kLowestShift; shift <= kHighestShift; ++shift) {
        EXPECT_GE(shiftEntry(shift), 0);
        EXPECT_LT(shiftEntry(shift), kShiftEntries);
        EXPECT_EQ(shiftOfEntry(shiftEntry(shift)), shift);
    }
}

TEST(SettingsValues, KeyListShowsEveryKeyByItsTonic) {
    // The list's texts from C; parsing the shown text gives the key back up
    // to the enharmonic spelling the list offers.
    const wchar_t* const entries[12] = {L"C", L"C# (Db)", L"D", L"Eb (D#)", L"E", L"F", L"F# (Gb)",
                                        L"G", L"Ab (G#)", L"A", L"Bb (A#)", L"B"};
    for (int key = kMinKey; key <= kMaxKey; ++key) {
        const int shown = parseKeyName(entries[keyEntry(key)]);
        EXPECT_EQ(keyTonic(shown), keyTonic(key)) << key;
    }
    EXPECT_EQ(parseKeyName(entries[keyEntry(-3)]), -3);
    EXPECT_EQ(keyEntry(0), 0);
    EXPECT_EQ(keyEntry(1), 7);
}

TEST(SettingsValues, ListsOfRatesAndRanges) {
    EXPECT_EQ(sampleRateEntry(0), 0);
    EXPECT_EQ(sampleRateEntry(48000), 2);
    EXPECT_EQ(sampleRateEntry(96000), 0);
    EXPECT_EQ(sampleRateOfEntry(1), 44100u);
    EXPECT_EQ(sampleRateOfEntry(-1), 0u);
    EXPECT_EQ(inTuneEntry(1), 0);
    EXPECT_EQ(inTuneEntry(10), 9);
    EXPECT_EQ(inTuneEntry(0), 0);
}

TEST(SettingsValues, CalibrationResultsBecomeClampedCents) {
    EXPECT_NEAR(biasOfMeasuredRate(44100.0 * std::pow(2.0, 5.0 / 1200), 44100), 5.0, 1e-9);
    EXPECT_NEAR(biasOfCapturedRatio(std::pow(2.0, -12.5 / 1200)), -12.5, 1e-9);
    EXPECT_EQ(biasOfMeasuredRate(48000, 44100), 100.0);
    EXPECT_EQ(biasOfCapturedRatio(0.5), -100.0);
    EXPECT_EQ(biasOfMeasuredRate(44100, 0), 0.0);
    EXPECT_EQ(centsText(-100.0), L"-100.00");
    EXPECT_EQ(biasFromText(centsText(-100.0).c_str()), -10000);
}

TEST(SettingsValues, DeviceEntriesAreFoundByTheirStoredKeys) {
    const wchar_t* const keys[] = {L"", L"{AB-1}", L"Speaker", L"{cd-2}", L"Speaker"};
    EXPECT_EQ(deviceEntryForKey(keys, 5, L"{ab-1}", KeyComparison::ignoringCase), 1);
    EXPECT_EQ(deviceEntryForKey(keys, 5, L"{ab-1}", KeyComparison::exact), 0);
    EXPECT_EQ(deviceEntryForKey(keys, 5, L"Speaker", KeyComparison::exact), 2);
    EXPECT_EQ(deviceEntryForKey(keys, 5, L"Speak", KeyComparison::exact), 0);
    EXPECT_EQ(deviceEntryForKey(keys, 5, L"", KeyComparison::exact), 0);
    EXPECT_EQ(deviceEntryForKey(keys, 3, L"{CD-2}", KeyComparison::ignoringCase), 0)
        << "a device that left the list";
}

TEST(SettingsValues, ListsOfferSectionsWithShortNames) {
    TemperamentDigest digest = {
        {L"A", L""}, {std::wstring(127, L'x'), L""}, {std::wstring(128, L'y'), L""}, {L"B", L"c"}};
    EXPECT_EQ(listableSections(&digest), (std::vector<size_t>{0, 1, 3}));
    EXPECT_TRUE(listableSections(nullptr).empty());
}

} // namespace
} // namespace tonvale
