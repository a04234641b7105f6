// Source lines found in a device topology (a fake: Wine has none) and the
// "Connected Lines" dialog that shows them.
#include "levrig/volume_arithmetic.h"
#include "volume_window_fixture_win.h"

#include <algorithm>

namespace tonvale::levrig {
namespace {

using namespace testkit;
using fake::FakeControl;
using fake::FakePart;

constexpr LevelRange kLineRange{-34.5, 12.0};

// A mixer summing its inputs into the speaker output:
//   Line In -> [volume, stereo] -> mixer
//   Microphone -> [mute] -> [volume, mono] -> mixer
//   CD -> mixer (no control on its way: not a line)
//   (unnamed) == connected to == bridge <- [volume] <- Aux
struct MixerTopology {
    explicit MixerTopology(FakeDevice& device) {
        FakePart& output = device.topologyDevice();
        mixer = &device.addPart(Subunit, L"Sum");
        link(*mixer, output);

        FakePart& lineIn = device.addPart(Connector, L"Line In");
        lineVolume = &device.addPart(Subunit, L"Line In Volume");
        lineVolume->volume = std::make_unique<FakeControl>(*lineVolume, 2, -34.5f, 12.0f);
        link(lineIn, *lineVolume);
        link(*lineVolume, *mixer);

        FakePart& microphone = device.addPart(Connector, L"Microphone");
        micMute = &device.addPart(Subunit, L"Microphone Mute");
        micMute->mute = std::make_unique<FakeControl>(*micMute, 1, 0.0f, 0.0f);
        FakePart& micVolume = device.addPart(Subunit, L"Microphone Volume");
        micVolume.volume = std::make_unique<FakeControl>(micVolume, 1, -34.5f, 12.0f);
        link(microphone, *micMute);
        link(*micMute, micVolume);
        link(micVolume, *mixer);

        FakePart& cd = device.addPart(Connector, L"CD");
        link(cd, *mixer);

        FakePart& unnamed = device.addPart(Connector, L"");
        FakePart& bridge = device.addPart(Connector, L"Bridge");
        unnamed.connectedTo = &bridge;
        bridge.connectedTo = &unnamed;
        FakePart& auxVolume = device.addPart(Subunit, L"Aux Volume");
        auxVolume.volume = std::make_unique<FakeControl>(auxVolume, 2, -34.5f, 12.0f);
        FakePart& aux = device.addPart(Connector, L"Aux");
        link(aux, auxVolume);
        bridge.incoming.push_back(&auxVolume);
        link(unnamed, *mixer);
    }
    static void link(FakePart& from, FakePart& to) {
        from.outgoing.push_back(&to);
        to.incoming.push_back(&from);
    }
    FakePart* mixer = nullptr;
    FakePart* lineVolume = nullptr;
    FakePart* micMute = nullptr;
};

class ConnectedLines : public VolumeWindow {
  protected:
    // Opens the dialog from the endpoint's "More..." button.
    HWND openLines(WindowRun& run, const std::wstring& endpoint) {
        HWND panel = panelNamed(run.window(), endpoint);
        EXPECT_TRUE(enabled(panel, kMoreButton));
        PostMessageW(panel, WM_COMMAND, MAKEWPARAM(kMoreButton, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(panel, kMoreButton)));
        HWND dialog = nullptr;
        soon([&] {
            for (HWND window : threadWindows(run.threadId())) {
                if (IsWindowVisible(window) && uikit::windowText(window) == L"Connected Lines")
                    dialog = window;
            }
            return dialog != nullptr;
        });
        return dialog;
    }
    static std::vector<HWND> linePanels(HWND dialog) {
        std::vector<HWND> found;
        for (HWND control : uikit::descendants(dialog)) {
            if (GetDlgCtrlID(control) == kLineVolumeSlider &&
                uikit::windowClass(control) == L"msctls_trackbar32")
                found.push_back(GetParent(control));
        }
        return found;
    }
    static HWND linePanel(HWND dialog, const std::wstring& name) {
        for (HWND panel : linePanels(dialog)) {
            if (panelName(panel) == name)
                return panel;
        }
        return nullptr;
    }
    static int levelPercent(const FakeControl& control, size_t channel) {
        return percentOfLevel(control.levels().at(channel), kLineRange);
    }
};

TEST_F(ConnectedLines, TheTopologysLinesInTheOrderFound) {
    FakeDevice& speakers = playback(L"a", L"Realtek", L"Speakers");
    MixerTopology topology(speakers);
    playback(L"b", L"Realtek", L"Headphones");
    WindowRun run(L"");
    EXPECT_FALSE(enabled(panelNamed(run.window(), L"Headphones"), kMoreButton));

    HWND dialog = openLines(run, L"Speakers");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(run.window()));
    EXPECT_EQ(uikit::windowText(GetDlgItem(dialog, 256)), L"Speakers (Realtek)");
    std::vector<std::wstring> lines;
    for (HWND panel : linePanels(dialog))
        lines.push_back(panelName(panel));
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"Line In", L"Microphone", L"Aux"}));

    HWND lineIn = linePanel(dialog, L"Line In");
    EXPECT_TRUE(enabled(lineIn, kLineVolumeSlider));
    EXPECT_TRUE(enabled(lineIn, kLineBalanceSlider));
    EXPECT_FALSE(enabled(lineIn, kLineMuteBox));
    HWND microphone = linePanel(dialog, L"Microphone");
    EXPECT_TRUE(enabled(microphone, kLineMuteBox));
    EXPECT_FALSE(enabled(microphone, kLineBalanceSlider));

    // Esc closes it, gives the window back its input and stops the notices.
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(soon([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(IsWindowEnabled(run.window()));
    EXPECT_EQ(topology.lineVolume->callbacks(), 0u);
    EXPECT_EQ(topology.micMute->callbacks(), 0u);
}

TEST_F(ConnectedLines, LinePanelsWriteDecibelsAndFollowChanges) {
    FakeDevice& speakers = playback(L"a", L"Realtek", L"Speakers");
    MixerTopology topology(speakers);
    WindowRun run(L"");
    HWND dialog = openLines(run, L"Speakers");
    ASSERT_NE(dialog, nullptr);
    HWND lineIn = linePanel(dialog, L"Line In");
    const FakeControl& lineControl = *topology.lineVolume->volume;
    EXPECT_EQ(sliderPosition(lineIn, kLineVolumeSlider), 100);

    moveSlider(lineIn, kLineVolumeSlider, 50);
    EXPECT_NEAR(lineControl.levels()[0], levelOfPercent(50, kLineRange), 1e-3);
    EXPECT_EQ(levelPercent(lineControl, 1), 50);
    moveSlider(lineIn, kLineBalanceSlider, 25);
    EXPECT_EQ(levelPercent(lineControl, 0), 50);
    EXPECT_EQ(levelPercent(lineControl, 1), 25);
    moveSlider(lineIn, kLineVolumeSlider, 80);
    EXPECT_EQ(levelPercent(lineControl, 0), 80);
    EXPECT_EQ(levelPercent(lineControl, 1), 40);

    HWND microphone = linePanel(dialog, L"Microphone");
    SendDlgItemMessageW(microphone, kLineMuteBox, BM_CLICK, 0, 0);
    EXPECT_TRUE(topology.micMute->mute->muted());
    EXPECT_TRUE(checked(microphone, kLineMuteBox));

    topology.lineVolume->volume->changeElsewhere(-34.5f);
    EXPECT_TRUE(soon([&] { return sliderPosition(lineIn, kLineVolumeSlider) == 0; }));
    EXPECT_EQ(controlText(lineIn, kLineVolumeValue), L"0");
}

TEST_F(ConnectedLines, HeightIsRememberedPerEndpoint) {
    FakeDevice& speakers = playback(L"a", L"Realtek", L"Speakers");
    MixerTopology topology(speakers);
    WindowRun run(L"");
    HWND dialog = openLines(run, L"Speakers");
    ASSERT_NE(dialog, nullptr);
    RECT main = {};
    GetWindowRect(run.window(), &main);
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    EXPECT_EQ(rect.left, main.left + 16);
    EXPECT_EQ(rect.top, main.top + 16);
    // All three lines fit at first.
    HWND column = GetParent(linePanels(dialog).back());
    RECT last = {};
    RECT client = {};
    GetWindowRect(linePanels(dialog).back(), &last);
    GetClientRect(column, &client);
    MapWindowPoints(column, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_LE(last.bottom, client.bottom + 2);

    const int height = rect.bottom - rect.top - 40;
    SetWindowPos(dialog, nullptr, 0, 0, rect.right - rect.left, height, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(soon([&] { return !IsWindow(dialog); }));
    dialog = openLines(run, L"Speakers");
    GetWindowRect(dialog, &rect);
    EXPECT_EQ(rect.bottom - rect.top, height);
}

} // namespace
} // namespace tonvale::levrig
