// The controller of every pin, and the logic of the control panel that lists them. It owns
// the pin records and the four global settings, loads and saves Clavora.ini, runs the
// pinning cycle twice a second, makes a record from the foreground window on the global
// hotkey and saves once changes have settled.
//
// The Win32 panel window (CControlPanelWindow) derives from it, turns its timers and the
// hotkey into the calls below and carries out the view hooks.
#pragma once

#include "desktop/Desktop.h"
#include "desktop/ImageListCashSmoll.h"
#include "pins/ConfigFile.h"
#include "pins/EarlyCycles.h"
#include "pins/FoundWindows.h"
#include "pins/PinData.h"
#include "pins/ProcessNames.h"
#include "pins/SaveRetry.h"
#include "pins/WinInf.h"
#include "pins/WindowIndex.h"
#include "pinwindow/PinController.h"

#include <string>
#include <vector>

class CPinDlgFactory;

// The global pin hotkey (RegisterHotKey ID and WM_HOTKEY wParam).
constexpr int kPinHotKeyId = 1000;
// The pinning cycle: soon after start, then 500 ms after the end of each cycle.
constexpr int kCycleTimerId = 103;
constexpr unsigned kFirstCycleDelayMs = 100;
constexpr unsigned kCyclePeriodMs = 500;
// Every pin's target held once a second (CPinDlg::hold): one wake-up for all pins, however
// many there are, and none while no pin is shown.
constexpr int kPinHoldTimerId = 102;
constexpr unsigned kPinHoldTimerMs = 1000;
// A cycle ahead of the period, when the system tells of a window that may be pinned now.
constexpr int kEarlyCycleTimerId = 105;
// The save countdown ticks only while a save waits (an idle program is woken for nothing
// else than its cycle); a request waits this many ticks.
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
    // The program's icon in the panel's image list; negative: the row shows no picture.
    int image = -1;
    // The record's pin is shown now.
    bool pinned = false;
    bool operator==(const PinListRow&) const = default;
};

class CControlDlg : public CPinController {
public:
    // Registers itself as the one pin controller. desktop, factory, icons (the list's image
    // list) and files (where Clavora.ini is read and written) must outlive it.
    CControlDlg(CDesktop& desktop, CPinDlgFactory& factory, CSmallIconStore& icons,
                CFileSystem& files = systemFileSystem());
    ~CControlDlg() override;
    CControlDlg(const CControlDlg&) = delete;
    CControlDlg& operator=(const CControlDlg&) = delete;

    // Once, right after the panel's window exists: loads the file, shows the list, registers
    // the hotkey and starts the cycle.
    void startPinning(const FilePath& iniPath);

    // The candidate windows of this cycle, in enumeration order.
    void buildWindowList();
    // Starts pins on matching windows and ends pins whose window no longer matches.
    void runCycle();
    // The panel's timers: the cycle, the pins' hold and the save countdown.
    void onTimer(int id);
    // WM_HOTKEY.
    void onHotKey(int id);
    // A top-level window of another program appeared, showed or changed: an early cycle soon.
    void onWindowEvent(WindowEvent event);
    // The hotkey's action on the foreground window h: a new record that the next cycle pins,
    // unless the window is pinned already (message) or no candidate (silence).
    void pinForegroundWindow(WinHandle h);

    // Schedules a save for the sixth countdown tick from now; a later request restarts the wait.
    // A save that fails is tried again after a pause that grows to some seconds, until one
    // goes through; the user is told once while saves keep failing and once when one
    // succeeds again. Nothing is scheduled once the session has ended.
    void requestSave() override;
    void notifyUpdateWindow() override;
    // Ends every pin in list order (the program is ending, or the pins must be made anew).
    void endAllPins();

    // Replaces the records and settings with the file's content.
    void loadIniFile();
    // Rewrites the whole file; false when it could not be written (traced, the previous file
    // intact, the records untouched). A file that could not be read at start is first set
    // aside as a rescue copy, and the user told where it went.
    bool __writeIniFile();

    // Redraws the list from the records.
    void refreshList();

    // "プロパティ設定": the settings dialog; after OK the new settings are taken, the hotkey is
    // registered anew and every pin ends, so that the cycle puts the pins back as they now are.
    void onPropertySettings();
    // "画鋲削除": the selected record goes after the user's Yes, its pin window with it.
    void onDeletePin();
    // "条件変更": the match condition dialog for the selected record, unless its pin is shown
    // (that one is edited from the pin's own menu). After OK the record takes the conditions.
    void onChangeConditions();

    std::uint64_t recordIdOfPin(WinHandle pinWindow) override;
    // "抜く" or "画鋲削除" confirmed: the record is forgotten, so the cycle does not pin the
    // window again, and its pin window is destroyed with nothing copied back.
    void forgetRecord(std::uint64_t recordId) override;
    // "マッチング条件設定" on a pin: the match condition dialog for the record of pinWindow, with
    // the choice of a child window of the pinned window. After OK the record takes the
    // conditions, even when its pin ended meanwhile; the next cycle checks them.
    void changeConditionsFromPin(WinHandle pinWindow) override;

    int pinSize() const override { return m_pinSize; }
    int moveEnable() const override { return m_moveEnable; }

    // The end of the session (logoff, shutdown, "終了"): the timers stopped, the hotkey
    // released and the file written before it returns, since the system may end the process
    // right afterwards; then every pin ended, unless `pins` is PinsEnd::later. The file comes
    // first: ending a pin waits on its target, and targets are busy ending themselves. The
    // ending may come as a message sent while a pin waits on its target's thread, and that pin
    // must not go from under itself: its pins end with the panel's window then. Once only.
    // When the user chose "終了" (`FailedSave::ask`), a file that cannot be written is not
    // given up without a word: with the pins ended, the user is asked to try again, say
    // after making room, or to leave without saving.
    enum class PinsEnd { now, later };
    enum class FailedSave { dropped, ask };
    void endSession(PinsEnd pins = PinsEnd::now, FailedSave failed = FailedSave::dropped);
    // The panel's end at exit: the session ended, the records dropped, the window destroyed.
    void DestroyWindow();

    FilePath m_iniPath;
    CWriteIniFile m_iniWriter;
    std::vector<CPinData> m_pins;
    std::vector<CWinInf> m_windows;
    int m_pinSize = 1;
    int m_moveEnable = 0;
    int m_hotKey = 90;
    int m_hotKeyModifiers = 8;
    int m_saveRequested = 0;
    int m_saveCountdown = 0;
    // The file was there but could not be read: the first save moves it aside.
    bool m_iniUnread = false;
    bool m_sessionEnded = false;
    // The pin hotkey is registered now; the settings dialog tests the current key when not.
    bool m_hotKeyRegistered = false;
    CImageListCashSmoll m_iconCache;

protected:
    // --- the panel's own window ---
    virtual WinHandle panelWindow() = 0;
    virtual void startTimer(int id, unsigned ms) = 0;
    virtual void killTimer(int id) = 0;
    // A steady clock in milliseconds, for the spacing of early cycles.
    virtual std::uint64_t nowMs() = 0;
    // Replaces the rows; selected (negative: none) is the row to select and mark.
    virtual void showRows(const std::vector<PinListRow>& rows, int selected) = 0;
    virtual void destroyPanelWindow() = 0;
    // A notice that needs no answer and opens no nested loop: a balloon from the tray icon.
    // False when it could not be shown (no tray icon yet).
    virtual bool tellUser(std::u8string_view text) = 0;
    // The list's selection mark, which is a record index; negative when nothing was selected.
    virtual int selectionMark() = 0;
    // Runs the property settings dialog modally on settings; true after OK, with settings
    // holding the dialog's values.
    virtual bool runSizeDialog(CPinSettings& settings) = 0;
    // Runs the match condition dialog modally on record; fromPin offers the choice of a child
    // window, which the pin window pinWindow vouches for. True after OK, with record edited.
    virtual bool runMatchConditionDialog(CPinData& record, bool fromPin, WinHandle pinWindow) = 0;

    CDesktop& m_desktop;

private:
    // The four global settings as the file and the property settings dialog hold them.
    CPinSettings settings() const { return {m_pinSize, m_moveEnable, m_hotKey, m_hotKeyModifiers}; }
    void takeSettings(CPinSettings settings);
    // RegisterHotKey of the pin hotkey, without repeats; false (traced) when it failed.
    bool registerPinHotKey();
    // The hotkey at start-up: the default Win+Z, which newer systems keep for themselves, gives
    // way to Ctrl+Win+Z. What the user must know is told by the cycle, which runs meanwhile.
    void registerHotKeyAtStart();
    // Tells the waiting notice, if any, once the tray icon can show it.
    void tellPendingNotice();
    // Ends every pin and gives the windows back as they were found.
    void endPinsForGood();
    // Destroys the record's pin window without taking anything back, and forgets the record.
    void removeRecord(std::size_t index);
    // The record of edited (if it is still there) takes edited's conditions; nothing else.
    void takeConditions(const CPinData& edited);
    void saveCountdownTick();
    // The shared hold tick runs while any pin is shown, and only then.
    void keepHoldTick();
    // One tick of the hold for every pin shown.
    void holdPins();
    // A save of the countdown, tried again after a pause when it fails.
    void saveOrRetry();
    // The record whose shown pin is pinWindow, tracing every shown pin it compares; -1 if none.
    int findRecordOfPin(WinHandle pinWindow);
    // The record with this identity; -1 when it has gone.
    int findRecord(std::uint64_t recordId) const;
    // The windows a record may match, in list order: with the process condition only those of
    // its program, which no other window could satisfy. npos ends them.
    std::size_t firstCandidate(const CPinData& pin) const;
    std::size_t nextCandidate(const CPinData& pin, std::size_t i) const;
    // The first candidate that pin matches; nullptr when there is none.
    CWinInf* firstMatch(CPinData& pin);
    // The listed window h, looked for among pin's candidates first; nullptr when h is not listed.
    CWinInf* findListed(const CPinData& pin, WinHandle h);

    CPinDlgFactory& m_factory;
    CFileSystem& m_files;
    CSaveRetry m_saveRetry;
    // The names of the candidate windows' processes, kept from cycle to cycle.
    CProcessNames m_processNames{m_desktop};
    CWindowIndex m_windowIndex;
    CEarlyCycles m_earlyCycles;
    bool m_holdTicking = false;
    // The identities of the records in the rows shown, in row order.
    std::vector<std::uint64_t> m_shownRecords;
    // The band each pinned window was in before its first pin.
    CFoundWindows m_foundWindows;
    // What start-up has to tell the user, told from the tray icon once it is there.
    std::u8string m_pendingNotice;
};
