#include "engine/capture_system_win.h"

#include "devices/names/endpoint_names_win.h"
#include "support/scoped_win.h"

#include <mmdeviceapi.h>

namespace tonvale {
namespace {

constexpr DWORD kActiveOrUnplugged = DEVICE_STATE_ACTIVE | DEVICE_STATE_UNPLUGGED;
constexpr UINT kMicrophoneFormFactor = 4;

HMIXEROBJ mixerObject(UINT mixer) {
    return reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(mixer));
}

} // namespace

MMRESULT CaptureSystem::openWaveIn(HWAVEIN* handle, UINT device, const WAVEFORMATEX* format,
                                   DWORD_PTR callback, DWORD flags) {
    return waveInOpen(handle, device, format, callback, 0, flags);
}

MMRESULT CaptureSystem::prepareHeader(HWAVEIN handle, WAVEHDR* header) {
    return waveInPrepareHeader(handle, header, sizeof(WAVEHDR));
}

MMRESULT CaptureSystem::unprepareHeader(HWAVEIN handle, WAVEHDR* header) {
    return waveInUnprepareHeader(handle, header, sizeof(WAVEHDR));
}

MMRESULT CaptureSystem::addBuffer(HWAVEIN handle, WAVEHDR* header) {
    return waveInAddBuffer(handle, header, sizeof(WAVEHDR));
}

MMRESULT CaptureSystem::startWaveIn(HWAVEIN handle) {
    return waveInStart(handle);
}

MMRESULT CaptureSystem::resetWaveIn(HWAVEIN handle) {
    return waveInReset(handle);
}

MMRESULT CaptureSystem::closeWaveIn(HWAVEIN handle) {
    return waveInClose(handle);
}

MMRESULT CaptureSystem::mixerOf(HWAVEIN handle, UINT* mixer) {
    return mixerGetID(reinterpret_cast<HMIXEROBJ>(handle), mixer, MIXER_OBJECTF_HWAVEIN);
}

MMRESULT CaptureSystem::mixerLineInfo(UINT mixer, MIXERLINEW* line, DWORD flags) {
    return mixerGetLineInfoW(mixerObject(mixer), line, MIXER_OBJECTF_MIXER | flags);
}

MMRESULT CaptureSystem::mixerLineControls(UINT mixer, MIXERLINECONTROLSW* controls, DWORD flags) {
    return mixerGetLineControlsW(mixerObject(mixer), controls, MIXER_OBJECTF_MIXER | flags);
}

MMRESULT CaptureSystem::mixerControlDetails(UINT mixer, MIXERCONTROLDETAILS* details, DWORD flags) {
    return mixerGetControlDetailsW(mixerObject(mixer), details, MIXER_OBJECTF_MIXER | flags);
}

MMRESULT CaptureSystem::setMixerControlDetails(UINT mixer, MIXERCONTROLDETAILS* details,
                                               DWORD flags) {
    return mixerSetControlDetails(mixerObject(mixer), details, MIXER_OBJECTF_MIXER | flags);
}

IAudioEndpointVolume* CaptureSystem::microphoneEndpointVolume(int32_t deviceId) {
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> device;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), enumerator.receiveVoid()))) {
        return nullptr;
    }
    if (deviceId < 0) {
        if (FAILED(enumerator->GetDefaultAudioEndpoint(eCapture, eMultimedia, device.receive()))) {
            return nullptr;
        }
    } else {
        wchar_t id[kEndpointIdCapacity];
        if (!endpointId(DeviceDirection::capture, deviceId, id) ||
            FAILED(enumerator->GetDevice(id, device.receive()))) {
            return nullptr;
        }
    }
    DWORD state = 0;
    ComPtr<IPropertyStore> properties;
    if (FAILED(device->GetState(&state)) || (state & kActiveOrUnplugged) == 0 ||
        FAILED(device->OpenPropertyStore(STGM_READ, properties.receive()))) {
        return nullptr;
    }
    PROPVARIANT formFactor;
    PropVariantInit(&formFactor);
    const bool microphone = SUCCEEDED(properties->GetValue(kEndpointFormFactorKey, &formFactor)) &&
                            formFactor.vt == VT_UI4 && formFactor.ulVal == kMicrophoneFormFactor;
    PropVariantClear(&formFactor);
    ComPtr<IAudioEndpointVolume> volume;
    if (!microphone || FAILED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER,
                                               nullptr, volume.receiveVoid()))) {
        return nullptr;
    }
    return volume.detach();
}

CaptureSystem& systemCapture() {
    static CaptureSystem system;
    return system;
}

} // namespace tonvale
