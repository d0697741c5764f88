// What the two helper programs of the Wine scenarios share: the command line as UTF-8,
// numbers in any base, and output that shell scripts can take apart safely.
#pragma once

#include "base/win32/Win32Util.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace helper {

// Output lines end in a bare line feed, whatever the C runtime would make of it.
inline void useBinaryOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// The arguments after the program name, UTF-8. Read from the wide command line, so text
// given in any script survives whatever the ANSI code page is.
inline std::vector<std::string> arguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return args;
    for (int i = 1; i < count; ++i) args.push_back(wideToUtf8(argv[i]));
    LocalFree(argv);
    return args;
}

// A whole number in decimal, 0x-hexadecimal or negative; nullopt for anything else.
inline std::optional<std::int64_t> parseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const bool negative = text[0] == '-';
    const std::uint64_t magnitude = std::strtoull(text.c_str() + (negative ? 1 : 0), &end, 0);
    if (!end || *end != '\0') return std::nullopt;
    const auto value = static_cast<std::int64_t>(magnitude);
    return negative ? -value : value;
}

inline std::optional<HWND> parseHwnd(const std::string& text) {
    const std::optional<std::int64_t> value = parseNumber(text);
    if (!value) return std::nullopt;
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*value));
}

inline std::string hexNumber(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

inline std::string hwndText(HWND h) { return hexNumber(reinterpret_cast<std::uintptr_t>(h)); }

// Bytes as lower-case hexadecimal pairs, for byte-exact comparisons of ANSI strings.
inline std::string hexBytes(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

// A value safe inside a tab-separated line: backslash, tab, line ends and other control
// bytes are written as escapes; everything else (UTF-8 included) stays as it is.
inline std::string escapeValue(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char code[8];
                    std::snprintf(code, sizeof code, "\\x%02x", c);
                    out += code;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out;
}

// Text in the ANSI code page shown as UTF-8.
inline std::string ansiToUtf8(std::string_view ansi) {
    if (ansi.empty()) return {};
    const int size = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
    return wideToUtf8(wide);
}

// One output line of tab-separated key=value pairs.
class CLine {
public:
    CLine& add(std::string_view key, std::string_view value) {
        if (!m_text.empty()) m_text += '\t';
        m_text.append(key);
        m_text += '=';
        m_text += escapeValue(value);
        return *this;
    }
    CLine& add(std::string_view key, std::int64_t value) { return add(key, std::to_string(value)); }
    CLine& hex(std::string_view key, std::uint64_t value) { return add(key, hexNumber(value)); }
    CLine& rect(std::string_view key, const RECT& r) {
        return add(key, std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
                            "," + std::to_string(r.bottom));
    }
    // An ANSI string twice: readable as UTF-8 under key, byte-exact under key + "hex".
    CLine& ansi(std::string_view key, std::string_view bytes) {
        add(key, ansiToUtf8(bytes));
        return add(std::string(key) + "hex", hexBytes(bytes));
    }
    // A title or text as data text (base/DataText.h): its characters, and its bytes in hex.
    CLine& data(std::string_view key, std::string_view text) {
        add(key, wideToUtf8(dataTextToWide(text)));
        return add(std::string(key) + "hex", hexBytes(text));
    }
    void print() const {
        std::fwrite(m_text.data(), 1, m_text.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }

private:
    std::string m_text;
};

}  // namespace helper
