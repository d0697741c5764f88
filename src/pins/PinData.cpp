#include "pins/PinData.h"

#include "desktop/CodePage.h"

namespace {

// The whole text must equal whole, or part must occur in it on a character boundary.
bool textMatches(int fullFlag, const std::string& text, const std::string& whole, const std::string& part) {
    if (fullFlag != 0) return text == whole;
    return dataTextContains(systemCodePage(), text, part);
}

}  // namespace

bool CPinData::Match(CWinInf& win) {
    // The cheap tests come first: this runs for every unpinned record against every window.
    if (m_processFlag != 0) {
        // A record made before Store apps were told apart names their frame host.
        const bool byHost = !win.m_hostExeName.empty() && m_exeName == win.m_hostExeName;
        if (m_exeName != win.m_exeName && !byHost) return false;
        // The program may have moved since the record was made; keep the icon's path current.
        m_exePath = win.m_exePath;
    }
    if (m_titleFlag != 0 && !textMatches(m_fullFlag, win.m_title, m_title, m_titlePart)) return false;
    if (m_extentFlag == 0) return true;

    // Every real child has a class name; an empty one would only find a child whose name
    // could not be read.
    if (m_exClassName.empty()) return false;
    win.collectChildren();
    CChildWinInf child;
    if (!win.findChild(m_exClassName, m_exCtrlID, child)) return false;
    return textMatches(m_exFullFlag, child.m_text, m_exText, m_exPart);
}

std::uint64_t CPinData::newRecordId() {
    // One thread makes every record.
    static std::uint64_t last = 0;
    return ++last;
}
