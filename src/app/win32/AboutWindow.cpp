#include "app/win32/AboutWindow.h"

#include "app/AboutDlg.h"
#include "app/win32/HomePage.h"
#include "base/win32/Win32Util.h"
#include "resource.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace {

// The ProductVersion value of the first translation of the program file's version resource.
std::optional<std::string> readProductVersion() {
    char path[MAX_PATH + 1] = {};
    if (GetModuleFileNameA(nullptr, path, MAX_PATH) == 0) return std::nullopt;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return std::nullopt;
    std::vector<char> data(size + 1);
    if (!GetFileVersionInfoA(path, 0, size, data.data())) return std::nullopt;

    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &length) ||
        length < sizeof(Translation)) {
        return std::nullopt;
    }
    const auto* translation = static_cast<const Translation*>(value);
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\ProductVersion", translation->language,
                  translation->codePage);
    // A translation without the value gives no version rather than whatever the query left.
    if (!VerQueryValueA(data.data(), query, &value, &length) || !value || length == 0) return std::nullopt;
    return std::string(static_cast<const char*>(value));
}

// "Ver.:" and the program file's ProductVersion, read once per process; "" while the
// version resource cannot be read.
const std::string& programVersionString() {
    static CVersionStringCache cache;
    return cache.get(readProductVersion);
}

}  // namespace

CAboutWindow::CAboutWindow() : CDialogBase(IDD_ABOUTBOX) {}

std::optional<LRESULT> CAboutWindow::onMessage(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowTextW(hwnd(), utf8ToWide(u8"Clavora").c_str());
            SetDlgItemTextA(hwnd(), IDC_VERSION, aboutVersionLine(programVersionString()).c_str());
            return TRUE;
        case WM_NOTIFY:
            if (isHomePageLinkClick(*reinterpret_cast<const NMHDR*>(lParam))) {
                openHomePage(hwnd());
                return 0;
            }
            break;
    }
    return std::nullopt;
}
