// The volume window over a fake Core Audio (Wine's endpoint volume neither
// reaches the sound server nor sends notices, and Wine has no device
// topology): what the panels show and write, and how they follow changes
// made elsewhere.
#include "levrig/library_win.h"
#include "volume_window_fixture_win.h"

namespace tonvale::levrig {
namespace {

using namespace testkit;

class LibraryEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        uikit::drawOwnFrames();
        ASSERT_TRUE(attachLibrary(GetModuleHandleW(nullptr)));
    }
};
const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new LibraryEnvironment);

TEST_F(VolumeWindow, ShowsTheEndpointsOfOneAdapterAtATime) {
    playback(L"a", L"Realtek", L"Speakers");
    playback(L"b", L"Realtek", L"Headphones");
    playback(L"c", L"USB Audio", L"Line Out");
    playback(L"d", L"", L"Nameless"); // no adapter name: not listed
    recording(L"e", L"Realtek", L"Microphone");
    audio_.setDefault(false, L"b");

    WindowRun run(L"");
    ASSERT_TRUE(run.shown());
    EXPECT_EQ(uikit::windowText(run.window()), L"Playback Volume");
    EXPECT_EQ(adapterNames(run.window()), (std::vector<std::wstring>{L"Realtek", L"USB Audio"}));
    EXPECT_EQ(chosenAdapter(run.window()), 0);
    EXPECT_EQ(names(panels(run.window())), (std::vector<std::wstring>{L"Speakers", L"Headphones"}));
    EXPECT_EQ(panels(run.window(), false).size(), 3u);
    // The default endpoint has the focus.
    EXPECT_EQ(focusedPanel(run.window()), panelNamed(run.window(), L"Headphones"));

    chooseAdapter(run.window(), 1);
    EXPECT_EQ(names(panels(run.window())), (std::vector<std::wstring>{L"Line Out"}));
    EXPECT_EQ(run.close(), 0);

    // The command line's endpoint comes first, with its adapter; an unknown
    // one gives the default.
    WindowRun chosen(L"/E c");
    EXPECT_EQ(chosenAdapter(chosen.window()), 1);
    EXPECT_EQ(focusedPanel(chosen.window()), panelNamed(chosen.window(), L"Line Out"));
    chosen.close();
    WindowRun unknown(L"/E {0.0.0.00000000}.{nowhere}");
    EXPECT_EQ(chosenAdapter(unknown.window()), 0);
    EXPECT_EQ(focusedPanel(unknown.window()), panelNamed(unknown.window(), L"Headphones"));
}

TEST_F(VolumeWindow, SlidersWriteTheEndpointAndKeepTheBalance) {
    FakeDevice& speakers = playback(L"a", L"Realtek", L"Speakers");
    speakers.volume().changeElsewhere(0.8f, false);
    WindowRun run(L"");
    HWND panel = panelNamed(run.window(), L"Speakers");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(sliderPosition(panel, kVolumeSlider), 80);
    EXPECT_EQ(controlText(panel, kVolumeValue), L"80");
    EXPECT_EQ(sliderPosition(panel, kBalanceSlider), 50);
    EXPECT_TRUE(enabled(panel, kBalanceSlider));

    moveSlider(panel, kBalanceSlider, 25);
    EXPECT_NEAR(speakers.volume().channel(0), 0.8f, 1e-6);
    EXPECT_NEAR(speakers.volume().channel(1), 0.4f, 1e-6);
    EXPECT_EQ(controlText(panel, kBalanceValue), L"50");

    moveSlider(panel, kVolumeSlider, 40);
    EXPECT_NEAR(speakers.volume().master(), 0.4f, 1e-6);
    EXPECT_NEAR(speakers.volume().channel(1), 0.2f, 1e-6);
    EXPECT_TRUE(soon([&] { return controlText(panel, kVolumeValue) == L"40"; }));
    EXPECT_EQ(sliderPosition(panel, kBalanceSlider), 25);

    moveSlider(panel, kVolumeSlider, 0);
    EXPECT_EQ(sliderPosition(panel, kBalanceSlider), 50);
    moveSlider(panel, kVolumeSlider, 60);
    EXPECT_NEAR(speakers.volume().channel(0), 0.6f, 1e-6);
    EXPECT_NEAR(speakers.volume().channel(1), 0.6f, 1e-6);
    EXPECT_TRUE(soon([&] { return sliderPosition(panel, kBalanceSlider) == 50; }));
}

TEST_F(VolumeWindow, ChangesElsewhereMoveTheSliderOnce) {
    FakeDevice& speakers = playback(L"a", L"Realtek", L"Speakers");
    WindowRun run(L"");
    HWND panel = panelNamed(run.window(), L"Speakers");
    ASSERT_EQ(sliderPosition(panel, kVolumeSlider), 100);

    // The window thread is held while five notices arrive: one re-read
    // answers them all.
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutW(run.window(), WM_NULL, 0, 0, SMTO_BLOCK, kSoon, &ignored), 0);
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, run.threadId());
    ASSERT_NE(thread, nullptr);
    SuspendThread(thread);
    const int readsBefore = speakers.volume().reads();
    speakers.volume().changeElsewhere(0.3f, true, 5);
    ResumeThread(thread);
    CloseHandle(thread);
    EXPECT_TRUE(soon([&] { return sliderPosition(panel, kVolumeSlider) == 30; }));
    SendMessageTimeoutW(run.window(), WM_NULL, 0, 0, SMTO_BLOCK, kSoon, &ignored);
    EXPECT_EQ(speakers.volume().reads() - readsBefore, 1);
    EXPECT_EQ(controlText(panel, kVolumeValue), L"30");
    EXPECT_TRUE(checked(panel, kMuteBox));

    speakers.volume().changeChannelsElsewhere(0.3f, 0.15f);
    EXPECT_TRUE(soon([&] { return sliderPosition(panel, kBalanceSlider) == 25; }));
    EXPECT_EQ(controlText(panel, kBalanceValue), L"50");
}

TEST_F(VolumeWindow, MuteBothWaysAndOnlyWhereThereIsOne) {
    FakeDevice& speakers = playback(L"a", L"Realtek", L"Speakers");
    FakeDeviceSetup plain{L"b",
                          L"Realtek",
                          L"Plain",
                          false,
                          DEVICE_STATE_ACTIVE,
                          1,
                          ENDPOINT_HARDWARE_SUPPORT_VOLUME};
    FakeDevice& noMute = audio_.add(plain);
    {
        WindowRun run(L"");
        HWND panel = panelNamed(run.window(), L"Speakers");
        SendDlgItemMessageW(panel, kMuteBox, BM_CLICK, 0, 0);
        EXPECT_TRUE(speakers.volume().muted());
        EXPECT_TRUE(checked(panel, kMuteBox));
        speakers.volume().changeElsewhere(1.0f, false);
        EXPECT_TRUE(soon([&] { return !checked(panel, kMuteBox); }));

        HWND plainPanel = panelNamed(run.window(), L"Plain");
        EXPECT_FALSE(enabled(plainPanel, kMuteBox));
        // One channel: no balance.
        EXPECT_FALSE(enabled(plainPanel, kBalanceSlider));
    }
    // The software-mute option offers the box anyway.
    WindowRun run(L"/M");
    HWND plainPanel = panelNamed(run.window(), L"Plain");
    ASSERT_TRUE(enabled(plainPanel, kMuteBox));
    SendDlgItemMessageW(plainPanel, kMuteBox, BM_CLICK, 0, 0);
    EXPECT_TRUE(noMute.volume().muted());
}

TEST_F(VolumeWindow, EndpointsThatComeAndGo) {
    recording(L"mic", L"Realtek", L"Microphone");
    recording(L"off", L"Realtek", L"Line In", DEVICE_STATE_DISABLED);
    WindowRun run(L"/R");
    EXPECT_EQ(uikit::windowText(run.window()), L"Recording Volume");
    EXPECT_EQ(names(panels(run.window())), std::vector<std::wstring>{L"Microphone"});
    // A recording window has no "More...".
    HWND microphone = panelNamed(run.window(), L"Microphone");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(microphone, kMoreButton)));

    // A new adapter's device arrives: a new entry, its panel with it.
    recording(L"usb", L"USB Audio", L"Headset");
    audio_.notifyState(L"usb", DEVICE_STATE_ACTIVE);
    EXPECT_TRUE(soon([&] { return adapterNames(run.window()).size() == 2; }));
    chooseAdapter(run.window(), 1);
    EXPECT_EQ(names(panels(run.window())), std::vector<std::wstring>{L"Headset"});
    chooseAdapter(run.window(), 0);

    // One of the shown adapter's: at the end of its panels.
    recording(L"mic2", L"Realtek", L"Rear Microphone");
    audio_.notifyState(L"mic2", DEVICE_STATE_ACTIVE);
    EXPECT_TRUE(soon([&] { return panels(run.window()).size() == 2; }));
    EXPECT_EQ(names(panels(run.window())),
              (std::vector<std::wstring>{L"Microphone", L"Rear Microphone"}));

    // Playback devices are not this window's.
    playback(L"spk", L"Realtek", L"Speakers");
    audio_.notifyState(L"spk", DEVICE_STATE_ACTIVE);
    // Unplugged: the panel stays, its controls go grey.
    audio_.notifyState(L"mic", DEVICE_STATE_UNPLUGGED);
    EXPECT_TRUE(soon([&] { return !enabled(microphone, kVolumeSlider); }));
    EXPECT_EQ(panelNamed(run.window(), L"Speakers"), nullptr);
    // And back: the volume is taken again.
    audio_.notifyState(L"mic", DEVICE_STATE_ACTIVE);
    EXPECT_TRUE(soon([&] { return enabled(microphone, kVolumeSlider); }));
    run.close();

    // All states: the disabled one is listed, greyed.
    WindowRun all(L"/R /A");
    HWND lineIn = panelNamed(all.window(), L"Line In");
    ASSERT_NE(lineIn, nullptr);
    EXPECT_FALSE(enabled(lineIn, kVolumeSlider));
    EXPECT_FALSE(enabled(lineIn, kMuteBox));
}

TEST_F(VolumeWindow, NotifyingStopsWhenTheWindowCloses) {
    FakeDevice& speakers = playback(L"a", L"Realtek", L"Speakers");
    WindowRun run(L"");
    EXPECT_EQ(speakers.volume().callbacks(), 1u);
    EXPECT_TRUE(audio_.hasClient());
    EXPECT_EQ(run.close(), 0);
    EXPECT_EQ(speakers.volume().callbacks(), 0u);
    EXPECT_FALSE(audio_.hasClient());
}

} // namespace
} // namespace tonvale::levrig
