#include "desktop/CodePage.h"

#ifdef _WIN32
#include "base/win32/Win32Util.h"
#else
#include <iconv.h>

#include <cerrno>
#endif

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

#ifdef _WIN32
std::string CCp932CodePage::fromUtf8(std::string_view utf8) const {
    constexpr UINT kShiftJis = 932;
    return wideToCodePage(utf8ToWide(utf8), kShiftJis);
}
#else
std::string CCp932CodePage::fromUtf8(std::string_view utf8) const {
    const iconv_t convert = iconv_open("CP932", "UTF-8");
    if (convert == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    while (inLeft > 0) {
        char* put = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t done = iconv(convert, &in, &inLeft, &put, &room);
        out.append(buffer, static_cast<std::size_t>(put - buffer));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // A character without bytes here: one '?' for the whole UTF-8 sequence.
        const unsigned char lead = static_cast<unsigned char>(*in);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        out += '?';
        const std::size_t skip = length < inLeft ? length : inLeft;
        in += skip;
        inLeft -= skip;
    }
    iconv_close(convert);
    return out;
}
#endif

bool isMultiByteUtf8(std::string_view s) {
    bool multiByte = false;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char lead = static_cast<unsigned char>(s[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length, and the range the second byte must lie in to be neither overlong, nor a
        // surrogate, nor past U+10FFFF.
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + length > s.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(s[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
        }
        multiByte = true;
        i += length;
    }
    return multiByte;
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
