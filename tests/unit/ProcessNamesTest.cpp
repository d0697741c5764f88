#include "pins/ProcessNames.h"

#include "fake/FakeDesktop.h"

#include <gtest/gtest.h>

namespace {

class ProcessNamesTest : public ::testing::Test {
protected:
    // One cycle that asks for pid's base name twice, as two windows of one program would.
    std::string cycleAsking(std::uint32_t pid) {
        names.beginCycle();
        names.upperBaseName(pid);
        std::string name = names.upperBaseName(pid);
        names.endCycle();
        return name;
    }

    CFakeDesktop desktop;
    CProcessNames names{desktop};
    std::uint32_t pid = desktop.newProcessId();
};

TEST_F(ProcessNamesTest, AProcessIsReadOnceAndAskedOnceACycleWhetherItIsStillThere) {
    desktop.addProcess(pid, "notepad.exe", "C:\\windows\\notepad.exe");
    for (int cycle = 0; cycle < 3; ++cycle) EXPECT_EQ(cycleAsking(pid), "NOTEPAD.EXE");
    EXPECT_EQ(desktop.processBaseNameCalls, 1);
    EXPECT_EQ(desktop.processStartTimeCalls, 3);
    // The path is read only when someone wants it, and then once.
    EXPECT_EQ(desktop.processImagePathCalls, 0);
    names.beginCycle();
    EXPECT_EQ(names.imagePath(pid), "C:\\windows\\notepad.exe");
    EXPECT_EQ(names.imagePath(pid), "C:\\windows\\notepad.exe");
    EXPECT_EQ(desktop.processImagePathCalls, 1);
}

TEST_F(ProcessNamesTest, AnIdGivenToAnotherProcessNeverGivesTheOldNames) {
    desktop.addProcess(pid, "notepad.exe", "C:\\windows\\notepad.exe");
    names.beginCycle();
    ASSERT_EQ(names.imagePath(pid), "C:\\windows\\notepad.exe");
    names.endCycle();

    desktop.endProcess(pid);
    desktop.addProcess(pid, "calc.exe", "C:\\windows\\calc.exe");
    names.beginCycle();
    EXPECT_EQ(names.upperBaseName(pid), "CALC.EXE");
    EXPECT_EQ(names.imagePath(pid), "C:\\windows\\calc.exe");
}

TEST_F(ProcessNamesTest, AnEndedProcessHasNoNamesAndIsForgotten) {
    desktop.addProcess(pid, "notepad.exe", "C:\\windows\\notepad.exe");
    ASSERT_EQ(cycleAsking(pid), "NOTEPAD.EXE");
    desktop.endProcess(pid);
    names.beginCycle();
    EXPECT_EQ(names.upperBaseName(pid), "");
    EXPECT_EQ(names.imagePath(pid), "");
    names.endCycle();
    EXPECT_EQ(names.size(), 0u);
}

TEST_F(ProcessNamesTest, AProcessNoWindowAskedForIsForgottenAndReadAgainLater) {
    desktop.addProcess(pid, "notepad.exe", "C:\\windows\\notepad.exe");
    const std::uint32_t other = desktop.newProcessId();
    desktop.addProcess(other, "calc.exe", "C:\\windows\\calc.exe");
    names.beginCycle();
    names.upperBaseName(pid);
    names.upperBaseName(other);
    names.endCycle();
    ASSERT_EQ(names.size(), 2u);

    ASSERT_EQ(cycleAsking(pid), "NOTEPAD.EXE");
    EXPECT_EQ(names.size(), 1u);
    EXPECT_EQ(cycleAsking(other), "CALC.EXE");
    EXPECT_EQ(desktop.processBaseNameCalls, 3);
}

TEST_F(ProcessNamesTest, ANameThatCannotBeReadIsTriedAgain) {
    desktop.addProcess(pid, "", "");
    EXPECT_EQ(cycleAsking(pid), "");
    EXPECT_EQ(cycleAsking(pid), "");
    EXPECT_EQ(desktop.processBaseNameCalls, 4);
}

}  // namespace
