#include "levrig/endpoint_win.h"

#include "levrig/levrig_messages_win.h"
#include "levrig/levrig_texts.h"
#include "levrig/library_win.h"
#include "levrig/property_keys_win.h"
#include "support/exception_border.h"

namespace tonvale {
namespace levrig {

CEndPoint::CEndPoint(bool softwareMute) : softwareMute_(softwareMute) {}

CEndPoint::~CEndPoint() {
    detach();
}

int CEndPoint::attach(IMMDevice* device) {
    device->AddRef();
    *device_.receive() = device;
    ComPtr<IPropertyStore> store;
    if (FAILED(device->OpenPropertyStore(STGM_READ, store.receive())) ||
        !readTextProperty(store.get(), kAdapterNameKey, adapterName_) ||
        !readTextProperty(store.get(), kEndpointNameKey, name_))
        return kInitializationFailed;
    LPWSTR id = nullptr;
    if (FAILED(device->GetId(&id)) || !id)
        return kInitializationFailed;
    struct Free {
        LPWSTR text;
        ~Free() { CoTaskMemFree(text); }
    } freeId{id};
    id_.assign(id);
    ComPtr<IMMEndpoint> endpoint;
    EDataFlow flow = eAll;
    if (SUCCEEDED(device->QueryInterface(__uuidof(IMMEndpoint), endpoint.receiveVoid())) &&
        SUCCEEDED(endpoint->GetDataFlow(&flow)))
        dataFlow_ = flow;
    if (FAILED(device->GetState(&state_)))
        return kInitializationFailed;
    if ((state_ & DEVICE_STATE_ACTIVE) && !activateVolume())
        return kInitializationFailed;
    return kShown;
}

bool CEndPoint::activateVolume() {
    if (FAILED(device_->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr,
                                 volume_.receiveVoid())) ||
        !volume_) {
        volume_.reset();
        return false;
    }
    refresh();
    if (FAILED(volume_->RegisterControlChangeNotify(this))) {
        volume_.reset();
        return false;
    }
    registered_ = true;
    if (dataFlow_ == eRender && !sourceLines_)
        sourceLines_ = findSourceLines(device_.get());
    return true;
}

void CEndPoint::detach() {
    if (registered_ && volume_)
        volume_->UnregisterControlChangeNotify(this);
    registered_ = false;
    volume_.reset();
    freeSourceLines(sourceLines_);
    sourceLines_ = nullptr;
    device_.reset();
}

void CEndPoint::refresh() {
    if (!volume_)
        return;
    UINT channels = 0;
    channels_ = SUCCEEDED(volume_->GetChannelCount(&channels)) ? channels : 0;
    DWORD support = 0;
    if (FAILED(volume_->QueryHardwareSupport(&support)))
        support = 0;
    hardwareVolume_ = (support & ENDPOINT_HARDWARE_SUPPORT_VOLUME) != 0;
    hardwareMute_ = (support & ENDPOINT_HARDWARE_SUPPORT_MUTE) != 0;
    BOOL muted = FALSE;
    if (SUCCEEDED(volume_->GetMute(&muted)))
        muted_ = muted != FALSE;
    float level = 0.0f;
    if (SUCCEEDED(volume_->GetMasterVolumeLevelScalar(&level)))
        volumePercent_ = percentOfScalar(level);
    channelPercents_ = {volumePercent_, volumePercent_};
    if (channels_ == 2) {
        float left = 0.0f;
        float right = 0.0f;
        if (SUCCEEDED(volume_->GetChannelVolumeLevelScalar(0, &left)) &&
            SUCCEEDED(volume_->GetChannelVolumeLevelScalar(1, &right)))
            channelPercents_ = {percentOfScalar(left), percentOfScalar(right)};
    }
}

void CEndPoint::setState(DWORD state) {
    if (state == state_)
        return;
    if (!(state & DEVICE_STATE_ACTIVE)) {
        state_ = volume_ ? state : DEVICE_STATE_NOTPRESENT;
    } else {
        state_ = state;
        if (!volume_)
            activateVolume();
        else
            refresh();
    }
    if (panel_)
        display(false);
}

HRESULT CEndPoint::QueryInterface(REFIID iid, void** object) {
    return queryCallback<IAudioEndpointVolumeCallback>(this, iid, object);
}

ULONG CEndPoint::AddRef() {
    return addReference();
}

ULONG CEndPoint::Release() {
    return releaseReference();
}

HRESULT CEndPoint::OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data) {
    return guardBorder(
        "endpoint volume notice",
        [&] {
            LockScope lock(modelLock());
            // One re-read covers any number of notices that arrive before it.
            if (data && panel_ && !updatePending_) {
                updatePending_ = true;
                PostMessageW(panel_, kValuesChanged, 0, 0);
            }
            return S_OK;
        },
        []() noexcept { return S_OK; });
}

} // namespace levrig
} // namespace tonvale
