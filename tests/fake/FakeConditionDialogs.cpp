#include "fake/FakeConditionDialogs.h"

namespace {

constexpr std::uint32_t kPopupStyle = 0x80000000;

WinHandle addDialogWindow(CFakeDesktop& desktop, const std::string& className) {
    FakeWindowSetup setup;
    setup.className = className;
    setup.style = kPopupStyle;
    return desktop.addWindow(setup);
}

}  // namespace

void CFakeWindowCamera::takePicture(WinHandle target, WinHandle showing, int width, int height) {
    pictures.push_back({.width = width,
                        .height = height,
                        .targetRect = m_fake.windowRect(target),
                        .targetLayered = m_fake.layeredAttributes(target),
                        .callsBefore = m_fake.calls().size()});
    shownIn = showing;
}

CFakeChildSelDlg::CFakeChildSelDlg(CFakeDesktop& desktop, User user)
    : CChildSelDlg(desktop),
      fakeCamera(desktop),
      window(addDialogWindow(desktop, "FakeChildSelDlg")),
      m_user(std::move(user)) {}

bool CFakeChildSelDlg::runModal() {
    OnInitDialog();
    if (m_user) m_user(*this);
    return endedWithOK;
}

void CFakeChildSelDlg::clickRow(int row) {
    mark = row;
    OnClickList();
}

bool CFakeChildSelDlg::pressOK() {
    endedWithOK = OnOK();
    return endedWithOK;
}

void CFakeChildSelDlg::selectRow(int row) {
    mark = row;
    selectedByDialog = row;
}

CFakeMatchConditionDlg::CFakeMatchConditionDlg(CFakeDesktop& desktop, User user)
    : CMatchConditionDlg(desktop), m_fake(desktop), m_user(std::move(user)) {}

bool CFakeMatchConditionDlg::runModal() {
    OnInitDialog();
    if (m_user) m_user(*this);
    return endedWithOK;
}

void CFakeMatchConditionDlg::clickFull() {
    controls.checkFull = controls.checkFull != 0 ? 0 : 1;
    OnCheckFull();
}

void CFakeMatchConditionDlg::clickExFull() {
    controls.checkExFull = controls.checkExFull != 0 ? 0 : 1;
    OnCheckExFull();
}

CMatchConditionDlg::Close CFakeMatchConditionDlg::pressOK() {
    const Close close = OnOK();
    ended = close != Close::stay;
    endedWithOK = close == Close::ok;
    return close;
}

void CFakeMatchConditionDlg::writeControls() {
    controls.checkFull = m_checkFull;
    controls.checkProcess = m_checkProcess;
    controls.checkTitle = m_checkTitle;
    controls.editTitlePart = m_editTitlePart;
    controls.checkExtent = m_checkExtent;
    controls.checkExFull = m_checkExFull;
    controls.editExPart = m_editExPart;
}

void CFakeMatchConditionDlg::readControls() {
    m_checkFull = controls.checkFull;
    m_checkProcess = controls.checkProcess;
    m_checkTitle = controls.checkTitle;
    m_editTitlePart = controls.editTitlePart;
    m_checkExtent = controls.checkExtent;
    m_checkExFull = controls.checkExFull;
    m_editExPart = controls.editExPart;
}

void CFakeMatchConditionDlg::showChildCondition(const std::string& className, const std::string& ctrlID,
                                                const std::string& text) {
    controls.shownClass = className;
    controls.shownCtrlID = ctrlID;
    controls.shownText = text;
}

std::unique_ptr<CChildSelDlg> CFakeMatchConditionDlg::makeChildSelDlg() {
    ++childDialogs;
    return std::make_unique<CFakeChildSelDlg>(m_fake, childUser);
}
