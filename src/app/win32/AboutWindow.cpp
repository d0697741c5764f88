#include "app/win32/AboutWindow.h"

#include "app/AboutDlg.h"
#include "app/win32/HomePage.h"
#include "base/win32/Win32Util.h"
#include "resource.h"

#include <cwchar>
#include <iterator>
#include <optional>
#include <vector>

namespace {

// The ProductVersion value of the first translation of the program file's version resource,
// read through the program's wide name: the ANSI one of a folder such as 도구 names no file.
std::optional<std::string> readProductVersion() {
    const std::wstring path = programFilePath();
    if (path.empty()) return std::nullopt;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) return std::nullopt;
    std::vector<char> data(size + 1);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;

    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        length < sizeof(Translation)) {
        return std::nullopt;
    }
    const auto* translation = static_cast<const Translation*>(value);
    wchar_t query[64];
    std::swprintf(query, std::size(query), L"\\StringFileInfo\\%04x%04x\\ProductVersion",
                  translation->language, translation->codePage);
    // A translation without the value gives no version rather than whatever the query left.
    if (!VerQueryValueW(data.data(), query, &value, &length) || !value || length == 0) return std::nullopt;
    return wideToUtf8(static_cast<const wchar_t*>(value));
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
            SetDlgItemTextW(hwnd(), IDC_VERSION,
                            utf8ToWide(aboutVersionLine(programVersionString())).c_str());
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
