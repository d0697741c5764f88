// The About box's version line: the program's name with the product version from the program
// file's own version resource.
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
