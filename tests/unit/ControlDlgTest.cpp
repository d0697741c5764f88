#include "pins/ControlDlg.h"

#include "base/Trace.h"
#include "desktop/CodePage.h"
#include "desktop/HotKeyExState.h"
#include "desktop/MultiDisplay.h"
#include "fake/FakeConditionDialogs.h"
#include "fake/FakeControlPanel.h"
#include "fake/FakeFileSystem.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <tuple>

namespace fs = std::filesystem;

namespace {

constexpr Rect kNotepadRect{200, 120, 900, 620};
constexpr Rect kCalcRect{600, 300, 900, 500};
constexpr char kNotepadPath[] = "C:\\windows\\system32\\notepad.exe";

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
        // The shell knows notepad's icon.
        panel.icons.files = {kNotepadPath};
    }
    void TearDown() override {
        factory.destroyAlive();
        setTraceSink({});
        CMultiDisplay::ReleaseMultiDisplay();
        fs::remove_all(dir);
    }

    WinHandle notepad(const std::string& title = "Untitled - Notepad", const Rect& rect = kNotepadRect) {
        return desktop.addAppWindow(title, "notepad.exe", kNotepadPath, rect);
    }
    // A notepad and a calculator, pinned by the first cycle; the first pin with transFlag.
    std::pair<WinHandle, WinHandle> twoPinned(int transFlag = 0) {
        const WinHandle first = notepad();
        const WinHandle second = desktop.addAppWindow("Calc", "calc.exe", "C:\\calc.exe", kCalcRect);
        panel.m_pins = {notepadRecord(), notepadRecord("Calc")};
        panel.m_pins[0].m_transFlag = transFlag;
        panel.m_pins[1].m_exeName = "CALC.EXE";
        panel.runFor(100);
        return {first, second};
    }
    // A record as the hotkey makes it for a notepad window with this title.
    static CPinData notepadRecord(const std::string& title = "Untitled - Notepad") {
        CPinData record;
        record.m_title = title;
        record.m_exeName = "NOTEPAD.EXE";
        return record;
    }
    // On a system that leaves Win+Z free, so that the hotkey at start-up settles nothing.
    void start() {
        desktop.releaseHotKeyElsewhere(hotkeymod::kWin, 'Z');
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

TEST_F(ControlDlgTest, StartPinningLoadsTheFileRegistersItsHotKeyAndStartsTheCycle) {
    std::ofstream(iniPath, std::ios::binary)
        << "[SYSTEM]\r\nPINSIZE=0\r\nPNHOTKEY=80\r\nPNMODIFIERS=3\r\nPINNUM=1\r\n[PINITEM0]\r\n"
           "TITLEFLAG=1\r\nFULLFLAG=1\r\nTITLE=Memo\r\nEXENAME=notepad.exe\r\n";
    panel.startPinning(iniPath);
    EXPECT_EQ(panel.m_pinSize, 0);
    // Registered without repeats, which the settings never hold.
    EXPECT_EQ(desktop.registeredHotKey(panel.m_window, kPinHotKeyId),
              (std::pair<unsigned, unsigned>{hotkeymod::kNoRepeat | 3, 80}));
    EXPECT_EQ(panel.m_hotKeyModifiers, 3);
    EXPECT_EQ(panel.rows, (std::vector<PinListRow>{{"NOTEPAD.EXE", "Memo", 0}}));
    EXPECT_EQ(panel.periods(), (std::map<int, unsigned>{{kCycleTimerId, 100}}));
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

// At sign-in nothing may wait on the user: the cycle pins from the start, and what went wrong
// with the hotkey is told once from the tray icon, when it is there. Only Clavora's own Win+Z
// gives way to Ctrl+Win+Z, which the file then keeps.
TEST_F(ControlDlgTest, AHotKeyThatFailsAtStartIsToldFromTheTrayWithoutHoldingThePins) {
    constexpr std::u8string_view kFallback =
        u8"Win + Z が使えないため、ピン止めキーを Ctrl + Win + Z にしました.プロパティ設定で変更できます.";
    constexpr std::u8string_view kFailed = u8"ホットキーの登録が失敗しました.他のキーに変更してください.";
    const struct {
        const char* what;
        const char* file;
        std::optional<std::pair<unsigned, unsigned>> heldElsewhere;
        std::optional<std::pair<unsigned, unsigned>> registered;
        int modifiers;
        std::u8string_view told;
        const char* saved;
    } cases[] = {
        {"Win+Z kept by the system", nullptr, std::nullopt, std::pair{hotkeymod::kNoRepeat | 10u, 90u}, 10,
         kFallback, "PNHOTKEY=90\r\nPNMODIFIERS=10\r\n"},
        {"Ctrl+Win+Z taken too", nullptr, std::pair{10u, 90u}, std::nullopt, 8, kFailed, nullptr},
        {"the user's key taken", "PNHOTKEY=80\r\nPNMODIFIERS=3\r\n", std::pair{3u, 80u}, std::nullopt, 3,
         kFailed, nullptr},
        {"a bare letter from a hand-edited file", "PNHOTKEY=65\r\nPNMODIFIERS=0\r\n", std::nullopt,
         std::nullopt, 0, kFailed, nullptr},
        {"no key", "PNHOTKEY=0\r\nPNMODIFIERS=2\r\n", std::nullopt, std::nullopt, 2, kFailed, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(iniPath);
        if (c.file) std::ofstream(iniPath, std::ios::binary) << "[SYSTEM]\r\n" << c.file;
        CFakeDesktop world;
        CFakePinFactory pins{world};
        CFakeControlPanel started{world, pins};
        if (c.heldElsewhere) world.holdHotKeyElsewhere(c.heldElsewhere->first, c.heldElsewhere->second);
        const WinHandle target = world.addAppWindow("Untitled - Notepad", "notepad.exe", kNotepadPath);
        // Started before the shell has shown the tray icon.
        started.trayIconShown = false;
        started.startPinning(iniPath);
        started.m_pins.push_back(notepadRecord());
        EXPECT_EQ(world.registeredHotKey(started.m_window, kPinHotKeyId), c.registered);
        EXPECT_EQ(started.m_hotKeyRegistered, c.registered.has_value());
        EXPECT_EQ(started.m_hotKeyModifiers, c.modifiers);
        started.runFor(100);
        EXPECT_EQ(started.m_pins[0].m_hTarget, target);
        EXPECT_TRUE(started.told.empty());
        started.trayIconShown = true;
        started.runFor(2000);
        EXPECT_TRUE(world.messageBoxes.empty());
        EXPECT_EQ(started.told, std::vector<std::u8string>{std::u8string(c.told)});
        EXPECT_EQ(readIni().find(c.saved ? c.saved : "PNMODIFIERS=10") != std::string::npos,
                  c.saved != nullptr);
        started.endSession();
    }
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

TEST_F(ControlDlgTest, OneHoldTickForAllPinsRunsWhileAPinIsShownAndPutsEveryTargetBackWithinASecond) {
    start();
    EXPECT_EQ(panel.periods().count(kPinHoldTimerId), 0u) << "no pin, no tick";
    const auto [first, second] = twoPinned();
    ASSERT_EQ(panel.m_pins[1].m_hTarget, second);
    EXPECT_EQ(panel.periods().at(kPinHoldTimerId), kPinHoldTimerMs);
    for (CFakePinWindow* pin : factory.made) EXPECT_TRUE(desktop.timersOf(pin->pinHandle()).empty());

    // Both moved by their frames; the cycles that run meanwhile do not put the tick off.
    desktop.setRect(first, Rect{0, 0, 300, 300});
    desktop.setRect(second, Rect{50, 50, 350, 250});
    panel.runFor(kPinHoldTimerMs);
    EXPECT_EQ(desktop.windowRect(first), kNotepadRect);
    EXPECT_EQ(desktop.windowRect(second), kCalcRect);

    desktop.destroyWindow(first);
    panel.runFor(kCyclePeriodMs);
    EXPECT_EQ(panel.periods().count(kPinHoldTimerId), 1u) << "one pin is left";
    desktop.destroyWindow(second);
    panel.runFor(kCyclePeriodMs);
    EXPECT_EQ(panel.periods().count(kPinHoldTimerId), 0u) << "the last pin took the tick with it";
    notepad();
    panel.runFor(kCyclePeriodMs);
    EXPECT_EQ(panel.m_pins[0].m_pinned, 1);
    EXPECT_EQ(panel.periods().at(kPinHoldTimerId), kPinHoldTimerMs);
    panel.endSession();
    EXPECT_TRUE(panel.periods().empty());
}

TEST_F(ControlDlgTest, APinThatEndsWhileAnotherPinsHoldWaitsIsNotHeldAfterwards) {
    start();
    const auto [first, second] = twoPinned(1);
    ASSERT_EQ(panel.m_pins[1].m_hTarget, second);
    const WinHandle secondPin = panel.m_pins[1].m_hPinWnd;

    // The first window's program takes its layered style away; while the hold gives it back,
    // the user pulls the second pin out, and its window is then moved.
    desktop.setExStyle(first, desktop.exStyle(first) & ~style::kExLayered);
    desktop.duringNextRestyleOf(first, [&] {
        panel.forgetRecord(panel.m_pins[1].m_recordId);
        desktop.setRect(second, Rect{50, 50, 350, 250});
    });
    panel.runFor(kPinHoldTimerMs);
    EXPECT_TRUE(desktop.exStyle(first) & style::kExLayered);
    EXPECT_EQ(CPinDlg::find(secondPin), nullptr);
    EXPECT_EQ(desktop.windowRect(second), (Rect{50, 50, 350, 250})) << "no pin holds it any more";
}

// Window events as the system tells them; the first cycle is done at 100 ms, the next is due
// at 600 ms, and at 300 ms a program opens fifty windows at once, one of which a record names.
TEST_F(ControlDlgTest, AWindowThatAppearsIsPinnedEarlyAndABurstCostsOneCycleAndOneLookAgain) {
    struct Case {
        const char* name;
        bool likeWine;
        // The named window is created hidden and shown this much later (0: shown at once).
        std::uint64_t showAfterMs;
        std::uint64_t pinnedAtMs;
        int cycles;  // between 300 and 600 ms
    } cases[] = {
        {"shown at once", false, 0, 330, 2},
        {"shown at once, Wine", true, 0, 330, 2},
        // The show event brings the look again forward, though never closer than 100 ms to the
        // early cycle at 330.
        {"shown later", false, 60, 430, 2},
        // Wine tells only of the creation: the look again after it finds the window.
        {"shown later, Wine", true, 60, 480, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFakeDesktop world;
        CFakePinFactory pins{world};
        CFakeControlPanel controller{world, pins};
        world.eventsLikeWine = c.likeWine;
        world.onWindowEvent = [&](WindowEvent event) { controller.onWindowEvent(event); };
        controller.startPinning(iniPath);
        controller.m_pins.push_back(notepadRecord());
        controller.runFor(300);
        const int before = world.enumerations;
        for (int i = 0; i < 50; ++i)
            world.addAppWindow("Other " + std::to_string(i), "other.exe", "C:\\other.exe");
        const WinHandle target = world.addAppWindow("Untitled - Notepad", "notepad.exe", kNotepadPath);
        if (c.showAfterMs != 0) {
            world.setVisible(target, false);
            world.runFor(c.showAfterMs);
            world.setVisible(target, true);
        }
        while (controller.m_pins[0].m_pinned == 0 && world.nowMs() < 600) controller.runFor(1);
        EXPECT_EQ(world.nowMs(), c.pinnedAtMs);
        controller.runFor(599 - world.nowMs());
        EXPECT_EQ(world.enumerations - before, c.cycles);
        pins.destroyAlive();
    }
}

TEST_F(ControlDlgTest, EarlyCyclesWaitForTheCycleTheirEventCameInKeepTheirDistanceAndEndWithTheSession) {
    desktop.onWindowEvent = [this](WindowEvent event) { panel.onWindowEvent(event); };
    start();
    const WinHandle first = notepad();
    panel.m_pins = {notepadRecord(), notepadRecord("Calc")};
    panel.m_pins[0].m_transFlag = 1;  // its pin restyles the target as it starts
    panel.m_pins[1].m_exeName = "CALC.EXE";
    // While the first pin waits on its target's thread, Clavora's thread handles the messages
    // that come meanwhile, the events of a new window among them: the cycle it is in has listed
    // the windows already, and the early cycle that follows it is the one to pin the new one.
    WinHandle calc = kNoWindow;
    desktop.duringNextRestyleOf(first, [&] {
        calc = desktop.addAppWindow("Calc", "calc.exe", "C:\\calc.exe");
        desktop.runFor(0);
    });
    panel.runFor(100);
    ASSERT_EQ(panel.m_pins[0].m_pinned, 1);
    EXPECT_EQ(panel.m_pins[1].m_pinned, 0);
    panel.runFor(kEarlyCycleGapMs);
    EXPECT_EQ(panel.m_pins[1].m_hTarget, calc);

    // A window that is gone before its early cycle leaves nothing behind.
    const WinHandle brief = desktop.addAppWindow("Brief", "brief.exe", "C:\\brief.exe");
    desktop.destroyWindow(brief);
    panel.runFor(kCreationRetryMs + kEarlyCycleDelayMs);
    EXPECT_EQ(factory.logs.size(), 2u);
    EXPECT_TRUE(desktop.messageBoxes.empty());

    // A title that changes every 10 ms for two seconds wakes the cycle at most once per gap.
    const int before = desktop.enumerations;
    for (int i = 0; i < 200; ++i) {
        desktop.setText(calc, "Calc " + std::to_string(i));
        panel.runFor(10);
    }
    EXPECT_LE(desktop.enumerations - before, 2000 / static_cast<int>(kEarlyCycleGapMs) + 1);

    panel.endSession();
    panel.onWindowEvent(WindowEvent::created);
    EXPECT_TRUE(panel.periods().empty()) << "no early cycle after the end";
}

// Windows that neither the cycle nor the hotkey may take, for both tables of refusals.
WinHandle invisibleWindow(CFakeDesktop& d) {
    const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
    d.setVisible(h, false);
    return h;
}

WinHandle maximisedWindow(CFakeDesktop& d) {
    const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
    d.maximize(h);
    return h;
}

WinHandle windowWithoutSystemMenu(CFakeDesktop& d) {
    const std::uint32_t pid = d.newProcessId();
    d.addProcess(pid, "a.exe", "C:\\a.exe");
    return d.addWindow({.title = "T", .pid = pid, .style = kFakeFrameStyle & ~style::kSysMenu});
}

WinHandle disabledWindow(CFakeDesktop& d) {
    const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
    d.setEnabled(h, false);
    return h;
}

// A window of a program run with higher rights than Clavora.
WinHandle elevatedWindow(CFakeDesktop& d) {
    const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
    d.elevate(d.windowProcessId(h));
    return h;
}

// A window of a program that cannot be read with any rights, run with higher rights too.
WinHandle unreadableElevatedWindow(CFakeDesktop& d) {
    const WinHandle h = d.addAppWindow("T", "", "");
    d.elevate(d.windowProcessId(h));
    return h;
}

template <std::uint32_t kBits>
WinHandle cloakedWindow(CFakeDesktop& d) {
    const WinHandle h = d.addAppWindow("T", "a.exe", "C:\\a.exe");
    d.setCloak(h, kBits);
    return h;
}

constexpr char8_t kElevatedNotice[] =
    u8"管理者権限で動いているウィンドウには画鋲をさせません.Clavoraを管理者として実行すると画鋲をさせます.";

TEST_F(ControlDlgTest, WindowListLeavesOutEveryWindowThatFailsATest) {
    struct Case {
        const char* what;
        std::function<WinHandle(CFakeDesktop&)> make;
    };
    const std::vector<Case> cases = {
        {"invisible", invisibleWindow},
        {"maximised", maximisedWindow},
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
        {"no system menu", windowWithoutSystemMenu},
        {"disabled", disabledWindow},
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
        {"elevated", elevatedWindow},
        {"cloaked by its program", cloakedWindow<cloak::kByProgram>},
        {"cloaked with its owner", cloakedWindow<cloak::kByProgram | cloak::kInherited>},
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
    // Notepad and the zero-width window reach the base name; only notepad the path and the cloak.
    EXPECT_EQ(desktop.processBaseNameCalls, 2);
    EXPECT_EQ(desktop.processImagePathCalls, 1);
    EXPECT_EQ(desktop.cloakCalls, 1);
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
    // Above the visible frame's corner, 7 px in from the window rectangle's.
    EXPECT_EQ(pinPlace.left, kNotepadRect.left + 7 + 20);
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
    EXPECT_EQ(panel.rows, (std::vector<PinListRow>{{"NOTEPAD.EXE", "Untitled - Notepad", 0}}));
    EXPECT_EQ(panel.m_saveRequested, 1) << "a record made is saved soon, so that a kill keeps it";
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
    // Owned by the pin: a box disables its owner, and the cycles that run while it is open
    // would end the pin of a disabled target.
    EXPECT_EQ(box.owner, panel.m_pins[0].m_hPinWnd);
    EXPECT_TRUE(box.text == u8"既に画鋲がささっています.");
    EXPECT_TRUE(box.caption == u8"重複操作");
    EXPECT_EQ(box.buttons, MsgButtons::ok);
    EXPECT_EQ(panel.m_pins.size(), 1u);
    EXPECT_EQ(factory.made.size(), 1u);
    EXPECT_FALSE(factory.logs[0]->destroyed) << "the pin stays while the notice is open";
    EXPECT_TRUE(desktop.isEnabled(target));
}

// Two windows alike (two untitled notepads): the record belongs to the one the user pressed
// the keys over, and pressing them again before the cycle has pinned it makes no twin record.
TEST_F(ControlDlgTest, AHotKeyRecordPinsItsOwnWindowOfTwinsAndASecondPressAddsNothing) {
    start();
    const WinHandle first = notepad();
    const WinHandle second = notepad();
    desktop.setForegroundWindow(second);
    panel.onHotKey(kPinHotKeyId);
    panel.onHotKey(kPinHotKeyId);
    ASSERT_EQ(panel.m_pins.size(), 1u);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_TRUE(desktop.messageBoxes[0].text == u8"既に画鋲がささっています.");
    EXPECT_TRUE(desktop.messageBoxes[0].caption == u8"重複操作");
    // No pin yet to own it, and its target must stay enabled for the cycle.
    EXPECT_EQ(desktop.messageBoxes[0].owner, kNoWindow);
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, second);

    // Once pinned it is a rule like any from the file: its window gone, the first alike has it.
    desktop.destroyWindow(second);
    panel.runCycle();
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, first);
}

TEST_F(ControlDlgTest, HotKeyRefusesNonCandidatesSilentlyButForAnElevatedWindow) {
    struct Case {
        const char* what;
        std::function<WinHandle(CFakeDesktop&)> make;
        // As the debug trace names the reason.
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"no window", [](CFakeDesktop&) { return kNoWindow; }, "hidden"},
        {"the desktop",
         [](CFakeDesktop& d) { return d.addAppWindow("Program Manager", "explorer.exe", "C:\\e.exe"); },
         "desktop"},
        {"empty title", [](CFakeDesktop& d) { return d.addAppWindow("", "a.exe", "C:\\a.exe"); }, "untitled"},
        {"invisible", invisibleWindow, "hidden"},
        {"maximised", maximisedWindow, "maximised"},
        {"no system menu", windowWithoutSystemMenu, "no system menu"},
        {"disabled", disabledWindow, "disabled"},
        {"zero size",
         [](CFakeDesktop& d) {
             return d.addAppWindow("T", "a.exe", "C:\\a.exe", {10, 10, 10, 10});
         },
         "off every monitor"},
        {"off every monitor",
         [](CFakeDesktop& d) {
             return d.addAppWindow("T", "a.exe", "C:\\a.exe", {-900, 10, -100, 300});
         },
         "off every monitor"},
        {"unreadable process", [](CFakeDesktop& d) { return d.addAppWindow("T", "", ""); },
         "unreadable process"},
        {"Clavora's own window",
         [](CFakeDesktop& d) { return d.addAppWindow("Clavora", "clavora.EXE", "C:\\c.exe"); },
         "own program"},
        {"elevated", elevatedWindow, "elevated"},
        {"elevated and unreadable", unreadableElevatedWindow, "elevated"},
        {"cloaked by its program", cloakedWindow<cloak::kByProgram>, "cloaked"},
        {"on another desktop", cloakedWindow<cloak::kByShell>, "on another desktop"},
        {"on another desktop with its owner", cloakedWindow<cloak::kByShell | cloak::kInherited>,
         "on another desktop"},
    };
    for (const Case& c : cases) {
        CFakeDesktop world;
        CFakePinFactory pins{world};
        CFakeControlPanel hotKeyPanel{world, pins};
        world.setForegroundWindow(c.make(world));
        traces.clear();
        hotKeyPanel.onHotKey(kPinHotKeyId);
        EXPECT_TRUE(hotKeyPanel.m_pins.empty()) << c.what;
        EXPECT_TRUE(world.messageBoxes.empty()) << c.what;
        EXPECT_EQ(hotKeyPanel.refreshes, 0) << c.what;
        EXPECT_EQ(traces, std::string("pinForegroundWindow: refused, ") + c.reason + "\n") << c.what;
        const bool elevated = std::string_view(c.reason) == "elevated";
        EXPECT_EQ(hotKeyPanel.told,
                  elevated ? std::vector<std::u8string>{kElevatedNotice} : std::vector<std::u8string>{})
            << c.what;
    }
}

TEST_F(ControlDlgTest, APinItsWindowRefusesIsNotKeptNorTriedAgainAndTheUserIsToldOnce) {
    start();
    const WinHandle target = notepad();
    // Elevated in a way the process query cannot see: the window takes the pin and refuses it.
    desktop.elevate(desktop.windowProcessId(target), false);
    panel.m_pins = {notepadRecord()};
    panel.runCycle();
    ASSERT_EQ(factory.made.size(), 1u);
    EXPECT_TRUE(factory.logs[0]->destroyed);
    EXPECT_FALSE(factory.logs[0]->shown);
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
    EXPECT_EQ(panel.told, std::vector<std::u8string>{kElevatedNotice});
    panel.runCycle();
    EXPECT_EQ(factory.made.size(), 1u);

    // Another window of the record's, after a restart of its program, is tried; the user is
    // not told again.
    desktop.destroyWindow(target);
    const WinHandle again = notepad();
    desktop.elevate(desktop.windowProcessId(again), false);
    panel.runCycle();
    EXPECT_EQ(factory.made.size(), 2u);
    EXPECT_EQ(panel.told.size(), 1u);
}

TEST_F(ControlDlgTest, APinStaysWhileItsWindowIsOnAnotherDesktopAndEndsWhenItsProgramCloaksIt) {
    start();
    const WinHandle target = notepad();
    desktop.setCloak(target, cloak::kByShell);
    panel.m_pins = {notepadRecord()};
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0) << "no pin starts on another desktop";
    desktop.setCloak(target, 0);
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[0].m_hTarget, target);

    desktop.setCloak(target, cloak::kByShell);
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target);
    EXPECT_FALSE(factory.logs[0]->destroyed) << "not counted as gone";
    desktop.setCloak(target, cloak::kByProgram);
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
    EXPECT_TRUE(factory.logs[0]->destroyed);
}

TEST_F(ControlDlgTest, AStoreAppIsNamedByItsOwnProgramAndOldRecordsOfTheHostStillMatch) {
    start();
    constexpr char kCalcPath[] = "C:\\Program Files\\WindowsApps\\Calculator\\CalculatorApp.exe";
    const WinHandle frame =
        desktop.addAppWindow("電卓", "ApplicationFrameHost.exe", "C:\\Windows\\ApplicationFrameHost.exe");
    const std::uint32_t app = desktop.newProcessId();
    desktop.addProcess(app, "CalculatorApp.exe", kCalcPath);
    desktop.addChild(frame, "ApplicationFrameTitleBarWindow", 0, "");
    desktop.setWindowProcess(desktop.addChild(frame, "Windows.UI.Core.CoreWindow", 0, "電卓"), app);

    desktop.setForegroundWindow(frame);
    panel.onHotKey(kPinHotKeyId);
    ASSERT_EQ(panel.m_pins.size(), 1u);
    EXPECT_EQ(panel.m_pins[0].m_exeName, "CALCULATORAPP.EXE");
    EXPECT_EQ(panel.m_pins[0].m_exePath, kCalcPath) << "the panel shows the app's icon";
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, frame);

    CPinData saved = notepadRecord("電卓");
    saved.m_exeName = "APPLICATIONFRAMEHOST.EXE";
    panel.endAllPins();
    panel.m_pins = {saved};
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, frame);
    EXPECT_EQ(panel.m_pins[0].m_exeName, "APPLICATIONFRAMEHOST.EXE");
    EXPECT_EQ(panel.m_pins[0].m_exePath, kCalcPath);
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

TEST_F(ControlDlgTest, SaveFollowsOnTheSixthTickAndTheCountdownStopsUntilTheNextRequest) {
    start();
    panel.requestSave();
    EXPECT_EQ(panel.periods().at(kSaveTimerId), 100u);
    for (int tick = 1; tick <= 5; ++tick) panel.onTimer(kSaveTimerId);
    EXPECT_TRUE(saveTimes.empty());
    panel.onTimer(kSaveTimerId);
    EXPECT_EQ(saveTimes.size(), 1u);
    EXPECT_EQ(panel.periods().count(kSaveTimerId), 0u);
    panel.onTimer(kSaveTimerId);
    EXPECT_EQ(saveTimes.size(), 1u);
    panel.requestSave();
    panel.runFor(600);
    EXPECT_EQ(saveTimes.size(), 2u);
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
    EXPECT_GT(traces.find("EndPin! title=Untitled - Notepad\n"),
              traces.find("CControlDlg::__writeIniFile()\n"));
    EXPECT_EQ(desktop.registeredHotKey(panel.m_window, kPinHotKeyId), std::nullopt);
    EXPECT_NE(readIni().find("PINNUM=1\r\n"), std::string::npos);
}

// WM_ENDSESSION is answered right after this: the system may end the process then.
TEST_F(ControlDlgTest, SessionEndReleasesTheHotKeyEndsThePinsAndSavesBeforeItAnswers) {
    start();
    notepad();
    panel.m_pins.push_back(notepadRecord());
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[0].m_pinned, 1);

    // Set from the pin's menu since it last ended: the file must have it all the same.
    factory.made[0]->m_transFlag = 1;
    factory.made[0]->m_trans = 40;
    panel.endSession();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
    EXPECT_EQ(desktop.registeredHotKeyCount(), 0u);
    // Written first: ending a pin waits on its target, which is busy ending itself.
    const std::size_t written = traces.find("CControlDlg::__writeIniFile()");
    ASSERT_NE(written, std::string::npos);
    EXPECT_NE(traces.find("EndPin! title=Untitled - Notepad", written), std::string::npos) << traces;
    EXPECT_NE(readIni().find("PINNUM=1\r\n"), std::string::npos);
    EXPECT_NE(readIni().find("TRSPF=1\r\nTRANS=40\r\n"), std::string::npos);
    EXPECT_TRUE(panel.periods().empty()) << "no cycle pins anything again before the window goes";

    traces.clear();
    panel.DestroyWindow();
    EXPECT_EQ(traces.find("__writeIniFile"), std::string::npos) << "written once";
}

TEST_F(ControlDlgTest, ASessionEndWhileAPinWaitsOnItsTargetLeavesThatPinUntilThePanelGoes) {
    start();
    const WinHandle target = notepad();
    desktop.addAppWindow("Calc", "calc.exe", "C:\\calc.exe");
    panel.m_pins = {notepadRecord(), notepadRecord("Calc")};
    panel.m_pins[0].m_transFlag = 1;  // its pin restyles the target as it starts
    panel.m_pins[1].m_exeName = "CALC.EXE";
    // As the main window answers an ending that comes under another handler.
    desktop.duringNextRestyleOf(target, [&] { panel.endSession(CControlDlg::PinsEnd::later); });
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 1) << "the pin went on starting";
    EXPECT_EQ(panel.m_pins[1].m_pinned, 0) << "nothing is pinned after the end";
    EXPECT_TRUE(panel.periods().empty()) << "the cycle is not re-armed";
    EXPECT_NE(readIni().find("PINNUM=2\r\n"), std::string::npos);

    panel.DestroyWindow();
    EXPECT_FALSE(desktop.exStyle(target) & style::kExLayered) << "the window given back as found";
    EXPECT_TRUE(factory.logs[0]->destroyed);
}

TEST_F(ControlDlgTest, PullingAPinOutForgetsItsRecordWithoutTakingItsValuesBack) {
    start();
    const WinHandle target = notepad();
    const WinHandle other = desktop.addAppWindow("Calc", "calc.exe", "C:\\calc.exe");
    panel.m_pins = {notepadRecord(), notepadRecord("Calc")};
    panel.m_pins[1].m_exeName = "CALC.EXE";
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[1].m_hTarget, other);
    const WinHandle pulled = panel.m_pins[1].m_hPinWnd;
    const unsigned pulledBits = handleBits(pulled);
    const unsigned firstBits = handleBits(panel.m_pins[0].m_hPinWnd);
    traces.clear();

    desktop.answerQueue = {MsgAnswer::yes};
    chooseFromPinMenu(pulled, IDM_PIN_PULL_OUT);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, u8"画鋲を抜きますか？");
    EXPECT_EQ(desktop.messageBoxes[0].owner, pulled) << "the question disables the pin, not its window";
    EXPECT_TRUE(factory.logs[1]->destroyed);
    EXPECT_FALSE(factory.logs[0]->destroyed);
    ASSERT_EQ(panel.m_pins.size(), 1u);
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target);
    EXPECT_EQ(panel.rows, (std::vector<PinListRow>{{"NOTEPAD.EXE", "Untitled - Notepad", 0, true}}));
    EXPECT_EQ(panel.m_saveRequested, 1);
    EXPECT_EQ(traces.find("EndPin!"), std::string::npos);
    char expected[128];
    std::snprintf(expected, sizeof expected,
                  "Data hWnd=0x%08x\nObj  hWnd=0x%08x\nData hWnd=0x%08x\nObj  hWnd=0x%08x\n", firstBits,
                  pulledBits, pulledBits, pulledBits);
    EXPECT_NE(traces.find(expected), std::string::npos) << traces;

    panel.runCycle();
    EXPECT_EQ(factory.made.size(), 2u) << "the window stays unpinned";
}

// --- the panel's list and buttons ---

TEST_F(ControlDlgTest, RowsCarryEachProgramsIconAskedOfTheShellOncePerPath) {
    panel.icons.hasProgramIcon = false;
    panel.m_pins.assign(4, notepadRecord());
    panel.m_pins[0].m_exePath = kNotepadPath;
    panel.m_pins[1].m_exePath = "C:\\gone\\calc.exe";
    panel.m_pins[2].m_exePath = kNotepadPath;
    panel.m_pins[3].m_exePath = "DESKTOP";
    panel.refreshList();
    panel.refreshList();
    std::vector<int> images;
    for (const PinListRow& row : panel.rows) images.push_back(row.image);
    // A file without an icon shows the error icon; a row with no picture at all shows its name only.
    EXPECT_EQ(images, (std::vector<int>{0, 1, 0, -1}));
    EXPECT_EQ(panel.icons.images, (std::vector<std::string>{kNotepadPath, CFakeIconStore::kErrorIcon}));
    EXPECT_EQ(panel.icons.shellQueries, 2);
    EXPECT_EQ(panel.rows[3].programName, "NOTEPAD.EXE");
}

TEST_F(ControlDlgTest, PropertySettingsCancelledChangesNothing) {
    start();
    notepad();
    panel.m_pins.push_back(notepadRecord());
    panel.runCycle();
    desktop.clearCalls();
    panel.onPropertySettings();
    ASSERT_EQ(panel.sizeDialogRuns.size(), 1u);
    const CPinSettings& shown = panel.sizeDialogRuns[0];
    EXPECT_EQ(std::tie(shown.m_pinSize, shown.m_moveEnable, shown.m_hotKey, shown.m_hotKeyModifiers),
              std::make_tuple(1, 0, 90, 8));
    EXPECT_TRUE(desktop.calls().empty());
    EXPECT_EQ(panel.m_pins[0].m_pinned, 1);
    EXPECT_EQ(panel.m_saveRequested, 0);
}

TEST_F(ControlDlgTest, PropertySettingsOKTakesTheValuesReRegistersAndMakesEveryPinAnew) {
    start();
    notepad("Memo 0", {10, 40, 410, 340});
    notepad("Memo 1", {500, 60, 900, 460});
    panel.m_pins = {notepadRecord("Memo 0"), notepadRecord("Memo 1")};
    panel.runCycle();
    panel.sizeDialogUser = [](CPinSettings& settings) {
        settings = CPinSettings{0, 1, 'X', 8};
        return true;
    };
    panel.onPropertySettings();
    EXPECT_EQ(std::tie(panel.m_pinSize, panel.m_moveEnable, panel.m_hotKey, panel.m_hotKeyModifiers),
              std::make_tuple(0, 1, static_cast<int>('X'), 8));
    EXPECT_EQ(desktop.registeredHotKey(panel.m_window, kPinHotKeyId),
              (std::pair<unsigned, unsigned>{hotkeymod::kNoRepeat | 8, 'X'}));
    EXPECT_EQ(desktop.registeredHotKeyCount(), 1u) << "Win+Z is released";
    for (const auto& log : factory.logs) EXPECT_TRUE(log->destroyed);
    for (const CPinData& pin : panel.m_pins) EXPECT_EQ(pin.m_pinned, 0);
    EXPECT_EQ(panel.rows.size(), 2u);
    EXPECT_TRUE(desktop.messageBoxes.empty());

    // The next cycle puts both pins back, and the settings reach the file.
    panel.runFor(600);
    EXPECT_EQ(factory.made.size(), 4u);
    for (const CPinData& pin : panel.m_pins) EXPECT_EQ(pin.m_pinned, 1);
    ASSERT_EQ(saveTimes.size(), 1u);
    const std::string ini = readIni();
    EXPECT_NE(ini.find("PINSIZE=0\r\nMOVEENABLE=1\r\nPNHOTKEY=88\r\nPNMODIFIERS=8\r\n"), std::string::npos)
        << ini;
}

TEST_F(ControlDlgTest, PropertySettingsOKUnchangedStillEndsThePinsAndKeepsTheHotKey) {
    start();
    notepad();
    panel.m_pins.push_back(notepadRecord());
    panel.runCycle();
    panel.sizeDialogUser = [](CPinSettings&) { return true; };
    panel.onPropertySettings();
    // Released before it is registered again, or the second registration would fail.
    EXPECT_EQ(desktop.registeredHotKey(panel.m_window, kPinHotKeyId),
              (std::pair<unsigned, unsigned>{hotkeymod::kNoRepeat | 8, 90}));
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_TRUE(factory.logs[0]->destroyed);
    EXPECT_EQ(panel.m_saveRequested, 1);
}

TEST_F(ControlDlgTest, PropertySettingsWithAKeyTakenMeanwhileSaysSoAndAppliesTheRest) {
    start();
    notepad();
    panel.m_pins.push_back(notepadRecord());
    panel.runCycle();
    // Free when the dialog tested it, taken by another program before the panel registers it.
    panel.sizeDialogUser = [this](CPinSettings& settings) {
        settings = CPinSettings{0, 1, 'P', 6};
        desktop.holdHotKeyElsewhere(6, 'P');
        return true;
    };
    panel.onPropertySettings();
    EXPECT_NE(traces.find("RegisterHotKey() Error=1409\n"), std::string::npos);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_TRUE(desktop.messageBoxes[0].text ==
                u8"ホットキーの登録が重複しています.他のキーに変更してください ");
    EXPECT_TRUE(desktop.messageBoxes[0].appBox);
    EXPECT_EQ(desktop.registeredHotKeyCount(), 0u);
    EXPECT_EQ(std::tie(panel.m_pinSize, panel.m_hotKey, panel.m_hotKeyModifiers),
              std::make_tuple(0, static_cast<int>('P'), 6));
    EXPECT_TRUE(factory.logs[0]->destroyed);
    panel.runFor(600);
    EXPECT_NE(readIni().find("PNHOTKEY=80\r\nPNMODIFIERS=6\r\n"), std::string::npos);
}

TEST_F(ControlDlgTest, DeleteWithoutASelectionOnlySaysSo) {
    start();
    panel.m_pins.push_back(notepadRecord());
    panel.onDeletePin();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_TRUE(desktop.messageBoxes[0].text == u8"削除するデータを一覧で選択してください");
    EXPECT_EQ(desktop.messageBoxes[0].buttons, MsgButtons::ok);
    EXPECT_EQ(panel.m_pins.size(), 1u);
    EXPECT_EQ(panel.m_saveRequested, 0);
}

TEST_F(ControlDlgTest, DeleteAsksFirstAndActsOnlyOnYesForARecordThatExists) {
    start();
    panel.m_pins = {notepadRecord("Memo 0"), notepadRecord("Memo 1")};
    struct Case {
        int selection;
        MsgAnswer answer;
        std::size_t left;
        MsgButtons asked;
    };
    // No keeps the record; a selection beyond the last record (a stale list) selects nothing.
    for (const Case& c :
         {Case{0, MsgAnswer::no, 2, MsgButtons::yesNo}, Case{2, MsgAnswer::yes, 2, MsgButtons::ok},
          Case{0, MsgAnswer::yes, 1, MsgButtons::yesNo}}) {
        desktop.messageBoxes.clear();
        desktop.answerQueue = {c.answer};
        panel.selection = c.selection;
        panel.onDeletePin();
        ASSERT_EQ(desktop.messageBoxes.size(), 1u);
        EXPECT_TRUE(desktop.messageBoxes[0].text == (c.asked == MsgButtons::yesNo
                                                         ? u8"選択したデータを削除しますか？"
                                                         : u8"削除するデータを一覧で選択してください"));
        EXPECT_EQ(desktop.messageBoxes[0].buttons, c.asked);
        EXPECT_EQ(panel.m_pins.size(), c.left) << "selection " << c.selection;
    }
    EXPECT_EQ(panel.rows, (std::vector<PinListRow>{{"NOTEPAD.EXE", "Memo 1", 0}}));
    EXPECT_EQ(panel.m_saveRequested, 1);
    panel.runFor(600);
    EXPECT_NE(readIni().find("PINNUM=1\r\n"), std::string::npos);
}

TEST_F(ControlDlgTest, DeletingAShownPinClosesItsWindowAndGivesItsTargetBackAsFound) {
    start();
    notepad("Memo 0", {10, 40, 410, 340});
    const WinHandle target = notepad("Memo 1", {500, 60, 900, 460});
    const std::uint32_t styleBefore = desktop.style(target);
    panel.m_pins = {notepadRecord("Memo 0"), notepadRecord("Memo 1")};
    panel.m_pins[1].m_zOrder = 1;
    panel.runCycle();
    ASSERT_NE(desktop.exStyle(target) & style::kExTopmost, 0u);
    traces.clear();

    panel.selection = 1;
    desktop.answerQueue = {MsgAnswer::yes};
    panel.onDeletePin();
    EXPECT_TRUE(factory.logs[1]->destroyed);
    EXPECT_FALSE(factory.logs[0]->destroyed);
    EXPECT_EQ(desktop.exStyle(target) & style::kExTopmost, 0u);
    EXPECT_EQ(desktop.style(target), styleBefore);
    EXPECT_EQ(traces.find("EndPin!"), std::string::npos) << "nothing is taken back";
    EXPECT_EQ(panel.rows, (std::vector<PinListRow>{{"NOTEPAD.EXE", "Memo 0", 0, true}}));
    panel.runCycle();
    EXPECT_EQ(factory.made.size(), 2u) << "the window stays unpinned";
}

TEST_F(ControlDlgTest, AWindowLetGoForGoodIsBackInTheBandItWasFoundIn) {
    enum class LetGo { deleted, pulledOut, exit, maximisedThenExit, maximised };
    struct Case {
        LetGo how;
        bool topmostBefore;
        int zOrder;
        bool topmostAfter;
    };
    for (const Case c : {Case{LetGo::deleted, false, 1, false}, Case{LetGo::deleted, true, 0, true},
                         Case{LetGo::pulledOut, true, 1, true}, Case{LetGo::exit, false, 1, false},
                         Case{LetGo::exit, true, 0, true}, Case{LetGo::maximisedThenExit, false, 1, false},
                         // A pin that may come back keeps the band it gave.
                         Case{LetGo::maximised, false, 1, true}, Case{LetGo::maximised, true, 0, false}}) {
        SCOPED_TRACE(static_cast<int>(c.how) * 10 + c.topmostBefore);
        CFakeDesktop world;
        CFakePinFactory pins{world};
        CFakeControlPanel controller{world, pins};
        controller.startPinning(iniPath);
        const WinHandle target = world.addAppWindow("Memo", "notepad.exe", kNotepadPath, kNotepadRect);
        world.setTopmost(target, c.topmostBefore, Activation::none);
        // The keyboard stays with the window the user types in, whatever the pins do.
        const WinHandle typing = world.addAppWindow("Typing", "editor.exe", "C:\\editor.exe");
        world.setForegroundWindow(typing);
        controller.m_pins = {notepadRecord("Memo")};
        controller.m_pins[0].m_zOrder = c.zOrder;
        controller.runCycle();
        ASSERT_EQ((world.exStyle(target) & style::kExTopmost) != 0, c.zOrder == 1);
        EXPECT_EQ(world.foregroundWindow(), typing);
        controller.selection = 0;
        world.answerQueue = {MsgAnswer::yes};
        switch (c.how) {
            case LetGo::deleted:
                controller.onDeletePin();
                break;
            case LetGo::pulledOut:
                chooseFromPinMenu(controller.m_pins[0].m_hPinWnd, IDM_PIN_PULL_OUT);
                break;
            case LetGo::maximised:
            case LetGo::maximisedThenExit:
                world.maximize(target);
                controller.runCycle();
                ASSERT_EQ(controller.m_pins[0].m_pinned, 0);
                if (c.how == LetGo::maximised) break;
                [[fallthrough]];
            case LetGo::exit:
                controller.endSession();
                break;
        }
        EXPECT_EQ((world.exStyle(target) & style::kExTopmost) != 0, c.topmostAfter);
        EXPECT_EQ(world.foregroundWindow(), typing);
        pins.destroyAlive();
    }
}

TEST_F(ControlDlgTest, TheListMarksShownPinsAndTheSelectionFollowsItsRecord) {
    start();
    notepad("Memo 0");
    const WinHandle memo1 = notepad("Memo 1");
    panel.m_pins = {notepadRecord("Memo 0"), notepadRecord("Memo 1"), notepadRecord("Memo 2")};
    for (CPinData& record : panel.m_pins) record.m_exePath = kNotepadPath;
    panel.refreshList();
    panel.runCycle();
    const auto row = [](const char* title, bool pinned) {
        return PinListRow{"NOTEPAD.EXE", title, 0, pinned};
    };
    EXPECT_EQ(panel.rows,
              (std::vector<PinListRow>{row("Memo 0", true), row("Memo 1", true), row("Memo 2", false)}));

    panel.selection = 2;
    desktop.destroyWindow(memo1);
    panel.runCycle();
    EXPECT_EQ(panel.rows[1], row("Memo 1", false));
    EXPECT_EQ(panel.selection, 2) << "an ending pin redraws the list";
    panel.forgetRecord(panel.m_pins[0].m_recordId);
    EXPECT_EQ(panel.selection, 1) << "a record before it went";

    desktop.answerQueue = {MsgAnswer::yes};
    panel.onDeletePin();
    EXPECT_EQ(panel.rows, (std::vector<PinListRow>{row("Memo 1", false)}));
    EXPECT_TRUE(desktop.messageBoxes.back().text == u8"選択したデータを削除しますか？");
    EXPECT_EQ(panel.selection, -1);
}

TEST_F(ControlDlgTest, DeleteRemovesThePinThatTheCycleStartedWhileTheQuestionWasOpen) {
    start();
    panel.m_pins.push_back(notepadRecord());
    panel.selection = 0;
    desktop.answerQueue = {MsgAnswer::yes};
    // The user opens the window and the cycle pins it while the question waits.
    desktop.onMessageBox = [this](const FakeMessageBox&) {
        notepad();
        panel.runFor(100);
    };
    panel.onDeletePin();
    ASSERT_EQ(factory.logs.size(), 1u);
    EXPECT_TRUE(factory.logs[0]->destroyed);
    EXPECT_TRUE(panel.m_pins.empty());
}

// --- editing the matching conditions ---

// The match condition dialog as the panel's window runs it, with a scripted user.
CFakeControlPanel::MatchDialogUser matchDialogPlayedBy(CFakeDesktop& desktop,
                                                       CFakeMatchConditionDlg::User user) {
    return [&desktop, user](CPinData& record, bool fromPin, WinHandle) {
        CFakeMatchConditionDlg dialog(desktop, user);
        return dialog.edit(record, fromPin);
    };
}

// What a user changes in the dialog: part matching of the title.
bool matchTitlePart(CPinData& record) {
    record.m_fullFlag = 0;
    record.m_titlePart = "Notepad";
    return true;
}

TEST_F(ControlDlgTest, ConditionsFromAPinEditItsRecordWhichKeepsThePin) {
    start();
    notepad("Memo 0", {10, 40, 410, 340});
    const WinHandle target = notepad("Memo 1", {500, 60, 900, 460});
    panel.m_pins = {notepadRecord("Memo 0"), notepadRecord("Memo 1")};
    panel.runCycle();
    CPinDlg* pin = panel.m_pins[1].pinDlg();
    const WinHandle pinHandle = pin->pinHandle();
    const unsigned firstBits = handleBits(panel.m_pins[0].m_hPinWnd);
    traces.clear();
    panel.matchDialogUser = [&](CPinData& record, bool fromPin, WinHandle pinWindow) {
        EXPECT_TRUE(fromPin);
        EXPECT_EQ(pinWindow, pinHandle);
        EXPECT_EQ(record.m_hTarget, target);
        record.m_fullFlag = 0;
        record.m_titlePart = "Memo";
        return true;
    };
    panel.changeConditionsFromPin(pinHandle);

    char expected[128];
    std::snprintf(expected, sizeof expected,
                  "Data hWnd=0x%08x\nObj  hWnd=0x%08x\nData hWnd=0x%08x\nObj  hWnd=0x%08x\n", firstBits,
                  handleBits(pinHandle), handleBits(pinHandle), handleBits(pinHandle));
    EXPECT_EQ(traces, expected);
    EXPECT_EQ(panel.m_pins[1].m_titlePart, "Memo");
    EXPECT_EQ(panel.m_pins[1].m_fullFlag, 0);
    EXPECT_EQ(panel.m_pins[0].m_fullFlag, 1);
    EXPECT_EQ(panel.m_pins[1].pinDlg(), pin);
    EXPECT_EQ(panel.m_saveRequested, 1);
    panel.runCycle();
    EXPECT_EQ(factory.made.size(), 2u);
    EXPECT_FALSE(factory.logs[1]->destroyed) << "the pin stays while the new conditions hold";
}

TEST_F(ControlDlgTest, CancelledConditionsFromAPinChangeNothing) {
    start();
    notepad();
    panel.m_pins = {notepadRecord()};
    panel.runCycle();
    panel.matchDialogUser = [](CPinData& record, bool, WinHandle) { return !matchTitlePart(record); };
    panel.changeConditionsFromPin(panel.m_pins[0].m_hPinWnd);
    EXPECT_EQ(panel.matchDialogRuns, 1);
    EXPECT_EQ(panel.m_pins[0].m_fullFlag, 1);
    EXPECT_EQ(panel.m_saveRequested, 0);
    EXPECT_EQ(panel.m_pins[0].m_pinned, 1);

    // A pin window that no record holds opens nothing.
    CFakePinFactory strays{desktop};
    panel.changeConditionsFromPin(strays.createPinDlg(kNoWindow)->pinHandle());
    panel.changeConditionsFromPin(kNoWindow);
    EXPECT_EQ(panel.matchDialogRuns, 1);
    strays.destroyAlive();
}

TEST_F(ControlDlgTest, AChildChosenOnThePinnedWindowBecomesARuleThatTheCycleAndTheFileKeep) {
    start();
    const WinHandle target = notepad();
    const WinHandle status = desktop.addChild(target, "Static", 33, "Ready");
    desktop.addChild(target, "Button", 2, "Close");
    panel.m_pins = {notepadRecord()};
    panel.runCycle();
    // Chosen, then cancelled: the record keeps its condition.
    panel.matchDialogUser = matchDialogPlayedBy(desktop, [](CFakeMatchConditionDlg& dialog) {
        dialog.childUser = [](CFakeChildSelDlg& selection) {
            selection.clickRow(0);
            EXPECT_TRUE(selection.pressOK());
        };
        dialog.pressSelectChild();
    });
    panel.changeConditionsFromPin(panel.m_pins[0].m_hPinWnd);
    EXPECT_EQ(panel.m_pins[0].m_exClassName, "");

    panel.matchDialogUser = matchDialogPlayedBy(desktop, [](CFakeMatchConditionDlg& dialog) {
        dialog.childUser = [](CFakeChildSelDlg& selection) {
            EXPECT_EQ(selection.rows.size(), 2u) << "the pinned window's children";
            selection.clickRow(0);
            EXPECT_TRUE(selection.pressOK());
        };
        dialog.pressSelectChild();
        dialog.controls.checkExtent = 1;
        EXPECT_EQ(dialog.pressOK(), CMatchConditionDlg::Close::ok);
    });
    panel.changeConditionsFromPin(panel.m_pins[0].m_hPinWnd);
    const CPinData& record = panel.m_pins[0];
    EXPECT_EQ(record.m_extentFlag, 1);
    EXPECT_EQ(record.m_exClassName, "Static");
    EXPECT_EQ(record.m_exCtrlID, 33);
    EXPECT_EQ(record.m_exText, "Ready");

    panel.runCycle();
    EXPECT_EQ(record.m_pinned, 1);
    desktop.setText(status, "Busy");
    panel.runCycle();
    EXPECT_EQ(record.m_pinned, 0) << "the child's text no longer matches";
    desktop.setText(status, "Ready");
    panel.runCycle();
    EXPECT_EQ(record.m_hTarget, target);
    EXPECT_EQ(factory.made.size(), 2u);

    panel.runFor(600);
    const std::string file = readIni();
    EXPECT_NE(file.find("EXTENTFLAG=1\r\n"), std::string::npos);
    EXPECT_NE(file.find("EXTEXT=Ready\r\n"), std::string::npos);
    EXPECT_NE(file.find("EXCLASS=Static\r\nEXCTRLID=33\r\n"), std::string::npos);
}

TEST_F(ControlDlgTest, ConditionsFromAPinFindTheirRecordAgainAfterAnotherPinWasPulledOut) {
    start();
    notepad("Memo 0", {10, 40, 410, 340});
    notepad("Memo 1", {500, 60, 900, 460});
    panel.m_pins = {notepadRecord("Memo 0"), notepadRecord("Memo 1")};
    panel.runCycle();
    panel.matchDialogUser = [this](CPinData& record, bool, WinHandle) {
        panel.forgetRecord(panel.m_pins[0].m_recordId);
        return matchTitlePart(record);
    };
    panel.changeConditionsFromPin(panel.m_pins[1].m_hPinWnd);
    ASSERT_EQ(panel.m_pins.size(), 1u);
    EXPECT_EQ(panel.m_pins[0].m_title, "Memo 1");
    EXPECT_EQ(panel.m_pins[0].m_titlePart, "Notepad");
}

TEST_F(ControlDlgTest, ConditionsFromAPinThatEndedMeanwhileStillReachItsRecord) {
    start();
    const WinHandle target = notepad();
    panel.m_pins = {notepadRecord()};
    panel.runCycle();
    // The very case in which a user edits conditions: the title changed and the pin ended.
    panel.matchDialogUser = [&](CPinData& record, bool, WinHandle) {
        desktop.setText(target, "Memo - Notepad");
        return matchTitlePart(record);
    };
    panel.changeConditionsFromPin(panel.m_pins[0].m_hPinWnd);
    EXPECT_EQ(panel.m_pins[0].m_fullFlag, 0);
    EXPECT_EQ(panel.m_pins[0].m_titlePart, "Notepad");
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target) << "the edited record pins the retitled window";
}

TEST_F(ControlDlgTest, ChangeConditionsNeedsASelectedRecordWhosePinIsNotShown) {
    start();
    notepad();
    panel.m_pins = {notepadRecord(), notepadRecord("Calc")};
    panel.runCycle();
    struct Case {
        int selection;
        std::u8string message;
    };
    for (const Case& c :
         {Case{-1, u8"マッチング条件変更するデータを一覧で選択してください"}, Case{2, u8""},
          Case{0, u8"現在表示中です。画鋲の右クリックメニューから条件変更を行ってください"}}) {
        desktop.messageBoxes.clear();
        panel.selection = c.selection;
        panel.onChangeConditions();
        if (c.message.empty()) {
            EXPECT_TRUE(desktop.messageBoxes.empty()) << "selection " << c.selection;
        } else {
            ASSERT_EQ(desktop.messageBoxes.size(), 1u) << "selection " << c.selection;
            EXPECT_TRUE(desktop.messageBoxes[0].text == c.message) << "selection " << c.selection;
            EXPECT_TRUE(desktop.messageBoxes[0].appBox);
        }
    }
    EXPECT_EQ(panel.matchDialogRuns, 0);

    panel.selection = 1;
    panel.matchDialogUser = [](CPinData& record, bool fromPin, WinHandle pinWindow) {
        EXPECT_FALSE(fromPin);
        EXPECT_EQ(pinWindow, kNoWindow);
        return !matchTitlePart(record);
    };
    panel.onChangeConditions();
    EXPECT_EQ(panel.m_pins[1].m_fullFlag, 1) << "cancelled";
    EXPECT_EQ(panel.m_saveRequested, 0);

    panel.matchDialogUser = [](CPinData& record, bool, WinHandle) { return matchTitlePart(record); };
    const int refreshes = panel.refreshes;
    panel.onChangeConditions();
    EXPECT_EQ(panel.m_pins[1].m_fullFlag, 0);
    EXPECT_EQ(panel.m_pins[1].m_titlePart, "Notepad");
    EXPECT_EQ(panel.refreshes, refreshes + 1);
    EXPECT_EQ(panel.m_saveRequested, 1);
}

TEST_F(ControlDlgTest, AnEditFromTheListKeepsThePinThatTheCycleStartedMeanwhile) {
    start();
    panel.m_pins = {notepadRecord()};
    panel.selection = 0;
    WinHandle target{};
    panel.matchDialogUser = [&](CPinData& record, bool, WinHandle) {
        target = notepad();
        panel.runFor(500);
        return matchTitlePart(record);
    };
    panel.onChangeConditions();
    const CPinData& record = panel.m_pins[0];
    ASSERT_EQ(factory.made.size(), 1u);
    EXPECT_EQ(record.m_pinned, 1);
    EXPECT_EQ(record.m_hTarget, target);
    EXPECT_EQ(record.pinDlg(), factory.last);
    EXPECT_EQ(record.m_titlePart, "Notepad");
    panel.runCycle();
    EXPECT_EQ(factory.made.size(), 1u) << "one pin window, held by one record";
    EXPECT_FALSE(factory.logs[0]->destroyed);
}

TEST_F(ControlDlgTest, AnEditFromTheListKeepsWhatAPinThatCameAndWentMeanwhileTookBack) {
    start();
    panel.m_pins = {notepadRecord()};
    panel.selection = 0;
    panel.matchDialogUser = [this](CPinData& record, bool, WinHandle) {
        const WinHandle target = notepad();
        panel.runFor(500);
        factory.last->m_trans = 40;
        factory.last->m_transFlag = 1;
        desktop.destroyWindow(target);
        panel.runFor(500);
        return matchTitlePart(record);
    };
    panel.onChangeConditions();
    const CPinData& record = panel.m_pins[0];
    EXPECT_EQ(record.m_pinned, 0);
    EXPECT_EQ(record.m_trans, 40);
    EXPECT_EQ(record.m_transFlag, 1);
    EXPECT_NE(record.m_rectTarget.width(), 0);
    EXPECT_EQ(record.m_titlePart, "Notepad");
}

TEST_F(ControlDlgTest, AnEditFromTheListFollowsItsRecordWhenAnEarlierOneGoesAndIsDroppedWhenItGoes) {
    start();
    notepad("Memo 0", {10, 40, 410, 340});
    panel.m_pins = {notepadRecord("Memo 0"), notepadRecord("Memo 1")};
    panel.runCycle();
    panel.selection = 1;
    panel.matchDialogUser = [this](CPinData& record, bool, WinHandle) {
        panel.forgetRecord(panel.m_pins[0].m_recordId);
        return matchTitlePart(record);
    };
    panel.onChangeConditions();
    ASSERT_EQ(panel.m_pins.size(), 1u);
    EXPECT_EQ(panel.m_pins[0].m_titlePart, "Notepad");

    panel.selection = 0;
    panel.matchDialogUser = [this](CPinData& record, bool, WinHandle) {
        desktop.answerQueue = {MsgAnswer::yes};
        panel.onDeletePin();
        return matchTitlePart(record);
    };
    panel.onChangeConditions();
    EXPECT_TRUE(panel.m_pins.empty());
}

TEST_F(ControlDlgTest, TitlesOfAnyLengthPinTheWindowTheyWereTakenFrom) {
    start();
    // "表" is 0x95 0x5C: with 254 bytes before it, the 256-byte buffer cuts it in two.
    const std::string cutInTwo = std::string(254, 'j') + "\x95\x5C" + "tail";
    const std::vector<std::string> titles = {"a",
                                             std::string(255, 'b'),
                                             std::string(256, 'c'),
                                             std::string(259, 'd'),
                                             std::string(260, 'e'),
                                             std::string(2000, 'f'),
                                             cutInTwo,
                                             "two\r\nlines",
                                             "ends in a lone lead byte \x95"};
    std::vector<WinHandle> windows;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const std::string exe = "app" + std::to_string(i) + ".exe";
        windows.push_back(desktop.addAppWindow(titles[i], exe, "C:\\" + exe));
        desktop.setForegroundWindow(windows.back());
        panel.onHotKey(kPinHotKeyId);
    }
    panel.runCycle();
    ASSERT_EQ(panel.m_pins.size(), titles.size());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        EXPECT_EQ(panel.m_pins[i].m_title, titles[i].substr(0, kTitleBufferBytes - 1)) << i;
        EXPECT_EQ(panel.m_pins[i].m_hTarget, windows[i]) << i;
    }
    EXPECT_EQ(panel.m_pins[6].m_title.back(), '\x95');
}

// 도구 - PuTTY and 문서 - PuTTY, which the ANSI calls both read as "?? - PuTTY".
TEST_F(ControlDlgTest, AHotKeyRecordOfATitleOutsideTheCodePagePinsItsOwnWindowAfterARestart) {
    start();
    const std::string tool =
        dataTextFromUtf8(systemCodePage(), "\xEB\x8F\x84\xEA\xB5\xAC - PuTTY \xF0\x9F\x98\x80");
    const std::string doc =
        dataTextFromUtf8(systemCodePage(), "\xEB\xAC\xB8\xEC\x84\x9C - PuTTY \xF0\x9F\x98\x80");
    const WinHandle other = desktop.addAppWindow(doc, "putty.exe", "C:\\putty.exe");
    const WinHandle target = desktop.addAppWindow(tool, "putty.exe", "C:\\putty.exe");
    desktop.setForegroundWindow(target);
    panel.onHotKey(kPinHotKeyId);
    ASSERT_EQ(panel.m_pins.size(), 1u);
    EXPECT_EQ(panel.rows.at(0).title, tool);
    panel.DestroyWindow();
    EXPECT_EQ(readIni().find("\xEF\xBB\xBF[SYSTEM]\r\n"), 0u);
    EXPECT_NE(readIni().find("TITLE=\xEB\x8F\x84\xEA\xB5\xAC - PuTTY \xF0\x9F\x98\x80\r\n"),
              std::string::npos);

    CFakePinFactory restartedPins{desktop};
    CFakeControlPanel restarted{desktop, restartedPins};
    restarted.startPinning(iniPath);
    restarted.runCycle();
    ASSERT_EQ(restarted.m_pins.size(), 1u);
    EXPECT_EQ(restarted.m_pins[0].m_title, tool);
    EXPECT_EQ(restarted.m_pins[0].m_hTarget, target);
    EXPECT_NE(restarted.m_pins[0].m_hTarget, other);
    restartedPins.destroyAlive();
}

TEST_F(ControlDlgTest, APinStaysWhileItsWindowsProgramDoesNotAnswer) {
    start();
    const WinHandle byTitle = notepad();
    const WinHandle byChild = notepad("Memo", {10, 40, 410, 340});
    const WinHandle status = desktop.addChild(byChild, "Edit", 15, "ready");
    CPinData extended = notepadRecord("Memo");
    extended.m_extentFlag = 1;
    extended.m_exClassName = "Edit";
    extended.m_exCtrlID = 15;
    extended.m_exText = "ready";
    panel.m_pins = {notepadRecord(), extended};
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[0].m_hTarget, byTitle);
    ASSERT_EQ(panel.m_pins[1].m_hTarget, byChild);

    // Both programs stop; the second one's status text changes just before.
    desktop.setText(status, "busy");
    for (WinHandle h : {byTitle, byChild, status}) desktop.setHung(h, true);
    desktop.clearCalls();
    desktop.answersCalls = 0;
    const int textReads = desktop.controlTextCalls;
    for (int cycle = 0; cycle < 3; ++cycle) panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 1);
    EXPECT_EQ(panel.m_pins[1].m_pinned, 1);
    // The child window's program is asked once a cycle instead of each child's text, and
    // nothing is changed on either window.
    EXPECT_EQ(desktop.answersCalls, 3);
    EXPECT_EQ(desktop.controlTextCalls, textReads);
    EXPECT_TRUE(desktop.calls().empty());

    // Answering again, the changed text ends the pin; the other one goes on.
    for (WinHandle h : {byTitle, byChild, status}) desktop.setHung(h, false);
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 1);
    EXPECT_EQ(panel.m_pins[1].m_pinned, 0);
}

TEST_F(ControlDlgTest, AWindowWhoseProgramDoesNotAnswerIsPinnedOnceItAnswers) {
    start();
    const WinHandle target = notepad();
    desktop.setHung(target, true);
    panel.m_pins = {notepadRecord()};
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
    EXPECT_TRUE(factory.made.empty());

    desktop.setHung(target, false);
    panel.runCycle();
    EXPECT_EQ(panel.m_pins[0].m_hTarget, target);
}

TEST_F(ControlDlgTest, AFileThatCouldNotBeReadIsSetAsideByTheFirstSaveOnly) {
    const std::string utf16("\xFF\xFE[\0S\0Y\0S\0T\0E\0M\0]\0", 18);
    std::ofstream(iniPath, std::ios::binary) << utf16;
    start();
    EXPECT_TRUE(panel.m_pins.empty());
    panel.m_pins.push_back(notepadRecord());
    ASSERT_TRUE(panel.__writeIniFile());
    std::ifstream aside(iniPath + ".bak", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), utf16);
    EXPECT_NE(readIni().find("PINNUM=1\r\n"), std::string::npos);
    const std::string where = iniPath + ".bak";
    EXPECT_EQ(panel.told,
              std::vector<std::u8string>{u8"読めなかった設定ファイル Clavora.ini を次の名前で残しました:\n" +
                                         std::u8string(where.begin(), where.end())});

    fs::remove(iniPath + ".bak");
    ASSERT_TRUE(panel.__writeIniFile());
    EXPECT_FALSE(fs::exists(iniPath + ".bak"));
    EXPECT_EQ(panel.told.size(), 1u);
}

// A full disk, a read-only file or another program holding it: the change is not lost.
TEST(ControlDlgSaving, AFailedSaveIsTriedAgainSoonerThanMinutesAndToldOnceEachWay) {
    CFakeDesktop desktop;
    CFakePinFactory factory{desktop};
    CFakeFileSystem files{desktop};
    CFakeControlPanel panel{desktop, factory, files};
    std::vector<std::uint64_t> saves;
    setTraceSink([&](const std::string& line) {
        if (line == "CControlDlg::__writeIniFile()\n") saves.push_back(desktop.nowMs());
    });
    files.addFolder("/c");
    files.addFile("/c/Clavora.ini", "").readOnly = true;
    // Win+Z free, as before Windows 10: the only notices are the saves'.
    desktop.releaseHotKeyElsewhere(hotkeymod::kWin, 'Z');
    panel.startPinning("/c/Clavora.ini");
    panel.m_pins.emplace_back().m_title = "kept";
    const std::uint64_t requested = desktop.nowMs();
    panel.requestSave();
    panel.runFor(600 + 1000 + 2000 + 4000 + 8000 + 10000 + 10000);
    std::vector<std::uint64_t> gaps;
    for (const std::uint64_t at : saves)
        gaps.push_back(at - (gaps.empty() ? requested : saves[gaps.size() - 1]));
    EXPECT_EQ(gaps, (std::vector<std::uint64_t>{600, 1000, 2000, 4000, 8000, 10000, 10000}));
    const std::u8string failing = u8"設定を保存できません。保存できるまで数秒おきに試します:\n/c/Clavora.ini";
    EXPECT_EQ(panel.told, std::vector<std::u8string>{failing}) << "told at the second failure, and once";

    files.file("/c/Clavora.ini")->readOnly = false;
    panel.runFor(10000);
    EXPECT_EQ(saves.size(), 8u);
    EXPECT_NE(files.file("/c/Clavora.ini")->bytes.find("TITLE=kept\r\n"), std::string::npos);
    EXPECT_EQ(panel.told, (std::vector<std::u8string>{failing, u8"設定を保存できました:\n/c/Clavora.ini"}));
    EXPECT_EQ(panel.periods().count(kSaveTimerId), 0u) << "nothing more to do";
    setTraceSink({});
}

// "終了" cannot leave the changes behind in silence: asked with the pins ended, the user may
// make room and try again, or leave without saving. A logoff leaves at once.
TEST(ControlDlgSaving, AFileThatCannotBeWrittenAtExitIsSavedAgainWhileTheUserAsks) {
    CFakeDesktop desktop;
    CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
    CFakePinFactory factory{desktop};
    CFakeFileSystem files{desktop};
    CFakeControlPanel panel{desktop, factory, files};
    files.addFolder("/c");
    files.addFile("/c/Clavora.ini", "");
    desktop.releaseHotKeyElsewhere(hotkeymod::kWin, 'Z');
    panel.startPinning("/c/Clavora.ini");
    desktop.addAppWindow("Memo", "notepad.exe", kNotepadPath, kNotepadRect);
    CPinData& memo = panel.m_pins.emplace_back();
    memo.m_title = "Memo";
    memo.m_exeName = "NOTEPAD.EXE";
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[0].m_pinned, 1);
    files.file("/c/Clavora.ini")->readOnly = true;
    desktop.answerQueue = {MsgAnswer::yes, MsgAnswer::yes, MsgAnswer::no};
    desktop.onMessageBox = [&](const FakeMessageBox&) {
        EXPECT_EQ(panel.m_pins[0].m_pinned, 0) << "pins ended before the question";
        // Room is made only after the first question: its "はい" fails again.
        if (desktop.messageBoxes.size() == 2) files.file("/c/Clavora.ini")->readOnly = false;
    };
    panel.endSession(CControlDlg::PinsEnd::now, CControlDlg::FailedSave::ask);
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[0].buttons, MsgButtons::yesNo);
    EXPECT_EQ(desktop.messageBoxes[0].text.rfind(u8"設定を保存できませんでした:\n/c/Clavora.ini\n", 0), 0u);
    EXPECT_NE(files.file("/c/Clavora.ini")->bytes.find("TITLE=Memo\r\n"), std::string::npos);
    factory.destroyAlive();
    CMultiDisplay::ReleaseMultiDisplay();
}

// --- nested loops: every box, dialog, menu and move loop, and what may happen while it is open ---

// What the cycle, the user and other programs may do while a loop is open. The subject is the
// record the loop was opened for (B, pinned; C, unpinned, for the list's edit); A is an
// earlier record, pinned.
enum class Meanwhile {
    nothing,
    subjectPinEnds,
    aPinStarts,
    earlierRecordGoes,
    subjectWindowCloses,
    subjectGoes,
    aWindowComesAndGoes
};
constexpr const char* kMeanwhileNames[] = {
    "Nothing",     "SubjectPinEnds",     "APinStarts", "EarlierRecordGoes", "SubjectWindowCloses",
    "SubjectGoes", "AWindowComesAndGoes"};

class NestedLoopTest : public ControlDlgTest,
                       public ::testing::WithParamInterface<std::tuple<int, Meanwhile>> {
public:
    static int loopCount() { return static_cast<int>(loops().size()); }
    static std::string caseName(const ::testing::TestParamInfo<ParamType>& info) {
        return std::string(loops()[static_cast<std::size_t>(std::get<0>(info.param))].name) + "_" +
               kMeanwhileNames[static_cast<int>(std::get<1>(info.param))];
    }

protected:
    using During = std::function<void()>;
    // One nested loop: opens it for the subject with `during` happening inside, then checks what
    // it did to the subject's record (nullptr when it is gone).
    struct Loop {
        const char* name;
        char subject;
        std::function<void(NestedLoopTest&, WinHandle pinOfB, const During& during)> open;
        std::function<void(NestedLoopTest&, const CPinData* subject, Meanwhile event)> check;
    };
    static std::vector<Loop> loops();

    CPinData* record(std::uint64_t id) {
        const auto it = std::find_if(panel.m_pins.begin(), panel.m_pins.end(),
                                     [id](const CPinData& p) { return p.m_recordId == id; });
        return it == panel.m_pins.end() ? nullptr : &*it;
    }
    // B's pin as it was when the loop opened.
    WinHandle firstPinOfB() const { return m_firstPinOfB; }
    WinHandle m_firstPinOfB = kNoWindow;
};

std::vector<NestedLoopTest::Loop> NestedLoopTest::loops() {
    const auto edit = [](const During& during) {
        return [during](CPinData& record, bool, WinHandle) {
            during();
            record.m_fullFlag = 0;
            record.m_titlePart = "Edited";
            return true;
        };
    };
    const auto edited = [](NestedLoopTest&, const CPinData* subject, Meanwhile) {
        if (subject) {
            EXPECT_EQ(subject->m_titlePart, "Edited");
        }
    };
    const auto boxDuring = [](NestedLoopTest& t, const During& during) {
        t.desktop.onMessageBox = [during](const FakeMessageBox&) { during(); };
    };
    return {
        {"PullOutYes", 'B',
         [boxDuring](NestedLoopTest& t, WinHandle pin, const During& during) {
             t.desktop.answerQueue = {MsgAnswer::yes};
             boxDuring(t, during);
             chooseFromPinMenu(pin, IDM_PIN_PULL_OUT);
         },
         [](NestedLoopTest&, const CPinData* subject, Meanwhile) { EXPECT_EQ(subject, nullptr); }},
        {"PullOutNo", 'B',
         [boxDuring](NestedLoopTest& t, WinHandle pin, const During& during) {
             boxDuring(t, during);
             chooseFromPinMenu(pin, IDM_PIN_PULL_OUT);
         },
         [](NestedLoopTest&, const CPinData* subject, Meanwhile event) {
             EXPECT_EQ(subject != nullptr, event != Meanwhile::subjectGoes);
         }},
        {"DeleteYes", 'B',
         [boxDuring](NestedLoopTest& t, WinHandle, const During& during) {
             t.panel.selection = 1;
             t.desktop.answerQueue = {MsgAnswer::yes};
             boxDuring(t, during);
             t.panel.onDeletePin();
         },
         [](NestedLoopTest&, const CPinData* subject, Meanwhile) { EXPECT_EQ(subject, nullptr); }},
        {"ConditionsFromThePin", 'B',
         [edit](NestedLoopTest& t, WinHandle pin, const During& during) {
             t.panel.matchDialogUser = edit(during);
             chooseFromPinMenu(pin, IDM_MATCH_CONDITION);
         },
         edited},
        {"ConditionsFromTheList", 'C',
         [edit](NestedLoopTest& t, WinHandle, const During& during) {
             t.panel.selection = 2;
             t.panel.matchDialogUser = edit(during);
             t.panel.onChangeConditions();
         },
         edited},
        {"Transparency", 'B',
         [](NestedLoopTest& t, WinHandle pin, const During& during) {
             t.factory.logs[1]->dialogUser = [during](CFakePropatyDlg& dialog) {
                 during();
                 dialog.checked = true;
                 return CFakePropatyDlg::Press::ok;
             };
             chooseFromPinMenu(pin, IDM_PIN_TRANSPARENCY);
         },
         // Applied to the pin it was opened on while that pin lives, else to nothing.
         [](NestedLoopTest& t, const CPinData* subject, Meanwhile) {
             if (!subject) return;
             if (subject->m_hPinWnd == t.firstPinOfB()) {
                 EXPECT_EQ(subject->pinDlg()->m_transFlag, 1);
             } else {
                 EXPECT_EQ(subject->m_transFlag, 0);
             }
         }},
        {"ZOrderMenu", 'B',
         [](NestedLoopTest& t, WinHandle pin, const During& during) {
             t.factory.logs[1]->whileMenuOpen = during;
             chooseFromPinMenu(pin, IDM_ZORDER_TOPMOST);
         },
         [](NestedLoopTest& t, const CPinData* subject, Meanwhile) {
             if (subject && subject->m_hPinWnd == t.firstPinOfB()) {
                 EXPECT_EQ(subject->pinDlg()->m_zOrder, 1);
             }
         }},
        // Not a nested loop, but a drag spans cycles all the same.
        {"Dragging", 'B',
         [](NestedLoopTest& t, WinHandle pin, const During& during) {
             t.panel.m_moveEnable = 1;
             CPinDlg::find(pin)->OnLButtonDown();
             during();
             t.panel.runFor(1000);
             if (CPinDlg* const still = CPinDlg::find(pin)) still->OnDragEnd();
         },
         [](NestedLoopTest& t, const CPinData*, Meanwhile) { EXPECT_FALSE(t.saveTimes.empty()); }},
        {"DuplicateNotice", 'B',
         [boxDuring](NestedLoopTest& t, WinHandle, const During& during) {
             boxDuring(t, during);
             t.desktop.setForegroundWindow(t.panel.m_pins[1].m_hTarget);
             t.panel.onHotKey(kPinHotKeyId);
         },
         // The notice changes nothing: the pin it talks about stays.
         [](NestedLoopTest& t, const CPinData* subject, Meanwhile event) {
             if (event == Meanwhile::nothing || event == Meanwhile::aPinStarts ||
                 event == Meanwhile::earlierRecordGoes || event == Meanwhile::aWindowComesAndGoes) {
                 ASSERT_NE(subject, nullptr);
                 EXPECT_EQ(subject->m_hPinWnd, t.firstPinOfB());
                 EXPECT_NE(subject->pinDlg(), nullptr);
             }
         }},
        {"PropertySettings", 'B',
         [](NestedLoopTest& t, WinHandle, const During& during) {
             t.panel.sizeDialogUser = [during](CPinSettings&) {
                 during();
                 return true;
             };
             t.panel.onPropertySettings();
         },
         [](NestedLoopTest&, const CPinData*, Meanwhile) {}},
    };
}

TEST_P(NestedLoopTest, ActsOnItsOwnRecordOrOnNothingWhateverHappensMeanwhile) {
    const auto [index, event] = GetParam();
    const Loop loop = loops()[static_cast<std::size_t>(index)];
    // The system tells of windows inside the nested loops too, and early cycles run there.
    desktop.onWindowEvent = [this](WindowEvent e) { panel.onWindowEvent(e); };
    start();
    notepad("A", {100, 100, 500, 400});
    notepad("B", {100, 150, 500, 450});
    panel.m_pins = {notepadRecord("A"), notepadRecord("B"), notepadRecord("C")};
    panel.runCycle();
    const std::uint64_t earlier = panel.m_pins[0].m_recordId;
    const std::uint64_t subject = panel.m_pins[static_cast<std::size_t>(loop.subject - 'A')].m_recordId;
    const auto during = [&, event = event] {
        CPinData* const own = record(subject);
        const WinHandle target = own ? own->m_hTarget : kNoWindow;
        switch (event) {
            case Meanwhile::nothing:
                break;
            case Meanwhile::subjectPinEnds:
                if (desktop.isWindow(target)) desktop.maximize(target);
                break;
            case Meanwhile::aPinStarts:
                notepad("C", {600, 100, 900, 400});
                break;
            case Meanwhile::earlierRecordGoes:
                panel.forgetRecord(earlier);
                break;
            case Meanwhile::subjectWindowCloses:
                desktop.destroyWindow(target);
                break;
            case Meanwhile::subjectGoes:
                panel.forgetRecord(subject);
                break;
            case Meanwhile::aWindowComesAndGoes:
                desktop.destroyWindow(notepad("C", {600, 100, 900, 400}));
                break;
        }
    };
    m_firstPinOfB = panel.m_pins[1].m_hPinWnd;
    loop.open(*this, m_firstPinOfB, during);
    panel.runFor(1000);

    loop.check(*this, record(subject), event);
    if (event == Meanwhile::subjectGoes) {
        EXPECT_EQ(record(subject), nullptr);
    }
    EXPECT_EQ(record(earlier) != nullptr, event != Meanwhile::earlierRecordGoes);
    // Every pin window shown belongs to exactly one pinned record, and every pinned record's
    // window is shown.
    std::size_t alive = 0;
    for (const auto& log : factory.logs) alive += log->destroyed ? 0 : 1;
    std::size_t pinned = 0;
    for (const CPinData& p : panel.m_pins) {
        EXPECT_EQ(p.m_pinned == 1, p.pinDlg() != nullptr);
        pinned += p.pinDlg() ? 1 : 0;
    }
    EXPECT_EQ(pinned, alive);
}

INSTANTIATE_TEST_SUITE_P(
    EveryLoop, NestedLoopTest,
    ::testing::Combine(::testing::Range(0, NestedLoopTest::loopCount()),
                       ::testing::Values(Meanwhile::nothing, Meanwhile::subjectPinEnds, Meanwhile::aPinStarts,
                                         Meanwhile::earlierRecordGoes, Meanwhile::subjectWindowCloses,
                                         Meanwhile::subjectGoes, Meanwhile::aWindowComesAndGoes)),
    NestedLoopTest::caseName);

}  // namespace
