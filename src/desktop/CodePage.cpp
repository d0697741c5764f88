#include "desktop/CodePage.h"

#ifdef _WIN32
#include "base/win32/Win32Util.h"
#else
#include <iconv.h>

#include <cerrno>
#endif

#include <algorithm>

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
namespace {
constexpr UINT kShiftJis = 932;
}  // namespace

std::string CCp932CodePage::fromUtf8(std::string_view utf8) const {
    return wideToCodePage(utf8ToWide(utf8), kShiftJis);
}

std::optional<std::string> CCp932CodePage::fromUtf8Exact(std::string_view utf8) const {
    return wideToCodePageExact(utf8ToWide(utf8), kShiftJis);
}

std::string CCp932CodePage::toUtf8(std::string_view bytes) const {
    return wideToUtf8(codePageToWide(bytes, kShiftJis));
}
#else
namespace {

// in converted from one encoding to another; each unit that has no form there becomes one '?'
// (skipOf tells how many bytes that unit has), and exact turns false.
template <typename SkipOf>
std::string convert(const char* to, const char* from, std::string_view in, bool& exact, SkipOf skipOf) {
    exact = true;
    const iconv_t convert = iconv_open(to, from);
    if (convert == reinterpret_cast<iconv_t>(-1)) {
        exact = false;
        return std::string(in);
    }
    std::string out;
    char buffer[256];
    char* next = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    while (inLeft > 0) {
        char* put = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t done = iconv(convert, &next, &inLeft, &put, &room);
        out.append(buffer, static_cast<std::size_t>(put - buffer));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        exact = false;
        out += '?';
        const std::size_t length = skipOf(static_cast<unsigned char>(*next));
        const std::size_t skip = length < inLeft ? length : inLeft;
        next += skip;
        inLeft -= skip;
    }
    iconv_close(convert);
    return out;
}

// One '?' stands for a whole UTF-8 sequence.
std::size_t utf8Length(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}
// A Shift-JIS byte that starts no character is passed over alone, so the next one is read.
std::size_t oneByte(unsigned char) { return 1; }

}  // namespace

std::string CCp932CodePage::fromUtf8(std::string_view utf8) const {
    bool exact = true;
    return convert("CP932", "UTF-8", utf8, exact, utf8Length);
}

std::optional<std::string> CCp932CodePage::fromUtf8Exact(std::string_view utf8) const {
    bool exact = true;
    std::string bytes = convert("CP932", "UTF-8", utf8, exact, utf8Length);
    // A character with a one-way mapping (U+301C to the bytes of U+FF5E) comes back as
    // another: its bytes would stand for a different text.
    if (!exact || toUtf8(bytes) != utf8) return std::nullopt;
    return bytes;
}

std::string CCp932CodePage::toUtf8(std::string_view bytes) const {
    bool exact = true;
    return convert("UTF-8", "CP932", bytes, exact, oneByte);
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

// --- data text ---

namespace {

// The characters that show nothing, in UTF-8: U+200B-U+200D, U+2060 and U+FEFF.
bool isInvisibleAt(std::string_view s, std::size_t i) {
    if (i + 3 > s.size()) return false;
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    if (b(0) == 0xE2 && b(1) == 0x80 && b(2) >= 0x8B && b(2) <= 0x8D) return true;
    if (b(0) == 0xE2 && b(1) == 0x81 && b(2) == 0xA0) return true;
    return b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF;
}

std::string withoutInvisibles(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        if (isInvisibleAt(utf8, i)) {
            i += 3;
            continue;
        }
        out += utf8[i++];
    }
    return out;
}

bool isUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string dataTextFromUtf8(const CCodePage& cp, std::string_view utf8) {
    return makeDataText(cp.fromUtf8Exact(utf8), utf8);
}

std::string dataTextToUtf8(const CCodePage& cp, std::string_view text) {
    if (isUtf8Text(text)) return std::string(text.substr(kUtf8TextMark.size()));
    return cp.toUtf8(text);
}

bool dataTextContains(const CCodePage& cp, std::string_view text, std::string_view part) {
    if (!isUtf8Text(text) && !isUtf8Text(part)) return mbContains(cp, text, part);
    // UTF-8 never starts a character inside another's bytes, so a plain byte search is
    // a character search.
    return withoutInvisibles(dataTextToUtf8(cp, text)).find(withoutInvisibles(dataTextToUtf8(cp, part))) !=
           std::string::npos;
}

std::string dataTextCut(const CCodePage& cp, std::string_view text, std::size_t bufferChars) {
    if (bufferChars == 0) return {};
    const std::size_t keep = bufferChars - 1;
    std::string shorter;
    if (isUtf8Text(text)) {
        std::size_t units = 0;
        std::size_t end = kUtf8TextMark.size();
        while (end < text.size()) {
            std::size_t length = 1;
            while (end + length < text.size() && isUtf8Continuation(text[end + length])) ++length;
            // A character past U+FFFF takes two UTF-16 units.
            const std::size_t need = length == 4 ? 2 : 1;
            if (units + need > keep) break;
            units += need;
            end += length;
        }
        // What is left may fit the code page now, and then it is kept as the system gives it.
        shorter = dataTextFromUtf8(cp, text.substr(kUtf8TextMark.size(), end - kUtf8TextMark.size()));
        if (isUtf8Text(shorter)) return shorter;
        text = shorter;
    }
    return std::string(text.substr(0, std::min(text.size(), keep)));
}
