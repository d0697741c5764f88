#include "pins/win32/ControlPanelWindow.h"

#include "base/Trace.h"
#include "base/win32/Win32Util.h"
#include "desktop/win32/VersionGuards.h"
#include "pins/PanelColumns.h"
#include "pinwindow/win32/SizeDlgWindow.h"
#include "resource.h"

#include <shellapi.h>

#include <cwchar>
#include <tuple>

namespace {

constexpr std::u8string_view kHeadings[] = {u8"ProgramName", u8"Window Title", u8"  "};

constexpr COLORREF kPanelGrey = RGB(230, 230, 230);

// The narrow last column marks the records whose pin is shown now.
constexpr std::u8string_view kPinnedMark = u8"●";

// The one panel whose controller hears the window events; the hook's callback has no context.
CControlPanelWindow* g_eventPanel = nullptr;

// EVENT_OBJECT_CLOAKED and EVENT_OBJECT_UNCLOAKED, which came with Windows 8; the headers give
// them only to programs that require it.
constexpr DWORD kEventObjectCloaked = 0x8017;
constexpr DWORD kEventObjectUncloaked = 0x8018;

// The events an early cycle is for, in ranges for SetWinEventHook. Each range is its own hook,
// so that the frequent events between them (focus, location, selection) never wake Clavora.
// Systems before Windows 8 have no cloak events; their hook is simply never called there.
struct EventRange {
    DWORD first;
    DWORD last;
};
constexpr EventRange kEventRanges[] = {
    {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW},
    {EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE},
    {kEventObjectCloaked, kEventObjectUncloaked},
};

std::optional<WindowEvent> windowEventOf(DWORD event) {
    switch (event) {
        case EVENT_OBJECT_CREATE:
            return WindowEvent::created;
        case EVENT_OBJECT_SHOW:
            return WindowEvent::shown;
        case EVENT_OBJECT_NAMECHANGE:
            return WindowEvent::renamed;
        case kEventObjectCloaked:
        case kEventObjectUncloaked:
            return WindowEvent::cloakChanged;
        default:
            return std::nullopt;
    }
}

// The save countdown and the cycle's period may be pooled with other programs' wake-ups by this
// much; the early cycle is exactly as late as it asks.
constexpr unsigned kToleranceDivisor = 10;

}  // namespace

CControlPanelWindow::CControlPanelWindow(CDesktop& desktop, CPinDlgFactory& factory,
                                         CConditionEditor& conditions)
    : CControlDlg(desktop, factory, m_iconStore),
      CDialogBase(IDD_CONTROL),
      m_conditions(conditions),
      m_brushBack(CreateSolidBrush(kPanelGrey)) {}

std::optional<LRESULT> CControlPanelWindow::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            initList();
            watchWindowEvents();
            return TRUE;
        case WM_TIMER:
            onTimer(static_cast<int>(wParam));
            break;
        case WM_HOTKEY:
            onHotKey(static_cast<int>(wParam));
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) break;
            switch (LOWORD(wParam)) {
                case IDC_PROPERTY_SETTINGS:
                    onPropertySettings();
                    return 0;
                case IDC_DELETE_PIN:
                    onDeletePin();
                    return 0;
                case IDC_CHANGE_CONDITIONS:
                    onChangeConditions();
                    return 0;
            }
            break;
        case WM_DESTROY:
            m_eventHooks.clear();
            if (g_eventPanel == this) g_eventPanel = nullptr;
            // The list view would destroy an image list it does not share; the icon store
            // owns this one.
            m_list.setImageList(nullptr, LVSIL_SMALL);
            break;
    }
    return std::nullopt;
}

void CControlPanelWindow::initList() {
    m_list.attach(item(IDC_PIN_LIST));
    m_list.setExtendedStyle(LVS_EX_FULLROWSELECT);
    const UINT dpi = WindowDpi(hwnd());
    RECT client{};
    GetClientRect(item(IDC_PIN_LIST), &client);
    const auto widths =
        panelColumnWidths(static_cast<int>(dpi), client.right, SystemMetricForDpi(SM_CXVSCROLL, dpi));
    for (int i = 0; i < static_cast<int>(std::size(kHeadings)); ++i) {
        m_list.insertColumn(i, kHeadings[i], widths[static_cast<std::size_t>(i)]);
    }
    m_list.setImageList(m_iconStore.imageList(), LVSIL_SMALL);
}

WinHandle CControlPanelWindow::panelWindow() { return toWinHandle(hwnd()); }

void CControlPanelWindow::startTimer(int id, unsigned ms) {
    const ULONG tolerance = id == kEarlyCycleTimerId ? kTimerNotCoalesced : ms / kToleranceDivisor;
    SetCoalescedTimer(hwnd(), static_cast<UINT_PTR>(id), ms, tolerance);
}

void CControlPanelWindow::watchWindowEvents() {
    g_eventPanel = this;
    for (const EventRange& range : kEventRanges) {
        // Out of context, the events come to this thread as it handles its messages; the
        // program's own windows (its pins) are none of the cycle's business.
        CWinEventHookHandle hook(SetWinEventHook(range.first, range.last, nullptr, onWinEvent, 0, 0,
                                                 WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
        if (!hook) {
            trace("SetWinEventHook(0x%04lx) Error=%d\n", range.first, static_cast<int>(GetLastError()));
            continue;
        }
        m_eventHooks.push_back(std::move(hook));
    }
}

void CALLBACK CControlPanelWindow::onWinEvent(HWINEVENTHOOK, DWORD event, HWND h, LONG object, LONG child,
                                              DWORD, DWORD) {
    if (!g_eventPanel || !h || object != OBJID_WINDOW || child != CHILDID_SELF) return;
    const std::optional<WindowEvent> kind = windowEventOf(event);
    // Top-level windows only: children and message-only windows are never candidates.
    if (!kind || GetAncestor(h, GA_PARENT) != GetDesktopWindow()) return;
    // Wine 8 reports the program's own windows (its pins) although the hook asks it not to.
    DWORD processId = 0;
    GetWindowThreadProcessId(h, &processId);
    if (processId == GetCurrentProcessId()) return;
    g_eventPanel->onWindowEvent(*kind);
}

void CControlPanelWindow::killTimer(int id) { KillTimer(hwnd(), static_cast<UINT_PTR>(id)); }

void CControlPanelWindow::showRows(const std::vector<PinListRow>& rows, int selected) {
    m_list.setRedraw(false);
    m_list.deleteAllItems();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const PinListRow& row = rows[static_cast<std::size_t>(i)];
        m_list.insertItem(i, row.programName, row.image);
        m_list.setItemText(i, 1, row.title);
        m_list.setItemText(i, 2, row.pinned ? kPinnedMark : std::u8string_view{});
    }
    if (selected >= 0) {
        m_list.setItemState(selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_list.setSelectionMark(selected);
    }
    m_list.setRedraw(true);
}

bool CControlPanelWindow::tellUser(std::u8string_view text) {
    // The tray icon is the resident main window's, under ID 0; only the balloon changes.
    NOTIFYICONDATAW balloon{};
    balloon.cbSize = sizeof(balloon);
    balloon.hWnd = GetAncestor(hwnd(), GA_ROOT);
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_INFO;
    const std::wstring wide = utf8ToWide(text);
    wcsncpy(balloon.szInfo, wide.c_str(), std::size(balloon.szInfo) - 1);
    wcsncpy(balloon.szInfoTitle, L"Clavora", std::size(balloon.szInfoTitle) - 1);
    if (Shell_NotifyIconW(NIM_MODIFY, &balloon)) return true;
    trace("Shell_NotifyIcon(NIF_INFO) Error=%d\n", static_cast<int>(GetLastError()));
    return false;
}

bool CControlPanelWindow::runSizeDialog(CPinSettings& settings) {
    CSizeDlgWindow dialog(m_desktop);
    const auto dialogSettings = [&dialog] {
        return std::tie(dialog.m_nPinSize, dialog.m_bMoveEnable, dialog.m_nHotKey, dialog.m_nModifiers);
    };
    dialogSettings() = settings.fields();
    dialog.m_bCurrentRegistered = m_hotKeyRegistered;
    // Owned by the resident main window, as every dialog of the program without a parent.
    if (dialog.doModal(GetAncestor(hwnd(), GA_ROOT)) != IDOK) return false;
    settings.fields() = dialogSettings();
    return true;
}

HBRUSH CControlPanelWindow::onCtlColor(HDC dc, HWND, UINT kind, HBRUSH defaultBrush) {
    switch (kind) {
        case CTLCOLOR_STATIC:
            SetBkMode(dc, TRANSPARENT);
            return m_brushBack.get();
        case CTLCOLOR_BTN:
        case CTLCOLOR_DLG:
            return m_brushBack.get();
        default:
            return defaultBrush;
    }
}

bool CControlPanelWindow::runMatchConditionDialog(CPinData& record, bool fromPin, WinHandle pinWindow) {
    // Owned by the resident main window, as every dialog of the program without a parent, and
    // opened by the pin it was asked from. The dialog works on the record's pinned window;
    // whether the pin still stands is the controller's to find out afterwards.
    return m_conditions.editConditions(GetAncestor(hwnd(), GA_ROOT), fromPin ? toHwnd(pinWindow) : nullptr,
                                       record);
}
