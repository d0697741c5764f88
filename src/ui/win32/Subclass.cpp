#include "ui/win32/Subclass.h"

#include "base/Trace.h"

#include <commctrl.h>

#include <exception>

namespace {

// One subclass of ours per control at most; the reference data finds the object.
constexpr UINT_PTR kSubclassId = 1;

}  // namespace

CSubclassedControl::~CSubclassedControl() { detach(); }

bool CSubclassedControl::attach(HWND control) noexcept {
    detach();
    if (!SetWindowSubclass(control, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        trace("SetWindowSubclass() Error=%d\n", static_cast<int>(GetLastError()));
        return false;
    }
    m_hwnd = control;
    return true;
}

void CSubclassedControl::detach() noexcept {
    if (!m_hwnd) return;
    RemoveWindowSubclass(m_hwnd, subclassProc, kSubclassId);
    m_hwnd = nullptr;
}

LRESULT CSubclassedControl::defaultProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return DefSubclassProc(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CSubclassedControl::subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                  UINT_PTR, DWORD_PTR refData) noexcept {
    auto* self = reinterpret_cast<CSubclassedControl*>(refData);
    if (message == WM_NCDESTROY) {
        self->detach();
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    try {
        if (const std::optional<LRESULT> result = self->onMessage(message, wParam, lParam)) return *result;
    } catch (const std::exception& e) {
        // Nothing may unwind into the system's window procedures.
        trace("control: message 0x%04x failed: %s\n", message, e.what());
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}
