// A recording mixer in memory, for the mixers Wine's cannot stand in for:
// one with a selection control, or more sources than the switch handles.
// Ids: destination line 0xFFFF0000, its mute control 1, its selection
// control 2; source i has line id 0x100 + i and mute control 0x200 + i.
#pragma once

#include <windows.h>

#include "engine/capture_system_win.h"

#include <mmsystem.h>

#include <cwchar>
#include <vector>

namespace tonvale::test {

class FakeRecordingMixer : public CaptureSystem {
  public:
    struct Source {
        DWORD componentType = MIXERLINE_COMPONENTTYPE_SRC_LINE;
        bool hasMute = true;
        bool multipleMute = false; // a mute control of several items
        bool muted = false;
        bool selected = false; // item of the selection control
    };

    static constexpr DWORD kDestinationLine = 0xFFFF0000;
    static constexpr DWORD kDestinationMute = 1;
    static constexpr DWORD kSelectionControl = 2;

    std::vector<Source> sources;
    DWORD selectionType = 0;    // MIXERCONTROL_CONTROLTYPE_MIXER or _MUX; 0 for none
    DWORD selectionItems = ~0u; // ~0: one item per source
    bool destinationHasMute = true;
    bool destinationMuted = false;
    MMRESULT mixerIdResult = MMSYSERR_NOERROR;
    // The result of a lookup of a control type the line lacks.
    MMRESULT noControlResult = MIXERR_INVALCONTROL;
    int writesBeforeFailure = -1; // -1: writes never fail
    int writes = 0;

    static constexpr DWORD sourceLine(size_t i) { return 0x100 + static_cast<DWORD>(i); }

    MMRESULT mixerOf(HWAVEIN, UINT* mixer) override {
        *mixer = 7;
        return mixerIdResult;
    }

    MMRESULT mixerLineInfo(UINT, MIXERLINEW* line, DWORD flags) override {
        if (flags == MIXER_GETLINEINFOF_COMPONENTTYPE) {
            if (line->dwComponentType != MIXERLINE_COMPONENTTYPE_DST_WAVEIN) {
                return MIXERR_INVALLINE;
            }
            line->dwLineID = kDestinationLine;
            line->dwDestination = 0;
            line->cConnections = static_cast<DWORD>(sources.size());
            return MMSYSERR_NOERROR;
        }
        if (flags != MIXER_GETLINEINFOF_SOURCE || line->dwDestination != 0 ||
            line->dwSource >= sources.size()) {
            return MIXERR_INVALLINE;
        }
        line->dwLineID = sourceLine(line->dwSource);
        line->dwComponentType = sources[line->dwSource].componentType;
        return MMSYSERR_NOERROR;
    }

    MMRESULT mixerLineControls(UINT, MIXERLINECONTROLSW* lookup, DWORD flags) override {
        if (flags != MIXER_GETLINECONTROLSF_ONEBYTYPE || lookup->cControls != 1) {
            return MMSYSERR_INVALPARAM;
        }
        MIXERCONTROLW& control = *lookup->pamxctrl;
        const DWORD type = lookup->dwControlType;
        if (lookup->dwLineID == kDestinationLine) {
            if (type == MIXERCONTROL_CONTROLTYPE_MUTE && destinationHasMute) {
                control.dwControlID = kDestinationMute;
                return MMSYSERR_NOERROR;
            }
            if (type == selectionType && selectionType != 0) {
                control.dwControlID = kSelectionControl;
                control.fdwControl = MIXERCONTROL_CONTROLF_MULTIPLE;
                control.cMultipleItems = items();
                return MMSYSERR_NOERROR;
            }
            return noControlResult;
        }
        const size_t i = lookup->dwLineID - sourceLine(0);
        if (i >= sources.size() || type != MIXERCONTROL_CONTROLTYPE_MUTE || !sources[i].hasMute) {
            return noControlResult;
        }
        control.dwControlID = 0x200 + static_cast<DWORD>(i);
        control.fdwControl = sources[i].multipleMute ? MIXERCONTROL_CONTROLF_MULTIPLE : 0;
        control.cMultipleItems = sources[i].multipleMute ? 2 : 0;
        return MMSYSERR_NOERROR;
    }

    MMRESULT mixerControlDetails(UINT, MIXERCONTROLDETAILS* details, DWORD flags) override {
        if (details->dwControlID == kSelectionControl) {
            if (details->cMultipleItems != items()) {
                return MMSYSERR_INVALPARAM;
            }
            for (DWORD i = 0; i < items(); ++i) {
                if (flags == MIXER_GETCONTROLDETAILSF_LISTTEXT) {
                    auto* texts = static_cast<MIXERCONTROLDETAILS_LISTTEXTW*>(details->paDetails);
                    // Items listed in reverse, so item and source numbers differ.
                    texts[i].dwParam1 = sourceLine(sources.size() - 1 - i);
                    std::wcscpy(texts[i].szName, L"source");
                } else {
                    values(details)[i].fValue = sources[sources.size() - 1 - i].selected;
                }
            }
            return MMSYSERR_NOERROR;
        }
        bool* state = switchOf(details->dwControlID);
        if (!state || flags != MIXER_GETCONTROLDETAILSF_VALUE) {
            return MIXERR_INVALCONTROL;
        }
        values(details)[0].fValue = *state;
        return MMSYSERR_NOERROR;
    }

    MMRESULT setMixerControlDetails(UINT, MIXERCONTROLDETAILS* details, DWORD) override {
        if (writes++ == writesBeforeFailure) {
            return MMSYSERR_ERROR;
        }
        if (details->dwControlID == kSelectionControl) {
            for (DWORD i = 0; i < items(); ++i) {
                sources[sources.size() - 1 - i].selected = values(details)[i].fValue != 0;
            }
            return MMSYSERR_NOERROR;
        }
        bool* state = switchOf(details->dwControlID);
        if (!state) {
            return MIXERR_INVALCONTROL;
        }
        *state = values(details)[0].fValue != 0;
        return MMSYSERR_NOERROR;
    }

  private:
    DWORD items() const {
        return selectionItems == ~0u ? static_cast<DWORD>(sources.size()) : selectionItems;
    }
    static MIXERCONTROLDETAILS_BOOLEAN* values(MIXERCONTROLDETAILS* details) {
        return static_cast<MIXERCONTROLDETAILS_BOOLEAN*>(details->paDetails);
    }
    bool* switchOf(DWORD control) {
        if (control == kDestinationMute) {
            return &destinationMuted;
        }
        const size_t i = control - 0x200;
        return i < sources.size() ? &sources[i].muted : nullptr;
    }
};

} // namespace tonvale::test
