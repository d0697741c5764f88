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

// 도구 (no Shift-JIS bytes), メモ (Shift-JIS 83 81 83 82), the zero-width space.
const std::string kToolUtf8 = "\xEB\x8F\x84\xEA\xB5\xAC";
const std::string kDocUtf8 = "\xEB\xAC\xB8\xEC\x84\x9C";  // 문서
const std::string kMemoUtf8 = "\xE3\x83\xA1\xE3\x83\xA2";
const std::string kMemoSjis = "\x83\x81\x83\x82";
const std::string kZwsp = "\xE2\x80\x8B";
const std::string kEmoji = "\xF0\x9F\x98\x80";
const std::string kMark = "\xEF\xBB\xBF";

TEST(DataText, CodePageTextKeepsItsBytesAndOtherTextIsMarkedUtf8) {
    const struct {
        const char* what;
        std::string utf8;
        std::string data;
    } cases[] = {
        {"ASCII", "Untitled - Notepad", "Untitled - Notepad"},
        {"empty", "", ""},
        {"Shift-JIS", kMemoUtf8 + " pad", kMemoSjis + " pad"},
        {"Korean", kToolUtf8 + " - PuTTY", kMark + kToolUtf8 + " - PuTTY"},
        {"an emoji", "Caf\xC3\xA9 " + kEmoji, kMark + "Caf\xC3\xA9 " + kEmoji},
        {"a zero-width space", "Edge" + kZwsp, kMark + "Edge" + kZwsp},
        // U+301C has Shift-JIS bytes one way only: they read back as U+FF5E.
        {"a one-way mapping", "\xE3\x80\x9C", kMark + "\xE3\x80\x9C"},
    };
    for (const auto& c : cases) {
        const std::string data = dataTextFromUtf8(cp, c.utf8);
        EXPECT_EQ(data, c.data) << c.what;
        EXPECT_EQ(dataTextToUtf8(cp, data), c.utf8) << c.what;
    }
    // The titles the ANSI calls made equal ("?? - PuTTY") stay apart.
    EXPECT_NE(dataTextFromUtf8(cp, kToolUtf8), dataTextFromUtf8(cp, kDocUtf8));
    EXPECT_EQ(cp.fromUtf8(kToolUtf8), cp.fromUtf8(kDocUtf8));
}

TEST(DataText, ShiftJisBytesThatStartNoCharacterReadAsQuestionMarks) {
    EXPECT_EQ(cp.toUtf8("a\x95"), "a?");
    EXPECT_EQ(cp.toUtf8(kMemoSjis), kMemoUtf8);
}

TEST(DataText, PartsOfMarkedTextCompareAsUtf8WithoutInvisibleCharacters) {
    const struct {
        const char* what;
        std::string text;
        std::string part;
        bool found;
    } cases[] = {
        {"a typed part in an Edge title", dataTextFromUtf8(cp, "New tab - Microsoft" + kZwsp + " Edge"),
         "Microsoft Edge", true},
        {"every invisible character",
         dataTextFromUtf8(cp,
                          "a\xE2\x80\x8C\xE2\x80\x8D\xE2\x81\xA0\xEF\xBB\xBF"
                          "b"),
         "ab", true},
        {"an invisible character in the part", "ab", dataTextFromUtf8(cp, "a" + kZwsp + "b"), true},
        {"Shift-JIS part in a marked title", dataTextFromUtf8(cp, kToolUtf8 + kMemoUtf8), kMemoSjis, true},
        {"a Korean part", dataTextFromUtf8(cp, kToolUtf8 + " - PuTTY"), dataTextFromUtf8(cp, kToolUtf8),
         true},
        {"another Korean word", dataTextFromUtf8(cp, kToolUtf8 + " - PuTTY"), dataTextFromUtf8(cp, kDocUtf8),
         false},
        {"no '?' stands for a character", dataTextFromUtf8(cp, kToolUtf8), "??", false},
        {"the empty part", dataTextFromUtf8(cp, kToolUtf8), "", true},
        {"still case-sensitive", dataTextFromUtf8(cp, kToolUtf8 + " Memo"), "memo", false},
        // Between code-page texts nothing changes: the part still never starts on a trail byte.
        {"code page alone", kA, "A", false},
    };
    for (const auto& c : cases) EXPECT_EQ(dataTextContains(cp, c.text, c.part), c.found) << c.what;
}

TEST(DataText, ACutKeepsWholeCharactersAndTheCodePageFormWhereItFits) {
    const struct {
        const char* what;
        std::string text;
        std::size_t bufferChars;
        std::string kept;
    } cases[] = {
        {"code page text loses bytes, as the ANSI call cuts", "x" + kMemoSjis, 3, "x\x83"},
        {"marked text keeps UTF-16 units", dataTextFromUtf8(cp, kToolUtf8 + "abc"), 4,
         dataTextFromUtf8(cp, kToolUtf8 + "a")},
        {"an emoji takes two units", dataTextFromUtf8(cp, "a" + kEmoji + "b"), 4,
         dataTextFromUtf8(cp, "a" + kEmoji)},
        {"half an emoji is dropped", dataTextFromUtf8(cp, "a" + kEmoji), 3, "a"},
        {"what is left fits the code page", dataTextFromUtf8(cp, "ab" + kEmoji), 4, "ab"},
        {"and is cut in bytes as well", dataTextFromUtf8(cp, kMemoUtf8 + kEmoji), 4, "\x83\x81\x83"},
        {"no buffer", dataTextFromUtf8(cp, kToolUtf8), 0, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(dataTextCut(cp, c.text, c.bufferChars), c.kept) << c.what;
}

}  // namespace
