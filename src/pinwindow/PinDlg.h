// The pin window of one pinned record: the small picture of a pin above the target's
// top-left corner. While it exists it holds the target: topmost or normal Z order, optional
// transparency, and the pinned rectangle, to which the target is put back once a second.
//
// This class decides; the Win32 pin window (CPinWindow) derives from it, turns window
// messages into the On... calls below and carries out the view hooks.
#pragma once

#include "base/DesktopTypes.h"
#include "desktop/Desktop.h"
#include "desktop/MultiDisplay.h"
#include "pinwindow/PinLayout.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CPinDlgFactory;
class CPinPropatyDlg;

class CPinDlg {
public:
    // The factory outlives its pins: they take their desktop, monitors and controller from it.
    explicit CPinDlg(CPinDlgFactory& factory);
    virtual ~CPinDlg();
    CPinDlg(const CPinDlg&) = delete;
    CPinDlg& operator=(const CPinDlg&) = delete;

    // The live pin window whose window is pin, or nullptr once it is gone (or never was).
    // Records and menus hold pins by window handle and find the object through this, since a
    // nested loop may end any pin while they wait.
    static CPinDlg* find(WinHandle pin);
    // The windows of the live pins that hold a target, in the order they began. The shared
    // tick holds them one by one, each found again through find(): a hold waits on its
    // target's program, and what this thread is handed meanwhile may end any pin.
    static std::vector<WinHandle> holdingPins();

    // The window was created (hidden) for target: it becomes colour-keyed white, so that only
    // the pin picture shows and the white around it lets clicks through, loses its border and
    // gets the picture for the pin size setting, laid out for the DPI of the target's monitor.
    // From here on find() knows the pin.
    void OnInitDialog(WinHandle target);

    // --- what the pin record uses ---

    // Attaches the pin to target: takes the target's current rectangle when none was handed
    // over, saves its extended style, applies transparency and Z order, puts the pin on the
    // target's corner; from then on the shared tick holds it.
    void SetTarget(WinHandle target);
    // Ends the pin: gives a still existing target back what the pin changed of its layered
    // look, and destroys the window. The object is gone afterwards.
    void Destroy();

    void ApplyZOrder();
    // Our alpha on the target, or off again; nothing for a target that draws itself with
    // per-pixel alpha.
    void ApplyTransparency();
    // The target's program refused to have its window reordered, having higher rights than
    // ours: the pin cannot hold it.
    bool targetRefuses() const { return m_targetRefuses; }
    // False for a target that was layered before its pin without attributes to read: it draws
    // itself with per-pixel alpha, and the menu offers no transparency for it.
    bool takesTransparency() const;

    // Where this pin window stands for its target held at held: above the corner of the frame
    // the user sees, and on the monitor that shows that corner.
    Rect pinRectAt(const Rect& held) const;
    // Whether a target held at target would stay within the user's reach on today's monitors.
    bool canHold(const Rect& target) const;
    const PinLayout& layout() const { return m_layout; }

    // --- window messages, from the view ---

    // One tick of the hold: the target, unless maximised, minimised or gone, is put back at
    // its held rectangle, and gets its layered look and topmost band again when it lost them.
    void hold();
    // Starts a drag of the pin when dragging is allowed.
    void OnLButtonDown();
    // The cursor of a drag is dx, dy away from where the drag began: the target goes as far
    // with it as it stays within reach, and the pin stays on its corner.
    void OnDragBy(int dx, int dy);
    // The user let go of a dragged pin: the place it was left at is saved.
    void OnDragEnd();
    void OnRButtonUp();
    // A menu command. Enter and Escape arrive here as OK and Cancel and do nothing: the pin
    // never closes itself by keyboard.
    void OnCommand(int id);
    void OnShowWindow(bool show, int status);
    // The pin window came onto a monitor of another DPI.
    void OnDpiChanged();

    // --- the view: the pin's own window ---

    virtual WinHandle pinHandle() = 0;
    virtual Rect pinRect() = 0;
    // MoveWindow of the pin window.
    virtual void movePin(const Rect& r) = 0;
    virtual void showPin() = 0;

    std::uint32_t m_lOrgExStyle = 0;
    WinHandle m_hWndTarget = kNoWindow;
    // Where the target is held. Its scale is the layout's.
    Rect m_rectTarget;
    int m_zOrder = 0;
    int m_transFlag = 0;
    int m_trans = 70;
    // The layered look the target's own program had given it before it was pinned.
    std::optional<LayeredAttributes> m_orgLayered;

protected:
    // Gives the window the layout's size and shows its picture where the layout puts it.
    virtual void showPinPicture(const PinLayout& layout) = 0;
    // Starts a drag: the cursor's moves come to OnDragBy until the left button is released.
    virtual void startDragging() = 0;
    // Shows the pin's context menu at the cursor, "透明度" greyed unless offered and the Z order
    // in use marked; the chosen command comes back to OnCommand.
    virtual void openPinMenu(bool transparencyOffered, int zOrderItem) = 0;
    virtual std::unique_ptr<CPinPropatyDlg> makeTransparencyDialog() = 0;
    // Destroys the window; the object deletes itself once the window is gone.
    virtual void destroyPin() = 0;

    CDesktop& desktop() { return m_desktop; }

private:
    bool targetExists();
    bool dragAllowed() const;
    void onPullOut();
    void onTransparency();
    // The controller's save, after a change of what the file keeps of a shown pin.
    void requestSave();
    // Lays the pin out again when its target is on a monitor of another DPI than the pin's;
    // the held size follows in proportion, as the system and the target's program scale it.
    void followDpi();
    // The pin picture and window for dpi, unless they are for it already.
    void layOut(int dpi);
    // How far the visible frame's corner is in from the target's window rectangle's. Asked when
    // the pin attaches and at a hold that finds the target changed, not at each step of a drag.
    void measureFrame();
    // Puts the pin on its target's corner unless it is there.
    void placePin();
    // Takes the target's place as the held one when the held one is out of reach and the
    // target's is not (a monitor went, the resolution dropped). Whether it took it.
    bool followDisplays(const Rect& now);
    CMultiDisplay::Grip grip() const;

    CPinDlgFactory& m_factory;
    CDesktop& m_desktop;
    // The window under which find() knows this pin.
    WinHandle m_registered = kNoWindow;
    bool m_normalPin = false;
    bool m_targetRefuses = false;
    PinLayout m_layout;
    // The held rectangle when the drag began.
    Rect m_dragFrom;
    ScreenPoint m_frameInset;
    // "抜く" is asking, with the target out of the topmost band.
    bool m_askingPullOut = false;
    // The hold has seen the target in the topmost band since it last gave the band back.
    bool m_seenTopmost = false;
    bool m_holding = false;
    // The target as the last hold found it and left it untouched: at the same rectangle, with
    // the same styles, on the same reading of the monitors, its scale and frame are as they
    // were, and the hold does not ask for them again. Forgotten whenever the pin changes
    // anything.
    struct Settled {
        Rect rect;
        Rect held;
        std::uint32_t style = 0;
        std::uint32_t exStyle = 0;
        unsigned monitorReadings = 0;
        bool operator==(const Settled&) const = default;
    };
    std::optional<Settled> m_settled;
    // Holds in a row that took the target as settled; every so often the hold asks everything
    // again all the same, for what no reading here shows (a new frame width in the settings).
    int m_settledHolds = 0;
};
