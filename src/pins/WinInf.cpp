#include "pins/WinInf.h"

#include <algorithm>

void CWinInf::collectChildren() {
    if (m_childrenCollected != 0 || !m_desktop || !m_desktop->isWindow(m_hWnd)) return;
    collectChildWindows(*m_desktop, m_children, m_hWnd);
    m_childrenCollected = 1;
}

bool CWinInf::findChild(std::string_view className, int ctrlID, CChildWinInf& out) const {
    const auto it = std::find_if(m_children.begin(), m_children.end(), [&](const CChildWinInf& child) {
        return child.m_className == className && child.m_ctrlID == ctrlID;
    });
    if (it == m_children.end()) return false;
    out = *it;
    return true;
}

std::string getProcessBaseName(CDesktop& desktop, std::uint32_t processId) {
    return desktop.processBaseName(processId);
}

std::string getProcessImagePath(CDesktop& desktop, std::uint32_t processId) {
    return desktop.processImagePath(processId);
}
