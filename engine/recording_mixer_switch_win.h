// Before Windows 6.0: makes the microphone the only source of the recording
// mixer's wave-in destination while the tuner runs, and puts back exactly
// what was there before.
//
// Two strategies, as the mixer offers: with a selection control (multiple
// select, else multiplexer) only the microphone's item is switched on; with
// none, every source but the microphone is muted. The destination itself is
// unmuted either way.
#pragma once

#include <windows.h>

#include "engine/capture_system_win.h"

#include <cstdint>

namespace tonvale {

class RecordingMixerSwitch {
  public:
    static constexpr uint32_t kMaxSources = 30;
    // Saved state: bit i for source i (or item i) that was selected or muted.
    static constexpr uint32_t kDestinationUnmuted = 1u << 30;
    static constexpr uint32_t kSwitched = 1u << 31;

    // MMSYSERR_NOERROR, or the result of the mixer call that failed. A mixer
    // with more than 30 sources, or a selection control whose item count is
    // not the source count, is left as it is. After a failure halfway what
    // was written stays until restore().
    MMRESULT switchToMicrophone(CaptureSystem& system, HWAVEIN device);

    // Writes the saved state back through the still open device, for what
    // the switch wrote and nothing else (after a failure halfway, the
    // sources it did not reach keep whatever they have); failures are
    // silent.
    void restore(CaptureSystem& system, HWAVEIN device);

    uint32_t savedState() const { return saved_; }

  private:
    MMRESULT selectMicrophone(CaptureSystem& system, UINT mixer, const MIXERLINEW& destination,
                              const MIXERCONTROLW& selection);
    MMRESULT muteAllButMicrophone(CaptureSystem& system, UINT mixer, const MIXERLINEW& destination);
    MMRESULT unmuteDestination(CaptureSystem& system, UINT mixer, const MIXERLINEW& destination);

    uint32_t saved_ = 0;
    DWORD sourcesWritten_ = 0; // sources (or items) 0 .. n-1 hold values the switch wrote
    bool destinationWritten_ = false;
};

} // namespace tonvale
