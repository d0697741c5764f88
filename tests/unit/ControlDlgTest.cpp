#include "pins/ControlDlg.h"

#include "desktop/MultiDisplay.h"
#include "desktop/Trace.h"
#include "fake/FakeControlPanel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

namespace fs = std::filesystem;

namespace {

constexpr Rect kNotepadRect{200, 120, 900, 620};

class ControlDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "clavora-panel-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        iniPath = (dir / "Clavora.ini").string();
        setTraceSink([this](const std::string& line) {
            traces += line;
            if (line == "CControlDlg::__writeIniFile()\n") saveTimes.push_back(desktop.nowMs());
        });
        CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
    }
    void TearDown() override {
        factory.destroyAlive();
        setTraceSink({});
        CMultiDisplay::ReleaseMultiDisplay();
        fs::remove_all(dir);
    }

    WinHandle notepad(const std::string& title = "Untitled - Notepad", const Rect& rect = kNotepadRect) {
        return desktop.addAppWindow(title, "notepad.exe", "C:\\windows\\system32\\notepad.exe", rect);
    }
    // A record as the hotkey makes it for a notepad window with this title.
    static CPinData notepadRecord(const std::string& title = "Untitled - Notepad") {
        CPinData record;
        record.m_title = title;
        record.m_exeName = "NOTEPAD.EXE";
        return record;
    }
    void start() {
        panel.startPinning(iniPath);
        traces.clear();
    }
    std::string readIni() const {
        std::ifstream in(iniPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<WinHandle> listed() const {
        std::vector<WinHandle> out;
        for (const CWinInf& win : panel.m_windows) out.push_back(win.m_hWnd);
        return out;
    }

    fs::path dir;
    std::string iniPath;
    std::string traces;
    std::vector<std::uint64_t> saveTimes;
    CFakeDesktop desktop;
    CFakePinFactory factory{desktop};
    CFakeControlPanel panel{desktop, factory};
};

TEST_F(ControlDlgTest, RegistersItselfAsTheControllerWhileItLives) {
    EXPECT_EQ(pinController(), &panel);
    {
        CFakePinFactory otherFactory{desktop};
        CFakeControlPanel other{desktop, otherFactory};
        EXPECT_EQ(pinController(), &other);
    }
    EXPECT_EQ(pinController(), nullptr);
}

TEST_F(ControlDlgTest, StartPinningLoadsTheFileRegistersItsHotKeyAndStartsBothTimers) {
    std::ofstream(iniPath, std::ios::binary)
        << "[SYSTEM]\r\nPINSIZE=0\r\nPNHOTKEY=80\r\nPNMODIFIERS=3\r\nPINNUM=1\r\n[PINITEM0]\r\n"
           "TITLEFLAG=1\r\nFULLFLAG=1\r\nTITLE=Memo\r\nEXENAME=notepad.exe\r\n";
    panel.startPinning(iniPath);
    EXPECT_EQ(panel.m_pinSize, 0);
    EXPECT_EQ(desktop.registeredHotKey(panel.m_window, kPinHotKeyId), (std::pair<unsigned, unsigned>{3, 80}));
    EXPECT_EQ(panel.rows, (std::vector<PinListRow>{{"NOTEPAD.EXE", "Memo"}}));
    EXPECT_EQ(panel.periods(), (std::map<int, unsigned>{{kCycleTimerId, 100}, {kSaveTimerId, 100}}));
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(ControlDlgTest, AHotKeyHeldElsewhereIsReportedAndTheCycleRunsOn) {
    desktop.holdHotKeyElsewhere(8, 90);
    panel.startPinning(iniPath);
    EXPECT_NE(traces.find("RegisterHotKey() Error=1409\n"), std::string::npos);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_TRUE(desktop.messageBoxes[0].text ==
                u8"ホットキーの登録が失敗しました.他のキーに変更してください.");
    EXPECT_TRUE(desktop.messageBoxes[0].appBox);

    const WinHandle target = notepad();
    panel.m_pins.push_back(notepadRecord());
    panel.runFor(100);
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target);
}

TEST_F(ControlDlgTest, CycleRunsAfter100msThenEvery500msCountedFromItsEnd) {
    start();
    const WinHandle target = notepad();
    panel.m_pins.push_back(notepadRecord());
    panel.runFor(99);
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
    panel.runFor(1);
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target);
    EXPECT_EQ(panel.periods().at(kCycleTimerId), kCyclePeriodMs);

    desktop.destroyWindow(target);
    panel.runFor(499);
    EXPECT_EQ(panel.m_pins[0].m_pinned, 1);
    panel.runFor(1);
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
}

TEST_F(ControlDlgTest, WindowListLeavesOutEveryWindowThatFailsATest) {
    struct Case {
        const char* what;
        std::function<WinHandle(CFakeDesktop&)> make;
    };
    const std::vector<Case> cases = {
        {"invisible",
         [](CFakeDesktop& d) {
             const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
             d.setVisible(h, false);
             return h;
         }},
        {"maximised",
         [](CFakeDesktop& d) {
             const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
             d.maximize(h);
             return h;
         }},
        {"minimised (parked off every monitor)",
         [](CFakeDesktop& d) {
             const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
             d.minimize(h);
             return h;
         }},
        {"empty title", [](CFakeDesktop& d) { return d.addAppWindow("", "a.exe", "C:\\a.exe"); }},
        {"unreadable process", [](CFakeDesktop& d) { return d.addAppWindow("T", "", ""); }},
        {"Clavora's own window",
         [](CFakeDesktop& d) { return d.addAppWindow("Clavora", "Clavora.exe", "C:\\Clavora.exe"); }},
        {"no system menu",
         [](CFakeDesktop& d) {
             const std::uint32_t pid = d.newProcessId();
             d.addProcess(pid, "a.exe", "C:\\a.exe");
             return d.addWindow({.title = "T", .pid = pid, .style = kFakeFrameStyle & ~style::kSysMenu});
         }},
        {"disabled",
         [](CFakeDesktop& d) {
             const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
             d.setEnabled(h, false);
             return h;
         }},
        {"zero height",
         [](CFakeDesktop& d) {
             return d.addAppWindow("T", "a.exe", "C:\\a.exe", {10, 10, 300, 10});
         }},
        {"zero width",
         [](CFakeDesktop& d) {
             return d.addAppWindow("T", "a.exe", "C:\\a.exe", {10, 10, 10, 300});
         }},
        {"off every monitor",
         [](CFakeDesktop& d) {
             return d.addAppWindow("T", "a.exe", "C:\\a.exe", {3000, 10, 3400, 300});
         }},
    };
    for (const Case& c : cases) {
        CFakeDesktop world;
        CFakePinFactory pins{world};
        CFakeControlPanel listPanel{world, pins};
        const WinHandle left = c.make(world);
        const WinHandle kept = world.addAppWindow("Kept", "b.exe", "C:\\b.exe");
        listPanel.buildWindowList();
        ASSERT_EQ(listPanel.m_windows.size(), 1u) << c.what;
        EXPECT_EQ(listPanel.m_windows[0].m_hWnd, kept) << c.what;
        EXPECT_NE(listPanel.m_windows[0].m_hWnd, left) << c.what;
    }
}

TEST_F(ControlDlgTest, WindowListDescribesCandidatesInEnumerationOrderAndSkipsThePanel) {
    const WinHandle first = notepad("Memo");
    const WinHandle second = desktop.addAppWindow("Calc", "calc.exe", "C:\\calc.exe");
    panel.buildWindowList();
    EXPECT_EQ(listed(), (std::vector<WinHandle>{first, second}));
    EXPECT_EQ(panel.m_windows[0].m_title, "Memo");
    EXPECT_EQ(panel.m_windows[0].m_exeName, "NOTEPAD.EXE");
    EXPECT_EQ(panel.m_windows[0].m_exePath, "C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(panel.m_windows[0].m_childrenCollected, 0);
}

TEST_F(ControlDlgTest, WindowListOpensProcessesOnlyForWindowsThatPassTheCheapTests) {
    notepad();
    desktop.addAppWindow("", "a.exe", "C:\\a.exe");
    desktop.addAppWindow("T", "b.exe", "C:\\b.exe", {10, 10, 10, 300});
    panel.buildWindowList();
    // Notepad and the zero-width window reach the base name; only notepad the path.
    EXPECT_EQ(desktop.processBaseNameCalls, 2);
    EXPECT_EQ(desktop.processImagePathCalls, 1);
}

TEST_F(ControlDlgTest, TheEarlierOfTwoMatchingRecordsGetsTheWindow) {
    start();
    const WinHandle target = notepad();
    panel.m_pins = {notepadRecord(), notepadRecord()};
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target);
    EXPECT_EQ(panel.m_pins[1].m_pinned, 0);
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[1].m_pinned, 0);
    EXPECT_EQ(factory.made.size(), 1u);
}

TEST_F(ControlDlgTest, ARecordTriesOnlyTheFirstMatchingWindowEvenWhenItIsHeld) {
    start();
    const WinHandle first = notepad();
    const WinHandle second = notepad();
    CPinData byTitle = notepadRecord();
    byTitle.m_processFlag = 0;
    CPinData byProcess = notepadRecord();
    byProcess.m_titleFlag = 0;
    panel.m_pins = {byTitle, byProcess};
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, first);
    EXPECT_EQ(panel.m_pins[1].m_pinned, 0) << "the second window is free, but only the first is tried";

    // The first window goes: its pin ends, and the second record now finds the second window
    // first; the first record, done for this cycle, finds it held in the next.
    desktop.destroyWindow(first);
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
    EXPECT_EQ(panel.m_pins[1].m_hTarget, second);
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
}

TEST_F(ControlDlgTest, APinEndsWhileItsWindowIsMaximisedMinimisedOrRetitledAndComesBackInPlace) {
    start();
    const WinHandle target = notepad();
    panel.m_pins.push_back(notepadRecord());
    panel.runCycle();
    const Rect pinPlace = factory.last->pinRect();
    EXPECT_EQ(pinPlace.left, kNotepadRect.left + 20);
    EXPECT_EQ(pinPlace.top, kNotepadRect.top - 32);

    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"maximise", [&] { desktop.maximize(target); }},
        {"minimise", [&] { desktop.minimize(target); }},
        {"retitle", [&] { desktop.setText(target, "Other - Notepad"); }},
    };
    const std::vector<std::function<void()>> undo = {
        [&] { desktop.restore(target); },
        [&] { desktop.restore(target); },
        [&] { desktop.setText(target, "Untitled - Notepad"); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        changes[i].second();
        panel.runCycle();
        EXPECT_EQ(panel.m_pins[0].m_pinned, 0) << changes[i].first;
        EXPECT_TRUE(factory.logs.back()->destroyed) << changes[i].first;
        undo[i]();
        panel.runCycle();
        ASSERT_EQ(panel.m_pins[0].m_hTarget, target) << changes[i].first;
        EXPECT_EQ(factory.last->pinRect(), pinPlace) << changes[i].first;
    }
}

TEST_F(ControlDlgTest, AnEndedPinRedrawsTheListAndAsksForASave) {
    start();
    const WinHandle target = notepad();
    panel.m_pins.push_back(notepadRecord());
    panel.runCycle();
    const int refreshes = panel.refreshes;
    desktop.destroyWindow(target);
    panel.runCycle();
    EXPECT_NE(traces.find("CControlDlg::notifyUpdateWindow()\n"), std::string::npos);
    EXPECT_EQ(panel.refreshes, refreshes + 1);
    EXPECT_EQ(panel.m_saveRequested, 1);
}

TEST_F(ControlDlgTest, HotKeyMakesAWholeTitleRecordThatTheNextCyclePins) {
    start();
    const WinHandle target = notepad();
    desktop.setForegroundWindow(target);
    panel.onHotKey(kPinHotKeyId);
    ASSERT_EQ(panel.m_pins.size(), 1u);
    const CPinData& record = panel.m_pins[0];
    EXPECT_EQ(record.m_titleFlag, 1);
    EXPECT_EQ(record.m_processFlag, 1);
    EXPECT_EQ(record.m_fullFlag, 1);
    EXPECT_EQ(record.m_extentFlag, 0);
    EXPECT_EQ(record.m_title, "Untitled - Notepad");
    EXPECT_EQ(record.m_exeName, "NOTEPAD.EXE");
    EXPECT_EQ(record.m_exePath, "C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(panel.rows, (std::vector<PinListRow>{{"NOTEPAD.EXE", "Untitled - Notepad"}}));
    EXPECT_EQ(panel.m_saveRequested, 0) << "adding a record asks for no save";
    panel.runFor(500);
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target);
}

TEST_F(ControlDlgTest, HotKeyOnAPinnedWindowSaysSoAndChangesNothing) {
    start();
    const WinHandle target = notepad();
    desktop.setForegroundWindow(target);
    panel.onHotKey(kPinHotKeyId);
    panel.runCycle();
    panel.onHotKey(kPinHotKeyId);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    const FakeMessageBox& box = desktop.messageBoxes[0];
    EXPECT_EQ(box.owner, target);
    EXPECT_TRUE(box.text == u8"既に画鋲がささっています.");
    EXPECT_TRUE(box.caption == u8"重複操作");
    EXPECT_EQ(box.buttons, MsgButtons::ok);
    EXPECT_EQ(panel.m_pins.size(), 1u);
}

TEST_F(ControlDlgTest, HotKeyRefusesNonCandidatesSilently) {
    struct Case {
        const char* what;
        std::function<WinHandle(CFakeDesktop&)> make;
    };
    const std::vector<Case> cases = {
        {"no window", [](CFakeDesktop&) { return kNoWindow; }},
        {"the desktop",
         [](CFakeDesktop& d) { return d.addAppWindow("Program Manager", "explorer.exe", "C:\\e.exe"); }},
        {"empty title", [](CFakeDesktop& d) { return d.addAppWindow("", "a.exe", "C:\\a.exe"); }},
        {"invisible",
         [](CFakeDesktop& d) {
             const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
             d.setVisible(h, false);
             return h;
         }},
        {"maximised",
         [](CFakeDesktop& d) {
             const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
             d.maximize(h);
             return h;
         }},
        {"no system menu",
         [](CFakeDesktop& d) {
             const std::uint32_t pid = d.newProcessId();
             d.addProcess(pid, "a.exe", "C:\\a.exe");
             return d.addWindow({.title = "T", .pid = pid, .style = kFakeFrameStyle & ~style::kSysMenu});
         }},
        {"disabled",
         [](CFakeDesktop& d) {
             const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
             d.setEnabled(h, false);
             return h;
         }},
        {"zero size",
         [](CFakeDesktop& d) {
             return d.addAppWindow("T", "a.exe", "C:\\a.exe", {10, 10, 10, 10});
         }},
        {"off every monitor",
         [](CFakeDesktop& d) {
             return d.addAppWindow("T", "a.exe", "C:\\a.exe", {-900, 10, -100, 300});
         }},
        {"unreadable process", [](CFakeDesktop& d) { return d.addAppWindow("T", "", ""); }},
        {"Clavora's own window",
         [](CFakeDesktop& d) { return d.addAppWindow("Clavora", "clavora.EXE", "C:\\c.exe"); }},
    };
    for (const Case& c : cases) {
        CFakeDesktop world;
        CFakePinFactory pins{world};
        CFakeControlPanel hotKeyPanel{world, pins};
        world.setForegroundWindow(c.make(world));
        hotKeyPanel.onHotKey(kPinHotKeyId);
        EXPECT_TRUE(hotKeyPanel.m_pins.empty()) << c.what;
        EXPECT_TRUE(world.messageBoxes.empty()) << c.what;
        EXPECT_EQ(hotKeyPanel.refreshes, 0) << c.what;
    }
}

TEST_F(ControlDlgTest, HotKeyIgnoresOtherHotKeyIds) {
    desktop.setForegroundWindow(notepad());
    panel.onHotKey(106);
    EXPECT_TRUE(panel.m_pins.empty());
}

TEST_F(ControlDlgTest, HotKeyOnAWindowAnUnpinnedRecordMatchesAddsASecondRecordThatWaits) {
    start();
    const WinHandle target = notepad();
    panel.m_pins.push_back(notepadRecord());
    desktop.setForegroundWindow(target);
    panel.onHotKey(kPinHotKeyId);
    panel.runCycle();
    ASSERT_EQ(panel.m_pins.size(), 2u);
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target);
    EXPECT_EQ(panel.m_pins[1].m_pinned, 0);
}

TEST_F(ControlDlgTest, AHotKeyRecordOfAVeryLongTitlePinsItsWindow) {
    start();
    const std::string longTitle(300, 'x');
    const WinHandle target = notepad(longTitle);
    desktop.setForegroundWindow(target);
    panel.onHotKey(kPinHotKeyId);
    EXPECT_EQ(panel.m_pins[0].m_title, std::string(255, 'x'));
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target);
}

TEST_F(ControlDlgTest, TwoRequests300msApartGiveOneSave600msAfterTheSecond) {
    start();
    panel.runFor(100);
    panel.requestSave();
    panel.runFor(300);
    panel.requestSave();
    const std::uint64_t second = desktop.nowMs();
    panel.runFor(2000);
    ASSERT_EQ(saveTimes.size(), 1u);
    EXPECT_EQ(saveTimes[0], second + 600);
    EXPECT_EQ(panel.m_saveRequested, 0);
    EXPECT_NE(readIni().find("PINNUM=0\r\n"), std::string::npos);
}

TEST_F(ControlDlgTest, SaveFollowsOnTheSixthTick) {
    start();
    panel.requestSave();
    for (int tick = 1; tick <= 5; ++tick) panel.onTimer(kSaveTimerId);
    EXPECT_TRUE(saveTimes.empty());
    panel.onTimer(kSaveTimerId);
    EXPECT_EQ(saveTimes.size(), 1u);
    panel.onTimer(kSaveTimerId);
    EXPECT_EQ(saveTimes.size(), 1u);
}

TEST_F(ControlDlgTest, ExitWithThreePinsSavesOnceAfterAllEnded) {
    start();
    const std::vector<Rect> rects = {{10, 40, 410, 340}, {500, 60, 900, 460}, {100, 500, 700, 900}};
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const std::string title = "Memo " + std::to_string(i);
        notepad(title, rects[i]);
        panel.m_pins.push_back(notepadRecord(title));
    }
    panel.m_pins[1].m_zOrder = 1;
    panel.runCycle();
    for (const CPinData& pin : panel.m_pins) ASSERT_EQ(pin.m_pinned, 1);
    // The user set the third pin's transparency from its menu.
    factory.made[2]->m_transFlag = 1;
    factory.made[2]->m_trans = 40;

    panel.endAllPins();
    EXPECT_TRUE(saveTimes.empty());
    panel.DestroyWindow();
    ASSERT_EQ(saveTimes.size(), 1u);
    EXPECT_TRUE(panel.windowDestroyed);
    EXPECT_TRUE(panel.m_pins.empty());
    EXPECT_EQ(desktop.registeredHotKeyCount(), 0u);
    for (const auto& log : factory.logs) EXPECT_TRUE(log->destroyed);

    const std::string ini = readIni();
    EXPECT_NE(ini.find("PINNUM=3\r\n"), std::string::npos);
    EXPECT_NE(ini.find("[PINITEM1]\r\n"), std::string::npos);
    EXPECT_NE(ini.find("ZORDER=1\r\nTRSPF=0\r\nTRANS=70\r\nTGT_TOP=60\r\nTGT_BOTTOM=460\r\nTGT_LEFT=500\r\n"
                       "TGT_RIGHT=900\r\n"),
              std::string::npos);
    EXPECT_NE(
        ini.find("TRSPF=1\r\nTRANS=40\r\nTGT_TOP=500\r\nTGT_BOTTOM=900\r\nTGT_LEFT=100\r\nTGT_RIGHT=700\r\n"),
        std::string::npos);
}

TEST_F(ControlDlgTest, DestroyWindowTracesReleasesTheHotKeyAndSavesBeforeDroppingTheRecords) {
    start();
    notepad();
    panel.m_pins.push_back(notepadRecord());
    panel.runCycle();
    panel.DestroyWindow();
    EXPECT_EQ(traces.find("CControlDlg::DestroyWindow() \n"), traces.find("CControlDlg::DestroyWindow"));
    EXPECT_LT(traces.find("EndPin! title=Untitled - Notepad\n"),
              traces.find("CControlDlg::__writeIniFile()\n"));
    EXPECT_EQ(desktop.registeredHotKey(panel.m_window, kPinHotKeyId), std::nullopt);
    EXPECT_NE(readIni().find("PINNUM=1\r\n"), std::string::npos);
}

TEST_F(ControlDlgTest, PullingAPinOutForgetsItsRecordWithoutTakingItsValuesBack) {
    start();
    const WinHandle target = notepad();
    const WinHandle other = desktop.addAppWindow("Calc", "calc.exe", "C:\\calc.exe");
    panel.m_pins = {notepadRecord(), notepadRecord("Calc")};
    panel.m_pins[1].m_exeName = "CALC.EXE";
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[1].m_hTarget, other);
    CPinDlg* pulled = panel.m_pins[1].m_pPinDlg;
    const unsigned pulledBits = handleBits(pulled->pinHandle());
    const unsigned firstBits = handleBits(panel.m_pins[0].m_pPinDlg->pinHandle());
    traces.clear();

    panel.removeRecordOfPin(pulled);
    EXPECT_TRUE(factory.logs[1]->destroyed);
    EXPECT_FALSE(factory.logs[0]->destroyed);
    ASSERT_EQ(panel.m_pins.size(), 1u);
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target);
    EXPECT_EQ(panel.rows, (std::vector<PinListRow>{{"NOTEPAD.EXE", "Untitled - Notepad"}}));
    EXPECT_EQ(panel.m_saveRequested, 1);
    EXPECT_EQ(traces.find("EndPin!"), std::string::npos);
    char expected[128];
    std::snprintf(expected, sizeof expected,
                  "Data hWnd=0x%08x\nObj  hWnd=0x%08x\nData hWnd=0x%08x\nObj  hWnd=0x%08x\n", firstBits,
                  pulledBits, pulledBits, pulledBits);
    EXPECT_EQ(traces, expected);

    panel.runCycle();
    EXPECT_EQ(factory.made.size(), 2u) << "the window stays unpinned";
}

}  // namespace
