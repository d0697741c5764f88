#include "fake/FakePinWindow.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kPopupStyle = 0x80000000;

}  // namespace

bool CFakePropatyDlg::runModal() {
    OnInitDialog();
    Close close = Close::cancel;
    m_fake.runModalLoop(m_hWndPin, [this, &close] {
        do {
            if (!m_user || m_user(*this) == Press::cancel) {
                close = Close::cancel;
                return;
            }
            close = OnOK();
        } while (close == Close::stay);
    });
    return close == Close::ok;
}

std::optional<int> CFakePropatyDlg::spinnerPosition() {
    if (!typed) return spinPos;
    if (*typed < spinLower || *typed > spinUpper) return std::nullopt;
    return spinPos = *typed;
}

void CFakePropatyDlg::spinTo(int position) {
    spinPos = std::clamp(position, spinLower, spinUpper);
    typed.reset();
}

void CFakePropatyDlg::setSpinner(int lower, int upper, int position) {
    spinLower = lower;
    spinUpper = upper;
    spinTo(position);
}

CFakePinWindow::CFakePinWindow(CFakePinFactory& factory, FakePinLog& log, const Rect& rect)
    : CPinDlg(factory), m_fake(factory.fakeDesktop()), m_log(log) {
    FakeWindowSetup setup;
    setup.className = "FakePin";
    setup.rect = rect;
    setup.visible = false;
    // A popup as the template makes it; the border is there to be taken away.
    setup.style = kPopupStyle | style::kBorder;
    m_handle = m_fake.addWindow(setup);
}

Rect CFakePinWindow::pinRect() { return m_fake.windowRect(m_handle); }

void CFakePinWindow::movePin(const Rect& r) { m_fake.setRect(m_handle, r); }

void CFakePinWindow::openPinMenu(bool transparencyOffered, int zOrderItem) {
    ++m_log.menusOpened;
    m_log.transparencyOffered = transparencyOffered;
    m_log.zOrderItem = zOrderItem;
    FakePinLog& log = m_log;
    m_fake.runModalLoop(kNoWindow, [&log] {
        if (log.whileMenuOpen) log.whileMenuOpen();
    });
}

void CFakePinWindow::showPinPicture(const PinLayout& layout) {
    m_log.bitmapId = layout.bitmapId;
    m_log.layout = layout;
    const Rect r = pinRect();
    m_fake.setRect(m_handle,
                   Rect{r.left, r.top, r.left + layout.window.width(), r.top + layout.window.height()});
}

std::unique_ptr<CPinPropatyDlg> CFakePinWindow::makeTransparencyDialog() {
    FakePinLog& log = m_log;
    CFakePropatyDlg::User user = [&log](CFakePropatyDlg& dialog) {
        log.dialogControl = dialog.m_bControl;
        log.dialogPercent = dialog.m_nPercent;
        log.dialogHasOwner = dialog.m_bHasOwner;
        log.dialogPin = dialog.m_hWndPin;
        return log.dialogUser ? log.dialogUser(dialog) : CFakePropatyDlg::Press::cancel;
    };
    return std::make_unique<CFakePropatyDlg>(m_fake, user);
}

void CFakePinWindow::destroyPin() {
    m_fake.destroyWindow(m_handle);
    m_log.destroyed = true;
    delete this;
}

CPinDlg* CFakePinFactory::createPinDlg(WinHandle target) {
    if (refuse) {
        refuse = false;
        return nullptr;
    }
    owners.push_back(target);
    logs.push_back(std::make_unique<FakePinLog>());
    last = new CFakePinWindow(*this, *logs.back(), Rect{});
    made.push_back(last);
    last->OnInitDialog(target);
    return last;
}

void CFakePinFactory::destroyAlive() {
    for (std::size_t i = 0; i < made.size(); ++i) {
        if (!logs[i]->destroyed) made[i]->Destroy();
    }
}

void chooseFromPinMenu(WinHandle pin, int command) {
    if (CPinDlg* const shown = CPinDlg::find(pin)) shown->OnRButtonUp();
    if (CPinDlg* const still = CPinDlg::find(pin)) still->OnCommand(command);
}

void CFakePinController::forgetRecord(std::uint64_t recordId) {
    forgotten.push_back(recordId);
    if (CPinDlg* const pin = CPinDlg::find(WinHandle{static_cast<std::uintptr_t>(recordId)})) pin->Destroy();
}
