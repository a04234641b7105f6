// Runs a shell command of the host from a Windows test under Wine, for tests
// that change the rig's sound server while they run (load or unload a sink).
//
// Wine starts Unix programs through CreateProcessW but hands back no handle
// to wait on, so the command reports its exit status through a file under
// /tmp (Z:\tmp for the Windows side), which is polled for.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace tonvale::testing_rig {

// The exit status of `command` run by /bin/sh, or -1 when it could not be
// started or did not end within timeoutMs. `command` must not contain '"'.
inline int runHostCommand(const std::wstring& command, DWORD timeoutMs = 10000) {
    static int serial = 0;
    const std::wstring statusFile = L"/tmp/tonvale-host-command-" +
                                    std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(++serial);
    std::wstring line = L"/bin/sh -c \"(" + command + L"); echo $? >" + statusFile + L".part; mv " +
                        statusFile + L".part " + statusFile + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    if (process.hProcess) {
        CloseHandle(process.hProcess);
    }
    if (process.hThread) {
        CloseHandle(process.hThread);
    }
    const std::wstring windowsPath = L"Z:" + statusFile;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (std::FILE* file = _wfopen(windowsPath.c_str(), L"r")) {
            int status = -1;
            if (std::fscanf(file, "%d", &status) != 1) {
                status = -1;
            }
            std::fclose(file);
            DeleteFileW(windowsPath.c_str());
            return status;
        }
        Sleep(20);
    }
    return -1;
}

} // namespace tonvale::testing_rig
