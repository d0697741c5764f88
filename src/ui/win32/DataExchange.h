// Moving values between a dialog's controls and its members.
//
// Check boxes and radio groups carry ints (0/1, index); edits carry data text
// (base/DataText.h), shown and read wide so that a title outside the ANSI code page stays
// whole. Fixed user-interface texts are UTF-8 and go through the W API, so that they show
// whatever the system's code page.
//
// A dialog with a two-way exchange writes it once:
//
//     void exchange(Exchange direction) {
//         CDataExchange dx(hwnd(), direction);
//         dx.check(IDC_CHECK_FULL, m_checkFull);
//         dx.text(IDC_EDIT_TITLE_PART, m_editTitlePart);
//     }
//
// and calls exchange(Exchange::toControls) at initialisation, exchange(Exchange::fromControls)
// on OK.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// 1 when check box `id` is checked, else 0.
int getCheck(HWND dialog, int id);
// Checks the box when `value` is non-zero, else clears it.
void setCheck(HWND dialog, int id, int value);

// The radio group that starts at `firstId` runs through the following radio buttons of the
// template up to the next control marked WS_GROUP. Index of the checked one, -1 for none.
int getRadioIndex(HWND dialog, int firstId);
// Checks button `index` of the group and clears the others; an index out of the group
// clears them all.
void setRadioIndex(HWND dialog, int firstId, int index);

// The text of control `id` as data text.
std::string getDataText(HWND dialog, int id);
void setDataText(HWND dialog, int id, const std::string& text);
// Shows a fixed text in control `id`, or as a window's caption.
void setText(HWND dialog, int id, std::u8string_view text);
void setWindowText(HWND window, std::u8string_view text);

enum class Exchange { toControls, fromControls };

class CDataExchange {
public:
    CDataExchange(HWND dialog, Exchange direction) noexcept : m_dialog(dialog), m_direction(direction) {}

    void check(int id, int& value);
    void radio(int firstId, int& index);
    void text(int id, std::string& value);

private:
    HWND m_dialog;
    Exchange m_direction;
};
