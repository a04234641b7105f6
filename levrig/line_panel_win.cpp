// The panel of a source line in the "Connected Lines" dialog.
#include "levrig/levrig_messages_win.h"
#include "levrig/library_win.h"
#include "levrig/panel_controls_win.h"
#include "levrig/panel_layout_win.h"
#include "levrig/source_line_win.h"

#include "dialogs/builder/dialog_builder_win.h"
#include "support/window_binding_win.h"

namespace tonvale {
namespace levrig {
namespace {

const PanelIds& kIds = kLinePanelIds;

} // namespace

HWND CSrcLine::createPanel(HWND parent) {
    alignas(4) BYTE buffer[64];
    const DLGTEMPLATE* dialogTemplate =
        emptyTemplate(buffer, sizeof buffer, nullptr, panelStyle(PanelKind::sourceLine));
    HWND panel =
        CreateDialogIndirectParamW(libraryModule(), dialogTemplate, parent,
                                   dialogProcedure<CSrcLine>, reinterpret_cast<LPARAM>(this));
    return panel && IsWindow(panel) ? panel : nullptr;
}

CSrcLine* CSrcLine::attach(HWND panel, LPARAM initParam) {
    auto* line = reinterpret_cast<CSrcLine*>(initParam);
    LockScope lock(modelLock());
    line->panel_ = panel;
    return line;
}

INT_PTR CSrcLine::handleMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (!buildPanel(panel, PanelKind::sourceLine)) {
            DestroyWindow(panel);
            return FALSE;
        }
        SetDlgItemTextW(panel, kIds.name, name().c_str());
        {
            LockScope lock(modelLock());
            display(false);
        }
        return FALSE;
    case kValuesChanged: {
        LockScope lock(modelLock());
        updatePending_ = false;
        read();
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

void CSrcLine::display(bool onlyChanges) {
    if (!panel_)
        return;
    ++updateGuard_;
    showValues(panel_, kIds.volume, kIds.volumeValue, kIds.balance, kIds.balanceValue, kIds.mute,
               volumePercent_, channelPercents_, muted_,
               ShownValues{shownVolume_, shownBalance_, shownMuted_}, onlyChanges);
    enableControl(panel_, kIds.volume, static_cast<bool>(volume_));
    enableControl(panel_, kIds.mute, static_cast<bool>(mute_));
    enableControl(panel_, kIds.balance, volume_ && channels_ == 2);
    --updateGuard_;
}

// The device holds decibels per channel: a stereo line is written channel
// by channel, keeping its balance.
void CSrcLine::onVolumeSlider() {
    if (updateGuard_ || !volume_)
        return;
    const int volume = sliderPosition(panel_, kIds.volume);
    if (volume == volumePercent_)
        return;
    const ChannelPercents channels =
        channels_ == 2 ? channelsForVolume(volume, volumePercent_, channelPercents_)
                       : ChannelPercents{volume, volume};
    writeChannels(channels);
    channelPercents_ = channels;
    volumePercent_ = volume;
    ++updateGuard_;
    showValues(panel_, kIds.volume, kIds.volumeValue, kIds.balance, kIds.balanceValue, kIds.mute,
               volumePercent_, channelPercents_, muted_,
               ShownValues{shownVolume_, shownBalance_, shownMuted_}, true);
    --updateGuard_;
}

void CSrcLine::onBalanceSlider() {
    if (updateGuard_ || !volume_ || channels_ != 2)
        return;
    const int position = sliderPosition(panel_, kIds.balance);
    const ChannelPercents wanted = channelsAtBalance(volumePercent_, position);
    setNumber(panel_, kIds.balanceValue, balanceNumber(position));
    shownBalance_ = position;
    if (wanted.left != channelPercents_.left || wanted.right != channelPercents_.right)
        writeChannels(wanted);
    channelPercents_ = wanted;
}

void CSrcLine::onMute() {
    if (updateGuard_ || !mute_)
        return;
    muted_ = !muted_;
    CheckDlgButton(panel_, kIds.mute, muted_ ? BST_CHECKED : BST_UNCHECKED);
    shownMuted_ = muted_;
    mute_->SetMute(muted_ ? TRUE : FALSE, nullptr);
}

} // namespace levrig
} // namespace tonvale
