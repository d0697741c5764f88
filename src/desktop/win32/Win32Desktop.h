// The desktop seam carried out with the real Win32 calls.
#pragma once

#include "desktop/Desktop.h"

class CWin32Desktop : public CDesktop {
public:
    std::vector<WinHandle> topLevelWindows() override;
    bool isWindow(WinHandle h) override;
    bool isVisible(WinHandle h) override;
    bool isEnabled(WinHandle h) override;
    bool isZoomed(WinHandle h) override;
    std::string windowTitle(WinHandle h, std::size_t bufferBytes) override;
    std::optional<std::string> controlText(WinHandle h, std::size_t maxChars) override;
    using CDesktop::answers;
    bool answers(WinHandle h, unsigned timeoutMs) override;
    std::string className(WinHandle h, std::size_t maxChars) override;
    int controlId(WinHandle h) override;
    WindowInfo windowInfo(WinHandle h) override;
    std::vector<WinHandle> descendantWindows(WinHandle parent) override;
    std::uint32_t style(WinHandle h) override;
    std::uint32_t exStyle(WinHandle h) override;
    void setStyle(WinHandle h, std::uint32_t value) override;
    void setExStyle(WinHandle h, std::uint32_t value) override;
    Rect windowRect(WinHandle h) override;
    using CDesktop::moveWindow;
    void moveWindow(WinHandle h, const Rect& r, bool repaint, MoveWait wait) override;
    WindowPlacement placement(WinHandle h) override;
    void setPlacement(WinHandle h, const WindowPlacement& placement) override;
    void setRedraw(WinHandle h, bool on) override;
    void showNormal(WinHandle h) override;
    void minimizeByCommand(WinHandle h) override;
    ChangeResult setTopmost(WinHandle h, bool topmost, Activation activation) override;
    std::optional<LayeredAttributes> layeredAttributes(WinHandle h) override;
    [[nodiscard]] bool setLayeredAttributes(WinHandle h, const LayeredAttributes& attributes) override;
    WinHandle foregroundWindow() override;
    std::uint32_t cloak(WinHandle h) override;

    std::uint32_t windowProcessId(WinHandle h) override;
    std::string processBaseName(std::uint32_t processId, ProcessAccess access) override;
    std::string processImagePath(std::uint32_t processId, ProcessAccess access) override;
    ProcessHold holdProcess(std::uint32_t processId) override;
    bool processEnded(ProcessHold hold) override;
    void releaseProcess(ProcessHold hold) override;
    bool runsElevated(std::uint32_t processId) override;

    std::vector<MonitorRecord> enumerateMonitors() override;
    int monitorDpi(WinHandle h) override;
    std::optional<Rect> visibleFrame(WinHandle h) override;
    Rect desktopRect() override;
    Rect workArea() override;

    [[nodiscard]] bool registerHotKey(WinHandle owner, int id, unsigned modifiers, unsigned vk) override;
    void unregisterHotKey(WinHandle owner, int id) override;
    MsgAnswer messageBox(WinHandle owner, std::u8string_view text, std::u8string_view caption,
                         MsgButtons buttons, MsgIcon icon) override;
    using CDesktop::appMessageBox;
    MsgAnswer programBox(WinHandle owner, std::u8string_view text, MsgButtons buttons, MsgIcon icon) override;
    WinHandle activeWindow() override;
    std::string keyName(unsigned vk) override;
};
