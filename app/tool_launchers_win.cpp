#include "app/tool_launchers_win.h"

#include "app/message_box_win.h"
#include "app/process_context_win.h"
#include "app/tool_command_lines.h"
#include "support/program_folders.h"
#include "support/scoped_win.h"
#include "support/ui_text.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <vector>

namespace tonvale {

namespace {

constexpr wchar_t kCaption[] = L"Tonvale";
constexpr int kFolderFailedText = 107;
constexpr int kReadMeMissingText = 108;
constexpr int kVolumeFailedText = 109;
constexpr int kControlPanelFailedText = 110;
constexpr DWORD kProgramFolderCapacity = 388;

using LevRigFunction = int32_t(WINAPI*)(HWND owner, const wchar_t* commandLine);

// Kept from the first successful load to the main window's close.
struct VolumeLibrary {
    HMODULE module;
    LevRigFunction entry;
};
VolumeLibrary* gVolumeLibrary = nullptr;

void showError(HWND owner, int text) {
    TunerMessageBox(owner, UiText(text), kCaption, MB_OK | MB_ICONERROR);
}

bool startProgram(std::wstring commandLine, const std::wstring& directory) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &started))
        return false;
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    return true;
}

std::wstring systemDirectory() {
    wchar_t path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

std::wstring windowsDirectory() {
    wchar_t path[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

void launchSystemVolume(HWND owner, int32_t deviceIndex) {
    std::wstring directory = systemDirectory();
    wchar_t found[MAX_PATH] = {};
    if (directory.empty() ||
        !SearchPathW(directory.c_str(), L"sndvol32.exe", nullptr, MAX_PATH, found, nullptr))
        directory = windowsDirectory();
    int64_t mixerId = -1;
    UINT id = 0;
    if (deviceIndex >= 0 &&
        mixerGetID(reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(deviceIndex)), &id,
                   MIXER_OBJECTF_WAVEIN) == MMSYSERR_NOERROR)
        mixerId = id;
    if (!startProgram(systemVolumeCommandLine(mixerId), directory))
        showError(owner, kVolumeFailedText);
}

// The folder of the program's own file, from the module (not the test
// roots): the library must be the one shipped beside this executable.
std::wstring moduleFolder() {
    wchar_t path[kProgramFolderCapacity] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, kProgramFolderCapacity);
    if (length == 0 || length >= kProgramFolderCapacity)
        return std::wstring();
    std::wstring folder(path, length);
    const size_t slash = folder.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

// Loads the library on first use; null after a failure (already shown).
VolumeLibrary* loadVolumeLibrary(HWND owner) {
    if (gVolumeLibrary)
        return gVolumeLibrary;
    const std::wstring path = moduleFolder() + L"levrig.dll";
    UniqueLibrary module(LoadLibraryW(path.c_str()));
    if (!module) {
        if (GetLastError() == ERROR_MOD_NOT_FOUND) {
            if (!startProgram(recordingPanelCommandLine(), systemDirectory()))
                showError(owner, kControlPanelFailedText);
        } else {
            showError(owner, kVolumeFailedText);
        }
        return nullptr;
    }
    auto entry = reinterpret_cast<LevRigFunction>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "LevRigAsync")));
    if (!entry) {
        showError(owner, kVolumeFailedText);
        return nullptr;
    }
    auto* library = static_cast<VolumeLibrary*>(HeapAlloc(gProcess.heap, 0, sizeof(VolumeLibrary)));
    if (!library)
        return nullptr;
    library->module = module.release();
    library->entry = entry;
    gVolumeLibrary = library;
    return library;
}

} // namespace

void launchVolumeControl(HWND owner, int32_t deviceIndex) {
    if (!isWindowsVistaOrLater()) {
        launchSystemVolume(owner, deviceIndex);
        return;
    }
    VolumeLibrary* library = loadVolumeLibrary(owner);
    if (!library)
        return;
    const std::wstring line =
        volumeLibraryCommandLine(settingsSavePath(L"levrig.ini"), deviceIndex);
    library->entry(gProcess.mainWindow, line.c_str());
}

void releaseVolumeControl() {
    VolumeLibrary* library = gVolumeLibrary;
    if (!library)
        return;
    gVolumeLibrary = nullptr;
    library->entry(nullptr, nullptr);
    FreeLibrary(library->module);
    HeapFree(gProcess.heap, 0, library);
}

void openReadMe(HWND mainWindow) {
    const std::wstring path = programFolder() + L"readme.txt";
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(mainWindow, nullptr, path.c_str(), nullptr, L"", SW_SHOWNORMAL));
    if (result <= 32)
        showError(mainWindow, kReadMeMissingText);
}

void copySampleFiles(const std::wstring& from, const std::wstring& to) {
    for (const wchar_t* name : {L"note.ini", L"scale.ini"})
        CopyFileW((from + name).c_str(), (to + name).c_str(), TRUE);
}

void openSettingsFolder(HWND mainWindow) {
    std::wstring folder = SettingsFolder();
    if (folder.empty()) {
        showError(mainWindow, kFolderFailedText);
        return;
    }
    copySampleFiles(programFolder(), folder);
    folder.pop_back();
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(mainWindow, L"open", folder.c_str(), nullptr, nullptr, SW_SHOWDEFAULT));
    if (result <= 32)
        showError(mainWindow, kFolderFailedText);
}

} // namespace tonvale
