// Which way a sound device carries sound. The values are those of the Core
// Audio data flow, so they can be passed to it and posted as they are.
#pragma once

#include <cstddef>

namespace tonvale {

enum class DeviceDirection : int {
    playback = 0, // wave output, eRender
    capture = 1,  // wave input, eCapture
};

// Buffer sizes in characters, terminator included.
constexpr size_t kDeviceKeyCapacity = 64;    // a product name or an endpoint GUID in braces
constexpr size_t kDisplayNameCapacity = 256; // a friendly name, cut to 255 characters
constexpr size_t kEndpointIdCapacity = 260;  // a Core Audio device id (520 bytes)

} // namespace tonvale
