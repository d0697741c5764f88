#include "base/Trace.h"
#include "desktop/MultiDisplay.h"
#include "fake/FakePinWindow.h"
#include "pins/PinData.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Kind = FakeCall::Kind;

class PinStartEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
        setTraceSink([this](const std::string& line) { traces += line; });
        target =
            desktop.addAppWindow("Memo", "notepad.exe", "C:\\windows\\notepad.exe", Rect{100, 200, 500, 600});
        record.m_title = "Memo";
    }
    void TearDown() override {
        factory.destroyAlive();
        setTraceSink({});
        CMultiDisplay::ReleaseMultiDisplay();
    }
    FakePinLog& log() { return *factory.logs.back(); }

    CFakeDesktop desktop;
    CFakePinFactory factory{desktop};
    WinHandle target;
    CPinData record;
    std::string traces;
};

TEST_F(PinStartEndTest, DefaultPlacementIsAboveTheTargetsCorner) {
    struct Case {
        const char* what;
        int dpi;
        Rect rectTarget;
        Rect pin;
        Rect held;
    };
    // The window is at (100, 200, 500, 600) on a 1920 x 1080 monitor; its visible frame is 7 px
    // (11 px at 144 DPI) in from its left edge, and the pin stands above that corner.
    const Case cases[] = {
        {"new record", 96, {}, {127, 168, 179, 230}, {100, 200, 500, 600}},
        // At the monitor's top the pin stays on the monitor, over the window's caption.
        {"stored target rectangle", 96, {10, 10, 400, 300}, {37, 0, 89, 62}, {10, 10, 400, 300}},
        {"new record at 144 DPI", 144, {}, {141, 152, 219, 246}, {100, 200, 500, 600}},
        {"stored rectangle at 144 DPI", 144, {10, 10, 400, 300}, {51, 0, 129, 94}, {10, 10, 400, 300}},
        {"stored rectangle below the monitor",
         96,
         {1100, 1080, 1500, 1330},
         {127, 168, 179, 230},
         {100, 200, 500, 600}},
        {"stored rectangle whose caption strip shows less than a pin",
         96,
         {1890, 10, 2290, 300},
         {127, 168, 179, 230},
         {100, 200, 500, 600}},
        {"stored rectangle whose caption strip is cut by the bottom",
         96,
         {100, 1019, 500, 1300},
         {127, 168, 179, 230},
         {100, 200, 500, 600}},
        {"stored rectangle whose caption strip shows a pin's width",
         96,
         {1868, 10, 2268, 300},
         {1868, 0, 1920, 62},
         {1868, 10, 2268, 300}},
    };
    const MonitorRecord monitor = desktop.enumerateMonitors().front();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MonitorRecord scaled = monitor;
        scaled.dpi = c.dpi;
        desktop.setMonitors({scaled});
        CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
        CPinData pinned = record;
        pinned.m_rectTarget = c.rectTarget;
        pinned.StartPin(factory, target);
        ASSERT_EQ(pinned.pinDlg(), factory.last);
        EXPECT_EQ(factory.owners.back(), target);
        EXPECT_EQ(factory.last->pinRect(), c.pin);
        EXPECT_EQ(factory.last->m_rectTarget, c.held);
        // The first tick of the hold timer puts the window at the held rectangle.
        factory.last->hold();
        EXPECT_EQ(desktop.windowRect(target), c.held);
        pinned.EndPin(factory);
        desktop.setRect(target, Rect{100, 200, 500, 600});
    }
}

TEST_F(PinStartEndTest, APinComesBackOnItsTargetsCornerWhereverItsWindowWasMoved) {
    // Where the system cannot tell the visible frame, the corner is the window rectangle's.
    desktop.framesKnown = false;
    record.StartPin(factory, target);
    // A display change moves the pin window but not the target, and the pin ends before its
    // hold could put it back.
    desktop.setRect(factory.last->pinHandle(), Rect{700, 50, 752, 112});
    record.EndPin(factory);
    record.StartPin(factory, target);
    EXPECT_EQ(factory.last->pinRect(), (Rect{120, 168, 172, 230}));
}

TEST_F(PinStartEndTest, SettingsAreHandedOverBeforeAttachingAndShownLast) {
    record.m_transFlag = 1;
    record.m_trans = 50;
    record.m_zOrder = 1;
    record.StartPin(factory, target);
    EXPECT_EQ(record.m_pinned, 1);
    EXPECT_EQ(record.m_hTarget, target);
    std::vector<FakeCall> onTarget = desktop.calls();
    std::erase_if(onTarget, [this](const FakeCall& call) { return call.window != target; });
    EXPECT_EQ(onTarget, (std::vector<FakeCall>{
                            {.kind = Kind::setExStyle, .window = target, .value = style::kExLayered},
                            {.kind = Kind::setLayeredAttributes,
                             .window = target,
                             .layered = {.colorKey = 0xFFFFFF, .alpha = 127, .flags = style::kLayeredAlpha}},
                            {.kind = Kind::setTopmost, .window = target, .flag = true}}));
    EXPECT_TRUE(log().shown);
    EXPECT_EQ(CPinDlg::holdingPins(), std::vector<WinHandle>{factory.last->pinHandle()});
    EXPECT_EQ(traces, "●●StartPin! title=Memo\n");
}

TEST_F(PinStartEndTest, EndTakesBackWhatThePinWindowKnew) {
    CFakePinController controller;
    controller.move = 1;
    record.StartPin(factory, target);
    CFakePinWindow& pin = *factory.last;
    const WinHandle pinWindow = pin.pinHandle();
    pin.OnCommand(IDM_ZORDER_TOPMOST);
    pin.m_transFlag = 1;
    pin.m_trans = 40;
    pin.OnLButtonDown();
    pin.OnDragBy(180, 132);
    traces.clear();

    record.EndPin(factory);
    EXPECT_EQ(traces, "EndPin! title=Memo\n■■m_rectWin.top=300, m_rectWin.left=307\n");
    EXPECT_EQ(record.m_rectTarget, (Rect{280, 332, 680, 732}));
    EXPECT_EQ(record.m_zOrder, 1);
    EXPECT_EQ(record.m_transFlag, 1);
    EXPECT_EQ(record.m_trans, 40);
    EXPECT_EQ(record.m_pinned, 0);
    EXPECT_EQ(record.m_hTarget, kNoWindow);
    EXPECT_EQ(record.pinDlg(), nullptr);
    EXPECT_TRUE(log().destroyed);
    EXPECT_FALSE(desktop.isWindow(pinWindow));
    EXPECT_EQ(controller.updates, 1);

    // Pinned again in the same run, the pin comes back where it was.
    record.StartPin(factory, target);
    EXPECT_EQ(factory.last->pinRect(), (Rect{307, 300, 359, 362}));
}

TEST_F(PinStartEndTest, EndWithoutAControllerStillEnds) {
    record.StartPin(factory, target);
    record.EndPin(factory);
    EXPECT_EQ(record.m_pinned, 0);
    EXPECT_TRUE(log().destroyed);
}

TEST_F(PinStartEndTest, CallsInTheWrongStateDoNothing) {
    CFakePinController controller;
    record.EndPin(factory);
    EXPECT_EQ(traces, "");
    EXPECT_EQ(controller.updates, 0);

    record.StartPin(factory, target);
    traces.clear();
    desktop.clearCalls();
    record.StartPin(factory, desktop.addAppWindow("Other", "other.exe", "C:\\other.exe"));
    EXPECT_EQ(traces, "");
    EXPECT_EQ(factory.made.size(), 1u);
    EXPECT_EQ(record.m_hTarget, target);
    EXPECT_TRUE(desktop.calls().empty());
}

TEST_F(PinStartEndTest, APinWindowTheSystemRefusedLeavesTheRecordUnpinnedToBeTriedAgain) {
    CFakePinController controller;
    factory.refuse = true;
    record.StartPin(factory, target);
    EXPECT_EQ(record.m_pinned, 0);
    EXPECT_EQ(record.m_hTarget, kNoWindow);
    EXPECT_EQ(record.pinDlg(), nullptr);
    record.StartPin(factory, target);
    EXPECT_EQ(record.m_pinned, 1);
    EXPECT_EQ(record.pinDlg(), factory.last);
}

}  // namespace
