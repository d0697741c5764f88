#include "app/ClavoraApp.h"

#include "desktop/Trace.h"

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

std::string programDirectory(const CCodePage& codePage, std::string_view programPath) {
    const std::size_t cut = mbFindLast(codePage, programPath, '\\');
    if (cut == std::string_view::npos) return {};
    return std::string(programPath.substr(0, cut));
}

bool CClavoraApp::InitInstance(const std::vector<std::string>& arguments) {
    // The duplicate check comes first: a second instance reads no arguments and opens no console.
    switch (createInstanceMutex()) {
        case MutexResult::failed:
            return true;
        case MutexResult::alreadyExists:
            showDuplicateStartBox();
            return true;
        case MutexResult::created:
            break;
    }

    if (scanArguments(arguments)) m_debugMode = 1;
    if (m_debugMode) {
        openDebugConsole();
    } else {
        discardStandardStreams();
    }
    trace("********** Start Velnote DEBUG MODE  *******\n");
    if (m_debugMode) trace("DEBUG_MODE ON\n");

    // Clavora.ini lies beside the executable, and the main window finds it through the
    // working directory.
    m_currentDirectory = arguments.empty() ? std::string() : programDirectory(codePage(), arguments[0]);
    setWorkingDirectory(m_currentDirectory);
    trace("CurrentDir=%s", m_currentDirectory.c_str());

    enumerateMonitors();
    runMainWindow();
    releaseMonitors();
    if (m_debugMode) {
        detachConsole();
        pause(kDebugEndPauseMs);
    }
    return false;
}
