#include "pins/ConfigFile.h"

#include "base/Trace.h"
#include "fake/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The file of one pin made with the hotkey and ended once, as the program writes it.
const std::string kExampleFile =
    "[SYSTEM]\r\nPINSIZE=1\r\nMOVEENABLE=0\r\nPNHOTKEY=90\r\nPNMODIFIERS=8\r\nPINNUM=1\r\n"
    "[PINITEM0]\r\nTITLEFLAG=1\r\nPRECESSEFLAG=1\r\nEXTENTFLAG=0\r\nFULLFLAG=1\r\nEXFULLFLAG=1\r\n"
    "TITLE=Untitled - Notepad\r\nEXENAME=NOTEPAD.EXE\r\nEXEPATH=C:\\WINDOWS\\system32\\notepad.exe\r\n"
    "EXTEXT=\r\nTIPART=\r\nEXPART=\r\nZORDER=0\r\nTRSPF=0\r\nTRANS=70\r\n"
    "TGT_TOP=120\r\nTGT_BOTTOM=620\r\nTGT_LEFT=200\r\nTGT_RIGHT=900\r\n";

const std::string kEmptyListFile =
    "[SYSTEM]\r\nPINSIZE=1\r\nMOVEENABLE=0\r\nPNHOTKEY=90\r\nPNMODIFIERS=8\r\nPINNUM=0\r\n";

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "clavora-ini-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        path = (dir / "Clavora.ini").string();
        setTraceSink([this](const std::string& line) { traces += line; });
    }
    void TearDown() override {
        setTraceSink({});
        fs::remove_all(dir);
    }

    void writeFile(const std::string& bytes) { writeFileAt(path, bytes); }
    static void writeFileAt(const std::string& at, const std::string& bytes) {
        std::ofstream(at, std::ios::binary) << bytes;
    }
    std::string readFile() const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void load() { EXPECT_TRUE(loadPinFile(path, settings, pins)); }
    bool save() { return writePinFile(writer, path, settings, pins); }
    // Saves, then loads into fresh settings (loadedSettings) and records.
    std::vector<CPinData> roundTrip() {
        EXPECT_TRUE(save());
        loadedSettings = CPinSettings{};
        std::vector<CPinData> loaded;
        EXPECT_TRUE(loadPinFile(path, loadedSettings, loaded));
        return loaded;
    }

    fs::path dir;
    std::string path;
    std::string traces;
    CWriteIniFile writer;
    CPinSettings settings;
    CPinSettings loadedSettings;
    std::vector<CPinData> pins;
};

TEST_F(ConfigFileTest, TheExampleLoadsToOneRecordAndSavesBackByteForByte) {
    writeFile(kExampleFile);
    load();
    ASSERT_EQ(pins.size(), 1u);
    const CPinData& pin = pins[0];
    EXPECT_EQ(pin.m_rectTarget, (Rect{200, 120, 900, 620}));
    EXPECT_EQ(pin.m_title, "Untitled - Notepad");
    EXPECT_EQ(pin.m_exeName, "NOTEPAD.EXE");
    EXPECT_EQ(pin.m_exePath, "C:\\WINDOWS\\system32\\notepad.exe");
    EXPECT_EQ(pin.m_pinned, 0);

    ASSERT_TRUE(save());
    EXPECT_EQ(readFile(), kExampleFile);
}

TEST_F(ConfigFileTest, EmptyListWritesTheSystemSectionAloneEveryTime) {
    ASSERT_TRUE(save());
    EXPECT_EQ(readFile(), kEmptyListFile);
    ASSERT_TRUE(save());
    EXPECT_EQ(readFile(), kEmptyListFile);
}

TEST_F(ConfigFileTest, MissingSectionsWithinTheCountGiveLoaderDefaults) {
    writeFile(
        "[SYSTEM]\r\nPINNUM=3\r\n[PINITEM0]\r\nTITLE=zero\r\n[PINITEM2]\r\nTITLE=two\r\n"
        "[PINITEM3]\r\nTITLE=beyond the count\r\n");
    load();
    ASSERT_EQ(pins.size(), 3u);
    EXPECT_EQ(pins[0].m_title, "zero");
    EXPECT_EQ(pins[2].m_title, "two");
    const CPinData& gap = pins[1];
    EXPECT_EQ(gap.m_titleFlag, 0);
    EXPECT_EQ(gap.m_processFlag, 0);
    EXPECT_EQ(gap.m_extentFlag, 1);
    EXPECT_EQ(gap.m_fullFlag, 0);
    EXPECT_EQ(gap.m_exFullFlag, 1);
    EXPECT_EQ(gap.m_trans, 70);
    EXPECT_EQ(gap.m_zOrder, 0);
    EXPECT_EQ(gap.m_transFlag, 0);
    EXPECT_EQ(gap.m_title, "");
    EXPECT_EQ(gap.m_exePath, "");
    EXPECT_EQ(gap.m_rectTarget, Rect{});
}

TEST_F(ConfigFileTest, NoFileKeepsTheSettingsAndGivesNoRecords) {
    settings.m_pinSize = 0;
    settings.m_hotKey = 65;
    pins.resize(2);
    EXPECT_TRUE(loadPinFile(path, settings, pins));
    EXPECT_TRUE(pins.empty());
    EXPECT_EQ(traces, "");
    EXPECT_EQ(settings.m_pinSize, 0);
    EXPECT_EQ(settings.m_hotKey, 65);
    EXPECT_EQ(settings.m_moveEnable, 0);
    EXPECT_EQ(settings.m_hotKeyModifiers, 8);
}

TEST_F(ConfigFileTest, EveryKeyedFieldSurvivesASaveAndLoad) {
    settings = CPinSettings{0, 1, 0x70, 6};
    CPinData a;
    a.m_titleFlag = 0;
    a.m_processFlag = 1;
    a.m_fullFlag = 0;
    a.m_extentFlag = 1;
    a.m_exFullFlag = 0;
    a.m_title = "  blanks at both ends  ";
    a.m_titlePart = "\"quoted\"";
    a.m_exeName = "\x83\x81\x83\x82.EXE";
    a.m_exePath = "C:\\\x95\x5C\\x=y;z.exe";
    a.m_exText = "'single' = \"double\"";
    a.m_exPart = "\t";
    a.m_zOrder = 1;
    a.m_transFlag = 1;
    a.m_trans = 35;
    a.m_rectTarget = Rect{-1920, -200, -1000, 400};
    CPinData b;
    b.m_title = "[PINITEM0]";
    b.m_exeName = "B.EXE";
    pins = {a, b};

    const std::vector<CPinData> loaded = roundTrip();
    EXPECT_EQ(loadedSettings.m_pinSize, 0);
    EXPECT_EQ(loadedSettings.m_moveEnable, 1);
    EXPECT_EQ(loadedSettings.m_hotKey, 0x70);
    EXPECT_EQ(loadedSettings.m_hotKeyModifiers, 6);

    ASSERT_EQ(loaded.size(), 2u);
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        const CPinData& in = pins[i];
        const CPinData& out = loaded[i];
        EXPECT_EQ(out.m_titleFlag, in.m_titleFlag);
        EXPECT_EQ(out.m_processFlag, in.m_processFlag);
        EXPECT_EQ(out.m_fullFlag, in.m_fullFlag);
        EXPECT_EQ(out.m_extentFlag, in.m_extentFlag);
        EXPECT_EQ(out.m_exFullFlag, in.m_exFullFlag);
        EXPECT_EQ(out.m_title, in.m_title);
        EXPECT_EQ(out.m_titlePart, in.m_titlePart);
        EXPECT_EQ(out.m_exeName, in.m_exeName);
        EXPECT_EQ(out.m_exePath, in.m_exePath);
        EXPECT_EQ(out.m_exText, in.m_exText);
        EXPECT_EQ(out.m_exPart, in.m_exPart);
        EXPECT_EQ(out.m_zOrder, in.m_zOrder);
        EXPECT_EQ(out.m_transFlag, in.m_transFlag);
        EXPECT_EQ(out.m_trans, in.m_trans);
        EXPECT_EQ(out.m_rectTarget, in.m_rectTarget);
    }
}

TEST_F(ConfigFileTest, TheChildOfAnExtendedConditionIsKeptWhenItHasAClass) {
    CPinData pin;
    pin.m_extentFlag = 1;
    pin.m_exClassName = "Edit";
    pin.m_exCtrlID = -3;
    pins = {pin, CPinData{}};
    const std::vector<CPinData> loaded = roundTrip();
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].m_exClassName, "Edit");
    EXPECT_EQ(loaded[0].m_exCtrlID, -3);
    EXPECT_EQ(readFile().find("EXCLASS="), readFile().rfind("EXCLASS="));
    EXPECT_EQ(loaded[1].m_exClassName, "");
}

TEST_F(ConfigFileTest, AnExtendedRecordWithoutChildKeysLoadsWithoutAChildAndGetsThemLast) {
    writeFile("[SYSTEM]\r\nPINNUM=1\r\n[PINITEM0]\r\nEXTENTFLAG=1\r\nEXTEXT=Ready\r\n");
    load();
    ASSERT_EQ(pins.size(), 1u);
    EXPECT_EQ(pins[0].m_extentFlag, 1);
    EXPECT_EQ(pins[0].m_exText, "Ready");
    EXPECT_EQ(pins[0].m_exClassName, "");
    EXPECT_EQ(pins[0].m_exCtrlID, 0);
    pins[0].m_exClassName = "Static";
    pins[0].m_exCtrlID = 33;
    ASSERT_TRUE(save());
    EXPECT_TRUE(readFile().ends_with("\r\nTGT_RIGHT=0\r\nEXCLASS=Static\r\nEXCTRLID=33\r\n"));
}

TEST_F(ConfigFileTest, ExecutableNamesAreUpperCasedOnLoad) {
    writeFile("[SYSTEM]\r\nPINNUM=1\r\n[PINITEM0]\r\nEXENAME=notepad.exe\r\n");
    load();
    ASSERT_EQ(pins.size(), 1u);
    EXPECT_EQ(pins[0].m_exeName, "NOTEPAD.EXE");
    ASSERT_TRUE(save());
    EXPECT_NE(readFile().find("\r\nEXENAME=NOTEPAD.EXE\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, HandAddedKeysAndSectionsAreDroppedAndKeysReordered) {
    writeFile(
        "; my notes\r\n[SYSTEM]\r\nPINNUM=1\r\nCOLOR=red\r\n[EXTRA]\r\nA=1\r\n"
        "[PINITEM0]\r\nTGT_RIGHT=900\r\nTITLE=Untitled - Notepad\r\nEXENAME=NOTEPAD.EXE\r\n"
        "EXEPATH=C:\\WINDOWS\\system32\\notepad.exe\r\nTITLEFLAG=1\r\nPRECESSEFLAG=1\r\n"
        "EXTENTFLAG=0\r\nFULLFLAG=1\r\nNOTE=mine\r\nTGT_TOP=120\r\nTGT_BOTTOM=620\r\nTGT_LEFT=200\r\n");
    load();
    ASSERT_TRUE(save());
    EXPECT_EQ(readFile(), kExampleFile);
}

TEST_F(ConfigFileTest, NamesMatchInAnyCaseAndAByteOrderMarkIsSkipped) {
    writeFile("\xEF\xBB\xBF[system]\r\n  pinsize = 0\r\nPinNum=1\r\n[pinitem0]\r\ntitle=small\r\n");
    load();
    EXPECT_EQ(settings.m_pinSize, 0);
    ASSERT_EQ(pins.size(), 1u);
    EXPECT_EQ(pins[0].m_title, "small");
}

// Notepad saves UTF-8, with or without its byte-order mark; the program reads and writes the
// ANSI code page (Shift-JIS here), and UTF-8 with its mark only for a text the code page lacks.
TEST_F(ConfigFileTest, AUtf8FileIsReadInTheCodePageAndWrittenBackInIt) {
    const std::string memoSjis = "\x83\x81\x83\x82\x92\xA0";  // メモ帳
    const std::string memoUtf8 = "\xE3\x83\xA1\xE3\x83\xA2\xE5\xB8\xB3";
    const std::string toolUtf8 = "\xEB\x8F\x84\xEA\xB5\xAC";  // 도구: no Shift-JIS bytes
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        const char* what;
        std::string mark;
        std::string value;
        std::string title;
        // The file written back: its first bytes and its title line's value.
        std::string writtenMark;
        std::string writtenValue;
    } cases[] = {
        {"UTF-8 with its mark", bom, memoUtf8, memoSjis, "", memoSjis},
        {"UTF-8 without a mark", "", memoUtf8, memoSjis, "", memoSjis},
        {"a character the code page lacks", "", toolUtf8 + "-" + memoUtf8, bom + toolUtf8 + "-" + memoUtf8,
         bom, toolUtf8 + "-" + memoUtf8},
        {"Shift-JIS, byte for byte", "", memoSjis, memoSjis, "", memoSjis},
        {"a lone trail byte is no UTF-8", "", "x\x81y", "x\x81y", "", "x\x81y"},
        {"an overlong form is no UTF-8", "", "\xC0\xAF", "\xC0\xAF", "", "\xC0\xAF"},
        {"a surrogate is no UTF-8", "", "\xED\xA0\x80", "\xED\xA0\x80", "", "\xED\xA0\x80"},
        // No Shift-JIS title starts with the mark's bytes: a hand put them there, and they are
        // read as the characters they are, not as a mark.
        {"the mark by hand in a Shift-JIS file", "", "\xEF\xBB\xBFx\x81", "?\xBB\xBFx?", "", "?\xBB\xBFx?"},
    };
    for (const auto& c : cases) {
        writeFile(c.mark + "[SYSTEM]\r\nPINNUM=1\r\n[PINITEM0]\r\nTITLE=" + c.value + "\r\n");
        load();
        ASSERT_EQ(pins.size(), 1u) << c.what;
        EXPECT_EQ(pins[0].m_title, c.title) << c.what;
        ASSERT_TRUE(save());
        EXPECT_EQ(readFile().find(c.writtenMark + "[SYSTEM]\r\n"), 0u) << c.what;
        EXPECT_NE(readFile().find("TITLE=" + c.writtenValue + "\r\n"), std::string::npos) << c.what;
    }
    // A Shift-JIS title that is UTF-8 too (the bytes of "メ" read as 繝 and a half-width ｡)
    // comes back as it went.
    pins = {CPinData{}};
    pins[0].m_title = memoUtf8.substr(0, 3);
    const std::vector<CPinData> loaded = roundTrip();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].m_title, pins[0].m_title);
}

TEST_F(ConfigFileTest, OnlyTheFirstSectionAndTheFirstKeyOfANameCount) {
    writeFile("[SYSTEM]\nPINSIZE=0\nPINSIZE=1\n[SYSTEM]\nMOVEENABLE=1\n");
    load();
    EXPECT_EQ(settings.m_pinSize, 0);
    EXPECT_EQ(settings.m_moveEnable, 0);
}

TEST_F(ConfigFileTest, LongValuesAreCutAt2047Bytes) {
    writeFile("[SYSTEM]\r\nPINNUM=1\r\n[PINITEM0]\r\nTITLE=" + std::string(3000, 'x') +
              "\r\nTIPART=" + std::string(2047, 'y') + "\r\n");
    load();
    ASSERT_EQ(pins.size(), 1u);
    EXPECT_EQ(pins[0].m_title, std::string(2047, 'x'));
    EXPECT_EQ(pins[0].m_titlePart, std::string(2047, 'y'));
}

TEST_F(ConfigFileTest, LineBreaksInValuesBecomeBlanks) {
    CPinData pin;
    pin.m_title = "two\r\nlines\rand\nmore";
    pin.m_exText = "\n[SYSTEM]\nPINNUM=0";
    pins = {pin};
    const std::vector<CPinData> loaded = roundTrip();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].m_title, "two  lines and more");
    EXPECT_EQ(loaded[0].m_exText, " [SYSTEM] PINNUM=0");
}

TEST_F(ConfigFileTest, AHugeRecordCountIsCapped) {
    writeFile("[SYSTEM]\r\nPINNUM=2000000000\r\n[PINITEM9999]\r\nTITLE=last\r\n");
    load();
    ASSERT_EQ(pins.size(), static_cast<std::size_t>(kMaxPinRecords));
    EXPECT_EQ(pins.back().m_title, "last");
    EXPECT_NE(traces.find("PINNUM=2000000000"), std::string::npos);
}

TEST_F(ConfigFileTest, IntegersAreReadLikeTheSystemReader) {
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {{"12abc", 12},      {"abc", 0},  {"-5", -5},
                          {" \t7", 7},        {"+3", 3},   {"", 8},
                          {"   ", 8},         {"0x10", 0}, {"-", 0},
                          {"4294967295", -1}, {"--1", 0},  {"-2147483648", -2147483647 - 1}};
    for (const Case& c : cases) {
        writeFile(std::string("[SYSTEM]\r\nPNMODIFIERS=") + c.value + "\r\n");
        CPinSettings fresh;
        loadPinFile(path, fresh, pins);
        EXPECT_EQ(fresh.m_hotKeyModifiers, c.expected) << '"' << c.value << '"';
    }
}

TEST_F(ConfigFileTest, GarbageLoadsAsDefaults) {
    std::string binary;
    for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919) % 256);
    std::string noLineEnds(50 * 1024 * 1024, 'q');
    noLineEnds.replace(0, 9, "[SYSTEM]=");
    const std::string inputs[] = {binary,       std::string("[SYSTEM]\0PINNUM=5\0", 18), noLineEnds, "[", "=",
                                  "[]\r\n=\r\n"};
    for (const std::string& input : inputs) {
        writeFile(input);
        CPinSettings fresh;
        EXPECT_TRUE(loadPinFile(path, fresh, pins));
        EXPECT_EQ(fresh.m_pinSize, 1);
        EXPECT_EQ(fresh.m_hotKey, 90);
        EXPECT_TRUE(pins.empty()) << input.substr(0, 20);
    }
}

TEST_F(ConfigFileTest, AFileThatIsThereButUnreadableIsReported) {
    fs::create_directory(path);
    pins.resize(1);
    EXPECT_FALSE(loadPinFile(path, settings, pins));
    EXPECT_TRUE(pins.empty());
    EXPECT_EQ(settings.m_hotKey, 90);
    EXPECT_EQ(traces, "loadPinFile(" + path + ") Error!\n");
}

TEST_F(ConfigFileTest, ASaveThatCannotStartLeavesTheOldFileAndSaysSo) {
    writeFile(kExampleFile);
    fs::create_directory(path + ".tmp");
    EXPECT_FALSE(save());
    EXPECT_EQ(readFile(), kExampleFile);
    EXPECT_EQ(traces, "CWriteIniFile::openFile(" + path + ") Error!\n");

    const std::string missing = (dir / "missing" / "Clavora.ini").string();
    EXPECT_FALSE(writePinFile(writer, missing, settings, pins));
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST_F(ConfigFileTest, ASaveThatCannotReplaceTheTargetFailsAndLeavesNothingBehind) {
    fs::create_directory(path);
    fs::path inside = fs::path(path) / "keep";
    writeFileAt(inside.string(), "x");
    EXPECT_FALSE(save());
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_TRUE(fs::exists(inside));
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    EXPECT_NE(traces.find("CWriteIniFile::closeFile(" + path + ") Error="), std::string::npos);
}

TEST_F(ConfigFileTest, ASuccessfulSaveReplacesTheFileAndLeavesNoTemporary) {
    writeFile("old content");
    ASSERT_TRUE(save());
    EXPECT_EQ(readFile(), kEmptyListFile);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(ConfigFileTest, AnAbandonedFileNeverReplacesTheTarget) {
    writeFile(kExampleFile);
    {
        CWriteIniFile abandoned;
        ASSERT_TRUE(abandoned.openFile(path));
        abandoned.writeKey("SYSTEM", "PINNUM", "0");
    }
    EXPECT_EQ(readFile(), kExampleFile);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    CWriteIniFile never;
    EXPECT_FALSE(never.closeFile());
}

TEST_F(ConfigFileTest, OnlyRectanglesAWindowCanHaveAreKept) {
    struct Case {
        const char* what;
        const char* left;
        const char* top;
        const char* right;
        const char* bottom;
        Rect loaded;
    };
    const Case cases[] = {
        {"left of the primary monitor", "-1920", "-200", "-1000", "400", Rect{-1920, -200, -1000, 400}},
        {"inverted", "900", "120", "200", "620", Rect{}},
        {"upside down", "200", "620", "900", "120", Rect{}},
        {"no width", "200", "120", "200", "620", Rect{}},
        {"no height", "200", "120", "900", "120", Rect{}},
        {"wider than 32 bits", "-2147483648", "0", "2147483647", "10", Rect{}},
        {"taller than 32 bits", "0", "-2147483648", "10", "2147483647", Rect{}},
        {"garbage", "left", "top", "right", "bottom", Rect{}},
    };
    for (const Case& c : cases) {
        writeFile(std::string("[SYSTEM]\r\nPINNUM=1\r\n[PINITEM0]\r\nTGT_LEFT=") + c.left + "\r\nTGT_TOP=" +
                  c.top + "\r\nTGT_RIGHT=" + c.right + "\r\nTGT_BOTTOM=" + c.bottom + "\r\n");
        load();
        ASSERT_EQ(pins.size(), 1u) << c.what;
        EXPECT_EQ(pins[0].m_rectTarget, c.loaded) << c.what;
    }
}

TEST_F(ConfigFileTest, ACountOfZeroOrLessOrNoneGivesNoRecords) {
    for (const char* count : {"0", "-1", "-2147483648", "none", ""}) {
        writeFile(std::string("[SYSTEM]\r\nPINNUM=") + count + "\r\n[PINITEM0]\r\nTITLE=there\r\n");
        load();
        EXPECT_TRUE(pins.empty()) << '"' << count << '"';
    }
}

TEST_F(ConfigFileTest, SectionsWithoutKeysKeepEverySettingAndGiveLoaderDefaults) {
    settings = CPinSettings{0, 1, 65, 2};
    writeFile("[SYSTEM]\r\n[PINITEM0]\r\n");
    load();
    EXPECT_TRUE(pins.empty());
    EXPECT_EQ(settings.m_pinSize, 0);
    EXPECT_EQ(settings.m_moveEnable, 1);
    EXPECT_EQ(settings.m_hotKey, 65);
    EXPECT_EQ(settings.m_hotKeyModifiers, 2);

    writeFile("[SYSTEM]\r\nPINNUM=1\r\n[PINITEM0]\r\n");
    load();
    ASSERT_EQ(pins.size(), 1u);
    EXPECT_EQ(pins[0].m_extentFlag, 1);
    EXPECT_EQ(pins[0].m_trans, 70);
    EXPECT_EQ(pins[0].m_title, "");
}

TEST_F(ConfigFileTest, ALoneLeadByteAtTheEndOfATitleSurvivesTheRoundTrip) {
    // What a 256-byte title buffer holds when it cuts a double-byte character in two.
    CPinData pin;
    pin.m_title = std::string(254, 'x') + "\x95";
    pin.m_exText = "\x83";
    pins = {pin};
    const std::vector<CPinData> loaded = roundTrip();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].m_title, pin.m_title);
    EXPECT_EQ(loaded[0].m_exText, pin.m_exText);
    EXPECT_EQ(loaded[0].m_exePath, "");
}

// A title the code page lacks turns the whole file into UTF-8 with its mark, every other
// value in it converted; each comes back as it was, and two such titles stay apart.
TEST_F(ConfigFileTest, TitlesOutsideTheCodePageComeBackWholeAndApart) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string memoSjis = "\x83\x81\x83\x82";                    // メモ
    const std::string tool = bom + "\xEB\x8F\x84\xEA\xB5\xAC - PuTTY";  // 도구 - PuTTY
    const std::string doc = bom + "\xEB\xAC\xB8\xEC\x84\x9C - PuTTY";   // 문서 - PuTTY
    const std::string edge = bom + "Microsoft\xE2\x80\x8B Edge";
    pins = std::vector<CPinData>(3);
    pins[0].m_title = memoSjis + " pad";
    pins[0].m_exePath = "C:\\" + memoSjis + "\\memo.exe";
    pins[1].m_title = tool;
    pins[1].m_exText = doc;
    pins[1].m_titlePart = bom + "\xF0\x9F\x98\x80";
    pins[2].m_title = edge;
    pins[2].m_exPart = memoSjis;
    const std::vector<CPinData> loaded = roundTrip();
    const std::string file = readFile();
    EXPECT_EQ(file.find(bom + "[SYSTEM]\r\n"), 0u);
    EXPECT_NE(file.find("TITLE=\xE3\x83\xA1\xE3\x83\xA2 pad\r\n"), std::string::npos);
    EXPECT_NE(file.find("TITLE=\xEB\x8F\x84\xEA\xB5\xAC - PuTTY\r\n"), std::string::npos);
    EXPECT_EQ(file.find("\xEF\xBB\xBF", 1), std::string::npos) << "no mark inside the file";
    ASSERT_EQ(loaded.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(loaded[i].m_title, pins[i].m_title) << i;
        EXPECT_EQ(loaded[i].m_exText, pins[i].m_exText) << i;
        EXPECT_EQ(loaded[i].m_titlePart, pins[i].m_titlePart) << i;
        EXPECT_EQ(loaded[i].m_exPart, pins[i].m_exPart) << i;
        EXPECT_EQ(loaded[i].m_exePath, pins[i].m_exePath) << i;
    }
    EXPECT_NE(loaded[1].m_title.substr(0, 9), loaded[1].m_exText.substr(0, 9));
    // A path is no title: its bytes never make the file UTF-8, whatever they start with.
    pins = std::vector<CPinData>(1);
    pins[0].m_exePath = bom + "x\x81";
    pins[0].m_title = memoSjis;
    EXPECT_EQ(roundTrip().at(0).m_exePath, pins[0].m_exePath);
    EXPECT_EQ(readFile().find("[SYSTEM]\r\n"), 0u);
    pins = loaded;
    // Once they are gone, the next save is in the code page again, byte for byte.
    pins.resize(1);
    ASSERT_TRUE(save());
    EXPECT_EQ(readFile().find("[SYSTEM]\r\n"), 0u);
    EXPECT_NE(readFile().find("TITLE=" + memoSjis + " pad\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, AMarkedValueCutAt2047BytesEndsOnAWholeCharacter) {
    const std::string tool = "\xEB\x8F\x84";  // 도: three bytes, so 2047 ends inside one
    std::string title;
    for (int i = 0; i < 700; ++i) title += tool;
    writeFile("\xEF\xBB\xBF[SYSTEM]\r\nPINNUM=1\r\n[PINITEM0]\r\nTITLE=" + title + "\r\n");
    load();
    ASSERT_EQ(pins.size(), 1u);
    EXPECT_EQ(pins[0].m_title, "\xEF\xBB\xBF" + title.substr(0, 2043));
}

TEST_F(ConfigFileTest, AUtf16FileIsUnreadableAndIsSetAsideWhole) {
    const std::string utf16("\xFF\xFE[\0S\0Y\0S\0T\0E\0M\0]\0", 18);
    writeFile(utf16);
    pins.resize(1);
    EXPECT_FALSE(loadPinFile(path, settings, pins));
    EXPECT_TRUE(pins.empty());

    EXPECT_EQ(setAsideUnreadFile(path), path + ".bak");
    EXPECT_FALSE(fs::exists(path));
    std::ifstream aside(path + ".bak", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), utf16);
    EXPECT_NE(traces.find("setAsideUnreadFile(" + path + ") kept as " + path + ".bak\n"), std::string::npos);

    // Unreadable again another day: the earlier rescue copy is never written over.
    writeFile("second");
    EXPECT_EQ(setAsideUnreadFile(path), path + ".2.bak");
    writeFile("third");
    EXPECT_EQ(setAsideUnreadFile(path), path + ".3.bak");
    std::ifstream first(path + ".bak", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(first), {}), utf16);
}

TEST_F(ConfigFileTest, SettingAsideNothingSucceedsAndAFileThatCannotMoveStays) {
    EXPECT_EQ(setAsideUnreadFile(path), "");
    EXPECT_FALSE(fs::exists(path + ".bak"));

    // Held by another program: the file stays where it is, and says so.
    CFakeDesktop clock;
    CFakeFileSystem files(clock);
    files.addFolder("/c");
    files.addFile("/c/Clavora.ini", "pins").heldUntilMs = UINT64_MAX;
    traces.clear();
    EXPECT_EQ(setAsideUnreadFile("/c/Clavora.ini", files), std::nullopt);
    EXPECT_EQ(files.file("/c/Clavora.ini")->bytes, "pins");
    EXPECT_EQ(traces, "setAsideUnreadFile(/c/Clavora.ini) Error=32\n");
}

// What Windows does to a read and a save, and what is left on the disk afterwards.
TEST_F(ConfigFileTest, ReadsAndSavesFailAsWindowsFailsThem) {
    CFakeDesktop clock;
    const std::string ini = "/c/Clavora.ini";
    using Files = CFakeFileSystem;
    const struct {
        const char* what;
        std::function<void(Files&)> make;
        bool loads;
        std::uint64_t waitedMs;
        bool saves;
    } cases[] = {
        {"all is well", [](Files&) {}, true, 0, true},
        {"held a moment by a backup", [&](Files& f) { f.file(ini)->heldUntilMs = clock.nowMs() + 1500; },
         true, 1500, true},
        {"held for good", [&](Files& f) { f.file(ini)->heldUntilMs = UINT64_MAX; }, false, kLockedReadWaitMs,
         false},
        {"read-only", [&](Files& f) { f.file(ini)->readOnly = true; }, true, 0, false},
        {"a folder not to write in", [](Files& f) { f.addFolder("/c", false); }, true, 0, false},
        {"a full disk", [](Files& f) { f.freeBytes = 10; }, true, 0, false},
    };
    for (const auto& c : cases) {
        Files files(clock);
        files.addFolder("/c");
        files.addFile(ini, kExampleFile);
        c.make(files);
        const std::uint64_t before = clock.nowMs();
        EXPECT_EQ(loadPinFile(ini, settings, pins, files), c.loads) << c.what;
        EXPECT_EQ(clock.nowMs() - before, c.waitedMs) << c.what;
        EXPECT_EQ(pins.size(), c.loads ? 1u : 0u) << c.what;

        CWriteIniFile fileWriter(files);
        pins.clear();
        EXPECT_EQ(writePinFile(fileWriter, ini, settings, pins), c.saves) << c.what;
        EXPECT_EQ(files.file(ini)->bytes, c.saves ? kEmptyListFile : kExampleFile) << c.what;
        EXPECT_EQ(files.file(ini + ".tmp"), nullptr) << c.what;
    }
}

}  // namespace
