#include "app/ClavoraDlg.h"

#include "app/AppIds.h"
#include "desktop/Trace.h"
#include "fake/FakeControlPanel.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

TEST(MainPanelPlacement, VisibleFrameTouchesTheBottomRightOfTheWorkArea) {
    const struct {
        const char* what;
        Rect frame;
        Rect window;
        Rect work;
        PanelPoint expected;
    } cases[] = {
        {"no invisible borders", {50, 50, 150, 130}, {50, 50, 150, 130}, {0, 0, 1920, 1040}, {1820, 960}},
        // 7-pixel borders left, right and bottom: the window goes 7 pixels beyond the corner.
        {"invisible borders", {7, 0, 559, 309}, {0, 0, 566, 316}, {0, 0, 1920, 1040}, {1361, 728}},
        // An odd difference halves towards zero.
        {"odd border difference", {0, 0, 551, 300}, {0, 0, 566, 315}, {0, 0, 1920, 1040}, {1362, 733}},
        {"work area right of a task bar",
         {0, 0, 400, 300},
         {0, 0, 400, 300},
         {60, 0, 1280, 1024},
         {880, 724}},
    };
    for (const auto& c : cases) EXPECT_EQ(mainPanelPosition(c.frame, c.window, c.work), c.expected) << c.what;
}

TEST(MainPanelPlacement, MinimisedIconIsCentred) {
    EXPECT_EQ(centredIconOrigin(100, 50, 32, 32), (PanelPoint{34, 9}));
    EXPECT_EQ(centredIconOrigin(33, 33, 32, 32), (PanelPoint{1, 1}));
}

// The Win32 side scripted: tray calls answer from a queue, everything else is written down.
class CScriptedMainWindow : public CClavoraDlg {
public:
    CScriptedMainWindow(CFakeDesktop& desktop, CFakeControlPanel& panel)
        : CClavoraDlg(desktop, "C:\\Tools"), m_panel(panel) {}

    // Results of the tray calls, front first: (success, error code of a failure).
    std::deque<std::pair<bool, std::uint32_t>> trayAnswers;
    std::vector<std::string> steps;
    Rect frame{0, 0, 400, 300};
    Rect window{0, 0, 400, 300};
    bool minimised = false;
    bool composition = false;

protected:
    CControlDlg& controlDlg() override { return m_panel; }
    void prepareWindow() override { steps.push_back("prepare"); }
    void createControlPanel() override { steps.push_back("create panel"); }
    void showControlPanel() override { steps.push_back("show panel"); }
    bool notifyTray(TrayOp op) override {
        steps.push_back(op == TrayOp::add ? "add" : op == TrayOp::modify ? "modify" : "check");
        const auto [ok, error] =
            trayAnswers.empty() ? std::pair<bool, std::uint32_t>{true, 0} : trayAnswers.front();
        if (!trayAnswers.empty()) trayAnswers.pop_front();
        m_error = error;
        return ok;
    }
    std::uint32_t lastError() override { return m_error; }
    void pause(unsigned ms) override { steps.push_back("pause " + std::to_string(ms)); }
    Rect visibleFrameRect() override { return frame; }
    Rect windowRect() override { return window; }
    void moveWindowTo(const PanelPoint& p) override {
        steps.push_back("move " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    void showWindow(ShowCommand command) override {
        steps.push_back(command == ShowCommand::hide   ? "hide"
                        : command == ShowCommand::show ? "show"
                                                       : "normal");
    }
    bool isMinimised() override { return minimised; }
    void bringToForeground() override { steps.push_back("foreground"); }
    void showTrayMenu() override { steps.push_back("menu"); }
    void sendEndSession() override { steps.push_back("end session"); }
    void endDialogOk() override { steps.push_back("end dialog"); }
    void runAboutBox() override { steps.push_back("about"); }
    bool queryComposition() override { return composition; }
    void extendGlassFrame(const GlassMargins& m) override {
        steps.push_back("glass " + std::to_string(m.left) + "," + std::to_string(m.right) + "," +
                        std::to_string(m.top) + "," + std::to_string(m.bottom));
    }
    void invalidateWindow() override { steps.push_back("invalidate"); }
    void startTimer(int id, unsigned ms) override {
        steps.push_back("timer " + std::to_string(id) + " " + std::to_string(ms));
    }

private:
    CFakeControlPanel& m_panel;
    std::uint32_t m_error = 0;
};

using Steps = std::vector<std::string>;

class ClavoraDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([this](const std::string& line) { traced += line; });
    }
    void TearDown() override {
        factory.destroyAlive();
        setTraceSink({});
    }
    Steps take() { return std::exchange(main.steps, {}); }

    std::string traced;
    CFakeDesktop desktop;
    CFakePinFactory factory{desktop};
    CFakeControlPanel panel{desktop, factory};
    CScriptedMainWindow main{desktop, panel};
};

TEST_F(ClavoraDlgTest, InitialisationStartsThePanelAddsTheIconAndHides) {
    main.composition = true;
    main.OnInitDialog();
    EXPECT_EQ(take(), (Steps{"prepare", "create panel", "show panel", "add", "hide", "glass 5,8,23,3",
                             "invalidate", "timer 101 1000"}));
    EXPECT_EQ(panel.m_iniPath, "C:\\Tools\\Clavora.ini");
    EXPECT_EQ(panel.periods().count(kCycleTimerId), 1u) << "the cycle runs";
    EXPECT_EQ(main.m_bShow, 0);
}

TEST_F(ClavoraDlgTest, WithoutCompositionTheWindowIsOnlyRepainted) {
    main.OnInitDialog();
    take();
    main.onCompositionChanged();
    EXPECT_EQ(take(), (Steps{"invalidate"}));
    main.composition = true;
    main.onCompositionChanged();
    EXPECT_EQ(take(), (Steps{"glass 5,8,23,3", "invalidate"}));
}

TEST_F(ClavoraDlgTest, TrayAddRetriesTimeOutsCheckingWhetherTheIconArrivedAfterAll) {
    main.trayAnswers = {{false, kErrorTimeout}, {false, 0}, {false, kErrorTimeout}, {true, 0}};
    main.AddTrayIcon();
    EXPECT_EQ(take(), (Steps{"add", "modify", "pause 1000", "add", "modify"}));

    main.trayAnswers = {{false, kErrorTimeout}, {false, 0}, {true, 0}};
    main.AddTrayIcon();
    EXPECT_EQ(take(), (Steps{"add", "modify", "pause 1000", "add"}));
    EXPECT_EQ(traced, "");
}

TEST_F(ClavoraDlgTest, TrayAddGivesUpOnAnyOtherErrorWithATrace) {
    main.trayAnswers = {{false, kErrorTimeout}, {false, 0}, {false, 5}};
    main.AddTrayIcon();
    EXPECT_EQ(take(), (Steps{"add", "modify", "pause 1000", "add"}));
    EXPECT_EQ(traced, "通知領域にアイコンを登録できませんでした。 err=5\n");
}

TEST_F(ClavoraDlgTest, TrayTimerAddsTheIconOnlyWhenItWasLost) {
    main.onTimer(kTrayTimerId);
    EXPECT_EQ(take(), (Steps{"check"}));
    main.trayAnswers = {{false, 0}};
    main.onTimer(kTrayTimerId);
    EXPECT_EQ(take(), (Steps{"check", "add"}));
    main.onTimer(kTrayTimerId + 1);
    EXPECT_EQ(take(), Steps{});
    main.onTaskbarCreated();
    EXPECT_EQ(take(), (Steps{"add"}));
}

TEST_F(ClavoraDlgTest, TrayCallbackShowsThePanelOrTheMenu) {
    EXPECT_TRUE(main.onTrayNotify(traymouse::kLButtonDown));
    EXPECT_TRUE(main.onTrayNotify(traymouse::kRButtonDown));
    EXPECT_EQ(take(), Steps{});
    EXPECT_TRUE(main.onTrayNotify(traymouse::kRButtonUp));
    EXPECT_EQ(take(), (Steps{"menu"}));
    EXPECT_FALSE(main.onTrayNotify(0x0202)) << "WM_LBUTTONUP goes to the default handling";
    EXPECT_TRUE(main.onTrayNotify(traymouse::kLButtonDblClk));
    EXPECT_EQ(take(), (Steps{"move 1520,740", "show", "normal", "foreground"}));
}

TEST_F(ClavoraDlgTest, ShownPanelIsNotMovedAgainButRestoredAndBroughtToFront) {
    main.ShowMainPanel();
    take();
    main.minimised = true;
    main.ShowMainPanel();
    EXPECT_EQ(take(), (Steps{"normal", "foreground"}));
}

TEST_F(ClavoraDlgTest, VisibilityFlagAloneDecidesWhetherTheWindowMayShow) {
    constexpr std::uint32_t kNoMove = 0x0002;
    EXPECT_EQ(main.adjustPosChangingFlags(kNoMove | kSwpShowWindow), kNoMove);
    main.SetVisible(true);
    EXPECT_EQ(main.adjustPosChangingFlags(kNoMove), kNoMove | kSwpShowWindow);
    main.onOkOrCancel();
    EXPECT_EQ(main.adjustPosChangingFlags(kNoMove | kSwpShowWindow), kNoMove);
    main.SetVisible(true);
    main.onOkOrCancel();
    EXPECT_EQ(main.m_bShow, 0);
    EXPECT_EQ(take(), (Steps{"show", "normal", "hide", "show", "normal", "hide"}));
}

TEST_F(ClavoraDlgTest, SessionEndReleasesTheHotKeyEndsThePinsAndSavesBeforeItAnswers) {
    main.OnInitDialog();
    const WinHandle target = desktop.addAppWindow("Memo", "notepad.exe", "C:\\notepad.exe");
    CPinData record;
    record.m_title = "Memo";
    record.m_exeName = "NOTEPAD.EXE";
    panel.m_pins.push_back(record);
    panel.runCycle();
    ASSERT_EQ(panel.m_pins[0].m_hTarget, target);
    take();

    main.onExitCommand();
    EXPECT_EQ(take(), (Steps{"hide", "end session"}));
    traced.clear();
    main.onEndSession(1, 0);
    EXPECT_EQ(take(), (Steps{"end dialog"}));
    // The system may end the process as soon as the message is answered.
    EXPECT_EQ(panel.m_pins[0].m_pinned, 0);
    EXPECT_EQ(desktop.registeredHotKeyCount(), 0u);
    const std::size_t ended = traced.find("EndPin! title=Memo");
    ASSERT_NE(ended, std::string::npos);
    EXPECT_NE(traced.find("CControlDlg::__writeIniFile()", ended), std::string::npos) << traced;
    EXPECT_TRUE(panel.periods().empty()) << "no cycle pins anything again before the window goes";

    traced.clear();
    panel.DestroyWindow();
    EXPECT_EQ(traced.find("__writeIniFile"), std::string::npos) << "written once";
}

TEST_F(ClavoraDlgTest, EndSessionActsOnEndingOrLogoffOnly) {
    main.onEndSession(0, 0);
    EXPECT_EQ(take(), Steps{});
    main.onEndSession(0, kEndSessionLogoff);
    EXPECT_EQ(take(), (Steps{"end dialog"}));
}

TEST_F(ClavoraDlgTest, SystemMenuAboutItemIgnoresTheLowFourBits) {
    EXPECT_TRUE(main.onSysCommand(IDM_ABOUTBOX));
    EXPECT_TRUE(main.onSysCommand(IDM_ABOUTBOX | 0x3));
    EXPECT_FALSE(main.onSysCommand(0xF060));
    EXPECT_EQ(take(), (Steps{"about", "about"}));
}

}  // namespace
