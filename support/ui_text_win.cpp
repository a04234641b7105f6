#include "support/ui_text.h"

#include "support/windows_version.h"

#include <windows.h>

#include <vector>

namespace tonvale {
namespace {

// The module this code is linked into: the program, or a DLL carrying its own
// tables.
HMODULE ownModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ownModule), &module);
    return module;
}

template <typename Function> Function kernelFunction(const char* name) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
               : nullptr;
}

uint32_t preferredUiLanguage() {
    using Query = BOOL(WINAPI*)(DWORD, PULONG, PZZWSTR, PULONG);
    auto query = kernelFunction<Query>("GetUserPreferredUILanguages");
    if (!query)
        return 0;
    ULONG languages = 0;
    ULONG size = 0;
    if (!query(MUI_LANGUAGE_ID, &languages, nullptr, &size) || size == 0)
        return 0;
    std::vector<wchar_t> list(size);
    if (!query(MUI_LANGUAGE_ID, &languages, list.data(), &size))
        return 0;
    return firstPreferredLanguage(list.data(), list.size());
}

uint32_t userLanguage() {
    if (isWindowsVistaOrLater())
        return preferredUiLanguage();
    if (isWindows2000OrLater()) {
        using Query = LANGID(WINAPI*)();
        auto query = kernelFunction<Query>("GetUserDefaultUILanguage");
        return query ? query() : 0;
    }
    return GetUserDefaultLangID();
}

} // namespace

bool uiTableData(int languageId, const wchar_t*& data, size_t& length) {
    HMODULE module = ownModule();
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(languageId), RT_RCDATA);
    if (!info)
        return false;
    HGLOBAL resource = LoadResource(module, info);
    const void* bytes = resource ? LockResource(resource) : nullptr;
    if (!bytes)
        return false;
    data = static_cast<const wchar_t*>(bytes);
    length = SizeofResource(module, info) / sizeof(wchar_t);
    return true;
}

int chooseLanguage() {
    int table = tableForLanguage(userLanguage());
    loadTable(table);
    return table;
}

} // namespace tonvale
