// The external tool launchers with a stand-in levrig.dll beside the test
// program (fake_levrig_win.cpp): with the entry point it is called with the
// main window and the command line, loaded once and released at the close;
// without it, the user is told and nothing is called. The read-me and the
// sample files on folders of the test's own.
#include <windows.h>

#include "app/message_box_win.h"
#include "app/process_context_win.h"
#include "app/tool_launchers_win.h"
#include "support/program_folders.h"
#include "support/ui_text.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace tonvale {
namespace {

using uikit::Pump;

// Runs act() here (pumping) while a second thread takes the text of the
// program's message box and closes it; "(no box)" when none came.
std::wstring boxShownWhile(const std::function<void()>& act, DWORD timeoutMs = 5000) {
    std::wstring text = L"(no box)";
    std::atomic<bool> done{false};
    std::thread driver([&] {
        HWND box = uikit::waitForWindow(uikit::kDialogClass, L"Tonvale", timeoutMs, Pump::no);
        if (box) {
            text = uikit::windowText(GetDlgItem(box, kMessageBoxTextId));
            PostMessageW(box, WM_COMMAND, kMessageBoxFirstButtonId, 0);
            uikit::waitUntil([&] { return !IsWindow(box); }, 3000, Pump::no);
        }
        done = true;
    });
    act();
    uikit::waitUntil([&] { return done.load(); }, timeoutMs + 5000, Pump::yes);
    driver.join();
    return text;
}

std::wstring tempFolder(const wchar_t* name) {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + name + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

[[maybe_unused]] void writeFile(const std::wstring& path, const std::string& content) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << content;
}

[[maybe_unused]] std::string readFile(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

[[maybe_unused]] std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class ToolLaunchers : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        initProcessContext(GetModuleHandleW(nullptr));
        loadTable(kEnglishTable);
        gProcess.uiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    void SetUp() override {
        appData_ = tempFolder(L"tonvale-launchers-appdata");
        program_ = tempFolder(L"tonvale-launchers-program");
        setFolderRootsForTesting(appData_, program_);
        main_ = CreateWindowExW(0, L"Static", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
        gProcess.mainWindow = main_;
    }
    void TearDown() override {
        releaseVolumeControl();
        gProcess.mainWindow = nullptr;
        DestroyWindow(main_);
        setFolderRootsForTesting(L"", L"");
    }

    std::wstring appData_;
    std::wstring program_;
    HWND main_ = nullptr;
};

#if TONVALE_FAKE_LEVRIG_ENTRY

TEST_F(ToolLaunchers, VolumeControlLoadsTheLibraryOnceAndReleasesItAtTheClose) {
    const std::wstring log = appData_ + L"levrig-calls.txt";
    DeleteFileW(log.c_str());
    SetEnvironmentVariableW(L"TONVALE_FAKE_LEVRIG_LOG", log.c_str());
    EXPECT_EQ(GetModuleHandleW(L"levrig.dll"), nullptr);
    EXPECT_EQ(boxShownWhile([] { launchVolumeControl(nullptr, 3); }, 1500), L"(no box)");
    HMODULE loaded = GetModuleHandleW(L"levrig.dll");
    EXPECT_NE(loaded, nullptr);
    launchVolumeControl(nullptr, -1);
    EXPECT_EQ(GetModuleHandleW(L"levrig.dll"), loaded) << "the second use reuses the library";
    releaseVolumeControl();
    EXPECT_EQ(GetModuleHandleW(L"levrig.dll"), nullptr) << "unloaded at the close";

    // The settings folder's levrig.ini, the recording page, the device.
    const std::wstring ini = settingsSavePath(L"levrig.ini");
    ASSERT_FALSE(ini.empty());
    wchar_t owner[32] = {};
    swprintf(owner, 32, L"%p", static_cast<void*>(main_));
    wchar_t none[32] = {};
    swprintf(none, 32, L"%p", static_cast<void*>(nullptr));
    const std::string expected = narrow(std::wstring(owner) + L" /I \"" + ini + L"\" /R /D3\n" +
                                        owner + L" /I \"" + ini + L"\" /R\n" + none + L" (null)\n");
    EXPECT_EQ(readFile(log), expected);
}

TEST_F(ToolLaunchers, MissingReadMeIsReported) {
    EXPECT_EQ(boxShownWhile([&] { openReadMe(main_); }), L"ReadMe.txt was not found.");
}

TEST_F(ToolLaunchers, SampleFilesNeverOverwriteTheUsersOwn) {
    writeFile(program_ + L"note.ini", "[sample note]\r\n");
    writeFile(program_ + L"scale.ini", "[sample scale]\r\n");
    const std::wstring settings = SettingsFolder();
    ASSERT_FALSE(settings.empty());
    writeFile(settings + L"note.ini", "[my own notes]\r\n");
    copySampleFiles(program_, settings);
    EXPECT_EQ(readFile(settings + L"note.ini"), "[my own notes]\r\n");
    EXPECT_EQ(readFile(settings + L"scale.ini"), "[sample scale]\r\n");
    // Again, now that both are the user's: nothing changes.
    writeFile(settings + L"scale.ini", "[edited scale]\r\n");
    copySampleFiles(program_, settings);
    EXPECT_EQ(readFile(settings + L"scale.ini"), "[edited scale]\r\n");
    // A sample missing beside the program is no error.
    DeleteFileW((settings + L"note.ini").c_str());
    DeleteFileW((program_ + L"note.ini").c_str());
    copySampleFiles(program_, settings);
    EXPECT_EQ(GetFileAttributesW((settings + L"note.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

#else

TEST_F(ToolLaunchers, LibraryWithoutTheEntryPointIsReportedNotCalled) {
    const std::wstring log = appData_ + L"levrig-calls.txt";
    DeleteFileW(log.c_str());
    SetEnvironmentVariableW(L"TONVALE_FAKE_LEVRIG_LOG", log.c_str());
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(boxShownWhile([] { launchVolumeControl(nullptr, 0); }),
                  L"Failed to launch the volume control utility.");
        EXPECT_EQ(GetModuleHandleW(L"levrig.dll"), nullptr) << "not kept";
    }
    EXPECT_EQ(GetFileAttributesW(log.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing was called";
}

#endif

} // namespace
} // namespace tonvale
