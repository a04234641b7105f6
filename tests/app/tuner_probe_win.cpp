// Looks at a running tuner from outside, as a screen reader or a script
// would: finds its main window by class, reads the meter's window text and
// the places of its controls, and sends it what a user's clicks would.
//   tuner_probe count                      windows of the tuner's class
//   tuner_probe watch TEXT TIMEOUT_MS      waits until the meter reads TEXT
//                                          (a prefix); prints the text, the
//                                          milliseconds waited and the Unix
//                                          time in milliseconds it was seen
//   tuner_probe settle TEXT SPAN_MS TIMEOUT_MS
//                                          once the meter reads TEXT (a
//                                          prefix), the text it shows most
//                                          over the next SPAN_MS, and the
//                                          share of that time in percent
//   tuner_probe text                       the meter's text now
//   tuner_probe places                     screen rectangles: main client,
//                                          meter client, power lamp
//   tuner_probe command ID                 a menu command (WM_COMMAND)
//   tuner_probe close                      WM_CLOSE, as the close box
//   tuner_probe quit                       WM_QUIT to the tuner's thread
//   tuner_probe folder                     the settings folder
//   tuner_probe tone-shown                 whether the reference tone window
//                                          is open and visible
//   tuner_probe tone-click ID              clicks a control of that window
//   tuner_probe stats                      the tuner process's CPU time
//                                          (ms), private and working-set
//                                          bytes
//   tuner_probe modules                    the file names of the modules
//                                          loaded in the tuner process
// Exit status 0 on success, 1 when the tuner or the text was not found.
#include <windows.h>

#include <psapi.h>
#include <shlobj.h>

#include "app/main_commands.h"
#include "app/program_version.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <map>
#include <string>

namespace {

HWND tuner() {
    return FindWindowW(tonvale::kSingleInstanceName, nullptr);
}

std::wstring meterText(HWND main) {
    wchar_t text[256] = {};
    HWND meter = GetDlgItem(main, tonvale::kMeterId);
    if (meter)
        SendMessageTimeoutW(meter, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

BOOL CALLBACK countTuners(HWND window, LPARAM count) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    if (wcscmp(name, tonvale::kSingleInstanceName) == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

void printClientRect(const char* name, HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    std::printf("%s %ld %ld %ld %ld\n", name, origin.x, origin.y, client.right, client.bottom);
}

unsigned long long unixTimeMs() {
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return ticks / 10000 - 11644473600000ULL;
}

unsigned long long toMs(const FILETIME& time) {
    return ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
           10000;
}

int printStats(HWND main) {
    DWORD processId = 0;
    GetWindowThreadProcessId(main, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return 1;
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    std::printf("cpu_ms %llu private %llu working_set %llu\n", toMs(kernel) + toMs(user),
                static_cast<unsigned long long>(memory.PrivateUsage),
                static_cast<unsigned long long>(memory.WorkingSetSize));
    CloseHandle(process);
    return 0;
}

int printModules(HWND main) {
    DWORD processId = 0;
    GetWindowThreadProcessId(main, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return 1;
    HMODULE modules[512] = {};
    DWORD bytes = 0;
    const bool listed = EnumProcessModules(process, modules, sizeof modules, &bytes);
    const DWORD count = std::min<DWORD>(bytes / sizeof(HMODULE), 512);
    for (DWORD i = 0; listed && i < count; ++i) {
        wchar_t name[MAX_PATH] = {};
        if (GetModuleBaseNameW(process, modules[i], name, MAX_PATH))
            std::printf("%ls\n", name);
    }
    CloseHandle(process);
    return listed ? 0 : 1;
}

bool waitFor(const wchar_t* expected, DWORD timeoutMs, std::wstring& text) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND main = tuner();
        text = main ? meterText(main) : L"";
        if (main && text.compare(0, wcslen(expected), expected) == 0)
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
}

int watch(const wchar_t* expected, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    std::wstring text;
    if (!waitFor(expected, timeoutMs, text)) {
        std::printf("%ls\n", text.c_str());
        return 1;
    }
    std::printf("%ls\n%lu\n%llu\n", text.c_str(), GetTickCount() - start, unixTimeMs());
    return 0;
}

// A tone's first readings pass through the values between the old tone and
// the new one, and a gap in the stream blanks the meter for a moment: what a
// user reads is the text shown longest.
int settle(const wchar_t* expected, DWORD spanMs, DWORD timeoutMs) {
    std::wstring text;
    if (!waitFor(expected, timeoutMs, text)) {
        std::printf("%ls\n", text.c_str());
        return 1;
    }
    std::map<std::wstring, int> seen;
    const DWORD start = GetTickCount();
    int samples = 0;
    do {
        HWND main = tuner();
        if (!main)
            return 1;
        ++seen[meterText(main)];
        ++samples;
        Sleep(10);
    } while (GetTickCount() - start < spanMs);
    const auto most = std::max_element(
        seen.begin(), seen.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    std::printf("%ls\n%d\n", most->first.c_str(), most->second * 100 / samples);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"count") {
        int count = 0;
        EnumWindows(countTuners, reinterpret_cast<LPARAM>(&count));
        std::printf("%d\n", count);
        return 0;
    }
    if (command == L"watch" && argc > 3)
        return watch(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
    if (command == L"settle" && argc > 4)
        return settle(argv[2], static_cast<DWORD>(_wtoi(argv[3])),
                      static_cast<DWORD>(_wtoi(argv[4])));
    if (command == L"folder") {
        wchar_t path[MAX_PATH] = {};
        if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, TRUE))
            return 1;
        std::printf("%ls\\Maplewick\\Tonvale\n", path);
        return 0;
    }
    if (command == L"tone-shown" || command == L"tone-click") {
        HWND tone = FindWindowW(L".ToneWnd", nullptr);
        if (!tone || !IsWindowVisible(tone)) {
            std::printf("no visible tone window\n");
            return 1;
        }
        if (command == L"tone-click" && argc > 2)
            PostMessageW(GetDlgItem(tone, _wtoi(argv[2])), BM_CLICK, 0, 0);
        return 0;
    }
    HWND main = tuner();
    if (!main) {
        std::printf("no tuner window\n");
        return 1;
    }
    if (command == L"text") {
        std::printf("%ls\n", meterText(main).c_str());
    } else if (command == L"places") {
        printClientRect("main", main);
        printClientRect("meter", GetDlgItem(main, tonvale::kMeterId));
        printClientRect("lamp", GetDlgItem(main, tonvale::kPowerLampId));
    } else if (command == L"command" && argc > 2) {
        PostMessageW(main, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[2])), 0);
    } else if (command == L"close") {
        PostMessageW(main, WM_CLOSE, 0, 0);
    } else if (command == L"stats") {
        return printStats(main);
    } else if (command == L"modules") {
        return printModules(main);
    } else if (command == L"quit") {
        PostThreadMessageW(GetWindowThreadProcessId(main, nullptr), WM_QUIT, 0, 0);
    } else {
        std::printf("unknown command\n");
        return 1;
    }
    return 0;
}
