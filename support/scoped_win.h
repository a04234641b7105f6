// Move-only owners of Win32 resources. Each releases what it holds when it
// goes out of scope or is given something else; copying is deleted.
//
//   UniqueHandle / UniqueFileHandle  kernel handles (null / INVALID_HANDLE_VALUE)
//   WindowDC, PaintDC, MemoryDC      GetDC / BeginPaint / CreateCompatibleDC
//   GdiObject<T>, SelectionOf        GDI objects and a SelectObject restorer
//   ComPtr<T>                        COM interface pointers
//   HeapBlock<T>, heapNew, heapDelete blocks and objects on the process heap
//   CoTaskMemory<T>                  blocks a COM call allocated (CoTaskMemFree)
//   UniqueLibrary, UniqueHook, UniqueRegistryKey, WaveInHandle, WaveOutHandle
//   ComInitialization                CoInitializeEx, undone only if it succeeded
#pragma once

#include <windows.h>

#include <mmsystem.h>
#include <objbase.h>

#include <cstddef>
#include <new>
#include <utility>

namespace tonvale {

// One resource with a release function and an "empty" value, given by
// Traits: `using Type`, `static Type empty()`, `static void release(Type)`.
template <typename Traits> class UniqueResource {
  public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Type get() const { return value_; }
    bool valid() const { return value_ != Traits::empty(); }
    explicit operator bool() const { return valid(); }

    // Gives up ownership without releasing.
    Type release() {
        Type value = value_;
        value_ = Traits::empty();
        return value;
    }
    void reset(Type value = Traits::empty()) {
        if (valid())
            Traits::release(value_);
        value_ = value;
    }
    // Releases the current value and hands out its slot, for functions that
    // return a resource through a pointer.
    Type* receive() {
        reset();
        return &value_;
    }

  private:
    Type value_ = Traits::empty();
};

namespace traits {
struct Handle {
    using Type = HANDLE;
    static Type empty() { return nullptr; }
    static void release(Type value) { CloseHandle(value); }
};
struct FileHandle {
    using Type = HANDLE;
    static Type empty() { return INVALID_HANDLE_VALUE; }
    static void release(Type value) { CloseHandle(value); }
};
struct Library {
    using Type = HMODULE;
    static Type empty() { return nullptr; }
    static void release(Type value) { FreeLibrary(value); }
};
struct Hook {
    using Type = HHOOK;
    static Type empty() { return nullptr; }
    static void release(Type value) { UnhookWindowsHookEx(value); }
};
struct RegistryKey {
    using Type = HKEY;
    static Type empty() { return nullptr; }
    static void release(Type value) { RegCloseKey(value); }
};
struct MemoryDC {
    using Type = HDC;
    static Type empty() { return nullptr; }
    static void release(Type value) { DeleteDC(value); }
};
struct Menu {
    using Type = HMENU;
    static Type empty() { return nullptr; }
    static void release(Type value) { DestroyMenu(value); }
};
struct Icon {
    using Type = HICON;
    static Type empty() { return nullptr; }
    static void release(Type value) { DestroyIcon(value); }
};
template <typename T> struct GdiObject {
    using Type = T;
    static Type empty() { return nullptr; }
    static void release(Type value) { DeleteObject(value); }
};
} // namespace traits

// Thread, event, mutex, process: null means none.
using UniqueHandle = UniqueResource<traits::Handle>;
// CreateFileW and friends: INVALID_HANDLE_VALUE means none.
using UniqueFileHandle = UniqueResource<traits::FileHandle>;
using UniqueLibrary = UniqueResource<traits::Library>;
using UniqueHook = UniqueResource<traits::Hook>;
using UniqueRegistryKey = UniqueResource<traits::RegistryKey>;
// A DC of CreateCompatibleDC / CreateDC (DeleteDC). Not for GetDC.
using MemoryDC = UniqueResource<traits::MemoryDC>;
// A menu not attached to a window (a window destroys its own).
using UniqueMenu = UniqueResource<traits::Menu>;
using UniqueIcon = UniqueResource<traits::Icon>;
template <typename T> using GdiObject = UniqueResource<traits::GdiObject<T>>;
using UniqueBitmap = GdiObject<HBITMAP>;
using UniqueFont = GdiObject<HFONT>;
using UniqueBrush = GdiObject<HBRUSH>;
using UniquePen = GdiObject<HPEN>;
using UniqueRegion = GdiObject<HRGN>;

// A window's DC from GetDC, given back with ReleaseDC (never DeleteDC).
// `window` may be null for the screen.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&& other) noexcept : window_(other.window_), dc_(other.dc_) {
        other.dc_ = nullptr;
    }
    WindowDC& operator=(WindowDC&&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint ... EndPaint of one WM_PAINT.
class PaintDC {
  public:
    explicit PaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintDC() { EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return paint_; }
    const RECT& dirty() const { return paint_.rcPaint; }

  private:
    HWND window_;
    HDC dc_ = nullptr;
    PAINTSTRUCT paint_ = {};
};

// Selects an object into a DC and selects the previous one back when it ends,
// so the DC never holds an object that is about to be deleted.
class SelectionOf {
  public:
    SelectionOf(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectionOf() {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    SelectionOf(const SelectionOf&) = delete;
    SelectionOf& operator=(const SelectionOf&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A COM interface pointer holding one reference. receive() releases the old
// pointer before handing out the slot, so `Create(..., ptr.receive())`
// never leaks.
template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    // Takes over a reference the caller owns.
    explicit ComPtr(T* owned) : pointer_(owned) {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(other.pointer_) { other.pointer_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = other.pointer_;
            other.pointer_ = nullptr;
        }
        return *this;
    }

    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    void reset() {
        if (pointer_) {
            pointer_->Release();
            pointer_ = nullptr;
        }
    }
    T** receive() {
        reset();
        return &pointer_;
    }
    void** receiveVoid() { return reinterpret_cast<void**>(receive()); }
    // Hands the reference to the caller.
    T* detach() {
        T* pointer = pointer_;
        pointer_ = nullptr;
        return pointer;
    }

  private:
    T* pointer_ = nullptr;
};

// A block of `count` T on the process heap (HeapAlloc / HeapFree). For plain
// records only: no constructors or destructors run.
template <typename T> class HeapBlock {
  public:
    HeapBlock() = default;
    ~HeapBlock() { reset(); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    HeapBlock(HeapBlock&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    HeapBlock& operator=(HeapBlock&& other) noexcept {
        if (this != &other) {
            reset();
            block_ = other.block_;
            other.block_ = nullptr;
        }
        return *this;
    }

    // Zero-filled; false (and empty) when the heap refuses.
    bool allocate(size_t count) {
        reset();
        block_ = static_cast<T*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * sizeof(T)));
        return block_ != nullptr;
    }
    void reset() {
        if (block_) {
            HeapFree(GetProcessHeap(), 0, block_);
            block_ = nullptr;
        }
    }
    T* release() {
        T* block = block_;
        block_ = nullptr;
        return block;
    }

    T* get() const { return block_; }
    T* operator->() const { return block_; }
    T& operator[](size_t index) const { return block_[index]; }
    explicit operator bool() const { return block_ != nullptr; }

  private:
    T* block_ = nullptr;
};

// A T constructed in a zero-filled block of the process heap, for window
// records the program's convention puts there; null when the heap refuses.
// If the constructor throws, the block is freed and the exception goes on.
template <typename T, typename... Args> T* heapNew(Args&&... args) {
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(T));
    if (!block)
        return nullptr;
    try {
        return new (block) T(std::forward<Args>(args)...);
    } catch (...) {
        HeapFree(GetProcessHeap(), 0, block);
        throw;
    }
}

template <typename T> void heapDelete(T* object) noexcept {
    if (object) {
        object->~T();
        HeapFree(GetProcessHeap(), 0, object);
    }
}

// A block a COM call handed out (CoTaskMemAlloc), freed with CoTaskMemFree.
template <typename T> class CoTaskMemory {
  public:
    CoTaskMemory() = default;
    ~CoTaskMemory() { reset(); }
    CoTaskMemory(const CoTaskMemory&) = delete;
    CoTaskMemory& operator=(const CoTaskMemory&) = delete;

    void reset() {
        CoTaskMemFree(block_);
        block_ = nullptr;
    }
    T** receive() {
        reset();
        return &block_;
    }
    T* get() const { return block_; }
    T* operator->() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }

  private:
    T* block_ = nullptr;
};

// Wave-in and wave-out devices: reset first, so that buffers still queued
// come back before the device closes.
class WaveInHandle {
  public:
    WaveInHandle() = default;
    ~WaveInHandle() { close(); }
    WaveInHandle(const WaveInHandle&) = delete;
    WaveInHandle& operator=(const WaveInHandle&) = delete;

    HWAVEIN get() const { return handle_; }
    HWAVEIN* receive() {
        close();
        return &handle_;
    }
    explicit operator bool() const { return handle_ != nullptr; }
    MMRESULT close() {
        MMRESULT result = MMSYSERR_NOERROR;
        if (handle_) {
            waveInReset(handle_);
            result = waveInClose(handle_);
            handle_ = nullptr;
        }
        return result;
    }

  private:
    HWAVEIN handle_ = nullptr;
};

class WaveOutHandle {
  public:
    WaveOutHandle() = default;
    ~WaveOutHandle() { close(); }
    WaveOutHandle(const WaveOutHandle&) = delete;
    WaveOutHandle& operator=(const WaveOutHandle&) = delete;

    HWAVEOUT get() const { return handle_; }
    HWAVEOUT* receive() {
        close();
        return &handle_;
    }
    explicit operator bool() const { return handle_ != nullptr; }
    MMRESULT close() {
        MMRESULT result = MMSYSERR_NOERROR;
        if (handle_) {
            waveOutReset(handle_);
            result = waveOutClose(handle_);
            handle_ = nullptr;
        }
        return result;
    }

  private:
    HWAVEOUT handle_ = nullptr;
};

// COM for the current thread. Uninitialises only when the initialisation
// succeeded (S_FALSE counts: it must be balanced too).
class ComInitialization {
  public:
    explicit ComInitialization(DWORD model) : result_(CoInitializeEx(nullptr, model)) {}
    ~ComInitialization() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

    HRESULT result() const { return result_; }
    bool succeeded() const { return SUCCEEDED(result_); }

  private:
    HRESULT result_;
};

} // namespace tonvale
