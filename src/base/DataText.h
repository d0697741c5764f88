// Data text: a title, a child's text or a typed part of one, kept as a byte string.
//
// A text that the system's ANSI code page holds exactly is its bytes in that code page, as the
// program has always kept it, so stored files and every byte comparison stay as they were.
// Any other text (Korean on a Japanese system, an emoji, a zero-width space) is its UTF-8
// behind kUtf8TextMark: the ANSI calls would turn its unwritable characters into '?', and two
// different titles would then compare equal. No text that the code page gives back starts
// with the mark (0xEF 0xBB is no character in Shift-JIS; where a code page could spell the
// mark, such a text takes the marked form too), so byte equality stays text equality.
#pragma once

#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view kUtf8TextMark = "\xEF\xBB\xBF";

inline bool isUtf8Text(std::string_view text) { return text.starts_with(kUtf8TextMark); }

// The data text of a text given as UTF-8 and as its exact form in the code page, if it has one.
inline std::string makeDataText(std::optional<std::string> codePageForm, std::string_view utf8) {
    if (codePageForm && !isUtf8Text(*codePageForm)) return std::move(*codePageForm);
    std::string marked(kUtf8TextMark);
    marked += utf8;
    return marked;
}
