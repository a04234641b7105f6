// Bases of the device objects: a reference count that COM callers see but
// that never deletes (the owners delete), and the panel an object shows.
#pragma once

#include <windows.h>

#include <unknwn.h>

namespace tonvale {
namespace levrig {

class CUnknown {
  public:
    ULONG addReference() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG releaseReference() { return static_cast<ULONG>(InterlockedDecrement(&references_)); }

  protected:
    CUnknown() = default;
    ~CUnknown() = default;

  private:
    LONG references_ = 1;
};

// An object that owns a panel window (a child dialog whose DWLP_USER points
// back to it while both exist).
class CMiniPanel {
  public:
    virtual ~CMiniPanel() = default;
    // Creates the panel as a child of parent; null on failure.
    virtual HWND createPanel(HWND parent) = 0;

    HWND panel() const { return panel_; }
    // The panel is going away (WM_DESTROY): it and its object forget each other.
    void forgetPanel() { panel_ = nullptr; }

  protected:
    HWND panel_ = nullptr;
};

// QueryInterface of an object with one callback interface besides IUnknown.
template <typename Callback> HRESULT queryCallback(Callback* self, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(Callback)) {
        *object = self;
        self->AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

} // namespace levrig
} // namespace tonvale
