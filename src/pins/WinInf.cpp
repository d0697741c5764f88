#include "pins/WinInf.h"

namespace {

// The class of the window in which a Store app draws, a child of the host's frame.
constexpr char kStoreAppWindowClass[] = "Windows.UI.Core.CoreWindow";
// Class names are read into a buffer this long, enough for the one compared.
constexpr std::size_t kClassNameChars = 64;

}  // namespace

void CWinInf::describeAnew(WinHandle h) {
    m_hWnd = h;
    m_title.clear();
    m_exeName.clear();
    m_exePath.clear();
    m_hostExeName.clear();
    m_otherDesktop = false;
    m_childrenCollected = 0;
    m_children.clear();
    m_answers.reset();
}

void CWinInf::collectChildren() {
    if (m_childrenCollected != 0 || !m_desktop || !m_desktop->isWindow(m_hWnd)) return;
    // Every child of a stopped program would time out one by one, each holding up the cycle.
    if (!answers()) return;
    collectChildWindows(*m_desktop, m_children, m_hWnd);
    m_childrenCollected = 1;
}

bool CWinInf::answers() {
    if (!m_answers) m_answers = !m_desktop || m_desktop->answers(m_hWnd);
    return *m_answers;
}

bool CWinInf::findChild(std::string_view className, int ctrlID, CChildWinInf& out) const {
    const int index = findChildPair(m_children, className, ctrlID);
    if (index < 0) return false;
    out = m_children[static_cast<std::size_t>(index)];
    return true;
}

std::uint32_t shownProgramProcess(CDesktop& desktop, WinHandle h, std::uint32_t processId,
                                  std::string_view upperExeName) {
    if (upperExeName != kStoreAppHostName) return processId;
    for (const WinHandle child : desktop.descendantWindows(h)) {
        if (desktop.className(child, kClassNameChars) != kStoreAppWindowClass) continue;
        // The app's window comes from the app's own process.
        const std::uint32_t app = desktop.windowProcessId(child);
        if (app != 0 && app != processId) return app;
    }
    return processId;
}

// The limited query: the system grants it for every process of the session, elevated ones too.
std::string getProcessBaseName(CDesktop& desktop, std::uint32_t processId) {
    return desktop.processBaseName(processId, ProcessAccess::limited);
}

std::string getProcessImagePath(CDesktop& desktop, std::uint32_t processId) {
    return desktop.processImagePath(processId, ProcessAccess::limited);
}
