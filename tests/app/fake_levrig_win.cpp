// A stand-in for the volume library, built as levrig.dll beside a launcher
// test: each call of its entry point is appended to the file named by
// TONVALE_FAKE_LEVRIG_LOG, one line "<owner> <command line or (null)>".
// Built without the entry point (TONVALE_FAKE_LEVRIG_ENTRY=0), it exports
// only something else, as an old or foreign library would.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>

namespace {

void logCall(HWND owner, const wchar_t* commandLine) {
    wchar_t path[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"TONVALE_FAKE_LEVRIG_LOG", path, MAX_PATH))
        return;
    wchar_t line[1024] = {};
    swprintf(line, 1024, L"%p %ls\n", static_cast<void*>(owner),
             commandLine ? commandLine : L"(null)");
    char bytes[3072] = {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, line, -1, bytes, sizeof bytes, nullptr, nullptr);
    if (length <= 1)
        return;
    if (std::FILE* file = _wfopen(path, L"ab")) {
        std::fwrite(bytes, 1, static_cast<size_t>(length - 1), file);
        std::fclose(file);
    }
}

} // namespace

extern "C" {

#if TONVALE_FAKE_LEVRIG_ENTRY
__declspec(dllexport) int32_t WINAPI LevRigAsync(HWND owner, const wchar_t* commandLine) {
    logCall(owner, commandLine);
    return commandLine ? 0 : 1;
}
#else
__declspec(dllexport) int32_t WINAPI LevRigElsewhere(HWND owner, const wchar_t* commandLine) {
    logCall(owner, commandLine);
    return 0;
}
#endif
}
