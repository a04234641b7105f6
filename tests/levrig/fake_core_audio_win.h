// A Core Audio stand-in for what Wine does not provide: endpoint volumes
// that behave as Windows' do (channels, hardware support, change notices
// from another thread) and device topologies with source lines. Everything
// is owned by one FakeAudioSystem; reference counts are kept but never
// delete. Notices are sent from a thread of their own, as the system does.
#pragma once

#include <windows.h>

#include <devicetopology.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tonvale::levrig::fake {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

class FakeEndpointVolume : public IAudioEndpointVolume {
  public:
    FakeEndpointVolume(UINT channels, DWORD hardwareSupport)
        : levels_(channels, 1.0f), hardwareSupport_(hardwareSupport) {}

    // A change made by another program: the values, then a notice to every
    // registered callback from another thread, `notices` times.
    void changeElsewhere(float master, bool muted, int notices = 1);
    void changeChannelsElsewhere(float left, float right);
    float master() const;
    float channel(UINT index) const;
    bool muted() const;
    int masterWrites() const { return masterWrites_; }
    int reads() const { return reads_; }
    size_t callbacks() const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override;
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override;
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(float, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float level, LPCGUID) override;
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(float*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float* level) override;
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, float, LPCGUID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT channel, float level,
                                                          LPCGUID) override;
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, float*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT channel, float* level) override;
    HRESULT STDMETHODCALLTYPE SetMute(BOOL muted, LPCGUID) override;
    HRESULT STDMETHODCALLTYPE GetMute(BOOL* muted) override;
    HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD* mask) override;
    HRESULT STDMETHODCALLTYPE GetVolumeRange(float*, float*, float*) override { return E_NOTIMPL; }

  private:
    void notify(int times);

    mutable std::mutex mutex_;
    std::vector<float> levels_;
    bool muted_ = false;
    DWORD hardwareSupport_;
    std::vector<IAudioEndpointVolumeCallback*> callbacks_;
    std::atomic<int> masterWrites_{0};
    std::atomic<int> reads_{0};
    std::atomic<ULONG> references_{1};
};

class FakePart;

// A volume-level or mute control of a subunit.
class FakeControl : public IAudioVolumeLevel, public IAudioMute {
  public:
    FakeControl(FakePart& part, UINT channels, float minimumDb, float maximumDb)
        : part_(part), levels_(channels, maximumDb), minimumDb_(minimumDb), maximumDb_(maximumDb) {}

    std::vector<float> levels() const;
    bool muted() const;
    void changeElsewhere(float levelDb);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetLevelRange(UINT channel, float* minimum, float* maximum,
                                            float* step) override;
    HRESULT STDMETHODCALLTYPE GetLevel(UINT channel, float* level) override;
    HRESULT STDMETHODCALLTYPE SetLevel(UINT channel, float level, LPCGUID) override;
    HRESULT STDMETHODCALLTYPE SetLevelUniform(float level, LPCGUID) override;
    HRESULT STDMETHODCALLTYPE SetLevelAllChannels(float levels[], ULONG count, LPCGUID) override;
    HRESULT STDMETHODCALLTYPE SetMute(BOOL muted, LPCGUID) override;
    HRESULT STDMETHODCALLTYPE GetMute(BOOL* muted) override;

  private:
    FakePart& part_;
    mutable std::mutex mutex_;
    std::vector<float> levels_;
    bool muted_ = false;
    float minimumDb_;
    float maximumDb_;
    std::atomic<ULONG> references_{1};
};

// A connector or a subunit of a device topology. Parts are linked by
// `incoming` / `outgoing` lists; a connector may be connected to another.
class FakePart : public IPart, public IConnector {
  public:
    FakePart(PartType type, std::wstring name) : type_(type), name_(std::move(name)) {}

    std::vector<FakePart*> incoming;
    std::vector<FakePart*> outgoing;
    FakePart* connectedTo = nullptr;
    bool connectionUnknown = false;      // IsConnected fails
    std::unique_ptr<FakeControl> volume; // a subunit's controls
    std::unique_ptr<FakeControl> mute;
    size_t callbacks() const;
    void notify();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    // IPart
    HRESULT STDMETHODCALLTYPE GetName(LPWSTR* name) override;
    HRESULT STDMETHODCALLTYPE GetLocalId(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGlobalId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPartType(PartType* type) override;
    HRESULT STDMETHODCALLTYPE GetSubType(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetControlInterfaceCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetControlInterface(UINT, IControlInterface**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumPartsIncoming(IPartsList** parts) override;
    HRESULT STDMETHODCALLTYPE EnumPartsOutgoing(IPartsList** parts) override;
    HRESULT STDMETHODCALLTYPE GetTopologyObjects(IDeviceTopology**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Activate(DWORD, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE
    RegisterControlChangeCallback(REFGUID, IControlChangeNotify* callback) override;
    HRESULT STDMETHODCALLTYPE
    UnregisterControlChangeCallback(IControlChangeNotify* callback) override;
    // IConnector
    HRESULT STDMETHODCALLTYPE GetType(ConnectorType*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDataFlow(DataFlow*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConnectTo(IConnector*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Disconnect() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsConnected(BOOL* connected) override;
    HRESULT STDMETHODCALLTYPE GetConnectedTo(IConnector** other) override;
    HRESULT STDMETHODCALLTYPE GetConnectorIdConnectedTo(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDeviceIdConnectedTo(LPWSTR*) override { return E_NOTIMPL; }

  private:
    PartType type_;
    std::wstring name_;
    mutable std::mutex mutex_;
    std::vector<IControlChangeNotify*> callbacks_;
    std::atomic<ULONG> references_{1};
};

class FakeTopology : public IDeviceTopology {
  public:
    explicit FakeTopology(FakePart& connector) : connector_(connector) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE GetConnectorCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetConnector(UINT index, IConnector** connector) override;
    HRESULT STDMETHODCALLTYPE GetSubunitCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSubunit(UINT, ISubUnit**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPartById(UINT, IPart**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDeviceId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSignalPath(IPart*, IPart*, BOOL, IPartsList**) override {
        return E_NOTIMPL;
    }

  private:
    FakePart& connector_;
    std::atomic<ULONG> references_{1};
};

struct FakeDeviceSetup {
    std::wstring id;
    std::wstring adapter; // empty: the property cannot be read
    std::wstring name;
    bool recording = false;
    DWORD state = DEVICE_STATE_ACTIVE;
    UINT channels = 2;
    DWORD hardwareSupport = ENDPOINT_HARDWARE_SUPPORT_VOLUME | ENDPOINT_HARDWARE_SUPPORT_MUTE;
};

class FakeDevice : public IMMDevice, public IMMEndpoint, public IPropertyStore {
  public:
    explicit FakeDevice(FakeDeviceSetup setup);

    const FakeDeviceSetup& setup() const { return setup_; }
    FakeEndpointVolume& volume() { return volume_; }
    void setState(DWORD state) { setup_.state = state; }
    // The topology behind the endpoint: connector 0 is connected to `device`.
    FakePart& topologyDevice();
    // A part of this endpoint's topology, kept with it.
    FakePart& addPart(PartType type, const std::wstring& name);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    // IMMDevice
    HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** object) override;
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore** store) override;
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR* id) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD* state) override;
    // IMMEndpoint
    HRESULT STDMETHODCALLTYPE GetDataFlow(EDataFlow* flow) override;
    // IPropertyStore
    HRESULT STDMETHODCALLTYPE GetCount(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAt(DWORD, PROPERTYKEY*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY, REFPROPVARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit() override { return E_NOTIMPL; }

  private:
    FakeDeviceSetup setup_;
    FakeEndpointVolume volume_;
    std::vector<std::unique_ptr<FakePart>> parts_;
    std::unique_ptr<FakeTopology> topology_;
    std::atomic<ULONG> references_{1};
};

class FakeAudioSystem : public IMMDeviceEnumerator {
  public:
    FakeDevice& add(FakeDeviceSetup setup);
    void setDefault(bool recording, const std::wstring& id);
    // A device-state notice from another thread.
    void notifyState(const std::wstring& id, DWORD state);
    bool hasClient() const;

    // Makes the library's device enumerator this one (null: the system's).
    static void install(FakeAudioSystem* system);
    // The enumerator cannot be created while set.
    static void failCreation(bool fail);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow flow, DWORD mask,
                                                 IMMDeviceCollection** devices) override;
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole,
                                                      IMMDevice** device) override;
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR id, IMMDevice** device) override;
    HRESULT STDMETHODCALLTYPE
    RegisterEndpointNotificationCallback(IMMNotificationClient* client) override;
    HRESULT STDMETHODCALLTYPE
    UnregisterEndpointNotificationCallback(IMMNotificationClient* client) override;

  private:
    FakeDevice* find(const std::wstring& id);

    std::vector<std::unique_ptr<FakeDevice>> devices_;
    std::wstring defaults_[2];
    mutable std::mutex mutex_;
    IMMNotificationClient* client_ = nullptr;
    std::atomic<ULONG> references_{1};
};

#pragma GCC diagnostic pop

} // namespace tonvale::levrig::fake
