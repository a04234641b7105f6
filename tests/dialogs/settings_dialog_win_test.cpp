// The settings dialog as the main window runs it, on the rig's display: OK
// writes the copy back and rebuilds the tuning, Cancel changes nothing, an
// unusable temperament is explained and not applied, the dialog opens on the
// page it closed on; screenshots of every page and texts that fit.
#include "dialogs/settings/settings_dialog_win.h"

#include "app/message_box_win.h"
#include "app/process_context_win.h"
#include "support/program_folders.h"
#include "support/settings/tuner_settings.h"
#include "support/text_format.h"
#include "support/ui_text.h"
#include "support/utf16.h"
#include "support/windows_version.h"
#include "tests/dialogs/settings_page_harness_win.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tonvale {
namespace {

constexpr const wchar_t* kTest = L"dialogs_settings_dialog_test";
int gTable = kEnglishTable;

std::string narrow(const std::wstring& text) {
    return wideToUtf8(text);
}

// A program folder with the sample "note.ini" and a "scale.ini" that adds a
// section whose comma is not positive, and an empty settings folder.
class TuningFolder {
  public:
    TuningFolder() {
        const std::filesystem::path root =
            std::filesystem::temp_directory_path() / "tonvale-settings-dialog";
        std::filesystem::create_directories(root / "program");
        std::filesystem::create_directories(root / "appdata");
        const std::filesystem::path samples =
            std::filesystem::path(utf8ToWide(TONVALE_RESOURCES_DIR)) / "tuning";
        std::ifstream scale(samples / "scale.ini", std::ios::binary);
        std::ofstream out(root / "program" / "scale.ini", std::ios::binary | std::ios::trunc);
        out << scale.rdbuf() << "\r\n[Broken comma]\r\nComment=Unusable on purpose\r\nComma=0\r\n";
        out.close();
        std::filesystem::copy_file(samples / "note.ini", root / "program" / "note.ini",
                                   std::filesystem::copy_options::overwrite_existing);
        setFolderRootsForTesting((root / "appdata").wstring() + L"\\",
                                 (root / "program").wstring() + L"\\");
    }
    ~TuningFolder() { setFolderRootsForTesting(L"", L""); }
};

class SettingsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gTunerSettings = TunerSettings();
        rebuildTuning(gTunerSettings, findTuningFiles());
        owner_ =
            CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE | WS_BORDER, 200, 150,
                            300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        gProcess.mainWindow = owner_;
    }
    void TearDown() override {
        gProcess.mainWindow = nullptr;
        DestroyWindow(owner_);
    }

    // Runs the dialog while drive(host) acts on it from another thread; a
    // dialog the driver leaves open is cancelled.
    bool run(const std::function<void(HWND)>& drive) {
        std::thread driver([&] {
            HWND host = uikit::waitForWindow(uikit::kDialogClass, UiText(16), 5000);
            if (!host)
                return;
            uikit::bringToFront(host);
            drive(host);
            if (!uikit::waitUntil([&] { return !IsWindow(host); }, 1000, uikit::Pump::no))
                PostMessageW(host, WM_COMMAND, IDCANCEL, 0);
        });
        const bool changed = runSettingsDialog(owner_);
        driver.join();
        return changed;
    }

    static int currentTab(HWND host) {
        return static_cast<int>(SendDlgItemMessageW(host, kTabControlId, TCM_GETCURSEL, 0, 0));
    }
    // Ctrl+Tab, as typed, and waits for the next page.
    static bool nextPage(HWND host) {
        const int before = currentTab(host);
        uikit::pressKey(VK_TAB, {VK_CONTROL});
        return uikit::waitUntil([&] { return currentTab(host) != before; }, 5000, uikit::Pump::no);
    }
    // Ctrl+Tab until the page is shown (the dialog opens where it was left).
    static void showPage(HWND host, int page) {
        for (int i = 0; i < 3 && currentTab(host) != page; ++i)
            nextPage(host);
    }
    static HWND control(HWND host, int id) { return uikit::findControl(host, id); }
    // A choice in a list, with the notice the list sends its page.
    static void choose(HWND host, int id, const wchar_t* text) {
        HWND list = control(host, id);
        const LRESULT entry = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text));
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    static void type(HWND host, int id, const wchar_t* text) {
        SendMessageW(control(host, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    static void press(HWND host, int id) { PostMessageW(control(host, id), BM_CLICK, 0, 0); }
    static void confirm(HWND host) { PostMessageW(host, WM_COMMAND, IDOK, 0); }
    static void cancel(HWND host) { PostMessageW(host, WM_COMMAND, IDCANCEL, 0); }

    TuningFolder folder_;
    HWND owner_ = nullptr;
};

TEST_F(SettingsDialogTest, OkWritesTheCopyBackAndRebuildsTheTuning) {
    const bool changed = run([&](HWND host) {
        showPage(host, 0);
        type(host, kFrequencyOfA4Id, L"442");
        choose(host, kTemperamentId, L"Meantone 1/4 comma");
        choose(host, kKeyId, L"G");
        nextPage(host);
        choose(host, kNoteSubtitleId, L"Bb Clarinet");
        confirm(host);
    });
    ASSERT_TRUE(changed);
    EXPECT_EQ(gTunerSettings.main.frequencyOfA4, 442);
    EXPECT_STREQ(gTunerSettings.main.scaleSection, L"Meantone 1/4 comma");
    EXPECT_EQ(gTunerSettings.main.scaleKey, 1);
    ASSERT_TRUE(gTunerSettings.temperament);
    EXPECT_EQ(gTunerSettings.temperament->keyLabel(), L"Meantone 1/4 comma [G]");
    ASSERT_TRUE(gTunerSettings.noteNaming);
    EXPECT_EQ(gTunerSettings.noteNaming->name(), L"Bb Clarinet");
    // The Device page was never shown: its values stay as they were.
    EXPECT_EQ(gTunerSettings.main.inClockAdjust, 0);
}

TEST_F(SettingsDialogTest, CancelChangesNothing) {
    std::wcscpy(gTunerSettings.main.scaleSection, L"Vallotti");
    gTunerSettings.main.inClockAdjust = 321;
    rebuildTuning(gTunerSettings, findTuningFiles());
    const TunerSettings before = gTunerSettings;
    const bool changed = run([&](HWND host) {
        showPage(host, 0);
        type(host, kFrequencyOfA4Id, L"415");
        choose(host, kTemperamentId, UiText(35));
        nextPage(host);
        nextPage(host);
        type(host, kInputBiasId, L"-55.5");
        press(host, kHumFilterId);
        cancel(host);
    });
    EXPECT_FALSE(changed);
    EXPECT_EQ(gTunerSettings.main.frequencyOfA4, before.main.frequencyOfA4);
    EXPECT_EQ(gTunerSettings.main.inClockAdjust, 321);
    EXPECT_EQ(gTunerSettings.main.humSupress, before.main.humSupress);
    ASSERT_TRUE(gTunerSettings.temperament);
    EXPECT_EQ(gTunerSettings.temperament->name(), L"Vallotti");
}

TEST_F(SettingsDialogTest, AnUnusableTemperamentIsExplainedAndNotApplied) {
    std::wstring information;
    const bool changed = run([&](HWND host) {
        showPage(host, 0);
        choose(host, kTemperamentId, L"Broken comma");
        press(host, kInformationId);
        HWND box = uikit::waitForWindow(uikit::kDialogClass, L"Tonvale");
        if (box) {
            information = uikit::windowText(GetDlgItem(box, kMessageBoxTextId));
            PostMessageW(GetDlgItem(box, kMessageBoxFirstButtonId), BM_CLICK, 0, 0);
            uikit::waitUntil([&] { return !IsWindow(box); }, 5000, uikit::Pump::no);
        }
        confirm(host);
    });
    EXPECT_EQ(information, formatString(UiText(167), L"Broken comma"));
    ASSERT_TRUE(changed);
    EXPECT_FALSE(gTunerSettings.temperament);
    EXPECT_STREQ(gTunerSettings.main.scaleSection, L"Broken comma");
}

TEST_F(SettingsDialogTest, OpensOnThePageItClosedOn) {
    int opened[3] = {-1, -1, -1};
    run([&](HWND host) {
        showPage(host, 2);
        cancel(host);
    });
    run([&](HWND host) {
        opened[1] = currentTab(host);
        nextPage(host);
        confirm(host);
    });
    run([&](HWND host) { opened[2] = currentTab(host); });
    EXPECT_EQ(opened[1], 2) << "cancelled on Device";
    EXPECT_EQ(opened[2], 0) << "confirmed on Tuning";
}

TEST_F(SettingsDialogTest, AMinimisedOwnerIsRestoredFirst) {
    ShowWindow(owner_, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(owner_));
    bool restored = false;
    run([&](HWND host) {
        restored = !IsIconic(owner_);
        cancel(host);
    });
    EXPECT_TRUE(restored);
}

// The control that has the dialog thread's focus, by id (a combo box's edit
// counts as the combo box).
int focusedId(HWND host) {
    GUITHREADINFO info = {sizeof info};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(host, nullptr), &info) || !info.hwndFocus)
        return 0;
    HWND focus = info.hwndFocus;
    if (uikit::windowClass(GetParent(focus)) == L"ComboBox")
        focus = GetParent(focus);
    return GetDlgCtrlID(focus);
}

// Tab once and waits until the focus has moved.
int tabFrom(HWND host, int before) {
    uikit::pressKey(VK_TAB);
    int now = before;
    uikit::waitUntil([&] { return (now = focusedId(host)) != before; }, 5000, uikit::Pump::no);
    return now;
}

TEST_F(SettingsDialogTest, TabReachesEveryControlOfEachPageInTableOrder) {
    // What takes the focus with the default settings: no semitone shift, no
    // temperament, no hum filter; the calibration buttons are there.
    const std::vector<int> orders[] = {
        {kPowerOnInitiallyId, kHarmonicsAwareId, kReduceNeedleSwayId, kMicInSwitchId,
         kSensitivityId, kFrequencyOfA4Id, kSemitoneShiftId, kTemperamentId, kTemperamentCommentId,
         kKeyId},
        {kInTuneRangeId, kNoteSubtitleId, kNoteCommentId, kSaveWindowPositionId, kSystemFontId},
        isWindowsVistaOrLater()
            ? std::vector<int>{kInputDeviceId, kInputBiasId, kMeasureInputId, kCaptureInputId,
                               kOutputDeviceId, kOutputBiasId, kMeasureOutputId, kHumFilterId}
            : std::vector<int>{kInputDeviceId, kInputBiasId, kMeasureInputId, kCaptureInputId,
                               kOutputDeviceId, kOutputBiasId, kMeasureOutputId, kHumFilterId,
                               kSampleRateId},
    };
    std::vector<int> walked[3];
    run([&](HWND host) {
        for (int page = 0; page < 3; ++page) {
            showPage(host, page);
            // A whole round: the page's controls, OK, Cancel and the tabs.
            int focus = focusedId(host);
            for (size_t i = 0; i < orders[page].size() + 3; ++i) {
                focus = tabFrom(host, focus);
                walked[page].push_back(focus);
            }
        }
        cancel(host);
    });
    for (int page = 0; page < 3; ++page) {
        std::vector<int> onPage;
        for (int id : walked[page])
            if (id >= kPowerOnInitiallyId && id <= kSampleRateId)
                onPage.push_back(id);
        // The round may start anywhere in the page.
        const auto first = std::find(onPage.begin(), onPage.end(), orders[page].front());
        std::rotate(onPage.begin(), first, onPage.end());
        EXPECT_EQ(onPage, orders[page]) << "page " << page;
        EXPECT_EQ(std::count(walked[page].begin(), walked[page].end(), IDOK), 1) << page;
        EXPECT_EQ(std::count(walked[page].begin(), walked[page].end(), IDCANCEL), 1) << page;
        EXPECT_EQ(std::count(walked[page].begin(), walked[page].end(), kTabControlId), 1) << page;
    }
}

TEST_F(SettingsDialogTest, ScreenshotsAndTextsThatFit) {
    const wchar_t* names[] = {L"tuning", L"display", L"device"};
    const std::wstring language = gTable == kJapaneseTable ? L"-ja" : L"-en";
    std::vector<std::wstring> clipped[3];
    bool captured[3] = {};
    run([&](HWND host) {
        showPage(host, 0);
        for (int page = 0; page < 3; ++page) {
            if (page > 0)
                nextPage(host);
            clipped[page] = uikit::clippedTexts(host);
            for (const std::wstring& entry : testing_settings::clippedEntries(host))
                clipped[page].push_back(entry);
            captured[page] = uikit::captureWindow(
                host, uikit::artefactPath(kTest, names[page] + language + L".png"));
        }
        cancel(host);
    });
    for (int page = 0; page < 3; ++page) {
        EXPECT_TRUE(captured[page]) << page;
        for (const std::wstring& line : clipped[page])
            ADD_FAILURE() << narrow(line);
    }
}

} // namespace
} // namespace tonvale

int main(int argc, char** argv) {
    tonvale::uikit::drawOwnFrames();
    tonvale::ComInitialization com(COINIT_APARTMENTTHREADED);
    tonvale::UniqueFont font = tonvale::testing_settings::messageFont();
    tonvale::gProcess.uiFont = font.get();
    tonvale::gTable = tonvale::chooseLanguage();
    tonvale::DialogBuilder::setScreenDpi(0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
