#include "app/HomePage.h"

#include "app/ClavoraApp.h"
#include "base/Trace.h"

std::optional<std::string> homePageTarget(std::string_view configuredAddress, std::string_view programPath,
                                          const std::function<bool(const std::string&)>& fileExists) {
    if (!configuredAddress.empty()) return std::string(configuredAddress);
    std::string guide = programDirectory(programPath);
    if (!guide.empty()) guide += '\\';
    guide += kGuideFileName;
    if (fileExists(guide)) return guide;
    trace("openHomePage: no home page and no guide at %s\n", guide.c_str());
    return std::nullopt;
}
