// What the three settings pages share to lay themselves out and to read and
// set their controls.
#pragma once

#include "dialogs/builder/dialog_builder_win.h"
#include "support/window_binding_win.h"

#include <windows.h>

#include <commctrl.h>

#include "tuning/temperament_digest.h"

#include <optional>
#include <string>

namespace tonvale {

// Id of the controls that are never addressed (labels and group boxes).
constexpr uint16_t kUnaddressedId = 0xFFFF;

// Size descriptors of the pages' controls; their allowances are design
// units, scaled with the screen's dpi like every fixed size.
uint32_t listDescriptor(uint32_t flags = 0);
uint32_t editDescriptor(uint32_t flags = 0);
uint32_t buttonDescriptor(uint32_t flags = 0);
uint32_t checkDescriptor(uint32_t flags = 0);

// Styles of the pages' controls (child and visible added by the table).
constexpr DWORD kGroupStart = WS_GROUP;
constexpr DWORD kCheckStyle = WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kGroupBoxStyle = WS_GROUP | BS_GROUPBOX;
constexpr DWORD kLabelStyle = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kDropListStyle = WS_GROUP | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kComboEditStyle = WS_GROUP | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN;
constexpr DWORD kPushStyle = WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kEditStyle = WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL;

// One page's layout in the dialog's font: on the page's own device context,
// or with no page on the main window's (or the screen's) to learn only its
// size.
class PageLayout {
  public:
    PageLayout(HWND page, HFONT font);
    ~PageLayout();
    PageLayout(const PageLayout&) = delete;
    PageLayout& operator=(const PageLayout&) = delete;

    bool valid() const { return dc_.valid(); }
    DialogBuilder& builder() { return builder_; }
    const TextMeasure& measure() const { return dc_.measure(); }

    LayoutNode* label(int text, uint32_t flags = 0);
    // Labels as wide as the widest of the texts, so the fields beside them line up.
    LayoutNode* labelOf(int text, std::initializer_list<int> alike);
    LayoutNode* check(int text, uint32_t flags = 0);
    LayoutNode* button(int text, uint32_t flags = 0);
    LayoutNode* list(int characters, uint32_t flags = 0);
    LayoutNode* edit(int characters, uint32_t flags = 0);
    LayoutNode* column(uint32_t flags, int title, std::initializer_list<LayoutNode*> children);
    LayoutNode* row(uint32_t flags, std::initializer_list<LayoutNode*> children);

    // Finishes the tree inside the page's margin, widened to the page's
    // width when it has one, and gives the page size. With a page, creates
    // table[i] on nodes[i] (drop-down parts eight times the closed height).
    bool finish(LayoutNode* root, const DialogControl* table, LayoutNode* const* nodes, int count,
                int* width, int* height);

  private:
    HWND page_;
    HFONT font_;
    LayoutDC dc_;
    DialogBuilder builder_;
    int savedMetrics_[4] = {};
};

// Temporarily replaces one layout metric (the gaps some groups want).
class MetricOverride {
  public:
    MetricOverride(int index, int value)
        : index_(index), previous_(DialogBuilder::setMetric(index, value)) {}
    ~MetricOverride() { DialogBuilder::setMetric(index_, previous_); }
    MetricOverride(const MetricOverride&) = delete;
    MetricOverride& operator=(const MetricOverride&) = delete;

  private:
    int index_;
    int previous_;
};

// Control helpers of the pages.
bool isChecked(HWND page, int id);
void setChecked(HWND page, int id, bool checked);
void enableControl(HWND page, int id, bool enabled);
std::wstring controlText(HWND page, int id);
void setControlText(HWND page, int id, const std::wstring& text);
// Combo boxes: adds an entry with its item data; returns its index.
int addEntry(HWND page, int id, const wchar_t* text, LPARAM data = 0);
int selectedEntry(HWND page, int id); // CB_ERR (-1) for none
void selectEntry(HWND page, int id, int entry);
LPARAM entryData(HWND page, int id, int entry);
std::wstring entryText(HWND page, int id, int entry);

// Section lists of "scale.ini" and "note.ini": the entry for none (no item
// data) and every listable section of the digest (item data = its index).
void fillSectionList(HWND page, int id, const wchar_t* noneText,
                     const std::optional<TemperamentDigest>& digest);
// The entry of the section named so (exactly, else ignoring case as the
// files do); the entry for none when there is no such entry.
int entryForSection(HWND page, int id, const std::wstring& name);
// The digest entry of the selected section; null for none.
const DigestEntry* sectionOfEntry(HWND page, int id,
                                  const std::optional<TemperamentDigest>& digest);

// The window that owns the page's dialogs: the settings dialog itself.
HWND pageOwner(HWND page);

// The shared part of every page's WM_NOTIFY: PSN_SETACTIVE records the page
// as the current one, PSN_APPLY calls apply and accepts. FALSE for others.
template <typename Apply>
INT_PTR onPageNotice(HWND page, const NMHDR& notice, int& currentPage, int index, Apply apply) {
    if (notice.code == static_cast<UINT>(PSN_SETACTIVE)) {
        currentPage = index;
        return dialogResult(page, 0);
    }
    if (notice.code == static_cast<UINT>(PSN_APPLY)) {
        apply();
        return dialogResult(page, PSNRET_NOERROR);
    }
    return FALSE;
}

} // namespace tonvale
