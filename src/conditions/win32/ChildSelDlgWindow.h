// The Win32 child window selection dialog: template 139, the candidate list view, and the
// picture of the target painted into the box at (10, 20) (at 96 DPI) with the red outline.
#pragma once

#include "base/win32/Handles.h"
#include "conditions/ChildSelDlg.h"
#include "conditions/win32/WindowCamera.h"
#include "desktop/Dpi.h"
#include "ui/win32/Controls.h"
#include "ui/win32/Dialog.h"

class CChildSelDlgWindow : public CChildSelDlg, public CDialogBase {
public:
    // owner is disabled while the dialog runs.
    CChildSelDlgWindow(CDesktop& desktop, HWND owner);

    bool runModal() override;

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onOK() override;

    WinHandle dialogWindow() override;
    CWindowCamera& camera() override { return m_camera; }
    void showCandidates(const std::vector<ChildListRow>& rows) override;
    int selectionMark() override { return m_list.selectionMark(); }
    void selectRow(int row) override;
    void invalidateAll() override;
    void invalidatePicture() override;

private:
    // The frame around the picture is made to hold the picture box, which is fixed in pixels.
    void fitFrameToPicture();
    void initList();
    // The columns' widths at m_dpi.
    void sizeColumns();
    void paint();

    HWND m_owner;
    // The DPI of the dialog's monitor, for what is placed in pixels rather than dialog units.
    int m_dpi = kBaseDpi;
    CListView m_list;
    CBitmapHandle m_bmpImage;
    CWin32WindowCamera m_camera{m_bmpImage};
};
