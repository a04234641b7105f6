#include "support/settings/tuner_settings.h"

#include "support/ini_reader.h"
#include "support/program_folders.h"
#include "support/utf16.h"
#include "support/windows_version.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace tonvale {
namespace {

using testing_files::TempFolder;

constexpr uint32_t kWindowsXp = 0x50001;
constexpr uint32_t kVista = 0x60000;
constexpr uint32_t kWindows7 = 0x60001;
constexpr uint32_t kWindows10 = 0xA0000;

const char kDefaultFile[] = "[Tonvale]\r\n"
                            "WindowPosition=\r\n"
                            "LargeSize=1\r\n"
                            "UseSystemFont=1\r\n"
                            "AutoStart=0\r\n"
                            "UseLongFFT=0\r\n"
                            "MicrophoneOnly=0\r\n"
                            "FrequencyOfA4=440\r\n"
                            "HalfToneShift=0\r\n"
                            "FindFundamental=0\r\n"
                            "dBInputThreshold=-60\r\n"
                            "HumSupress=0\r\n"
                            "InTuneRange=3\r\n"
                            "InDeviceName=\r\n"
                            "InDeviceChannels=2\r\n"
                            "InClockAdjust=0\r\n"
                            "OutDeviceName=\r\n"
                            "OutClockAdjust=0\r\n"
                            "DeviceSampleRate=0\r\n"
                            "PopupFlags=0\r\n"
                            "ScaleKey=0\r\n"
                            "EventDrivenExclusiveMode=1\r\n"
                            "[Spectrum View]\r\n"
                            "WindowPosition=\r\n"
                            "ViewSize=256,160\r\n"
                            "FrequencyZoom=0\r\n"
                            "dBOffset=10\r\n"
                            "[Tone Console]\r\n"
                            "WindowPosition=\r\n"
                            "Octave=4\r\n"
                            "dBGain=-10\r\n"
                            "Pause=-2\r\n"
                            "OctaveVisible=2\r\n"
                            "[Debug]\r\n"
                            "EnglishUI=0\r\n"
                            "UseDirect2D=1\r\n";

class Settings : public ::testing::Test {
  protected:
    void TearDown() override { setWindowsVersionForTesting(kWindows10); }

    // Loads text (UTF-8) on the given system with the tuning files of the folder.
    TunerSettings load(const std::string& text, uint32_t version = kWindows10) {
        setWindowsVersionForTesting(version);
        std::string bytes = "\xEF\xBB\xBF" + text;
        IniReader file;
        file.loadBytes(bytes.data(), bytes.size());
        TunerSettings settings;
        loadSettingsFrom(file, files(), settings);
        return settings;
    }

    // Saves and returns the file's content as UTF-8; checks the mark.
    std::string save(TunerSettings& settings, uint32_t version = kWindows10) {
        setWindowsVersionForTesting(version);
        std::wstring path = folder_.wide("tonvale.ini");
        EXPECT_TRUE(saveSettingsTo(settings, path.c_str()));
        std::string bytes = testing_files::readBytes(folder_.file("tonvale.ini"));
        EXPECT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
        std::wstring text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        return wideToUtf8(text);
    }

    TuningFiles files() {
        testing_files::writeBytes(folder_.file("scale.ini"),
                                  "[Meantone]\nComma=SYNTONIC\n4=-1\n[Broken]\nComma=1/0\n");
        testing_files::writeBytes(folder_.file("note.ini"),
                                  "[Clarinet]\nTranspose=Bb\nFormat1=%1\n");
        return {folder_.wide("scale.ini"), folder_.wide("note.ini")};
    }

    TempFolder folder_;
};

TEST_F(Settings, DefaultsAreSavedInTableOrder) {
    TunerSettings settings = load("");
    EXPECT_FALSE(settings.rememberMainWindowPosition);
    EXPECT_FALSE(settings.temperament);
    EXPECT_FALSE(settings.noteNaming);
    EXPECT_EQ(save(settings), kDefaultFile);
}

TEST_F(Settings, ReferencePitchAndSemitoneShift) {
    TunerSettings a = load("[Tonvale]\nFrequencyOfA4=450\nHalfToneShift=-1\n");
    EXPECT_EQ(a.main.frequencyOfA4, 440);
    EXPECT_EQ(a.main.halfToneShift, -1);
    TunerSettings b = load("[Tonvale]\nFrequencyOfA4=450\nHalfToneShift=5\n");
    EXPECT_EQ(b.main.frequencyOfA4, 440);
    EXPECT_EQ(b.main.halfToneShift, 2);
    EXPECT_EQ(load("[Tonvale]\nFrequencyOfA4=200\n").main.frequencyOfA4, 300);
    EXPECT_EQ(load("[Tonvale]\nFrequencyOfA4=600\n").main.frequencyOfA4, 500);
    EXPECT_EQ(load("[Tonvale]\nFrequencyOfA4=70000\n").main.frequencyOfA4, 500);
    EXPECT_EQ(load("[Tonvale]\nFrequencyOfA4=445\nHalfToneShift=0\n").main.frequencyOfA4, 445);
}

TEST_F(Settings, ClampsOfTheMainSection) {
    TunerSettings s = load("[Tonvale]\nLargeSize=0\nAutoStart=7\ndBInputThreshold=-100\n"
                           "HumSupress=12000\nInTuneRange=0\nInDeviceChannels=0\n"
                           "InClockAdjust=-20000\nOutClockAdjust=10001\nPopupFlags=-5\n"
                           "ScaleKey=12\n");
    EXPECT_FALSE(s.main.largeSize);
    EXPECT_TRUE(s.main.autoStart);
    EXPECT_EQ(s.main.dBInputThreshold, -80);
    EXPECT_EQ(s.main.humSupress, 9999);
    EXPECT_EQ(s.main.inTuneRange, 1);
    EXPECT_EQ(s.main.inDeviceChannels, 2);
    EXPECT_EQ(s.main.inClockAdjust, -10000);
    EXPECT_EQ(s.main.outClockAdjust, 10000);
    EXPECT_EQ(s.main.popupFlags, -5);
    EXPECT_EQ(s.main.scaleKey, 11);
    EXPECT_EQ(load("[Tonvale]\nInDeviceChannels=3\n").main.inDeviceChannels, 2);
    EXPECT_EQ(load("[Tonvale]\nInDeviceChannels=1\n").main.inDeviceChannels, 1);
}

TEST_F(Settings, EveryRangeHoldsBothItsEnds) {
    struct Range {
        const char* section;
        const char* key;
        int min;
        int max;
        std::function<int(const TunerSettings&)> value;
    };
    const Range ranges[] = {
        {"Tonvale", "FrequencyOfA4", 300, 500, [](auto& s) { return s.main.frequencyOfA4; }},
        {"Tonvale", "HalfToneShift", -8, 2, [](auto& s) { return s.main.halfToneShift; }},
        {"Tonvale", "dBInputThreshold", -80, -40, [](auto& s) { return s.main.dBInputThreshold; }},
        {"Tonvale", "HumSupress", 0, 9999, [](auto& s) { return s.main.humSupress; }},
        {"Tonvale", "InTuneRange", 1, 10, [](auto& s) { return s.main.inTuneRange; }},
        {"Tonvale", "InClockAdjust", -10000, 10000, [](auto& s) { return s.main.inClockAdjust; }},
        {"Tonvale", "OutClockAdjust", -10000, 10000, [](auto& s) { return s.main.outClockAdjust; }},
        {"Tonvale", "ScaleKey", -11, 11, [](auto& s) { return s.main.scaleKey; }},
        {"Spectrum View", "FrequencyZoom", 0, 3, [](auto& s) { return s.spectrum.frequencyZoom; }},
        {"Spectrum View", "dBOffset", 0, 120, [](auto& s) { return s.spectrum.dBOffset; }},
        {"Tone Console", "dBGain", -20, 0, [](auto& s) { return s.tone.dBGain; }},
        {"Tone Console", "OctaveVisible", 0, 4, [](auto& s) { return s.tone.octaveVisible; }},
    };
    for (const Range& r : ranges) {
        auto loaded = [&](int value) {
            return r.value(load(std::string("[") + r.section + "]\n" + r.key + "=" +
                                std::to_string(value) + "\n"));
        };
        EXPECT_EQ(loaded(r.min - 1), r.min) << r.key;
        EXPECT_EQ(loaded(r.min), r.min) << r.key;
        EXPECT_EQ(loaded(r.max), r.max) << r.key;
        EXPECT_EQ(loaded(r.max + 1), r.max) << r.key;
    }
    TunerSettings small = load("[Spectrum View]\nViewSize=255,159\n");
    EXPECT_EQ(small.spectrum.viewSize.width, 256);
    EXPECT_EQ(small.spectrum.viewSize.height, 160);
    TunerSettings large = load("[Spectrum View]\nViewSize=513,321\n");
    EXPECT_EQ(large.spectrum.viewSize.width, 512);
    EXPECT_EQ(large.spectrum.viewSize.height, 320);
    TunerSettings exact = load("[Spectrum View]\nViewSize=512,160\n");
    EXPECT_EQ(exact.spectrum.viewSize.width, 512);
    EXPECT_EQ(exact.spectrum.viewSize.height, 160);
    EXPECT_EQ(load("[Tone Console]\nOctaveVisible=4\nOctave=9\n").tone.octave, 8);
}

TEST_F(Settings, DeviceNamesAreCut) {
    TunerSettings s =
        load("[Tonvale]\nInDeviceName=" + std::string(100, 'x') +
             "\nOutDeviceName={0.0.0.00000000}.{abc}\nScaleSection=" + std::string(200, 's') +
             "\nNoteSection=" + std::string(200, 'n') + "\n");
    EXPECT_EQ(std::wstring(s.main.inDeviceName), std::wstring(63, L'x'));
    EXPECT_STREQ(s.main.outDeviceName, L"{0.0.0.00000000}.{abc}");
    EXPECT_EQ(std::wstring(s.main.scaleSection), std::wstring(127, L's'));
    EXPECT_EQ(std::wstring(s.main.noteSection), std::wstring(127, L'n'));
}

TEST_F(Settings, SampleRateDependsOnTheSystem) {
    const std::string rate = "[Tonvale]\nDeviceSampleRate=22050\n";
    EXPECT_EQ(load(rate, kWindowsXp).main.deviceSampleRate, 22050u);
    EXPECT_EQ(load(rate, kVista).main.deviceSampleRate, 0u);
    EXPECT_EQ(load("[Tonvale]\nDeviceSampleRate=32000\n", kWindowsXp).main.deviceSampleRate, 0u);
    EXPECT_EQ(load("[Tonvale]\nDeviceSampleRate=-1\n", kWindowsXp).main.deviceSampleRate, 0u);
    for (uint32_t kept : {11025u, 22050u, 44100u, 88200u, 12000u, 24000u, 48000u, 96000u}) {
        EXPECT_EQ(load("[Tonvale]\nDeviceSampleRate=" + std::to_string(kept) + "\n", kWindowsXp)
                      .main.deviceSampleRate,
                  kept);
    }
}

TEST_F(Settings, EventDrivenModeOnlyFromVistaOn) {
    EXPECT_TRUE(load("", kWindows7).main.eventDrivenExclusiveMode);
    EXPECT_FALSE(load("", kVista).main.eventDrivenExclusiveMode);
    EXPECT_FALSE(load("", kWindowsXp).main.eventDrivenExclusiveMode);
    EXPECT_TRUE(
        load("[Tonvale]\nEventDrivenExclusiveMode=1\n", kVista).main.eventDrivenExclusiveMode);
    EXPECT_FALSE(
        load("[Tonvale]\nEventDrivenExclusiveMode=0\n", kWindows7).main.eventDrivenExclusiveMode);
    TunerSettings xp = load("[Tonvale]\nEventDrivenExclusiveMode=1\n", kWindowsXp);
    EXPECT_FALSE(xp.main.eventDrivenExclusiveMode);
    EXPECT_EQ(save(xp, kWindowsXp).find("EventDriven"), std::string::npos);
}

TEST_F(Settings, ToneConsoleClamps) {
    TunerSettings a = load("[Tone Console]\nOctaveVisible=3\nOctave=9\n");
    EXPECT_EQ(a.tone.octaveVisible, 3);
    EXPECT_EQ(a.tone.octave, 7);
    TunerSettings b = load("[Tone Console]\nOctaveVisible=-1\nOctave=0\n");
    EXPECT_EQ(b.tone.octaveVisible, 0);
    EXPECT_EQ(b.tone.octave, 0);
    EXPECT_EQ(load("[Tone Console]\nOctaveVisible=4\nOctave=1\n").tone.octave, 4);
    for (const char* pause : {"0", "1", "5", "-5", "x"})
        EXPECT_EQ(load(std::string("[Tone Console]\nPause=") + pause + "\n").tone.pause, -2);
    for (int pause : {-4, -3, 2, 4})
        EXPECT_EQ(load("[Tone Console]\nPause=" + std::to_string(pause) + "\n").tone.pause, pause);
    EXPECT_EQ(load("[Tone Console]\ndBGain=3\n").tone.dBGain, 0);
}

TEST_F(Settings, SpectrumViewClamps) {
    TunerSettings s = load("[Spectrum View]\nViewSize=100,1000\nFrequencyZoom=4\ndBOffset=-1\n");
    EXPECT_EQ(s.spectrum.viewSize.width, 256);
    EXPECT_EQ(s.spectrum.viewSize.height, 320);
    EXPECT_EQ(s.spectrum.frequencyZoom, 3);
    EXPECT_EQ(s.spectrum.dBOffset, 0);
    TunerSettings half = load("[Spectrum View]\nViewSize=400\n");
    EXPECT_EQ(half.spectrum.viewSize.width, 400);
    EXPECT_EQ(half.spectrum.viewSize.height, 160);
}

TEST_F(Settings, MainWindowPositionAndTheRememberFlag) {
    TunerSettings empty = load("[Tonvale]\nWindowPosition=\n");
    EXPECT_FALSE(empty.rememberMainWindowPosition);
    EXPECT_FALSE(empty.main.windowPosition.isSet());
    EXPECT_NE(save(empty).find("[Tonvale]\r\nWindowPosition=\r\n"), std::string::npos);

    TunerSettings set = load("[Tonvale]\nWindowPosition= -20, 30\n");
    EXPECT_TRUE(set.rememberMainWindowPosition);
    EXPECT_EQ(set.main.windowPosition.x, -20);
    EXPECT_EQ(set.main.windowPosition.y, 30);

    TunerSettings garbage = load("[Tonvale]\nWindowPosition=left\n");
    EXPECT_TRUE(garbage.rememberMainWindowPosition);
    EXPECT_EQ(garbage.main.windowPosition.x, kPositionNotSet);
    EXPECT_EQ(garbage.main.windowPosition.y, kPositionNotSet);
    TunerSettings partial = load("[Tonvale]\nWindowPosition=12 ,5\n");
    EXPECT_EQ(partial.main.windowPosition.x, 12);
    EXPECT_EQ(partial.main.windowPosition.y, kPositionNotSet);
    // The main window's real position is written at exit.
    garbage.main.windowPosition = {100, 200};
    EXPECT_NE(save(garbage).find("WindowPosition=100,200\r\n"), std::string::npos);
}

TEST_F(Settings, OtherWindowPositionsAreWrittenOnlyWhenBothSet) {
    TunerSettings s = load("[Spectrum View]\nWindowPosition=5\n[Tone Console]\n"
                           "WindowPosition=7,-8\n");
    EXPECT_EQ(s.spectrum.windowPosition.x, 5);
    EXPECT_FALSE(s.spectrum.windowPosition.isSet());
    EXPECT_FALSE(s.rememberMainWindowPosition);
    std::string text = save(s);
    EXPECT_NE(text.find("[Spectrum View]\r\nWindowPosition=\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Tone Console]\r\nWindowPosition=7,-8\r\n"), std::string::npos);
}

TEST_F(Settings, TemperamentAndNoteNamingAreBuiltAndKept) {
    TunerSettings s = load("[Tonvale]\nScaleSection=Meantone\nScaleKey=-3\nNoteSection=Clarinet\n");
    ASSERT_TRUE(s.temperament);
    EXPECT_EQ(s.temperament->key(), -3);
    EXPECT_EQ(s.temperament->name(), L"Meantone");
    EXPECT_TRUE(s.currentSpelling == spelling(-3, 3));
    ASSERT_TRUE(s.noteNaming);
    EXPECT_EQ(s.noteNaming->shift(), -2);
    EXPECT_TRUE(s.displaySpelling == spelling(-1, 3)); // Eb seen from Bb: F
    std::string text = save(s);
    EXPECT_NE(text.find("ScaleSection=Meantone\r\nScaleKey=-3\r\nNoteSection=Clarinet\r\n"),
              std::string::npos);
}

TEST_F(Settings, SectionsThatCannotBeBuiltStayInTheFile) {
    TunerSettings s = load("[Tonvale]\nScaleSection=Broken\nScaleKey=2\nNoteSection=Flute\n");
    EXPECT_FALSE(s.temperament);
    EXPECT_FALSE(s.noteNaming);
    EXPECT_TRUE(s.currentSpelling == defaultSpelling());
    EXPECT_TRUE(s.displaySpelling == defaultSpelling());
    std::string text = save(s);
    EXPECT_NE(text.find("ScaleSection=Broken\r\nScaleKey=2\r\nNoteSection=Flute\r\n"),
              std::string::npos);
}

TEST_F(Settings, KeyWithoutSectionIsAnUnnamedEqualTemperament) {
    TunerSettings s = load("[Tonvale]\nScaleKey=1\n");
    ASSERT_TRUE(s.temperament);
    EXPECT_TRUE(s.temperament->name().empty());
    EXPECT_EQ(s.temperament->key(), 1);
    EXPECT_EQ(save(s).find("ScaleSection"), std::string::npos);
}

TEST_F(Settings, RoundTrip) {
    TunerSettings s = load("");
    s.rememberMainWindowPosition = true;
    s.main.windowPosition = {-1920, 40};
    s.main.largeSize = false;
    s.main.frequencyOfA4 = 442;
    s.main.dBInputThreshold = -45;
    s.main.humSupress = 5000;
    std::wcscpy(s.main.inDeviceName, L"{4A1B-\x30DE\x30A4\x30AF}");
    s.main.inDeviceChannels = 1;
    s.main.outClockAdjust = -1234;
    s.main.popupFlags = 3;
    std::wcscpy(s.main.scaleSection, L"Meantone");
    s.main.scaleKey = 5;
    s.main.eventDrivenExclusiveMode = false;
    s.spectrum.windowPosition = {10, 20};
    s.spectrum.viewSize = {300, 200};
    s.spectrum.dBOffset = 60;
    s.tone.octave = 3;
    s.tone.pause = 4;
    s.debug.englishUI = true;
    std::string first = save(s);

    std::wstring path = folder_.wide("tonvale.ini");
    IniReader file;
    ASSERT_TRUE(file.load(path.c_str()));
    TunerSettings back;
    loadSettingsFrom(file, files(), back);
    EXPECT_TRUE(back.rememberMainWindowPosition);
    EXPECT_STREQ(back.main.inDeviceName, s.main.inDeviceName);
    ASSERT_TRUE(back.temperament);
    EXPECT_EQ(back.temperament->key(), 5);
    EXPECT_EQ(save(back), first);
    EXPECT_LT(first.find("[Tonvale]"), first.find("[Spectrum View]"));
    EXPECT_LT(first.find("[Spectrum View]"), first.find("[Tone Console]"));
    EXPECT_LT(first.find("[Tone Console]"), first.find("[Debug]"));
}

TEST_F(Settings, UnwritableTargetFailsQuietly) {
    TunerSettings s;
    std::wstring path = folder_.wide("missing-folder/tonvale.ini");
    EXPECT_FALSE(saveSettingsTo(s, path.c_str()));
}

TEST_F(Settings, TheProgramReadsAndWritesThroughItsFolders) {
    std::filesystem::create_directories(folder_.file("program"));
    const std::wstring separator(1, systemPathSeparator());
    setFolderRootsForTesting(folder_.wide("appdata"), folder_.wide("program") + separator);
    testing_files::writeBytes(folder_.file("program") / "tonvale.ini",
                              "[Tonvale]\nFrequencyOfA4=442\nScaleSection=Meantone\n");
    testing_files::writeBytes(folder_.file("program") / "scale.ini", "[Meantone]\n4=-14\n");
    gTunerSettings = TunerSettings();
    loadSettings(); // the copy beside the program serves until the user has one
    EXPECT_EQ(gTunerSettings.main.frequencyOfA4, 442);
    ASSERT_TRUE(gTunerSettings.temperament);
    EXPECT_EQ(gTunerSettings.temperament->offset(7), -14.0); // E, the lowered third of C

    gTunerSettings.main.frequencyOfA4 = 445;
    saveSettings();
    std::wstring saved = settingsSavePath(L"tonvale.ini");
    ASSERT_FALSE(saved.empty());
    IniReader file;
    ASSERT_TRUE(file.load(saved.c_str()));
    ASSERT_TRUE(file.selectSection("Tonvale"));
    EXPECT_EQ(file.getInt("FrequencyOfA4", 0), 445);

    gTunerSettings = TunerSettings();
    loadSettings();
    EXPECT_EQ(gTunerSettings.main.frequencyOfA4, 445);
    EXPECT_TRUE(gTunerSettings.temperament);
    setFolderRootsForTesting(L"", L"");
    gTunerSettings = TunerSettings();
}

} // namespace
} // namespace tonvale
