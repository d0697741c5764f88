// gallery.exe: shows Clavora's own resources through the window layer, so that scenarios and
// screenshots can check them under Wine. Everything it reads back is written to the standard
// output as UTF-8 lines.
//
//   gallery.exe dialog <template>            one template, modeless and shown (child templates
//                                            inside a plain frame); its window and controls are
//                                            listed (with "fits=0" for a cut-off label); ends
//                                            when it is closed
//   gallery.exe menu <menu>                  the menu's items, then its first popup at (60, 60)
//   gallery.exe resources                    string 101, the version resource, bitmaps, icons
//   gallery.exe probe                        the layer itself: modal runs, data exchange, a
//                                            subclassed control that sees posted messages

#include "base/win32/Handles.h"
#include "base/win32/Win32Util.h"
#include "resource.h"
#include "ui/win32/Controls.h"
#include "ui/win32/DataExchange.h"
#include "ui/win32/Dialog.h"
#include "ui/win32/Subclass.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kShowX = 40;  // where the gallery puts its windows, clear of the screen corner
constexpr int kShowY = 40;
constexpr wchar_t kFrameClass[] = L"ClavoraGalleryFrame";
// What the hotkey field's keyboard hook posts; the probe posts the same.
constexpr UINT kProbeKeyDown = WM_USER + 0x100;
constexpr UINT kProbeKeyUp = WM_USER + 0x101;

void out(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", value);
    return text;
}

std::string handleText(HWND hwnd) {
    return hex(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(hwnd)));
}

std::wstring rawText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string windowText(HWND hwnd) { return wideToUtf8(rawText(hwnd)); }

// A control's text; for a picture control "#" and the ordinal of its resource.
std::string controlText(HWND control) {
    const std::wstring text = rawText(control);
    if (text.size() == 2 && text[0] == 0xFFFF) return "#" + std::to_string(text[1]);
    return wideToUtf8(text);
}

std::string className(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return wideToUtf8(name);
}

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// Width in pixels of a label in the dialog's font ("&" prefixes left out); 0 for controls
// whose text is no label.
int labelWidth(HWND control, HFONT font) {
    const std::string kind = className(control);
    if (kind != "Button" && kind != "Static") return 0;
    std::wstring text = rawText(control);
    std::erase(text, L'&');
    if (text.empty() || text[0] == 0xFFFF) return 0;
    CClientDC dc(control);
    CSelectObject selected(dc.get(), font);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

// The pixels a control has for its label: check boxes, radio buttons and group boxes lose
// their box (or indent) and the gap, push buttons their edges.
int labelRoom(HWND control) {
    constexpr int kBoxAndGap = 16;
    constexpr int kButtonEdges = 4;
    RECT client{};
    GetClientRect(control, &client);
    if (className(control) != "Button") return client.right;
    switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_AUTORADIOBUTTON:
        case BS_GROUPBOX:
            return client.right - kBoxAndGap;
        default:
            return client.right - kButtonEdges;
    }
}

// The window, its font, and each control in template order with its rectangle in the
// dialog's client pixels.
void listDialog(HWND dialog) {
    RECT window{};
    GetWindowRect(dialog, &window);
    RECT shown{};  // what a screenshot must take: a child template's frame too
    GetWindowRect(GetAncestor(dialog, GA_ROOT), &shown);
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW font{};
    GetObjectW(dialogFont, sizeof font, &font);
    out("hwnd=" + handleText(dialog) + " root=" + handleText(GetAncestor(dialog, GA_ROOT)));
    out("caption=" + windowText(dialog));
    out("window=" + rectText(window) + " style=" + hex(GetWindowLongW(dialog, GWL_STYLE)) +
        " exstyle=" + hex(GetWindowLongW(dialog, GWL_EXSTYLE)));
    out("shown=" + rectText(shown));
    out("font=" + wideToUtf8(font.lfFaceName) + " height=" + std::to_string(font.lfHeight) +
        " units=" + std::to_string(units.right) + "x" + std::to_string(units.bottom));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        const int width = labelWidth(child, dialogFont);
        out("control id=" + std::to_string(GetDlgCtrlID(child)) + " class=" + className(child) +
            " style=" + hex(GetWindowLongW(child, GWL_STYLE)) + " rect=" + rectText(r) +
            " textwidth=" + std::to_string(width) + " fits=" + (width <= labelRoom(child) ? "1" : "0") +
            " text=" + controlText(child));
    }
    out("ready");
}

// A template shown modelessly; the object goes with its window.
class CGalleryDialog : public CDialogBase {
public:
    using CDialogBase::CDialogBase;

    // The pin template is an empty picture until a pin sets its bitmap: show the normal pin at
    // the bottom-left on a white, keyed-out background, as a pin window does.
    void dressAsPin() {
        m_picture.reset(
            static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_PIN_NORMAL),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        SendDlgItemMessageW(hwnd(), IDC_PIN_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(m_picture.get()));
        RECT client{}, picture{};
        GetClientRect(hwnd(), &client);
        GetWindowRect(item(IDC_PIN_PICTURE), &picture);
        SetWindowPos(item(IDC_PIN_PICTURE), nullptr, 0, client.bottom - (picture.bottom - picture.top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        SetWindowLongW(hwnd(), GWL_EXSTYLE, GetWindowLongW(hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(hwnd(), RGB(255, 255, 255), 200, LWA_COLORKEY);
    }

protected:
    void onOK() override { destroy(); }
    void onCancel() override { destroy(); }
    HBRUSH onCtlColor(HDC, HWND, UINT kind, HBRUSH defaultBrush) override {
        if (templateId() == IDD_PIN && kind == CTLCOLOR_DLG)
            return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        return defaultBrush;
    }
    void onPostDestroy() override {
        out("destroyed");
        PostQuitMessage(0);
        delete this;
    }

private:
    CBitmapHandle m_picture;
};

LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND createFrame(const wchar_t* title, int width, int height) {
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = frameProc;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    frameClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    frameClass.lpszClassName = kFrameClass;
    RegisterClassW(&frameClass);
    return CreateWindowExW(0, kFrameClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, kShowX, kShowY, width,
                           height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

int showDialog(int templateId) {
    auto* dialog = new CGalleryDialog(templateId);
    HWND frame = nullptr;
    const bool child = templateId == IDD_CONTROL;
    if (child) {
        frame = createFrame(L"gallery", 600, 340);
        if (!dialog->create(frame)) return 1;
        ShowWindow(dialog->hwnd(), SW_SHOW);
        RECT r{};
        GetWindowRect(dialog->hwnd(), &r);
        RECT outer{0, 0, r.right - r.left + 40, r.bottom - r.top + 40};
        AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
        SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    } else {
        if (!dialog->create(nullptr)) return 1;
        if (templateId == IDD_PIN) dialog->dressAsPin();
        SetWindowPos(dialog->hwnd(), HWND_TOP, kShowX, kShowY, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    UpdateWindow(frame ? frame : dialog->hwnd());
    listDialog(dialog->hwnd());
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(GetActiveWindow(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (frame) DestroyWindow(frame);
    return 0;
}

void listMenu(HMENU menu, const std::string& indent) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t label[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU | MIIM_STATE;
        info.dwTypeData = label;
        info.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            out(indent + "separator");
        } else if (info.hSubMenu) {
            out(indent + "popup text=" + wideToUtf8(label));
            listMenu(info.hSubMenu, indent + "  ");
        } else {
            out(indent + "item id=" + std::to_string(info.wID) + " state=" + hex(info.fState) +
                " text=" + wideToUtf8(label));
        }
    }
}

int showMenu(int menuId) {
    CMenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId)));
    if (!menu) return 1;
    listMenu(GetSubMenu(menu.get(), 0), "");
    HWND frame = createFrame(L"gallery", 300, 200);
    UpdateWindow(frame);
    SetCursorPos(kShowX + 20, kShowY + 20);
    out("ready");
    showPopupMenuAtCursor(frame, menuId);
    DestroyWindow(frame);
    return 0;
}

std::string versionValue(const std::vector<char>& data, const std::string& path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), path.c_str(), &value, &length)) return "<none>";
    return std::string(static_cast<const char*>(value)) + " (length " + std::to_string(length) + ")";
}

void listVersion() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const DWORD size = GetFileVersionInfoSizeA(path, nullptr);
    std::vector<char> data(size + 1);
    if (!size || !GetFileVersionInfoA(path, 0, size, data.data())) {
        out("version=<none>");
        return;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) {
        out("fileversion=" + std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
            std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
            std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
            std::to_string(LOWORD(fixed->dwFileVersionLS)));
    }
    WORD* translation = nullptr;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
        length < 4) {
        out("translation=<none>");
        return;
    }
    char block[16];
    std::snprintf(block, sizeof block, "%04x%04x", translation[0], translation[1]);
    out(std::string("translation=") + block + " entries=" + std::to_string(length / 4));
    for (const char* name : {"ProductVersion", "FileVersion", "ProductName", "CompanyName"}) {
        out(std::string(name) + "=" +
            versionValue(data, std::string("\\StringFileInfo\\") + block + "\\" + name));
    }
}

// Size and depth of a bitmap, and whether its corners are the see-through white.
void listBitmap(int id) {
    CBitmapHandle bitmap(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    DIBSECTION dib{};
    if (!bitmap || !GetObjectW(bitmap.get(), sizeof dib, &dib)) {
        out("bitmap " + std::to_string(id) + " <none>");
        return;
    }
    const BITMAP& bm = dib.dsBm;
    auto pixel = [&](int x, int y) {  // a bottom-up DIB: row 0 is the picture's last
        const auto* row =
            static_cast<const unsigned char*>(bm.bmBits) + (bm.bmHeight - 1 - y) * bm.bmWidthBytes;
        const unsigned char* p = row + x * 3;
        return hex(static_cast<unsigned long>(p[2] << 16 | p[1] << 8 | p[0]));
    };
    out("bitmap " + std::to_string(id) + " size=" + std::to_string(bm.bmWidth) + "x" +
        std::to_string(bm.bmHeight) + " bits=" + std::to_string(bm.bmBitsPixel) + " topleft=" + pixel(0, 0) +
        " topright=" + pixel(bm.bmWidth - 1, 0) + " bottomleft=" + pixel(0, bm.bmHeight - 1) +
        " bottomright=" + pixel(bm.bmWidth - 1, bm.bmHeight - 1));
}

void listIcon(int id, int size) {
    CIconHandle icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
    ICONINFO info{};
    BITMAP colour{};
    if (!icon || !GetIconInfo(icon.get(), &info)) {
        out("icon " + std::to_string(id) + " <none>");
        return;
    }
    CBitmapHandle colourBits(info.hbmColor), maskBits(info.hbmMask);
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    out("icon " + std::to_string(id) + " asked=" + std::to_string(size) +
        " size=" + std::to_string(colour.bmWidth) + "x" + std::to_string(colour.bmHeight) +
        " bits=" + std::to_string(colour.bmBitsPixel));
}

int listResources() {
    wchar_t text[256] = {};
    LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 256);
    out("string 101=" + wideToUtf8(text));
    listVersion();
    listBitmap(IDB_PIN_NORMAL);
    listBitmap(IDB_PIN_SMALL);
    for (int size : {16, 32, 48}) listIcon(IDI_CLAVORA, size);
    for (int size : {16, 32}) listIcon(IDI_DESKTOP, size);
    return 0;
}

// --- probe: the layer's modal run, data exchange and subclassing --------------------------

// Stands in for the hotkey field: reports the posted key messages it sees and ends the
// dialog on the release.
class CProbeField : public CSubclassedControl {
protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM) override {
        if (message != kProbeKeyDown && message != kProbeKeyUp) return std::nullopt;
        out("field message=" + hex(message) + " vk=" + std::to_string(wParam));
        if (message == kProbeKeyUp)
            PostMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 0;
    }
};

// Template 142: radio group and check box set at initialisation, read back on OK; the key
// messages reach the subclassed hotkey control through the modal loop.
class CProbeSettings : public CDialogBase {
public:
    CProbeSettings() : CDialogBase(IDD_SIZE) {}
    int m_pinSize = 1;
    int m_move = 1;

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM, LPARAM) override {
        if (message != WM_INITDIALOG) return std::nullopt;
        exchange(Exchange::toControls);
        if (!m_field.attach(item(IDC_HOTKEY))) return TRUE;
        PostMessageW(m_field.hwnd(), kProbeKeyDown, 'Z', 0);
        PostMessageW(m_field.hwnd(), kProbeKeyUp, 'Z', 0);
        return TRUE;
    }
    void onOK() override {
        m_pinSize = -1;
        m_move = -1;
        exchange(Exchange::fromControls);
        CDialogBase::onOK();
    }

private:
    void exchange(Exchange direction) {
        CDataExchange dx(hwnd(), direction);
        dx.radio(IDC_RADIO_SMALL_PIN, m_pinSize);
        dx.check(IDC_CHECK_MOVE, m_move);
    }
    CProbeField m_field;
};

// Template 138: data strings through the edits (ANSI), a fixed text into a static (UTF-8),
// a coloured static through onCtlColor (checked on the screen once the dialog has painted),
// and the dialog ending itself with IDCANCEL from a timer.
class CProbeConditions : public CDialogBase {
public:
    CProbeConditions() : CDialogBase(IDD_MATCH_CONDITION) {}
    std::string m_part;
    std::string m_readBack;
    std::string m_infoText;
    int m_full = 1;
    COLORREF m_infoColour = 0;

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM) override {
        switch (message) {
            case WM_INITDIALOG:
                CDataExchange(hwnd(), Exchange::toControls).text(IDC_EDIT_TITLE_PART, m_part);
                CDataExchange(hwnd(), Exchange::toControls).check(IDC_CHECK_FULL, m_full);
                setText(hwnd(), IDC_INFO_TEXT, u8"子ウィンドウ");
                SetTimer(hwnd(), kProbeTimer, kProbePaintMs, nullptr);
                return TRUE;
            case WM_TIMER:
                if (wParam != kProbeTimer) return std::nullopt;
                KillTimer(hwnd(), kProbeTimer);
                m_infoColour = pixelInside(IDC_INFO_CLASS);
                PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return 0;
        }
        return std::nullopt;
    }
    HBRUSH onCtlColor(HDC dc, HWND control, UINT kind, HBRUSH defaultBrush) override {
        if (kind != CTLCOLOR_STATIC || GetDlgCtrlID(control) != IDC_INFO_CLASS) return defaultBrush;
        SetBkMode(dc, TRANSPARENT);
        return m_yellow.get();
    }
    void onCancel() override {
        m_readBack = getDataText(hwnd(), IDC_EDIT_TITLE_PART);
        m_full = getCheck(hwnd(), IDC_CHECK_FULL);
        m_infoText = windowText(item(IDC_INFO_TEXT));
        CDialogBase::onCancel();
    }

private:
    static constexpr UINT_PTR kProbeTimer = 7;
    static constexpr UINT kProbePaintMs = 500;

    // A pixel near the left edge of a control, clear of its text and sunken border.
    COLORREF pixelInside(int id) const {
        RECT r{};
        GetWindowRect(item(id), &r);
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, r.left + 4, (r.top + r.bottom) / 2);
        ReleaseDC(nullptr, screen);
        return colour;
    }
    CBrushHandle m_yellow{CreateSolidBrush(RGB(255, 255, 180))};
};

// Template 139: the list view wrapper. Columns with fixed headings, rows of data strings (one
// with an image), selection, hot item; read back through the W API. Stays up a moment so
// that a screenshot can show the rows.
class CProbeList : public CDialogBase {
public:
    CProbeList() : CDialogBase(IDD_CHILD_SELECT) {}
    std::string m_report;

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM) override {
        switch (message) {
            case WM_INITDIALOG:
                fill();
                SetTimer(hwnd(), kShowTimer, kShowMs, nullptr);
                return TRUE;
            case WM_TIMER:
                if (wParam != kShowTimer) return std::nullopt;
                KillTimer(hwnd(), kShowTimer);
                m_report = readBack();
                endDialog(IDOK);
                return 0;
        }
        return std::nullopt;
    }

private:
    static constexpr UINT_PTR kShowTimer = 8;
    static constexpr UINT kShowMs = 1500;

    void fill() {
        m_images.reset(ImageList_Create(16, 16, ILC_COLORDDB, 0, 50));
        const auto desktop = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_DESKTOP), IMAGE_ICON, 16, 16, LR_SHARED));
        ImageList_ReplaceIcon(m_images.get(), -1, desktop);
        m_list.attach(item(IDC_CHILD_LIST));
        m_list.setExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        m_list.insertColumn(0, u8"className", 80);
        m_list.insertColumn(1, u8"CtrlID", 60);
        m_list.insertColumn(2, u8"TEXT", 300);
        m_list.setImageList(m_images.get(), LVSIL_SMALL);
        m_list.setRedraw(false);
        m_list.deleteAllItems();
        m_list.insertItem(0, "Edit");
        m_list.setItemText(0, 1, "15");
        m_list.setItemText(0, 2, "\x83\x81\x83\x82\x92\xa0");  // "メモ帳" in code page 932
        m_list.insertItem(1, "DESKTOP", 0);
        m_list.setItemText(1, 1, "0");
        m_list.setRedraw(true);
        m_list.setSelectionMark(1);
        m_list.setItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        m_list.setHotItem(1);
        m_list.ensureVisible(1, false);
        out("list ready hwnd=" + handleText(hwnd()));
    }

    std::string readBack() const {
        HWND list = m_list.hwnd();
        wchar_t text[64] = {};
        LVITEMW cell{};
        cell.iSubItem = 2;
        cell.pszText = text;
        cell.cchTextMax = 64;
        SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&cell));
        const std::string rowText = wideToUtf8(text);
        wchar_t heading[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = heading;
        column.cchTextMax = 64;
        SendMessageW(list, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        LVITEMW image{};
        image.mask = LVIF_IMAGE;
        image.iItem = 1;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&image));
        LVITEMW noImage{};
        noImage.mask = LVIF_IMAGE;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&noImage));
        const auto state = SendMessageW(list, LVM_GETITEMSTATE, 1, LVIS_SELECTED);
        return "rows=" + std::to_string(m_list.itemCount()) +
               " mark=" + std::to_string(m_list.selectionMark()) +
               " selected=" + std::to_string(state == LVIS_SELECTED) +
               " hot=" + std::to_string(SendMessageW(list, LVM_GETHOTITEM, 0, 0)) + " exstyle=" +
               hex(static_cast<unsigned long>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0))) +
               " heading=" + wideToUtf8(heading) + " image1=" + std::to_string(image.iImage) +
               " image0=" + std::to_string(noImage.iImage) + " text=" + rowText;
    }

    CListView m_list;
    CImageListHandle m_images;
};

// Template 136: the up-down wrapper and its buddy edit.
class CProbeSpin : public CDialogBase {
public:
    CProbeSpin() : CDialogBase(IDD_PIN_PROPERTY) {}
    std::string m_report;

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM, LPARAM) override {
        if (message != WM_INITDIALOG) return std::nullopt;
        CUpDown spin(item(IDC_TRANS_SPIN));
        spin.setRange32(20, 100);
        spin.setPos32(70);
        const int at70 = spin.getPos().value_or(-1);
        const std::string buddy = windowText(item(IDC_TRANS_PERCENT));
        spin.setPos32(150);
        const int above = spin.getPos().value_or(-1);
        spin.setPos32(5);
        const int below = spin.getPos().value_or(-1);
        m_report = "pos=" + std::to_string(at70) + " buddy=" + buddy + " above=" + std::to_string(above) +
                   " below=" + std::to_string(below);
        PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }
};

int probe() {
    CProbeConditions conditions;
    conditions.m_part = "\x83\x81\x83\x82\x92\xa0";  // "メモ帳" in code page 932
    const INT_PTR conditionsEnd = conditions.doModal(nullptr);
    out("conditions end=" + std::to_string(conditionsEnd) + " acp=" + std::to_string(GetACP()) +
        " text-roundtrip=" + (conditions.m_readBack == conditions.m_part ? "same" : "differs") +
        " full=" + std::to_string(conditions.m_full) + " info=" + conditions.m_infoText +
        " infocolour=" + hex(conditions.m_infoColour));

    CProbeSettings settings;
    const INT_PTR settingsEnd = settings.doModal(nullptr);
    out("settings end=" + std::to_string(settingsEnd) + " pinsize=" + std::to_string(settings.m_pinSize) +
        " move=" + std::to_string(settings.m_move));

    CProbeList list;
    const INT_PTR listEnd = list.doModal(nullptr);
    out("list end=" + std::to_string(listEnd) + " " + list.m_report);

    CProbeSpin spin;
    const INT_PTR spinEnd = spin.doModal(nullptr);
    out("spin end=" + std::to_string(spinEnd) + " " + spin.m_report);

    CDialogBase missing(4242);
    out("missing end=" + std::to_string(missing.doModal(nullptr)));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!initCommonControls()) return 2;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "dialog" && argc > 2) return showDialog(std::atoi(argv[2]));
    if (mode == "menu" && argc > 2) return showMenu(std::atoi(argv[2]));
    if (mode == "resources") return listResources();
    if (mode == "probe") return probe();
    std::fputs("usage: gallery.exe dialog <template> | menu <menu> | resources | probe\n", stderr);
    return 2;
}
