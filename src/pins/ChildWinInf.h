// One child window (a control) of a target window, and the rule by which the children of a
// window are collected. The match condition's child selection and the pinning cycle's
// extended matching both collect by this one rule, so the child the user picks is the child
// that matching finds later.
#pragma once

#include "base/DesktopTypes.h"
#include "desktop/Desktop.h"

#include <string>
#include <string_view>
#include <vector>

class CChildWinInf {
public:
    CChildWinInf() = default;
    CChildWinInf(const CChildWinInf&) = default;
    CChildWinInf(CChildWinInf&&) = default;
    CChildWinInf& operator=(const CChildWinInf&) = default;
    CChildWinInf& operator=(CChildWinInf&&) = default;
    virtual ~CChildWinInf() = default;

    WinHandle m_hWnd = kNoWindow;
    // Taken when the child is recorded and carried along; nothing decides by it.
    WindowInfo m_info;
    std::string m_text;
    std::string m_className;
    int m_ctrlID = 0;
};

// Children in collection order; nothing sorts it.
using CChildWinInfList = std::vector<CChildWinInf>;

// Texts and class names are read into 512-byte buffers with a limit of 511 characters,
// the terminator included, so at most 510 bytes arrive.
constexpr std::size_t kChildTextLimit = 511;

// Appends a record of h when h is visible, enabled and has a text. A child whose program does
// not answer counts as having no text, so a hung target cannot freeze Clavora.
void recordChildWindow(CDesktop& desktop, CChildWinInfList& list, WinHandle h);
// Records every descendant of parent in the system's walk order (depth first, parents before
// their children), appending to list. A parent that is gone adds nothing.
void collectChildWindows(CDesktop& desktop, CChildWinInfList& list, WinHandle parent);
// How many records have exactly this class name (case-sensitive) and control ID; a pair
// names one child when the count is 1.
int countChildPair(const CChildWinInfList& list, std::string_view className, int ctrlID);
// The position of the first record with exactly this class name and control ID, the child
// that matching takes; -1 when there is none.
int findChildPair(const CChildWinInfList& list, std::string_view className, int ctrlID);
