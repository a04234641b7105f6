#include "levrig/panel_controls_win.h"

namespace tonvale {
namespace levrig {

void showValues(HWND panel, int volumeId, int volumeValueId, int balanceId, int balanceValueId,
                int muteId, int volumePercent, ChannelPercents channels, bool muted,
                ShownValues shown, bool onlyChanges) {
    if (!onlyChanges || volumePercent != shown.volume) {
        setSlider(panel, volumeId, volumePercent);
        setNumber(panel, volumeValueId, volumePercent);
        shown.volume = volumePercent;
    }
    const int position = balancePosition(channels);
    if (!onlyChanges || position != shown.balance) {
        setSlider(panel, balanceId, position);
        setNumber(panel, balanceValueId, balanceNumber(position));
        shown.balance = position;
    }
    if (!onlyChanges || static_cast<int>(muted) != shown.muted) {
        CheckDlgButton(panel, muteId, muted ? BST_CHECKED : BST_UNCHECKED);
        shown.muted = muted;
    }
}

} // namespace levrig
} // namespace tonvale
