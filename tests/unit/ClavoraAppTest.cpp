#include "app/ClavoraApp.h"

#include "base/Trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 表 in Shift-JIS ends in the byte of '\'; in UTF-8 no byte of it is one.
const std::string kHyou = "表";

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
    const struct {
        std::string path;
        std::string directory;
    } cases[] = {
        {"C:\\Tools\\Clavora.exe", "C:\\Tools"},
        {"Clavora.exe", ""},
        {"", ""},
        {"C:\\Clavora.exe", "C:"},
        {"C:\\" + kHyou + "\\Clavora.exe", "C:\\" + kHyou},
        {"C:\\dir\\" + kHyou, "C:\\dir"},
        {"C:\\a" + kHyou + "b.exe", "C:"},
    };
    for (const auto& c : cases) EXPECT_EQ(programDirectory(c.path), c.directory) << c.path;
    EXPECT_EQ(programDirectory(L"C:\\도구\\表\\Clavora.exe"), L"C:\\도구\\表");
    EXPECT_EQ(programDirectory(L"Clavora.exe"), L"");
    // UTF-8 is cut at its own last '\', not where a Shift-JIS reading would put it: that reading
    // takes the last byte of 음 (EC 9D 8C) for a lead byte and the '\' for its trail byte.
    EXPECT_EQ(programDirectory("C:\\도구 모음\\Clavora.exe"), "C:\\도구 모음");
    EXPECT_EQ(programDirectory("Clavora.exe"), "");
}

}  // namespace
