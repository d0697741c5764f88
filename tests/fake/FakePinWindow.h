// Scripted views for the pin window and its transparency dialog, a factory that makes them,
// and a controller that registers itself for the life of a test.
#pragma once

#include "fake/FakeDesktop.h"
#include "pinwindow/PinController.h"
#include "pinwindow/PinDlg.h"
#include "pinwindow/PinDlgFactory.h"
#include "pinwindow/PinPropatyDlg.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

// The transparency dialog with a scripted user: runModal initialises it and runs a nested
// loop owned by its pin window, in which the script plays with the controls, and takes OK
// through the real rule when the script presses OK. While OK leaves the dialog open, the
// script is asked again.
class CFakePropatyDlg : public CPinPropatyDlg {
public:
    enum class Press { ok, cancel };
    using User = std::function<Press(CFakePropatyDlg&)>;

    CFakePropatyDlg(CFakeDesktop& desktop, User user)
        : CPinPropatyDlg(desktop), m_fake(desktop), m_user(std::move(user)) {}

    bool runModal() override;
    // Turns the spinner as the up-down control would: never beyond its range.
    void spinTo(int position);
    // Types a number into the edit, in range or not; the spinner takes it only when it is.
    void type(int percent) { typed = percent; }

    bool checked = false;
    int spinLower = 0;
    int spinUpper = 0;
    int spinPos = 0;
    std::optional<int> typed;
    int percentSelections = 0;

protected:
    void showTransparencyOn(bool on) override { checked = on; }
    bool transparencyOnChecked() override { return checked; }
    void setSpinner(int lower, int upper, int position) override;
    std::optional<int> spinnerPosition() override;
    void selectPercent() override { ++percentSelections; }

private:
    CFakeDesktop& m_fake;
    User m_user;
};

// What a fake pin window did; it outlives the window, which deletes itself.
struct FakePinLog {
    int bitmapId = 0;
    // The layout of the last picture shown.
    PinLayout layout;
    int dragStarts = 0;
    int menusOpened = 0;
    // Whether the menu last opened offered "透明度".
    bool transparencyOffered = false;
    // The Z-Order item the menu last opened marked as in use.
    int zOrderItem = 0;
    // What happens while the pin's menu is open (other programs, the user).
    std::function<void()> whileMenuOpen;
    bool shown = false;
    bool destroyed = false;
    // The transparency dialog's user; none: the user cancels.
    CFakePropatyDlg::User dialogUser;
    // The dialog as the pin prepared it, seen when it ran.
    int dialogControl = -1;
    int dialogPercent = -1;
    int dialogHasOwner = -1;
    WinHandle dialogPin = kNoWindow;
};

class CFakePinFactory;

// A pin window: a window of its own in the fake world, moved by MoveWindow. It has no timer:
// its hold comes from the controller's shared tick, or from the test. Its menu is a nested loop.
class CFakePinWindow : public CPinDlg {
public:
    CFakePinWindow(CFakePinFactory& factory, FakePinLog& log, const Rect& rect);

    WinHandle pinHandle() override { return m_handle; }
    Rect pinRect() override;
    void movePin(const Rect& r) override;
    void showPin() override { m_log.shown = true; }

protected:
    // The window takes the layout's size, as the real one does.
    void showPinPicture(const PinLayout& layout) override;
    void startDragging() override { ++m_log.dragStarts; }
    void openPinMenu(bool transparencyOffered, int zOrderItem) override;
    std::unique_ptr<CPinPropatyDlg> makeTransparencyDialog() override;
    void destroyPin() override;

private:
    CFakeDesktop& m_fake;
    FakePinLog& m_log;
    WinHandle m_handle;
};

class CFakePinFactory : public CPinDlgFactory {
public:
    explicit CFakePinFactory(CFakeDesktop& desktop) : m_desktop(desktop) {}

    CPinDlg* createPinDlg(WinHandle target) override;
    CDesktop& desktop() override { return m_desktop; }
    CFakeDesktop& fakeDesktop() { return m_desktop; }

    // The next creation fails.
    bool refuse = false;
    std::vector<WinHandle> owners;
    // One log per window made, in order.
    std::vector<std::unique_ptr<FakePinLog>> logs;
    // Every window made, alive or not (its log tells).
    std::vector<CFakePinWindow*> made;
    CFakePinWindow* last = nullptr;

    // Ends every pin window still alive, so a test leaks nothing.
    void destroyAlive();

private:
    CFakeDesktop& m_desktop;
};

// The user's right click on a live pin and choice of command from its menu. The command is
// posted by the menu, so it reaches only a pin that is still there after the menu's loop.
void chooseFromPinMenu(WinHandle pin, int command);

// A controller registered while it lives. Each pin is its own record (the identity is the pin
// window's handle); "抜く" confirmed destroys the pin as the panel does.
class CFakePinController : public CPinController {
public:
    CFakePinController() { setPinController(this); }
    ~CFakePinController() override { setPinController(nullptr); }

    int pinSize() const override { return size; }
    int moveEnable() const override { return move; }
    void notifyUpdateWindow() override { ++updates; }
    void requestSave() override { ++saves; }
    std::uint64_t recordIdOfPin(WinHandle pinWindow) override {
        return static_cast<std::uintptr_t>(pinWindow);
    }
    void forgetRecord(std::uint64_t recordId) override;
    void changeConditionsFromPin(WinHandle pinWindow) override { conditionsFor.push_back(pinWindow); }

    int size = 0;
    int move = 0;
    int updates = 0;
    int saves = 0;
    std::vector<std::uint64_t> forgotten;
    std::vector<WinHandle> conditionsFor;
};
