// One settings page in a plain top-level dialog, made the way a tabbed host
// makes its pages: an empty child template, moved into place, then given its
// procedure and the initialisation message with the shared data. The test
// thread owns the windows and drives them with messages.
#pragma once

#include "app/process_context_win.h"
#include "dialogs/builder/dialog_builder_win.h"
#include "dialogs/settings/settings_pages_win.h"
#include "support/scoped_win.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace tonvale::testing_settings {

// The UI font the program picks with "UseSystemFont": the message font.
inline UniqueFont messageFont() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

inline INT_PTR CALLBACK inertProcedure(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class PageHarness {
  public:
    PageHarness(const TabbedPage& kind, SettingsPageData& data) {
        int width = 0;
        int height = 0;
        measured_ = kind.layout(nullptr, data.font, &data, &width, &height);
        const SIZE size = {width, height};
        alignas(4) unsigned char frameTemplate[128];
        frame_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                            emptyTemplate(frameTemplate, sizeof frameTemplate,
                                                          L"Settings page",
                                                          kPopupDialogStyle | WS_VISIBLE),
                                            nullptr, inertProcedure, 0);
        SetWindowLongPtrW(frame_, GWL_EXSTYLE,
                          GetWindowLongPtrW(frame_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        alignas(4) unsigned char pageTemplate[64];
        page_ = CreateDialogIndirectParamW(
            GetModuleHandleW(nullptr),
            emptyTemplate(pageTemplate, sizeof pageTemplate, L"", kChildDialogStyle), frame_,
            inertProcedure, 0);
        SetWindowLongPtrW(page_, GWL_EXSTYLE,
                          GetWindowLongPtrW(page_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        SetWindowPos(page_, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER);
        centreOnParent(frame_, size.cx, size.cy);
        SetWindowLongPtrW(page_, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(kind.procedure));
        SendMessageW(page_, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&data));
        ShowWindow(page_, SW_SHOW);
        UpdateWindow(frame_);
        size_ = size;
    }
    ~PageHarness() { DestroyWindow(frame_); }
    PageHarness(const PageHarness&) = delete;
    PageHarness& operator=(const PageHarness&) = delete;

    bool measured() const { return measured_; }
    SIZE size() const { return size_; }
    HWND frame() const { return frame_; }
    HWND page() const { return page_; }
    HWND control(int id) const { return GetDlgItem(page_, id); }

    // The page stores its values into the copy, as on OK.
    LRESULT apply() const {
        PSHNOTIFY notice = {};
        notice.hdr.hwndFrom = frame_;
        notice.hdr.code = static_cast<UINT>(PSN_APPLY);
        SendMessageW(page_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
        return GetWindowLongPtrW(page_, DWLP_MSGRESULT);
    }

    // User actions, with the notifications the controls would send.
    void click(int id) const { SendMessageW(control(id), BM_CLICK, 0, 0); }
    void choose(int id, int entry) const {
        SendMessageW(control(id), CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
        SendMessageW(page_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control(id)));
    }
    void chooseText(int id, const wchar_t* text) const {
        choose(id, static_cast<int>(SendMessageW(control(id), CB_FINDSTRINGEXACT,
                                                 static_cast<WPARAM>(-1),
                                                 reinterpret_cast<LPARAM>(text))));
    }
    void type(int id, const wchar_t* text) const { SetWindowTextW(control(id), text); }

    std::wstring text(int id) const {
        wchar_t buffer[512] = {};
        GetWindowTextW(control(id), buffer, 512);
        return buffer;
    }
    int selection(int id) const {
        return static_cast<int>(SendMessageW(control(id), CB_GETCURSEL, 0, 0));
    }
    std::wstring selectedText(int id) const { return entry(id, selection(id)); }
    std::wstring entry(int id, int index) const {
        wchar_t buffer[512] = {};
        if (SendMessageW(control(id), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) < 512)
            SendMessageW(control(id), CB_GETLBTEXT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    int entries(int id) const {
        return static_cast<int>(SendMessageW(control(id), CB_GETCOUNT, 0, 0));
    }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    bool checked(int id) const {
        return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

  private:
    bool measured_ = false;
    SIZE size_ = {};
    HWND frame_ = nullptr;
    HWND page_ = nullptr;
};

// Width of a text in a control's font.
inline int textWidth(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}

// Entries of the lists with fixed contents, and the longest text a bias
// field takes, that do not fit beside the drop-down button or inside the
// field's margins (the text-fit check of the UI kit does not judge them).
inline std::vector<std::wstring> clippedEntries(HWND root) {
    std::vector<std::wstring> clipped;
    for (int id :
         {kFrequencyOfA4Id, kShiftListId, kKeyId, kInTuneRangeId, kHumFrequencyId, kSampleRateId}) {
        HWND combo = uikit::findControl(root, id);
        if (!combo)
            continue;
        COMBOBOXINFO info = {};
        info.cbSize = sizeof info;
        GetComboBoxInfo(combo, &info);
        const int room = info.rcItem.right - info.rcItem.left;
        const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            if (SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 256)
                SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(text));
            if (textWidth(combo, text) > room)
                clipped.push_back(std::to_wstring(id) + L": " + text);
        }
    }
    for (int id : {kInputBiasId, kOutputBiasId}) {
        HWND edit = uikit::findControl(root, id);
        if (!edit)
            continue;
        RECT client = {};
        GetClientRect(edit, &client);
        const LRESULT margins = SendMessageW(edit, EM_GETMARGINS, 0, 0);
        const int room = client.right - LOWORD(margins) - HIWORD(margins);
        if (textWidth(edit, L"-100.00") > room)
            clipped.push_back(std::to_wstring(id) + L": -100.00");
    }
    return clipped;
}

} // namespace tonvale::testing_settings
