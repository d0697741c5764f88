// Owners of system handles: one move-only template with an alias per kind of handle, and
// scope guards for device contexts and selected GDI objects. A copyable handle wrapper would
// release its handle twice, so none of these can be copied.
#pragma once

#include <windows.h>

#include <commctrl.h>

template <class Traits>
class CHandle {
public:
    using Type = typename Traits::Type;

    CHandle() noexcept = default;
    explicit CHandle(Type handle) noexcept : m_handle(handle) {}
    ~CHandle() { reset(); }

    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    CHandle(CHandle&& other) noexcept : m_handle(other.release()) {}
    CHandle& operator=(CHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Type get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return !Traits::isEmpty(m_handle); }

    // Gives the handle up without releasing it; the caller owns it from now on.
    [[nodiscard]] Type release() noexcept {
        Type handle = m_handle;
        m_handle = Traits::empty();
        return handle;
    }
    // Releases the handle held (if any) and takes `handle`.
    void reset(Type handle = Traits::empty()) noexcept {
        if (!Traits::isEmpty(m_handle)) Traits::close(m_handle);
        m_handle = handle;
    }

private:
    Type m_handle = Traits::empty();
};

namespace handle_traits {

template <class T, BOOL(WINAPI* Close)(T)>
struct Simple {
    using Type = T;
    static Type empty() noexcept { return nullptr; }
    static bool isEmpty(Type handle) noexcept { return handle == nullptr; }
    static void close(Type handle) noexcept { Close(handle); }
};

template <class T>
struct Gdi {
    using Type = T;
    static Type empty() noexcept { return nullptr; }
    static bool isEmpty(Type handle) noexcept { return handle == nullptr; }
    static void close(Type handle) noexcept { DeleteObject(handle); }
};

// Kernel calls report failure either as null or as INVALID_HANDLE_VALUE; both mean "none".
struct Kernel {
    using Type = HANDLE;
    static Type empty() noexcept { return nullptr; }
    static bool isEmpty(Type handle) noexcept { return handle == nullptr || handle == INVALID_HANDLE_VALUE; }
    static void close(Type handle) noexcept { CloseHandle(handle); }
};

struct ImageList {
    using Type = HIMAGELIST;
    static Type empty() noexcept { return nullptr; }
    static bool isEmpty(Type handle) noexcept { return handle == nullptr; }
    static void close(Type handle) noexcept { ImageList_Destroy(handle); }
};

}  // namespace handle_traits

// An icon this program created (CreateIcon, a shell query, LoadImage without LR_SHARED);
// never a shared LoadIcon icon, which must not be destroyed.
using CIconHandle = CHandle<handle_traits::Simple<HICON, DestroyIcon>>;
using CMenuHandle = CHandle<handle_traits::Simple<HMENU, DestroyMenu>>;
using CHookHandle = CHandle<handle_traits::Simple<HHOOK, UnhookWindowsHookEx>>;
using CWinEventHookHandle = CHandle<handle_traits::Simple<HWINEVENTHOOK, UnhookWinEvent>>;
// A memory device context from CreateCompatibleDC.
using CMemoryDcHandle = CHandle<handle_traits::Simple<HDC, DeleteDC>>;
template <class T>
using CGdiHandle = CHandle<handle_traits::Gdi<T>>;
using CBrushHandle = CGdiHandle<HBRUSH>;
using CBitmapHandle = CGdiHandle<HBITMAP>;
using CKernelHandle = CHandle<handle_traits::Kernel>;
using CImageListHandle = CHandle<handle_traits::ImageList>;

// BeginPaint ... EndPaint for one WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND window) noexcept : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
    ~CPaintDC() { EndPaint(m_window, &m_paint); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC get() const noexcept { return m_dc; }
    const PAINTSTRUCT& paint() const noexcept { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// GetDC or GetWindowDC ... ReleaseDC for the length of a scope.
template <HDC(WINAPI* Get)(HWND)>
class CReleasedDC {
public:
    explicit CReleasedDC(HWND window) noexcept : m_window(window), m_dc(Get(window)) {}
    ~CReleasedDC() {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    CReleasedDC(const CReleasedDC&) = delete;
    CReleasedDC& operator=(const CReleasedDC&) = delete;

    HDC get() const noexcept { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A window's client area.
using CClientDC = CReleasedDC<GetDC>;
// A window's whole rectangle, frame included.
using CWindowDC = CReleasedDC<GetWindowDC>;

// Selects a GDI object into a device context and selects the previous one back at the end
// of the scope, so that the object can be deleted afterwards.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~CSelectObject() {
        if (m_previous && m_previous != HGDI_ERROR) SelectObject(m_dc, m_previous);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
