// The source lines of a playback endpoint: the inputs mixed into it (a line
// in, a microphone monitor), found in the device topology behind the
// endpoint, each with the mute and volume-level controls downstream of it.
#pragma once

#include "levrig/private_heap.h"
#include "support/scoped_win.h"

#include <windows.h>

#include <devicetopology.h>
#include <mmdeviceapi.h>

namespace tonvale {
namespace levrig {

// One line; a record has at least one of the two controls. The control's
// part is the subunit that gave it (where change callbacks register).
struct LineRecord {
    LineRecord* next = nullptr;
    Text name;
    ComPtr<IPart> part;
    ComPtr<IAudioMute> mute;
    ComPtr<IPart> mutePart;
    ComPtr<IAudioVolumeLevel> volume;
    ComPtr<IPart> volumePart;
};

// The lines of an endpoint in the order the walk finds them (none when the
// endpoint has no topology), on the private heap.
LineRecord* findSourceLines(IMMDevice* endpoint);
void freeSourceLines(LineRecord* lines);

} // namespace levrig
} // namespace tonvale
