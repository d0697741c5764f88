// Small conversions at the Win32 edge: our opaque handles and rectangles to the system's,
// and fixed UTF-8 texts to the UTF-16 that the wide API shows.
#pragma once

#include "base/DesktopTypes.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

inline HWND toHwnd(WinHandle h) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(h)); }
inline WinHandle toWinHandle(HWND h) { return static_cast<WinHandle>(reinterpret_cast<std::uintptr_t>(h)); }

inline Rect toRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
inline RECT toRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// UTF-16 of UTF-8 bytes; invalid sequences become U+FFFD, as the system converts them.
inline std::wstring utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

inline std::wstring utf8ToWide(std::u8string_view utf8) {
    return utf8ToWide(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

// Bytes in codePage of UTF-16 text; a character the code page lacks becomes its default one.
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
