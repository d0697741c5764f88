#include "pins/WinInf.h"

void CWinInf::describeAnew(WinHandle h) {
    m_hWnd = h;
    m_title.clear();
    m_exeName.clear();
    m_exePath.clear();
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

std::string getProcessBaseName(CDesktop& desktop, std::uint32_t processId) {
    return desktop.processBaseName(processId);
}

std::string getProcessImagePath(CDesktop& desktop, std::uint32_t processId) {
    return desktop.processImagePath(processId);
}
