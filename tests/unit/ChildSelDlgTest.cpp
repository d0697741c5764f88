#include "conditions/ChildSelDlg.h"

#include "base/Trace.h"
#include "fake/FakeConditionDialogs.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

struct LayoutCase {
    int dpi;
    int width;
    int height;
    PictureLayout expected;
};

constexpr Rect kBoxAt144{15, 30, 315, 285};
constexpr Rect kBoxAt120{13, 25, 263, 238};

TEST(PictureLayout, SmallPicturesAreCopiedAndLargeOnesShrunkByTheSmallerFactorToTheBoxOfTheDpi) {
    const LayoutCase cases[] = {
        {96, 199, 169, {false, 200, 170, 1.0}},
        // b = 1.0 is smaller than a = 1.7: shrunk "by" 1.0, drawn in halftone at its size.
        {96, 200, 100, {true, 200, 100, 1.0}},
        {96, 199, 170, {true, 199, 170, 1.0}},
        {96, 400, 340, {true, 200, 170, 0.5}},
        // A tie whose two readings differ in the last pixel: the vertical factor wins.
        {96, 780, 663, {true, 199, 170, 170.0 / 663}},
        {96, 100, 340, {true, 50, 170, 0.5}},
        {96, 1000, 170, {true, 200, 34, 0.2}},
        {96, 0, 0, {false, 200, 170, 1.0}},
        {96, 300, 0, {false, 200, 170, 1.0}},
        // The box grows with the DPI (half a pixel rounds up), and with it what fits unscaled.
        {144, 299, 254, {false, 300, 255, 1.0, kBoxAt144}},
        {144, 400, 340, {true, 300, 255, 0.75, kBoxAt144}},
        {144, 300, 100, {true, 300, 100, 1.0, kBoxAt144}},
        {120, 500, 100, {true, 250, 50, 0.5, kBoxAt120}},
    };
    for (const LayoutCase& c : cases) {
        EXPECT_EQ(pictureLayout(c.width, c.height, c.dpi), c.expected)
            << c.width << " x " << c.height << " at " << c.dpi;
    }
}

struct OutlineCase {
    PictureLayout layout;
    Rect rectSel;
    std::optional<Rect> expected;
};

TEST(PictureLayout, TheOutlineIsScaledAndCutOnlyAtTheFarEdgesOfTheDrawnPicture) {
    const PictureLayout unscaled = pictureLayout(199, 169, 96);
    const PictureLayout half = pictureLayout(400, 340, 96);
    const PictureLayout flat = pictureLayout(200, 100, 96);
    const PictureLayout unscaledAt144 = pictureLayout(199, 169, 144);
    const PictureLayout halfAt144 = pictureLayout(600, 510, 144);
    const OutlineCase cases[] = {
        {unscaled, {5, 6, 50, 40}, Rect{15, 26, 60, 60}},
        // Drawn unscaled, the box's own edges are the limit.
        {unscaled, {150, 100, 300, 250}, Rect{160, 120, 210, 190}},
        {half, {20, 40, 121, 101}, Rect{20, 40, 70, 70}},
        {flat, {150, 50, 260, 130}, Rect{160, 70, 210, 120}},
        // Left of and above the target: not cut; fractions go toward zero.
        {half, {-3, -31, 40, 40}, Rect{9, 5, 30, 40}},
        {unscaled, {10, 10, 10, 50}, std::nullopt},
        {unscaled, {10, 10, 50, 10}, std::nullopt},
        // At 144 DPI from the box's corner there, and cut at its larger limits.
        {unscaledAt144, {5, 6, 400, 400}, Rect{20, 36, 315, 285}},
        {halfAt144, {20, 40, 700, 101}, Rect{25, 50, 315, 80}},
    };
    for (const OutlineCase& c : cases) {
        EXPECT_EQ(selectionOutline(c.layout, c.rectSel), c.expected)
            << c.rectSel.left << "," << c.rectSel.top << "," << c.rectSel.right << "," << c.rectSel.bottom;
    }
}

TEST(PictureLayout, AFrameTooSmallForTheBoxGrowsToHoldItWithItsOwnMargin) {
    // Left of the box the frame leaves 4 pixels: as much again on the right and at the bottom.
    EXPECT_EQ(pictureFrameGrowth(Rect{6, 6, 189, 214}, 96), (FrameGrowth{25, 0}));
    EXPECT_EQ(pictureFrameGrowth(Rect{6, 6, 220, 180}, 96), (FrameGrowth{0, 14}));
    EXPECT_EQ(pictureFrameGrowth(Rect{6, 6, 214, 194}, 96), (FrameGrowth{}));
    // A frame that starts right of the box has no margin to keep.
    EXPECT_EQ(pictureFrameGrowth(Rect{12, 6, 150, 150}, 96), (FrameGrowth{60, 40}));
    // At 144 DPI the frame must hold the larger box: one that held it at 96 DPI grows.
    EXPECT_EQ(pictureFrameGrowth(Rect{9, 9, 321, 291}, 144), (FrameGrowth{}));
    EXPECT_EQ(pictureFrameGrowth(Rect{9, 9, 214, 194}, 144), (FrameGrowth{107, 97}));
}

constexpr Rect kTargetRect{300, 200, 700, 540};

class ChildSelDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([this](const std::string& line) { traces += line; });
        target = desktop.addAppWindow("Target", "target.exe", "C:\\target.exe", kTargetRect);
        ok = desktop.addChild(target, "Button", 1, "OK");
        group = desktop.addChild(target, "Button", 9, "Group");
        firstEdit = desktop.addChild(group, "Edit", 5, "first");
        desktop.addChild(target, "Static", 7, "");
        desktop.addChild(target, "Edit", 6, "hidden", false);
        secondEdit = desktop.addChild(target, "Edit", 5, "second");
        desktop.setRect(firstEdit, Rect{320, 260, 420, 282});
        desktop.setRect(secondEdit, Rect{310, 300, 650, 322});
    }
    void TearDown() override { setTraceSink({}); }

    // Runs the dialog on target with the current condition (className, ctrlID, "stored text").
    CFakeChildSelDlg& open(const std::string& className, int ctrlID, CFakeChildSelDlg::User user = {}) {
        dialog = std::make_unique<CFakeChildSelDlg>(desktop, std::move(user));
        dialog->m_hTargetWnd = target;
        dialog->m_className = className;
        dialog->m_ctrlID = ctrlID;
        dialog->m_text = "stored text";
        result = dialog->runModal();
        return *dialog;
    }
    static std::string hex(WinHandle h) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08x", handleBits(h));
        return text;
    }

    CFakeDesktop desktop;
    WinHandle target{}, ok{}, group{}, firstEdit{}, secondEdit{};
    std::unique_ptr<CFakeChildSelDlg> dialog;
    bool result = false;
    std::string traces;
};

TEST_F(ChildSelDlgTest, OpeningPicturesTheTargetListsItsCandidatesAndSelectsTheCurrentPair) {
    CFakeChildSelDlg& d = open("Edit", 5);
    EXPECT_EQ(d.fakeCamera.pictures.size(), 1u);
    EXPECT_EQ(d.fakeCamera.shownIn, d.window);
    EXPECT_EQ(d.m_imageWidth, 400);
    EXPECT_EQ(d.m_imageHeight, 340);
    EXPECT_EQ(d.rows, (std::vector<ChildListRow>{{"Button", "1", "OK", hex(ok)},
                                                 {"Button", "9", "Group", hex(group)},
                                                 {"Edit", "5", "first", hex(firstEdit)},
                                                 {"Edit", "5", "second", hex(secondEdit)}}));
    // The stored text differs from both; the first of the two is taken.
    EXPECT_EQ(d.selectedByDialog, 2);
    EXPECT_EQ(d.m_rectSel, (Rect{20, 60, 120, 82}));
    EXPECT_EQ(traces, "CChildSelDlg::update()\nHANDLE=" + hex(ok) + "\nHANDLE=" + hex(group) +
                          "\nHANDLE=" + hex(firstEdit) + "\nHANDLE=" + hex(secondEdit) + "\n");
    EXPECT_FALSE(result) << "nobody pressed OK";
}

TEST_F(ChildSelDlgTest, NoConditionOrAnUnknownPairSelectsNothing) {
    for (const auto& [className, ctrlID] : {std::pair<std::string, int>{"", 0}, {"Edit", 6}, {"edit", 5}}) {
        CFakeChildSelDlg& d = open(className, ctrlID);
        EXPECT_EQ(d.selectedByDialog, -1) << className << " " << ctrlID;
        EXPECT_EQ(d.mark, -1);
        EXPECT_EQ(d.m_rectSel, Rect{});
    }
}

TEST_F(ChildSelDlgTest, OnlyAClickOnAChildThatIsStillThereMovesTheOutline) {
    CFakeChildSelDlg& d = open("", 0);
    d.clickRow(3);
    EXPECT_EQ(d.m_rectSel, (Rect{10, 100, 350, 122}));
    EXPECT_EQ(d.pictureRepaints, 1);
    d.keyToRow(0);
    EXPECT_EQ(d.m_rectSel, (Rect{10, 100, 350, 122}));
    desktop.destroyWindow(firstEdit);
    d.clickRow(2);
    EXPECT_EQ(d.m_rectSel, (Rect{10, 100, 350, 122}));
    // A click beside the rows leaves no mark and no repaint.
    d.clickRow(-1);
    EXPECT_EQ(d.pictureRepaints, 2);
}

TEST_F(ChildSelDlgTest, OkNeedsARowAndAsksWhenThePairIsNotUnique) {
    open("", 0, [this](CFakeChildSelDlg& d) {
        EXPECT_FALSE(d.pressOK());
        d.clickRow(3);
        EXPECT_FALSE(d.pressOK()) << "No to the question";
        desktop.answerQueue.push_back(MsgAnswer::yes);
        EXPECT_TRUE(d.pressOK());
    });
    EXPECT_TRUE(result);
    ASSERT_EQ(desktop.messageBoxes.size(), 3u);
    EXPECT_TRUE(desktop.messageBoxes[0].text == u8"子ウィンドウ（コンポーネント）が選択されていません");
    EXPECT_EQ(desktop.messageBoxes[0].icon, MsgIcon::exclamation);
    const std::u8string question =
        u8"この組はユニーク（唯一の子ウィンドウ）ではありません.\r\n"
        u8"最初に条件が合致した子ウィンドウでマッチングを行います.\r\nよろしいですか？";
    EXPECT_TRUE(desktop.messageBoxes[1].text == question);
    EXPECT_EQ(desktop.messageBoxes[1].buttons, MsgButtons::yesNo);
    EXPECT_EQ(dialog->getClassName(), "Edit");
    EXPECT_EQ(dialog->m_ctrlID, 5);
    EXPECT_EQ(dialog->getText(), "second") << "the selected row's own text";
    EXPECT_NE(traces.find("WinodwClass=Edit\nControlID=5\nText=second\n"), std::string::npos);
}

TEST_F(ChildSelDlgTest, OkOnAUniquePairEndsWithoutAQuestion) {
    open("", 0, [](CFakeChildSelDlg& d) {
        d.clickRow(0);
        EXPECT_TRUE(d.pressOK());
    });
    EXPECT_TRUE(result);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(dialog->getClassName(), "Button");
    EXPECT_EQ(dialog->m_ctrlID, 1);
    EXPECT_EQ(dialog->getText(), "OK");
}

TEST_F(ChildSelDlgTest, ATargetGoneBeforeOpeningGivesNoPictureNoCandidatesAndNoChoice) {
    desktop.destroyWindow(target);
    open("Edit", 5, [](CFakeChildSelDlg& d) { EXPECT_FALSE(d.pressOK()); });
    EXPECT_FALSE(result);
    EXPECT_TRUE(dialog->fakeCamera.pictures.empty());
    EXPECT_EQ(dialog->m_imageWidth, 0);
    EXPECT_TRUE(dialog->rows.empty());
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(dialog->getClassName(), "Edit") << "what the caller set stays";
}

TEST_F(ChildSelDlgTest, ATargetThatDoesNotAnswerIsNotPicturedAndTheDialogSaysSo) {
    CFakeChildSelDlg& answering = open("Edit", 5);
    EXPECT_FALSE(answering.m_targetSilent);
    desktop.setHung(target, true);
    CFakeChildSelDlg& silent = open("Edit", 5);
    EXPECT_TRUE(silent.fakeCamera.pictures.empty());
    EXPECT_TRUE(silent.m_targetSilent);
}

TEST_F(ChildSelDlgTest, ANewPictureAfterAResizeKeepsTheCandidatesAndTheOutline) {
    CFakeChildSelDlg& d = open("Edit", 5);
    const int walks = desktop.descendantWalks;
    desktop.setRect(target, Rect{300, 200, 1100, 880});
    d.OnRecapture();
    EXPECT_EQ(d.m_imageWidth, 800);
    EXPECT_EQ(d.m_imageHeight, 680);
    EXPECT_EQ(d.m_rectSel, (Rect{20, 60, 120, 82}));
    EXPECT_EQ(desktop.descendantWalks, walks);
    EXPECT_EQ(selectionOutline(pictureLayout(d.m_imageWidth, d.m_imageHeight, 96), d.m_rectSel),
              (Rect{15, 35, 40, 40}));
}

}  // namespace
