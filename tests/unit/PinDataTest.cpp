#include "pins/PinData.h"

#include "fake/FakeDesktop.h"

#include <gtest/gtest.h>

namespace {

CWinInf window(const std::string& exeName, const std::string& title,
               const std::string& exePath = "C:\\new.exe") {
    CWinInf win;
    win.m_exeName = exeName;
    win.m_title = title;
    win.m_exePath = exePath;
    return win;
}

struct MatchCase {
    const char* what;
    int processFlag;
    int titleFlag;
    int fullFlag;
    const char* exeName;
    const char* title;
    const char* titlePart;
    const char* windowExe;
    const char* windowTitle;
    bool matches;
    // The record's path afterwards: the window's once the process test has passed.
    const char* exePathAfter;
};

const MatchCase kMatchCases[] = {
    {"process alone ignores the title", 1, 0, 1, "NOTEPAD.EXE", "", "", "NOTEPAD.EXE", "any title", true,
     "C:\\new.exe"},
    {"other process", 1, 0, 1, "NOTEPAD.EXE", "", "", "CALC.EXE", "", false, "C:\\old.exe"},
    {"process names compare exactly", 1, 0, 1, "notepad.exe", "", "", "NOTEPAD.EXE", "", false,
     "C:\\old.exe"},
    {"process passes, title fails: path still taken", 1, 1, 1, "NOTEPAD.EXE", "Memo", "", "NOTEPAD.EXE",
     "Other", false, "C:\\new.exe"},
    {"whole title equal", 0, 1, 1, "", "Untitled - Notepad", "", "X.EXE", "Untitled - Notepad", true,
     "C:\\old.exe"},
    {"whole title with a trailing blank", 0, 1, 1, "", "Untitled - Notepad", "", "X.EXE",
     "Untitled - Notepad ", false, "C:\\old.exe"},
    {"whole title ignores the part", 0, 1, 1, "", "Whole", "Part", "X.EXE", "Part", false, "C:\\old.exe"},
    {"empty part occurs in an empty title", 0, 1, 0, "", "", "", "X.EXE", "", true, "C:\\old.exe"},
    {"part is case-sensitive", 0, 1, 0, "", "", "memo", "X.EXE", "Memo", false, "C:\\old.exe"},
    {"part inside the title", 0, 1, 0, "", "", "Memo", "X.EXE", "My Memo pad", true, "C:\\old.exe"},
    {"part never starts on a trail byte", 0, 1, 0, "", "", "A", "X.EXE", "\x83\x41", false, "C:\\old.exe"},
    {"double-byte part", 0, 1, 0, "", "", "\x83\x41", "X.EXE", "x\x83\x41y", true, "C:\\old.exe"},
    // Titles outside the code page are marked UTF-8 (base/DataText.h).
    {"another Korean title is another title", 0, 1, 1, "", "\xEF\xBB\xBF\xEB\x8F\x84\xEA\xB5\xAC - PuTTY", "",
     "X.EXE", "\xEF\xBB\xBF\xEB\xAC\xB8\xEC\x84\x9C - PuTTY", false, "C:\\old.exe"},
    {"a Korean title is not its ANSI form", 0, 1, 1, "", "\xEF\xBB\xBF\xEB\x8F\x84\xEA\xB5\xAC - PuTTY", "",
     "X.EXE", "?? - PuTTY", false, "C:\\old.exe"},
    {"a typed part across a zero-width space", 0, 1, 0, "", "", "Microsoft Edge", "X.EXE",
     "\xEF\xBB\xBFNew tab - Microsoft\xE2\x80\x8B Edge", true, "C:\\old.exe"},
    {"a whole title keeps its zero-width space", 0, 1, 1, "", "Microsoft Edge", "", "X.EXE",
     "\xEF\xBB\xBFMicrosoft\xE2\x80\x8B Edge", false, "C:\\old.exe"},
    {"title condition off ignores the title", 0, 0, 1, "", "Memo", "", "X.EXE", "Other", true, "C:\\old.exe"},
    {"no condition on matches every window", 0, 0, 0, "NOTEPAD.EXE", "Memo", "x", "", "", true,
     "C:\\old.exe"},
};

TEST(CPinData, MatchTable) {
    for (const MatchCase& c : kMatchCases) {
        CPinData pin;
        pin.m_processFlag = c.processFlag;
        pin.m_titleFlag = c.titleFlag;
        pin.m_fullFlag = c.fullFlag;
        pin.m_exeName = c.exeName;
        pin.m_title = c.title;
        pin.m_titlePart = c.titlePart;
        pin.m_exePath = "C:\\old.exe";
        CWinInf win = window(c.windowExe, c.windowTitle);
        EXPECT_EQ(pin.Match(win), c.matches) << c.what;
        EXPECT_EQ(pin.m_exePath, c.exePathAfter) << c.what;
    }
}

TEST(CPinData, NewRecordMatchesItsWindowByProcessAndWholeTitle) {
    CPinData pin;
    pin.m_exeName = "NOTEPAD.EXE";
    pin.m_title = "Untitled - Notepad";
    CWinInf same = window("NOTEPAD.EXE", "Untitled - Notepad");
    CWinInf renamed = window("NOTEPAD.EXE", "Untitled - Notepad*");
    EXPECT_TRUE(pin.Match(same));
    EXPECT_FALSE(pin.Match(renamed));
}

class ExtendedMatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        pin.m_processFlag = 0;
        pin.m_titleFlag = 0;
        pin.m_extentFlag = 1;
        pin.m_exClassName = "Edit";
        pin.m_exCtrlID = 5;
        win.m_hWnd = frame;
    }

    CFakeDesktop desktop;
    WinHandle frame = desktop.addAppWindow("Target", "target.exe", "C:\\target.exe");
    CWinInf win{desktop};
    CPinData pin;
};

TEST_F(ExtendedMatchTest, WholeOrPartOfTheChildText) {
    desktop.addChild(frame, "Edit", 5, "order 1234");
    pin.m_exText = "order 1234";
    EXPECT_TRUE(pin.Match(win));
    pin.m_exText = "order";
    EXPECT_FALSE(pin.Match(win));
    pin.m_exFullFlag = 0;
    pin.m_exPart = "123";
    EXPECT_TRUE(pin.Match(win));
    pin.m_exPart = "999";
    EXPECT_FALSE(pin.Match(win));
}

TEST_F(ExtendedMatchTest, AChildTextOutsideTheCodePageIsReadWhole) {
    desktop.addChild(frame, "Edit", 5, "\xEF\xBB\xBF\xEB\xAC\xB8\xEC\x84\x9C 1234");  // 문서 1234
    pin.m_exText = "\xEF\xBB\xBF\xEB\x8F\x84\xEA\xB5\xAC 1234";                       // 도구 1234
    EXPECT_FALSE(pin.Match(win));
    pin.m_exFullFlag = 0;
    pin.m_exPart = "\xEF\xBB\xBF\xEB\xAC\xB8\xEC\x84\x9C";
    EXPECT_TRUE(pin.Match(win));
}

TEST_F(ExtendedMatchTest, OnlyTheFirstChildWithThePairIsTried) {
    desktop.addChild(frame, "Edit", 5, "wrong");
    desktop.addChild(frame, "Edit", 5, "right");
    pin.m_exText = "right";
    EXPECT_FALSE(pin.Match(win));
}

TEST_F(ExtendedMatchTest, NoChildWithThePairOrAHungChildFails) {
    desktop.addChild(frame, "Edit", 6, "text");
    const WinHandle hung = desktop.addChild(frame, "Edit", 5, "text");
    desktop.setHung(hung, true);
    pin.m_exFullFlag = 0;
    EXPECT_FALSE(pin.Match(win));
}

TEST_F(ExtendedMatchTest, AnEmptyClassNameFindsNoChild) {
    // A child whose class could not be read must not satisfy a condition without a class.
    desktop.addChild(frame, "", 0, "text");
    pin.m_exClassName = "";
    pin.m_exCtrlID = 0;
    pin.m_exFullFlag = 0;
    EXPECT_FALSE(pin.Match(win));
}

TEST_F(ExtendedMatchTest, ChildrenAreReadOnlyWhenNeededAndOncePerDescription) {
    desktop.addChild(frame, "Edit", 5, "text");
    pin.m_exText = "text";

    CPinData plain = pin;
    plain.m_extentFlag = 0;
    CPinData otherProcess = pin;
    otherProcess.m_processFlag = 1;
    otherProcess.m_exeName = "OTHER.EXE";
    EXPECT_TRUE(plain.Match(win));
    EXPECT_FALSE(otherProcess.Match(win));
    EXPECT_EQ(desktop.descendantWalks, 0);

    CPinData second = pin;
    EXPECT_TRUE(pin.Match(win));
    EXPECT_TRUE(second.Match(win));
    EXPECT_EQ(desktop.descendantWalks, 1);
}

}  // namespace
