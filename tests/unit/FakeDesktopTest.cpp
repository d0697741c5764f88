// The fake desktop is what every other test stands on: these pin down the parts of its world
// that must behave like the system's.
#include "fake/FakeDesktop.h"

#include "base/Trace.h"
#include "desktop/MultiDisplay.h"

#include <gtest/gtest.h>

namespace {

TEST(CFakeDesktop, TopmostWindowsLeadTheZOrder) {
    CFakeDesktop d;
    const WinHandle a = d.addWindow({.title = "a"});
    const WinHandle b = d.addWindow({.title = "b"});
    const WinHandle c = d.addWindow({.title = "c"});
    d.setTopmost(c, true, Activation::none);
    d.bringToTop(b);
    EXPECT_EQ(d.topLevelWindows(), (std::vector<WinHandle>{c, b, a}));
    EXPECT_TRUE(d.exStyle(c) & style::kExTopmost);
    d.setTopmost(c, false, Activation::none);
    EXPECT_EQ(d.topLevelWindows().front(), c);
    EXPECT_FALSE(d.exStyle(c) & style::kExTopmost);
}

TEST(CFakeDesktop, AZOrderChangeActivatesUnlessAskedNot) {
    CFakeDesktop d;
    const WinHandle typing = d.addWindow({.title = "typing"});
    const WinHandle other = d.addWindow({.title = "other"});
    d.setForegroundWindow(typing);
    d.setTopmost(other, true, Activation::none);
    EXPECT_EQ(d.foregroundWindow(), typing);
    d.setTopmost(other, false, Activation::activates);
    EXPECT_EQ(d.foregroundWindow(), other);
}

TEST(CFakeDesktop, AnElevatedProcessIsReadOnlyWithTheLimitedQuery) {
    CFakeDesktop d;
    const WinHandle h = d.addAppWindow("Admin", "taskmgr.exe", "C:\\taskmgr.exe");
    const std::uint32_t pid = d.windowProcessId(h);
    d.elevate(pid);
    EXPECT_EQ(d.processBaseName(pid, ProcessAccess::full), "");
    EXPECT_EQ(d.processImagePath(pid, ProcessAccess::full), "");
    EXPECT_EQ(d.processBaseName(pid, ProcessAccess::limited), "taskmgr.exe");
    EXPECT_EQ(d.processImagePath(pid, ProcessAccess::limited), "C:\\taskmgr.exe");
}

TEST(CFakeDesktop, StateLivesInTheStyleWord) {
    CFakeDesktop d;
    const WinHandle w = d.addWindow({.title = "w", .enabled = false});
    EXPECT_FALSE(d.isEnabled(w));
    EXPECT_TRUE(d.style(w) & style::kDisabled);
    d.setStyle(w, d.style(w) & ~(style::kDisabled | style::kVisible));
    EXPECT_TRUE(d.isEnabled(w));
    EXPECT_FALSE(d.isVisible(w));

    // Writing back an old style word neither restores a minimised window nor leaves the
    // topmost band.
    const std::uint32_t before = d.style(w);
    d.minimize(w);
    d.setTopmost(w, true, Activation::none);
    d.setStyle(w, before);
    d.setExStyle(w, 0);
    EXPECT_TRUE(d.isIconic(w));
    EXPECT_TRUE(d.exStyle(w) & style::kExTopmost);
}

TEST(CFakeDesktop, MinimisedWindowsLeaveEveryMonitorAndComeBack) {
    CFakeDesktop d;
    const Rect r{10, 20, 300, 200};
    const WinHandle w = d.addWindow({.title = "w", .rect = r});
    d.minimize(w);
    EXPECT_TRUE(d.isIconic(w));
    EXPECT_FALSE(rectOnAnyMonitor(d.enumerateMonitors(), d.windowRect(w)));
    d.restore(w);
    EXPECT_EQ(d.windowRect(w), r);
    d.maximize(w);
    EXPECT_TRUE(d.isZoomed(w));
    EXPECT_EQ(d.windowRect(w), d.workArea());
    d.restore(w);
    EXPECT_EQ(d.windowRect(w), r);
}

TEST(CFakeDesktop, DestroyingAWindowTakesItsDescendantsAlong) {
    CFakeDesktop d;
    const WinHandle w = d.addAppWindow("w", "w.exe", "C:\\w.exe");
    const WinHandle group = d.addChild(w, "Button", 1, "group");
    const WinHandle inner = d.addChild(group, "Edit", 2, "inner");
    EXPECT_EQ(d.windowProcessId(inner), d.windowProcessId(w));
    d.destroyWindow(group);
    EXPECT_FALSE(d.isWindow(inner));
    EXPECT_TRUE(d.descendantWindows(w).empty());
    d.destroyWindow(w);
    EXPECT_TRUE(d.topLevelWindows().empty());
}

TEST(CFakeDesktop, TakenHotKeysFailWith1409) {
    CFakeDesktop d;
    const WinHandle owner = d.addWindow({.title = "panel"});
    d.holdHotKeyElsewhere(8, 'Z');
    std::string traces;
    setTraceSink([&traces](const std::string& line) { traces += line; });
    EXPECT_FALSE(d.registerHotKey(owner, 1000, 8, 'Z'));
    setTraceSink({});
    EXPECT_EQ(traces, "RegisterHotKey() Error=1409\n");
    ASSERT_TRUE(d.registerHotKey(owner, 1000, 8, 'X'));
    // Our own registration holds the combination against a test under another ID, and the
    // ID against a second registration.
    EXPECT_FALSE(d.registerHotKey(owner, 106, 8, 'X'));
    EXPECT_FALSE(d.registerHotKey(owner, 1000, 2, 'Y'));
    d.unregisterHotKey(owner, 1000);
    EXPECT_TRUE(d.registerHotKey(owner, 106, 8, 'X'));
    EXPECT_EQ(d.callsOf(FakeCall::Kind::registerHotKey).size(), 5u);
}

TEST(CFakeDesktop, LayeredAttributesNeedTheLayeredStyle) {
    CFakeDesktop d;
    const WinHandle w = d.addWindow({.title = "w"});
    const LayeredAttributes half{0, 128, style::kLayeredAlpha};
    std::string traces;
    setTraceSink([&traces](const std::string& line) { traces += line; });
    EXPECT_FALSE(d.setLayeredAttributes(w, half));
    setTraceSink({});
    EXPECT_EQ(traces, "SetLayeredWindowAttributes() Error=87\n");
    d.setExStyle(w, d.exStyle(w) | style::kExLayered);
    ASSERT_TRUE(d.setLayeredAttributes(w, half));
    EXPECT_EQ(d.layeredAttributes(w), half);
    d.setExStyle(w, d.exStyle(w) & ~style::kExLayered);
    EXPECT_EQ(d.layeredAttributes(w), std::nullopt);
}

TEST(CFakeDesktop, MessageBoxesAnswerFromTheQueueThenSafely) {
    CFakeDesktop d;
    d.answerQueue = {MsgAnswer::yes};
    EXPECT_EQ(d.appMessageBox(u8"first", MsgButtons::yesNo), MsgAnswer::yes);
    EXPECT_EQ(d.appMessageBox(u8"second", MsgButtons::yesNo), MsgAnswer::no);
    EXPECT_EQ(d.messageBox(kNoWindow, u8"third", u8"caption", MsgButtons::ok, MsgIcon::none), MsgAnswer::ok);
    ASSERT_EQ(d.messageBoxes.size(), 3u);
    EXPECT_EQ(d.messageBoxes[1].icon, MsgIcon::question);
    EXPECT_TRUE(d.messageBoxes[1].appBox);
    EXPECT_FALSE(d.messageBoxes[2].appBox);
}

}  // namespace
