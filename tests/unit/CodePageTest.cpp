#include "desktop/CodePage.h"

#include <gtest/gtest.h>

namespace {

const CCp932CodePage cp;

// "表" is 0x95 0x5C in Shift-JIS: its trail byte is the ASCII backslash.
const std::string kHyou = "\x95\x5C";
// "ア" full-width katakana, 0x83 0x41: its trail byte is ASCII 'A'.
const std::string kA = "\x83\x41";

TEST(MultiByte, PartNeverMatchesStartingOnTrailByte) {
    EXPECT_FALSE(mbContains(cp, kA, "A"));
    EXPECT_TRUE(mbContains(cp, kA + "A", "A"));
    EXPECT_EQ(mbFind(cp, kA + "A", "A"), 2u);
    EXPECT_FALSE(mbContains(cp, kHyou, "\\"));
}

TEST(MultiByte, EmptyPartOccursEverywhere) {
    EXPECT_EQ(mbFind(cp, "", ""), 0u);
    EXPECT_TRUE(mbContains(cp, "Memo", ""));
}

TEST(MultiByte, PartSearchIsCaseSensitive) {
    EXPECT_FALSE(mbContains(cp, "Memo", "memo"));
    EXPECT_TRUE(mbContains(cp, "My Memo pad", "Memo"));
}

TEST(MultiByte, LastSeparatorSkipsTrailBytes) {
    const std::string path = "C:\\" + kHyou + "\\Clavora.exe";
    EXPECT_EQ(mbFindLast(cp, path, '\\'), 5u);
    EXPECT_EQ(mbFindLast(cp, "C:\\" + kHyou, '\\'), 2u);
    EXPECT_EQ(mbFindLast(cp, "Clavora.exe", '\\'), std::string_view::npos);
}

TEST(MultiByte, LoneLeadByteAtEndStaysInsideTheString) {
    const std::string lone = "ab\x95";
    EXPECT_EQ(mbCharLength(cp, lone, 2), 1u);
    EXPECT_EQ(mbFind(cp, lone, "\x95"), 2u);
    EXPECT_EQ(mbFind(cp, lone, "\x95\x5C"), std::string_view::npos);
    EXPECT_EQ(mbFindLast(cp, "\x95", '\\'), std::string_view::npos);
    EXPECT_EQ(mbUpper(cp, lone), "AB\x95");
}

TEST(MultiByte, UpperCaseLeavesDoubleByteCharactersAlone) {
    // 0x82 0x61 is a full-width letter whose trail byte is ASCII 'a'.
    EXPECT_EQ(mbUpper(cp, "notepad.exe"), "NOTEPAD.EXE");
    EXPECT_EQ(mbUpper(cp, "\x82\x61x"), "\x82\x61X");
    EXPECT_EQ(mbUpper(cp, kHyou + "a"), kHyou + "A");
}

}  // namespace
