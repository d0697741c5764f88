#include "desktop/win32/SmallIconStore.h"

#include "resource.h"

#include <shellapi.h>

namespace {

constexpr int kGrowBy = 50;
constexpr COLORREF kWhite = RGB(255, 255, 255);
// IDI_ERROR, spelled for the ANSI call.
constexpr WORD kStockErrorIcon = 32513;

}  // namespace

// The system's small icon size, which is what the shell hands out as small file icons: 16 at
// 96 DPI, larger on a scaled display (for the DPI the program started at).
CWin32SmallIconStore::CWin32SmallIconStore() noexcept
    : m_imageList(ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLORDDB,
                                   0, kGrowBy)) {
    ImageList_SetBkColor(m_imageList.get(), kWhite);
}

std::optional<int> CWin32SmallIconStore::addProgramIcon() {
    // Drawn for the list's size where the icon has that picture, rather than shrunk from 32.
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_DESKTOP),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (icon == nullptr) return std::nullopt;
    return add(icon);
}

std::optional<int> CWin32SmallIconStore::addFileIcon(const std::string& path) {
    SHFILEINFOA info{};
    // A failed query may leave an icon field behind that names no icon (Wine's ANSI entry
    // copies it from a record it never filled): only a successful answer's icon is ours.
    if (SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) == 0 ||
        info.hIcon == nullptr) {
        return std::nullopt;
    }
    // The list keeps its own copy, so the shell's icon goes back even when the list refused it.
    const CIconHandle icon(info.hIcon);
    return add(icon.get());
}

int CWin32SmallIconStore::addErrorIcon() {
    return add(LoadIconA(nullptr, MAKEINTRESOURCEA(kStockErrorIcon)));
}

int CWin32SmallIconStore::add(HICON icon) noexcept {
    return ImageList_ReplaceIcon(m_imageList.get(), -1, icon);
}
