// The controller of every pin, and the logic of the control panel that lists them. It owns
// the pin records and the four global settings, loads and saves Clavora.ini, runs the
// pinning cycle twice a second, makes a record from the foreground window on the global
// hotkey and saves once changes have settled.
//
// The Win32 panel window (CControlPanelWindow) derives from it, turns its timers and the
// hotkey into the calls below and carries out the view hooks.
#pragma once

#include "desktop/Desktop.h"
#include "pins/ConfigFile.h"
#include "pins/PinController.h"
#include "pins/PinData.h"
#include "pins/WinInf.h"

#include <string>
#include <vector>

class CPinDlgFactory;

// The global pin hotkey (RegisterHotKey ID and WM_HOTKEY wParam).
constexpr int kPinHotKeyId = 1000;
// The pinning cycle: soon after start, then 500 ms after the end of each cycle.
constexpr int kCycleTimerId = 103;
constexpr unsigned kFirstCycleDelayMs = 100;
constexpr unsigned kCyclePeriodMs = 500;
// The save countdown ticks for the panel's whole life; a request waits this many ticks.
constexpr int kSaveTimerId = 104;
constexpr unsigned kSaveTickMs = 100;
constexpr int kSaveCountdownTicks = 5;
// Titles are read into buffers of this size by the cycle and by the hotkey alike, so that a
// record the hotkey makes from a long title can match the window it was made from.
constexpr std::size_t kTitleBufferBytes = 256;

// One row of the panel's list, in record order.
struct PinListRow {
    std::string programName;
    std::string title;
    bool operator==(const PinListRow&) const = default;
};

class CControlDlg : public CPinController {
public:
    // Registers itself as the one pin controller. desktop and factory must outlive it.
    CControlDlg(CDesktop& desktop, CPinDlgFactory& factory);
    ~CControlDlg() override;
    CControlDlg(const CControlDlg&) = delete;
    CControlDlg& operator=(const CControlDlg&) = delete;

    // Once, right after the panel's window exists: loads the file, shows the list, registers
    // the hotkey and starts the cycle and the save countdown.
    void startPinning(const std::string& iniPath);

    // The candidate windows of this cycle, in enumeration order.
    void buildWindowList();
    // Starts pins on matching windows and ends pins whose window no longer matches.
    void runCycle();
    // The panel's timers: the cycle and the save countdown.
    void onTimer(int id);
    // WM_HOTKEY.
    void onHotKey(int id);
    // The hotkey's action on the foreground window h: a new record that the next cycle pins,
    // unless the window is pinned already (message) or no candidate (silence).
    void pinForegroundWindow(WinHandle h);

    // Schedules a save for the sixth countdown tick from now; a later request restarts the wait.
    void requestSave();
    void notifyUpdateWindow() override;
    // Ends every pin in list order (the program is ending).
    void endAllPins();

    // Replaces the records and settings with the file's content.
    void loadIniFile();
    // Rewrites the whole file; false when it could not be written (traced, the previous file
    // intact, the records untouched).
    bool __writeIniFile();

    // Redraws the list from the records.
    void refreshList();

    // "抜く" confirmed on a pin: its window is destroyed (nothing is copied back) and its record
    // forgotten, so the cycle does not pin the window again.
    void removeRecordOfPin(CPinDlg* pinWindow) override;
    // Editing a pin's matching conditions needs the match condition dialog, which comes with
    // the control panel's editing; until then the command only finds the pin's record.
    void changeConditionsFromPin(CPinDlg* pinWindow) override;

    int pinSize() const override { return m_pinSize; }
    int moveEnable() const override { return m_moveEnable; }

    // The panel's end at exit: hotkey released, every pin ended, the file written, the
    // records dropped, the window destroyed.
    void DestroyWindow();

    std::string m_iniPath;
    CWriteIniFile m_iniWriter;
    std::vector<CPinData> m_pins;
    std::vector<CWinInf> m_windows;
    int m_pinSize = 1;
    int m_moveEnable = 0;
    int m_hotKey = 90;
    int m_hotKeyModifiers = 8;
    int m_saveRequested = 0;
    int m_saveCountdown = 0;

protected:
    // --- the panel's own window ---
    virtual WinHandle panelWindow() = 0;
    virtual void startTimer(int id, unsigned ms) = 0;
    virtual void killTimer(int id) = 0;
    virtual void showRows(const std::vector<PinListRow>& rows) = 0;
    virtual void destroyPanelWindow() = 0;

    CDesktop& m_desktop;

private:
    void registerPinHotKey();
    void saveCountdownTick();
    // The record whose pin window is pinWindow, tracing every shown pin it compares; -1 if none.
    int findRecordOfPin(CPinDlg* pinWindow);
    // Style and place tests shared by the cycle's window list and the hotkey.
    bool takesPins(std::uint32_t style) const;
    bool liesOnMonitor(WinHandle h);
    bool isOwnProgram(const std::string& upperBaseName) const;

    CPinDlgFactory& m_factory;
};
