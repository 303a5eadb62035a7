// Move-only owners of Win32 handles: each frees its handle exactly once, so an early return cannot
// leak one and a copy cannot free one twice.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <dwmapi.h>

#include <utility>

namespace lumetta {

template <typename Handle, typename Traits> class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, Traits::Invalid()));
        return *this;
    }
    ~Owned() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) {
        if (handle_ != Traits::Invalid()) Traits::Free(handle_);
        handle_ = handle;
    }
    // For functions that return a handle through a pointer.
    Handle* Put() {
        Reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};

// Bitmaps, fonts, brushes, pens and regions all go back with DeleteObject.
template <typename Handle> struct GdiObjectTraits {
    static Handle Invalid() { return nullptr; }
    static void Free(Handle h) { DeleteObject(h); }
};
struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static void Free(HDC h) { DeleteDC(h); }
};
struct RegistryKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Free(HKEY h) { RegCloseKey(h); }
};
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Free(HMODULE h) { FreeLibrary(h); }
};
struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Free(HANDLE h) { CloseHandle(h); }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static void Free(HICON h) { DestroyIcon(h); }
};
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Free(HMENU h) { DestroyMenu(h); }
};
struct AcceleratorTraits {
    static HACCEL Invalid() { return nullptr; }
    static void Free(HACCEL h) { DestroyAcceleratorTable(h); }
};
struct HookTraits {
    static HHOOK Invalid() { return nullptr; }
    static void Free(HHOOK h) { UnhookWindowsHookEx(h); }
};
struct ThumbnailTraits {
    static HTHUMBNAIL Invalid() { return nullptr; }
    static void Free(HTHUMBNAIL h) { DwmUnregisterThumbnail(h); }
};
struct ImageListTraits {
    static HIMAGELIST Invalid() { return nullptr; }
    static void Free(HIMAGELIST h) { ImageList_Destroy(h); }
};
// Memory the system allocated with LocalAlloc for the caller, such as CommandLineToArgvW's array.
template <typename Pointer> struct LocalMemoryTraits {
    static Pointer Invalid() { return nullptr; }
    static void Free(Pointer p) { LocalFree(p); }
};

using OwnedBitmap = Owned<HBITMAP, GdiObjectTraits<HBITMAP>>;
using OwnedFont = Owned<HFONT, GdiObjectTraits<HFONT>>;
using OwnedBrush = Owned<HBRUSH, GdiObjectTraits<HBRUSH>>;
using OwnedPen = Owned<HPEN, GdiObjectTraits<HPEN>>;
using OwnedRegion = Owned<HRGN, GdiObjectTraits<HRGN>>;
using OwnedMemoryDc = Owned<HDC, MemoryDcTraits>;
using OwnedKey = Owned<HKEY, RegistryKeyTraits>;
using OwnedModule = Owned<HMODULE, ModuleTraits>;
using OwnedHandle = Owned<HANDLE, KernelHandleTraits>;
using OwnedIcon = Owned<HICON, IconTraits>;
using OwnedMenu = Owned<HMENU, MenuTraits>;
using OwnedAccelerators = Owned<HACCEL, AcceleratorTraits>;
using OwnedHook = Owned<HHOOK, HookTraits>;
using OwnedThumbnail = Owned<HTHUMBNAIL, ThumbnailTraits>;
using OwnedImageList = Owned<HIMAGELIST, ImageListTraits>;
template <typename Pointer> using OwnedLocal = Owned<Pointer, LocalMemoryTraits<Pointer>>;

// A window's device context from GetDC (null: the screen's), given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class SelectionGuard {
public:
    SelectionGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;
    ~SelectionGuard() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    bool Selected() const { return previous_ && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A function of a loaded module by name, as the given pointer type; null when it is missing.
template <typename Function> Function ProcAddress(HMODULE module, const char* name) {
    // Through a generic function pointer: GetProcAddress's own type matches no real signature.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Loads a system library by its full path in the system folder, never from the program's folder
// or the current folder, where a planted copy could be picked up instead.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

} // namespace lumetta
