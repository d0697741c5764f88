// The property settings dialog: pin size, dragging, and the global hotkey, which is tested
// against the system before it is accepted. It changes nothing by itself; the control panel
// hands the four values in and takes them back after OK.
#pragma once

#include "desktop/Desktop.h"

#include <cstdint>
#include <utility>

// Registered for a moment to see whether a combination is free; the real hotkey has its own ID.
constexpr int kTestHotKeyId = 106;

class CSizeDlg {
public:
    explicit CSizeDlg(CDesktop& desktop) : m_desktop(desktop) {}
    virtual ~CSizeDlg() = default;

    // Registers and at once releases the combination under the test ID; true when it was free.
    bool TestHotKey(unsigned modifiers, unsigned key);
    // "重複確認": tells whether the combination in the field could be registered.
    void checkDuplicate();
    // OK: false keeps the dialog open (the new combination is taken); true ends it with OK
    // after the members have been read from the controls.
    [[nodiscard]] bool acceptOK();

    int m_nPinSize = 0;
    int m_bMoveEnable = 0;
    int m_nHotKey = 90;
    int m_nModifiers = 8;

protected:
    virtual WinHandle dialogWindow() = 0;
    // The hotkey field's value as (virtual-key code, RegisterHotKey modifiers).
    virtual std::pair<std::uint16_t, std::uint16_t> shownHotKey() = 0;
    // Reads the radio group and the check box into m_nPinSize and m_bMoveEnable.
    virtual void readOptionControls() = 0;

private:
    bool isCurrent(const std::pair<std::uint16_t, std::uint16_t>& value) const;

    CDesktop& m_desktop;
};
