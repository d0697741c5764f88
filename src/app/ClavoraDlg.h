// The resident main window: hidden most of the time, it owns the tray icon and its menu,
// shows itself as the main panel on request, hosts the control panel as a child window and
// ends the program. The Win32 window carries out the hooks; the decisions live here.
#pragma once

#include "desktop/Desktop.h"

#include <cstdint>
#include <string>

class CControlDlg;

inline constexpr char kIniFileName[] = "Clavora.ini";

struct PanelPoint {
    int x = 0;
    int y = 0;
    constexpr bool operator==(const PanelPoint&) const = default;
};

// Where the main panel's window goes so that its visible frame touches the bottom-right
// corner of the work area. The window rectangle may be larger than the visible frame (the
// invisible resize borders of newer systems); the difference is taken as equal on both sides.
PanelPoint mainPanelPosition(const Rect& frame, const Rect& window, const Rect& workArea);

// Top-left corner of an icon drawn centred in a client area (the minimised window's picture).
PanelPoint centredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

// How far the glass frame reaches into the client area.
struct GlassMargins {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    constexpr bool operator==(const GlassMargins&) const = default;
};
inline constexpr GlassMargins kMainPanelGlass{5, 8, 23, 3};

class CClavoraDlg {
public:
    // check: is the icon still there (a change that changes nothing; it fails when the shell
    // has lost the icon).
    enum class TrayOp { add, modify, check };
    enum class ShowCommand { hide, show, showNormal };

    // The configuration file is taken from the working directory as it is now, so start-up
    // must have set it first. The desktop (asked for the work area) must outlive the window.
    CClavoraDlg(CDesktop& desktop, const std::string& currentDirectory);
    virtual ~CClavoraDlg() = default;
    CClavoraDlg(const CClavoraDlg&) = delete;
    CClavoraDlg& operator=(const CClavoraDlg&) = delete;

    // The window's initialisation: control panel created and started, tray icon added, the
    // window hidden, the glass frame applied and the tray timer running.
    void OnInitDialog();

    // Adds the tray icon. While the notification area answers with time-outs this retries
    // every second (checking whether the icon arrived after all); any other error is traced
    // and given up until the tray timer tries again.
    void AddTrayIcon();
    // Timer 101 and "TaskbarCreated": put the icon back whenever the notification area lost it.
    void onTimer(int id);
    void onTaskbarCreated();
    // The tray callback; false when the message is left to the default handling.
    bool onTrayNotify(std::uint32_t mouseMessage);

    // Shows the panel at the bottom-right of the work area (not moving it when it is shown
    // already), restores it when minimised and brings it to the front.
    void ShowMainPanel();
    void SetVisible(bool show);
    // WM_WINDOWPOSCHANGING: m_bShow alone decides whether the window may be shown.
    std::uint32_t adjustPosChangingFlags(std::uint32_t flags) const;
    // Enter, Escape and the close box (OK and Cancel) only hide the panel.
    void onOkOrCancel() { SetVisible(false); }
    // "メインパネル" and "終了" from the tray menu.
    void onMainPanelCommand() { ShowMainPanel(); }
    void onExitCommand();
    // WM_ENDSESSION: from "終了", or the system at logoff or shutdown (also the debug
    // console's close, logoff and shutdown events). The control panel ends the session and
    // saves before this returns. Always answered with 0.
    void onEndSession(std::uint64_t wParam, std::uint64_t lParam);
    // WM_DESTROY: the control panel releases its hotkey, ends its pins and saves.
    void onDestroy();
    // WM_SYSCOMMAND; false when the command is left to the default handling.
    bool onSysCommand(unsigned command);
    // WM_DWMCOMPOSITIONCHANGED.
    void onCompositionChanged();
    void applyGlassFrame();

    std::string m_strIniPath;
    int m_bShow = 0;
    int m_bComposition = 0;
    GlassMargins m_margins;

protected:
    virtual CControlDlg& controlDlg() = 0;
    // System-menu About item and the window's icons.
    virtual void prepareWindow() = 0;
    // The control panel's window as a child of this one, not yet shown.
    virtual void createControlPanel() = 0;
    virtual void showControlPanel() = 0;
    // Shell_NotifyIcon with the tray record; false when the call failed.
    [[nodiscard]] virtual bool notifyTray(TrayOp op) = 0;
    // The error code of the failed call.
    virtual std::uint32_t lastError() = 0;
    virtual void pause(unsigned ms) = 0;
    // The visible frame (without invisible resize borders where the system has them).
    virtual Rect visibleFrameRect() = 0;
    virtual Rect windowRect() = 0;
    // Moves the window to (x, y), in front, keeping its size.
    virtual void moveWindowTo(const PanelPoint& topLeft) = 0;
    virtual void showWindow(ShowCommand command) = 0;
    virtual bool isMinimised() = 0;
    virtual void bringToForeground() = 0;
    // The tray menu at the cursor, this window being the command target.
    virtual void showTrayMenu() = 0;
    virtual void sendEndSession() = 0;
    // Ends the modal run with OK.
    virtual void endDialogOk() = 0;
    virtual void runAboutBox() = 0;
    [[nodiscard]] virtual bool queryComposition() = 0;
    virtual void extendGlassFrame(const GlassMargins& margins) = 0;
    virtual void invalidateWindow() = 0;
    virtual void startTimer(int id, unsigned ms) = 0;

    CDesktop& m_desktop;
};
