#include "desktop/CodePage.h"

namespace {

const CCp932CodePage g_cp932;
const CCodePage* g_codePage = &g_cp932;

}  // namespace

bool CCp932CodePage::isLeadByte(unsigned char b) const {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string CCp932CodePage::toUpper(std::string_view s) const {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); i += mbCharLength(*this, out, i)) {
        if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
    }
    return out;
}

const CCodePage& systemCodePage() { return *g_codePage; }

void setSystemCodePage(const CCodePage& codePage) { g_codePage = &codePage; }

std::size_t mbCharLength(const CCodePage& cp, std::string_view s, std::size_t i) {
    return (cp.isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

std::size_t mbFind(const CCodePage& cp, std::string_view s, std::string_view part) {
    if (part.empty()) return 0;
    for (std::size_t i = 0; i + part.size() <= s.size(); i += mbCharLength(cp, s, i)) {
        if (s.compare(i, part.size(), part) == 0) return i;
    }
    return std::string_view::npos;
}

std::size_t mbFindLast(const CCodePage& cp, std::string_view s, char c) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); i += mbCharLength(cp, s, i)) {
        if (s[i] == c) found = i;
    }
    return found;
}
