// The About box: the program's name with the product version from the program file's own
// version resource, and a link to the maker's home page.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The version text kept for the life of the process, "Ver.:" and the ProductVersion value,
// at most 255 bytes as the 256-byte buffer of the original holds.
class CVersionStringCache {
public:
    // The ProductVersion value, or nullopt when the resource, its translation or the value
    // cannot be read.
    using Reader = std::function<std::optional<std::string>()>;

    // Reads the resource until a read succeeds, then never again; "" while it fails.
    const std::string& get(const Reader& readProductVersion);

private:
    std::string m_text;
    bool m_read = false;
};

// The About box's line: "Clavora " and the version text with every "," turned into "-" and
// then every ";" into ".", blanks kept.
std::string aboutVersionLine(std::string_view versionText);

class CAboutDlg {
public:
    virtual ~CAboutDlg() = default;

    void OnInitDialog();
    // The link control was clicked: the home page opens in the user's browser.
    void onLinkClick() { openHomePage(); }

    std::string m_strVersion;

protected:
    virtual std::string versionString() = 0;
    virtual void setTitle(std::u8string_view title) = 0;
    // Shows m_strVersion in the version line.
    virtual void showVersion() = 0;
    virtual void openHomePage() = 0;
};
