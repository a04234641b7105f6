#include "fake_core_audio_win.h"

#include "levrig/library_win.h"
#include "levrig/property_keys_win.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <thread>

namespace tonvale::levrig::fake {
namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <typename Item, typename List> class FakeList : public List {
  public:
    explicit FakeList(std::vector<Item*> items) : items_(std::move(items)) {}
    virtual ~FakeList() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != __uuidof(IUnknown) && iid != __uuidof(List))
            return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    // A list is handed out once and freed by its last Release.
    ULONG STDMETHODCALLTYPE Release() override {
        delete this;
        return 0;
    }
    HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override {
        *count = static_cast<UINT>(items_.size());
        return S_OK;
    }

  protected:
    HRESULT item(UINT index, Item** out) {
        if (index >= items_.size())
            return E_INVALIDARG;
        *out = items_[index];
        (*out)->AddRef();
        return S_OK;
    }

  private:
    std::vector<Item*> items_;
};

class FakeCollection : public FakeList<FakeDevice, IMMDeviceCollection> {
  public:
    using FakeList::FakeList;
    HRESULT STDMETHODCALLTYPE Item(UINT index, IMMDevice** device) override {
        FakeDevice* found = nullptr;
        HRESULT result = item(index, &found);
        *device = found;
        return result;
    }
};

class FakePartsList : public FakeList<FakePart, IPartsList> {
  public:
    using FakeList::FakeList;
    HRESULT STDMETHODCALLTYPE GetPart(UINT index, IPart** part) override {
        FakePart* found = nullptr;
        HRESULT result = item(index, &found);
        *part = found;
        return result;
    }
};
#pragma GCC diagnostic pop

// The system's notice thread: notices are delivered in order on a thread of
// their own, never on the caller's, and the caller does not wait for them
// (a callback may need a lock the caller holds). Unregistering a callback
// waits for the notices already queued, as the system does.
class NoticeThread {
  public:
    NoticeThread() : thread_([this] { run(); }) {}
    ~NoticeThread() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void post(std::function<void()> notice) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(std::move(notice));
        }
        wake_.notify_all();
    }
    void drain() {
        std::unique_lock<std::mutex> lock(mutex_);
        idle_.wait(lock, [&] { return queue_.empty() && !busy_; });
    }

  private:
    void run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            std::function<void()> notice = std::move(queue_.front());
            queue_.pop_front();
            busy_ = true;
            lock.unlock();
            notice();
            lock.lock();
            busy_ = false;
            idle_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

NoticeThread& notices() {
    static NoticeThread thread;
    return thread;
}

HRESULT copyText(const std::wstring& text, LPWSTR* out) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    *out = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*out)
        return E_OUTOFMEMORY;
    std::memcpy(*out, text.c_str(), bytes);
    return S_OK;
}

bool sameKey(const PROPERTYKEY& a, const PROPERTYKEY& b) {
    return a.pid == b.pid && a.fmtid == b.fmtid;
}

FakeAudioSystem* gInstalled = nullptr;
bool gFailCreation = false;

HRESULT createInstalled(IMMDeviceEnumerator** enumerator) {
    if (gFailCreation || !gInstalled)
        return REGDB_E_CLASSNOTREG;
    gInstalled->AddRef();
    *enumerator = gInstalled;
    return S_OK;
}

} // namespace

// FakeEndpointVolume -------------------------------------------------------

HRESULT FakeEndpointVolume::QueryInterface(REFIID iid, void** object) {
    if (iid != __uuidof(IUnknown) && iid != __uuidof(IAudioEndpointVolume))
        return E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
}

void FakeEndpointVolume::notify(int times) {
    std::vector<IAudioEndpointVolumeCallback*> callbacks;
    AUDIO_VOLUME_NOTIFICATION_DATA data = {};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        callbacks = callbacks_;
        data.bMuted = muted_ ? TRUE : FALSE;
        data.fMasterVolume = *std::max_element(levels_.begin(), levels_.end());
        data.nChannels = static_cast<UINT>(levels_.size());
    }
    for (int i = 0; i < times; ++i) {
        notices().post([callbacks, data]() mutable {
            for (IAudioEndpointVolumeCallback* callback : callbacks)
                callback->OnNotify(&data);
        });
    }
}

void FakeEndpointVolume::changeElsewhere(float master, bool muted, int notices) {
    SetMasterVolumeLevelScalar(master, nullptr);
    --masterWrites_;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        muted_ = muted;
    }
    notify(notices);
    fake::notices().drain();
}

void FakeEndpointVolume::changeChannelsElsewhere(float left, float right) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        levels_.at(0) = left;
        levels_.at(1) = right;
    }
    notify(1);
    notices().drain();
}

float FakeEndpointVolume::master() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return levels_.empty() ? 0.0f : *std::max_element(levels_.begin(), levels_.end());
}

float FakeEndpointVolume::channel(UINT index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return levels_.at(index);
}

bool FakeEndpointVolume::muted() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return muted_;
}

size_t FakeEndpointVolume::callbacks() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return callbacks_.size();
}

HRESULT FakeEndpointVolume::RegisterControlChangeNotify(IAudioEndpointVolumeCallback* callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    callbacks_.push_back(callback);
    return S_OK;
}

HRESULT FakeEndpointVolume::UnregisterControlChangeNotify(IAudioEndpointVolumeCallback* callback) {
    notices().drain();
    std::lock_guard<std::mutex> lock(mutex_);
    callbacks_.erase(std::remove(callbacks_.begin(), callbacks_.end(), callback), callbacks_.end());
    return S_OK;
}

HRESULT FakeEndpointVolume::GetChannelCount(UINT* count) {
    std::lock_guard<std::mutex> lock(mutex_);
    *count = static_cast<UINT>(levels_.size());
    return S_OK;
}

// As on Windows: the master level is the loudest channel's, and setting it
// scales every channel alike.
HRESULT FakeEndpointVolume::SetMasterVolumeLevelScalar(float level, LPCGUID) {
    if (level < 0.0f || level > 1.0f)
        return E_INVALIDARG;
    ++masterWrites_;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const float loudest = *std::max_element(levels_.begin(), levels_.end());
        for (float& channel : levels_)
            channel = loudest > 0.0f ? channel * level / loudest : level;
    }
    notify(1);
    return S_OK;
}

HRESULT FakeEndpointVolume::GetMasterVolumeLevelScalar(float* level) {
    ++reads_;
    *level = master();
    return S_OK;
}

HRESULT FakeEndpointVolume::SetChannelVolumeLevelScalar(UINT channel, float level, LPCGUID) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (channel >= levels_.size() || level < 0.0f || level > 1.0f)
            return E_INVALIDARG;
        levels_[channel] = level;
    }
    notify(1);
    return S_OK;
}

HRESULT FakeEndpointVolume::GetChannelVolumeLevelScalar(UINT channel, float* level) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (channel >= levels_.size())
        return E_INVALIDARG;
    *level = levels_[channel];
    return S_OK;
}

HRESULT FakeEndpointVolume::SetMute(BOOL muted, LPCGUID) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        muted_ = muted != FALSE;
    }
    notify(1);
    return S_OK;
}

HRESULT FakeEndpointVolume::GetMute(BOOL* muted) {
    std::lock_guard<std::mutex> lock(mutex_);
    *muted = muted_;
    return S_OK;
}

HRESULT FakeEndpointVolume::QueryHardwareSupport(DWORD* mask) {
    *mask = hardwareSupport_;
    return S_OK;
}

// FakeControl --------------------------------------------------------------

HRESULT FakeControl::QueryInterface(REFIID iid, void** object) {
    if (iid == __uuidof(IAudioVolumeLevel) || iid == __uuidof(IPerChannelDbLevel))
        *object = static_cast<IAudioVolumeLevel*>(this);
    else if (iid == __uuidof(IAudioMute))
        *object = static_cast<IAudioMute*>(this);
    else if (iid == __uuidof(IUnknown))
        *object = static_cast<IAudioVolumeLevel*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

std::vector<float> FakeControl::levels() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return levels_;
}

bool FakeControl::muted() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return muted_;
}

void FakeControl::changeElsewhere(float levelDb) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::fill(levels_.begin(), levels_.end(), levelDb);
    }
    part_.notify();
    notices().drain();
}

HRESULT FakeControl::GetChannelCount(UINT* count) {
    *count = static_cast<UINT>(levels().size());
    return S_OK;
}

HRESULT FakeControl::GetLevelRange(UINT channel, float* minimum, float* maximum, float* step) {
    if (channel >= levels().size())
        return E_INVALIDARG;
    *minimum = minimumDb_;
    *maximum = maximumDb_;
    *step = 0.5f;
    return S_OK;
}

HRESULT FakeControl::GetLevel(UINT channel, float* level) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (channel >= levels_.size())
        return E_INVALIDARG;
    *level = levels_[channel];
    return S_OK;
}

HRESULT FakeControl::SetLevel(UINT channel, float level, LPCGUID) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (channel >= levels_.size())
            return E_INVALIDARG;
        levels_[channel] = std::clamp(level, minimumDb_, maximumDb_);
    }
    part_.notify();
    return S_OK;
}

HRESULT FakeControl::SetLevelUniform(float level, LPCGUID) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::fill(levels_.begin(), levels_.end(), std::clamp(level, minimumDb_, maximumDb_));
    }
    part_.notify();
    return S_OK;
}

HRESULT FakeControl::SetLevelAllChannels(float levels[], ULONG count, LPCGUID) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (count != levels_.size())
            return E_INVALIDARG;
        for (ULONG i = 0; i < count; ++i)
            levels_[i] = std::clamp(levels[i], minimumDb_, maximumDb_);
    }
    part_.notify();
    return S_OK;
}

HRESULT FakeControl::SetMute(BOOL muted, LPCGUID) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        muted_ = muted != FALSE;
    }
    part_.notify();
    return S_OK;
}

HRESULT FakeControl::GetMute(BOOL* muted) {
    *muted = this->muted();
    return S_OK;
}

// FakePart -----------------------------------------------------------------

HRESULT FakePart::QueryInterface(REFIID iid, void** object) {
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IPart))
        *object = static_cast<IPart*>(this);
    else if (iid == __uuidof(IConnector) && type_ == Connector)
        *object = static_cast<IConnector*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

size_t FakePart::callbacks() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return callbacks_.size();
}

void FakePart::notify() {
    std::vector<IControlChangeNotify*> callbacks;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        callbacks = callbacks_;
    }
    notices().post([callbacks] {
        for (IControlChangeNotify* callback : callbacks)
            callback->OnNotify(GetCurrentProcessId(), nullptr);
    });
}

HRESULT FakePart::GetName(LPWSTR* name) {
    return copyText(name_, name);
}

HRESULT FakePart::GetPartType(PartType* type) {
    *type = type_;
    return S_OK;
}

HRESULT FakePart::EnumPartsIncoming(IPartsList** parts) {
    if (incoming.empty())
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    *parts = new FakePartsList(incoming);
    return S_OK;
}

HRESULT FakePart::EnumPartsOutgoing(IPartsList** parts) {
    if (outgoing.empty())
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    *parts = new FakePartsList(outgoing);
    return S_OK;
}

HRESULT FakePart::Activate(DWORD, REFIID iid, void** object) {
    if (iid == __uuidof(IAudioVolumeLevel) && volume)
        return volume->QueryInterface(iid, object);
    if (iid == __uuidof(IAudioMute) && mute)
        return mute->QueryInterface(iid, object);
    return E_NOINTERFACE;
}

HRESULT FakePart::RegisterControlChangeCallback(REFGUID, IControlChangeNotify* callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::find(callbacks_.begin(), callbacks_.end(), callback) == callbacks_.end())
        callbacks_.push_back(callback);
    return S_OK;
}

HRESULT FakePart::UnregisterControlChangeCallback(IControlChangeNotify* callback) {
    notices().drain();
    std::lock_guard<std::mutex> lock(mutex_);
    callbacks_.erase(std::remove(callbacks_.begin(), callbacks_.end(), callback), callbacks_.end());
    return S_OK;
}

HRESULT FakePart::IsConnected(BOOL* connected) {
    if (connectionUnknown)
        return E_FAIL;
    *connected = connectedTo != nullptr;
    return S_OK;
}

HRESULT FakePart::GetConnectedTo(IConnector** other) {
    if (!connectedTo)
        return E_NOTFOUND;
    connectedTo->AddRef();
    *other = connectedTo;
    return S_OK;
}

// FakeTopology -------------------------------------------------------------

HRESULT FakeTopology::QueryInterface(REFIID iid, void** object) {
    if (iid != __uuidof(IUnknown) && iid != __uuidof(IDeviceTopology))
        return E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
}

HRESULT FakeTopology::GetConnectorCount(UINT* count) {
    *count = 1;
    return S_OK;
}

HRESULT FakeTopology::GetConnector(UINT index, IConnector** connector) {
    if (index != 0)
        return E_INVALIDARG;
    connector_.AddRef();
    *connector = &connector_;
    return S_OK;
}

// FakeDevice ---------------------------------------------------------------

FakeDevice::FakeDevice(FakeDeviceSetup setup)
    : setup_(std::move(setup)), volume_(setup_.channels, setup_.hardwareSupport) {}

FakePart& FakeDevice::addPart(PartType type, const std::wstring& name) {
    parts_.push_back(std::make_unique<FakePart>(type, name));
    return *parts_.back();
}

FakePart& FakeDevice::topologyDevice() {
    if (!topology_) {
        FakePart& endpointSide = addPart(Connector, L"endpoint");
        FakePart& deviceSide = addPart(Connector, L"speaker output");
        endpointSide.connectedTo = &deviceSide;
        deviceSide.connectedTo = &endpointSide;
        topology_ = std::make_unique<FakeTopology>(endpointSide);
    }
    // The connector the endpoint's connector 0 leads to.
    return *parts_[1];
}

HRESULT FakeDevice::QueryInterface(REFIID iid, void** object) {
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IMMDevice))
        *object = static_cast<IMMDevice*>(this);
    else if (iid == __uuidof(IMMEndpoint))
        *object = static_cast<IMMEndpoint*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT FakeDevice::Activate(REFIID iid, DWORD, PROPVARIANT*, void** object) {
    if (iid == __uuidof(IAudioEndpointVolume) && (setup_.state & DEVICE_STATE_ACTIVE))
        return volume_.QueryInterface(iid, object);
    if (iid == __uuidof(IDeviceTopology) && topology_)
        return topology_->QueryInterface(iid, object);
    return E_NOINTERFACE;
}

HRESULT FakeDevice::OpenPropertyStore(DWORD, IPropertyStore** store) {
    AddRef();
    *store = this;
    return S_OK;
}

HRESULT FakeDevice::GetId(LPWSTR* id) {
    return copyText(setup_.id, id);
}

HRESULT FakeDevice::GetState(DWORD* state) {
    *state = setup_.state;
    return S_OK;
}

HRESULT FakeDevice::GetDataFlow(EDataFlow* flow) {
    *flow = setup_.recording ? eCapture : eRender;
    return S_OK;
}

HRESULT FakeDevice::GetValue(REFPROPERTYKEY key, PROPVARIANT* value) {
    PropVariantInit(value);
    const std::wstring* text = nullptr;
    if (sameKey(key, kAdapterNameKey) && !setup_.adapter.empty())
        text = &setup_.adapter;
    else if (sameKey(key, kEndpointNameKey))
        text = &setup_.name;
    std::wstring friendly = setup_.name + L" (" + setup_.adapter + L")";
    if (sameKey(key, kFriendlyNameKey))
        text = &friendly;
    if (!text)
        return S_OK; // VT_EMPTY, as for a property the device does not have
    value->vt = VT_LPWSTR;
    return copyText(*text, &value->pwszVal);
}

// FakeAudioSystem ----------------------------------------------------------

FakeDevice& FakeAudioSystem::add(FakeDeviceSetup setup) {
    std::lock_guard<std::mutex> lock(mutex_);
    devices_.push_back(std::make_unique<FakeDevice>(std::move(setup)));
    return *devices_.back();
}

void FakeAudioSystem::setDefault(bool recording, const std::wstring& id) {
    defaults_[recording ? 1 : 0] = id;
}

FakeDevice* FakeAudioSystem::find(const std::wstring& id) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& device : devices_) {
        if (device->setup().id == id)
            return device.get();
    }
    return nullptr;
}

void FakeAudioSystem::notifyState(const std::wstring& id, DWORD state) {
    if (FakeDevice* device = find(id))
        device->setState(state);
    IMMNotificationClient* client = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        client = client_;
    }
    if (client) {
        notices().post([client, id, state] { client->OnDeviceStateChanged(id.c_str(), state); });
        notices().drain();
    }
}

bool FakeAudioSystem::hasClient() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return client_ != nullptr;
}

void FakeAudioSystem::install(FakeAudioSystem* system) {
    gInstalled = system;
    setEnumeratorFactoryForTesting(system ? createInstalled : nullptr);
}

void FakeAudioSystem::failCreation(bool fail) {
    gFailCreation = fail;
}

HRESULT FakeAudioSystem::QueryInterface(REFIID iid, void** object) {
    if (iid != __uuidof(IUnknown) && iid != __uuidof(IMMDeviceEnumerator))
        return E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
}

HRESULT FakeAudioSystem::EnumAudioEndpoints(EDataFlow flow, DWORD mask,
                                            IMMDeviceCollection** devices) {
    std::vector<FakeDevice*> matching;
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& device : devices_) {
        const bool recording = device->setup().recording;
        if ((flow == eAll || (flow == eCapture) == recording) && (device->setup().state & mask))
            matching.push_back(device.get());
    }
    *devices = new FakeCollection(matching);
    return S_OK;
}

HRESULT FakeAudioSystem::GetDefaultAudioEndpoint(EDataFlow flow, ERole, IMMDevice** device) {
    FakeDevice* found = find(defaults_[flow == eCapture ? 1 : 0]);
    if (!found)
        return E_NOTFOUND;
    found->AddRef();
    *device = found;
    return S_OK;
}

HRESULT FakeAudioSystem::GetDevice(LPCWSTR id, IMMDevice** device) {
    FakeDevice* found = find(id);
    if (!found)
        return E_NOTFOUND;
    found->AddRef();
    *device = found;
    return S_OK;
}

HRESULT FakeAudioSystem::RegisterEndpointNotificationCallback(IMMNotificationClient* client) {
    std::lock_guard<std::mutex> lock(mutex_);
    client_ = client;
    return S_OK;
}

HRESULT FakeAudioSystem::UnregisterEndpointNotificationCallback(IMMNotificationClient* client) {
    notices().drain();
    std::lock_guard<std::mutex> lock(mutex_);
    if (client_ == client)
        client_ = nullptr;
    return S_OK;
}

} // namespace tonvale::levrig::fake
