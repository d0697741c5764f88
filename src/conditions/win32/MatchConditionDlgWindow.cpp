#include "conditions/win32/MatchConditionDlgWindow.h"

#include "conditions/win32/ChildSelDlgWindow.h"
#include "resource.h"

namespace {

constexpr COLORREF kInfoYellow = RGB(255, 255, 180);

bool isChildConditionBox(HWND control) {
    const int id = GetDlgCtrlID(control);
    return id == IDC_INFO_CLASS || id == IDC_INFO_CTRLID || id == IDC_INFO_TEXT;
}

}  // namespace

CMatchConditionDlgWindow::CMatchConditionDlgWindow(CDesktop& desktop, HWND owner, HWND beside)
    : CMatchConditionDlg(desktop),
      CDialogBase(IDD_MATCH_CONDITION),
      m_owner(owner),
      m_beside(beside),
      m_brushInfo(CreateSolidBrush(kInfoYellow)) {}

bool CMatchConditionDlgWindow::runModal() { return doModal(m_owner, m_beside) == IDOK; }

void CMatchConditionDlgWindow::exchange(Exchange direction) {
    CDataExchange dx(hwnd(), direction);
    dx.check(IDC_CHECK_FULL, m_checkFull);
    dx.check(IDC_CHECK_PROCESS, m_checkProcess);
    dx.check(IDC_CHECK_TITLE, m_checkTitle);
    dx.text(IDC_EDIT_TITLE_PART, m_editTitlePart);
    dx.check(IDC_CHECK_EXTENT, m_checkExtent);
    dx.check(IDC_CHECK_EX_FULL, m_checkExFull);
    dx.text(IDC_EDIT_EX_PART, m_editExPart);
}

std::optional<LRESULT> CMatchConditionDlgWindow::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return std::nullopt;
            switch (LOWORD(wParam)) {
                case IDC_CHECK_FULL:
                    OnCheckFull();
                    return 0;
                case IDC_CHECK_EX_FULL:
                    OnCheckExFull();
                    return 0;
                case IDC_SELECT_CHILD:
                    OnSelectChild();
                    return 0;
                default:
                    return std::nullopt;
            }
        default:
            return std::nullopt;
    }
}

void CMatchConditionDlgWindow::onOK() {
    if (OnOK() == Close::ok) endDialog(IDOK);
}

HBRUSH CMatchConditionDlgWindow::onCtlColor(HDC dc, HWND control, UINT kind, HBRUSH defaultBrush) {
    if (kind != CTLCOLOR_STATIC) return defaultBrush;
    SetBkMode(dc, TRANSPARENT);
    return isChildConditionBox(control) ? m_brushInfo.get() : defaultBrush;
}

void CMatchConditionDlgWindow::enableSelectChild(bool enable) {
    EnableWindow(item(IDC_SELECT_CHILD), enable ? TRUE : FALSE);
}

void CMatchConditionDlgWindow::showChildCondition(const std::string& className, const std::string& ctrlID,
                                                  const std::string& text) {
    setDataText(hwnd(), IDC_INFO_CLASS, className);
    setDataText(hwnd(), IDC_INFO_CTRLID, ctrlID);
    setDataText(hwnd(), IDC_INFO_TEXT, text);
}

std::unique_ptr<CChildSelDlg> CMatchConditionDlgWindow::makeChildSelDlg() {
    // Owned by this dialog, which stays disabled beneath it.
    return std::make_unique<CChildSelDlgWindow>(m_desktop, hwnd());
}

bool CWin32ConditionEditor::editConditions(HWND owner, HWND pin, CPinData& record) {
    CMatchConditionDlgWindow dialog(m_desktop, owner, pin);
    const bool fromPin = pin != nullptr;
    return dialog.edit(record, fromPin);
}
