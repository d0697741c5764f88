// Thin wrappers of the common controls the dialogs use, and the popup menus. The wrappers
// do not own their windows (the dialog does); they only spell the messages.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <string_view>

// Registers the common control classes of Clavora's templates (list view, up-down, hotkey,
// link, and the standard controls). Called once at start-up, before the first dialog.
// False when the system refuses (traced).
[[nodiscard]] bool initCommonControls() noexcept;

// A report-view list view. Headings are fixed texts (UTF-8); row texts are data strings
// (ANSI bytes).
class CListView {
public:
    CListView() noexcept = default;
    explicit CListView(HWND hwnd) noexcept : m_hwnd(hwnd) {}

    void attach(HWND hwnd) noexcept { m_hwnd = hwnd; }
    HWND hwnd() const noexcept { return m_hwnd; }

    // Returns the new column's index, -1 on failure.
    int insertColumn(int index, std::u8string_view heading, int width, int format = LVCFMT_LEFT) const;
    bool setColumnWidth(int index, int width) const;
    // Inserts row `index` with `text`, and with small image `image` when it is 0 or more;
    // a negative `image` leaves the row without a picture. Returns the new row's index, -1 on
    // failure.
    // `text` is data text (base/DataText.h), shown whole whatever the code page.
    int insertItem(int index, const std::string& text, int image = -1) const;
    bool setItemText(int item, int subItem, const std::string& text) const;
    // A fixed text in a cell.
    bool setItemText(int item, int subItem, std::u8string_view text) const;
    bool deleteAllItems() const;
    int itemCount() const;

    // The selection mark: the row last selected, -1 for none.
    int selectionMark() const;
    void setSelectionMark(int item) const;
    // Sets the bits `mask` of row `item`'s state (LVIS_SELECTED, LVIS_FOCUSED) to `state`.
    bool setItemState(int item, UINT state, UINT mask) const;
    void setHotItem(int item) const;
    // Scrolls row `item` into view; with partialOk false it must be wholly visible.
    bool ensureVisible(int item, bool partialOk) const;

    // Sets the extended styles to exactly `styles` (LVS_EX_...).
    void setExtendedStyle(DWORD styles) const;
    // Gives the list view an image list (LVSIL_SMALL, ...), which stays owned by the caller.
    void setImageList(HIMAGELIST list, int which) const;
    // Switches redrawing off while rows are replaced, and on again.
    void setRedraw(bool on) const;

private:
    HWND m_hwnd = nullptr;
};

// An up-down control with a 32-bit range.
class CUpDown {
public:
    CUpDown() noexcept = default;
    explicit CUpDown(HWND hwnd) noexcept : m_hwnd(hwnd) {}

    void attach(HWND hwnd) noexcept { m_hwnd = hwnd; }
    HWND hwnd() const noexcept { return m_hwnd; }

    void setRange32(int lower, int upper) const;
    void setPos32(int position) const;
    // The position as UDM_GETPOS reports it, its answer's low 16 bits; nullopt when the high
    // 16 bits flag that the buddy's text is no number within the range.
    std::optional<int> getPos() const;

private:
    HWND m_hwnd = nullptr;
};

// Loads menu resource `menuId`, shows its first popup at the cursor with `owner` as the
// target of its commands (TrackPopupMenu with `flags`) and destroys it again. The owner is
// brought to the foreground first; otherwise a click elsewhere would not close the menu.
// Returns what TrackPopupMenu gives: with TPM_RETURNCMD the chosen command (0 for none),
// otherwise non-zero when the menu showed; 0 when it could not be loaded or shown (traced).
// A greyedItem other than 0 is shown but cannot be chosen.
UINT showPopupMenuAtCursor(HWND owner, int menuId, UINT flags = 0, int greyedItem = 0,
                           int bulletItem = 0) noexcept;
