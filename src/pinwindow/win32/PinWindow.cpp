#include "pinwindow/win32/PinWindow.h"

#include "base/Trace.h"
#include "base/win32/Win32Util.h"
#include "pinwindow/win32/PinPropatyDlgWindow.h"
#include "resource.h"
#include "ui/win32/Controls.h"

#include <windowsx.h>

CPinWindow::CPinWindow(CPinDlgFactory& factory)
    : CPinDlg(factory), CDialogBase(IDD_PIN), m_brushBack(CreateSolidBrush(RGB(255, 255, 255))) {}

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

// The pin never becomes the active window: it would take the keyboard from its target, and under
// Wine a window that was once active, or was moved as an activating change, counts as one for
// the window manager from then on; taking it down waits for the window manager, up to two
// seconds a pin where there is none. So the picture takes no focus at creation, clicks do not
// activate, and a drag moves the pin itself instead of through the system's move loop.
std::optional<LRESULT> CPinWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(toWinHandle(GetWindow(hwnd(), GW_OWNER)));
            return FALSE;
        case WM_DPICHANGED:
            // The pin lays itself out for its target's monitor; the rectangle the system
            // suggests is for a window that scales about itself.
            OnDpiChanged();
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_MOUSEMOVE:
            if (GetCapture() == hwnd()) {
                if (wParam & MK_LBUTTON) {
                    followCursor();
                } else {
                    ReleaseCapture();  // the button went up where the pin could not see it
                }
            }
            return std::nullopt;
        case WM_LBUTTONUP:
            // The last stretch of the way may come with the release alone.
            if (GetCapture() == hwnd()) {
                followCursor();
                ReleaseCapture();
            }
            return std::nullopt;
        case WM_CAPTURECHANGED:
            // Only a drag takes the capture, so losing it ends one, however it ended.
            OnDragEnd();
            return std::nullopt;
        case WM_LBUTTONDOWN:
            // Where the button went down, which a busy Clavora sees only after the cursor has
            // moved on: the drag counts from there.
            m_pressedAt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd(), &m_pressedAt);
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

void CPinWindow::startDragging() {
    m_dragCursor = m_pressedAt;
    SetCapture(hwnd());
}

void CPinWindow::followCursor() {
    POINT cursor{};
    GetCursorPos(&cursor);
    OnDragBy(cursor.x - m_dragCursor.x, cursor.y - m_dragCursor.y);
}

// The menu has the foreground while it is open, so that it takes keys and closes on a click
// elsewhere. Then the window that had the foreground gets it back: the keyboard is where the
// user left it, and the pin is not left active. Only "抜く" keeps it: its question, owned by
// the pin, comes next and must come to the front.
void CPinWindow::openPinMenu(bool transparencyOffered, int zOrderItem) {
    const HWND self = hwnd();
    const HWND previous = GetForegroundWindow();
    const UINT command = showPopupMenuAtCursor(self, IDR_PIN_MENU, TPM_RETURNCMD,
                                               transparencyOffered ? 0 : IDM_PIN_TRANSPARENCY, zOrderItem);
    if (command != IDM_PIN_PULL_OUT && previous != self && IsWindow(previous) &&
        GetForegroundWindow() == self) {
        SetForegroundWindow(previous);
    }
    // As the menu itself would send it, after this call: the command may end the pin.
    if (command != 0) PostMessageW(self, WM_COMMAND, command, 0);
}

std::unique_ptr<CPinPropatyDlg> CPinWindow::makeTransparencyDialog() {
    return std::make_unique<CPinPropatyDlgWindow>(desktop());
}

void CPinWindow::destroyPin() { destroy(); }

CPinDlg* CWin32PinFactory::createPinDlg(WinHandle target) {
    auto* window = new CPinWindow(*this);
    if (!window->createFor(toHwnd(target))) {
        delete window;
        return nullptr;
    }
    return window;
}
