// The Core Audio endpoint behind a wave device index, and the names read from
// its properties. Shared by the tuner and levrig.
//
// Each call creates and releases its own Core Audio objects; the calling
// thread must have COM initialised. On failure the output holds an empty
// string.
#pragma once

#include <windows.h>

#include "devices/names/device_direction.h"

#include <propsys.h>

#include <cstdint>

namespace tonvale {

// {1DA5D803-D492-4EDD-8C23-E0C0FFEE7F0E},4: the endpoint's GUID, a settings key.
extern const PROPERTYKEY kEndpointGuidKey;
// {1DA5D803-D492-4EDD-8C23-E0C0FFEE7F0E},0: the endpoint's form factor.
extern const PROPERTYKEY kEndpointFormFactorKey;
// {A45C254E-DF1C-4EFD-8020-67D146A850E0},14: the name shown to users.
extern const PROPERTYKEY kDeviceFriendlyNameKey;

// The device id of the endpoint behind wave index `index`: the driver's
// function instance id for index >= 0, the default multimedia endpoint for
// index < 0 (an empty id counts as found there).
bool endpointId(DeviceDirection direction, int32_t index, wchar_t (&id)[kEndpointIdCapacity]);

// The endpoint GUID ("{...}", 38 characters) of wave index `index` >= 0.
bool endpointGuid(DeviceDirection direction, int32_t index, wchar_t (&key)[kDeviceKeyCapacity]);

// The friendly name of the endpoint behind wave index `index`, cut to 255
// characters.
bool endpointFriendlyName(DeviceDirection direction, int32_t index,
                          wchar_t (&name)[kDisplayNameCapacity]);

} // namespace tonvale
