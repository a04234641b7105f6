// Posts a message to a window whenever the system's sound endpoints change,
// so that device lists can be refreshed on the window's own thread.
//
// Notices: wParam = the endpoint's data flow (0 playback, 1 capture, 2 when
// it cannot be read) for a device added, removed or changing state;
// wParam = flow | kDefaultDeviceNotice when the default multimedia endpoint
// of that flow changed. lParam is the parameter given at construction.
//
// The callbacks arrive on system threads; they only query the endpoint and
// post. The owner creates the object with heapNew and deletes it with
// heapDelete: Release never deletes it. Without a device enumerator the object
// stays inert.
#pragma once

#include <windows.h>

#include "support/scoped_win.h"

#include <mmdeviceapi.h>

#include <atomic>

namespace tonvale {

constexpr WPARAM kDefaultDeviceNotice = 0x10000;

// COM interfaces have no virtual destructor by design; this class adds one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CSndDevNotify : public IMMNotificationClient {
  public:
    CSndDevNotify(HWND window, UINT message, LPARAM parameter);
    virtual ~CSndDevNotify();
    CSndDevNotify(const CSndDevNotify&) = delete;
    CSndDevNotify& operator=(const CSndDevNotify&) = delete;

    // No interface is handed out: the enumerator keeps the pointer it was
    // given and needs no other.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR id, DWORD newState) override;
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role,
                                                     LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR id, const PROPERTYKEY key) override;

    bool registered() const { return static_cast<bool>(enumerator_); }

  private:
    void postFlowNotice(LPCWSTR id);

    std::atomic<ULONG> references_{1};
    HWND window_;
    UINT message_;
    LPARAM parameter_;
    ComPtr<IMMDeviceEnumerator> enumerator_;
};
#pragma GCC diagnostic pop

} // namespace tonvale
