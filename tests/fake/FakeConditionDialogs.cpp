#include "fake/FakeConditionDialogs.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr std::uint32_t kPopupStyle = 0x80000000;

WinHandle addDialogWindow(CFakeDesktop& desktop, const std::string& className) {
    FakeWindowSetup setup;
    setup.className = className;
    setup.style = kPopupStyle;
    return desktop.addWindow(setup);
}

}  // namespace

WindowPlacement CFakeWindowCamera::placement(WinHandle h) {
    if (!m_fake.isWindow(h)) return {};
    WindowPlacement placement;
    placement.showCmd = m_fake.isIconic(h) ? kShowMinimize : 1;
    const auto scripted = normalRect.find(h);
    placement.normal = scripted != normalRect.end() ? scripted->second : m_fake.normalRect(h);
    return placement;
}

void CFakeWindowCamera::setPlacement(WinHandle h, const WindowPlacement& placement) {
    calls.push_back({.kind = FakeCameraCall::Kind::setPlacement, .window = h, .placement = placement});
    m_fake.restore(h);
    m_fake.setRect(h, placement.normal);
    if (placement.showCmd == kShowMinimize) m_fake.minimize(h);
}

void CFakeWindowCamera::setRedraw(WinHandle h, bool on) {
    calls.push_back({.kind = FakeCameraCall::Kind::setRedraw, .window = h, .flag = on});
}

void CFakeWindowCamera::showNormal(WinHandle h) {
    calls.push_back({.kind = FakeCameraCall::Kind::showNormal, .window = h});
    m_fake.restore(h);
    m_fake.setVisible(h, true);
}

void CFakeWindowCamera::moveWindow(WinHandle h, const Rect& r) {
    calls.push_back({.kind = FakeCameraCall::Kind::moveWindow, .window = h, .targetRect = r});
    m_fake.setRect(h, r);
}

void CFakeWindowCamera::minimizeByCommand(WinHandle h) {
    calls.push_back({.kind = FakeCameraCall::Kind::minimizeByCommand, .window = h});
    m_fake.minimize(h);
}

bool CFakeWindowCamera::answers(WinHandle h, unsigned timeoutMs) {
    calls.push_back({.kind = FakeCameraCall::Kind::answers, .window = h, .timeoutMs = timeoutMs});
    return answering;
}

void CFakeWindowCamera::takePicture(WinHandle target, WinHandle showing, int width, int height) {
    calls.push_back({.kind = FakeCameraCall::Kind::takePicture,
                     .window = target,
                     .width = width,
                     .height = height,
                     .targetRect = m_fake.windowRect(target),
                     .targetLayered = m_fake.layeredAttributes(target)});
    shownIn = showing;
    ++pictures;
}

std::vector<FakeCameraCall> CFakeWindowCamera::callsOf(FakeCameraCall::Kind kind) const {
    std::vector<FakeCameraCall> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [kind](const FakeCameraCall& c) { return c.kind == kind; });
    return out;
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
