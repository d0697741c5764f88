#include "pins/ChildWinInf.h"

#include "fake/FakeDesktop.h"

#include <gtest/gtest.h>

namespace {

class ChildWinInfTest : public ::testing::Test {
protected:
    std::vector<std::string> texts(const CChildWinInfList& list) {
        std::vector<std::string> out;
        for (const CChildWinInf& c : list) out.push_back(c.m_text);
        return out;
    }

    CFakeDesktop desktop;
    WinHandle frame = desktop.addAppWindow("Target", "target.exe", "C:\\target.exe");
    CChildWinInfList list;
};

TEST_F(ChildWinInfTest, RecordsOnlyVisibleEnabledChildrenWithText) {
    desktop.addChild(frame, "Button", 1, "hidden", false, true);
    desktop.addChild(frame, "Button", 2, "disabled", true, false);
    desktop.addChild(frame, "Edit", 3, "");
    const WinHandle hung = desktop.addChild(frame, "Static", 4, "hung");
    desktop.setHung(hung, true);
    // A visible control inside a hidden panel is not visible either.
    const WinHandle hiddenPanel = desktop.addChild(frame, "Panel", 5, "panel", false, true);
    desktop.addChild(hiddenPanel, "Button", 6, "inside hidden panel");
    const WinHandle ok = desktop.addChild(frame, "Button", 7, "OK");

    collectChildWindows(desktop, list, frame);

    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].m_hWnd, ok);
    EXPECT_EQ(list[0].m_className, "Button");
    EXPECT_EQ(list[0].m_ctrlID, 7);
    EXPECT_EQ(list[0].m_text, "OK");
    EXPECT_EQ(list[0].m_info.window, desktop.windowRect(ok));
}

TEST_F(ChildWinInfTest, GrandchildrenFollowTheirParentInWalkOrder) {
    const WinHandle group = desktop.addChild(frame, "Button", 10, "group");
    desktop.addChild(group, "Button", 11, "inner 1");
    const WinHandle inner = desktop.addChild(group, "Static", 12, "");
    desktop.addChild(inner, "Edit", 13, "deep");
    desktop.addChild(frame, "Button", 20, "after group");

    collectChildWindows(desktop, list, frame);

    EXPECT_EQ(texts(list), (std::vector<std::string>{"group", "inner 1", "deep", "after group"}));
}

TEST_F(ChildWinInfTest, CollectingAppendsAndAGoneParentAddsNothing) {
    desktop.addChild(frame, "Button", 1, "one");
    collectChildWindows(desktop, list, frame);
    collectChildWindows(desktop, list, frame);
    EXPECT_EQ(list.size(), 2u);

    desktop.destroyWindow(frame);
    collectChildWindows(desktop, list, frame);
    EXPECT_EQ(list.size(), 2u);
}

TEST_F(ChildWinInfTest, TextAndClassNameAreCutAt510Bytes) {
    desktop.addChild(frame, std::string(600, 'C'), 1, std::string(600, 't'));
    collectChildWindows(desktop, list, frame);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].m_text.size(), 510u);
    EXPECT_EQ(list[0].m_className.size(), 510u);
}

TEST_F(ChildWinInfTest, PairCountIgnoresTextAndComparesClassExactly) {
    desktop.addChild(frame, "Button", 1, "first");
    desktop.addChild(frame, "Button", 1, "second");
    desktop.addChild(frame, "Button", 2, "other id");
    desktop.addChild(frame, "BUTTON", 1, "other case");
    collectChildWindows(desktop, list, frame);

    struct Case {
        const char* className;
        int id;
        int count;
    };
    for (const Case& c : {Case{"Button", 1, 2}, Case{"Button", 2, 1}, Case{"BUTTON", 1, 1},
                          Case{"Button", 3, 0}, Case{"", 1, 0}}) {
        EXPECT_EQ(countChildPair(list, c.className, c.id), c.count) << c.className << " " << c.id;
    }
}

}  // namespace
