#include "devices/names/endpoint_names_win.h"

#include "support/scoped_win.h"

#include <mmsystem.h>

#include <mmdeviceapi.h>

#include <cwchar>

namespace tonvale {

const PROPERTYKEY kEndpointGuidKey = {
    {0x1DA5D803, 0xD492, 0x4EDD, {0x8C, 0x23, 0xE0, 0xC0, 0xFF, 0xEE, 0x7F, 0x0E}}, 4};
const PROPERTYKEY kEndpointFormFactorKey = {
    {0x1DA5D803, 0xD492, 0x4EDD, {0x8C, 0x23, 0xE0, 0xC0, 0xFF, 0xEE, 0x7F, 0x0E}}, 0};
const PROPERTYKEY kDeviceFriendlyNameKey = {
    {0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}, 14};

namespace {

// Driver messages asking a wave device for the Core Audio id behind it.
constexpr UINT kQueryInstanceId = 0x811;     // DRV_QUERYFUNCTIONINSTANCEID
constexpr UINT kQueryInstanceIdSize = 0x812; // DRV_QUERYFUNCTIONINSTANCEIDSIZE

MMRESULT waveMessage(DeviceDirection direction, int32_t index, UINT message, DWORD_PTR first,
                     DWORD_PTR second) {
    // These messages take the device index in place of a handle.
    if (direction == DeviceDirection::capture) {
        return waveInMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(index)), message,
                             first, second);
    }
    return waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(index)), message, first,
                          second);
}

EDataFlow dataFlow(DeviceDirection direction) {
    return direction == DeviceDirection::capture ? eCapture : eRender;
}

bool defaultEndpointId(DeviceDirection direction, wchar_t (&id)[kEndpointIdCapacity]) {
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> device;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), enumerator.receiveVoid())) ||
        FAILED(enumerator->GetDefaultAudioEndpoint(dataFlow(direction), eMultimedia,
                                                   device.receive()))) {
        return false;
    }
    wchar_t* text = nullptr;
    if (FAILED(device->GetId(&text)) || !text) {
        return false;
    }
    const size_t length = std::wcslen(text);
    const bool fits = length < kEndpointIdCapacity;
    if (fits) {
        std::wmemcpy(id, text, length + 1);
    }
    CoTaskMemFree(text);
    return fits;
}

// Reads a string property of the endpoint behind a wave index into `out`,
// which holds `capacity` characters. `cut`: a longer value is cut to fit;
// otherwise it fails.
bool readEndpointString(DeviceDirection direction, int32_t index, const PROPERTYKEY& key,
                        wchar_t* out, size_t capacity, bool cut) {
    wchar_t id[kEndpointIdCapacity];
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> device;
    ComPtr<IPropertyStore> properties;
    if (!endpointId(direction, index, id) ||
        FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), enumerator.receiveVoid())) ||
        FAILED(enumerator->GetDevice(id, device.receive())) ||
        FAILED(device->OpenPropertyStore(STGM_READ, properties.receive()))) {
        return false;
    }
    PROPVARIANT value;
    PropVariantInit(&value);
    bool ok = SUCCEEDED(properties->GetValue(key, &value)) && value.vt == VT_LPWSTR &&
              value.pwszVal != nullptr;
    if (ok) {
        size_t length = std::wcslen(value.pwszVal);
        if (length >= capacity) {
            ok = cut;
            length = capacity - 1;
        }
        if (ok) {
            std::wmemcpy(out, value.pwszVal, length);
            out[length] = L'\0';
        }
    }
    PropVariantClear(&value);
    return ok;
}

} // namespace

bool endpointId(DeviceDirection direction, int32_t index, wchar_t (&id)[kEndpointIdCapacity]) {
    id[0] = L'\0';
    if (index < 0) {
        return defaultEndpointId(direction, id);
    }
    // Counting first also makes Wine's winmm load its device list, which the
    // driver messages alone do not.
    const UINT count =
        direction == DeviceDirection::capture ? waveInGetNumDevs() : waveOutGetNumDevs();
    if (static_cast<UINT>(index) >= count) {
        return false;
    }
    ULONG sizeBytes = 0;
    if (waveMessage(direction, index, kQueryInstanceIdSize, reinterpret_cast<DWORD_PTR>(&sizeBytes),
                    0) != MMSYSERR_NOERROR ||
        sizeBytes > sizeof id) {
        return false;
    }
    if (waveMessage(direction, index, kQueryInstanceId, reinterpret_cast<DWORD_PTR>(id),
                    sizeBytes) != MMSYSERR_NOERROR) {
        id[0] = L'\0';
        return false;
    }
    id[kEndpointIdCapacity - 1] = L'\0';
    return true;
}

bool endpointGuid(DeviceDirection direction, int32_t index, wchar_t (&key)[kDeviceKeyCapacity]) {
    key[0] = L'\0';
    return readEndpointString(direction, index, kEndpointGuidKey, key, kDeviceKeyCapacity, false);
}

bool endpointFriendlyName(DeviceDirection direction, int32_t index,
                          wchar_t (&name)[kDisplayNameCapacity]) {
    name[0] = L'\0';
    return readEndpointString(direction, index, kDeviceFriendlyNameKey, name, kDisplayNameCapacity,
                              true);
}

} // namespace tonvale
