// Opening the maker's home page, shared by the links of the About box and the main window.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Opens the home page in the user's browser; a browser that cannot be started is not reported.
void openHomePage(HWND window) noexcept;

// True for a click on the home-page link control of a dialog (WM_NOTIFY).
bool isHomePageLinkClick(const NMHDR& header) noexcept;
