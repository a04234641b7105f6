// The settings copy the dialog edits: what it shows of the active tuning,
// and what confirming it rebuilds, with the sample "scale.ini" and "note.ini".
#include "dialogs/settings/settings_copy.h"

#include "support/ui_text.h"
#include "support/utf16.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace tonvale {
namespace {

TuningFiles sampleFiles() {
    const std::string root = std::string(TONVALE_RESOURCES_DIR) + "/tuning/";
    return {utf8ToWide(root + "scale.ini"), utf8ToWide(root + "note.ini")};
}

void expectSameMain(const MainSettings& a, const MainSettings& b) {
    EXPECT_EQ(a.autoStart, b.autoStart);
    EXPECT_EQ(a.findFundamental, b.findFundamental);
    EXPECT_EQ(a.useLongFFT, b.useLongFFT);
    EXPECT_EQ(a.microphoneOnly, b.microphoneOnly);
    EXPECT_EQ(a.useSystemFont, b.useSystemFont);
    EXPECT_EQ(a.frequencyOfA4, b.frequencyOfA4);
    EXPECT_EQ(a.halfToneShift, b.halfToneShift);
    EXPECT_EQ(a.dBInputThreshold, b.dBInputThreshold);
    EXPECT_EQ(a.humSupress, b.humSupress);
    EXPECT_EQ(a.inTuneRange, b.inTuneRange);
    EXPECT_STREQ(a.inDeviceName, b.inDeviceName);
    EXPECT_EQ(a.inClockAdjust, b.inClockAdjust);
    EXPECT_STREQ(a.outDeviceName, b.outDeviceName);
    EXPECT_EQ(a.outClockAdjust, b.outClockAdjust);
    EXPECT_EQ(a.deviceSampleRate, b.deviceSampleRate);
    EXPECT_STREQ(a.scaleSection, b.scaleSection);
    EXPECT_EQ(a.scaleKey, b.scaleKey);
    EXPECT_STREQ(a.noteSection, b.noteSection);
}

class SettingsCopyTest : public ::testing::Test {
  protected:
    void SetUp() override { loadTable(kEnglishTable); }

    // Settings whose stored tuning is built from the sample files.
    TunerSettings settingsWith(const wchar_t* section, int key, const wchar_t* note) {
        TunerSettings settings;
        std::wcsncpy(settings.main.scaleSection, section, kSectionNameCapacity - 1);
        settings.main.scaleKey = static_cast<int16_t>(key);
        std::wcsncpy(settings.main.noteSection, note, kSectionNameCapacity - 1);
        rebuildTuning(settings, files);
        return settings;
    }

    TuningFiles files = sampleFiles();
};

TEST_F(SettingsCopyTest, ConfirmingAnUnchangedCopyChangesNothing) {
    TunerSettings settings = settingsWith(L"Meantone 1/4 comma", 2, L"Bb Clarinet");
    settings.main.frequencyOfA4 = 442;
    settings.main.halfToneShift = -3;
    settings.main.inClockAdjust = -1234;
    settings.main.humSupress = 5000;
    std::wcscpy(settings.main.inDeviceName, L"{0.0.1.00000000}.{guid}");
    settings.rememberMainWindowPosition = true;
    TunerSettings confirmed = settings;
    applySettingsCopy(takeSettingsCopy(settings, files), confirmed, files);

    expectSameMain(confirmed.main, settings.main);
    EXPECT_TRUE(confirmed.rememberMainWindowPosition);
    ASSERT_TRUE(confirmed.temperament);
    EXPECT_EQ(confirmed.temperament->name(), L"Meantone 1/4 comma");
    EXPECT_EQ(confirmed.temperament->key(), 2);
    ASSERT_TRUE(confirmed.noteNaming);
    EXPECT_EQ(confirmed.noteNaming->name(), L"Bb Clarinet");
    EXPECT_TRUE(confirmed.displaySpelling == settings.displaySpelling);
}

TEST_F(SettingsCopyTest, CopyShowsTheActiveTuningNotTheStoredNames) {
    // A section that cannot be used leaves no temperament: the dialog shows
    // equal temperament in the stored key, and the stored name survives
    // until the dialog is confirmed.
    TunerSettings settings = settingsWith(L"No such temperament", 3, L"No such naming");
    ASSERT_FALSE(settings.temperament);
    SettingsCopy copy = takeSettingsCopy(settings, files);
    EXPECT_EQ(copy.scaleSection, L"");
    EXPECT_EQ(copy.key, 3);
    EXPECT_EQ(copy.noteSection, L"");
    ASSERT_TRUE(copy.scaleDigest);
    EXPECT_GT(copy.scaleDigest->size(), 10u);
    ASSERT_TRUE(copy.noteDigest);
    EXPECT_GT(copy.noteDigest->size(), 5u);

    applySettingsCopy(copy, settings, files);
    EXPECT_STREQ(settings.main.scaleSection, L"");
    ASSERT_TRUE(settings.temperament) << "key 3 alone is an equal temperament in A";
    EXPECT_EQ(settings.temperament->keyLabel(), L"Equal Temp. [A]");
}

TEST_F(SettingsCopyTest, EqualTemperamentInCLeavesNoTemperament) {
    TunerSettings settings = settingsWith(L"Werckmeister III", 0, L"");
    SettingsCopy copy = takeSettingsCopy(settings, files);
    copy.scaleSection.clear();
    applySettingsCopy(copy, settings, files);
    EXPECT_FALSE(settings.temperament);

    copy.key = 1;
    applySettingsCopy(copy, settings, files);
    ASSERT_TRUE(settings.temperament);
    EXPECT_EQ(settings.temperament->name(), L"");
    EXPECT_EQ(settings.temperament->keyLabel(), L"Equal Temp. [G]");
}

TEST_F(SettingsCopyTest, AnUnusableSectionIsStoredButNotApplied) {
    TunerSettings settings = settingsWith(L"Vallotti", 0, L"");
    SettingsCopy copy = takeSettingsCopy(settings, files);
    copy.scaleSection = L"No such temperament";
    applySettingsCopy(copy, settings, files);
    EXPECT_FALSE(settings.temperament);
    EXPECT_STREQ(settings.main.scaleSection, L"No such temperament");
}

TEST_F(SettingsCopyTest, LongTextsAreCutToTheirFields) {
    TunerSettings settings;
    SettingsCopy copy = takeSettingsCopy(settings, {});
    EXPECT_TRUE(copy.scaleDigest && copy.scaleDigest->empty()) << "no file: an empty digest";
    copy.inDeviceName = std::wstring(200, L'd');
    copy.noteSection = std::wstring(300, L'n');
    applySettingsCopy(copy, settings, {});
    EXPECT_EQ(std::wcslen(settings.main.inDeviceName), kDeviceNameCapacity - 1);
    EXPECT_EQ(std::wcslen(settings.main.noteSection), kSectionNameCapacity - 1);
    EXPECT_FALSE(settings.noteNaming);
}

} // namespace
} // namespace tonvale
