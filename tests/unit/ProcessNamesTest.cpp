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

TEST_F(ProcessNamesTest, AProcessIsReadOnceAndAskedOnceACycleWhetherItHasEnded) {
    desktop.addProcess(pid, "notepad.exe", "C:\\windows\\notepad.exe");
    for (int cycle = 0; cycle < 3; ++cycle) EXPECT_EQ(cycleAsking(pid), "NOTEPAD.EXE");
    EXPECT_EQ(desktop.processBaseNameCalls, 1);
    EXPECT_EQ(desktop.processEndedCalls, 2) << "the first cycle opened it";
    EXPECT_EQ(desktop.heldProcessCount(), 1u);
    // The path is read only when someone wants it, and then once.
    EXPECT_EQ(desktop.processImagePathCalls, 0);
    names.beginCycle();
    EXPECT_EQ(names.imagePath(pid), "C:\\windows\\notepad.exe");
    EXPECT_EQ(names.imagePath(pid), "C:\\windows\\notepad.exe");
    EXPECT_EQ(desktop.processImagePathCalls, 1);
}

// Held open, an ended process keeps its id from every other process until it is let go.
TEST_F(ProcessNamesTest, AnEndedProcessHasNoNamesAndIsLetGoAndItsIdThenNamesAnotherAnew) {
    desktop.addProcess(pid, "notepad.exe", "C:\\windows\\notepad.exe");
    names.beginCycle();
    ASSERT_EQ(names.imagePath(pid), "C:\\windows\\notepad.exe");
    names.endCycle();
    desktop.endProcess(pid);
    names.beginCycle();
    EXPECT_EQ(names.upperBaseName(pid), "");
    EXPECT_EQ(names.imagePath(pid), "");
    names.endCycle();
    EXPECT_EQ(names.size(), 0u);
    EXPECT_EQ(desktop.heldProcessCount(), 0u);

    desktop.addProcess(pid, "calc.exe", "C:\\windows\\calc.exe");
    names.beginCycle();
    EXPECT_EQ(names.upperBaseName(pid), "CALC.EXE");
    EXPECT_EQ(names.imagePath(pid), "C:\\windows\\calc.exe");
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
    EXPECT_EQ(desktop.heldProcessCount(), 1u);
    EXPECT_EQ(cycleAsking(other), "CALC.EXE");
    EXPECT_EQ(desktop.processBaseNameCalls, 3);
}

TEST_F(ProcessNamesTest, EveryProcessHeldIsLetGoWithTheNames) {
    desktop.addProcess(pid, "notepad.exe", "C:\\windows\\notepad.exe");
    {
        CProcessNames kept{desktop};
        kept.beginCycle();
        kept.upperBaseName(pid);
        ASSERT_EQ(desktop.heldProcessCount(), 1u);
    }
    EXPECT_EQ(desktop.heldProcessCount(), 0u);
}

TEST_F(ProcessNamesTest, ANameThatCannotBeReadIsTriedAgain) {
    desktop.addProcess(pid, "", "");
    EXPECT_EQ(cycleAsking(pid), "");
    EXPECT_EQ(cycleAsking(pid), "");
    EXPECT_EQ(desktop.processBaseNameCalls, 4);
}

}  // namespace
