#include "levrig/library_win.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(module);
        return tonvale::levrig::attachLibrary(module) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        // At process termination other threads are gone and the system frees
        // everything; only an unload by FreeLibrary cleans up.
        if (!reserved)
            tonvale::levrig::detachLibrary();
        return TRUE;
    default:
        return TRUE;
    }
}
