// The resident main window on the screen: template 102, run modally for the life of the
// program. Hidden most of the time, it owns the tray icon and its menu, shows itself as the
// main panel on request, hosts the control panel's window, carries the glass frame and the
// system-menu About item, and ends the program.
#pragma once

#include "app/ClavoraDlg.h"
#include "conditions/win32/MatchConditionDlgWindow.h"
#include "pins/win32/ControlPanelWindow.h"
#include "ui/win32/Dialog.h"

#include <shellapi.h>

#include <string>

// The resident main window from its initialisation to its destruction, nullptr otherwise.
// Safe to ask from any thread (the console's event handler runs on one of its own).
HWND residentMainWindow() noexcept;

class CMainWindow : public CDialogBase {
public:
    // The configuration file is taken from currentDirectory (UTF-8), the working directory that
    // start-up set. desktop and factory must outlive the window.
    CMainWindow(CDesktop& desktop, CPinDlgFactory& factory, const FilePath& currentDirectory);

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter, Escape and the close box only hide the panel.
    void onOK() override { setVisible(false); }
    void onCancel() override { setVisible(false); }
    HBRUSH onCtlColor(HDC dc, HWND control, UINT kind, HBRUSH defaultBrush) override;
    void onPostDestroy() override;

private:
    // Control panel created and started, tray icon added, the window hidden, the glass frame
    // applied and the tray timer running.
    void initialise();
    void prepareSystemMenuAndIcons();

    // The tray icon: its record and every call on it.
    void prepareTrayRecord();
    std::optional<std::uint32_t> notifyTray(TrayOp op);
    // Changes nothing; fails when the shell has lost the icon.
    bool trayIconPresent();
    void addTrayIcon();
    void removeTrayIcon();

    // At the bottom-right of the work area (not moved when shown already), restored when
    // minimised, in front.
    void showMainPanel();
    void setVisible(bool show);
    void applyGlassFrame();
    // Painting while minimised: the icon centred on the erased background.
    bool paintMinimised();

    CDesktop& m_desktop;
    FilePath m_strIniPath;
    bool m_bShow = false;
    // The frame reaches into the client area as glass, which the controls' black lets through.
    bool m_bGlass = false;
    HICON m_hIcon;
    HICON m_hTrayIcon;
    CWin32ConditionEditor m_conditionEditor;
    CControlPanelWindow m_controlDlg;
    HWND m_hWndTray = nullptr;
    NOTIFYICONDATAA m_nid{};
};
