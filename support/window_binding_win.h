// Window and dialog procedures that bind a C++ object to its window.
//
// windowProcedure<W> is registered as a class's procedure. At WM_NCCREATE it
// asks W::attach for the object and stores it in the window slot W::kSlot
// (0 for the first window-extra slot, GWLP_USERDATA, or DWLP_USER for
// dialog-style classes); every message then goes to the object's
// handleMessage; after WM_NCDESTROY the slot is cleared and W::detach frees
// the object. W provides:
//   static constexpr int kSlot;
//   static W* attach(HWND window, const CREATESTRUCTW& create); // null fails creation
//   static void detach(W* object) noexcept;
//   static LRESULT defaultProcedure(HWND, UINT, WPARAM, LPARAM); // DefWindowProcW or DefDlgProcW
//   LRESULT handleMessage(HWND, UINT, WPARAM, LPARAM);
//
// dialogProcedure<D> is the DLGPROC of a dialog made from a template: the
// object comes from the init parameter of WM_INITDIALOG through D::attach and
// lives in DWLP_USER until WM_NCDESTROY; without one the dialog ends at once
// with -1. D provides:
//   static D* attach(HWND dialog, LPARAM initParam);
//   static void detach(D* object) noexcept;
//   INT_PTR handleMessage(HWND, UINT, WPARAM, LPARAM); // FALSE: default handling
//
// Both are exception borders: a handler that throws has its message handled
// by default (dialogs: FALSE) and the window stays alive.
#pragma once

#include "support/exception_border.h"

#include <windows.h>

namespace tonvale {

// Slot of the object of a window created with `extraBytes` >= 8.
constexpr int kFirstWindowExtraSlot = 0;

template <typename Object> Object* boundObject(HWND window, int slot) {
    return reinterpret_cast<Object*>(GetWindowLongPtrW(window, slot));
}

template <typename Window>
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto byDefault = [&]() noexcept {
        return Window::defaultProcedure(window, message, wParam, lParam);
    };
    if (message == WM_NCCREATE) {
        Window* object = guardBorder(
            "window creation",
            [&] { return Window::attach(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam)); },
            []() -> Window* { return nullptr; });
        if (!object)
            return FALSE;
        SetWindowLongPtrW(window, Window::kSlot, reinterpret_cast<LONG_PTR>(object));
    }
    Window* object = boundObject<Window>(window, Window::kSlot);
    if (!object)
        return byDefault();
    LRESULT result = guardBorder(
        "window procedure", [&] { return object->handleMessage(window, message, wParam, lParam); },
        byDefault);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, Window::kSlot, 0);
        Window::detach(object);
    }
    return result;
}

template <typename Dialog>
INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        Dialog* object = guardBorder(
            "dialog creation", [&] { return Dialog::attach(dialog, lParam); },
            []() -> Dialog* { return nullptr; });
        // Without its object nothing could ever end a modal dialog.
        if (!object) {
            EndDialog(dialog, -1);
            return FALSE;
        }
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(object));
    }
    Dialog* object = boundObject<Dialog>(dialog, DWLP_USER);
    if (!object)
        return FALSE;
    INT_PTR result = guardBorder(
        "dialog procedure", [&] { return object->handleMessage(dialog, message, wParam, lParam); },
        []() noexcept -> INT_PTR { return FALSE; });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        Dialog::detach(object);
    }
    return result;
}

// The result of a dialog procedure for messages that return a value through
// DWLP_MSGRESULT (WM_NOTIFY and others).
inline INT_PTR dialogResult(HWND dialog, LRESULT value) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, value);
    return TRUE;
}

} // namespace tonvale
