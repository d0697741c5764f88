#include "base/Trace.h"
#include "desktop/MultiDisplay.h"
#include "fake/FakePinWindow.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace {

using Kind = FakeCall::Kind;

constexpr Rect kTargetRect{100, 200, 500, 600};

class PinDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([this](const std::string& line) { traces += line; });
        target = desktop.addAppWindow("Memo", "notepad.exe", "C:\\windows\\notepad.exe", kTargetRect);
    }
    void TearDown() override {
        factory.destroyAlive();
        setTraceSink({});
        CMultiDisplay::ReleaseMultiDisplay();
    }

    // A pin window attached to target with these values, as the record hands them over.
    CFakePinWindow& attach(int transFlag = 0, int trans = 70, int zOrder = 0, Rect rectTarget = {}) {
        CFakePinWindow& pin = *factory.last;
        pin.m_rectTarget = rectTarget;
        pin.m_trans = trans;
        pin.m_zOrder = zOrder;
        pin.m_transFlag = transFlag;
        pin.SetTarget(target);
        desktop.clearCalls();
        return pin;
    }
    CFakePinWindow& newPin() {
        factory.createPinDlg(target);
        return *factory.last;
    }
    FakePinLog& log() { return *factory.logs.back(); }
    void useMonitors(int count) {
        std::vector<MonitorRecord> monitors;
        for (int i = 0; i < count; ++i) {
            const Rect screen{1920 * i, 0, 1920 * (i + 1), 1080};
            monitors.push_back(MonitorRecord{screen, screen, i == 0 ? 1u : 0u, "", screen});
        }
        desktop.setMonitors(monitors);
        CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
        traces.clear();
    }

    CFakeDesktop desktop;
    CFakePinFactory factory{desktop};
    WinHandle target;
    std::string traces;
};

TEST_F(PinDlgTest, SetTargetTakesTheCurrentRectangleOnlyWhenNoneWasHandedOver) {
    newPin();
    EXPECT_EQ(attach().m_rectTarget, kTargetRect);
    newPin();
    EXPECT_EQ(attach(0, 70, 0, Rect{10, 10, 400, 300}).m_rectTarget, (Rect{10, 10, 400, 300}));
    // Attached, both pins are held by the shared tick, in the order they began; the pin
    // window itself has no timer.
    const std::vector<WinHandle> held = CPinDlg::holdingPins();
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(held.back(), factory.last->pinHandle());
    EXPECT_TRUE(desktop.timersOf(factory.last->pinHandle()).empty());
}

TEST_F(PinDlgTest, SetTargetOnAWindowThatIsGoneOnlyStartsTheTimer) {
    desktop.destroyWindow(target);
    CFakePinWindow& pin = newPin();
    desktop.clearCalls();
    pin.m_transFlag = 1;
    pin.SetTarget(target);
    EXPECT_TRUE(desktop.calls().empty());
    EXPECT_EQ(pin.m_rectTarget, Rect{});
    EXPECT_EQ(CPinDlg::holdingPins(), std::vector<WinHandle>{pin.pinHandle()});
    pin.hold();
    EXPECT_TRUE(desktop.calls().empty());
}

TEST_F(PinDlgTest, HoldTimerPutsTheTargetBack) {
    struct Case {
        const char* what;
        Rect now;
        bool movedBack;
    };
    const Case cases[] = {
        {"moved by its caption", {150, 250, 550, 650}, true},
        {"resized by its frame", {100, 200, 700, 600}, true},
        {"where it belongs", kTargetRect, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CFakePinWindow& pin = newPin();
        attach();
        desktop.setRect(target, c.now);
        pin.hold();
        if (c.movedBack) {
            EXPECT_EQ(desktop.calls(),
                      (std::vector<FakeCall>{
                          {.kind = Kind::moveWindow, .window = target, .rect = kTargetRect, .flag = true}}));
        } else {
            EXPECT_TRUE(desktop.calls().empty());
        }
        EXPECT_EQ(desktop.windowRect(target), kTargetRect);
        pin.Destroy();
    }
}

TEST_F(PinDlgTest, HoldTimerLeavesAMaximisedMinimisedOrVanishedTargetAlone) {
    CFakePinWindow& pin = newPin();
    attach();
    // Moved, a minimised window's icon would come onto the screen, and be moved every second.
    desktop.minimize(target);
    const Rect icon = desktop.windowRect(target);
    pin.hold();
    EXPECT_TRUE(desktop.calls().empty());
    EXPECT_EQ(desktop.windowRect(target), icon);
    desktop.restore(target);
    desktop.maximize(target);
    pin.hold();
    EXPECT_TRUE(desktop.calls().empty());
    // Restored, the target takes its pinned rectangle again at the next tick.
    desktop.restore(target);
    desktop.setRect(target, Rect{0, 0, 10, 10});
    pin.hold();
    EXPECT_EQ(desktop.windowRect(target), kTargetRect);
    // Maximised by its user between the hold's questions: left alone all the same.
    desktop.setRect(target, Rect{0, 0, 10, 10});
    desktop.afterNextRectRead(target, [&] { desktop.maximize(target); });
    desktop.clearCalls();
    pin.hold();
    EXPECT_TRUE(desktop.calls().empty());

    desktop.destroyWindow(target);
    desktop.clearCalls();
    pin.hold();
    EXPECT_TRUE(desktop.calls().empty());
    // It stays among the held until the cycle ends it.
    EXPECT_EQ(CPinDlg::holdingPins(), std::vector<WinHandle>{pin.pinHandle()});
}

TEST_F(PinDlgTest, AHoldAsksASettledTargetItsScaleAndFrameOnlyOnceSomethingChanged) {
    useMonitors(1);
    CFakePinWindow& pin = newPin();
    attach();
    pin.hold();
    const auto asked = [this] { return std::pair{desktop.monitorDpiCalls, desktop.visibleFrameCalls}; };
    const auto settled = asked();
    pin.hold();
    pin.hold();
    EXPECT_EQ(asked(), settled) << "nothing changed";

    // Without its sizing frame the window has no invisible borders: the pin goes to the
    // corner of the window rectangle.
    const Rect place = pin.pinRect();
    desktop.setStyle(target, desktop.style(target) & ~0x00040000u);
    pin.hold();
    EXPECT_EQ(pin.pinRect().left, place.left - 7);
    EXPECT_EQ(pin.pinRect().top, place.top);

    const std::pair<const char*, std::function<void()>> changes[] = {
        {"monitors read again", [&] { CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop); }},
        {"made layered", [&] { desktop.setExStyle(target, desktop.exStyle(target) | style::kExLayered); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        pin.hold();
        const auto before = asked();
        change();
        pin.hold();
        EXPECT_NE(asked(), before);
    }
}

TEST_F(PinDlgTest, TransparencyOnSetsTheAlphaFromThePercentage) {
    struct Case {
        int percent;
        std::uint8_t alpha;
    };
    for (const Case c :
         {Case{70, 178}, Case{20, 51}, Case{100, 255}, Case{50, 127}, Case{250, 255}, Case{-5, 0}}) {
        SCOPED_TRACE(c.percent);
        newPin();
        attach();
        CFakePinWindow& pin = *factory.last;
        pin.m_transFlag = 1;
        pin.m_trans = c.percent;
        pin.ApplyTransparency();
        EXPECT_TRUE(desktop.exStyle(target) & style::kExLayered);
        EXPECT_EQ(desktop.layeredAttributes(target),
                  (LayeredAttributes{.colorKey = 0xFFFFFF, .alpha = c.alpha, .flags = style::kLayeredAlpha}));
        pin.Destroy();
    }
}

TEST_F(PinDlgTest, TransparencyTouchesTheLayeredStyleOnlyWhenItMust) {
    CFakePinWindow& pin = newPin();
    attach(1, 70);
    // Already layered: only the attributes are set again.
    pin.ApplyTransparency();
    EXPECT_TRUE(desktop.callsOf(Kind::setExStyle).empty());
    EXPECT_EQ(desktop.callsOf(Kind::setLayeredAttributes).size(), 1u);

    pin.m_transFlag = 0;
    pin.ApplyTransparency();
    EXPECT_FALSE(desktop.exStyle(target) & style::kExLayered);
    desktop.clearCalls();
    pin.ApplyTransparency();
    EXPECT_TRUE(desktop.calls().empty());
}

TEST_F(PinDlgTest, TransparencyABusyTargetCouldNotTakeIsMadeOnTheNextHold) {
    CFakePinWindow& pin = newPin();
    attach(0, 70);
    desktop.setHung(target, true);
    pin.m_transFlag = 1;
    pin.ApplyTransparency();
    pin.hold();
    ASSERT_FALSE(desktop.exStyle(target) & style::kExLayered);

    desktop.setHung(target, false);
    pin.hold();
    EXPECT_TRUE(desktop.exStyle(target) & style::kExLayered);
    EXPECT_EQ(desktop.layeredAttributes(target),
              (LayeredAttributes{.colorKey = 0xFFFFFF, .alpha = 178, .flags = style::kLayeredAlpha}));
}

TEST_F(PinDlgTest, EndingRestoresTheSavedStyles) {
    const std::uint32_t exStyle = desktop.exStyle(target);
    CFakePinWindow& pin = newPin();
    attach(1, 70);
    const WinHandle pinWindow = pin.pinHandle();
    pin.Destroy();
    EXPECT_EQ(desktop.exStyle(target), exStyle);
    EXPECT_EQ(desktop.layeredAttributes(target), std::nullopt);
    EXPECT_TRUE(log().destroyed);
    EXPECT_TRUE(CPinDlg::holdingPins().empty());
    EXPECT_FALSE(desktop.isWindow(pinWindow));
}

TEST_F(PinDlgTest, EndingKeepsWhatTheWindowDidMeanwhile) {
    constexpr std::uint32_t kCaption = 0x00C00000;
    constexpr std::uint32_t kToolWindow = 0x00000080;
    CFakePinWindow& pin = newPin();
    attach(1, 70);
    desktop.maximize(target);
    // Its program went frameless and made it a tool window while it was pinned.
    desktop.setStyle(target, desktop.style(target) & ~kCaption);
    desktop.setExStyle(target, desktop.exStyle(target) | kToolWindow);
    const std::uint32_t styleNow = desktop.style(target);
    desktop.clearCalls();
    pin.Destroy();
    // Still maximised: the next cycle must not pin it again and pull it back.
    EXPECT_TRUE(desktop.isZoomed(target));
    EXPECT_TRUE(desktop.isVisible(target));
    EXPECT_EQ(desktop.style(target), styleNow);
    EXPECT_EQ(desktop.exStyle(target), kToolWindow);
    EXPECT_TRUE(desktop.callsOf(Kind::setStyle).empty());
}

TEST_F(PinDlgTest, ATargetLayeredByItsOwnProgramKeepsItsStyleAndGetsItsLookBack) {
    const LayeredAttributes own{
        .colorKey = 0x00FF00, .alpha = 230, .flags = style::kLayeredAlpha | style::kLayeredColorKey};
    const LayeredAttributes ours{.colorKey = 0xFFFFFF, .alpha = 102, .flags = style::kLayeredAlpha};
    struct Case {
        // None: the window draws itself with per-pixel alpha, there are no attributes to read.
        std::optional<LayeredAttributes> attributes;
        int transFlag;
        std::optional<LayeredAttributes> whilePinned;
    };
    for (const Case& c : {Case{own, 0, own}, Case{own, 1, ours}, Case{std::nullopt, 0, std::nullopt},
                          Case{std::nullopt, 1, std::nullopt}}) {
        SCOPED_TRACE(c.attributes.has_value() * 10 + c.transFlag);
        FakeWindowSetup setup;
        setup.title = "Layered";
        setup.exStyle = style::kExLayered;
        setup.layered = c.attributes;
        target = desktop.addWindow(setup);
        CFakePinWindow& pin = newPin();
        attach(c.transFlag, 40);
        pin.ApplyTransparency();
        EXPECT_TRUE(desktop.exStyle(target) & style::kExLayered);
        EXPECT_EQ(desktop.layeredAttributes(target), c.whilePinned);
        EXPECT_TRUE(desktop.callsOf(Kind::setExStyle).empty());
        pin.OnRButtonUp();
        EXPECT_EQ(log().transparencyOffered, c.attributes.has_value());
        pin.Destroy();
        EXPECT_TRUE(desktop.exStyle(target) & style::kExLayered);
        EXPECT_EQ(desktop.layeredAttributes(target), c.attributes);
    }
}

TEST_F(PinDlgTest, EndingAfterTheTargetWentTouchesNothing) {
    CFakePinWindow& pin = newPin();
    attach(1, 70);
    desktop.destroyWindow(target);
    desktop.clearCalls();
    pin.Destroy();
    EXPECT_TRUE(desktop.calls().empty());
    EXPECT_TRUE(log().destroyed);
}

TEST_F(PinDlgTest, ZOrderIsTopmostOnlyForOne) {
    for (int zOrder : {0, 1, 2}) {
        SCOPED_TRACE(zOrder);
        newPin();
        desktop.clearCalls();
        factory.last->m_zOrder = zOrder;
        factory.last->SetTarget(target);
        EXPECT_EQ(desktop.callsOf(Kind::setTopmost),
                  (std::vector<FakeCall>{{.kind = Kind::setTopmost, .window = target, .flag = zOrder == 1}}));
        factory.last->Destroy();
    }
}

TEST_F(PinDlgTest, TheHoldPutsATopmostTargetBackIntoItsBand) {
    for (int zOrder : {0, 1}) {
        SCOPED_TRACE(zOrder);
        CFakePinWindow& pin = newPin();
        attach(0, 70, zOrder);
        desktop.setTopmost(target, true, Activation::none);
        pin.hold();
        desktop.dropTopmost(target);
        desktop.clearCalls();
        pin.hold();
        EXPECT_EQ(desktop.callsOf(Kind::setTopmost).size(), zOrder == 1 ? 1u : 0u);
        EXPECT_EQ((desktop.exStyle(target) & style::kExTopmost) != 0, zOrder == 1);
        pin.Destroy();
    }
}

TEST_F(PinDlgTest, ABandLostBeforeTheFirstHoldIsGivenBackButNeverOneThatWasNotShown) {
    for (const bool marksTopmost : {true, false}) {
        SCOPED_TRACE(marksTopmost);
        FakeWindowSetup setup;
        setup.marksTopmost = marksTopmost;
        target = desktop.addWindow(setup);
        CFakePinWindow& pin = newPin();
        attach();
        pin.OnCommand(IDM_ZORDER_TOPMOST);
        desktop.dropTopmost(target);
        desktop.clearCalls();
        pin.hold();
        pin.hold();
        EXPECT_EQ(desktop.callsOf(Kind::setTopmost).size(), marksTopmost ? 1u : 0u);
        pin.Destroy();
    }
}

TEST_F(PinDlgTest, ZOrderMenuCommands) {
    CFakePinWindow& pin = newPin();
    attach();
    pin.OnRButtonUp();
    EXPECT_EQ(log().zOrderItem, IDM_ZORDER_NORMAL);
    pin.OnCommand(IDM_ZORDER_TOPMOST);
    EXPECT_EQ(pin.m_zOrder, 1);
    EXPECT_TRUE(desktop.exStyle(target) & style::kExTopmost);
    pin.OnRButtonUp();
    EXPECT_EQ(log().zOrderItem, IDM_ZORDER_TOPMOST);
    pin.OnCommand(IDM_ZORDER_NORMAL);
    EXPECT_EQ(pin.m_zOrder, 0);
    EXPECT_FALSE(desktop.exStyle(target) & style::kExTopmost);
    EXPECT_EQ(desktop.callsOf(Kind::setTopmost).size(), 2u);
}

TEST_F(PinDlgTest, EnterAndEscapeDoNothing) {
    CFakePinWindow& pin = newPin();
    attach();
    pin.OnCommand(1);
    pin.OnCommand(2);
    EXPECT_TRUE(desktop.calls().empty());
    EXPECT_FALSE(log().destroyed);
}

TEST_F(PinDlgTest, TheTargetFollowsADraggedPinOnlyWhenDraggingIsAllowed) {
    struct Case {
        bool controller;
        int moveEnable;
        bool follows;
    };
    for (const Case c :
         {Case{true, 1, true}, Case{true, 0, false}, Case{true, 2, false}, Case{false, 1, false}}) {
        SCOPED_TRACE(testing::Message() << "controller " << c.controller << ", moveEnable " << c.moveEnable);
        std::optional<CFakePinController> controller;
        if (c.controller) controller.emplace().move = c.moveEnable;
        desktop.setRect(target, kTargetRect);
        CFakePinWindow& pin = newPin();
        attach();
        traces.clear();
        pin.OnLButtonDown();
        EXPECT_EQ(traces, "CPinDlg::OnLButtonDown()\n");
        EXPECT_EQ(log().dragStarts, c.follows ? 1 : 0);

        pin.OnDragBy(180, 232);
        const Rect followed{280, 432, 680, 832};
        EXPECT_EQ(desktop.windowRect(target), c.follows ? followed : kTargetRect);
        EXPECT_EQ(pin.m_rectTarget, c.follows ? followed : kTargetRect);
        pin.Destroy();
    }
}

TEST_F(PinDlgTest, ADraggedPinStopsWhereItsTargetWouldLeaveTheMonitors) {
    CFakePinController controller;
    controller.move = 1;
    useMonitors(1);
    CFakePinWindow& pin = newPin();
    attach();
    pin.OnLButtonDown();
    // Dragged down past the bottom, the target would leave the monitor; its caption strip, as
    // high as the pin, stays on it whole.
    pin.OnDragBy(1000, 900);
    const Rect stopped{1100, 1018, 1500, 1418};
    EXPECT_EQ(desktop.windowRect(target), stopped);
    EXPECT_EQ(pin.m_rectTarget, stopped);
    // The pin stays on its target, where the user can take it again.
    EXPECT_EQ(pin.pinRect(), (Rect{1127, 986, 1179, 1048}));
    pin.Destroy();
}

TEST_F(PinDlgTest, ADragOntoAMonitorOfAnotherScaleLaysThePinOutForIt) {
    CFakePinController controller;
    controller.move = 1;
    useMonitors(2);
    std::vector<MonitorRecord> monitors = desktop.enumerateMonitors();
    monitors[1].dpi = 144;
    desktop.setMonitors(monitors);
    CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
    target = desktop.addWindow({.title = "Aware", .rect = kTargetRect, .perMonitorAware = true});
    CFakePinWindow& pin = newPin();
    attach();
    pin.OnLButtonDown();
    pin.OnDragBy(1900, 0);
    // The window took its size for 150 %, and is held at it; the pin is the 150 % one, whole.
    EXPECT_EQ(desktop.windowRect(target), (Rect{2000, 200, 2600, 800}));
    EXPECT_EQ(pin.m_rectTarget, desktop.windowRect(target));
    EXPECT_EQ(log().layout, pinLayout(false, 144));
    EXPECT_EQ(pin.pinRect(), (Rect{2041, 152, 2119, 246}));
    pin.OnDragBy(1910, 10);
    EXPECT_EQ(desktop.windowRect(target), (Rect{2010, 210, 2610, 810}));
    EXPECT_EQ(pin.pinRect(), (Rect{2051, 162, 2129, 256}));
    pin.Destroy();
}

TEST_F(PinDlgTest, AScaleChangeKeepsTheSizeTheWindowTookForIt) {
    useMonitors(2);
    target = desktop.addWindow({.title = "Aware", .rect = kTargetRect, .perMonitorAware = true});
    CFakePinWindow& pin = newPin();
    attach(0, 70, 0, kTargetRect);
    desktop.onDisplayChange = [this] { CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop); };
    std::vector<MonitorRecord> monitors = desktop.enumerateMonitors();
    // The scale of the other monitor does not matter to this pin.
    monitors[1].dpi = 192;
    desktop.changeDisplays(monitors);
    pin.hold();
    EXPECT_EQ(log().layout, pinLayout(false, 96));
    monitors[0].dpi = 144;
    desktop.changeDisplays(monitors);
    desktop.clearCalls();
    pin.hold();
    const Rect scaled{100, 200, 700, 800};
    EXPECT_EQ(desktop.windowRect(target), scaled);
    EXPECT_TRUE(desktop.callsOf(Kind::moveWindow).empty());
    EXPECT_EQ(pin.m_rectTarget, scaled);
    EXPECT_EQ(log().layout, pinLayout(false, 144));
    EXPECT_EQ(pin.pinRect(), (Rect{141, 152, 219, 246}));
    pin.Destroy();
}

TEST_F(PinDlgTest, AMonitorThatGoesLeavesItsWindowsHeldWhereTheSystemPutThem) {
    CFakePinController controller;
    useMonitors(2);
    desktop.onDisplayChange = [this] { CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop); };
    const Rect onSecond{2020, 300, 2420, 600};
    desktop.setRect(target, onSecond);
    CFakePinWindow& pin = newPin();
    attach(0, 70, 0, onSecond);
    pin.hold();
    std::vector<MonitorRecord> monitors = desktop.enumerateMonitors();
    monitors.pop_back();
    desktop.changeDisplays(monitors);
    // Windows put the window, and its pin, on the primary monitor.
    const Rect moved{100, 300, 500, 600};
    ASSERT_EQ(desktop.windowRect(target), moved);
    const int saves = controller.saves;
    for (int tick = 0; tick < 3; ++tick) pin.hold();
    EXPECT_EQ(desktop.windowRect(target), moved);
    EXPECT_EQ(pin.m_rectTarget, moved);
    EXPECT_EQ(pin.pinRect(), (Rect{127, 268, 179, 330}));
    EXPECT_EQ(controller.saves, saves + 1);
    pin.Destroy();
}

TEST_F(PinDlgTest, APinWindowIsColourKeyedWithoutBorder) {
    CFakePinWindow& pin = newPin();
    EXPECT_TRUE(desktop.exStyle(pin.pinHandle()) & style::kExLayered);
    EXPECT_EQ(desktop.layeredAttributes(pin.pinHandle()),
              (LayeredAttributes{.colorKey = 0xFFFFFF, .alpha = 200, .flags = style::kLayeredColorKey}));
    EXPECT_FALSE(desktop.style(pin.pinHandle()) & style::kBorder);
    EXPECT_EQ(traces, "");
}

// The picture stands where it stands at 96 DPI relative to the target's corner, in proportion,
// drawn from the art of the nearest scale; the window holds it whole.
TEST(PinLayout, ThePinScalesWithTheTargetsMonitor) {
    struct Case {
        bool normal;
        int dpi;
        int bitmapId;
        Rect window;
        Rect picture;
    };
    const Case cases[] = {
        {true, 96, IDB_PIN_NORMAL, {20, -32, 72, 30}, {0, 12, 52, 62}},
        {false, 96, IDB_PIN_SMALL, {20, -32, 72, 30}, {0, 33, 30, 62}},
        {true, 120, IDB_PIN_NORMAL_125, {25, -40, 90, 38}, {0, 15, 65, 78}},
        {true, 144, IDB_PIN_NORMAL_150, {30, -48, 108, 45}, {0, 18, 78, 93}},
        {false, 144, IDB_PIN_SMALL_150, {30, -48, 108, 46}, {0, 50, 45, 94}},
        {true, 192, IDB_PIN_NORMAL_200, {40, -64, 144, 60}, {0, 24, 104, 124}},
        // Beyond the largest art the picture keeps its own size rather than being stretched.
        {true, 240, IDB_PIN_NORMAL_200, {50, -80, 180, 75}, {0, 30, 104, 130}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.normal ? "normal" : "small") << " at " << c.dpi);
        const PinLayout layout = pinLayout(c.normal, c.dpi);
        EXPECT_EQ(layout.dpi, c.dpi);
        EXPECT_EQ(layout.bitmapId, c.bitmapId);
        EXPECT_EQ(layout.window, c.window);
        EXPECT_EQ(layout.picture, c.picture);
        // A dragged pin takes its target along without a pixel of drift.
        const Rect target{100, 200, 500, 600};
        EXPECT_EQ(targetRectFor(layout, pinRectFor(layout, target), target), target);
    }
}

TEST_F(PinDlgTest, PinPictureFollowsThePinSizeSetting) {
    newPin();
    EXPECT_EQ(log().bitmapId, IDB_PIN_SMALL);
    CFakePinController controller;
    for (int size : {0, 1, 7}) {
        controller.size = size;
        newPin();
        EXPECT_EQ(log().bitmapId, size == 0 ? IDB_PIN_SMALL : IDB_PIN_NORMAL);
    }
}

TEST_F(PinDlgTest, RightButtonOpensTheMenuAndShowTraces) {
    CFakePinWindow& pin = newPin();
    pin.OnRButtonUp();
    pin.OnShowWindow(false, 1);
    EXPECT_EQ(log().menusOpened, 1);
    EXPECT_EQ(traces, "OnRButtonUp() \nOnShowWindow() bShow=0, nStatus=1\n");
}

TEST_F(PinDlgTest, PullOutAnsweredNoAppliesTheZOrderAgain) {
    CFakePinController controller;
    CFakePinWindow& pin = newPin();
    attach(0, 70, 1);
    traces.clear();
    desktop.answerQueue.push_back(MsgAnswer::no);
    pin.OnCommand(IDM_PIN_PULL_OUT);
    EXPECT_EQ(traces, "CVelnoteWin::OnMenuitemdelete() \n");
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, u8"画鋲を抜きますか？");
    EXPECT_EQ(desktop.messageBoxes[0].buttons, MsgButtons::yesNo);
    EXPECT_TRUE(desktop.messageBoxes[0].appBox);
    EXPECT_EQ(desktop.callsOf(Kind::setTopmost),
              (std::vector<FakeCall>{{.kind = Kind::setTopmost, .window = target, .flag = false},
                                     {.kind = Kind::setTopmost, .window = target, .flag = true}}));
    EXPECT_TRUE(controller.forgotten.empty());
    EXPECT_FALSE(log().destroyed);
}

TEST_F(PinDlgTest, PullOutAnsweredYesRemovesThePinThroughTheController) {
    CFakePinController controller;
    CFakePinWindow& pin = newPin();
    attach();
    const WinHandle handle = pin.pinHandle();
    desktop.answerQueue.push_back(MsgAnswer::yes);
    pin.OnCommand(IDM_PIN_PULL_OUT);
    EXPECT_EQ(controller.forgotten, (std::vector<std::uint64_t>{static_cast<std::uintptr_t>(handle)}));
    EXPECT_TRUE(log().destroyed);
}

TEST_F(PinDlgTest, ControllerCommandsDoNothingWithoutAController) {
    CFakePinWindow& pin = newPin();
    attach();
    pin.OnCommand(IDM_PIN_PULL_OUT);
    pin.OnCommand(IDM_MATCH_CONDITION);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_TRUE(desktop.calls().empty());

    CFakePinController controller;
    pin.OnCommand(IDM_MATCH_CONDITION);
    EXPECT_EQ(controller.conditionsFor, (std::vector<WinHandle>{pin.pinHandle()}));
}

TEST_F(PinDlgTest, TransparencyDialogOkAppliesItsValues) {
    CFakePinWindow& pin = newPin();
    attach(0, 70);
    log().dialogUser = [](CFakePropatyDlg& dialog) {
        dialog.checked = true;
        dialog.spinTo(50);
        return CFakePropatyDlg::Press::ok;
    };
    pin.OnCommand(IDM_PIN_TRANSPARENCY);
    EXPECT_EQ(log().dialogControl, 0);
    EXPECT_EQ(log().dialogPercent, 70);
    EXPECT_EQ(log().dialogHasOwner, 1);
    EXPECT_EQ(log().dialogPin, pin.pinHandle());
    EXPECT_EQ(pin.m_transFlag, 1);
    EXPECT_EQ(pin.m_trans, 50);
    EXPECT_EQ(desktop.layeredAttributes(target)->alpha, 127);
}

TEST_F(PinDlgTest, TransparencyDialogCancelChangesNothing) {
    CFakePinWindow& pin = newPin();
    attach(1, 70);
    log().dialogUser = [](CFakePropatyDlg& dialog) {
        dialog.checked = false;
        dialog.spinTo(30);
        return CFakePropatyDlg::Press::cancel;
    };
    pin.OnCommand(IDM_PIN_TRANSPARENCY);
    EXPECT_EQ(pin.m_transFlag, 1);
    EXPECT_EQ(pin.m_trans, 70);
    EXPECT_TRUE(desktop.calls().empty());
}

TEST_F(PinDlgTest, TransparencyDialogOkAfterThePinEndedHandsNothingBack) {
    CFakePinWindow& pin = newPin();
    attach(0, 70);
    FakePinLog& pinLog = log();
    // The pinning cycle ends the pin while the dialog is open.
    pinLog.dialogUser = [&pin](CFakePropatyDlg& dialog) {
        pin.Destroy();
        dialog.checked = true;
        return CFakePropatyDlg::Press::ok;
    };
    pin.OnCommand(IDM_PIN_TRANSPARENCY);
    EXPECT_TRUE(pinLog.destroyed);
    EXPECT_FALSE(desktop.exStyle(target) & style::kExLayered);
}

}  // namespace
