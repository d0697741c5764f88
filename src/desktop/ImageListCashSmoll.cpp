#include "desktop/ImageListCashSmoll.h"

#include "base/Trace.h"

#include <algorithm>

int CImageListCashSmoll::GetIconIndex(const std::string& path) {
    const auto known = std::find(m_keys.begin(), m_keys.end(), path);
    if (known != m_keys.end()) return static_cast<int>(known - m_keys.begin());

    CSmallIconStore::Icon icon;
    if (path == "DESKTOP") {
        const auto own = m_store.programIcon();
        if (!own) {
            trace("ICON get fail(LoadIcon) path =%s\n", path.c_str());
            return -1;
        }
        icon = *own;
    } else if (const auto shellIcon = m_store.fileIcon(path)) {
        icon = *shellIcon;
    } else {
        trace("ICON get fail path =%s\n", path.c_str());
        icon = m_store.errorIcon();
    }

    const int index = m_store.append(icon);
    // The image list keeps its own copy, so the shell's handle goes back even when the
    // list refused the picture.
    if (icon.origin == CSmallIconStore::Origin::shell) m_store.release(icon);
    // Keys and images must stay in step: a refused picture leaves no key behind.
    if (index < 0) return -1;
    m_keys.push_back(path);
    return index;
}
