// Where the links of the About box and the main window lead: the maker's home page when the
// build names one, else the user's guide that the release package puts beside Clavora.exe.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The guide's file name in the program's folder.
inline constexpr char kGuideFileName[] = "guide.html";

// The address a link click opens: configuredAddress when it is not empty, otherwise the guide
// in the folder of programPath when fileExists finds it there. nullopt (traced) when there is
// neither: a link must never open a page that has nothing to do with Clavora. Paths are UTF-8,
// so that a folder the ANSI code page cannot write still names itself.
std::optional<std::string> homePageTarget(std::string_view configuredAddress, std::string_view programPath,
                                          const std::function<bool(const std::string&)>& fileExists);
