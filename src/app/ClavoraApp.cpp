#include "app/ClavoraApp.h"

#include "base/Trace.h"

#include <string>

bool isDebugSwitch(std::string_view argument) { return argument == kDebugSwitch; }

bool scanArguments(const std::vector<std::string>& arguments) {
    bool debug = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string label = std::to_string(i) + "番目の引数";
        trace("%s=%s\n", label.c_str(), arguments[i].c_str());
        if (isDebugSwitch(arguments[i])) {
            debug = true;
            trace("DEBUGMODE ON\n");
        }
    }
    return debug;
}

std::wstring programDirectory(std::wstring_view programPath) {
    const std::size_t cut = programPath.rfind(L'\\');
    if (cut == std::wstring_view::npos) return {};
    return std::wstring(programPath.substr(0, cut));
}

std::string programDirectory(std::string_view programPath) {
    const std::size_t cut = programPath.rfind('\\');
    if (cut == std::string_view::npos) return {};
    return std::string(programPath.substr(0, cut));
}
