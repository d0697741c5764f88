#include "ui/win32/Dialog.h"

#include "base/Trace.h"
#include "base/win32/Win32Util.h"

#include <exception>

namespace {

// Messages whose result a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool returnsResultDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

HINSTANCE programModule() { return GetModuleHandleW(nullptr); }

// A dialog opened beside a window near the edge of the screen, or grown for a scaled display
// while it was set up, is moved whole onto the work area of its monitor.
void moveOntoWorkArea(HWND dialog, HWND beside) {
    RECT anchor{};
    if (beside && GetWindowRect(beside, &anchor)) {
        SetWindowPos(dialog, nullptr, anchor.left, anchor.bottom, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    RECT r{};
    GetWindowRect(dialog, &r);
    const Rect moved = movedInside(toRect(r), toRect(monitor.rcWork));
    if (moved == toRect(r)) return;
    SetWindowPos(dialog, nullptr, moved.left, moved.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

thread_local int CDialogBase::s_messagesUnderWay = 0;

CDialogBase::~CDialogBase() {
    if (!m_hwnd) return;
    // Unbind first: the derived part of the object is gone already.
    HWND hwnd = m_hwnd;
    m_hwnd = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

INT_PTR CDialogBase::doModal(HWND owner, HWND beside) noexcept {
    m_modal = true;
    m_beside = beside;
    const CNestedLoop loop;
    const INT_PTR code = DialogBoxParamW(programModule(), MAKEINTRESOURCEW(m_templateId), owner, dialogProc,
                                         reinterpret_cast<LPARAM>(this));
    if (code == -1) trace("DialogBoxParam(%d) Error=%d\n", m_templateId, static_cast<int>(GetLastError()));
    return code;
}

bool CDialogBase::create(HWND owner) noexcept {
    if (!CreateDialogParamW(programModule(), MAKEINTRESOURCEW(m_templateId), owner, dialogProc,
                            reinterpret_cast<LPARAM>(this))) {
        trace("CreateDialogParam(%d) Error=%d\n", m_templateId, static_cast<int>(GetLastError()));
        return false;
    }
    return true;
}

void CDialogBase::endDialog(INT_PTR code) noexcept {
    if (m_hwnd) EndDialog(m_hwnd, code);
}

void CDialogBase::destroy() noexcept {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

std::optional<LRESULT> CDialogBase::onMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }

HBRUSH CDialogBase::onCtlColor(HDC, HWND, UINT, HBRUSH defaultBrush) { return defaultBrush; }

std::optional<LRESULT> CDialogBase::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    std::optional<LRESULT> result = onMessage(message, wParam, lParam);
    // Only the dialogs the user works in: pin windows and the panel place themselves.
    if (message == WM_INITDIALOG && m_modal) moveOntoWorkArea(m_hwnd, m_beside);
    if (result) return result;

    if (message == WM_INITDIALOG) return TRUE;  // the dialog manager sets the focus

    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case IDOK:
                onOK();
                return 0;
            case IDCANCEL:
                onCancel();
                return 0;
        }
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        // The system's answer first: it sets the DC's colours the handler may then change.
        const auto defaultBrush = reinterpret_cast<HBRUSH>(DefWindowProcW(m_hwnd, message, wParam, lParam));
        const HBRUSH brush = onCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                        message - WM_CTLCOLORMSGBOX, defaultBrush);
        if (brush != defaultBrush) return reinterpret_cast<LRESULT>(brush);
    }
    return std::nullopt;
}

INT_PTR CALLBACK CDialogBase::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    CDialogBase* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogBase*>(lParam);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, lParam);
    } else {
        self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) and after the object let go of the window.
    if (!self) return FALSE;

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        self->onPostDestroy();
        return FALSE;
    }

    ++s_messagesUnderWay;
    struct Handled {
        ~Handled() { --s_messagesUnderWay; }
    } handled;
    try {
        const std::optional<LRESULT> result = self->dispatch(message, wParam, lParam);
        if (!result) return FALSE;
        if (returnsResultDirectly(message)) return static_cast<INT_PTR>(*result);
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, *result);
        return TRUE;
    } catch (const std::exception& e) {
        // Nothing may unwind into the system's dialog manager.
        trace("dialog %d: message 0x%04x failed: %s\n", self->m_templateId, message, e.what());
        return FALSE;
    }
}
