#include "tests/ui_kit/ui_test_kit_win.h"

#include "tests/ui_kit/png_writer.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>

namespace tonvale::uikit {
namespace {

constexpr DWORD kPollMs = 10;

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

struct WindowQuery {
    const wchar_t* className;
    const wchar_t* title;
    std::vector<HWND> found;
};

BOOL CALLBACK collectMatching(HWND window, LPARAM lParam) {
    auto& query = *reinterpret_cast<WindowQuery*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    if (query.className && windowClass(window) != query.className)
        return TRUE;
    if (query.title && windowText(window) != query.title)
        return TRUE;
    query.found.push_back(window);
    return TRUE;
}

BOOL CALLBACK collectChild(HWND window, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

// How a control draws its text, as DrawTextW flags, and the room it keeps
// for itself beside the text; false for controls whose text is not judged.
bool drawingRule(HWND control, UINT& flags, SIZE& allowance) {
    const std::wstring kind = windowClass(control);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    flags = DT_EXPANDTABS;
    allowance = {0, 0};
    if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        const DWORD type = style & SS_TYPEMASK;
        if (type == SS_OWNERDRAW)
            flags |= DT_WORDBREAK | DT_NOPREFIX; // this program's owner-drawn texts
        else if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT)
            flags |= DT_WORDBREAK;
        else if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE)
            flags |= DT_SINGLELINE;
        else
            return false; // icons, bitmaps, frames
        if (style & SS_NOPREFIX)
            flags |= DT_NOPREFIX;
        return true;
    }
    if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        const DWORD type = style & BS_TYPEMASK;
        flags |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        switch (type) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            // Border, bevel and focus rectangle on each side.
            allowance = {2 * (GetSystemMetrics(SM_CXEDGE) + 2),
                         2 * (GetSystemMetrics(SM_CYEDGE) + 1)};
            return true;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            allowance = {GetSystemMetrics(SM_CXMENUCHECK) + 4, 0};
            return true;
        case BS_GROUPBOX:
            flags = DT_SINGLELINE | DT_EXPANDTABS;
            allowance = {16, 0}; // the title is drawn indented into the frame
            return true;
        default:
            return false;
        }
    }
    return false;
}

bool paintPending(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE))
        return true;
    for (HWND child : descendants(window))
        if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE))
            return true;
    return false;
}

// Paints the window and its children now; from another thread, asks for it
// and waits until the owning thread has painted everything.
void repaint(HWND window) {
    const bool own = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN |
                     (own ? RDW_UPDATENOW : 0));
    if (!own)
        waitUntil([&] { return !paintPending(window); }, 2000, Pump::no);
    GdiFlush();
    Sleep(50); // the display server draws what Wine sent it
}

// The screen's pixels in `area` as RGB rows; empty when they cannot be read.
std::vector<uint8_t> grabScreen(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint8_t> rgb;
    if (bitmap && memory) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        const bool copied =
            BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, previous);
        if (copied) {
            const auto* pixels = static_cast<const uint8_t*>(bits);
            rgb.resize(static_cast<size_t>(width) * height * 3);
            for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
                rgb[3 * i] = pixels[4 * i + 2];
                rgb[3 * i + 1] = pixels[4 * i + 1];
                rgb[3 * i + 2] = pixels[4 * i];
            }
        }
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return rgb;
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs, Pump pump) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (pump == Pump::yes)
            pumpMessages();
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        if (pump == Pump::yes)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        else
            Sleep(kPollMs);
    }
}

std::vector<HWND> findWindows(const wchar_t* className, const wchar_t* title) {
    WindowQuery query = {className, title, {}};
    EnumWindows(collectMatching, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND waitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs, Pump pump) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            std::vector<HWND> windows = findWindows(className, title);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        timeoutMs, pump);
    return found;
}

std::wstring windowText(HWND window) {
    // WM_GETTEXT works across threads where GetWindowTextW would not ask.
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::wstring windowClass(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::vector<HWND> descendants(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND findControl(HWND window, int id) {
    for (HWND child : descendants(window))
        if (GetDlgCtrlID(child) == id)
            return child;
    return nullptr;
}

TextFit textFit(HWND control) {
    TextFit fit;
    fit.control = control;
    fit.text = windowText(control);
    RECT client = {};
    GetClientRect(control, &client);
    fit.available = {client.right, client.bottom};
    UINT flags = 0;
    SIZE allowance = {};
    if (fit.text.empty() || !drawingRule(control, flags, allowance))
        return fit;

    HDC dc = GetDC(control);
    if (!dc)
        return fit;
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    const int width = std::max<int>(client.right - allowance.cx, 1);
    RECT bounds = {0, 0, (flags & DT_WORDBREAK) ? width : 0, 0};
    DrawTextW(dc, fit.text.c_str(), -1, &bounds, flags | DT_CALCRECT);
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(control, dc);

    fit.checked = true;
    fit.needed = {bounds.right + allowance.cx, bounds.bottom + allowance.cy};
    fit.fits = fit.needed.cx <= fit.available.cx && fit.needed.cy <= fit.available.cy;
    return fit;
}

std::vector<std::wstring> clippedTexts(HWND window) {
    std::vector<std::wstring> problems;
    for (HWND control : descendants(window)) {
        if (!IsWindowVisible(control))
            continue;
        const TextFit fit = textFit(control);
        if (fit.fits)
            continue;
        wchar_t line[512];
        std::swprintf(line, 512, L"%ls %d \"%ls\": needs %ld x %ld, has %ld x %ld",
                      windowClass(control).c_str(), GetDlgCtrlID(control), fit.text.c_str(),
                      fit.needed.cx, fit.needed.cy, fit.available.cx, fit.available.cy);
        problems.push_back(line);
    }
    return problems;
}

std::wstring artefactPath(const std::wstring& test, const std::wstring& file) {
    wchar_t root[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"TONVALE_ARTEFACTS_DIR", root, MAX_PATH) == 0)
        return file;
    std::wstring folder = std::wstring(root) + L"\\" + test;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + file;
}

bool captureWindow(HWND window, const std::wstring& path) {
    RECT area = {};
    if (!GetWindowRect(window, &area) || area.right <= area.left || area.bottom <= area.top)
        return false;
    repaint(window);
    // The display server may still be drawing: take the picture once two
    // grabs in a row agree.
    std::vector<uint8_t> rgb = grabScreen(area);
    for (int attempt = 0; attempt < 20 && !rgb.empty(); ++attempt) {
        Sleep(100);
        std::vector<uint8_t> again = grabScreen(area);
        const bool settled = again == rgb;
        rgb = std::move(again);
        if (settled)
            break;
    }
    if (rgb.empty())
        return false;

    const std::vector<uint8_t> png =
        encodePng(rgb.data(), area.right - area.left, area.bottom - area.top);
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

void drawOwnFrames() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = std::wcsrchr(path, L'\\');
    name = name ? name + 1 : path;
    const std::wstring key =
        std::wstring(L"Software\\Wine\\AppDefaults\\") + name + L"\\X11 Driver";
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS)
        return;
    const wchar_t no[] = L"N";
    RegSetValueExW(handle, L"Decorated", 0, REG_SZ, reinterpret_cast<const BYTE*>(no), sizeof no);
    RegSetValueExW(handle, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(no), sizeof no);
    RegCloseKey(handle);
    // Debian's Wine leaves its own symbol font unregistered; the caption
    // buttons are glyphs of it.
    AddFontResourceExW(L"Z:\\usr\\share\\wine\\fonts\\marlett.ttf", FR_PRIVATE, nullptr);
}

bool bringToFront(HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    return waitUntil([&] { return GetForegroundWindow() == window; }, 2000, Pump::no);
}

bool pressKey(WORD key, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD modifier : modifiers)
        add(modifier, false);
    add(key, false);
    add(key, true);
    for (auto it = modifiers.end(); it != modifiers.begin();)
        add(*--it, true);
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

bool rightClick(HWND window, POINT clientPoint) {
    POINT screen = clientPoint;
    ClientToScreen(window, &screen);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dx = (screen.x * 65535 + width / 2) / (width - 1);
    inputs[0].mi.dy = (screen.y * 65535 + height / 2) / (height - 1);
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    inputs[2].type = INPUT_MOUSE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

} // namespace tonvale::uikit
