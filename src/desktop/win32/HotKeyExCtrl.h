// The hotkey field: a standard hotkey control whose input and painting are replaced, so
// that Windows-key combinations can be typed and combinations the system or other programs
// would act on (Win+letter, Alt+Tab, Alt+F4) are captured instead. While the field has the
// focus a desktop-wide low-level keyboard hook swallows the key events and posts their
// virtual-key codes to the field; only the keys that were already down when it got the focus
// are left to whoever had them.
#pragma once

#include "desktop/Desktop.h"
#include "desktop/HotKeyExState.h"
#include "ui/win32/Subclass.h"

class CHotKeyExCtrl : public CSubclassedControl, public CHotKeyExState {
public:
    // Key names come from the desktop; it must outlive the field.
    explicit CHotKeyExCtrl(CDesktop& desktop) noexcept : m_desktop(desktop) {}
    ~CHotKeyExCtrl() override;

    // Shows a stored hotkey (RegisterHotKey modifiers) and redraws at once.
    void SetHotKeyMod(std::uint16_t vk, std::uint16_t externalModifiers);

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void startCapture();
    void installHook();
    // A key event that came to the field past its hook; true when the hook should have taken
    // it, which puts the hook back.
    bool tookMissedKey(UINT message, WPARAM vk);
    void stopCapture();
    void redrawNow();
    void paint();

    CDesktop& m_desktop;
};
