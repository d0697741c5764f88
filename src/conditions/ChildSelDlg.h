// The child window selection dialog: a picture of the pinned window on the left, its child
// windows as candidates on the right, the selected candidate outlined in red on the picture.
// OK hands back the chosen child's class name, control ID and text.
//
// This class decides; the Win32 dialog (CChildSelDlgWindow) carries out the view hooks, owns
// the picture's bitmap and paints it as pictureLayout and selectionOutline say.
#pragma once

#include "base/DesktopTypes.h"
#include "conditions/WindowImage.h"
#include "desktop/Desktop.h"
#include "pins/ChildWinInf.h"

#include <optional>
#include <string>
#include <vector>

// The picture box at 96 DPI, in pixels of the dialog's client area: it starts at (10, 20) and is
// at most 200 x 170 pixels. On a monitor of another DPI it is as large in proportion.
constexpr Rect kPictureBox{10, 20, 210, 190};
Rect pictureBox(int dpi);

// How the picture is drawn into the box.
struct PictureLayout {
    // Shrunk (a halftone stretch) rather than copied at its own size.
    bool scaled = false;
    // The size drawn when scaled; the limits of the outline either way.
    int drawnWidth = kPictureBox.width();
    int drawnHeight = kPictureBox.height();
    double scale = 1.0;
    // The box at the dialog's DPI.
    Rect box = kPictureBox;
    bool operator==(const PictureLayout&) const = default;
};

// A picture that reaches the width or height of the box at dpi is shrunk with its proportions
// kept; the smaller factor wins, a tie goes to the vertical one.
PictureLayout pictureLayout(int imageWidth, int imageHeight, int dpi);
// The red outline of the selected child (rectSel, relative to the target's corner) on the
// picture, in client pixels; nullopt while no child is selected. It is cut at the drawn
// picture's right and bottom edges only.
std::optional<Rect> selectionOutline(const PictureLayout& layout, const Rect& rectSel);

// The box is laid out in pixels, the dialog in dialog units: with a narrower dialog font the
// frame "ウィンドウイメージ" (frame, in client pixels) would not hold the box at dpi. How much it
// must grow so that it does, with the margin it leaves left of the box all round; zero where
// it is large enough.
struct FrameGrowth {
    int width = 0;
    int height = 0;
    bool operator==(const FrameGrowth&) const = default;
};
FrameGrowth pictureFrameGrowth(const Rect& frame, int dpi);

// One row of the candidate list: class name, control ID, text, handle.
struct ChildListRow {
    std::string className;
    std::string ctrlID;
    std::string text;
    std::string handle;
    bool operator==(const ChildListRow&) const = default;
};

// Shown in the picture's place when the target does not answer.
constexpr char8_t kTargetSilentText[] = u8"ウィンドウが応答しないため、イメージを取得できません。";

class CChildSelDlg {
public:
    // desktop must outlive the dialog.
    explicit CChildSelDlg(CDesktop& desktop) : m_desktop(desktop) {}
    virtual ~CChildSelDlg() = default;
    CChildSelDlg(const CChildSelDlg&) = delete;
    CChildSelDlg& operator=(const CChildSelDlg&) = delete;

    // Runs the dialog modally; true when it ended with OK (the three results are then set).
    virtual bool runModal() = 0;

    // After the columns are in place: the picture, the candidates, and the current condition
    // selected and outlined when a candidate has its class name and control ID.
    void OnInitDialog();
    // Collects the target's children anew and shows them.
    void update();
    // m_rectSel from the candidate in row; a candidate that is gone leaves it as it is.
    void calcSelectRect(int row);
    // A click in the list: the outline follows the selection. Keyboard moves do not.
    void OnClickList();
    // "イメージ再取得": a new picture; the candidates and the outline stay.
    void OnRecapture();
    // OK: false keeps the dialog open (nothing selected, or a shared pair not confirmed).
    [[nodiscard]] bool OnOK();

    std::string getClassName() const { return m_className; }
    std::string getText() const { return m_text; }

    WinHandle m_hTargetWnd = kNoWindow;
    CChildWinInfList m_childList;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    // The selected child's window rectangle relative to the target's top-left corner.
    Rect m_rectSel;
    // In: the current condition's class name; out: the chosen one.
    std::string m_className;
    int m_ctrlID = 0;
    // In: the current condition's text (kept, not used); out: the chosen child's text.
    std::string m_text;
    // The last picture was not taken: the target's program does not answer. The dialog says
    // so in the picture's place.
    bool m_targetSilent = false;

protected:
    virtual WinHandle dialogWindow() = 0;
    // Takes the pictures into the dialog's bitmap.
    virtual CWindowCamera& camera() = 0;
    // Replaces the list's rows with redrawing switched off meanwhile.
    virtual void showCandidates(const std::vector<ChildListRow>& rows) = 0;
    // The list's selection mark; -1 for none.
    virtual int selectionMark() = 0;
    // Marks row as the selection: selection mark, selected state, hot item, wholly in view.
    virtual void selectRow(int row) = 0;
    // Repaints the whole dialog, or only the picture box, with erasing.
    virtual void invalidateAll() = 0;
    virtual void invalidatePicture() = 0;

    CDesktop& m_desktop;

private:
    void takePicture();
};
