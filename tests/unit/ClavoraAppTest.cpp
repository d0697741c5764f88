#include "app/ClavoraApp.h"

#include "desktop/Trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// "表" is 0x95 0x5C in Shift-JIS: its trail byte is the ASCII backslash.
const std::string kHyou = "\x95\x5C";

TEST(ClavoraApp, OnlyTheExactSwitchTurnsDebugModeOn) {
    EXPECT_TRUE(isDebugSwitch("-D482"));
    for (const char* other : {"-D4821", "-D48", "-d482", "/D482", "D482", "-D482 ", ""}) {
        EXPECT_FALSE(isDebugSwitch(other)) << other;
    }
}

TEST(ClavoraApp, ArgumentsAreTracedAndTheSwitchCountsAnywhereButInArgumentZero) {
    std::string traced;
    setTraceSink([&traced](const std::string& line) { traced += line; });
    EXPECT_FALSE(scanArguments({"-D482"}));
    EXPECT_TRUE(scanArguments({"C:\\Clavora.exe", "x", "-D482", "-D4821"}));
    setTraceSink({});
    EXPECT_EQ(traced, "1番目の引数=x\n2番目の引数=-D482\nDEBUGMODE ON\n3番目の引数=-D4821\n");
}

TEST(ClavoraApp, ProgramDirectoryIsCutAtTheTrueLastSeparator) {
    const CCp932CodePage cp;
    const struct {
        std::string path;
        std::string directory;
    } cases[] = {
        {"C:\\Tools\\Clavora.exe", "C:\\Tools"},
        {"Clavora.exe", ""},
        {"", ""},
        {"C:\\Clavora.exe", "C:"},
        // The trail byte of 表 is no separator, at the end of the directory or of the path.
        {"C:\\" + kHyou + "\\Clavora.exe", "C:\\" + kHyou},
        {"C:\\dir\\" + kHyou, "C:\\dir"},
        {"C:\\a" + kHyou + "b.exe", "C:"},
    };
    for (const auto& c : cases) EXPECT_EQ(programDirectory(cp, c.path), c.directory) << c.path;
}

// The platform side scripted: what start-up asked for, in order.
class CScriptedApp : public CClavoraApp {
public:
    MutexResult mutex = MutexResult::created;
    std::vector<std::string> steps;

protected:
    MutexResult createInstanceMutex() override {
        steps.push_back("mutex");
        return mutex;
    }
    void showDuplicateStartBox() override { steps.push_back("duplicate box"); }
    void openDebugConsole() override { steps.push_back("console"); }
    void discardStandardStreams() override { steps.push_back("null device"); }
    void setWorkingDirectory(const std::string& directory) override { steps.push_back("cd " + directory); }
    void enumerateMonitors() override { steps.push_back("monitors"); }
    void runMainWindow() override { steps.push_back("main window"); }
    void releaseMonitors() override { steps.push_back("release monitors"); }
    void detachConsole() override { steps.push_back("detach"); }
    void pause(unsigned ms) override { steps.push_back("pause " + std::to_string(ms)); }
    const CCodePage& codePage() override { return m_cp; }

private:
    CCp932CodePage m_cp;
};

class ClavoraAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([this](const std::string& line) { traced += line; });
    }
    void TearDown() override { setTraceSink({}); }

    CScriptedApp app;
    std::string traced;
};

TEST_F(ClavoraAppTest, NormalRunDiscardsTheTraceAndRunsTheMainWindowFromTheProgramsDirectory) {
    EXPECT_FALSE(app.InitInstance({"C:\\Tools\\Clavora.exe"}));
    EXPECT_EQ(app.steps, (std::vector<std::string>{"mutex", "null device", "cd C:\\Tools", "monitors",
                                                   "main window", "release monitors"}));
    EXPECT_EQ(app.currentDirectory(), "C:\\Tools");
    EXPECT_EQ(traced, "********** Start Velnote DEBUG MODE  *******\nCurrentDir=C:\\Tools");
}

TEST_F(ClavoraAppTest, DebugRunOpensAConsoleAndLingersAfterDetachingIt) {
    EXPECT_FALSE(app.InitInstance({"Clavora.exe", "-D482"}));
    EXPECT_EQ(app.steps, (std::vector<std::string>{"mutex", "console", "cd ", "monitors", "main window",
                                                   "release monitors", "detach", "pause 1000"}));
    EXPECT_EQ(app.debugMode(), 1);
    EXPECT_NE(traced.find("********** Start Velnote DEBUG MODE  *******\nDEBUG_MODE ON\nCurrentDir="),
              std::string::npos);
}

TEST_F(ClavoraAppTest, ASecondInstanceOnlyShowsTheBoxAndAFailedMutexNothing) {
    app.mutex = CClavoraApp::MutexResult::alreadyExists;
    EXPECT_TRUE(app.InitInstance({"C:\\Clavora.exe", "-D482"}));
    EXPECT_EQ(app.steps, (std::vector<std::string>{"mutex", "duplicate box"}));
    EXPECT_EQ(traced, "");

    CScriptedApp failing;
    failing.mutex = CClavoraApp::MutexResult::failed;
    EXPECT_TRUE(failing.InitInstance({"C:\\Clavora.exe"}));
    EXPECT_EQ(failing.steps, (std::vector<std::string>{"mutex"}));
}

}  // namespace
