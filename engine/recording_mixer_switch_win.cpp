#include "engine/recording_mixer_switch_win.h"

namespace tonvale {
namespace {

using Items = MIXERCONTROLDETAILS_BOOLEAN[RecordingMixerSwitch::kMaxSources];

// The wave-in destination line of the open device's mixer.
MMRESULT waveInDestination(CaptureSystem& system, HWAVEIN device, UINT& mixer,
                           MIXERLINEW& destination) {
    const MMRESULT result = system.mixerOf(device, &mixer);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    destination = {};
    destination.cbStruct = sizeof destination;
    destination.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    return system.mixerLineInfo(mixer, &destination, MIXER_GETLINEINFOF_COMPONENTTYPE);
}

MMRESULT sourceLine(CaptureSystem& system, UINT mixer, const MIXERLINEW& destination, DWORD index,
                    MIXERLINEW& source) {
    source = {};
    source.cbStruct = sizeof source;
    source.dwDestination = destination.dwDestination;
    source.dwSource = index;
    return system.mixerLineInfo(mixer, &source, MIXER_GETLINEINFOF_SOURCE);
}

// MIXERR_INVALCONTROL when the line has no control of that type.
MMRESULT controlOfType(CaptureSystem& system, UINT mixer, DWORD lineId, DWORD type,
                       MIXERCONTROLW& control) {
    control = {};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSW lookup = {};
    lookup.cbStruct = sizeof lookup;
    lookup.dwLineID = lineId;
    lookup.dwControlType = type;
    lookup.cControls = 1;
    lookup.cbmxctrl = sizeof control;
    lookup.pamxctrl = &control;
    return system.mixerLineControls(mixer, &lookup, MIXER_GETLINECONTROLSF_ONEBYTYPE);
}

// The multiple-select control, or else the multiplexer.
MMRESULT selectionControl(CaptureSystem& system, UINT mixer, DWORD lineId, MIXERCONTROLW& control) {
    const MMRESULT result =
        controlOfType(system, mixer, lineId, MIXERCONTROL_CONTROLTYPE_MIXER, control);
    if (result != MIXERR_INVALCONTROL) {
        return result;
    }
    return controlOfType(system, mixer, lineId, MIXERCONTROL_CONTROLTYPE_MUX, control);
}

bool isSingleItem(const MIXERCONTROLW& control) {
    return (control.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) == 0 &&
           control.cMultipleItems <= 1;
}

// One value for all channels; items = 0 for a single-item control.
MIXERCONTROLDETAILS detailsOf(const MIXERCONTROLW& control, DWORD items, DWORD itemSize,
                              void* values) {
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cMultipleItems = items;
    details.cbDetails = itemSize;
    details.paDetails = values;
    return details;
}

MMRESULT readItems(CaptureSystem& system, UINT mixer, const MIXERCONTROLW& control, DWORD items,
                   MIXERCONTROLDETAILS_BOOLEAN* values) {
    MIXERCONTROLDETAILS details = detailsOf(control, items, sizeof *values, values);
    return system.mixerControlDetails(mixer, &details, MIXER_GETCONTROLDETAILSF_VALUE);
}

MMRESULT writeItems(CaptureSystem& system, UINT mixer, const MIXERCONTROLW& control, DWORD items,
                    MIXERCONTROLDETAILS_BOOLEAN* values) {
    MIXERCONTROLDETAILS details = detailsOf(control, items, sizeof *values, values);
    return system.setMixerControlDetails(mixer, &details, MIXER_SETCONTROLDETAILSF_VALUE);
}

MMRESULT readSwitch(CaptureSystem& system, UINT mixer, const MIXERCONTROLW& control, bool& on) {
    MIXERCONTROLDETAILS_BOOLEAN value = {};
    const MMRESULT result = readItems(system, mixer, control, 0, &value);
    on = value.fValue != 0;
    return result;
}

MMRESULT writeSwitch(CaptureSystem& system, UINT mixer, const MIXERCONTROLW& control, bool on) {
    MIXERCONTROLDETAILS_BOOLEAN value = {};
    value.fValue = on ? 1 : 0;
    return writeItems(system, mixer, control, 0, &value);
}

} // namespace

MMRESULT RecordingMixerSwitch::switchToMicrophone(CaptureSystem& system, HWAVEIN device) {
    saved_ = 0;
    sourcesWritten_ = 0;
    destinationWritten_ = false;
    UINT mixer = 0;
    MIXERLINEW destination;
    MMRESULT result = waveInDestination(system, device, mixer, destination);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    if (destination.cConnections > kMaxSources) {
        return MMSYSERR_NOERROR;
    }
    MIXERCONTROLW selection;
    const MMRESULT lookup = selectionControl(system, mixer, destination.dwLineID, selection);
    if (lookup == MMSYSERR_NOERROR) {
        if (selection.cMultipleItems != destination.cConnections) {
            return MMSYSERR_NOERROR;
        }
        result = selectMicrophone(system, mixer, destination, selection);
    } else if (destination.cConnections == 0) {
        return lookup;
    } else {
        result = muteAllButMicrophone(system, mixer, destination);
    }
    if (result == MMSYSERR_NOERROR) {
        result = unmuteDestination(system, mixer, destination);
    }
    if (result == MMSYSERR_NOERROR) {
        saved_ |= kSwitched;
    }
    return result;
}

MMRESULT RecordingMixerSwitch::selectMicrophone(CaptureSystem& system, UINT mixer,
                                                const MIXERLINEW& destination,
                                                const MIXERCONTROLW& selection) {
    const DWORD items = selection.cMultipleItems;
    Items values = {};
    MMRESULT result = readItems(system, mixer, selection, items, values);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    for (DWORD i = 0; i < items; ++i) {
        if (values[i].fValue != 0) {
            saved_ |= 1u << i;
        }
        values[i].fValue = 0;
    }
    MIXERLINEW source;
    bool microphoneFound = false;
    for (DWORD i = 0; i < destination.cConnections && !microphoneFound; ++i) {
        result = sourceLine(system, mixer, destination, i, source);
        if (result != MMSYSERR_NOERROR) {
            return result;
        }
        microphoneFound = source.dwComponentType == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    }
    if (microphoneFound) {
        MIXERCONTROLDETAILS_LISTTEXTW texts[kMaxSources] = {};
        MIXERCONTROLDETAILS details = detailsOf(selection, items, sizeof texts[0], texts);
        result = system.mixerControlDetails(mixer, &details, MIXER_GETCONTROLDETAILSF_LISTTEXT);
        if (result != MMSYSERR_NOERROR) {
            return result;
        }
        for (DWORD i = 0; i < items; ++i) {
            if (texts[i].dwParam1 == source.dwLineID) {
                values[i].fValue = 1;
                break;
            }
        }
    }
    result = writeItems(system, mixer, selection, items, values);
    if (result == MMSYSERR_NOERROR) {
        sourcesWritten_ = items;
    }
    return result;
}

MMRESULT RecordingMixerSwitch::muteAllButMicrophone(CaptureSystem& system, UINT mixer,
                                                    const MIXERLINEW& destination) {
    for (DWORD i = 0; i < destination.cConnections; ++i) {
        MIXERLINEW source;
        MMRESULT result = sourceLine(system, mixer, destination, i, source);
        if (result != MMSYSERR_NOERROR) {
            return result;
        }
        MIXERCONTROLW mute;
        result = controlOfType(system, mixer, source.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, mute);
        if (result == MIXERR_INVALCONTROL) {
            continue;
        }
        if (result != MMSYSERR_NOERROR) {
            return result;
        }
        if (!isSingleItem(mute)) {
            continue;
        }
        bool muted = false;
        result = readSwitch(system, mixer, mute, muted);
        if (result != MMSYSERR_NOERROR) {
            return result;
        }
        if (muted) {
            saved_ |= 1u << i;
        }
        const bool microphone = source.dwComponentType == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
        result = writeSwitch(system, mixer, mute, !microphone);
        if (result != MMSYSERR_NOERROR) {
            return result;
        }
        sourcesWritten_ = i + 1;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT RecordingMixerSwitch::unmuteDestination(CaptureSystem& system, UINT mixer,
                                                 const MIXERLINEW& destination) {
    MIXERCONTROLW mute;
    MMRESULT result =
        controlOfType(system, mixer, destination.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, mute);
    if (result == MIXERR_INVALCONTROL) {
        return MMSYSERR_NOERROR;
    }
    bool muted = false;
    if (result == MMSYSERR_NOERROR) {
        result = readSwitch(system, mixer, mute, muted);
    }
    if (result == MMSYSERR_NOERROR && muted) {
        result = writeSwitch(system, mixer, mute, false);
        if (result == MMSYSERR_NOERROR) {
            saved_ |= kDestinationUnmuted;
            destinationWritten_ = true;
        }
    }
    return result;
}

void RecordingMixerSwitch::restore(CaptureSystem& system, HWAVEIN device) {
    const uint32_t saved = saved_;
    const DWORD sourcesWritten = sourcesWritten_;
    const bool destinationWritten = destinationWritten_;
    saved_ = 0;
    sourcesWritten_ = 0;
    destinationWritten_ = false;
    UINT mixer = 0;
    MIXERLINEW destination;
    if ((sourcesWritten == 0 && !destinationWritten) ||
        waveInDestination(system, device, mixer, destination) != MMSYSERR_NOERROR ||
        destination.cConnections > kMaxSources) {
        return;
    }
    MIXERCONTROLW selection;
    if (selectionControl(system, mixer, destination.dwLineID, selection) == MMSYSERR_NOERROR) {
        if (sourcesWritten > 0 && selection.cMultipleItems == destination.cConnections) {
            Items values = {};
            for (DWORD i = 0; i < selection.cMultipleItems; ++i) {
                values[i].fValue = (saved >> i) & 1;
            }
            if (writeItems(system, mixer, selection, selection.cMultipleItems, values) !=
                MMSYSERR_NOERROR) {
                return;
            }
        }
    } else {
        for (DWORD i = 0; i < sourcesWritten && i < destination.cConnections; ++i) {
            MIXERLINEW source;
            MIXERCONTROLW mute;
            if (sourceLine(system, mixer, destination, i, source) != MMSYSERR_NOERROR) {
                return;
            }
            const MMRESULT found =
                controlOfType(system, mixer, source.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, mute);
            if (found == MIXERR_INVALCONTROL ||
                (found == MMSYSERR_NOERROR && !isSingleItem(mute))) {
                continue;
            }
            if (found != MMSYSERR_NOERROR ||
                writeSwitch(system, mixer, mute, ((saved >> i) & 1) != 0) != MMSYSERR_NOERROR) {
                return;
            }
        }
    }
    MIXERCONTROLW mute;
    if (destinationWritten &&
        controlOfType(system, mixer, destination.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, mute) ==
            MMSYSERR_NOERROR) {
        writeSwitch(system, mixer, mute, (saved & kDestinationUnmuted) != 0);
    }
}

} // namespace tonvale
