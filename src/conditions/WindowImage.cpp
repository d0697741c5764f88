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

namespace {

// What a picture changes of a minimised target and gives back afterwards.
struct SavedLook {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    WindowPlacement placement;
    // A minimised target with a normal place to be shown at.
    bool minimised = false;
};

SavedLook lookOf(CDesktop& desktop, WinHandle target) {
    SavedLook look{desktop.style(target), desktop.exStyle(target), desktop.placement(target)};
    // A minimised window without a normal place has nowhere to be shown: it is pictured as it is.
    // So is one whose normal place is reported as the rectangle it has minimised, which is what
    // Wine tells of another program's window: shown there, it would keep that place when restored.
    const Rect& normal = look.placement.normal;
    look.minimised = (look.style & style::kMinimize) != 0 && normal.width() != 0 && normal.height() != 0 &&
                     normal != desktop.windowRect(target);
    return look;
}

}  // namespace

Capture captureWindowImage(CDesktop& desktop, CWindowCamera& camera, WinHandle target, WinHandle showing,
                           int& width, int& height) {
    if (target == kNoWindow || !desktop.isWindow(target)) return Capture::skipped;
    // Drawing, showing, moving and minimising it each wait on the target's program: one that
    // does not answer now is not pictured at all.
    if (!desktop.answers(target, kCaptureProbeTimeoutMs)) return Capture::notAnswering;

    SavedLook saved = lookOf(desktop, target);
    const auto wasLayered = [&saved] { return (saved.exStyle & style::kExLayered) != 0; };
    // What a layered target gets back when its own attributes cannot be read.
    LayeredAttributes savedLayered{0xFFFFFF, 255, 0};
    if (saved.minimised && wasLayered()) {
        if (const auto attributes = desktop.layeredAttributes(target)) {
            savedLayered = *attributes;
        } else {
            if (desktop.appMessageBox(kLayeringUnreadable, MsgButtons::yesNo) != MsgAnswer::yes)
                return Capture::skipped;
            // The question ran a nested loop: the window may have gone, been restored or
            // changed meanwhile, and its program stopped. What is given back is read again.
            if (!desktop.isWindow(target)) return Capture::skipped;
            if (!desktop.answers(target, kCaptureProbeTimeoutMs)) return Capture::notAnswering;
            saved = lookOf(desktop, target);
        }
    }
    if (saved.minimised) {
        desktop.setExStyle(target, saved.exStyle | style::kExLayered);
        (void)desktop.setLayeredAttributes(target, kInvisible);
        desktop.setRedraw(target, false);
        desktop.showNormal(target);
        desktop.setRedraw(target, true);
        // It waits for the target, so that the target is in its place before it draws.
        desktop.moveWindow(target, shifted(saved.placement.normal, kOffScreenShift), true,
                           MoveWait::forTarget);
    }

    const Rect frame = desktop.windowRect(target);
    width = frame.width();
    height = frame.height();
    camera.takePicture(target, showing, width, height);

    if (!saved.minimised) return Capture::taken;
    desktop.setRedraw(target, false);
    WindowPlacement minimisedAgain = saved.placement;
    minimisedAgain.showCmd = kShowMinimize;
    desktop.setPlacement(target, minimisedAgain);
    desktop.minimizeByCommand(target);
    desktop.setRedraw(target, true);
    if (wasLayered()) (void)desktop.setLayeredAttributes(target, savedLayered);
    desktop.setExStyle(target, saved.exStyle);
    desktop.setStyle(target, saved.style);
    return Capture::taken;
}
