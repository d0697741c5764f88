#include "app/win32/HomePage.h"

#include "app/HomePage.h"
#include "resource.h"

#include <shellapi.h>

// The build's home-page address (the CMake cache variable CLAVORA_HOME_PAGE); empty leads
// the links to the guide beside the program.
#ifndef CLAVORA_HOME_PAGE
#define CLAVORA_HOME_PAGE ""
#endif

namespace {

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void openHomePage(HWND window) noexcept {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::optional<std::string> target =
        homePageTarget(CLAVORA_HOME_PAGE, systemCodePage(), path, isFile);
    if (target) ShellExecuteA(window, "open", target->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool isHomePageLinkClick(const NMHDR& header) noexcept {
    // Enter on the focused link arrives as NM_RETURN; it opens the page as a click does.
    return header.idFrom == IDC_HOMEPAGE_LINK && (header.code == NM_CLICK || header.code == NM_RETURN);
}
