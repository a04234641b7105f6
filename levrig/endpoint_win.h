// One Core Audio endpoint as its panel shows it: names, state, volume,
// channel balance and mute, kept in step with the device by its volume
// notices. Owned by its CEndPointList, which deletes it.
//
// Threads: the notice (OnNotify) arrives on a system thread and only posts
// kValuesChanged to the panel, under the model lock; everything else runs on
// the window's thread under the model lock, except detach (see there).
#pragma once

#include "levrig/com_base_win.h"
#include "levrig/private_heap.h"
#include "levrig/source_topology_win.h"
#include "levrig/volume_arithmetic.h"
#include "support/scoped_win.h"

#include <windows.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

namespace tonvale {
namespace levrig {

// COM interfaces have no virtual destructor: nothing is ever deleted through them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CEndPoint : public CMiniPanel, public CUnknown, public IAudioEndpointVolumeCallback {
  public:
    explicit CEndPoint(bool softwareMute);
    ~CEndPoint() override;
    CEndPoint(const CEndPoint&) = delete;
    CEndPoint& operator=(const CEndPoint&) = delete;

    // Takes the device (attach(HWND, LPARAM) below binds the panel instead): 0,
    // or kInitializationFailed when its names, id or
    // state cannot be read (an endpoint without an adapter name is not
    // listed) or an active endpoint's volume cannot be had.
    int attach(IMMDevice* device);
    // Unregisters the volume notices and lets go of the device. Called
    // without the model lock: unregistering waits for notices in flight,
    // which take it.
    void detach();

    // Reads channel count, hardware support, mute, volume and channel levels.
    void refresh();
    // A device-state notice for this endpoint.
    void setState(DWORD state);

    bool active() const { return (state_ & DEVICE_STATE_ACTIVE) && volume_; }
    bool recording() const { return dataFlow_ == eCapture; }
    const Text& id() const { return id_; }
    const Text& adapterName() const { return adapterName_; }
    const Text& name() const { return name_; }
    IMMDevice* device() const { return device_.get(); }
    const LineRecord* sourceLines() const { return sourceLines_; }
    int32_t linesDialogHeight() const { return linesDialogHeight_; }
    void setLinesDialogHeight(int32_t height) { linesDialogHeight_ = height; }

    CEndPoint* next = nullptr;

    // The panel (endpoint_panel_win.cpp).
    HWND createPanel(HWND parent) override;
    static CEndPoint* attach(HWND panel, LPARAM initParam);
    static void detach(CEndPoint*) noexcept {}
    INT_PTR handleMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

    // IUnknown and IAudioEndpointVolumeCallback.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data) override;

  private:
    bool activateVolume();
    void display(bool onlyChanges);
    void enableControls();
    void onVolumeSlider();
    void onBalanceSlider();
    void onMute();
    void onMore();

    ComPtr<IMMDevice> device_;
    Text id_;
    int dataFlow_ = eAll; // eRender, eCapture, or eAll when unreadable
    ComPtr<IAudioEndpointVolume> volume_;
    bool registered_ = false;
    Text adapterName_;
    Text name_;
    UINT channels_ = 0;
    DWORD state_ = 0;
    int updateGuard_ = 0;
    bool hardwareVolume_ = false;
    bool hardwareMute_ = false;
    bool muted_ = false;
    bool softwareMute_ = false;
    int volumePercent_ = 0;
    ChannelPercents channelPercents_;
    LineRecord* sourceLines_ = nullptr;
    bool updatePending_ = false;
    // What the panel shows (-1: nothing yet), so a re-read updates only
    // the controls whose values changed.
    int shownVolume_ = -1;
    int shownBalance_ = -1;
    int shownMuted_ = -1;
    int32_t linesDialogHeight_ = 0; // remembered while the library is loaded
};
#pragma GCC diagnostic pop

} // namespace levrig
} // namespace tonvale
