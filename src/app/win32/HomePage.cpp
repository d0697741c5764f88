#include "app/win32/HomePage.h"

#include "app/AboutDlg.h"
#include "resource.h"

#include <shellapi.h>

void openHomePage(HWND window) noexcept {
    ShellExecuteA(window, "open", kHomePageAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

bool isHomePageLinkClick(const NMHDR& header) noexcept {
    // Enter on the focused link arrives as NM_RETURN; it opens the page as a click does.
    return header.idFrom == IDC_HOMEPAGE_LINK && (header.code == NM_CLICK || header.code == NM_RETURN);
}
