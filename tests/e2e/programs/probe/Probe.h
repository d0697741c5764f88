// The probe's pieces shared by its two halves: the argument reader, the one-line window
// description, and the command family that drives the real desktop seam.
#pragma once

#include "desktop/win32/Win32Desktop.h"
#include "e2e/HelperProgram.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace probe {

// Exit codes: a command that ran but did not find or get what it asked for gives kNotFound;
// a malformed command line gives kUsage.
constexpr int kOk = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;

// Reads a command's arguments in order; any problem ends the probe with kUsage.
class CArgs {
public:
    explicit CArgs(std::vector<std::string> args) : m_args(std::move(args)) {}

    bool empty() const { return m_next >= m_args.size(); }
    const std::string& next(const char* what);
    std::int64_t number(const char* what);
    HWND window(const char* what);
    // Takes the next argument when it equals option.
    bool take(const char* option);
    // Stops with kUsage when arguments are left over.
    void done() const;

private:
    std::vector<std::string> m_args;
    std::size_t m_next = 0;
};

[[noreturn]] void usageError(const std::string& problem);
// Says on stderr that the probe ran through with status, and returns status. Under load Wine
// has been seen to end a probe early without a word; the scripts run a probe again when this
// line is missing.
int ranThrough(int status);

// The probe's description of one window: handle, process, class, title (UTF-8 and the ANSI
// bytes in hex), owner, rectangle, styles, state and layering.
helper::CLine describeWindow(CWin32Desktop& desktop, HWND h);

// "probe desktop ...": runs one seam operation and prints what it gave.
int runDesktopCommand(CArgs& args);

// "probe listview HWND": a summary line (rows, columns, small image list, selection mark),
// then one line per row with its image, selection, screen rectangle and column texts.
int listView(CArgs& args);

// "probe objects PID": gdi= user= windows= source= of a process (see ProbeProcess.cpp).
int guiObjects(CArgs& args);
// "probe terminate PID": TerminateProcess.
int terminate(CArgs& args);

}  // namespace probe
