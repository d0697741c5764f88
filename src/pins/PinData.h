// One pin record: how to recognise a window of another program again (process, title, one
// child window), how its pin looks and acts on it, and, while pinned, the pin window.
#pragma once

#include "base/DesktopTypes.h"
#include "pins/WinInf.h"

#include <cstdint>
#include <string>

class CPinDlg;
class CPinDlgFactory;

class CPinData {
public:
    CPinData() = default;
    // Copies share the pin window of a pinned record and the record's identity; only the
    // record in the list changes.
    CPinData(const CPinData&) = default;
    CPinData(CPinData&&) = default;
    CPinData& operator=(const CPinData&) = default;
    CPinData& operator=(CPinData&&) = default;
    virtual ~CPinData() = default;

    // True when win satisfies every condition that is on. A matching process updates
    // m_exePath to win's path even when a later condition fails; win's children are
    // collected the first time an extended condition needs them.
    bool Match(CWinInf& win);

    // Puts a pin on hTarget, with a window made by factory, unless the record is pinned.
    void StartPin(CPinDlgFactory& factory, WinHandle hTarget);
    // Takes the pin off again, keeps what its window knew and tells factory's controller;
    // nothing unless pinned.
    void EndPin(CPinDlgFactory& factory);
    // The pin window while the record is pinned and the window lives; nullptr otherwise.
    CPinDlg* pinDlg() const;
    // The pin's held rectangle, Z order and transparency, as EndPin would take them back.
    void takeFromPinWindow(const CPinDlg& pin);

    int m_titleFlag = 1;
    int m_processFlag = 1;
    int m_fullFlag = 1;
    int m_extentFlag = 0;
    int m_exFullFlag = 1;
    std::string m_title;
    std::string m_titlePart;
    // Upper case.
    std::string m_exeName;
    std::string m_exePath;
    std::string m_exText;
    std::string m_exPart;
    int m_exCtrlID = 0;
    std::string m_exClassName;
    // Where the pinned window is held, as of the last time the pin ended.
    Rect m_rectTarget;
    // 1: topmost, 0: normal Z order.
    int m_zOrder = 0;
    int m_transFlag = 0;
    // Opacity in percent while m_transFlag is 1.
    int m_trans = 70;
    WinHandle m_hTarget = kNoWindow;
    int m_pinned = 0;
    // The pin window, held by handle: it deletes itself, and a nested loop may end it while
    // someone holds the record.
    WinHandle m_hPinWnd = kNoWindow;
    // The window that last refused this record's pin (its program has higher rights than
    // ours); the cycle does not try it again. Never written to the file.
    WinHandle m_refusingTarget = kNoWindow;
    // The user has been told that a window refused this record's pin.
    bool m_refusalTold = false;
    // The window the hotkey made this record from, until the record's first pin: of windows
    // that look alike, the one the user chose. Never written to the file.
    WinHandle m_madeFrom = kNoWindow;
    // Who this record is, for the life of the program: a record is found again by it after a
    // nested loop in which rows may have moved or gone. Never written to the file.
    std::uint64_t m_recordId = newRecordId();

private:
    static std::uint64_t newRecordId();
};
