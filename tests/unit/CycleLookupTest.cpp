// The pinning cycle's shortcuts: process names kept from cycle to cycle, and records that look
// only at their own program's windows. Each must leave the cycle's outcome as it would be
// without it.
#include "base/Trace.h"
#include "desktop/MultiDisplay.h"
#include "fake/FakeControlPanel.h"

#include <gtest/gtest.h>

namespace {

class CycleLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([](const std::string&) {});
        CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
    }
    void TearDown() override {
        factory.destroyAlive();
        setTraceSink({});
        CMultiDisplay::ReleaseMultiDisplay();
    }

    static CPinData record(const std::string& exeName, const std::string& title) {
        CPinData pin;
        pin.m_exeName = exeName;
        pin.m_title = title;
        return pin;
    }

    CFakeDesktop desktop;
    CFakePinFactory factory{desktop};
    CFakeControlPanel panel{desktop, factory};
};

TEST_F(CycleLookupTest, AProgramsNamesAreReadOnceForAllItsWindowsAndCycles) {
    const std::uint32_t pid = desktop.newProcessId();
    desktop.addProcess(pid, "notepad.exe", "C:\\windows\\notepad.exe");
    desktop.addWindow({.title = "One", .pid = pid});
    desktop.addWindow({.title = "Two", .pid = pid});
    for (int cycle = 0; cycle < 3; ++cycle) panel.runCycle();
    EXPECT_EQ(desktop.processBaseNameCalls, 1);
    EXPECT_EQ(desktop.processImagePathCalls, 1);
    ASSERT_EQ(panel.m_windows.size(), 2u);
    EXPECT_EQ(panel.m_windows[1].m_exeName, "NOTEPAD.EXE");
    EXPECT_EQ(panel.m_windows[1].m_exePath, "C:\\windows\\notepad.exe");
}

TEST_F(CycleLookupTest, APinEndsWhenItsWindowsProcessIdNowNamesAnotherProgram) {
    const std::uint32_t pid = desktop.newProcessId();
    desktop.addProcess(pid, "notepad.exe", "C:\\windows\\notepad.exe");
    const WinHandle h = desktop.addWindow({.title = "Memo", .pid = pid});
    panel.m_pins = {record("NOTEPAD.EXE", "Memo")};
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[0].m_hTarget, h);

    // The id goes to another program only once the cycle has seen the process end and let
    // it go.
    desktop.endProcess(pid);
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
    desktop.addProcess(pid, "calc.exe", "C:\\windows\\calc.exe");
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
    ASSERT_EQ(panel.m_windows.size(), 1u);
    EXPECT_EQ(panel.m_windows[0].m_exeName, "CALC.EXE");
    EXPECT_EQ(panel.m_windows[0].m_exePath, "C:\\windows\\calc.exe");
}

TEST_F(CycleLookupTest, ARecordTakesTheFirstWindowOfItsOwnProgramWhateverComesBefore) {
    const WinHandle calcFirst = desktop.addAppWindow("Memo", "calc.exe", "C:\\calc.exe");
    const WinHandle first = desktop.addAppWindow("Memo", "notepad.exe", "C:\\notepad.exe");
    desktop.addAppWindow("Memo", "calc.exe", "C:\\calc.exe");
    desktop.addAppWindow("Memo", "notepad.exe", "C:\\notepad.exe");
    CPinData byTitleOnly = record("NOTEPAD.EXE", "Memo");
    byTitleOnly.m_processFlag = 0;
    panel.m_pins = {record("NOTEPAD.EXE", "Memo"), byTitleOnly};
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, first);
    // The title alone lets a record see every program's windows: the first one is calc's,
    // free, so it is pinned.
    EXPECT_EQ(panel.m_pins[1].m_hTarget, calcFirst);
}

TEST_F(CycleLookupTest, APinStaysAsItsWindowMovesAmongOtherProgramsWindows) {
    const WinHandle target = desktop.addAppWindow("Memo", "notepad.exe", "C:\\notepad.exe");
    desktop.addAppWindow("Other", "calc.exe", "C:\\calc.exe");
    panel.m_pins = {record("NOTEPAD.EXE", "Memo")};
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[0].m_hTarget, target);
    const int refreshes = panel.refreshes;

    for (int round = 0; round < 3; ++round) {
        desktop.bringToTop(desktop.addAppWindow("New " + std::to_string(round), "calc.exe", "C:\\calc.exe"));
        panel.runCycle();
        EXPECT_EQ(panel.m_pins[0].m_hTarget, target) << round;
    }
    EXPECT_EQ(factory.made.size(), 1u);
    EXPECT_EQ(panel.refreshes, refreshes) << "nothing changed for the list";
}

TEST_F(CycleLookupTest, AWindowOnAMonitorThatWentIsLeftOut) {
    const Rect left{0, 0, 1920, 1080};
    const Rect right{1920, 0, 3840, 1080};
    desktop.setMonitors({MonitorRecord{left, left, 1, "\\\\.\\DISPLAY1", left},
                         MonitorRecord{right, right, 0, "\\\\.\\DISPLAY2", right}});
    CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
    const WinHandle onRight =
        desktop.addAppWindow("Memo", "notepad.exe", "C:\\notepad.exe", {2000, 100, 2600, 500});
    panel.m_pins = {record("NOTEPAD.EXE", "Memo")};
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[0].m_hTarget, onRight);

    // The second monitor is unplugged, and the main window reads the monitors again on the
    // display change: the window lies off every monitor now.
    desktop.setMonitors({MonitorRecord{left, left, 1, "\\\\.\\DISPLAY1", left}});
    CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
    panel.runCycle();
    EXPECT_TRUE(panel.m_windows.empty());
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
}

TEST_F(CycleLookupTest, ADescriptionCarriesNothingOverFromTheLastCycle) {
    const WinHandle target = desktop.addAppWindow("Memo", "notepad.exe", "C:\\notepad.exe");
    const WinHandle status = desktop.addChild(target, "Edit", 15, "ready");
    CPinData extended = record("NOTEPAD.EXE", "Memo");
    extended.m_extentFlag = 1;
    extended.m_exClassName = "Edit";
    extended.m_exCtrlID = 15;
    extended.m_exText = "ready";
    panel.m_pins = {extended};
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[0].m_hTarget, target);
    ASSERT_EQ(panel.m_windows[0].m_childrenCollected, 1);

    desktop.setText(status, "busy");
    panel.buildWindowList();
    EXPECT_EQ(panel.m_windows[0].m_childrenCollected, 0);
    EXPECT_TRUE(panel.m_windows[0].m_children.empty());
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0) << "the child's new text is read";
}

}  // namespace
