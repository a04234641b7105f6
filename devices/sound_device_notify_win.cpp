#include "devices/sound_device_notify_win.h"

namespace tonvale {
namespace {

constexpr DWORD kAnyDeviceState = 0xF; // DEVICE_STATEMASK_ALL
constexpr WPARAM kUnknownFlow = 2;     // eAll

} // namespace

CSndDevNotify::CSndDevNotify(HWND window, UINT message, LPARAM parameter)
    : window_(window), message_(message), parameter_(parameter) {
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), enumerator_.receiveVoid()))) {
        enumerator_.reset();
        return;
    }
    enumerator_->RegisterEndpointNotificationCallback(this);
}

CSndDevNotify::~CSndDevNotify() {
    if (enumerator_) {
        enumerator_->UnregisterEndpointNotificationCallback(this);
    }
}

HRESULT STDMETHODCALLTYPE CSndDevNotify::QueryInterface(REFIID, void** object) {
    if (object) {
        *object = nullptr;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CSndDevNotify::AddRef() {
    return ++references_;
}

ULONG STDMETHODCALLTYPE CSndDevNotify::Release() {
    return --references_;
}

HRESULT STDMETHODCALLTYPE CSndDevNotify::OnDeviceStateChanged(LPCWSTR id, DWORD newState) {
    if ((newState & kAnyDeviceState) != 0) {
        postFlowNotice(id);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSndDevNotify::OnDeviceAdded(LPCWSTR id) {
    postFlowNotice(id);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSndDevNotify::OnDeviceRemoved(LPCWSTR id) {
    postFlowNotice(id);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSndDevNotify::OnDefaultDeviceChanged(EDataFlow flow, ERole role,
                                                                LPCWSTR) {
    if (role == eMultimedia) {
        PostMessageW(window_, message_, static_cast<WPARAM>(flow) | kDefaultDeviceNotice,
                     parameter_);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSndDevNotify::OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) {
    return S_OK;
}

void CSndDevNotify::postFlowNotice(LPCWSTR id) {
    ComPtr<IMMDevice> device;
    ComPtr<IMMEndpoint> endpoint;
    if (!enumerator_ || !id || FAILED(enumerator_->GetDevice(id, device.receive())) ||
        FAILED(device->QueryInterface(__uuidof(IMMEndpoint), endpoint.receiveVoid()))) {
        return;
    }
    EDataFlow flow = static_cast<EDataFlow>(kUnknownFlow);
    if (FAILED(endpoint->GetDataFlow(&flow))) {
        flow = static_cast<EDataFlow>(kUnknownFlow);
    }
    PostMessageW(window_, message_, static_cast<WPARAM>(flow), parameter_);
}

} // namespace tonvale
