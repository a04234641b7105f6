#include "devices/device_catalogue_win.h"

#include "devices/names/endpoint_names_win.h"
#include "devices/sample_rate_rule.h"
#include "support/scoped_win.h"
#include "support/ui_text.h"
#include "support/windows_version.h"

#include <mmsystem.h>

#include <audioclient.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <cwchar>

namespace tonvale {
namespace {

constexpr int kDefaultDeviceText = 71; // "(Default Device)"

bool endpointMode() {
    return isWindowsVistaOrLater();
}

// The capabilities of a wave index (WAVE_MAPPER for the default device):
// product name and format bits.
bool waveCaps(DeviceDirection direction, UINT device, wchar_t (&productName)[MAXPNAMELEN],
              DWORD& formats) {
    productName[0] = L'\0';
    formats = 0;
    if (direction == DeviceDirection::capture) {
        WAVEINCAPSW caps = {};
        if (waveInGetDevCapsW(device, &caps, sizeof caps) != MMSYSERR_NOERROR) {
            return false;
        }
        std::wmemcpy(productName, caps.szPname, MAXPNAMELEN);
        formats = caps.dwFormats;
    } else {
        WAVEOUTCAPSW caps = {};
        if (waveOutGetDevCapsW(device, &caps, sizeof caps) != MMSYSERR_NOERROR) {
            return false;
        }
        std::wmemcpy(productName, caps.szPname, MAXPNAMELEN);
        formats = caps.dwFormats;
    }
    productName[MAXPNAMELEN - 1] = L'\0';
    return true;
}

template <size_t N> void copyText(wchar_t (&to)[N], const wchar_t* from) {
    const size_t length = std::min(std::wcslen(from), N - 1);
    std::wmemcpy(to, from, length);
    to[length] = L'\0';
}

bool legacyProductName(DeviceDirection direction, int32_t index, wchar_t (&name)[MAXPNAMELEN]) {
    DWORD formats = 0;
    return waveCaps(direction, static_cast<UINT>(index), name, formats);
}

uint32_t endpointMixRate(DeviceDirection direction, int32_t index) {
    wchar_t id[kEndpointIdCapacity];
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> device;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator), enumerator.receiveVoid()))) {
        return 0;
    }
    HRESULT found = E_FAIL;
    if (index < 0) {
        found = enumerator->GetDefaultAudioEndpoint(direction == DeviceDirection::capture ? eCapture
                                                                                          : eRender,
                                                    eMultimedia, device.receive());
    } else if (endpointId(direction, index, id)) {
        found = enumerator->GetDevice(id, device.receive());
    }
    ComPtr<IAudioClient> client;
    if (FAILED(found) || FAILED(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                                 client.receiveVoid()))) {
        return 0;
    }
    WAVEFORMATEX* format = nullptr;
    if (FAILED(client->GetMixFormat(&format)) || !format) {
        return 0;
    }
    const uint32_t rate = format->nSamplesPerSec;
    CoTaskMemFree(format);
    return rate;
}

} // namespace

uint32_t deviceCount(DeviceDirection direction) {
    return direction == DeviceDirection::capture ? waveInGetNumDevs() : waveOutGetNumDevs();
}

bool deviceKey(DeviceDirection direction, int32_t index, wchar_t (&key)[kDeviceKeyCapacity]) {
    key[0] = L'\0';
    if (index < 0 || static_cast<uint32_t>(index) >= deviceCount(direction)) {
        return false;
    }
    if (endpointMode()) {
        return endpointGuid(direction, index, key);
    }
    wchar_t productName[MAXPNAMELEN];
    if (!legacyProductName(direction, index, productName)) {
        return false;
    }
    copyText(key, productName);
    return true;
}

int32_t findDevice(DeviceDirection direction, const wchar_t* key) {
    if (!key || key[0] == L'\0') {
        return -1;
    }
    const bool endpoints = endpointMode();
    const int32_t count = static_cast<int32_t>(deviceCount(direction));
    for (int32_t index = 0; index < count; ++index) {
        if (endpoints) {
            wchar_t guid[kDeviceKeyCapacity];
            if (endpointGuid(direction, index, guid) && lstrcmpiW(guid, key) == 0) {
                return index;
            }
        } else {
            wchar_t productName[MAXPNAMELEN];
            if (legacyProductName(direction, index, productName) &&
                std::wcscmp(productName, key) == 0) {
                return index;
            }
        }
    }
    return -1;
}

bool displayName(DeviceDirection direction, int32_t index, wchar_t (&name)[kDisplayNameCapacity]) {
    name[0] = L'\0';
    return endpointMode() && endpointFriendlyName(direction, index, name);
}

bool defaultDeviceName(DeviceDirection direction, wchar_t (&name)[kDisplayNameCapacity]) {
    wchar_t productName[MAXPNAMELEN];
    DWORD formats = 0;
    const bool ok = waveCaps(direction, WAVE_MAPPER, productName, formats);
    copyText(name, productName);
    return ok;
}

uint32_t defaultSampleRate(DeviceDirection direction, int32_t index) {
    if (!endpointMode()) {
        wchar_t productName[MAXPNAMELEN];
        DWORD formats = 0;
        waveCaps(direction, index < 0 ? WAVE_MAPPER : static_cast<UINT>(index), productName,
                 formats);
        return rateForFormatBits(formats);
    }
    const uint32_t mixRate = endpointMixRate(direction, index);
    return mixRate == 0 ? kFallbackSampleRate : rateForMixRate(mixRate);
}

std::vector<SoundDevice> deviceList(DeviceDirection direction) {
    std::vector<SoundDevice> devices;
    const int32_t count = static_cast<int32_t>(deviceCount(direction));
    devices.resize(static_cast<size_t>(count) + 1);
    devices[0].direction = direction;
    copyText(devices[0].name, UiText(kDefaultDeviceText));
    for (int32_t index = 0; index < count; ++index) {
        SoundDevice& device = devices[static_cast<size_t>(index) + 1];
        device.direction = direction;
        device.index = index;
        deviceKey(direction, index, device.key);
        if (!displayName(direction, index, device.name) || device.name[0] == L'\0') {
            copyText(device.name, device.key);
        }
    }
    return devices;
}

} // namespace tonvale
