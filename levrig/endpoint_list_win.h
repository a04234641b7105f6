// The endpoints of one direction (playback or recording), the adapters they
// belong to, and the device-state notices that change them while the window
// is open. Built before the window, released after its message loop.
//
// Threads: OnDeviceStateChanged arrives on a system thread and only queues
// the notice and posts kProcessNotices to the window, under the model lock;
// the window's thread processes the queue, also under the model lock.
#pragma once

#include "levrig/com_base_win.h"
#include "levrig/endpoint_win.h"
#include "levrig/private_heap.h"
#include "levrig/volume_options.h"
#include "support/scoped_win.h"

#include <windows.h>

#include <mmdeviceapi.h>

#include <vector>

namespace tonvale {
namespace levrig {

// What the notices change in the window that shows the list.
class PanelsView {
  public:
    // Where new panels go.
    virtual HWND panelColumn() = 0;
    // A new adapter name was appended to the list's names.
    virtual void adapterAdded(const Text& name) = 0;
    // Shows the panels of the current adapter, hides the others, lays out.
    virtual void showCurrentAdapter() = 0;
    // Moves the focus on when it is on nothing or on a disabled control.
    virtual void keepFocus() = 0;

    virtual ~PanelsView() = default;
};

// COM interfaces have no virtual destructor: nothing is ever deleted through them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CEndPointList : public IMMNotificationClient, public CUnknown {
  public:
    CEndPointList() = default;
    virtual ~CEndPointList();
    CEndPointList(const CEndPointList&) = delete;
    CEndPointList& operator=(const CEndPointList&) = delete;

    // kShown (0), kNoSoundDevice when no endpoint could be taken, or
    // kInitializationFailed when the enumeration or the notices fail.
    int build(const VolumeOptions& options);
    // Unregisters every notice, lets go of the devices and frees the
    // endpoints. Without the model lock (see CEndPoint::detach).
    void release();

    // The window that receives kProcessNotices; notices queued before it
    // existed are announced at once.
    void setWindow(HWND window);
    void processNotices(PanelsView& view);

    bool recording() const { return recording_; }
    CEndPoint* first() const { return head_; }
    // The endpoint to show first: the command line's, else the default one.
    CEndPoint* current() const { return current_; }
    size_t currentAdapter() const { return currentAdapter_; }
    void setCurrentAdapter(size_t index) { currentAdapter_ = index; }
    const std::vector<Text, PrivateAllocator<Text>>& adapterNames() const { return adapters_; }
    // The index of an endpoint's adapter among the names.
    size_t adapterOf(const CEndPoint& endpoint) const;

    // IUnknown and IMMNotificationClient.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR id, DWORD state) override;
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role,
                                                     LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR id, const PROPERTYKEY key) override;

  private:
    struct Notice {
        Notice* next = nullptr;
        Text id;
        wchar_t kind = L'S';
        DWORD state = 0;
    };

    int takeEndpoints(IMMDeviceCollection* collection);
    void collectAdapterNames();
    CEndPoint* findEndpoint(const wchar_t* id) const;
    CEndPoint* defaultEndpoint() const;
    void addArrivedEndpoint(const Text& id, PanelsView& view, CEndPoint*& failed);
    void freeEndpoints(CEndPoint* endpoints);

    HWND window_ = nullptr;
    bool recording_ = false;
    bool allStates_ = false;
    bool softwareMute_ = false;
    ComPtr<IMMDeviceEnumerator> enumerator_;
    bool registered_ = false;
    size_t currentAdapter_ = 0;
    std::vector<Text, PrivateAllocator<Text>> adapters_;
    CEndPoint* head_ = nullptr;
    CEndPoint* current_ = nullptr;
    Notice* notices_ = nullptr;
};
#pragma GCC diagnostic pop

} // namespace levrig
} // namespace tonvale
