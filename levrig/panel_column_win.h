// The scrolling column of panels inside a volume window or the "Connected
// Lines" dialog: a child dialog whose visible panels stand one above the
// other, a row height plus 2 apart, and scroll vertically.
#pragma once

#include <windows.h>

namespace tonvale {
namespace levrig {

// Makes the panels of a column when it initialises.
class PanelSource {
  public:
    // Creates every panel as a child of column; false when that fails.
    virtual bool createPanels(HWND column) = 0;

    virtual ~PanelSource() = default;
};

class PanelColumn {
  public:
    // Creates the column (hidden size) in parent with control id `id`; its
    // initialisation asks source for the panels. Null on failure. The
    // object must outlive the window.
    HWND create(HWND parent, int id, PanelSource& source);

    HWND window() const { return window_; }
    // A panel's height - 2, from the first panel (0 before there is one).
    int rowHeight() const { return rowHeight_; }
    // A panel's width plus the vertical scroll bar.
    int width() const;
    // The column's window height beyond its client height (its border).
    int borderHeight() const;
    // Places the visible panels from the top and sets the scroll bar.
    void layout();
    int contentHeight() const { return contentHeight_; }
    // Scrolls the panel into the middle; returns its first tab stop, which
    // the caller gives the focus once its window is shown.
    HWND showPanel(HWND panel);

    static PanelColumn* attach(HWND column, LPARAM initParam);
    static void detach(PanelColumn*) noexcept {}
    INT_PTR handleMessage(HWND column, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    struct Setup {
        PanelColumn* column;
        PanelSource* source;
    };

    BOOL onInitDialog(PanelSource& source);
    void onScroll(int code);
    void onMouseWheel(WPARAM wParam, LPARAM lParam);
    void scrollTo(int position);
    int clientHeight() const;

    HWND window_ = nullptr;
    HWND firstPanel_ = nullptr;
    int rowHeight_ = 0;
    int position_ = 0;
    int contentHeight_ = 0;
    int wheelRemainder_ = 0;
};

} // namespace levrig
} // namespace tonvale
