// A candidate top-level window as one pinning cycle sees it: title, owning program, and its
// child windows, which are collected only when a record first needs them.
#pragma once

#include "desktop/Desktop.h"
#include "pins/ChildWinInf.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CWinInf {
public:
    CWinInf() = default;
    // The desktop is where the children are read from; it must outlive the description.
    explicit CWinInf(CDesktop& desktop) : m_desktop(&desktop) {}
    CWinInf(const CWinInf&) = default;
    CWinInf(CWinInf&&) = default;
    CWinInf& operator=(const CWinInf&) = default;
    CWinInf& operator=(CWinInf&&) = default;
    virtual ~CWinInf() = default;

    // Makes this a new description of h: no title or names yet, no children collected, the
    // program not asked. The storage of its strings and lists is kept for reuse, so that the
    // cycle describes an unchanged desktop with few allocations.
    void describeAnew(WinHandle h);
    // Collects the child list once for the life of this description. Does nothing while the
    // window is gone, while its program does not answer (or no desktop was given), so a
    // later call may still collect.
    void collectChildren();
    // Whether the window's program answers; asked once for the life of this description,
    // so that a stopped program costs one short wait per cycle at most. True without a desktop.
    bool answers();
    // Copies the first child with exactly this class name and control ID into out; false,
    // with out untouched, when there is none. Does not collect.
    bool findChild(std::string_view className, int ctrlID, CChildWinInf& out) const;

    WinHandle m_hWnd = kNoWindow;
    std::string m_title;
    // Upper case; "" when the process cannot be read. A Store app's frame is named by the app's
    // own program, and m_hostExeName holds the frame host's name, which older records name.
    std::string m_exeName;
    std::string m_exePath;
    std::string m_hostExeName;
    // On another virtual desktop: a pin it has stays, but none starts on it.
    bool m_otherDesktop = false;
    int m_childrenCollected = 0;
    CChildWinInfList m_children;
    // Not owned; copies share it.
    CDesktop* m_desktop = nullptr;

private:
    std::optional<bool> m_answers;
};

// The upper-case name of the program whose frames show every Store app.
constexpr char kStoreAppHostName[] = "APPLICATIONFRAMEHOST.EXE";
// The process that shows its window in h: for a frame of the Store app host (upperExeName
// being the host's) the owner of the app's window inside it, which belongs to another
// process; otherwise, and while the frame shows no app, processId, h's own.
std::uint32_t shownProgramProcess(CDesktop& desktop, WinHandle h, std::uint32_t processId,
                                  std::string_view upperExeName);

// The executable's base name of a process in the case the system reports, "" when unreadable.
std::string getProcessBaseName(CDesktop& desktop, std::uint32_t processId);
// The executable's full path of a process, "" when unreadable.
std::string getProcessImagePath(CDesktop& desktop, std::uint32_t processId);
