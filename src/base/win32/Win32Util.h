// Small conversions at the Win32 edge: our opaque handles and rectangles to the system's,
// fixed UTF-8 texts to the UTF-16 that the wide API shows, and the program file's own name.
#pragma once

#include "base/DataText.h"
#include "base/DesktopTypes.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline HWND toHwnd(WinHandle h) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(h)); }
inline WinHandle toWinHandle(HWND h) { return static_cast<WinHandle>(reinterpret_cast<std::uintptr_t>(h)); }

inline Rect toRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
inline RECT toRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// Bytes of a code page in UTF-16; bytes that start no character become the default character.
inline std::wstring codePageToWide(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
    return wide;
}

// UTF-16 of UTF-8 bytes; invalid sequences become U+FFFD, as the system converts them.
inline std::wstring utf8ToWide(std::string_view utf8) { return codePageToWide(utf8, CP_UTF8); }

inline std::wstring utf8ToWide(std::u8string_view utf8) {
    return utf8ToWide(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

// UTF-16 text in a code page; a character the code page has no bytes for becomes its default
// character ('?' in the ANSI code pages).
inline std::string wideToCodePage(std::wstring_view wide, UINT codePage) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

// UTF-8 of UTF-16 text, for the helper programs' output and for logs.
inline std::string wideToUtf8(std::wstring_view wide) { return wideToCodePage(wide, CP_UTF8); }

// The full name of the running program's file in UTF-16, which keeps any folder name the ANSI
// calls would turn into question marks; "" when the system cannot tell.
inline std::wstring programFilePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        // A name that fills the buffer may have been cut: ask again with room to spare.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// UTF-16 text in a code page when every character has bytes there that read back as that same
// character, else nullopt: neither the default character nor a best-fit look-alike (an 'a'
// for an 'a' with a ring) may stand in for a character of a title.
inline std::optional<std::string> wideToCodePageExact(std::wstring_view wide, UINT codePage) {
    if (wide.empty()) return std::string();
    if (codePage == CP_ACP) codePage = GetACP();
    // UTF-8 holds every character, and takes neither flag nor a default character.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr,
                                           utf8 ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr,
                        utf8 ? nullptr : &usedDefault);
    if (usedDefault || codePageToWide(bytes, codePage) != wide) return std::nullopt;
    return bytes;
}

// The data text (base/DataText.h) of a text that the wide API gave.
inline std::string wideToDataText(std::wstring_view wide) {
    return makeDataText(wideToCodePageExact(wide, CP_ACP), wideToUtf8(wide));
}

// A data text for the wide API to show or set.
inline std::wstring dataTextToWide(std::string_view text) {
    if (isUtf8Text(text)) return utf8ToWide(text.substr(kUtf8TextMark.size()));
    return codePageToWide(text, CP_ACP);
}
