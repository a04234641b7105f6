// The volume window: a drop-down list of sound adapters over a scrolling
// column of panels, one per endpoint of the chosen adapter.
#pragma once

#include "levrig/endpoint_list_win.h"
#include "levrig/saved_place.h"
#include "levrig/volume_options.h"

#include <windows.h>

namespace tonvale {
namespace levrig {

// How the window ended: set when it closes (or is destroyed from outside),
// with its place (left/top as an offset from the owner's top-left corner
// when it has an owner) and height at that moment.
struct WindowOutcome {
    bool closed = false;
    SavedPlace place;
};

// Creates and shows the window of the list, owned by owner (may be null),
// sized and placed from the options' saved place and height. Null when it
// cannot be created (it then destroys itself). outcome must outlive the
// window.
HWND createPanelsWindow(CEndPointList& list, HWND owner, const VolumeOptions& options,
                        WindowOutcome& outcome);

// Where keyboard navigation goes: the window's enabled popup (an open
// "Connected Lines" dialog) if it has one, else the window.
HWND dialogKeyTarget(HWND window);

} // namespace levrig
} // namespace tonvale
