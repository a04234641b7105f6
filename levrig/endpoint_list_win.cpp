#include "levrig/endpoint_list_win.h"

#include "levrig/levrig_messages_win.h"
#include "levrig/levrig_texts.h"
#include "levrig/library_win.h"
#include "support/exception_border.h"

#include <new>

namespace tonvale {
namespace levrig {

CEndPointList::~CEndPointList() {
    release();
}

int CEndPointList::build(const VolumeOptions& options) {
    recording_ = options.recording;
    allStates_ = options.allStates;
    softwareMute_ = options.softwareMute;
    ComPtr<IMMDeviceCollection> collection;
    if (FAILED(createDeviceEnumerator(enumerator_.receive())) || !enumerator_ ||
        FAILED(enumerator_->EnumAudioEndpoints(
            recording_ ? eCapture : eRender,
            allStates_ ? DEVICE_STATEMASK_ALL : DEVICE_STATE_ACTIVE, collection.receive())))
        return kInitializationFailed;
    if (int code = takeEndpoints(collection.get()))
        return code;
    collectAdapterNames();
    current_ = options.endpointId.empty() ? nullptr : findEndpoint(options.endpointId.c_str());
    if (!current_)
        current_ = defaultEndpoint();
    currentAdapter_ = current_ ? adapterOf(*current_) : 0;
    if (FAILED(enumerator_->RegisterEndpointNotificationCallback(this))) {
        release();
        return kInitializationFailed;
    }
    registered_ = true;
    return kShown;
}

// Last item first, each put at the head: the list ends in collection order.
int CEndPointList::takeEndpoints(IMMDeviceCollection* collection) {
    UINT count = 0;
    if (FAILED(collection->GetCount(&count)))
        return kInitializationFailed;
    for (UINT i = count; i-- > 0;) {
        ComPtr<IMMDevice> device;
        if (FAILED(collection->Item(i, device.receive())) || !device)
            continue;
        CEndPoint* endpoint = privateNew<CEndPoint>(softwareMute_);
        if (!endpoint)
            throw std::bad_alloc();
        if (endpoint->attach(device.get()) != kShown) {
            privateDelete(endpoint);
            continue;
        }
        endpoint->next = head_;
        head_ = endpoint;
    }
    return head_ ? kShown : kNoSoundDevice;
}

void CEndPointList::collectAdapterNames() {
    for (CEndPoint* endpoint = head_; endpoint; endpoint = endpoint->next) {
        if (adapterOf(*endpoint) == adapters_.size())
            adapters_.push_back(endpoint->adapterName());
    }
}

size_t CEndPointList::adapterOf(const CEndPoint& endpoint) const {
    size_t index = 0;
    while (index < adapters_.size() && adapters_[index] != endpoint.adapterName())
        ++index;
    return index;
}

CEndPoint* CEndPointList::findEndpoint(const wchar_t* id) const {
    for (CEndPoint* endpoint = head_; endpoint; endpoint = endpoint->next) {
        if (lstrcmpiW(endpoint->id().c_str(), id) == 0)
            return endpoint;
    }
    return nullptr;
}

CEndPoint* CEndPointList::defaultEndpoint() const {
    ComPtr<IMMDevice> device;
    LPWSTR id = nullptr;
    if (FAILED(enumerator_->GetDefaultAudioEndpoint(recording_ ? eCapture : eRender, eMultimedia,
                                                    device.receive())) ||
        !device || FAILED(device->GetId(&id)) || !id)
        return nullptr;
    CEndPoint* found = findEndpoint(id);
    CoTaskMemFree(id);
    return found;
}

void CEndPointList::release() {
    if (registered_ && enumerator_)
        enumerator_->UnregisterEndpointNotificationCallback(this);
    registered_ = false;
    for (CEndPoint* endpoint = head_; endpoint; endpoint = endpoint->next)
        endpoint->detach();
    CEndPoint* endpoints = nullptr;
    Notice* notices = nullptr;
    {
        LockScope lock(modelLock());
        for (CEndPoint* endpoint = head_; endpoint; endpoint = endpoint->next) {
            if (endpoint->panel())
                SetWindowLongPtrW(endpoint->panel(), DWLP_USER, 0);
            endpoint->forgetPanel();
        }
        endpoints = head_;
        notices = notices_;
        head_ = nullptr;
        current_ = nullptr;
        notices_ = nullptr;
        window_ = nullptr;
    }
    freeEndpoints(endpoints);
    while (notices) {
        Notice* next = notices->next;
        privateDelete(notices);
        notices = next;
    }
    enumerator_.reset();
}

void CEndPointList::freeEndpoints(CEndPoint* endpoints) {
    while (endpoints) {
        CEndPoint* next = endpoints->next;
        privateDelete(endpoints);
        endpoints = next;
    }
}

void CEndPointList::setWindow(HWND window) {
    LockScope lock(modelLock());
    window_ = window;
    if (window_ && notices_)
        PostMessageW(window_, kProcessNotices, 0, 0);
}

void CEndPointList::processNotices(PanelsView& view) {
    CEndPoint* failed = nullptr;
    {
        LockScope lock(modelLock());
        while (Notice* notice = notices_) {
            notices_ = notice->next;
            PrivatePtr<Notice> owned(notice);
            if (CEndPoint* endpoint = findEndpoint(notice->id.c_str())) {
                endpoint->setState(notice->state);
                view.keepFocus();
            } else {
                addArrivedEndpoint(notice->id, view, failed);
            }
        }
    }
    freeEndpoints(failed);
}

// A device this list does not hold yet: shown at the end when it plays or
// records in the list's direction.
void CEndPointList::addArrivedEndpoint(const Text& id, PanelsView& view, CEndPoint*& failed) {
    ComPtr<IMMDevice> device;
    ComPtr<IMMEndpoint> endpoint;
    EDataFlow flow = eAll;
    if (FAILED(enumerator_->GetDevice(id.c_str(), device.receive())) || !device ||
        FAILED(device->QueryInterface(__uuidof(IMMEndpoint), endpoint.receiveVoid())) ||
        FAILED(endpoint->GetDataFlow(&flow)) || flow != (recording_ ? eCapture : eRender))
        return;
    CEndPoint* arrived = privateNew<CEndPoint>(softwareMute_);
    if (!arrived)
        throw std::bad_alloc();
    if (arrived->attach(device.get()) != kShown) {
        arrived->next = failed;
        failed = arrived;
        return;
    }
    CEndPoint** tail = &head_;
    while (*tail)
        tail = &(*tail)->next;
    *tail = arrived;
    // Without a panel the endpoint stays in the list unseen.
    if (!arrived->createPanel(view.panelColumn()))
        return;
    const size_t adapter = adapterOf(*arrived);
    if (adapter == adapters_.size()) {
        adapters_.push_back(arrived->adapterName());
        view.adapterAdded(adapters_.back());
    } else if (adapter == currentAdapter_) {
        view.showCurrentAdapter();
    }
}

HRESULT CEndPointList::QueryInterface(REFIID iid, void** object) {
    return queryCallback<IMMNotificationClient>(this, iid, object);
}

ULONG CEndPointList::AddRef() {
    return addReference();
}

ULONG CEndPointList::Release() {
    return releaseReference();
}

HRESULT CEndPointList::OnDeviceStateChanged(LPCWSTR id, DWORD state) {
    return guardBorder(
        "device state notice",
        [&] {
            if (!id)
                return S_OK;
            LockScope lock(modelLock());
            Notice* notice = privateNew<Notice>();
            if (!notice)
                return S_OK;
            PrivatePtr<Notice> owned(notice);
            notice->id.assign(id);
            notice->state = state;
            Notice** tail = &notices_;
            while (*tail)
                tail = &(*tail)->next;
            *tail = owned.release();
            if (tail == &notices_ && window_)
                PostMessageW(window_, kProcessNotices, 0, 0);
            return S_OK;
        },
        []() noexcept { return S_OK; });
}

HRESULT CEndPointList::OnDeviceAdded(LPCWSTR) {
    return S_OK;
}

HRESULT CEndPointList::OnDeviceRemoved(LPCWSTR) {
    return S_OK;
}

HRESULT CEndPointList::OnDefaultDeviceChanged(EDataFlow, ERole, LPCWSTR) {
    return S_OK;
}

HRESULT CEndPointList::OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) {
    return S_OK;
}

} // namespace levrig
} // namespace tonvale
