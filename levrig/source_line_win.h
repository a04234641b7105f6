// The source lines of one playback endpoint as the "Connected Lines" dialog
// shows them: each line's volume (in decibels on the device, percents on
// the panel), balance and mute, kept in step by the controls' change
// notices. One CSrcLineList per open dialog; it deletes its lines.
//
// Threads as for CEndPoint: OnNotify only posts kValuesChanged to the panel
// under the model lock; the rest runs on the window's thread.
#pragma once

#include "levrig/com_base_win.h"
#include "levrig/private_heap.h"
#include "levrig/source_topology_win.h"
#include "levrig/volume_arithmetic.h"
#include "support/scoped_win.h"

#include <windows.h>

#include <devicetopology.h>

namespace tonvale {
namespace levrig {

class CEndPoint;

// COM interfaces have no virtual destructor: nothing is ever deleted through them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CSrcLine : public CMiniPanel, public CUnknown, public IControlChangeNotify {
  public:
    CSrcLine() = default;
    ~CSrcLine() override;
    CSrcLine(const CSrcLine&) = delete;
    CSrcLine& operator=(const CSrcLine&) = delete;

    // Takes the record's controls (the record outlives the line), reads them
    // and registers for their change notices. 0 or kInitializationFailed.
    int attach(const LineRecord& record);
    // Unregisters the notices; without the model lock.
    void detach();
    void read();

    const Text& name() const { return record_->name; }
    CSrcLine* next = nullptr;

    // The panel (line_panel_win.cpp).
    HWND createPanel(HWND parent) override;
    static CSrcLine* attach(HWND panel, LPARAM initParam);
    static void detach(CSrcLine*) noexcept {}
    INT_PTR handleMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

    // IUnknown and IControlChangeNotify.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE OnNotify(DWORD processId, LPCGUID eventContext) override;

  private:
    void display(bool onlyChanges);
    void onVolumeSlider();
    void onBalanceSlider();
    void onMute();
    void writeChannels(ChannelPercents channels);

    const LineRecord* record_ = nullptr;
    ComPtr<IAudioMute> mute_;
    ComPtr<IAudioVolumeLevel> volume_;
    bool muteRegistered_ = false;
    bool volumeRegistered_ = false;
    UINT channels_ = 0;
    LevelRange range_;
    int volumePercent_ = 0;
    ChannelPercents channelPercents_;
    bool muted_ = false;
    int updateGuard_ = 0;
    bool updatePending_ = false;
    // What the panel shows (-1: nothing yet), so a re-read updates only
    // the controls whose values changed.
    int shownVolume_ = -1;
    int shownBalance_ = -1;
    int shownMuted_ = -1;
};
#pragma GCC diagnostic pop

class CSrcLineList {
  public:
    CSrcLineList() = default;
    virtual ~CSrcLineList();
    CSrcLineList(const CSrcLineList&) = delete;
    CSrcLineList& operator=(const CSrcLineList&) = delete;

    // The endpoint's friendly name and one line per record, in record order.
    // False when no line could be taken.
    bool build(const CEndPoint& endpoint);
    // Unregisters and deletes the lines; without the model lock.
    void release();

    const Text& friendlyName() const { return friendlyName_; }
    CSrcLine* first() const { return head_; }

  private:
    Text friendlyName_;
    CSrcLine* head_ = nullptr;
};

} // namespace levrig
} // namespace tonvale
