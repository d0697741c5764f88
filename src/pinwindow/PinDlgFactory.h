// How a pin record makes its pin window: the Win32 factory creates a CPinWindow owned by the
// target, the tests a scripted view.
#pragma once

#include "base/DesktopTypes.h"
#include "desktop/MultiDisplay.h"
#include "pinwindow/PinController.h"

class CDesktop;
class CPinDlg;

class CPinDlgFactory {
public:
    virtual ~CPinDlgFactory() = default;

    // A new pin window, created hidden with target as its owner and initialised, or nullptr
    // when the system refuses to create it. The object deletes itself when its window is gone.
    virtual CPinDlg* createPinDlg(WinHandle target) = 0;
    // The desktop the pin windows work on.
    virtual CDesktop& desktop() = 0;
    // The monitors as start-up and the main window last enumerated them.
    const CMultiDisplay& monitors() const { return *CMultiDisplay::GetMultiDisplay(); }
    // The controller registered now, or nullptr. Asked at each use, since the controller
    // may come or go while pins live.
    CPinController* controller() const { return pinController(); }
};
