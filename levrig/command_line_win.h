// A command line of the entry points read into VolumeOptions.
#pragma once

#include "levrig/volume_options.h"

namespace tonvale {
namespace levrig {

// Splits the line as the system splits program arguments and reads the
// options (volume_options.h). A null or blank line changes nothing. Call
// under the options lock.
void parseCommandLine(const wchar_t* commandLine, EndpointResolver& resolver,
                      VolumeOptions& options);

// Finds no endpoint: for reading only the direction of a line.
class NoEndpointResolver : public EndpointResolver {
  public:
    bool endpointOfWaveIndex(bool, int, Text&) override { return false; }
    bool endpointOfDirectSoundGuid(bool, const DeviceGuid&, Text&) override { return false; }
};

// Finds endpoints through the wave API and DirectSound.
class SystemEndpointResolver : public EndpointResolver {
  public:
    bool endpointOfWaveIndex(bool recording, int index, Text& id) override;
    bool endpointOfDirectSoundGuid(bool recording, const DeviceGuid& guid, Text& id) override;
};

} // namespace levrig
} // namespace tonvale
