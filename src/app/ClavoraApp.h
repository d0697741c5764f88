// Start-up of the program: one instance only, the debug switch, the console or the null
// device for the trace, the executable's directory as the working directory, the monitors,
// and the resident main window run modally for the life of the program.
#pragma once

#include "desktop/CodePage.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr char kInstanceMutexName[] = "__CLAVORA_VESKARO__";
inline constexpr std::u8string_view kDuplicateStartText = u8"     Clavoraは既に起動されています.     ";
inline constexpr std::u8string_view kDuplicateStartCaption = u8"２重起動";
inline constexpr char kDebugSwitch[] = "-D482";
// How long a debug run lingers after detaching its console, so its last lines stay readable.
inline constexpr unsigned kDebugEndPauseMs = 1000;

// True only for the switch itself, compared with its terminating zero: an argument that
// merely starts with it, is a prefix of it or differs in case does not count.
bool isDebugSwitch(std::string_view argument);

// Traces arguments 1 to the last ("%d番目の引数" labels) and tells whether the debug switch is
// among them. Argument 0, the program path, is not looked at.
bool scanArguments(const std::vector<std::string>& arguments);

// The text before the last '\' of the program path, never cut at the trail byte of a
// double-byte character; "" when there is no '\'.
std::string programDirectory(const CCodePage& codePage, std::string_view programPath);

class CClavoraApp {
public:
    enum class MutexResult { failed, created, alreadyExists };

    virtual ~CClavoraApp() = default;

    // The whole life of the program. false on the normal path (no message loop follows);
    // true on the two early exits (no mutex, another instance runs).
    bool InitInstance(const std::vector<std::string>& arguments);

    int debugMode() const { return m_debugMode; }
    const std::string& currentDirectory() const { return m_currentDirectory; }

protected:
    // Creates the single-instance mutex with initial ownership; it is kept until the process ends.
    virtual MutexResult createInstanceMutex() = 0;
    virtual void showDuplicateStartBox() = 0;
    // A console of our own for the standard output and input, Ctrl+C and friends ignored.
    virtual void openDebugConsole() = 0;
    // Standard output and input on the null device: every trace is discarded.
    virtual void discardStandardStreams() = 0;
    // Failure (an empty or missing directory) leaves the working directory as it was.
    virtual void setWorkingDirectory(const std::string& directory) = 0;
    virtual void enumerateMonitors() = 0;
    // Returns when the program is to end.
    virtual void runMainWindow() = 0;
    virtual void releaseMonitors() = 0;
    virtual void detachConsole() = 0;
    virtual void pause(unsigned ms) = 0;
    virtual const CCodePage& codePage() = 0;

private:
    int m_debugMode = 0;
    std::string m_currentDirectory;
};
