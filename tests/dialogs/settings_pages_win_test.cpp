// The three settings pages on the rig's display, driven through their
// controls: what they show of a settings copy, what they store back, the
// rules between their controls, the device lists, keyboard order and fit.
#include "dialogs/settings/settings_pages_win.h"
#include "dialogs/settings/settings_values.h"

#include "app/message_box_win.h"
#include "devices/device_catalogue_win.h"
#include "devices/sound_device_notify_win.h"
#include "support/text_format.h"
#include "support/ui_text.h"
#include "support/utf16.h"
#include "support/windows_version.h"
#include "tests/dialogs/settings_page_harness_win.h"
#include "tests/rig/host_command_win.h"
#include "tests/ui_kit/ui_test_kit_win.h"
#include "tuning/temperament.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace tonvale {
namespace {

using testing_settings::PageHarness;

std::wstring resource(const char* name) {
    return utf8ToWide(std::string(TONVALE_RESOURCES_DIR) + "/tuning/" + name);
}

// The sample "scale.ini" and one section that cannot be used (its comma is
// not positive).
std::wstring scaleWithUnusableSection() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"settings-pages-scale.ini";
    std::ifstream sample(std::filesystem::path(resource("scale.ini")), std::ios::binary);
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out << sample.rdbuf() << "\r\n[Broken comma]\r\nComment=Unusable on purpose\r\nComma=0\r\n"
        << "0=0\r\n1=1\r\n";
    return path;
}

std::string narrow(const std::wstring& text) {
    return wideToUtf8(text);
}

class SettingsPages : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        loadTable(kEnglishTable);
        font_ = testing_settings::messageFont().release();
        gProcess.uiFont = font_;
        DialogBuilder::setScreenDpi(0);
    }

    void SetUp() override {
        data.files = {scaleWithUnusableSection(), resource("note.ini")};
        data.font = font_;
        TunerSettings settings;
        settings.main.frequencyOfA4 = 442;
        settings.main.dBInputThreshold = -55;
        settings.main.autoStart = true;
        settings.main.useLongFFT = true;
        std::wcscpy(settings.main.scaleSection, L"Meantone 1/4 comma");
        settings.main.scaleKey = 2;
        std::wcscpy(settings.main.noteSection, L"Eb Alto Saxophone");
        settings.main.inTuneRange = 5;
        settings.main.inClockAdjust = -1234;
        settings.main.outClockAdjust = 250;
        rebuildTuning(settings, data.files);
        data.copy = takeSettingsCopy(settings, data.files);
    }

    static HFONT font_;
    SettingsPageData data;
};
HFONT SettingsPages::font_ = nullptr;

TEST_F(SettingsPages, TuningPageShowsTheCopyAndStoresItBackUnchanged) {
    PageHarness tuning(kSettingsPages[0], data);
    ASSERT_TRUE(tuning.measured());
    EXPECT_TRUE(tuning.checked(kPowerOnInitiallyId));
    EXPECT_FALSE(tuning.checked(kHarmonicsAwareId));
    EXPECT_TRUE(tuning.checked(kReduceNeedleSwayId));
    EXPECT_EQ(tuning.text(kFrequencyOfA4Id), L"442");
    EXPECT_TRUE(tuning.enabled(kFrequencyOfA4Id));
    EXPECT_FALSE(tuning.enabled(kShiftListId));
    EXPECT_EQ(tuning.entries(kShiftListId), kShiftEntries);
    EXPECT_EQ(tuning.selectedText(kShiftListId), L"0 down (440.0 Hz)");
    EXPECT_EQ(tuning.entry(kShiftListId, 10), L"8 down (277.2 Hz)");
    EXPECT_EQ(SendMessageW(tuning.control(kSensitivityId), TBM_GETPOS, 0, 0), 11);
    EXPECT_EQ(tuning.selectedText(kTemperamentId), L"Meantone 1/4 comma");
    EXPECT_FALSE(tuning.text(kTemperamentCommentId).empty());
    EXPECT_TRUE(tuning.enabled(kInformationId));
    EXPECT_EQ(tuning.selectedText(kKeyId), L"D");
    // Sorted, with "(Equal Temperament)" and the unusable section listed too.
    EXPECT_GE(SendMessageW(tuning.control(kTemperamentId), CB_FINDSTRINGEXACT,
                           static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Broken comma")),
              0);

    const SettingsCopy before = data.copy;
    EXPECT_EQ(tuning.apply(), PSNRET_NOERROR);
    EXPECT_EQ(data.copy.frequencyOfA4, 442);
    EXPECT_EQ(data.copy.halfToneShift, 0);
    EXPECT_EQ(data.copy.dBInputThreshold, -55);
    EXPECT_EQ(data.copy.scaleSection, before.scaleSection);
    EXPECT_EQ(data.copy.key, 2);
    EXPECT_TRUE(data.copy.autoStart);
    EXPECT_TRUE(data.copy.useLongFFT);
}

TEST_F(SettingsPages, TuningPageClampsAndFollowsTheShiftRules) {
    PageHarness tuning(kSettingsPages[0], data);
    tuning.type(kFrequencyOfA4Id, L"250");
    tuning.apply();
    EXPECT_EQ(data.copy.frequencyOfA4, 300);
    tuning.type(kFrequencyOfA4Id, L"");
    tuning.apply();
    EXPECT_EQ(data.copy.frequencyOfA4, 440);

    tuning.type(kFrequencyOfA4Id, L"415");
    tuning.click(kSemitoneShiftId);
    EXPECT_EQ(tuning.text(kFrequencyOfA4Id), L"440");
    EXPECT_FALSE(tuning.enabled(kFrequencyOfA4Id));
    EXPECT_TRUE(tuning.enabled(kShiftListId));
    tuning.chooseText(kShiftListId, L"3 down (370.0 Hz)");
    tuning.apply();
    EXPECT_EQ(data.copy.halfToneShift, -3);
    EXPECT_EQ(data.copy.frequencyOfA4, 440);

    tuning.click(kSemitoneShiftId);
    EXPECT_TRUE(tuning.enabled(kFrequencyOfA4Id));
    EXPECT_FALSE(tuning.enabled(kShiftListId));
    tuning.apply();
    EXPECT_EQ(data.copy.halfToneShift, 0);

    HWND slider = tuning.control(kSensitivityId);
    SendMessageW(slider, TBM_SETPOS, TRUE, kSliderMin);
    tuning.apply();
    EXPECT_EQ(data.copy.dBInputThreshold, -40);
    SendMessageW(slider, TBM_SETPOS, TRUE, kSliderMax);
    tuning.apply();
    EXPECT_EQ(data.copy.dBInputThreshold, -80);

    tuning.chooseText(kKeyId, L"Eb (D#)");
    tuning.chooseText(kTemperamentId, L"(Equal Temperament)");
    EXPECT_EQ(tuning.text(kTemperamentCommentId), L"");
    EXPECT_FALSE(tuning.enabled(kInformationId));
    tuning.apply();
    EXPECT_EQ(data.copy.scaleSection, L"");
    EXPECT_EQ(data.copy.key, -3);
}

// Clicks "Information..." and returns the text of the message box it opens.
std::wstring informationShown(const PageHarness& tuning) {
    std::wstring shown;
    std::thread reader([&] {
        HWND box = uikit::waitForWindow(uikit::kDialogClass, L"Tonvale");
        if (!box)
            return;
        shown = uikit::windowText(GetDlgItem(box, kMessageBoxTextId));
        PostMessageW(GetDlgItem(box, kMessageBoxFirstButtonId), BM_CLICK, 0, 0);
    });
    tuning.click(kInformationId);
    reader.join();
    return shown;
}

TEST_F(SettingsPages, InformationDescribesTheSectionInTheChosenKey) {
    PageHarness tuning(kSettingsPages[0], data);
    tuning.chooseText(kKeyId, L"Eb (D#)");
    const std::wstring expected =
        describeFile(data.files.scaleIni.c_str(), L"Meantone 1/4 comma", -3);
    EXPECT_EQ(informationShown(tuning), expected);

    tuning.chooseText(kTemperamentId, L"Broken comma");
    EXPECT_EQ(tuning.text(kTemperamentCommentId), L"Unusable on purpose");
    const std::wstring unusable = formatString(UiText(167), L"Broken comma");
    EXPECT_NE(informationShown(tuning).find(unusable), std::wstring::npos) << narrow(unusable);
}

TEST_F(SettingsPages, DisplayPageShowsAndStoresItsValues) {
    PageHarness display(kSettingsPages[1], data);
    ASSERT_TRUE(display.measured());
    EXPECT_EQ(display.entries(kInTuneRangeId), 10);
    EXPECT_EQ(display.selectedText(kInTuneRangeId), L"5");
    EXPECT_EQ(display.selectedText(kNoteSubtitleId), L"Eb Alto Saxophone");
    EXPECT_FALSE(display.text(kNoteCommentId).empty());
    EXPECT_FALSE(display.checked(kSaveWindowPositionId));

    display.choose(kInTuneRangeId, 9);
    display.chooseText(kNoteSubtitleId, L"(None)");
    EXPECT_EQ(display.text(kNoteCommentId), L"");
    display.click(kSaveWindowPositionId);
    display.apply();
    EXPECT_EQ(data.copy.inTuneRange, 10);
    EXPECT_EQ(data.copy.noteSection, L"");
    EXPECT_TRUE(data.copy.rememberMainWindowPosition);
}

TEST_F(SettingsPages, DevicePageConvertsBiasHumAndRate) {
    data.copy.humSupress = 6000;
    PageHarness device(kSettingsPages[2], data);
    ASSERT_TRUE(device.measured());
    EXPECT_EQ(device.text(kInputBiasId), L"-12.34");
    EXPECT_EQ(device.text(kOutputBiasId), L"+2.50");
    EXPECT_TRUE(device.checked(kHumFilterId));
    EXPECT_EQ(device.text(kHumFrequencyId), L"60.00");
    EXPECT_EQ(device.selectedText(kSampleRateId), L"(Default)");
    EXPECT_EQ(device.enabled(kSampleRateId), !isWindowsVistaOrLater());
    // The program's calibration dialogs; the measurements need the
    // performance counter, which is there.
    EXPECT_TRUE(device.enabled(kMeasureInputId));
    EXPECT_TRUE(device.enabled(kCaptureInputId));
    EXPECT_TRUE(device.enabled(kMeasureOutputId));

    device.type(kInputBiasId, L"123.456");
    device.type(kOutputBiasId, L"-0.005");
    device.type(kHumFrequencyId, L"100");
    device.apply();
    EXPECT_EQ(data.copy.inClockAdjust, 10000);
    EXPECT_EQ(data.copy.outClockAdjust, 0);
    EXPECT_EQ(data.copy.humSupress, 9999);

    device.click(kHumFilterId);
    EXPECT_FALSE(device.enabled(kHumFrequencyId));
    device.apply();
    EXPECT_EQ(data.copy.humSupress, 0);
    device.click(kHumFilterId);
    EXPECT_TRUE(device.enabled(kHumFrequencyId));
    device.type(kHumFrequencyId, L"-3");
    device.apply();
    EXPECT_EQ(data.copy.humSupress, 0);
}

// Fake calibration dialogs: the device's clock runs 7.5 cents fast.
double gMeasuredNominal = 0.0;
double fakeMeasure(HWND, uint32_t nominalRate, int bits, int32_t, const wchar_t*) {
    gMeasuredNominal = nominalRate;
    return bits == 16 ? nominalRate * std::pow(2.0, 7.5 / 1200) : 0.0;
}
double fakeCancelledMeasure(HWND, uint32_t, int, int32_t, const wchar_t*) {
    return 0.0;
}
double fakeCapture(HWND, int32_t, const wchar_t*, uint32_t) {
    return std::pow(2.0, 250.0 / 1200);
}

TEST_F(SettingsPages, CalibrationResultsLandInTheBiasFields) {
    data.calibration = {fakeMeasure, fakeCancelledMeasure, fakeCapture};
    PageHarness device(kSettingsPages[2], data);
    ASSERT_TRUE(device.enabled(kMeasureInputId)) << "Wine has a performance counter";
    device.click(kMeasureInputId);
    EXPECT_EQ(device.text(kInputBiasId), L"+7.50");
    EXPECT_EQ(gMeasuredNominal, defaultSampleRate(DeviceDirection::capture, -1));
    device.click(kMeasureOutputId);
    EXPECT_EQ(device.text(kOutputBiasId), L"+2.50") << "a cancelled run changes nothing";
    device.click(kCaptureInputId);
    EXPECT_EQ(device.text(kInputBiasId), L"+100.00") << "clamped";
    device.apply();
    EXPECT_EQ(data.copy.inClockAdjust, 10000);
}

// A catalogue whose capture devices come and go as the test says; Wine's
// own list stays as it was when the process started (see below).
std::vector<SoundDevice> gFakeCapture;
std::vector<SoundDevice> fakeLists(DeviceDirection direction) {
    return direction == DeviceDirection::capture ? gFakeCapture : deviceList(direction);
}
SoundDevice fakeDevice(int32_t index, const wchar_t* key, const wchar_t* name) {
    SoundDevice device;
    device.index = index;
    std::wcscpy(device.key, key);
    std::wcscpy(device.name, name);
    return device;
}

TEST_F(SettingsPages, DeviceNoticesRebuildAListAndKeepItsChoice) {
    gFakeCapture = {fakeDevice(-1, L"", L"(Default Device)"), fakeDevice(0, L"{A}", L"Mic A"),
                    fakeDevice(1, L"{B}", L"Line B")};
    data.deviceLists = fakeLists;
    // Endpoint GUIDs are found whatever their letter case; product names exactly.
    data.copy.inDeviceName = isWindowsVistaOrLater() ? L"{b}" : L"{B}";
    PageHarness device(kSettingsPages[2], data);
    EXPECT_EQ(device.selectedText(kInputDeviceId), L"Line B");

    // B moves to another index when A goes: it stays chosen.
    gFakeCapture.erase(gFakeCapture.begin() + 1);
    PostMessageW(device.page(), kDeviceChangeNotice, 1, 0);
    uikit::waitUntil([&] { return device.entries(kInputDeviceId) == 2; }, 2000);
    EXPECT_EQ(device.selectedText(kInputDeviceId), L"Line B");
    // A default-device notice and a playback notice leave the capture list alone.
    gFakeCapture.push_back(fakeDevice(1, L"{C}", L"Mic C"));
    PostMessageW(device.page(), kDeviceChangeNotice, kDefaultDeviceNotice | 1, 0);
    PostMessageW(device.page(), kDeviceChangeNotice, 0, 0);
    uikit::waitUntil([] { return false; }, 200);
    EXPECT_EQ(device.entries(kInputDeviceId), 2);
    // B goes: the default device is chosen.
    gFakeCapture.erase(gFakeCapture.begin() + 1);
    PostMessageW(device.page(), kDeviceChangeNotice, 1, 0);
    uikit::waitUntil([&] { return device.selection(kInputDeviceId) == 0; }, 2000);
    EXPECT_EQ(device.entries(kInputDeviceId), 2);
    EXPECT_EQ(device.selectedText(kInputDeviceId), L"(Default Device)");
    device.apply();
    EXPECT_EQ(data.copy.inDeviceName, L"");
}

TEST_F(SettingsPages, SoundServerChangesWhileThePageIsOpen) {
    // The real catalogue, with the rig's server gaining and losing a sink.
    // Wine 8 fixes its device list when the process first asks and sends no
    // notices for such changes; the page must still stay consistent, and a
    // notice (as the audio service sends it) rebuilds the lists.
    const std::vector<SoundDevice> playback = deviceList(DeviceDirection::playback);
    ASSERT_GE(playback.size(), 2u);
    data.copy.outDeviceName = playback.back().key;
    PageHarness device(kSettingsPages[2], data);
    const int chosen = device.selection(kOutputDeviceId);
    EXPECT_EQ(chosen, static_cast<int>(playback.size()) - 1);

    using testing_rig::runHostCommand;
    ASSERT_EQ(runHostCommand(L"pactl load-module module-null-sink sink_name=settings_extra "
                             L">/dev/null"),
              0);
    uikit::waitUntil([] { return false; }, 1500);
    ASSERT_EQ(runHostCommand(L"pactl unload-module $(pactl list short modules | "
                             L"awk '/sink_name=settings_extra/ {print $1}')"),
              0);
    uikit::waitUntil([] { return false; }, 1500);
    for (WPARAM flow : {WPARAM{0}, WPARAM{1}, WPARAM{2}})
        PostMessageW(device.page(), kDeviceChangeNotice, flow, 0);
    uikit::waitUntil([] { return false; }, 200);

    for (DeviceDirection direction : {DeviceDirection::capture, DeviceDirection::playback}) {
        const int id = direction == DeviceDirection::capture ? kInputDeviceId : kOutputDeviceId;
        const std::vector<SoundDevice> now = deviceList(direction);
        ASSERT_EQ(device.entries(id), static_cast<int>(now.size()));
        for (size_t i = 0; i < now.size(); ++i)
            EXPECT_EQ(device.entry(id, static_cast<int>(i)), now[i].name) << i;
    }
    EXPECT_EQ(device.selectedText(kOutputDeviceId), playback.back().name);
    device.apply();
    EXPECT_EQ(data.copy.outDeviceName, playback.back().key);
}

// The control that has the focus, by id (the edit of a combo box counts as
// the combo box).
int focusedId() {
    HWND focus = GetFocus();
    HWND parent = focus ? GetParent(focus) : nullptr;
    if (parent && uikit::windowClass(parent) == L"ComboBox")
        focus = parent;
    return focus ? GetDlgCtrlID(focus) : 0;
}

// Presses a key with the frame's dialog navigation and gives the focus after it.
int pressInFrame(HWND frame, WORD key, std::initializer_list<WORD> modifiers = {}) {
    uikit::pressKey(key, modifiers);
    uikit::waitUntil(
        [&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageW(frame, &message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            return false;
        },
        100, uikit::Pump::no);
    return focusedId();
}

TEST_F(SettingsPages, TabAndArrowsFollowTheControlTable) {
    struct Walk {
        int page;
        std::vector<int> tabOrder; // enabled tab stops, from the first control
    };
    const Walk walks[] = {
        {0,
         {kPowerOnInitiallyId, kHarmonicsAwareId, kReduceNeedleSwayId, kMicInSwitchId,
          kSensitivityId, kFrequencyOfA4Id, kSemitoneShiftId, kTemperamentId, kTemperamentCommentId,
          kKeyId, kInformationId}},
        {1,
         {kInTuneRangeId, kNoteSubtitleId, kNoteCommentId, kSaveWindowPositionId, kSystemFontId}},
        {2,
         {kInputDeviceId, kInputBiasId, kMeasureInputId, kCaptureInputId, kOutputDeviceId,
          kOutputBiasId, kMeasureOutputId, kHumFilterId,
          isWindowsVistaOrLater() ? kInputDeviceId : kSampleRateId}},
    };
    for (const Walk& walk : walks) {
        PageHarness harness(kSettingsPages[walk.page], data);
        ASSERT_TRUE(uikit::bringToFront(harness.frame()));
        SetFocus(harness.control(walk.tabOrder.front()));
        std::vector<int> visited = {focusedId()};
        for (size_t i = 1; i < walk.tabOrder.size(); ++i)
            visited.push_back(pressInFrame(harness.frame(), VK_TAB));
        EXPECT_EQ(visited, walk.tabOrder) << "page " << walk.page;
        // Shift+Tab goes back the same way.
        EXPECT_EQ(pressInFrame(harness.frame(), VK_TAB, {VK_SHIFT}),
                  walk.tabOrder[walk.tabOrder.size() - 2])
            << "page " << walk.page;
    }

    // Arrows move within a run of check boxes and wrap at its end.
    PageHarness tuning(kSettingsPages[0], data);
    ASSERT_TRUE(uikit::bringToFront(tuning.frame()));
    SetFocus(tuning.control(kPowerOnInitiallyId));
    EXPECT_EQ(pressInFrame(tuning.frame(), VK_DOWN), kHarmonicsAwareId);
    EXPECT_EQ(pressInFrame(tuning.frame(), VK_UP), kPowerOnInitiallyId);
    EXPECT_EQ(pressInFrame(tuning.frame(), VK_UP), kMicInSwitchId);
    // Space toggles the focused box; a typed reference pitch is clamped.
    pressInFrame(tuning.frame(), VK_SPACE);
    SetFocus(tuning.control(kFrequencyOfA4Id));
    pressInFrame(tuning.frame(), 'A', {VK_CONTROL});
    for (WORD digit : {'2', '5', '0'})
        pressInFrame(tuning.frame(), digit);
    EXPECT_EQ(tuning.text(kFrequencyOfA4Id), L"250");
    tuning.apply();
    EXPECT_EQ(data.copy.frequencyOfA4, 300);
    EXPECT_TRUE(data.copy.microphoneOnly);
}

} // namespace
} // namespace tonvale

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    tonvale::ComInitialization com(COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    tonvale::uikit::drawOwnFrames();
    return RUN_ALL_TESTS();
}
