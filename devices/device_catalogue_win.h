// The sound devices by wave index and by the key the settings store.
//
// Endpoint mode (Windows 6.0 and later): keys are endpoint GUIDs and names
// the endpoints' friendly names. Legacy mode (before): keys and names are the
// wave API's product names. The mode is asked on every call. Nothing is
// kept between calls; every failure is silent (an empty string, -1, false
// or 44100). The calling thread must have COM initialised.
#pragma once

#include <windows.h>

#include "devices/names/device_direction.h"

#include <cstdint>
#include <vector>

namespace tonvale {

struct SoundDevice {
    DeviceDirection direction = DeviceDirection::capture;
    int32_t index = -1;                      // wave index; -1 = the default device
    wchar_t key[kDeviceKeyCapacity] = {};    // stored in the settings; empty for the default
    wchar_t name[kDisplayNameCapacity] = {}; // shown in device lists
};

uint32_t deviceCount(DeviceDirection direction);

// Fails for index < 0 and index >= deviceCount.
bool deviceKey(DeviceDirection direction, int32_t index, wchar_t (&key)[kDeviceKeyCapacity]);

// The first index with this key: an endpoint GUID compared ignoring case, or
// a product name compared exactly. -1 (the default device) for a null or
// empty key and for a key no device has any more.
int32_t findDevice(DeviceDirection direction, const wchar_t* key);

// Endpoint mode only: the endpoint's friendly name, cut to 255 characters.
bool displayName(DeviceDirection direction, int32_t index, wchar_t (&name)[kDisplayNameCapacity]);

// The wave mapper's product name, for window titles when no device is chosen.
bool defaultDeviceName(DeviceDirection direction, wchar_t (&name)[kDisplayNameCapacity]);

// The rate to open a device at when the settings leave it to the device:
// from the endpoint's mix rate, or from the legacy format bits.
uint32_t defaultSampleRate(DeviceDirection direction, int32_t index);

// The entries of a device chooser: "(Default Device)" first (index -1, no
// key), then every index in order, named by its display name or else its
// key. An index whose key cannot be read keeps its place with an empty name.
std::vector<SoundDevice> deviceList(DeviceDirection direction);

} // namespace tonvale
