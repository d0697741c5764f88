#include "conditions/ChildSelDlg.h"

#include "base/Trace.h"
#include "desktop/Dpi.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr char8_t kNothingSelected[] = u8"子ウィンドウ（コンポーネント）が選択されていません";
constexpr char8_t kPairNotUnique[] =
    u8"この組はユニーク（唯一の子ウィンドウ）ではありません.\r\n"
    u8"最初に条件が合致した子ウィンドウでマッチングを行います.\r\nよろしいですか？";

std::string handleText(WinHandle h) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", handleBits(h));
    return text;
}

int scaled(double scale, std::int32_t value) { return static_cast<int>(scale * value); }

}  // namespace

Rect pictureBox(int dpi) {
    const int left = scaleToDpi(kPictureBox.left, dpi);
    const int top = scaleToDpi(kPictureBox.top, dpi);
    return Rect{left, top, left + scaleToDpi(kPictureBox.width(), dpi),
                top + scaleToDpi(kPictureBox.height(), dpi)};
}

PictureLayout pictureLayout(int imageWidth, int imageHeight, int dpi) {
    const Rect box = pictureBox(dpi);
    PictureLayout layout{.drawnWidth = box.width(), .drawnHeight = box.height(), .box = box};
    // No picture has nothing to shrink (and no factor to divide by).
    if (imageWidth <= 0 || imageHeight <= 0) return layout;
    if (imageWidth < box.width() && imageHeight < box.height()) return layout;
    layout.scaled = true;
    const double vertical = static_cast<double>(box.height()) / imageHeight;
    const double horizontal = static_cast<double>(box.width()) / imageWidth;
    if (vertical <= horizontal) {
        layout.scale = vertical;
        layout.drawnWidth = static_cast<int>(vertical * imageWidth);
    } else {
        layout.scale = horizontal;
        layout.drawnHeight = static_cast<int>(horizontal * imageHeight);
    }
    return layout;
}

std::optional<Rect> selectionOutline(const PictureLayout& layout, const Rect& rectSel) {
    if (rectSel.width() == 0 || rectSel.height() == 0) return std::nullopt;
    const int left = layout.box.left;
    const int top = layout.box.top;
    const int rightLimit = left + layout.drawnWidth;
    const int bottomLimit = top + layout.drawnHeight;
    // A child beyond the target's left or top edge is drawn beyond the box: only the far
    // edges are cut.
    return Rect{std::min(scaled(layout.scale, rectSel.left) + left, rightLimit),
                std::min(scaled(layout.scale, rectSel.top) + top, bottomLimit),
                std::min(scaled(layout.scale, rectSel.right) + left, rightLimit),
                std::min(scaled(layout.scale, rectSel.bottom) + top, bottomLimit)};
}

FrameGrowth pictureFrameGrowth(const Rect& frame, int dpi) {
    const Rect box = pictureBox(dpi);
    const int margin = std::max(0, box.left - frame.left);
    return FrameGrowth{std::max(0, box.right + margin - frame.right),
                       std::max(0, box.bottom + margin - frame.bottom)};
}

void CChildSelDlg::takePicture() {
    m_targetSilent = captureWindowImage(m_desktop, camera(), m_hTargetWnd, dialogWindow(), m_imageWidth,
                                        m_imageHeight) == Capture::notAnswering;
}

void CChildSelDlg::OnInitDialog() {
    takePicture();
    invalidateAll();
    update();
    const int current = findChildPair(m_childList, m_className, m_ctrlID);
    if (current >= 0) {
        selectRow(current);
        calcSelectRect(current);
    }
    invalidateAll();
}

void CChildSelDlg::update() {
    trace("CChildSelDlg::update()\n");
    m_childList.clear();
    collectChildWindows(m_desktop, m_childList, m_hTargetWnd);
    for (const CChildWinInf& child : m_childList) trace("HANDLE=0x%08x\n", handleBits(child.m_hWnd));
    std::vector<ChildListRow> rows;
    rows.reserve(m_childList.size());
    for (const CChildWinInf& child : m_childList) {
        rows.push_back(
            {child.m_className, std::to_string(child.m_ctrlID), child.m_text, handleText(child.m_hWnd)});
    }
    showCandidates(rows);
    invalidateAll();
}

void CChildSelDlg::calcSelectRect(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_childList.size()) return;
    const WinHandle child = m_childList[static_cast<std::size_t>(row)].m_hWnd;
    if (!m_desktop.isWindow(child)) return;
    const Rect c = m_desktop.windowRect(child);
    const Rect t = m_desktop.windowRect(m_hTargetWnd);
    m_rectSel = Rect{c.left - t.left, c.top - t.top, c.right - t.left, c.bottom - t.top};
}

void CChildSelDlg::OnClickList() {
    const int row = selectionMark();
    if (row < 0) return;
    calcSelectRect(row);
    invalidatePicture();
}

void CChildSelDlg::OnRecapture() {
    takePicture();
    invalidateAll();
}

bool CChildSelDlg::OnOK() {
    const int row = selectionMark();
    if (row < 0 || static_cast<std::size_t>(row) >= m_childList.size()) {
        (void)m_desktop.appMessageBox(kNothingSelected, MsgButtons::ok);
        return false;
    }
    const CChildWinInf& chosen = m_childList[static_cast<std::size_t>(row)];
    if (countChildPair(m_childList, chosen.m_className, chosen.m_ctrlID) != 1 &&
        m_desktop.appMessageBox(kPairNotUnique, MsgButtons::yesNo) != MsgAnswer::yes) {
        return false;
    }
    m_className = chosen.m_className;
    m_text = chosen.m_text;
    m_ctrlID = chosen.m_ctrlID;
    trace("WinodwClass=%s\n", m_className.c_str());
    trace("ControlID=%d\n", m_ctrlID);
    trace("Text=%s\n", m_text.c_str());
    return true;
}
