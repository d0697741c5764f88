// The dialog base of the window layer: a window made from a dialog template of Clavora.rc,
// run modally or modelessly, whose messages all reach one virtual member handler.
//
// A dialog class derives from CDialogBase and overrides onMessage with a plain switch:
//
//     std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
//         switch (message) {
//             case WM_INITDIALOG: ...; return TRUE;   // TRUE: the dialog manager sets the focus
//             case WM_TIMER: onTimer(static_cast<int>(wParam)); return 0;
//         }
//         return std::nullopt;                        // default handling
//     }
//
// What it leaves (nullopt) gets the base's handling: IDOK and IDCANCEL commands go to onOK and
// onCancel, WM_CTLCOLOR* to onCtlColor, and everything else to the system's dialog manager.
//
// Modal runs use the system's own dialog loop (DialogBoxParam). Messages posted to a control
// reach that control's window procedure from this loop as from every other one (message boxes,
// menus), so a control that must see its posted messages first subclasses itself
// (CSubclassedControl) instead of hooking the loop.
#pragma once

#include <windows.h>

#include <optional>

class CDialogBase {
public:
    explicit CDialogBase(int templateId) noexcept : m_templateId(templateId) {}
    // A window still open is destroyed without calling back into the object.
    virtual ~CDialogBase();

    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Runs the dialog modally with `owner` disabled meanwhile; timers and other windows of the
    // thread keep being served. The dialog opens below window `beside` when there is one, the
    // way a menu opens below what was clicked, and whole on its monitor's work area. Returns
    // the code passed to endDialog, or -1 when the window could not be created (traced with
    // the error code).
    INT_PTR doModal(HWND owner = nullptr, HWND beside = nullptr) noexcept;
    // Creates the dialog modelessly: a child of `owner` for a child template, else owned by
    // it. Visible only if the template says WS_VISIBLE. False when the window could not be
    // created (traced with the error code).
    [[nodiscard]] bool create(HWND owner) noexcept;

    // Ends a modal run with `code`; the window goes once the handler has returned.
    void endDialog(INT_PTR code) noexcept;
    // Destroys a modeless dialog's window at once.
    void destroy() noexcept;

    HWND hwnd() const noexcept { return m_hwnd; }
    // How many messages to Clavora's dialogs this thread is handling now, one under another,
    // since the innermost message loop began: more than one while a handler waits on a window
    // of another thread, which hands this thread the messages sent to it meanwhile.
    static int messagesUnderWay() noexcept { return s_messagesUnderWay; }

    // Held around a nested message loop (a modal dialog, a message box, a menu). The handlers
    // under it hold nothing across it, so a message the loop hands out counts as one handled
    // from the main loop.
    class CNestedLoop {
    public:
        CNestedLoop() noexcept : m_outer(s_messagesUnderWay) { s_messagesUnderWay = 0; }
        ~CNestedLoop() { s_messagesUnderWay = m_outer; }
        CNestedLoop(const CNestedLoop&) = delete;
        CNestedLoop& operator=(const CNestedLoop&) = delete;

    private:
        int m_outer;
    };
    HWND item(int id) const noexcept { return GetDlgItem(m_hwnd, id); }
    int templateId() const noexcept { return m_templateId; }

protected:
    // Every message from WM_INITDIALOG on, except WM_NCDESTROY (see onPostDestroy). A value
    // is the message's result; nullopt asks for the default handling.
    virtual std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Enter, the OK button (IDOK) / Escape, the close box, the Cancel button (IDCANCEL).
    // Both end a modal run with their code; modeless dialogs override them.
    virtual void onOK() { endDialog(IDOK); }
    virtual void onCancel() { endDialog(IDCANCEL); }

    // Colours of a control or of the dialog itself; `kind` is CTLCOLOR_DLG, CTLCOLOR_STATIC,
    // CTLCOLOR_BTN, ... The system's default answer has already set up `dc` and is passed in
    // as `defaultBrush`. Returns the brush to paint with; the object keeps owning it.
    virtual HBRUSH onCtlColor(HDC dc, HWND control, UINT kind, HBRUSH defaultBrush);

    // The window is gone (WM_NCDESTROY) and hwnd() is null. An object that owns itself may
    // `delete this` here; the layer touches it no more afterwards.
    virtual void onPostDestroy() {}

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    std::optional<LRESULT> dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    static thread_local int s_messagesUnderWay;
    int m_templateId;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
    HWND m_beside = nullptr;
};
