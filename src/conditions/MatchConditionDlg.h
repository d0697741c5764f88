// The match condition dialog: which conditions of a pin record are on, whether the title and
// the child window's text must match whole or in part, and, when it was opened from a pin
// window, which child window of the pinned window the extended condition names. It edits a
// copy of the record; the caller takes the copy back after OK.
//
// This class decides; the Win32 dialog (CMatchConditionDlgWindow) carries out the view hooks.
#pragma once

#include "base/DesktopTypes.h"
#include "conditions/ChildSelDlg.h"
#include "desktop/Desktop.h"
#include "pins/PinData.h"

#include <memory>
#include <string>

class CMatchConditionDlg {
public:
    // desktop must outlive the dialog.
    explicit CMatchConditionDlg(CDesktop& desktop) : m_desktop(desktop) {}
    virtual ~CMatchConditionDlg() = default;
    CMatchConditionDlg(const CMatchConditionDlg&) = delete;
    CMatchConditionDlg& operator=(const CMatchConditionDlg&) = delete;

    // Runs the dialog modally; true when it ended with OK (m_pinData then holds the result).
    virtual bool runModal() = 0;
    // Runs the dialog on a copy of record, with the choice of a child window of its pinned
    // window when fromPin. True after OK, with record replaced by the edited copy; otherwise
    // record is untouched.
    bool edit(CPinData& record, bool fromPin);

    // The members from the record, the child condition shown, everything into the controls.
    // "条件選択" is offered only when the dialog came from a pin window.
    void OnInitDialog();
    // "完全一致" of the title, clicked: switching to part matching starts from the whole title.
    void OnCheckFull();
    // "完全一致" of the child's text, clicked: likewise with the child's whole text.
    void OnCheckExFull();
    // "条件選択": the child window selection on the pinned window; after its OK the record
    // names the chosen child. The check boxes and edits stay as they are.
    void OnSelectChild();

    enum class Close { stay, ok };
    // OK: stays open with a message while the conditions are incomplete; otherwise the record
    // takes the conditions, even when the pin window it was opened for has gone meanwhile.
    [[nodiscard]] Close OnOK();

    int m_checkFull = 0;
    int m_checkProcess = 0;
    int m_checkTitle = 0;
    std::string m_editTitlePart;
    int m_checkExtent = 0;
    int m_checkExFull = 0;
    std::string m_editExPart;
    CPinData m_pinData;
    int m_fromPinWindow = 0;

protected:
    // The seven control members into their controls, or back from them.
    virtual void writeControls() = 0;
    virtual void readControls() = 0;
    virtual void enableSelectChild(bool enable) = 0;
    // The three boxes of the child condition: class name, control ID, text.
    virtual void showChildCondition(const std::string& className, const std::string& ctrlID,
                                    const std::string& text) = 0;
    virtual std::unique_ptr<CChildSelDlg> makeChildSelDlg() = 0;

    CDesktop& m_desktop;

private:
    void showChildCondition();
    // A full-match box clicked: part matching without a part starts from the whole text.
    // fullFlag and part are the members of the box and its edit, read from the controls first.
    void seedPart(const int& fullFlag, std::string& part, const std::string& whole);
};
