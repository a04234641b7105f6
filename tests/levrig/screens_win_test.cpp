// The windows as they look, in the language the locale chooses: every text
// fits its control, and screenshots are kept to look at.
#include "volume_window_fixture_win.h"

#include <cstdlib>

namespace tonvale::levrig {
namespace {

using namespace testkit;
using fake::FakeControl;
using fake::FakePart;

std::wstring language() {
    const char* expected = std::getenv("TONVALE_EXPECT_LANGUAGE");
    return expected && std::string(expected) == "1041" ? L"ja" : L"en";
}

void expectAllTextsFit(HWND window) {
    for (const std::wstring& clipped : uikit::clippedTexts(window))
        ADD_FAILURE() << std::string(clipped.begin(), clipped.end());
}

TEST_F(VolumeWindow, ScreensOfBothWindowsAndTheLines) {
    FakeDevice& speakers = playback(L"a", L"Realtek High Definition Audio", L"Speakers");
    speakers.volume().changeChannelsElsewhere(0.8f, 0.4f);
    playback(L"b", L"Realtek High Definition Audio", L"Headphones", 1);
    playback(L"c", L"USB Audio", L"Line Out");
    recording(L"m", L"Realtek High Definition Audio", L"Microphone");
    recording(L"l", L"Realtek High Definition Audio", L"Line In");
    FakePart& output = speakers.topologyDevice();
    FakePart& volume = speakers.addPart(Subunit, L"Volume");
    volume.volume = std::make_unique<FakeControl>(volume, 2, -34.5f, 12.0f);
    volume.mute = std::make_unique<FakeControl>(volume, 2, 0.0f, 0.0f);
    FakePart& lineIn = speakers.addPart(Connector, L"Line In");
    lineIn.outgoing.push_back(&volume);
    volume.incoming.push_back(&lineIn);
    volume.outgoing.push_back(&output);
    output.incoming.push_back(&volume);

    const std::wstring prefix = language() + L"-";
    WindowRun playbackRun(L"");
    const bool japanese = language() == L"ja";
    EXPECT_EQ(uikit::windowText(playbackRun.window()),
              japanese ? L"\u518D\u751F\u30DC\u30EA\u30E5\u30FC\u30E0" : L"Playback Volume");
    expectAllTextsFit(playbackRun.window());
    EXPECT_TRUE(
        uikit::captureWindow(playbackRun.window(),
                             uikit::artefactPath(L"levrig_window_test", prefix + L"playback.png")));

    HWND panel = panelNamed(playbackRun.window(), L"Speakers");
    PostMessageW(panel, WM_COMMAND, MAKEWPARAM(kMoreButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(panel, kMoreButton)));
    HWND lines = nullptr;
    soon([&] {
        for (HWND window : threadWindows(playbackRun.threadId())) {
            if (window != playbackRun.window() && IsWindowVisible(window))
                lines = window;
        }
        return lines != nullptr;
    });
    ASSERT_NE(lines, nullptr);
    expectAllTextsFit(lines);
    EXPECT_TRUE(uikit::captureWindow(
        lines, uikit::artefactPath(L"levrig_window_test", prefix + L"connected-lines.png")));
    playbackRun.close();

    WindowRun recordingRun(L"/R");
    expectAllTextsFit(recordingRun.window());
    EXPECT_TRUE(uikit::captureWindow(
        recordingRun.window(),
        uikit::artefactPath(L"levrig_window_test", prefix + L"recording.png")));
}

} // namespace
} // namespace tonvale::levrig
