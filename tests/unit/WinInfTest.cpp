#include "pins/WinInf.h"

#include "fake/FakeDesktop.h"

#include <gtest/gtest.h>

namespace {

class WinInfTest : public ::testing::Test {
protected:
    CWinInf describe(WinHandle h) {
        CWinInf win(desktop);
        win.m_hWnd = h;
        return win;
    }

    CFakeDesktop desktop;
    WinHandle frame = desktop.addAppWindow("Target", "target.exe", "C:\\target.exe");
};

TEST_F(WinInfTest, FindChildTakesTheFirstOfTwoWithTheSamePair) {
    const WinHandle first = desktop.addChild(frame, "Edit", 5, "first");
    desktop.addChild(frame, "Edit", 5, "second");
    CWinInf win = describe(frame);
    win.collectChildren();

    CChildWinInf found;
    ASSERT_TRUE(win.findChild("Edit", 5, found));
    EXPECT_EQ(found.m_hWnd, first);
    EXPECT_EQ(found.m_text, "first");
}

TEST_F(WinInfTest, FindChildComparesClassCaseSensitivelyAndLeavesOutAloneWhenMissing) {
    desktop.addChild(frame, "EDIT", 5, "upper");
    CWinInf win = describe(frame);
    win.collectChildren();

    CChildWinInf out;
    out.m_text = "untouched";
    EXPECT_FALSE(win.findChild("Edit", 5, out));
    EXPECT_FALSE(win.findChild("EDIT", 6, out));
    EXPECT_EQ(out.m_text, "untouched");
}

TEST_F(WinInfTest, ChildrenAreCollectedOnceForTheLifeOfTheDescription) {
    desktop.addChild(frame, "Button", 1, "one");
    CWinInf win = describe(frame);
    win.collectChildren();
    desktop.addChild(frame, "Button", 2, "two");
    win.collectChildren();

    EXPECT_EQ(win.m_childrenCollected, 1);
    EXPECT_EQ(win.m_children.size(), 1u);
    EXPECT_EQ(desktop.descendantWalks, 1);
}

TEST_F(WinInfTest, AGoneWindowIsNotCollectedAndMayBeAskedAgain) {
    CWinInf win = describe(frame);
    desktop.destroyWindow(frame);
    win.collectChildren();
    EXPECT_EQ(win.m_childrenCollected, 0);
    EXPECT_EQ(desktop.descendantWalks, 0);

    CWinInf withoutDesktop;
    withoutDesktop.m_hWnd = frame;
    withoutDesktop.collectChildren();
    EXPECT_EQ(withoutDesktop.m_childrenCollected, 0);
}

TEST_F(WinInfTest, AWindowWhoseProgramDoesNotAnswerIsAskedOnceAndNotCollected) {
    desktop.addChild(frame, "Button", 1, "one");
    desktop.setHung(frame, true);
    CWinInf win = describe(frame);
    win.collectChildren();
    win.collectChildren();
    EXPECT_FALSE(win.answers());
    EXPECT_EQ(win.m_childrenCollected, 0);
    EXPECT_EQ(desktop.answersCalls, 1);
    EXPECT_EQ(desktop.controlTextCalls, 0);

    // The next cycle's description asks again, and collects once the program answers.
    desktop.setHung(frame, false);
    CWinInf next = describe(frame);
    next.collectChildren();
    EXPECT_EQ(next.m_childrenCollected, 1);
    EXPECT_EQ(next.m_children.size(), 1u);
}

}  // namespace
