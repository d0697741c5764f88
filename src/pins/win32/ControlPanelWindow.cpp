#include "pins/win32/ControlPanelWindow.h"

#include "desktop/win32/Win32Util.h"
#include "resource.h"

namespace {

struct Column {
    std::u8string_view heading;
    int width;
};
constexpr Column kColumns[] = {{u8"ProgramName", 100}, {u8"Window Title", 300}, {u8"  ", 10}};

}  // namespace

CControlPanelWindow::CControlPanelWindow(CDesktop& desktop, CPinDlgFactory& factory)
    : CControlDlg(desktop, factory), CDialogBase(IDD_CONTROL) {}

std::optional<LRESULT> CControlPanelWindow::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            initList();
            return TRUE;
        case WM_TIMER:
            onTimer(static_cast<int>(wParam));
            break;
        case WM_HOTKEY:
            onHotKey(static_cast<int>(wParam));
            break;
    }
    return std::nullopt;
}

void CControlPanelWindow::initList() {
    m_list.attach(item(IDC_PIN_LIST));
    m_list.setExtendedStyle(LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        m_list.insertColumn(i, kColumns[i].heading, kColumns[i].width);
    }
}

WinHandle CControlPanelWindow::panelWindow() { return toWinHandle(hwnd()); }

void CControlPanelWindow::startTimer(int id, unsigned ms) {
    SetTimer(hwnd(), static_cast<UINT_PTR>(id), ms, nullptr);
}

void CControlPanelWindow::killTimer(int id) { KillTimer(hwnd(), static_cast<UINT_PTR>(id)); }

void CControlPanelWindow::showRows(const std::vector<PinListRow>& rows) {
    m_list.setRedraw(false);
    m_list.deleteAllItems();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const PinListRow& row = rows[static_cast<std::size_t>(i)];
        m_list.insertItem(i, row.programName);
        m_list.setItemText(i, 1, row.title);
        m_list.setItemText(i, 2, "");
    }
    m_list.setRedraw(true);
}
