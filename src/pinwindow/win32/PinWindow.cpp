#include "pinwindow/win32/PinWindow.h"

#include "desktop/Trace.h"
#include "desktop/win32/Win32Util.h"
#include "pinwindow/win32/PinPropatyDlgWindow.h"
#include "resource.h"
#include "ui/win32/Controls.h"

CPinWindow::CPinWindow(CDesktop& desktop)
    : CPinDlg(desktop), CDialogBase(IDD_PIN), m_brushBack(CreateSolidBrush(RGB(255, 255, 255))) {}

bool CPinWindow::createFor(HWND target) noexcept {
    if (!create(target)) return false;
    m_ownsItself = true;
    return true;
}

WinHandle CPinWindow::pinHandle() { return toWinHandle(hwnd()); }

Rect CPinWindow::pinRect() {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    return toRect(r);
}

void CPinWindow::movePin(const Rect& r) { MoveWindow(hwnd(), r.left, r.top, r.width(), r.height(), TRUE); }

// Shown without activation: the pin comes up while the user works in its target (right after
// the hotkey, or whenever the cycle finds the window again) and must not take the keyboard away.
void CPinWindow::showPin() { ShowWindow(hwnd(), SW_SHOWNOACTIVATE); }

std::optional<LRESULT> CPinWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(toWinHandle(GetWindow(hwnd(), GW_OWNER)));
            return TRUE;
        case WM_DPICHANGED:
            // The pin lays itself out for its target's monitor; the rectangle the system
            // suggests is for a window that scales about itself.
            OnDpiChanged();
            return 0;
        case WM_TIMER:
            OnTimer(static_cast<unsigned>(wParam));
            return std::nullopt;
        case WM_MOVE:
            OnMove();
            return std::nullopt;
        case WM_LBUTTONDOWN:
            OnLButtonDown();
            return std::nullopt;
        case WM_RBUTTONUP:
            OnRButtonUp();
            return std::nullopt;
        case WM_SHOWWINDOW:
            OnShowWindow(wParam != FALSE, static_cast<int>(lParam));
            return std::nullopt;
        case WM_COMMAND:
            // Menu commands only; OK and Cancel go on to onOK and onCancel. "抜く" may destroy
            // the object: nothing is touched after OnCommand.
            if (HIWORD(wParam) == 0 && lParam == 0 && LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) {
                OnCommand(LOWORD(wParam));
                return 0;
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

HBRUSH CPinWindow::onCtlColor(HDC, HWND, UINT kind, HBRUSH defaultBrush) {
    return kind == CTLCOLOR_DLG ? m_brushBack.get() : defaultBrush;
}

void CPinWindow::onPostDestroy() {
    if (m_ownsItself) delete this;
}

void CPinWindow::showPinPicture(const PinLayout& layout) {
    CBitmapHandle bitmap(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(layout.bitmapId),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) trace("LoadImage(%d) Error=%d\n", layout.bitmapId, static_cast<int>(GetLastError()));
    HWND picture = item(IDC_PIN_PICTURE);
    // The control shows the bitmap that the object owns; the one it showed before goes after.
    SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
    m_picture = std::move(bitmap);
    // The window has neither border nor caption, so its client area is the whole window.
    SetWindowPos(hwnd(), nullptr, 0, 0, layout.window.width(), layout.window.height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(picture, layout.picture.left, layout.picture.top, layout.picture.width(),
               layout.picture.height(), TRUE);
}

void CPinWindow::startTimer(unsigned id, unsigned ms) { SetTimer(hwnd(), id, ms, nullptr); }

void CPinWindow::killTimer(unsigned id) { KillTimer(hwnd(), id); }

void CPinWindow::startDragging() { SendMessageA(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0); }

void CPinWindow::openPinMenu(bool transparencyOffered) {
    static_cast<void>(
        showPopupMenuAtCursor(hwnd(), IDR_PIN_MENU, 0, transparencyOffered ? 0 : IDM_PIN_TRANSPARENCY));
}

std::unique_ptr<CPinPropatyDlg> CPinWindow::makeTransparencyDialog() {
    return std::make_unique<CPinPropatyDlgWindow>(desktop());
}

void CPinWindow::destroyPin() { destroy(); }

CPinDlg* CWin32PinFactory::createPinDlg(WinHandle target) {
    auto* window = new CPinWindow(m_desktop);
    if (!window->createFor(toHwnd(target))) {
        delete window;
        return nullptr;
    }
    return window;
}
