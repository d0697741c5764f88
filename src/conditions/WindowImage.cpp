#include "conditions/WindowImage.h"

namespace {

constexpr char8_t kLayeringUnreadable[] =
    u8"レイヤー情報が取得できません。レイヤーパラメータが失われますが続行しますか?";

// Fully transparent, so that the restored window is never seen, wherever it lands.
constexpr LayeredAttributes kInvisible{0, 0, style::kLayeredAlpha};

Rect shifted(const Rect& r, std::int32_t by) {
    return Rect{r.left + by, r.top + by, r.right + by, r.bottom + by};
}

}  // namespace

void captureWindowImage(CDesktop& desktop, CWindowCamera& camera, WinHandle target, WinHandle showing,
                        int& width, int& height) {
    if (target == kNoWindow || !desktop.isWindow(target)) return;

    const std::uint32_t savedStyle = desktop.style(target);
    const std::uint32_t savedExStyle = desktop.exStyle(target);
    const WindowPlacement savedPlacement = desktop.placement(target);
    const bool wasLayered = (savedExStyle & style::kExLayered) != 0;
    // What a layered target gets back when its own attributes cannot be read.
    LayeredAttributes savedLayered{0xFFFFFF, 255, 0};

    // A minimised window without a normal place has nowhere to be shown: it is pictured as it is.
    // So is one whose normal place is reported as the rectangle it has minimised, which is what
    // Wine tells of another program's window: shown there, it would keep that place when restored.
    const Rect& normal = savedPlacement.normal;
    bool minimised = (savedStyle & style::kMinimize) != 0 && normal.width() != 0 && normal.height() != 0 &&
                     normal != desktop.windowRect(target);
    if (minimised && wasLayered) {
        if (const auto attributes = desktop.layeredAttributes(target)) {
            savedLayered = *attributes;
        } else {
            if (desktop.appMessageBox(kLayeringUnreadable, MsgButtons::yesNo) != MsgAnswer::yes) return;
            // The question ran a nested loop: the window may have gone or been restored meanwhile,
            // and a restored one is pictured as it is.
            if (!desktop.isWindow(target)) return;
            minimised = (desktop.style(target) & style::kMinimize) != 0;
        }
    }
    if (minimised) {
        desktop.setExStyle(target, savedExStyle | style::kExLayered);
        (void)desktop.setLayeredAttributes(target, kInvisible);
        desktop.setRedraw(target, false);
        desktop.showNormal(target);
        desktop.setRedraw(target, true);
        // It waits for the target, so that the target is in its place before it draws.
        desktop.moveWindow(target, shifted(normal, kOffScreenShift), true, MoveWait::forTarget);
    }

    const Rect frame = desktop.windowRect(target);
    width = frame.width();
    height = frame.height();
    // Only a bounded wait for a target that may hang; what it has drawn by then is the picture.
    (void)desktop.answers(target, kCaptureProbeTimeoutMs);
    camera.takePicture(target, showing, width, height);

    if (!minimised) return;
    desktop.setRedraw(target, false);
    WindowPlacement minimisedAgain = savedPlacement;
    minimisedAgain.showCmd = kShowMinimize;
    desktop.setPlacement(target, minimisedAgain);
    desktop.minimizeByCommand(target);
    desktop.setRedraw(target, true);
    if (wasLayered) (void)desktop.setLayeredAttributes(target, savedLayered);
    desktop.setExStyle(target, savedExStyle);
    desktop.setStyle(target, savedStyle);
}
