// Endpoints of the D and G options: a wave device index of the direction,
// directly or behind a DirectSound device GUID.
#include "levrig/command_line_win.h"

#include "devices/names/endpoint_names_win.h"
#include "support/scoped_win.h"

#include <windows.h>

#include <mmsystem.h>

#include <dsconf.h>
#include <dsound.h>

#include <cstring>

namespace tonvale {
namespace levrig {
namespace {

// dsound.dll's private property set maps a DirectSound device to its wave
// device; it is reached through the library's class object, by hand.
constexpr GUID kDirectSoundPrivateClass = {
    0x11ab3ec0, 0x25ec, 0x11d1, {0xa4, 0xd8, 0x00, 0xc0, 0x4f, 0xc2, 0x8a, 0xca}};
constexpr GUID kDirectSoundDeviceProperties = {
    0x84624f82, 0x25ec, 0x11d1, {0xa4, 0xd8, 0x00, 0xc0, 0x4f, 0xc2, 0x8a, 0xca}};
constexpr GUID kPropertySetInterface = {
    0x31efac30, 0x515c, 0x11d0, {0xa9, 0xaa, 0x00, 0xaa, 0x00, 0x61, 0xbe, 0x93}};
constexpr ULONG kNoWaveDevice = 0xFFFFFFFF;

DeviceDirection directionOf(bool recording) {
    return recording ? DeviceDirection::capture : DeviceDirection::playback;
}

GUID systemGuid(const DeviceGuid& guid) {
    GUID result;
    result.Data1 = guid.data1;
    result.Data2 = guid.data2;
    result.Data3 = guid.data3;
    std::memcpy(result.Data4, guid.data4, sizeof result.Data4);
    return result;
}

// The wave device of the GUID from DirectSound's description of it; false
// when the description is not to be had or names no wave device of the
// direction.
bool describedWaveIndex(bool recording, const GUID& guid, int& index) {
    UniqueLibrary dsound(LoadLibraryW(L"dsound.dll"));
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto getClassObject = dsound ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(
                                       GetProcAddress(dsound.get(), "DllGetClassObject")))
                                 : nullptr;
    ComPtr<IClassFactory> factory;
    ComPtr<IKsPropertySet> properties;
    if (!getClassObject ||
        FAILED(getClassObject(kDirectSoundPrivateClass, __uuidof(IClassFactory),
                              factory.receiveVoid())) ||
        FAILED(factory->CreateInstance(nullptr, kPropertySetInterface, properties.receiveVoid())))
        return false;
    // Room for the strings the description may be given after it.
    alignas(8) BYTE buffer[4096] = {};
    auto* description = reinterpret_cast<DSPROPERTY_DIRECTSOUNDDEVICE_DESCRIPTION_W_DATA*>(buffer);
    description->DeviceId = guid;
    description->WaveDeviceId = kNoWaveDevice;
    description->DataFlow = static_cast<DIRECTSOUNDDEVICE_DATAFLOW>(-1);
    ULONG returned = 0;
    const HRESULT result =
        properties->Get(kDirectSoundDeviceProperties, DSPROPERTY_DIRECTSOUNDDEVICE_DESCRIPTION_W,
                        nullptr, 0, buffer, sizeof buffer, &returned);
    const DIRECTSOUNDDEVICE_DATAFLOW flow =
        recording ? DIRECTSOUNDDEVICE_DATAFLOW_CAPTURE : DIRECTSOUNDDEVICE_DATAFLOW_RENDER;
    if (FAILED(result) || description->WaveDeviceId == kNoWaveDevice ||
        description->DataFlow != flow)
        return false;
    index = static_cast<int>(description->WaveDeviceId);
    return true;
}

// Some DirectSound implementations describe a device without its wave
// device; the endpoint GUID of each wave device then tells which it is (it
// is the DirectSound device GUID).
bool matchedWaveIndex(bool recording, const GUID& guid, int& index) {
    wchar_t wanted[40] = {};
    if (!StringFromGUID2(guid, wanted, 40))
        return false;
    const UINT count = recording ? waveInGetNumDevs() : waveOutGetNumDevs();
    for (UINT i = 0; i < count; ++i) {
        wchar_t key[kDeviceKeyCapacity];
        if (endpointGuid(directionOf(recording), static_cast<int32_t>(i), key) &&
            lstrcmpiW(key, wanted) == 0) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

} // namespace

bool SystemEndpointResolver::endpointOfWaveIndex(bool recording, int index, Text& id) {
    wchar_t found[kEndpointIdCapacity];
    if (!endpointId(directionOf(recording), index, found))
        return false;
    id.assign(found);
    return true;
}

bool SystemEndpointResolver::endpointOfDirectSoundGuid(bool recording, const DeviceGuid& guid,
                                                       Text& id) {
    const GUID device = systemGuid(guid);
    int index = -1;
    if (!describedWaveIndex(recording, device, index) &&
        !matchedWaveIndex(recording, device, index))
        return false;
    return endpointOfWaveIndex(recording, index, id);
}

} // namespace levrig
} // namespace tonvale
