#include "desktop/ImageListCashSmoll.h"

#include "base/Trace.h"

#include <algorithm>

int CImageListCashSmoll::GetIconIndex(const std::string& path) {
    const auto known = std::find(m_keys.begin(), m_keys.end(), path);
    if (known != m_keys.end()) return static_cast<int>(known - m_keys.begin());

    std::optional<int> index;
    if (path == "DESKTOP") {
        index = m_store.addProgramIcon();
        if (!index) {
            trace("ICON get fail(LoadIcon) path =%s\n", path.c_str());
            return -1;
        }
    } else {
        index = m_store.addFileIcon(path);
        if (!index) {
            trace("ICON get fail path =%s\n", path.c_str());
            index = m_store.addErrorIcon();
        }
    }

    // Keys and images must stay in step: a refused picture leaves no key behind.
    if (*index < 0) return -1;
    m_keys.push_back(path);
    return *index;
}
