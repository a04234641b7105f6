// The controls of a panel: an endpoint's (name and "More...", volume row,
// mute and balance row, separator bar) or a source line's (the same without
// "More..."), laid out from the library's texts and font.
#pragma once

#include <windows.h>

namespace tonvale {
namespace levrig {

enum class PanelKind { playbackEndpoint, recordingEndpoint, sourceLine };

// Control ids of the two kinds of panel.
struct PanelIds {
    int name;
    int more; // 0: none
    int volume;
    int volumeValue;
    int mute;
    int balance;
    int balanceValue;
};
constexpr PanelIds kEndpointPanelIds = {256, 257, 258, 259, 262, 260, 261};
constexpr PanelIds kLinePanelIds = {256, 0, 257, 258, 261, 259, 260};

const PanelIds& panelIds(PanelKind kind);

// Creates the controls in the panel (a child dialog), sets up the sliders
// and sizes the panel. False when a control cannot be created.
bool buildPanel(HWND panel, PanelKind kind);

// The child-dialog style of a panel; line panels are shown at once,
// endpoint panels when their adapter is chosen.
DWORD panelStyle(PanelKind kind);

} // namespace levrig
} // namespace tonvale
