// The system calls of the capture stream: wave-in, the recording mixer and
// the microphone endpoint. The base class makes the real calls; a test
// derives from it to force a failure or to stand in for what Wine lacks (a
// recording mixer with source selection, an endpoint that stays muted).
//
// Mixers are named by their id; the flags are the MIXER_GET*/SET* flags
// without the MIXER_OBJECTF_ part.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <endpointvolume.h>

#include <cstdint>

namespace tonvale {

class CaptureSystem {
  public:
    virtual ~CaptureSystem() = default;

    virtual MMRESULT openWaveIn(HWAVEIN* handle, UINT device, const WAVEFORMATEX* format,
                                DWORD_PTR callback, DWORD flags);
    virtual MMRESULT prepareHeader(HWAVEIN handle, WAVEHDR* header);
    virtual MMRESULT unprepareHeader(HWAVEIN handle, WAVEHDR* header);
    virtual MMRESULT addBuffer(HWAVEIN handle, WAVEHDR* header);
    virtual MMRESULT startWaveIn(HWAVEIN handle);
    virtual MMRESULT resetWaveIn(HWAVEIN handle);
    virtual MMRESULT closeWaveIn(HWAVEIN handle);

    // The mixer of an open wave-in device.
    virtual MMRESULT mixerOf(HWAVEIN handle, UINT* mixer);
    virtual MMRESULT mixerLineInfo(UINT mixer, MIXERLINEW* line, DWORD flags);
    virtual MMRESULT mixerLineControls(UINT mixer, MIXERLINECONTROLSW* controls, DWORD flags);
    virtual MMRESULT mixerControlDetails(UINT mixer, MIXERCONTROLDETAILS* details, DWORD flags);
    virtual MMRESULT setMixerControlDetails(UINT mixer, MIXERCONTROLDETAILS* details, DWORD flags);

    // The endpoint volume of the capture endpoint behind wave-in device
    // `deviceId` (negative: the default one) when that endpoint is active or
    // unplugged and its form factor is Microphone; else null. The caller
    // owns the reference. COM must be initialised on the calling thread.
    virtual IAudioEndpointVolume* microphoneEndpointVolume(int32_t deviceId);
};

// The real calls, shared by every stream.
CaptureSystem& systemCapture();

} // namespace tonvale
