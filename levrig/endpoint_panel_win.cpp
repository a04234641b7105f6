// The panel of an endpoint: what it shows and what its controls do.
#include "levrig/connected_lines_win.h"
#include "levrig/endpoint_win.h"
#include "levrig/levrig_messages_win.h"
#include "levrig/library_win.h"
#include "levrig/panel_controls_win.h"
#include "levrig/panel_layout_win.h"

#include "dialogs/builder/dialog_builder_win.h"
#include "support/window_binding_win.h"

namespace tonvale {
namespace levrig {
namespace {

const PanelIds& kIds = kEndpointPanelIds;

} // namespace

HWND CEndPoint::createPanel(HWND parent) {
    const PanelKind kind = recording() ? PanelKind::recordingEndpoint : PanelKind::playbackEndpoint;
    alignas(4) BYTE buffer[64];
    const DLGTEMPLATE* dialogTemplate =
        emptyTemplate(buffer, sizeof buffer, nullptr, panelStyle(kind));
    HWND panel =
        CreateDialogIndirectParamW(libraryModule(), dialogTemplate, parent,
                                   dialogProcedure<CEndPoint>, reinterpret_cast<LPARAM>(this));
    return panel && IsWindow(panel) ? panel : nullptr;
}

CEndPoint* CEndPoint::attach(HWND panel, LPARAM initParam) {
    auto* endpoint = reinterpret_cast<CEndPoint*>(initParam);
    LockScope lock(modelLock());
    endpoint->panel_ = panel;
    return endpoint;
}

INT_PTR CEndPoint::handleMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const PanelKind kind =
            recording() ? PanelKind::recordingEndpoint : PanelKind::playbackEndpoint;
        if (!buildPanel(panel, kind)) {
            DestroyWindow(panel);
            return FALSE;
        }
        SetDlgItemTextW(panel, kIds.name, name_.c_str());
        LockScope lock(modelLock());
        display(false);
        return FALSE;
    }
    case kValuesChanged: {
        LockScope lock(modelLock());
        updatePending_ = false;
        refresh();
        display(true);
        return TRUE;
    }
    case WM_HSCROLL: {
        LockScope lock(modelLock());
        const int id = sliderId(lParam);
        if (id == kIds.volume)
            onVolumeSlider();
        else if (id == kIds.balance)
            onBalanceSlider();
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kIds.mute) {
            LockScope lock(modelLock());
            onMute();
        } else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kIds.more) {
            onMore();
        }
        return TRUE;
    case WM_DESTROY: {
        LockScope lock(modelLock());
        panel_ = nullptr;
        return FALSE;
    }
    default:
        return FALSE;
    }
}

// Moves the controls to the model's values; the guard keeps the sliders'
// own notifications from writing them back.
void CEndPoint::display(bool onlyChanges) {
    if (!panel_)
        return;
    ++updateGuard_;
    showValues(panel_, kIds.volume, kIds.volumeValue, kIds.balance, kIds.balanceValue, kIds.mute,
               volumePercent_, channelPercents_, muted_,
               ShownValues{shownVolume_, shownBalance_, shownMuted_}, onlyChanges);
    enableControls();
    --updateGuard_;
}

void CEndPoint::enableControls() {
    enableControl(panel_, kIds.volume, active());
    enableControl(panel_, kIds.mute, active() && (hardwareMute_ || softwareMute_));
    enableControl(panel_, kIds.balance, active() && channels_ == 2);
    if (!recording())
        enableControl(panel_, kIds.more, sourceLines_ != nullptr);
}

void CEndPoint::onVolumeSlider() {
    if (updateGuard_ || !active())
        return;
    const int volume = sliderPosition(panel_, kIds.volume);
    if (volume == volumePercent_)
        return;
    if (channels_ == 2) {
        channelPercents_ = channelsForVolume(volume, volumePercent_, channelPercents_);
        ++updateGuard_;
        const int position = balancePosition(channelPercents_);
        setSlider(panel_, kIds.balance, position);
        setNumber(panel_, kIds.balanceValue, balanceNumber(position));
        shownBalance_ = position;
        --updateGuard_;
    }
    volumePercent_ = volume;
    setNumber(panel_, kIds.volumeValue, volume);
    shownVolume_ = volume;
    volume_->SetMasterVolumeLevelScalar(static_cast<float>(volume / 100.0), nullptr);
}

void CEndPoint::onBalanceSlider() {
    if (updateGuard_ || !active() || channels_ != 2)
        return;
    const int position = sliderPosition(panel_, kIds.balance);
    const ChannelPercents wanted = channelsAtBalance(volumePercent_, position);
    setNumber(panel_, kIds.balanceValue, balanceNumber(position));
    shownBalance_ = position;
    if (wanted.left != channelPercents_.left)
        volume_->SetChannelVolumeLevelScalar(0, static_cast<float>(wanted.left / 100.0), nullptr);
    if (wanted.right != channelPercents_.right)
        volume_->SetChannelVolumeLevelScalar(1, static_cast<float>(wanted.right / 100.0), nullptr);
    channelPercents_ = wanted;
}

void CEndPoint::onMute() {
    if (updateGuard_ || !active())
        return;
    muted_ = !muted_;
    CheckDlgButton(panel_, kIds.mute, muted_ ? BST_CHECKED : BST_UNCHECKED);
    shownMuted_ = muted_;
    volume_->SetMute(muted_ ? TRUE : FALSE, nullptr);
}

void CEndPoint::onMore() {
    if (panel_ && sourceLines_)
        openConnectedLines(GetAncestor(panel_, GA_ROOT), *this);
}

} // namespace levrig
} // namespace tonvale
