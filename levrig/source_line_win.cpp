#include "levrig/source_line_win.h"

#include "levrig/endpoint_win.h"
#include "levrig/levrig_messages_win.h"
#include "levrig/levrig_texts.h"
#include "levrig/library_win.h"
#include "levrig/property_keys_win.h"
#include "support/exception_border.h"

#include <algorithm>
#include <new>

namespace tonvale {
namespace levrig {

CSrcLine::~CSrcLine() {
    detach();
}

int CSrcLine::attach(const LineRecord& record) {
    record_ = &record;
    if (record.mute) {
        record.mute->AddRef();
        *mute_.receive() = record.mute.get();
    }
    if (record.volume) {
        record.volume->AddRef();
        *volume_.receive() = record.volume.get();
    }
    if (!mute_ && !volume_)
        return kInitializationFailed;
    read();
    if (mute_ && record.mutePart)
        muteRegistered_ =
            SUCCEEDED(record.mutePart->RegisterControlChangeCallback(__uuidof(IAudioMute), this));
    if (volume_ && record.volumePart)
        volumeRegistered_ = SUCCEEDED(
            record.volumePart->RegisterControlChangeCallback(__uuidof(IAudioVolumeLevel), this));
    return kShown;
}

void CSrcLine::detach() {
    if (!record_)
        return;
    IPart* muteRegistration = muteRegistered_ ? record_->mutePart.get() : nullptr;
    if (muteRegistration)
        muteRegistration->UnregisterControlChangeCallback(this);
    // One unregistration covers every interface registered on the same part.
    if (volumeRegistered_ && record_->volumePart.get() != muteRegistration)
        record_->volumePart->UnregisterControlChangeCallback(this);
    muteRegistered_ = volumeRegistered_ = false;
    mute_.reset();
    volume_.reset();
}

void CSrcLine::read() {
    if (volume_) {
        UINT channels = 0;
        channels_ = SUCCEEDED(volume_->GetChannelCount(&channels)) ? channels : 0;
        float minimumDb = 0.0f;
        float maximumDb = 0.0f;
        float stepDb = 0.0f;
        if (SUCCEEDED(volume_->GetLevelRange(0, &minimumDb, &maximumDb, &stepDb)))
            range_ = {minimumDb, maximumDb};
        int loudest = 0;
        int percents[2] = {0, 0};
        for (UINT channel = 0; channel < channels_; ++channel) {
            float levelDb = 0.0f;
            int percent = SUCCEEDED(volume_->GetLevel(channel, &levelDb))
                              ? percentOfLevel(levelDb, range_)
                              : 0;
            loudest = std::max(loudest, percent);
            if (channel < 2)
                percents[channel] = percent;
        }
        volumePercent_ = loudest;
        channelPercents_ = channels_ == 2 ? ChannelPercents{percents[0], percents[1]}
                                          : ChannelPercents{loudest, loudest};
    }
    BOOL muted = FALSE;
    if (mute_ && SUCCEEDED(mute_->GetMute(&muted)))
        muted_ = muted != FALSE;
}

void CSrcLine::writeChannels(ChannelPercents channels) {
    if (!volume_)
        return;
    if (channels_ == 2) {
        float levels[2] = {static_cast<float>(levelOfPercent(channels.left, range_)),
                           static_cast<float>(levelOfPercent(channels.right, range_))};
        volume_->SetLevelAllChannels(levels, 2, nullptr);
    } else {
        volume_->SetLevelUniform(static_cast<float>(levelOfPercent(channels.left, range_)),
                                 nullptr);
    }
}

HRESULT CSrcLine::QueryInterface(REFIID iid, void** object) {
    return queryCallback<IControlChangeNotify>(this, iid, object);
}

ULONG CSrcLine::AddRef() {
    return addReference();
}

ULONG CSrcLine::Release() {
    return releaseReference();
}

HRESULT CSrcLine::OnNotify(DWORD, LPCGUID) {
    return guardBorder(
        "line control notice",
        [&] {
            LockScope lock(modelLock());
            if (panel_ && !updatePending_) {
                updatePending_ = true;
                PostMessageW(panel_, kValuesChanged, 0, 0);
            }
            return S_OK;
        },
        []() noexcept { return S_OK; });
}

CSrcLineList::~CSrcLineList() {
    release();
}

bool CSrcLineList::build(const CEndPoint& endpoint) {
    ComPtr<IPropertyStore> store;
    if (endpoint.device() &&
        SUCCEEDED(endpoint.device()->OpenPropertyStore(STGM_READ, store.receive())))
        readTextProperty(store.get(), kFriendlyNameKey, friendlyName_);
    CSrcLine** tail = &head_;
    for (const LineRecord* record = endpoint.sourceLines(); record; record = record->next) {
        CSrcLine* line = privateNew<CSrcLine>();
        if (!line)
            throw std::bad_alloc();
        if (line->attach(*record) != kShown) {
            privateDelete(line);
            continue;
        }
        *tail = line;
        tail = &line->next;
    }
    return head_ != nullptr;
}

void CSrcLineList::release() {
    for (CSrcLine* line = head_; line; line = line->next)
        line->detach();
    CSrcLine* lines = nullptr;
    {
        LockScope lock(modelLock());
        for (CSrcLine* line = head_; line; line = line->next) {
            if (line->panel())
                SetWindowLongPtrW(line->panel(), DWLP_USER, 0);
            line->forgetPanel();
        }
        lines = head_;
        head_ = nullptr;
    }
    while (lines) {
        CSrcLine* next = lines->next;
        privateDelete(lines);
        lines = next;
    }
}

} // namespace levrig
} // namespace tonvale
