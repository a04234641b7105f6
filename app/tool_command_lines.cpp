#include "app/tool_command_lines.h"

namespace tonvale {

std::wstring systemVolumeCommandLine(int64_t mixerId) {
    std::wstring line = L"sndvol32.exe /R";
    if (mixerId >= 0)
        line += L" /D" + std::to_wstring(mixerId);
    return line;
}

std::wstring volumeLibraryCommandLine(const std::wstring& iniPath, int32_t deviceIndex) {
    std::wstring line;
    if (!iniPath.empty())
        line += L" /I \"" + iniPath + L"\"";
    line += L" /R";
    if (deviceIndex >= 0)
        line += L" /D" + std::to_wstring(deviceIndex);
    return line.substr(1);
}

std::wstring recordingPanelCommandLine() {
    return L"control.exe mmsys.cpl,,1";
}

} // namespace tonvale
