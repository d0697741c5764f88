#include "pinwindow/PinDlg.h"

#include "base/Trace.h"
#include "desktop/Desktop.h"
#include "desktop/Dpi.h"
#include "pinwindow/PinDlgFactory.h"
#include "pinwindow/PinPropatyDlg.h"
#include "resource.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint8_t kPinAlpha = 200;
// The one value of m_zOrder that means topmost; every other value is normal Z order.
constexpr int kZOrderTopmost = 1;

// Opacity in percent as a layered alpha. A percentage from a hand-edited configuration file
// may lie outside 0 ... 100; it must not wrap around into some other alpha.
std::uint8_t alphaOf(int percent) {
    const std::int64_t alpha = std::int64_t{percent} * 255 / 100;
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(alpha, 0, 255));
}

bool sameFrame(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width() == b.width() && a.height() == b.height();
}

// A settled target is asked about its scale and frame again at every so many holds.
constexpr int kSettledHoldsTrusted = 10;

// Yes/No question of "抜く".
constexpr char8_t kPullOutQuestion[] = u8"画鋲を抜きますか？";

// Every pin window from its initialisation to its destruction. Few pins live at once.
std::vector<CPinDlg*>& livePins() {
    static std::vector<CPinDlg*> pins;
    return pins;
}

}  // namespace

CPinDlg::CPinDlg(CPinDlgFactory& factory) : m_factory(factory), m_desktop(factory.desktop()) {}

CPinDlg::~CPinDlg() { std::erase(livePins(), this); }

CPinDlg* CPinDlg::find(WinHandle pin) {
    if (pin == kNoWindow) return nullptr;
    const auto& pins = livePins();
    const auto it =
        std::find_if(pins.begin(), pins.end(), [pin](CPinDlg* p) { return p->m_registered == pin; });
    return it == pins.end() ? nullptr : *it;
}

std::vector<WinHandle> CPinDlg::holdingPins() {
    std::vector<WinHandle> out;
    for (const CPinDlg* pin : livePins()) {
        if (pin->m_holding) out.push_back(pin->m_registered);
    }
    return out;
}

void CPinDlg::requestSave() {
    if (CPinController* controller = m_factory.controller()) controller->requestSave();
}

bool CPinDlg::dragAllowed() const {
    const CPinController* controller = m_factory.controller();
    return controller && allowsDragging(controller->moveEnable());
}

bool CPinDlg::targetExists() { return m_desktop.isWindow(m_hWndTarget); }

void CPinDlg::SetTarget(WinHandle target) {
    m_hWndTarget = target;
    const bool exists = targetExists();
    if (m_rectTarget.width() == 0 && m_rectTarget.height() == 0 && exists) {
        m_rectTarget = m_desktop.windowRect(target);
    } else if (const MonitorRecord* held =
                   m_factory.monitors().monitorAt(m_rectTarget.left, m_rectTarget.top)) {
        // The held size is one for the scale of the monitor it is held on, wherever the window
        // was found: the layout, which the held size follows, is for that scale.
        layOut(held->dpi);
    }
    if (exists) {
        m_lOrgExStyle = m_desktop.exStyle(target);
        // Restoring the style word alone would leave a window its program made layered at
        // our alpha, or invisible until the program sets its attributes again. A layered
        // window without attributes draws itself with per-pixel alpha: it cannot take ours,
        // and taking its style away would blank it until it draws again.
        if (m_lOrgExStyle & style::kExLayered) m_orgLayered = m_desktop.layeredAttributes(target);
        ApplyTransparency();
        ApplyZOrder();
        measureFrame();
        placePin();
    }
    m_holding = true;
    m_settled.reset();
}

void CPinDlg::ApplyZOrder() {
    if (!targetExists()) return;
    // A program with higher rights keeps its windows from us: a pin there would hold nothing.
    const ChangeResult result =
        m_desktop.setTopmost(m_hWndTarget, m_zOrder == kZOrderTopmost, Activation::none);
    if (result == ChangeResult::denied) m_targetRefuses = true;
    // The band can be lost only once the target is seen in it: Wine never marks a window
    // that owns another program's popup, and reordering such a window every second would
    // cover its pin's menus.
    m_seenTopmost = m_zOrder == kZOrderTopmost && result == ChangeResult::done &&
                    (m_desktop.exStyle(m_hWndTarget) & style::kExTopmost);
}

bool CPinDlg::takesTransparency() const { return !(m_lOrgExStyle & style::kExLayered) || m_orgLayered; }

void CPinDlg::ApplyTransparency() {
    if (!targetExists() || !takesTransparency()) return;
    const std::uint32_t exStyle = m_desktop.exStyle(m_hWndTarget);
    if (m_transFlag != 0) {
        if (!(exStyle & style::kExLayered)) m_desktop.setExStyle(m_hWndTarget, exStyle | style::kExLayered);
        const LayeredAttributes attributes{
            .colorKey = kWhite, .alpha = alphaOf(m_trans), .flags = style::kLayeredAlpha};
        // A window that refuses stays opaque; the pin goes on holding it all the same.
        static_cast<void>(m_desktop.setLayeredAttributes(m_hWndTarget, attributes));
    } else if (m_orgLayered) {
        // Layered by its own program: without our alpha it has the look that program gave it.
        static_cast<void>(m_desktop.setLayeredAttributes(m_hWndTarget, *m_orgLayered));
    } else if (exStyle & style::kExLayered) {
        m_desktop.setExStyle(m_hWndTarget, exStyle & ~style::kExLayered);
    }
}

void CPinDlg::OnInitDialog(WinHandle target) {
    const WinHandle self = pinHandle();
    m_registered = self;
    livePins().push_back(this);
    m_desktop.setExStyle(self, m_desktop.exStyle(self) | style::kExLayered);
    // The alpha means nothing under a colour key.
    const LayeredAttributes colorKey{
        .colorKey = kWhite, .alpha = kPinAlpha, .flags = style::kLayeredColorKey};
    // A pin that refuses shows white around its picture; the failure is traced by the desktop.
    static_cast<void>(m_desktop.setLayeredAttributes(self, colorKey));
    m_desktop.setStyle(self, m_desktop.style(self) & ~style::kBorder);
    // The setting is read once: a change affects only pins made afterwards.
    const CPinController* controller = m_factory.controller();
    m_normalPin = controller && usesNormalPin(controller->pinSize());
    m_layout = pinLayout(m_normalPin, m_desktop.monitorDpi(target));
    showPinPicture(m_layout);
}

void CPinDlg::layOut(int dpi) {
    if (dpi == m_layout.dpi) return;
    m_layout = pinLayout(m_normalPin, dpi);
    showPinPicture(m_layout);
}

void CPinDlg::measureFrame() {
    // On Windows 10 and 11 the window rectangle has invisible resize borders: the pin goes
    // above the corner the user sees, as far in from the held rectangle's as the frame is in
    // from the window's.
    m_frameInset = {};
    if (const std::optional<Rect> frame = m_desktop.visibleFrame(m_hWndTarget)) {
        const Rect now = m_desktop.windowRect(m_hWndTarget);
        m_frameInset = ScreenPoint{frame->left - now.left, frame->top - now.top};
    }
}

Rect CPinDlg::pinRectAt(const Rect& held) const {
    Rect corner = held;
    corner.left += m_frameInset.x;
    corner.top += m_frameInset.y;
    // A window at the top of its monitor would have its pin above the monitor's edge.
    return m_factory.monitors().keptOnMonitorAt(pinRectFor(m_layout, corner),
                                                corner.left + m_layout.window.left, corner.top);
}

void CPinDlg::placePin() {
    const Rect place = pinRectAt(m_rectTarget);
    if (pinRect() != place) movePin(place);
}

void CPinDlg::followDpi() {
    const int dpi = m_desktop.monitorDpi(m_hWndTarget);
    if (dpi == m_layout.dpi) return;
    // Windows expects a window to keep the size it takes for a new scale (WM_DPICHANGED).
    const Rect& r = m_rectTarget;
    m_rectTarget = Rect{r.left, r.top, r.left + scaleBetweenDpis(r.width(), m_layout.dpi, dpi),
                        r.top + scaleBetweenDpis(r.height(), m_layout.dpi, dpi)};
    layOut(dpi);
    measureFrame();
    placePin();
    requestSave();
}

void CPinDlg::OnDpiChanged() {
    if (targetExists() && !m_desktop.isZoomed(m_hWndTarget)) followDpi();
}

CMultiDisplay::Grip CPinDlg::grip() const {
    return CMultiDisplay::Grip{m_layout.window.width(), m_layout.window.height()};
}

bool CPinDlg::canHold(const Rect& target) const { return m_factory.monitors().keepsGrip(target, grip()); }

bool CPinDlg::followDisplays(const Rect& now) {
    if (canHold(m_rectTarget) || !canHold(now)) return false;
    trace("CPinDlg: held at %d,%d off the monitors, now at %d,%d\n", m_rectTarget.left, m_rectTarget.top,
          now.left, now.top);
    m_rectTarget = now;
    // The window has its size for the scale it is shown at now.
    layOut(m_desktop.monitorDpi(m_hWndTarget));
    requestSave();
    return true;
}

void CPinDlg::hold() {
    if (!m_holding || !targetExists()) return;
    // A maximised target is left alone; it takes its pinned rectangle again once restored. So
    // is a minimised one: moving it would move its icon onto the screen. The rectangle is read
    // first: a window maximised between the two questions then shows its new state, and its
    // maximised rectangle is never taken for a move to undo.
    const Rect now = m_desktop.windowRect(m_hWndTarget);
    const std::uint32_t windowStyle = m_desktop.style(m_hWndTarget);
    if (windowStyle & (style::kMaximize | style::kMinimize)) {
        m_settled.reset();
        return;
    }
    const std::uint32_t exStyle = m_desktop.exStyle(m_hWndTarget);
    const Settled seen{now, m_rectTarget, windowStyle, exStyle, m_factory.monitors().readings()};
    // Each question is a round trip to the window system and every pin is held every second:
    // what cannot have changed since the last hold is not asked again, but never for long.
    const bool settled = m_settled == seen && m_settledHolds < kSettledHoldsTrusted;
    m_settledHolds = settled ? m_settledHolds + 1 : 0;
    bool changed = false;
    // A window at its held corner may have had its monitor's scale changed, and taken the size
    // of the new scale; the window manager tells a pin only about its own moves. One moved
    // elsewhere goes back first and takes its size for the held place's scale there.
    if (!settled && now.left == m_rectTarget.left && now.top == m_rectTarget.top) followDpi();
    // Where no monitor shows the held rectangle any more, the system has put the window where
    // one does: that is where it is held from now on, never back off every monitor.
    if (!sameFrame(now, m_rectTarget) && !followDisplays(now) && canHold(m_rectTarget)) {
        m_desktop.moveWindow(m_hWndTarget, m_rectTarget, true);
        changed = true;
    }
    // A target too busy to take its layered style when it was asked, or whose program took the
    // style away since, gets it again.
    if (m_transFlag != 0 && takesTransparency() && !(exStyle & style::kExLayered)) {
        ApplyTransparency();
        changed = true;
    }
    // Some programs take their own windows out of the topmost band. While "抜く" asks, the
    // pin itself has taken it out, so that the question shows. A band is given back once each
    // time the target is seen to lose it.
    if (m_zOrder == kZOrderTopmost && !m_askingPullOut) {
        if (exStyle & style::kExTopmost) {
            m_seenTopmost = true;
        } else if (std::exchange(m_seenTopmost, false)) {
            ApplyZOrder();
            changed = true;
        }
    }
    // The frame's borders change with the scale and with the window's own styles.
    if (!settled || changed) measureFrame();
    // The system moves the pin with a monitor that goes, or a display that changes.
    placePin();
    // A scale or a display the pin followed changed the held rectangle, which the next hold
    // then sees.
    if (changed) {
        m_settled.reset();
    } else {
        m_settled = seen;
    }
}

void CPinDlg::OnLButtonDown() {
    trace("CPinDlg::OnLButtonDown()\n");
    if (!dragAllowed()) return;
    m_dragFrom = m_rectTarget;
    startDragging();
}

void CPinDlg::OnDragBy(int dx, int dy) {
    if (!dragAllowed() || !targetExists()) return;
    // The target keeps its place under the pin, but never goes where the user could no longer
    // reach it: there the drag stops, and the pin stays on the target. It keeps the size it has
    // now, which a monitor of another scale on the way has changed.
    const int left = m_dragFrom.left + dx;
    const int top = m_dragFrom.top + dy;
    const Rect wanted{left, top, left + m_rectTarget.width(), top + m_rectTarget.height()};
    const Rect moved = m_factory.monitors().dragStop(m_rectTarget, wanted, grip());
    // The pin goes first, at once, under the cursor; the target follows when its program gets
    // to it.
    m_rectTarget = moved;
    placePin();
    m_desktop.moveWindow(m_hWndTarget, moved, true);
    // Laid out for the scale it is on now, never left at its size from the drag's start.
    followDpi();
}

void CPinDlg::OnDragEnd() { requestSave(); }

void CPinDlg::OnRButtonUp() {
    trace("OnRButtonUp() \n");
    openPinMenu(takesTransparency(), m_zOrder == kZOrderTopmost ? IDM_ZORDER_TOPMOST : IDM_ZORDER_NORMAL);
}

void CPinDlg::OnShowWindow(bool show, int status) {
    trace("OnShowWindow() bShow=%d, nStatus=%d\n", show ? 1 : 0, status);
}

void CPinDlg::OnCommand(int id) {
    switch (id) {
        case IDM_PIN_PULL_OUT:
            // May destroy the object: nothing of it is touched afterwards.
            onPullOut();
            break;
        case IDM_PIN_TRANSPARENCY:
            onTransparency();
            break;
        case IDM_ZORDER_NORMAL:
        case IDM_ZORDER_TOPMOST:
            m_zOrder = id == IDM_ZORDER_TOPMOST ? kZOrderTopmost : 0;
            ApplyZOrder();
            requestSave();
            break;
        case IDM_MATCH_CONDITION:
            if (CPinController* controller = m_factory.controller())
                controller->changeConditionsFromPin(pinHandle());
            break;
        default:
            break;
    }
}

void CPinDlg::onPullOut() {
    trace("CVelnoteWin::OnMenuitemdelete() \n");
    // The factory outlives this object, which the message box's loop may end.
    CPinDlgFactory& factory = m_factory;
    CPinController* controller = factory.controller();
    // Without a controller there is no record to remove, so there is nothing to ask.
    if (!controller) return;
    const WinHandle self = pinHandle();
    const std::uint64_t recordId = controller->recordIdOfPin(self);
    // Asked with the target out of the topmost band, so that the question shows, and owned by
    // the pin, so that it disables the pin and never the pinned window.
    if (targetExists()) m_desktop.setTopmost(m_hWndTarget, false, Activation::none);
    m_askingPullOut = true;
    const MsgAnswer answer = m_desktop.appMessageBox(self, kPullOutQuestion, MsgButtons::yesNo);
    // The cycle ran while the user answered: this pin may have ended and this object gone,
    // and the record may have moved. Both are found again, never taken from before.
    if (CPinDlg* const pin = find(self)) pin->m_askingPullOut = false;
    if (answer == MsgAnswer::yes) {
        if (CPinController* const again = factory.controller()) again->forgetRecord(recordId);
    } else if (CPinDlg* const pin = find(self)) {
        pin->ApplyZOrder();
    }
}

void CPinDlg::onTransparency() {
    std::unique_ptr<CPinPropatyDlg> dialog = makeTransparencyDialog();
    dialog->m_bControl = m_transFlag;
    dialog->m_nPercent = m_trans;
    dialog->m_bHasOwner = 1;
    const WinHandle self = pinHandle();
    dialog->m_hWndPin = self;
    // The dialog's loop may end this pin: its values go only to a pin that is still there.
    if (!dialog->runModal() || find(self) != this) return;
    m_transFlag = dialog->m_bControl;
    m_trans = dialog->m_nPercent;
    ApplyTransparency();
    requestSave();
}

void CPinDlg::Destroy() {
    m_holding = false;
    if (targetExists()) {
        // The pin changed the layered bit alone: only that goes back to what it was, on the
        // extended style as it is now. Everything else is the window's own business since the
        // pin attached (a frameless or full-screen mode, tool-window bits, its state).
        const std::uint32_t now = m_desktop.exStyle(m_hWndTarget);
        const std::uint32_t given = (now & ~style::kExLayered) | (m_lOrgExStyle & style::kExLayered);
        if (given != now) m_desktop.setExStyle(m_hWndTarget, given);
        if (m_orgLayered) static_cast<void>(m_desktop.setLayeredAttributes(m_hWndTarget, *m_orgLayered));
    }
    destroyPin();
}
