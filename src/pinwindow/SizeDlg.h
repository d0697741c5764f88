// The property settings dialog: pin size, dragging, and the global hotkey, which is tested
// against the system before it is accepted. It changes nothing by itself; the control panel
// hands the four values in and takes them back after OK.
#pragma once

#include "desktop/Desktop.h"

#include <cstdint>
#include <utility>

// Registered for a moment to see whether a combination is free; the real hotkey has its own ID.
constexpr int kTestHotKeyId = 106;

// What the radio group ("小さい画鋲" 0, "通常画鋲" 1) and the check box "移動可" show.
struct CSizeOptions {
    int pinSizeIndex = 0;
    int moveChecked = 0;
};

class CSizeDlg {
public:
    explicit CSizeDlg(CDesktop& desktop) : m_desktop(desktop) {}
    virtual ~CSizeDlg() = default;

    // Registers and at once releases the combination under the test ID; true when it was free.
    bool TestHotKey(unsigned modifiers, unsigned key);
    // "重複確認": tells whether the combination in the field could be registered.
    void checkDuplicate();
    // OK: false keeps the dialog open (the new combination is taken or types text); true ends
    // it with OK after the members have been read from the controls.
    [[nodiscard]] bool acceptOK();
    // What the controls show at the start: the pin picture and the dragging that the members
    // give the pins, whatever number they hold. Remembered so that OK changes a member only
    // when its control was changed, and a number the controls cannot show comes back as it was.
    CSizeOptions initialOptions();

    int m_nPinSize = 0;
    int m_bMoveEnable = 0;
    int m_nHotKey = 90;
    int m_nModifiers = 8;
    // The current combination is registered as the pin hotkey: only then is it Clavora's own
    // and not worth a test.
    bool m_bCurrentRegistered = true;

protected:
    virtual WinHandle dialogWindow() = 0;
    // The hotkey field's value as (virtual-key code, RegisterHotKey modifiers).
    virtual std::pair<std::uint16_t, std::uint16_t> shownHotKey() = 0;
    // What the radio group and the check box show now.
    virtual CSizeOptions readOptionControls() = 0;

private:
    bool isCurrent(const std::pair<std::uint16_t, std::uint16_t>& value) const;
    // Refuses, with a message, a combination without a key or one that would take a key from
    // everyone's typing.
    bool refusedAsNoPinKey(const std::pair<std::uint16_t, std::uint16_t>& value);

    CDesktop& m_desktop;
    CSizeOptions m_initialOptions;
};
