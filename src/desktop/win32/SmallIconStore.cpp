#include "desktop/win32/SmallIconStore.h"

#include "resource.h"

#include <shellapi.h>

namespace {

constexpr int kGrowBy = 50;
constexpr COLORREF kWhite = RGB(255, 255, 255);
// IDI_ERROR, spelled for the ANSI call.
constexpr WORD kStockErrorIcon = 32513;

HICON toHicon(const CSmallIconStore::Icon& icon) { return reinterpret_cast<HICON>(icon.handle); }

CSmallIconStore::Icon fromHicon(HICON icon, CSmallIconStore::Origin origin) {
    return CSmallIconStore::Icon{reinterpret_cast<std::uintptr_t>(icon), origin};
}

}  // namespace

// The system's small icon size, which is what the shell hands out as small file icons: 16 at
// 96 DPI, larger on a scaled display (for the DPI the program started at).
CWin32SmallIconStore::CWin32SmallIconStore() noexcept
    : m_imageList(ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLORDDB,
                                   0, kGrowBy)) {
    ImageList_SetBkColor(m_imageList.get(), kWhite);
}

std::optional<CSmallIconStore::Icon> CWin32SmallIconStore::programIcon() {
    // Drawn for the list's size where the icon has that picture, rather than shrunk from 32.
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_DESKTOP),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (icon == nullptr) return std::nullopt;
    return fromHicon(icon, Origin::programResource);
}

std::optional<CSmallIconStore::Icon> CWin32SmallIconStore::fileIcon(const std::string& path) {
    SHFILEINFOA info{};
    // A failed query may leave an icon field behind that names no icon (Wine's ANSI entry
    // copies it from a record it never filled): only a successful answer's icon is ours.
    if (SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) == 0 ||
        info.hIcon == nullptr) {
        return std::nullopt;
    }
    return fromHicon(info.hIcon, Origin::shell);
}

CSmallIconStore::Icon CWin32SmallIconStore::errorIcon() {
    return fromHicon(LoadIconA(nullptr, MAKEINTRESOURCEA(kStockErrorIcon)), Origin::stock);
}

int CWin32SmallIconStore::append(const Icon& icon) {
    return ImageList_ReplaceIcon(m_imageList.get(), -1, toHicon(icon));
}

void CWin32SmallIconStore::release(const Icon& icon) { DestroyIcon(toHicon(icon)); }
