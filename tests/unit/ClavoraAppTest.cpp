#include "app/ClavoraApp.h"

#include "base/Trace.h"

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

TEST(ClavoraApp, TheProgramDirectoryBecomesCurrentAndIsTracedAsAWholeLine) {
    const CCp932CodePage cp;
    std::string traced;
    std::vector<std::string> entered;
    setTraceSink([&traced](const std::string& line) { traced += line; });
    const auto enter = [&entered](const std::string& directory) { entered.push_back(directory); };
    enterProgramDirectory(cp, {"C:\\Tools\\Clavora.exe", "-D482"}, enter);
    enterProgramDirectory(cp, {}, enter);
    setTraceSink({});
    EXPECT_EQ(entered, (std::vector<std::string>{"C:\\Tools", ""}));
    EXPECT_EQ(traced, "CurrentDir=C:\\Tools\nCurrentDir=\n");
}

}  // namespace
