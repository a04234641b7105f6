// The command lines the tool launchers hand to other programs.
#pragma once

#include <cstdint>
#include <string>

namespace tonvale {

// The system's volume control on its recording page; the mixer of the
// capture device when mixerId is 0 or more.
std::wstring systemVolumeCommandLine(int64_t mixerId);

// The volume-control library's: its INI file (when iniPath is not empty),
// the recording page, and the wave-in device when deviceIndex is 0 or more.
std::wstring volumeLibraryCommandLine(const std::wstring& iniPath, int32_t deviceIndex);

// The Sound control panel on its recording page.
std::wstring recordingPanelCommandLine();

} // namespace tonvale
