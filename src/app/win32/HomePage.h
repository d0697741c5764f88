// Opening the maker's home page (or the guide), shared by the links of the About box and the
// main window.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Opens the home page or the guide in the user's browser; a browser that cannot be started, or
// neither page, is not reported to the user.
void openHomePage(HWND window) noexcept;

// True for a click on the home-page link control of a dialog (WM_NOTIFY).
bool isHomePageLinkClick(const NMHDR& header) noexcept;
