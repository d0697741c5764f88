#include "desktop/win32/Win32CodePage.h"

#include "base/win32/Win32Util.h"

#include <windows.h>

bool CWin32CodePage::isLeadByte(unsigned char b) const { return IsDBCSLeadByte(b) != FALSE; }

std::string CWin32CodePage::toUpper(std::string_view s) const {
    std::string out(s);
    if (!out.empty()) CharUpperBuffA(out.data(), static_cast<DWORD>(out.size()));
    return out;
}

std::string CWin32CodePage::fromUtf8(std::string_view utf8) const {
    return wideToCodePage(utf8ToWide(utf8), CP_ACP);
}

std::optional<std::string> CWin32CodePage::fromUtf8Exact(std::string_view utf8) const {
    return wideToCodePageExact(utf8ToWide(utf8), CP_ACP);
}

std::string CWin32CodePage::toUtf8(std::string_view bytes) const {
    return wideToUtf8(codePageToWide(bytes, CP_ACP));
}
