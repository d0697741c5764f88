#include "conditions/MatchConditionDlg.h"

#include "base/Trace.h"

#include <tuple>

namespace {

constexpr char8_t kNoMainCondition[] = u8"プロセス名かウィンドウタイトルいずれかをチェックしてください.";
constexpr char8_t kNoChildNamed[] =
    u8"拡張条件が選択されていますが子ウィンドウ（コンポーネント）が選択されていません";

// The seven control members, and the record's fields they show, in the same order.
auto controlMembers(CMatchConditionDlg& dialog) {
    return std::tie(dialog.m_checkProcess, dialog.m_checkTitle, dialog.m_checkFull, dialog.m_editTitlePart,
                    dialog.m_checkExtent, dialog.m_checkExFull, dialog.m_editExPart);
}
auto shownFields(CPinData& record) {
    return std::tie(record.m_processFlag, record.m_titleFlag, record.m_fullFlag, record.m_titlePart,
                    record.m_extentFlag, record.m_exFullFlag, record.m_exPart);
}

}  // namespace

bool CMatchConditionDlg::edit(CPinData& record, bool fromPin) {
    m_pinData = record;
    m_fromPinWindow = fromPin ? 1 : 0;
    if (!runModal()) return false;
    record = m_pinData;
    return true;
}

void CMatchConditionDlg::OnInitDialog() {
    controlMembers(*this) = shownFields(m_pinData);
    // Choosing a child needs the live pinned window, which only a pin window can vouch for.
    if (m_fromPinWindow == 0) enableSelectChild(false);
    showChildCondition();
    writeControls();
}

void CMatchConditionDlg::showChildCondition() {
    // Every child has a class name: without one no child is chosen yet, and the box stays
    // empty rather than showing 0. A chosen child may well have the control ID 0.
    const std::string ctrlID =
        m_pinData.m_exClassName.empty() ? std::string() : std::to_string(m_pinData.m_exCtrlID);
    showChildCondition(m_pinData.m_exClassName, ctrlID, m_pinData.m_exText);
}

void CMatchConditionDlg::seedPart(const int& fullFlag, std::string& part, const std::string& whole) {
    readControls();
    if (fullFlag != 0 || !part.empty()) return;
    part = whole;
    writeControls();
}

void CMatchConditionDlg::OnCheckFull() { seedPart(m_checkFull, m_editTitlePart, m_pinData.m_title); }

void CMatchConditionDlg::OnCheckExFull() { seedPart(m_checkExFull, m_editExPart, m_pinData.m_exText); }

void CMatchConditionDlg::OnSelectChild() {
    const std::unique_ptr<CChildSelDlg> dialog = makeChildSelDlg();
    dialog->m_hTargetWnd = m_pinData.m_hTarget;
    dialog->m_className = m_pinData.m_exClassName;
    dialog->m_ctrlID = m_pinData.m_exCtrlID;
    dialog->m_text = m_pinData.m_exText;
    if (!dialog->runModal()) return;
    m_pinData.m_exClassName = dialog->getClassName();
    trace("WindowClass=%s\n", m_pinData.m_exClassName.c_str());
    m_pinData.m_exCtrlID = dialog->m_ctrlID;
    trace("ControlID=%d\n", m_pinData.m_exCtrlID);
    m_pinData.m_exText = dialog->getText();
    trace("Text=%s\n", m_pinData.m_exText.c_str());
    showChildCondition();
}

CMatchConditionDlg::Close CMatchConditionDlg::OnOK() {
    // A pin that ended while the dialog was open does not drop the edit: its record is found
    // again by whoever opened the dialog, and only a record that has gone drops it.
    readControls();
    if (m_checkProcess != 1 && m_checkTitle != 1) {
        (void)m_desktop.appMessageBox(kNoMainCondition, MsgButtons::ok);
        return Close::stay;
    }
    if (m_checkExtent == 1 && m_pinData.m_exClassName.empty()) {
        (void)m_desktop.appMessageBox(kNoChildNamed, MsgButtons::ok);
        return Close::stay;
    }
    shownFields(m_pinData) = controlMembers(*this);
    return Close::ok;
}
