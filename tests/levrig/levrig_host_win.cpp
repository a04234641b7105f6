// Loads levrig.dll as the tuner does and drives its entry points, for tests
// judged from outside (screenshots, window texts, thread counts).
//
//   levrig_host <stop-file> [--no-owner] [--sync] <command line>...
//
// Shows an owner window (a stand-in for the tuner's main window, unless
// --no-owner), loads levrig.dll from its own folder and calls LevRigAsync
// (or, with --sync, LevRig on a thread of its own) with each command line,
// printing "result <n> in <ms> ms" for each. Then it pumps messages until the
// stop file exists, calls LevRigAsync(null, null), frees the library and
// prints "closed <result> threads <before> <after> unloaded <0|1> in <ms> ms":
// the threads of the process before the library was loaded and after it was
// freed, and how long closing the windows took.
#include "tests/ui_kit/ui_test_kit_win.h"

#include <windows.h>

#include <tlhelp32.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using EntryPoint = int32_t(WINAPI*)(HWND, const wchar_t*);

int threadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

std::wstring ownFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// Receives no notices; registering it starts the audio client's notice thread.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct SilentClient : IMMNotificationClient {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow, ERole, LPCWSTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override {
        return S_OK;
    }
};
#pragma GCC diagnostic pop

// The system's audio client keeps threads of its own once it has started
// (the sound server's connection, the notice thread); starting it first lets
// the thread count tell the library's threads apart.
void startAudioClient() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IMMDeviceEnumerator* enumerator = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(&enumerator))))
        return;
    static SilentClient client;
    if (SUCCEEDED(enumerator->RegisterEndpointNotificationCallback(&client)))
        enumerator->UnregisterEndpointNotificationCallback(&client);
    IMMDevice* device = nullptr;
    if (SUCCEEDED(enumerator->GetDefaultAudioEndpoint(eRender, eMultimedia, &device))) {
        IUnknown* volume = nullptr;
        if (SUCCEEDED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr,
                                       reinterpret_cast<void**>(&volume))))
            volume->Release();
        device->Release();
    }
    enumerator->Release();
}

HWND createOwner() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"LevrigHostOwner";
    RegisterClassExW(&windowClass);
    HWND owner = CreateWindowExW(0, L"LevrigHostOwner", L"Levrig host", WS_OVERLAPPEDWINDOW, 40, 40,
                                 240, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(owner, SW_SHOW);
    return owner;
}

struct SyncCall {
    EntryPoint entry;
    std::wstring commandLine;
};

DWORD WINAPI runSync(void* argument) {
    auto* call = static_cast<SyncCall*>(argument);
    return static_cast<DWORD>(call->entry(nullptr, call->commandLine.c_str()));
}

void pumpUntil(const std::wstring& stopFile) {
    while (GetFileAttributesW(stopFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: levrig_host <stop-file> [--no-owner] [--sync] <line>...\n");
        return 2;
    }
    const std::wstring stopFile = argv[1];
    bool withOwner = true;
    bool sync = false;
    std::vector<std::wstring> lines;
    for (int i = 2; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--no-owner")
            withOwner = false;
        else if (arg == L"--sync")
            sync = true;
        else
            lines.push_back(arg);
    }
    tonvale::uikit::drawOwnFrames();
    HWND owner = withOwner ? createOwner() : nullptr;
    startAudioClient();
    const int threadsBefore = threadCount();
    HMODULE library = LoadLibraryW((ownFolder() + L"levrig.dll").c_str());
    if (!library) {
        std::printf("load failed %lu\n", GetLastError());
        return 1;
    }
    auto levRigAsync = reinterpret_cast<EntryPoint>(
        reinterpret_cast<void*>(GetProcAddress(library, "LevRigAsync")));
    auto levRig =
        reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(library, "LevRig")));
    if (!levRigAsync || !levRig) {
        std::printf("entry points missing\n");
        return 1;
    }
    HANDLE syncThread = nullptr;
    SyncCall syncCall{levRig, L""};
    for (const std::wstring& line : lines) {
        if (sync && !syncThread) {
            syncCall.commandLine = line;
            syncThread = CreateThread(nullptr, 0, runSync, &syncCall, 0, nullptr);
            std::printf("started sync\n");
        } else {
            const ULONGLONG start = GetTickCount64();
            const int result = levRigAsync(owner, line.c_str());
            std::printf("result %d in %llu ms\n", result, GetTickCount64() - start);
        }
        std::fflush(stdout);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    pumpUntil(stopFile);
    const ULONGLONG closing = GetTickCount64();
    const int closed = levRigAsync(nullptr, nullptr);
    const ULONGLONG closingMs = GetTickCount64() - closing;
    if (syncThread) {
        // LevRig's window is its caller's: closing it ends the call.
        EnumThreadWindows(
            GetThreadId(syncThread),
            [](HWND window, LPARAM) {
                PostMessageW(window, WM_CLOSE, 0, 0);
                return TRUE;
            },
            0);
        WaitForSingleObject(syncThread, INFINITE);
        DWORD result = 0;
        GetExitCodeThread(syncThread, &result);
        std::printf("sync result %lu\n", result);
        CloseHandle(syncThread);
    }
    FreeLibrary(library);
    const bool unloaded = GetModuleHandleW(L"levrig.dll") == nullptr;
    // The system's short-lived threads may take a moment to go on a busy
    // machine; a thread the library left never goes.
    int threadsAfter = threadCount();
    for (int i = 0; i < 200 && threadsAfter != threadsBefore; ++i) {
        Sleep(50);
        threadsAfter = threadCount();
    }
    std::printf("closed %d threads %d %d unloaded %d in %llu ms\n", closed, threadsBefore,
                threadsAfter, unloaded ? 1 : 0, closingMs);
    std::fflush(stdout);
    if (owner)
        DestroyWindow(owner);
    return 0;
}
