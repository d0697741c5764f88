// Multi-byte aware string helpers for data strings (titles, executable names, child texts),
// which are bytes in the system's ANSI code page. The code page itself sits behind
// CCodePage so that Shift-JIS behaviour is the same, and testable, on every platform.
#pragma once

#include "base/DataText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class CCodePage {
public:
    virtual ~CCodePage() = default;
    // True when b starts a double-byte character.
    virtual bool isLeadByte(unsigned char b) const = 0;
    // Upper case of s; double-byte characters are left as they are.
    virtual std::string toUpper(std::string_view s) const = 0;
    // utf8, which is valid UTF-8, in this code page; a character the code page has no bytes
    // for becomes '?', as it does when the system hands out such a title.
    virtual std::string fromUtf8(std::string_view utf8) const = 0;
    // utf8 in this code page when every character has bytes here that read back as that same
    // character (no '?', no look-alike), else nullopt.
    virtual std::optional<std::string> fromUtf8Exact(std::string_view utf8) const = 0;
    // Bytes of this code page as UTF-8; a byte that starts no character here becomes '?'.
    virtual std::string toUtf8(std::string_view bytes) const = 0;
};

// Code page 932 (Shift-JIS) from a table: lead bytes 0x81-0x9F and 0xE0-0xFC,
// upper-casing of the single-byte ASCII letters only.
class CCp932CodePage : public CCodePage {
public:
    bool isLeadByte(unsigned char b) const override;
    std::string toUpper(std::string_view s) const override;
    std::string fromUtf8(std::string_view utf8) const override;
    std::optional<std::string> fromUtf8Exact(std::string_view utf8) const override;
    std::string toUtf8(std::string_view bytes) const override;
};

// The code page the process works in. Shift-JIS until the Windows start-up installs the
// system's own; the object must outlive every use.
const CCodePage& systemCodePage();
void setSystemCodePage(const CCodePage& codePage);

// Length in bytes of the character that starts at s[i]; a lead byte at the very end of the
// string counts as a single byte, so no helper reads past the end.
std::size_t mbCharLength(const CCodePage& cp, std::string_view s, std::size_t i);

// Position of the first occurrence of part in s that starts on a character boundary, or
// npos. An empty part occurs at 0 in every string.
std::size_t mbFind(const CCodePage& cp, std::string_view s, std::string_view part);
inline bool mbContains(const CCodePage& cp, std::string_view s, std::string_view part) {
    return mbFind(cp, s, part) != std::string_view::npos;
}

// Position of the last single-byte character c in s (never the trail byte of a
// double-byte character), or npos.
std::size_t mbFindLast(const CCodePage& cp, std::string_view s, char c);

// Upper case in the given code page.
inline std::string mbUpper(const CCodePage& cp, std::string_view s) { return cp.toUpper(s); }

// Whether s is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF)
// with at least one multi-byte character: text in any other code page hardly ever is.
bool isMultiByteUtf8(std::string_view s);

// --- data text (base/DataText.h): code-page bytes, or UTF-8 behind the mark ---

// The data text of valid UTF-8: the code page's bytes when they hold it exactly, else marked.
std::string dataTextFromUtf8(const CCodePage& cp, std::string_view utf8);
// The text as UTF-8, whichever form it is in.
std::string dataTextToUtf8(const CCodePage& cp, std::string_view text);
// Whether part occurs in text. Between two code-page texts this is mbFind's byte search, as
// it always was. Once either is marked both are compared as UTF-8 without the characters that
// show nothing (zero-width space, non-joiner and joiner, word joiner, U+FEFF): a title may
// hold them where the user, typing the part, sees none.
bool dataTextContains(const CCodePage& cp, std::string_view text, std::string_view part);
// What a buffer of bufferChars characters, terminator included, keeps of a text: the wide calls
// give its first bufferChars - 1 UTF-16 units (here on a character boundary); when those fit
// the code page, its bytes past bufferChars - 1 go as well, as the ANSI calls always cut them.
std::string dataTextCut(const CCodePage& cp, std::string_view text, std::size_t bufferChars);
