// What a command line asks of a volume window, and how it is read.
//
// An option is an argument starting with "-" or "/" followed by a letter
// (either case); every other argument is ignored:
//   A       list endpoints in every state, not only active ones
//   D<n>    the endpoint behind wave device n (one digit) of the direction
//   E <id>  the endpoint of that id (at most 259 characters)
//   G <g>   the endpoint behind a DirectSound device GUID (32 hex digits,
//           other characters skipped)
//   I <f>   keep the window's place in INI file f
//   K <k>   keep it under HKEY_CURRENT_USER\k (at most 256 characters)
//   M       offer the mute box even without a hardware mute
//   R       recording endpoints (else playback)
// Of D, E and G the last one given decides; of I and K the first. A value
// that is bad or too long leaves its option without effect; an option whose
// value is missing ends the parsing.
#pragma once

#include "levrig/private_heap.h"

#include <cstddef>
#include <cstdint>

namespace tonvale {
namespace levrig {

constexpr int32_t kNoPlace = INT32_MIN; // left/top when none is saved
constexpr size_t kMaxEndpointIdLength = 259;
constexpr size_t kMaxRegistryKeyLength = 256;

enum class PlaceStore { none, registry, iniFile };

struct VolumeOptions {
    bool recording = false;
    bool allStates = false;
    bool softwareMute = false;
    Text endpointId; // empty: the direction's default endpoint
    int32_t left = kNoPlace;
    int32_t top = kNoPlace;
    int32_t height = 0; // 0: none saved
    PlaceStore store = PlaceStore::none;
    Text storePath; // the registry key or the INI file
};

// A DirectSound device GUID in the layout of the Windows GUID.
struct DeviceGuid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
};

// The first 32 hexadecimal digits of text, other characters skipped, read in
// the order a GUID is written. False when fewer than 32 are found.
bool parseDeviceGuid(const wchar_t* text, DeviceGuid& guid);

// How the D and G options find an endpoint id; false when there is none.
class EndpointResolver {
  public:
    virtual ~EndpointResolver() = default;
    virtual bool endpointOfWaveIndex(bool recording, int index, Text& id) = 0;
    virtual bool endpointOfDirectSoundGuid(bool recording, const DeviceGuid& guid, Text& id) = 0;
};

// Reads the options of args[0 ... count) into options (which keeps what no
// option changes). The endpoint of D and G is looked up once the direction
// is known, after all arguments are read; a failed lookup leaves the default
// endpoint.
void parseVolumeOptions(const wchar_t* const* args, int count, EndpointResolver& resolver,
                        VolumeOptions& options);

// "Record" or "Playback": the section or subkey the place is kept under.
const char* placeSectionName(bool recording);

} // namespace levrig
} // namespace tonvale
