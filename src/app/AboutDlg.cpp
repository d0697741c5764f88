#include "app/AboutDlg.h"

#include <algorithm>

namespace {

// The size of the original text buffer, terminator included.
constexpr std::size_t kVersionBufferBytes = 256;

}  // namespace

const std::string& CVersionStringCache::get(const Reader& readProductVersion) {
    if (m_read) return m_text;
    m_text.clear();
    if (const std::optional<std::string> value = readProductVersion()) {
        m_text = "Ver.:" + *value;
        // The version resource is ASCII; a longer value is cut rather than overrunning the buffer.
        if (m_text.size() >= kVersionBufferBytes) m_text.resize(kVersionBufferBytes - 1);
        m_read = true;
    }
    return m_text;
}

std::string aboutVersionLine(std::string_view versionText) {
    std::string version(versionText);
    std::replace(version.begin(), version.end(), ',', '-');
    std::replace(version.begin(), version.end(), ';', '.');
    return "Clavora " + version;
}
