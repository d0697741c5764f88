#include "app/ClavoraDlg.h"

#include "app/AppIds.h"
#include "base/Trace.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
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

// The shell scripted: answers to the tray calls from a queue (nullopt: success), what was asked
// written down.
class TrayAddTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([this](const std::string& line) { traced += line; });
    }
    void TearDown() override { setTraceSink({}); }

    std::vector<std::string> add(std::deque<std::optional<std::uint32_t>> answers) {
        std::vector<std::string> steps;
        const auto call = [&](TrayOp op) {
            steps.push_back(op == TrayOp::add ? "add" : "modify");
            const std::optional<std::uint32_t> answer = answers.empty() ? std::nullopt : answers.front();
            if (!answers.empty()) answers.pop_front();
            return answer;
        };
        addTrayIcon(call);
        return steps;
    }

    std::string traced;
};

using Steps = std::vector<std::string>;

TEST_F(TrayAddTest, TimeOutsAreRetriedCheckingWhetherTheIconArrivedAfterAll) {
    EXPECT_EQ(add({kErrorTimeout, 0u, kErrorTimeout, std::nullopt}),
              (Steps{"add", "modify", "add", "modify"}));
    EXPECT_EQ(add({kErrorTimeout, 0u, std::nullopt}), (Steps{"add", "modify", "add"}));
    EXPECT_EQ(traced, "");
}

// A shell that never answers holds the thread for three rounds, not for ever; the tray timer
// tries again.
TEST_F(TrayAddTest, AnyOtherErrorOrTheThirdTimeOutIsGivenUpWithATrace) {
    EXPECT_EQ(add({kErrorTimeout, 0u, 5u}), (Steps{"add", "modify", "add"}));
    EXPECT_EQ(traced, "通知領域にアイコンを登録できませんでした。 err=5\n");
    traced.clear();
    EXPECT_EQ(add(std::deque<std::optional<std::uint32_t>>(10, kErrorTimeout)),
              (Steps{"add", "modify", "add", "modify", "add", "modify"}));
    EXPECT_EQ(traced, "通知領域にアイコンを登録できませんでした。 err=1460\n");
}

// Told 6.2 by Windows 8, 8.1, 10 and 11 alike without their names in the manifest, or their
// own numbers with them: glass only on Vista and 7 with composition on.
TEST(MainWindowDecisions, GlassOnlyWhereTheSystemDrawsIt) {
    const struct {
        OsVersion version;
        bool composition;
        bool glass;
    } cases[] = {
        {{0, 0}, true, false},  {{5, 1}, false, false}, {{6, 0}, true, true},
        {{6, 0}, false, false}, {{6, 1}, true, true},   {{6, 1}, false, false},
        {{6, 2}, true, false},  {{6, 3}, true, false},  {{10, 0}, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(drawsGlass(c.version, c.composition), c.glass)
            << c.version.major << "." << c.version.minor << " composition " << c.composition;
    }
}

TEST(MainWindowDecisions, TrayCallbackShowsThePanelOrTheMenu) {
    EXPECT_EQ(trayClick(traymouse::kLButtonDown), TrayClick::swallow);
    EXPECT_EQ(trayClick(traymouse::kRButtonDown), TrayClick::swallow);
    EXPECT_EQ(trayClick(traymouse::kLButtonDblClk), TrayClick::showPanel);
    EXPECT_EQ(trayClick(traymouse::kRButtonUp), TrayClick::showMenu);
    EXPECT_EQ(trayClick(0x0202), TrayClick::ignore) << "WM_LBUTTONUP goes to the default handling";
}

TEST(MainWindowDecisions, VisibilityFlagAloneDecidesWhetherTheWindowMayShow) {
    constexpr std::uint32_t kNoMove = 0x0002;
    EXPECT_EQ(posChangingFlags(kNoMove | kSwpShowWindow, false), kNoMove);
    EXPECT_EQ(posChangingFlags(kNoMove, true), kNoMove | kSwpShowWindow);
    EXPECT_EQ(posChangingFlags(kNoMove | kSwpShowWindow, true), kNoMove | kSwpShowWindow);
}

TEST(MainWindowDecisions, SystemMenuAboutItemIgnoresTheLowFourBits) {
    EXPECT_TRUE(isAboutCommand(IDM_ABOUTBOX));
    EXPECT_TRUE(isAboutCommand(IDM_ABOUTBOX | 0x3));
    EXPECT_FALSE(isAboutCommand(0xF060));
}

}  // namespace
