// Process-wide state of the volume library: created when the library is
// loaded, destroyed when it is unloaded (not at process termination).
//
// The module handle, the activation context current at load (the library's
// manifest, activated on every window thread), the private heap, the locks,
// and, created on first use, the UI font, the icons, the layout metrics and
// the UI texts.
#pragma once

#include <windows.h>

#include <mmdeviceapi.h>

namespace tonvale {
namespace levrig {

// DLL_PROCESS_ATTACH (and test programs that link the library's code).
// False when the heap cannot be created.
bool attachLibrary(HMODULE module);
// DLL_PROCESS_DETACH by FreeLibrary: closes the window list's handles and
// frees everything attachLibrary and first use made.
void detachLibrary();

HMODULE libraryModule();

// Guards option parsing and saving.
CRITICAL_SECTION& optionsLock();
// Guards the device model and every window's data.
CRITICAL_SECTION& modelLock();
// Guards LevRigAsync's list of window threads.
CRITICAL_SECTION& windowListLock();

class LockScope {
  public:
    explicit LockScope(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~LockScope() { LeaveCriticalSection(&lock_); }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

  private:
    CRITICAL_SECTION& lock_;
};

// The library's activation context, active for the life of the scope.
class ActivationScope {
  public:
    ActivationScope();
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

  private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

// Font, icons, layout metrics and texts, made once per process.
void prepareFirstUse();
HFONT uiFont();
HICON libraryIcon(bool large);

// The device enumerator every endpoint list starts from. Test programs that
// link the library's code may put a fake in its place.
using EnumeratorFactory = HRESULT (*)(IMMDeviceEnumerator** enumerator);
HRESULT createDeviceEnumerator(IMMDeviceEnumerator** enumerator);
void setEnumeratorFactoryForTesting(EnumeratorFactory factory);

// The window list of LevRigAsync freed without waiting: its threads have
// ended by then (the host closes the windows before unloading).
void freeWindowList();

} // namespace levrig
} // namespace tonvale
