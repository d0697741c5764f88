#include "conditions/WindowImage.h"

#include "fake/FakeConditionDialogs.h"

#include <gtest/gtest.h>

namespace {

using Kind = FakeCall::Kind;

constexpr Rect kNormal{100, 120, 500, 420};
constexpr std::uint32_t kOwnStyleBits = 0x00000044;
constexpr std::uint32_t kOwnExStyleBits = 0x00000100;

class WindowImageTest : public ::testing::Test {
protected:
    WinHandle minimisedTarget(std::optional<LayeredAttributes> layered = std::nullopt,
                              std::uint32_t exStyle = kOwnExStyleBits) {
        const WinHandle h = desktop.addWindow({.title = "Target",
                                               .rect = kNormal,
                                               .style = kFakeFrameStyle | kOwnStyleBits,
                                               .exStyle = exStyle,
                                               .layered = layered});
        desktop.minimize(h);
        desktop.clearCalls();
        return h;
    }
    void capture(WinHandle target) { captureWindowImage(desktop, camera, target, dialog, width, height); }
    std::vector<Kind> callKinds() const {
        std::vector<Kind> kinds;
        for (const FakeCall& call : desktop.calls()) kinds.push_back(call.kind);
        return kinds;
    }

    CFakeDesktop desktop;
    CFakeWindowCamera camera{desktop};
    WinHandle dialog = desktop.addWindow({.title = "Dialog", .style = 0x80000000});
    int width = 33;
    int height = 44;
};

TEST_F(WindowImageTest, NoWindowKeepsThePreviousPictureAndSize) {
    const WinHandle gone = desktop.addWindow({.title = "Gone"});
    desktop.destroyWindow(gone);
    for (const WinHandle target : {kNoWindow, gone}) {
        capture(target);
        EXPECT_EQ(width, 33);
        EXPECT_EQ(height, 44);
    }
    EXPECT_TRUE(camera.pictures.empty());
    EXPECT_TRUE(desktop.calls().empty());
}

TEST_F(WindowImageTest, ATargetThatDoesNotAnswerIsNotPicturedNorTouched) {
    const WinHandle inPlace = desktop.addWindow({.title = "Target", .rect = kNormal});
    for (const WinHandle target : {inPlace, minimisedTarget()}) {
        desktop.setHung(target, true);
        desktop.clearCalls();
        EXPECT_EQ(captureWindowImage(desktop, camera, target, dialog, width, height), Capture::notAnswering);
        EXPECT_EQ(width, 33);
        EXPECT_EQ(height, 44);
        EXPECT_TRUE(desktop.calls().empty());
    }
    EXPECT_TRUE(camera.pictures.empty());
    EXPECT_EQ(desktop.answerTimeoutsMs,
              (std::vector<unsigned>{kCaptureProbeTimeoutMs, kCaptureProbeTimeoutMs}));
}

TEST_F(WindowImageTest, AWindowInPlaceIsPicturedAsItIs) {
    const WinHandle target = desktop.addWindow({.title = "Target", .rect = kNormal});
    EXPECT_EQ(captureWindowImage(desktop, camera, target, dialog, width, height), Capture::taken);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 300);
    ASSERT_EQ(camera.pictures.size(), 1u);
    EXPECT_EQ(camera.pictures[0].width, 400);
    EXPECT_EQ(camera.pictures[0].height, 300);
    EXPECT_EQ(camera.shownIn, dialog);
    EXPECT_TRUE(desktop.calls().empty()) << "neither moved nor restyled";
}

TEST_F(WindowImageTest, AMinimisedTargetIsPicturedInvisiblyOffScreenAtItsNormalSizeAndMinimisedAgain) {
    const WinHandle target = minimisedTarget();
    const std::uint32_t style = desktop.style(target);
    const std::uint32_t exStyle = desktop.exStyle(target);
    capture(target);

    EXPECT_EQ(width, kNormal.width());
    EXPECT_EQ(height, kNormal.height());
    ASSERT_EQ(camera.pictures.size(), 1u);
    const FakePicture& picture = camera.pictures[0];
    const FakeCall move = desktop.callsOf(Kind::moveWindow)[0];
    EXPECT_EQ(move.rect, (Rect{10100, 10120, 10500, 10420}));
    EXPECT_EQ(move.wait, MoveWait::forTarget) << "in its place before it draws";
    EXPECT_EQ(picture.targetRect, (Rect{10100, 10120, 10500, 10420}));
    EXPECT_EQ(picture.targetLayered, (LayeredAttributes{0, 0, style::kLayeredAlpha}));
    EXPECT_EQ(desktop.answerTimeoutsMs, (std::vector<unsigned>{kCaptureProbeTimeoutMs}));
    EXPECT_EQ(callKinds(), (std::vector<Kind>{Kind::setExStyle, Kind::setLayeredAttributes, Kind::setRedraw,
                                              Kind::showNormal, Kind::setRedraw, Kind::moveWindow,
                                              Kind::setRedraw, Kind::setPlacement, Kind::minimizeByCommand,
                                              Kind::setRedraw, Kind::setExStyle, Kind::setStyle}));
    EXPECT_EQ(picture.callsBefore, 6u) << "pictured once it is in place, before it goes back";
    const std::vector<FakeCall> redraws = desktop.callsOf(Kind::setRedraw);
    EXPECT_EQ((std::vector<bool>{redraws[0].flag, redraws[1].flag, redraws[2].flag, redraws[3].flag}),
              (std::vector<bool>{false, true, false, true}));
    const WindowPlacement back = desktop.callsOf(Kind::setPlacement)[0].placement;
    EXPECT_EQ(back.showCmd, kShowMinimize);
    EXPECT_EQ(back.normal, kNormal);

    EXPECT_TRUE(desktop.isIconic(target));
    EXPECT_EQ(desktop.style(target), style);
    EXPECT_EQ(desktop.exStyle(target), exStyle);
    EXPECT_EQ(desktop.layeredAttributes(target), std::nullopt) << "a window that was not layered is not";
    desktop.restore(target);
    EXPECT_EQ(desktop.windowRect(target), kNormal);
}

TEST_F(WindowImageTest, ALayeredMinimisedTargetKeepsItsColourKeyAlphaAndFlags) {
    const LayeredAttributes own{0x00FF00, 200, style::kLayeredAlpha | style::kLayeredColorKey};
    const WinHandle target = minimisedTarget(own);
    capture(target);
    EXPECT_EQ(camera.pictures.size(), 1u);
    EXPECT_TRUE(desktop.isIconic(target));
    EXPECT_EQ(desktop.layeredAttributes(target), own);
}

TEST_F(WindowImageTest, UnreadableLayeringAsksAndNoAbandonsBeforeAnythingChanges) {
    // Layered without attributes: a window that draws itself with UpdateLayeredWindow.
    const WinHandle target = minimisedTarget(std::nullopt, style::kExLayered);
    capture(target);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_TRUE(desktop.messageBoxes[0].text ==
                u8"レイヤー情報が取得できません。レイヤーパラメータが失われますが続行しますか?");
    EXPECT_EQ(desktop.messageBoxes[0].buttons, MsgButtons::yesNo);
    EXPECT_EQ(desktop.messageBoxes[0].icon, MsgIcon::question);
    EXPECT_TRUE(camera.pictures.empty());
    EXPECT_TRUE(desktop.calls().empty());
    EXPECT_EQ(width, 33);

    desktop.answerQueue.push_back(MsgAnswer::yes);
    capture(target);
    EXPECT_EQ(camera.pictures.size(), 1u);
    EXPECT_EQ(width, kNormal.width());
    EXPECT_EQ(desktop.layeredAttributes(target), (LayeredAttributes{0xFFFFFF, 255, 0}));

    // Restored by the user while the question was open: pictured as it is, left as it is.
    const WinHandle restored = minimisedTarget(std::nullopt, style::kExLayered);
    desktop.clearCalls();
    desktop.answerQueue.push_back(MsgAnswer::yes);
    desktop.onMessageBox = [this, restored](const FakeMessageBox&) { desktop.restore(restored); };
    capture(restored);
    EXPECT_TRUE(desktop.calls().empty());
    EXPECT_FALSE(desktop.isIconic(restored));
    // Its program changed its styles while the question was open: those are what it keeps.
    constexpr std::uint32_t kToolWindow = 0x00000080;
    const WinHandle changed = minimisedTarget(std::nullopt, style::kExLayered);
    desktop.answerQueue.push_back(MsgAnswer::yes);
    desktop.onMessageBox = [this, changed](const FakeMessageBox&) {
        desktop.setExStyle(changed, desktop.exStyle(changed) | kToolWindow);
    };
    capture(changed);
    EXPECT_TRUE(desktop.isIconic(changed));
    EXPECT_EQ(desktop.exStyle(changed), style::kExLayered | kToolWindow);
}

TEST_F(WindowImageTest, AMinimisedTargetWithoutAKnownNormalPlaceIsPicturedMinimised) {
    const WinHandle target = minimisedTarget();
    const Rect iconic = desktop.windowRect(target);
    for (const Rect normal : {Rect{}, Rect{100, 100, 100, 400}, Rect{100, 100, 500, 100}, iconic}) {
        desktop.scriptedNormalRect[target] = normal;
        capture(target);
        EXPECT_EQ(width, iconic.width());
        EXPECT_EQ(height, iconic.height());
    }
    EXPECT_TRUE(desktop.calls().empty());
}

}  // namespace
