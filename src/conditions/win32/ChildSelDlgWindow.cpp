#include "conditions/win32/ChildSelDlgWindow.h"

#include "base/win32/Win32Util.h"
#include "desktop/win32/VersionGuards.h"
#include "resource.h"

namespace {

struct Column {
    std::u8string_view heading;
    int width;
};
// Widths at 96 DPI. The handle column is there for whoever looks, but takes no room.
constexpr Column kColumns[] = {
    {u8"className", 80}, {u8"CtrlID", 60}, {u8"TEXT", 300}, {u8"Handle", 0}, {u8"", 10}};

constexpr COLORREF kOutlineRed = RGB(255, 0, 0);

RECT clientRectOf(HWND dialog, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The frame around the picture: the template's one group box.
HWND findPictureFrame(HWND dialog) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(c, className, static_cast<int>(std::size(className)));
        const bool groupBox = (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
        if (groupBox && lstrcmpiW(className, WC_BUTTONW) == 0) return c;
    }
    return nullptr;
}

void resize(HWND window, const RECT& r, int growX, int growY) {
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left + growX, r.bottom - r.top + growY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CChildSelDlgWindow::CChildSelDlgWindow(CDesktop& desktop, HWND owner)
    : CChildSelDlg(desktop), CDialogBase(IDD_CHILD_SELECT), m_owner(owner) {}

bool CChildSelDlgWindow::runModal() { return doModal(m_owner) == IDOK; }

std::optional<LRESULT> CChildSelDlgWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            m_dpi = static_cast<int>(WindowDpi(hwnd()));
            fitFrameToPicture();
            initList();
            OnInitDialog();
            return TRUE;
        case WM_DPICHANGED:
            // The dialog manager scales the template's controls; what is set in pixels follows.
            m_dpi = HIWORD(wParam);
            sizeColumns();
            invalidateAll();
            return std::nullopt;
        case WM_PAINT:
            paint();
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom != IDC_CHILD_LIST || header->code != NM_CLICK) return std::nullopt;
            OnClickList();
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) != IDC_RECAPTURE || HIWORD(wParam) != BN_CLICKED) return std::nullopt;
            OnRecapture();
            return 0;
        default:
            return std::nullopt;
    }
}

void CChildSelDlgWindow::onOK() {
    if (OnOK()) endDialog(IDOK);
}

void CChildSelDlgWindow::initList() {
    m_list.attach(item(IDC_CHILD_LIST));
    m_list.setExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
        m_list.insertColumn(i, kColumns[i].heading, 0);
    sizeColumns();
}

void CChildSelDlgWindow::sizeColumns() {
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        m_list.setColumnWidth(i, scaleToDpi(kColumns[i].width, m_dpi));
    }
}

void CChildSelDlgWindow::fitFrameToPicture() {
    HWND frame = findPictureFrame(hwnd());
    if (!frame) return;
    const RECT box = clientRectOf(hwnd(), frame);
    const FrameGrowth growth = pictureFrameGrowth(toRect(box), m_dpi);
    if (growth == FrameGrowth{}) return;
    // What stands right of the frame moves along, and the dialog grows by as much.
    for (HWND c = GetWindow(hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const RECT r = clientRectOf(hwnd(), c);
        if (c == frame || r.left < box.right) continue;
        SetWindowPos(c, nullptr, r.left + growth.width, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    resize(frame, box, growth.width, growth.height);
    RECT window{};
    GetWindowRect(hwnd(), &window);
    resize(hwnd(), window, growth.width, growth.height);
}

WinHandle CChildSelDlgWindow::dialogWindow() { return toWinHandle(hwnd()); }

void CChildSelDlgWindow::showCandidates(const std::vector<ChildListRow>& rows) {
    m_list.setRedraw(false);
    m_list.deleteAllItems();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const ChildListRow& row = rows[static_cast<std::size_t>(i)];
        m_list.insertItem(i, row.className);
        m_list.setItemText(i, 1, row.ctrlID);
        m_list.setItemText(i, 2, row.text);
        m_list.setItemText(i, 3, row.handle);
    }
    m_list.setRedraw(true);
}

void CChildSelDlgWindow::selectRow(int row) {
    m_list.setSelectionMark(row);
    m_list.setItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    m_list.setHotItem(row);
    m_list.ensureVisible(row, false);
}

void CChildSelDlgWindow::invalidateAll() { InvalidateRect(hwnd(), nullptr, TRUE); }

void CChildSelDlgWindow::invalidatePicture() {
    const RECT box = toRECT(pictureBox(m_dpi));
    InvalidateRect(hwnd(), &box, TRUE);
}

void CChildSelDlgWindow::paint() {
    const CPaintDC dc(hwnd());
    const PictureLayout layout = pictureLayout(m_imageWidth, m_imageHeight, m_dpi);
    const Rect& box = layout.box;
    if (m_targetSilent) {
        RECT area = toRECT(pictureBox(m_dpi));
        const std::wstring text = utf8ToWide(kTargetSilentText);
        SetBkMode(dc.get(), TRANSPARENT);
        const CSelectObject font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &area, DT_CENTER | DT_WORDBREAK);
    } else if (m_bmpImage) {
        const CMemoryDcHandle memory(CreateCompatibleDC(dc.get()));
        const CSelectObject selected(memory.get(), m_bmpImage.get());
        if (layout.scaled) {
            SetStretchBltMode(dc.get(), HALFTONE);
            // HALFTONE stretches need the brush origin set again.
            SetBrushOrgEx(dc.get(), 0, 0, nullptr);
            StretchBlt(dc.get(), box.left, box.top, layout.drawnWidth, layout.drawnHeight, memory.get(), 0, 0,
                       m_imageWidth, m_imageHeight, SRCCOPY);
        } else {
            BitBlt(dc.get(), box.left, box.top, m_imageWidth, m_imageHeight, memory.get(), 0, 0, SRCCOPY);
        }
    }
    if (const std::optional<Rect> outline = selectionOutline(layout, m_rectSel)) {
        // Made for this paint and gone with it.
        const CBrushHandle red(CreateSolidBrush(kOutlineRed));
        const RECT frame = toRECT(*outline);
        FrameRect(dc.get(), &frame, red.get());
    }
}
