#include "app/win32/MainWindow.h"

#include "app/AppIds.h"
#include "app/win32/AboutWindow.h"
#include "app/win32/DebugConsole.h"
#include "app/win32/HomePage.h"
#include "base/win32/Handles.h"
#include "base/win32/Win32Util.h"
#include "desktop/MultiDisplay.h"
#include "desktop/win32/VersionGuards.h"
#include "resource.h"
#include "ui/win32/Controls.h"

#include <atomic>
#include <cstring>

namespace {

// Sent to every top-level window when the taskbar is created anew (the shell restarted).
UINT g_taskbarCreatedMessage = 0;

std::atomic<HWND> g_residentMainWindow{nullptr};

constexpr char kTrayTip[] = "Clavora";
// How far the glass frame reaches into the client area: left, right, top, bottom.
constexpr MARGINS kMainPanelGlass{5, 8, 23, 3};

HICON programIcon() { return LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_CLAVORA)); }

// An ending handled under another message may come while a pin waits on its target's thread
// (which hands this thread the messages sent to it meanwhile): that pin stays until the window
// goes, when its handler has returned.
CControlDlg::PinsEnd whenPinsEnd() {
    return CDialogBase::messagesUnderWay() > 1 ? CControlDlg::PinsEnd::later : CControlDlg::PinsEnd::now;
}

}  // namespace

HWND residentMainWindow() noexcept { return g_residentMainWindow.load(); }

CMainWindow::CMainWindow(CDesktop& desktop, CPinDlgFactory& factory, const FilePath& currentDirectory)
    : CDialogBase(IDD_CLAVORA_DIALOG),
      m_desktop(desktop),
      m_strIniPath(currentDirectory + "\\" + kIniFileName),
      m_hIcon(programIcon()),
      m_hTrayIcon(programIcon()),
      m_conditionEditor(desktop),
      m_controlDlg(desktop, factory, m_conditionEditor) {}

std::optional<LRESULT> CMainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_taskbarCreatedMessage != 0 && message == g_taskbarCreatedMessage) {
        addTrayIcon();
        return std::nullopt;
    }
    switch (message) {
        case WM_INITDIALOG:
            // Known before anything can be broadcast to us; a shell of another integrity level
            // may send it, hence the filter.
            g_taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
            AllowMessageThroughFilter(g_taskbarCreatedMessage);
            g_residentMainWindow = hwnd();
            initialise();
            return TRUE;
        case WM_TIMER:
            // Puts the icon back whenever the notification area lost it.
            if (static_cast<int>(wParam) == kTrayTimerId && !trayIconPresent()) addTrayIcon();
            if (static_cast<int>(wParam) == kConsoleTimerId && debugConsoleClosed()) {
                KillTimer(hwnd(), static_cast<UINT_PTR>(kConsoleTimerId));
                SendMessageW(hwnd(), WM_ENDSESSION, TRUE, 0);
            }
            break;
        case kTrayCallbackMessage:
            switch (trayClick(static_cast<std::uint32_t>(lParam))) {
                case TrayClick::ignore:
                    return std::nullopt;
                case TrayClick::swallow:
                    break;
                case TrayClick::showPanel:
                    showMainPanel();
                    break;
                case TrayClick::showMenu:
                    showPopupMenuAtCursor(hwnd(), IDR_TRAY_MENU);
                    break;
            }
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDM_MAIN_PANEL) {
                showMainPanel();
                return 0;
            }
            if (LOWORD(wParam) == IDM_EXIT) {
                setVisible(false);
                // The user hears of a file that could not be written, unlike at a logoff.
                m_controlDlg.endSession(whenPinsEnd(), CControlDlg::FailedSave::ask);
                SendMessageW(hwnd(), WM_ENDSESSION, TRUE, 0);
                return 0;
            }
            break;
        case WM_WINDOWPOSCHANGING: {
            auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
            position->flags = posChangingFlags(position->flags, m_bShow);
            break;
        }
        case WM_ENDSESSION:
            // FALSE: an ending that was asked for (a logoff, say) has been called off.
            if (wParam != FALSE) {
                // Everything is written before the answer: the system may end the process right
                // after.
                m_controlDlg.endSession(whenPinsEnd());
                endDialog(IDOK);
            }
            return 0;
        case WM_DESTROY:
            g_residentMainWindow = nullptr;
            // The control panel releases its hotkey, ends its pins and saves, unless the session
            // has ended already.
            m_controlDlg.DestroyWindow();
            break;
        case WM_SYSCOMMAND:
            if (isAboutCommand(static_cast<unsigned>(wParam))) {
                CAboutWindow about;
                about.doModal(hwnd());
                return 0;
            }
            break;
        case WM_DISPLAYCHANGE:
            CMultiDisplay::GetMultiDisplay()->EnumMonitors(m_desktop);
            break;
        case WM_SETTINGCHANGE:
            // A taskbar moved or changed its size: the monitors' work areas are new.
            if (wParam == SPI_SETWORKAREA) CMultiDisplay::GetMultiDisplay()->EnumMonitors(m_desktop);
            break;
        case WM_DWMCOMPOSITIONCHANGED:
            applyGlassFrame();
            break;
        case WM_PAINT:
            if (paintMinimised()) return 0;
            break;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(m_hIcon);
        case WM_NOTIFY:
            if (isHomePageLinkClick(*reinterpret_cast<const NMHDR*>(lParam))) {
                openHomePage(hwnd());
                return 0;
            }
            break;
    }
    return std::nullopt;
}

HBRUSH CMainWindow::onCtlColor(HDC dc, HWND, UINT, HBRUSH defaultBrush) {
    if (!m_bGlass) return defaultBrush;
    // Black is drawn as glass where the frame reaches into the client area.
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
}

void CMainWindow::onPostDestroy() { removeTrayIcon(); }

void CMainWindow::initialise() {
    prepareSystemMenuAndIcons();
    prepareTrayRecord();
    // A failed creation is traced by the layer; the program then runs without its panel.
    static_cast<void>(m_controlDlg.create(hwnd()));
    m_controlDlg.startPinning(m_strIniPath);
    ShowWindow(m_controlDlg.hwnd(), SW_SHOW);
    addTrayIcon();
    setVisible(false);
    applyGlassFrame();
    // The check may fall in with other wake-ups: the icon is still back within a second or so.
    SetCoalescedTimer(hwnd(), static_cast<UINT_PTR>(kTrayTimerId), kTrayTimerPeriodMs, kTrayTimerToleranceMs);
    // Only a debug run has a console to watch: closing it ends the program as a logoff does.
    if (debugConsoleOpened())
        SetTimer(hwnd(), static_cast<UINT_PTR>(kConsoleTimerId), kConsoleTimerPeriodMs, nullptr);
}

void CMainWindow::prepareSystemMenuAndIcons() {
    if (HMENU systemMenu = GetSystemMenu(hwnd(), FALSE)) {
        const wchar_t* text = nullptr;
        // With a zero buffer length LoadString hands out the resource's own read-only text.
        const int length =
            LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&text), 0);
        if (length > 0) {
            const std::wstring item(text, static_cast<std::size_t>(length));
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, item.c_str());
        }
    }
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
}

void CMainWindow::prepareTrayRecord() {
    // Its size is the system's record of this build (508 bytes on 32 bits).
    m_hWndTray = hwnd();
    m_nid = NOTIFYICONDATAA{};
    m_nid.cbSize = sizeof(m_nid);
    m_nid.hWnd = m_hWndTray;
    m_nid.uID = 0;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = kTrayCallbackMessage;
    m_nid.hIcon = m_hTrayIcon;
    std::strncpy(m_nid.szTip, kTrayTip, sizeof(m_nid.szTip) - 1);
}

std::optional<std::uint32_t> CMainWindow::notifyTray(TrayOp op) {
    if (Shell_NotifyIconA(op == TrayOp::add ? NIM_ADD : NIM_MODIFY, &m_nid)) return std::nullopt;
    return GetLastError();
}

bool CMainWindow::trayIconPresent() {
    // The check names the icon and changes nothing, so the shell neither copies the picture
    // nor redraws it every second.
    NOTIFYICONDATAA check{};
    check.cbSize = sizeof(check);
    check.hWnd = m_nid.hWnd;
    check.uID = m_nid.uID;
    return Shell_NotifyIconA(NIM_MODIFY, &check) != FALSE;
}

void CMainWindow::addTrayIcon() {
    ::addTrayIcon([this](TrayOp op) { return notifyTray(op); });
}

void CMainWindow::removeTrayIcon() {
    // The window handle is gone; the copy taken for the tray names the icon to remove.
    NOTIFYICONDATAA record{};
    record.cbSize = sizeof(record);
    record.hWnd = m_hWndTray;
    Shell_NotifyIconA(NIM_DELETE, &record);
}

void CMainWindow::showMainPanel() {
    if (!m_bShow) {
        RECT window{};
        GetWindowRect(hwnd(), &window);
        // The visible frame, without the invisible resize borders where the system has them.
        RECT frame{};
        if (FAILED(GetDwmFrameBounds(hwnd(), frame))) frame = window;
        const PanelPoint topLeft = mainPanelPosition(toRect(frame), toRect(window), m_desktop.workArea());
        SetWindowPos(hwnd(), HWND_TOP, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE);
        setVisible(true);
    }
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(hwnd());
}

void CMainWindow::setVisible(bool show) {
    m_bShow = show;
    ShowWindow(hwnd(), show ? SW_SHOW : SW_HIDE);
    if (show) ShowWindow(hwnd(), SW_SHOWNORMAL);
}

void CMainWindow::applyGlassFrame() {
    BOOL enabled = FALSE;
    // A failed query leaves the flag off: no glass.
    static_cast<void>(QueryDwmComposition(&enabled));
    OsVersion version;
    GetOsVersionNumbers(version.major, version.minor);
    m_bGlass = drawsGlass(version, enabled != FALSE);
    if (m_bGlass) static_cast<void>(ExtendDwmFrame(hwnd(), kMainPanelGlass));
    InvalidateRect(hwnd(), nullptr, TRUE);
}

bool CMainWindow::paintMinimised() {
    if (!IsIconic(hwnd())) return false;
    CPaintDC paint(hwnd());
    SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()), 0);
    RECT client{};
    GetClientRect(hwnd(), &client);
    const PanelPoint origin = centredIconOrigin(client.right - client.left, client.bottom - client.top,
                                                GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    DrawIcon(paint.get(), origin.x, origin.y, m_hIcon);
    return true;
}
