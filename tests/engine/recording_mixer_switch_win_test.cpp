// The recording-mixer switch on mixers Wine cannot offer: with a selection
// control, with sources the switch must skip, and with more sources than it
// handles. Wine's own mixer (one microphone source with a mute) is driven
// through the capture stream in microphone_switch_win_test.cpp.
#include "engine/recording_mixer_switch_win.h"
#include "recording_mixer_fake_win.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

using Mixer = test::FakeRecordingMixer;
using Source = Mixer::Source;

constexpr DWORD kMicrophone = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
constexpr DWORD kLine = MIXERLINE_COMPONENTTYPE_SRC_LINE;
constexpr DWORD kCompactDisc = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;

Source source(DWORD type, bool selected, bool muted = false) {
    Source s;
    s.componentType = type;
    s.selected = selected;
    s.muted = muted;
    return s;
}

std::vector<bool> selection(const Mixer& mixer) {
    std::vector<bool> states;
    for (const Source& s : mixer.sources) {
        states.push_back(s.selected);
    }
    return states;
}

std::vector<bool> mutes(const Mixer& mixer) {
    std::vector<bool> states;
    for (const Source& s : mixer.sources) {
        states.push_back(s.muted);
    }
    return states;
}

TEST(RecordingMixerSwitch, SelectionControlSelectsTheMicrophoneAloneUntilRestored) {
    for (DWORD type :
         {DWORD{MIXERCONTROL_CONTROLTYPE_MIXER}, DWORD{MIXERCONTROL_CONTROLTYPE_MUX}}) {
        Mixer mixer;
        mixer.selectionType = type;
        mixer.sources = {source(kLine, true), source(kCompactDisc, false),
                         source(kMicrophone, false), source(kLine, true)};
        mixer.destinationMuted = true;
        RecordingMixerSwitch mixerSwitch;
        ASSERT_EQ(mixerSwitch.switchToMicrophone(mixer, nullptr), MMSYSERR_NOERROR) << type;
        EXPECT_EQ(selection(mixer), (std::vector<bool>{false, false, true, false}));
        EXPECT_FALSE(mixer.destinationMuted);
        EXPECT_EQ(mixerSwitch.savedState() & 0xC0000000u,
                  RecordingMixerSwitch::kSwitched | RecordingMixerSwitch::kDestinationUnmuted);
        mixerSwitch.restore(mixer, nullptr);
        EXPECT_EQ(selection(mixer), (std::vector<bool>{true, false, false, true}));
        EXPECT_TRUE(mixer.destinationMuted);
        // Restored once; a second restore writes nothing.
        const int writes = mixer.writes;
        mixerSwitch.restore(mixer, nullptr);
        EXPECT_EQ(mixer.writes, writes);
    }
}

TEST(RecordingMixerSwitch, WithoutAMicrophoneEverySourceIsDeselected) {
    Mixer mixer;
    mixer.selectionType = MIXERCONTROL_CONTROLTYPE_MIXER;
    mixer.sources = {source(kLine, true), source(kCompactDisc, true)};
    RecordingMixerSwitch mixerSwitch;
    ASSERT_EQ(mixerSwitch.switchToMicrophone(mixer, nullptr), MMSYSERR_NOERROR);
    EXPECT_EQ(selection(mixer), (std::vector<bool>{false, false}));
    mixerSwitch.restore(mixer, nullptr);
    EXPECT_EQ(selection(mixer), (std::vector<bool>{true, true}));
}

TEST(RecordingMixerSwitch, WithoutSelectionEveryOtherSourceIsMutedUntilRestored) {
    Mixer mixer;
    mixer.sources = {source(kLine, false, false), source(kMicrophone, false, true),
                     source(kCompactDisc, false, true), source(kLine, false, false),
                     source(kLine, false, false)};
    mixer.sources[3].hasMute = false;     // skipped
    mixer.sources[4].multipleMute = true; // skipped
    mixer.destinationMuted = false;
    RecordingMixerSwitch mixerSwitch;
    ASSERT_EQ(mixerSwitch.switchToMicrophone(mixer, nullptr), MMSYSERR_NOERROR);
    EXPECT_EQ(mutes(mixer), (std::vector<bool>{true, false, true, false, false}));
    EXPECT_EQ(mixerSwitch.savedState(), RecordingMixerSwitch::kSwitched | 0x6u);
    mixerSwitch.restore(mixer, nullptr);
    EXPECT_EQ(mutes(mixer), (std::vector<bool>{false, true, true, false, false}));
    EXPECT_FALSE(mixer.destinationMuted);
}

TEST(RecordingMixerSwitch, MixersItCannotHandleAreLeftAlone) {
    // 31 sources: one more than the saved state has bits for.
    Mixer many;
    many.sources.assign(31, source(kLine, false, false));
    many.sources[5].componentType = kMicrophone;
    many.sources[5].muted = true;
    many.destinationMuted = true;
    // A selection control that does not list every source.
    Mixer partial;
    partial.selectionType = MIXERCONTROL_CONTROLTYPE_MUX;
    partial.selectionItems = 2;
    partial.sources = {source(kLine, true), source(kMicrophone, false), source(kLine, false)};
    for (Mixer* mixer : {&many, &partial}) {
        RecordingMixerSwitch mixerSwitch;
        EXPECT_EQ(mixerSwitch.switchToMicrophone(*mixer, nullptr), MMSYSERR_NOERROR);
        EXPECT_EQ(mixer->writes, 0);
        EXPECT_EQ(mixerSwitch.savedState(), 0u);
        mixerSwitch.restore(*mixer, nullptr);
        EXPECT_EQ(mixer->writes, 0);
    }
    // 30 sources are handled.
    many.sources.pop_back();
    RecordingMixerSwitch mixerSwitch;
    EXPECT_EQ(mixerSwitch.switchToMicrophone(many, nullptr), MMSYSERR_NOERROR);
    EXPECT_FALSE(many.sources[5].muted);
    EXPECT_TRUE(many.sources[29].muted);
}

TEST(RecordingMixerSwitch, FailuresAreReportedWithTheMixersResult) {
    Mixer noMixer;
    noMixer.mixerIdResult = MMSYSERR_NODRIVER;
    // No selection control and no sources: the lookup's result.
    Mixer empty;
    empty.noControlResult = MMSYSERR_NOTSUPPORTED;
    // A source whose mute cannot be looked up for another reason than its
    // absence.
    Mixer broken;
    broken.sources = {source(kMicrophone, false)};
    broken.sources[0].hasMute = false;
    broken.noControlResult = MMSYSERR_NOTSUPPORTED;
    const std::pair<Mixer*, MMRESULT> cases[] = {{&noMixer, MMSYSERR_NODRIVER},
                                                 {&empty, MMSYSERR_NOTSUPPORTED},
                                                 {&broken, MMSYSERR_NOTSUPPORTED}};
    for (const auto& [mixer, expected] : cases) {
        RecordingMixerSwitch mixerSwitch;
        EXPECT_EQ(mixerSwitch.switchToMicrophone(*mixer, nullptr), expected);
        EXPECT_EQ(mixer->writes, 0);
    }
}

TEST(RecordingMixerSwitch, FailureHalfwayPutsBackWhatWasWrittenAndNothingElse) {
    Mixer mixer;
    mixer.sources = {source(kLine, false, true), source(kLine, false, false),
                     source(kMicrophone, false, true), source(kLine, false, false)};
    mixer.destinationMuted = true;
    mixer.writesBeforeFailure = 2; // the third source's write fails
    RecordingMixerSwitch mixerSwitch;
    EXPECT_EQ(mixerSwitch.switchToMicrophone(mixer, nullptr),
              static_cast<MMRESULT>(MMSYSERR_ERROR));
    EXPECT_EQ(mutes(mixer), (std::vector<bool>{true, true, true, false}));
    mixer.writesBeforeFailure = -1;
    // The user mutes the last source meanwhile: the restore leaves it so, and
    // the destination, never reached, stays muted.
    mixer.sources[3].muted = true;
    mixerSwitch.restore(mixer, nullptr);
    EXPECT_EQ(mutes(mixer), (std::vector<bool>{true, false, true, true}));
    EXPECT_TRUE(mixer.destinationMuted);
}

} // namespace
} // namespace tonvale
