#include "pins/ChildWinInf.h"

#include <algorithm>

void recordChildWindow(CDesktop& desktop, CChildWinInfList& list, WinHandle h) {
    if (!desktop.isVisible(h) || !desktop.isEnabled(h)) return;
    const std::optional<std::string> text = desktop.controlText(h, kChildTextLimit);
    if (!text || text->empty()) return;
    CChildWinInf child;
    child.m_info = desktop.windowInfo(h);
    child.m_className = desktop.className(h, kChildTextLimit);
    child.m_hWnd = h;
    child.m_ctrlID = desktop.controlId(h);
    child.m_text = *text;
    list.push_back(std::move(child));
}

void collectChildWindows(CDesktop& desktop, CChildWinInfList& list, WinHandle parent) {
    for (WinHandle h : desktop.descendantWindows(parent)) recordChildWindow(desktop, list, h);
}

namespace {

auto hasPair(std::string_view className, int ctrlID) {
    return [className, ctrlID](const CChildWinInf& child) {
        return child.m_className == className && child.m_ctrlID == ctrlID;
    };
}

}  // namespace

int countChildPair(const CChildWinInfList& list, std::string_view className, int ctrlID) {
    return static_cast<int>(std::count_if(list.begin(), list.end(), hasPair(className, ctrlID)));
}

int findChildPair(const CChildWinInfList& list, std::string_view className, int ctrlID) {
    const auto it = std::find_if(list.begin(), list.end(), hasPair(className, ctrlID));
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}
