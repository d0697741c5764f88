// The system's ANSI code page, through its own lead-byte and upper-case functions.
#pragma once

#include "desktop/CodePage.h"

class CWin32CodePage : public CCodePage {
public:
    bool isLeadByte(unsigned char b) const override;
    std::string toUpper(std::string_view s) const override;
    std::string fromUtf8(std::string_view utf8) const override;
    std::optional<std::string> fromUtf8Exact(std::string_view utf8) const override;
    std::string toUtf8(std::string_view bytes) const override;
};
