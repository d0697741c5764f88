#include "ui/win32/Controls.h"

#include "base/Trace.h"
#include "base/win32/Handles.h"
#include "base/win32/Win32Util.h"
#include "ui/win32/Dialog.h"

bool initCommonControls() noexcept {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);
    classes.dwICC =
        ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS | ICC_LINK_CLASS | ICC_STANDARD_CLASSES;
    if (!InitCommonControlsEx(&classes)) {
        trace("InitCommonControlsEx() Error=%d\n", static_cast<int>(GetLastError()));
        return false;
    }
    return true;
}

int CListView::insertColumn(int index, std::u8string_view heading, int width, int format) const {
    std::wstring text = utf8ToWide(heading);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = index;
    return static_cast<int>(SendMessageW(m_hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&column)));
}

bool CListView::setColumnWidth(int index, int width) const {
    return SendMessageW(m_hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0)) != 0;
}

int CListView::insertItem(int index, const std::string& text, int image) const {
    std::wstring wide = dataTextToWide(text);
    LVITEMW item{};
    // A row without LVIF_IMAGE would still show image 0 of the image list; "no image" must be
    // said explicitly.
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = wide.data();
    item.iImage = image >= 0 ? image : I_IMAGENONE;
    return static_cast<int>(SendMessageW(m_hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListView::setItemText(int item, int subItem, const std::string& text) const {
    std::wstring wide = dataTextToWide(text);
    LVITEMW sub{};
    sub.iSubItem = subItem;
    sub.pszText = wide.data();
    return SendMessageW(m_hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(&sub)) != FALSE;
}

bool CListView::setItemText(int item, int subItem, std::u8string_view text) const {
    std::wstring wide = utf8ToWide(text);
    LVITEMW sub{};
    sub.iSubItem = subItem;
    sub.pszText = wide.data();
    return SendMessageW(m_hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(&sub)) != FALSE;
}

bool CListView::deleteAllItems() const { return SendMessageW(m_hwnd, LVM_DELETEALLITEMS, 0, 0) != FALSE; }

int CListView::itemCount() const { return static_cast<int>(SendMessageW(m_hwnd, LVM_GETITEMCOUNT, 0, 0)); }

int CListView::selectionMark() const {
    return static_cast<int>(SendMessageW(m_hwnd, LVM_GETSELECTIONMARK, 0, 0));
}

void CListView::setSelectionMark(int item) const {
    SendMessageW(m_hwnd, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(item));
}

bool CListView::setItemState(int item, UINT state, UINT mask) const {
    LVITEMW change{};
    change.state = state;
    change.stateMask = mask;
    return SendMessageW(m_hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(&change)) != FALSE;
}

void CListView::setHotItem(int item) const {
    SendMessageW(m_hwnd, LVM_SETHOTITEM, static_cast<WPARAM>(item), 0);
}

bool CListView::ensureVisible(int item, bool partialOk) const {
    return SendMessageW(m_hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOk ? TRUE : FALSE) !=
           FALSE;
}

void CListView::setExtendedStyle(DWORD styles) const {
    // A mask of 0 lets the message change every extended style bit.
    SendMessageW(m_hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(styles));
}

void CListView::setImageList(HIMAGELIST list, int which) const {
    SendMessageW(m_hwnd, LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list));
}

void CListView::setRedraw(bool on) const { SendMessageW(m_hwnd, WM_SETREDRAW, on ? TRUE : FALSE, 0); }

void CUpDown::setRange32(int lower, int upper) const {
    SendMessageW(m_hwnd, UDM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

void CUpDown::setPos32(int position) const {
    SendMessageW(m_hwnd, UDM_SETPOS32, 0, static_cast<LPARAM>(position));
}

std::optional<int> CUpDown::getPos() const {
    const LRESULT answer = SendMessageW(m_hwnd, UDM_GETPOS, 0, 0);
    if (HIWORD(answer) != 0) return std::nullopt;
    return LOWORD(answer);
}

UINT showPopupMenuAtCursor(HWND owner, int menuId, UINT flags, int greyedItem, int bulletItem) noexcept {
    CMenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId)));
    if (!menu) {
        trace("LoadMenu(%d) Error=%d\n", menuId, static_cast<int>(GetLastError()));
        return 0;
    }
    HMENU popup = GetSubMenu(menu.get(), 0);
    if (greyedItem != 0) EnableMenuItem(popup, static_cast<UINT>(greyedItem), MF_BYCOMMAND | MF_GRAYED);
    if (bulletItem != 0) {
        const auto item = static_cast<UINT>(bulletItem);
        CheckMenuRadioItem(popup, item, item, item, MF_BYCOMMAND);
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(owner);
    // With TPM_RETURNCMD a menu closed without a choice gives 0 as well, but no error.
    SetLastError(ERROR_SUCCESS);
    const BOOL result = [&] {
        const CDialogBase::CNestedLoop loop;
        return TrackPopupMenu(popup, flags, cursor.x, cursor.y, 0, owner, nullptr);
    }();
    if (!result && GetLastError() != ERROR_SUCCESS) {
        trace("TrackPopupMenu(%d) Error=%d\n", menuId, static_cast<int>(GetLastError()));
    }
    // Without a message after the menu, the next TrackPopupMenu of a background program
    // may close at once.
    PostMessageW(owner, WM_NULL, 0, 0);
    return static_cast<UINT>(result);
}
