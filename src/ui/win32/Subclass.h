// A control of a dialog whose messages this program handles before (or instead of) the
// control's own window procedure: the hotkey field replaces the standard hotkey control's
// input and painting this way.
//
// Messages posted to the control (the hotkey field's keyboard hook posts 0x500 / 0x501 to
// it) arrive here from whatever message loop runs at the moment, the dialog manager's modal
// loop included; that is where such a control does its "pre-translation".
#pragma once

#include <windows.h>

#include <optional>

class CSubclassedControl {
public:
    CSubclassedControl() noexcept = default;
    // Gives the control its own procedure back if it still exists.
    virtual ~CSubclassedControl();

    CSubclassedControl(const CSubclassedControl&) = delete;
    CSubclassedControl& operator=(const CSubclassedControl&) = delete;

    // Takes over the messages of `control`, typically the dialog's item(id) during
    // WM_INITDIALOG. False when the system refuses (traced with the error code).
    [[nodiscard]] bool attach(HWND control) noexcept;
    // Hands the control back to its own procedure; done by itself when the control goes.
    void detach() noexcept;

    HWND hwnd() const noexcept { return m_hwnd; }

protected:
    // Every message of the control. A value is the message's result; nullopt passes the
    // message on to the control's own procedure.
    virtual std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // The control's own handling of a message, for a handler that wants it first ("let the
    // standard control handle the message, then ..."). Only valid inside onMessage.
    LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR subclassId, DWORD_PTR refData) noexcept;

    HWND m_hwnd = nullptr;
};
