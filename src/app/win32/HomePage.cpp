#include "app/win32/HomePage.h"

#include "app/HomePage.h"
#include "base/win32/Win32Util.h"
#include "resource.h"

#include <shellapi.h>

// The build's home-page address (the CMake cache variable CLAVORA_HOME_PAGE); empty leads
// the links to the guide beside the program.
#ifndef CLAVORA_HOME_PAGE
#define CLAVORA_HOME_PAGE ""
#endif

namespace {

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// Wide calls from the program's name to the browser: in a folder the ANSI code page cannot
// write (도구 on a Japanese system) the ANSI name is question marks and finds no guide.
void openHomePage(HWND window) noexcept {
    const std::optional<std::string> target =
        homePageTarget(CLAVORA_HOME_PAGE, wideToUtf8(programFilePath()), isFile);
    if (target) ShellExecuteW(window, L"open", utf8ToWide(*target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool isHomePageLinkClick(const NMHDR& header) noexcept {
    // Enter on the focused link arrives as NM_RETURN; it opens the page as a click does.
    return header.idFrom == IDC_HOMEPAGE_LINK && (header.code == NM_CLICK || header.code == NM_RETURN);
}
