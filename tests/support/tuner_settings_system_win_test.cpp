// The settings on the Windows version the system really reports: run once
// in each Wine prefix of the build (Windows 7, Vista, XP), with the expected
// version in TONVALE_EXPECT_VERSION.
#include "support/ini_reader.h"
#include "support/program_folders.h"
#include "support/settings/tuner_settings.h"
#include "support/windows_version.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace tonvale {
namespace {

using testing_files::TempFolder;

TEST(SettingsOnThisSystem, VersionRulesRoundTrip) {
    const char* expected = std::getenv("TONVALE_EXPECT_VERSION");
    ASSERT_NE(expected, nullptr);
    const uint32_t version = static_cast<uint32_t>(std::strtoul(expected, nullptr, 16));
    ASSERT_EQ(windowsVersion(), version);

    TempFolder folder;
    std::filesystem::create_directories(folder.file("program"));
    setFolderRootsForTesting(folder.wide("appdata"), folder.wide("program") + L"\\");
    testing_files::writeBytes(folder.file("program") / "tonvale.ini",
                              "[Tonvale]\r\nDeviceSampleRate=22050\r\n"
                              "EventDrivenExclusiveMode=0\r\n");
    gTunerSettings = TunerSettings();
    loadSettings();
    const bool vista = version > 0x5FFFF;
    EXPECT_EQ(gTunerSettings.main.deviceSampleRate, vista ? 0u : 22050u);
    // Read from Vista on; before it, the system's default (off).
    EXPECT_FALSE(gTunerSettings.main.eventDrivenExclusiveMode);

    saveSettings();
    std::wstring saved = settingsSavePath(L"tonvale.ini");
    ASSERT_FALSE(saved.empty());
    std::string bytes = testing_files::readBytes(std::filesystem::path(saved));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    IniReader file;
    ASSERT_TRUE(file.load(saved.c_str()));
    ASSERT_TRUE(file.selectSection("Tonvale"));
    EXPECT_EQ(file.getInt("DeviceSampleRate", -1), vista ? 0 : 22050);
    EXPECT_EQ(file.getInt("EventDrivenExclusiveMode", -1), vista ? 0 : -1);

    // Without a file: the event-driven default follows the system.
    std::filesystem::remove(std::filesystem::path(saved));
    std::filesystem::remove(folder.file("program") / "tonvale.ini");
    gTunerSettings = TunerSettings();
    loadSettings();
    EXPECT_EQ(gTunerSettings.main.eventDrivenExclusiveMode, version > 0x60000);
    setFolderRootsForTesting(L"", L"");
    gTunerSettings = TunerSettings();
}

} // namespace
} // namespace tonvale
