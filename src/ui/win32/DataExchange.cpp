#include "ui/win32/DataExchange.h"

#include "base/win32/Win32Util.h"

#include <vector>

namespace {

// The buttons of the radio group that starts at `firstId`, in template order.
std::vector<HWND> radioGroup(HWND dialog, int firstId) {
    std::vector<HWND> group;
    for (HWND button = GetDlgItem(dialog, firstId); button; button = GetWindow(button, GW_HWNDNEXT)) {
        if (!group.empty() && (GetWindowLongW(button, GWL_STYLE) & WS_GROUP)) break;
        if (!(SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) break;
        group.push_back(button);
    }
    return group;
}

}  // namespace

int getCheck(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0; }

void setCheck(HWND dialog, int id, int value) {
    CheckDlgButton(dialog, id, value != 0 ? BST_CHECKED : BST_UNCHECKED);
}

int getRadioIndex(HWND dialog, int firstId) {
    const std::vector<HWND> group = radioGroup(dialog, firstId);
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (SendMessageW(group[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
    }
    return -1;
}

void setRadioIndex(HWND dialog, int firstId, int index) {
    const std::vector<HWND> group = radioGroup(dialog, firstId);
    for (std::size_t i = 0; i < group.size(); ++i) {
        const bool on = static_cast<int>(i) == index;
        SendMessageW(group[i], BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

std::string getDataText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return wideToDataText(text);
}

void setDataText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextW(dialog, id, dataTextToWide(text).c_str());
}

void setText(HWND dialog, int id, std::u8string_view text) {
    SetDlgItemTextW(dialog, id, utf8ToWide(text).c_str());
}

void setWindowText(HWND window, std::u8string_view text) { SetWindowTextW(window, utf8ToWide(text).c_str()); }

void CDataExchange::check(int id, int& value) {
    if (m_direction == Exchange::toControls) {
        setCheck(m_dialog, id, value);
    } else {
        value = getCheck(m_dialog, id);
    }
}

void CDataExchange::radio(int firstId, int& index) {
    if (m_direction == Exchange::toControls) {
        setRadioIndex(m_dialog, firstId, index);
    } else {
        index = getRadioIndex(m_dialog, firstId);
    }
}

void CDataExchange::text(int id, std::string& value) {
    if (m_direction == Exchange::toControls) {
        setDataText(m_dialog, id, value);
    } else {
        value = getDataText(m_dialog, id);
    }
}
