#include "app/win32/DebugConsole.h"

#include "app/win32/MainWindow.h"
#include "base/Trace.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace {

// How long the console's event handler waits for the session to end; the system ends the
// process after about five seconds whatever happens.
constexpr UINT kConsoleEndSessionWaitMs = 4000;

std::atomic<HWND> g_consoleWindow{nullptr};
// Asked on the user-interface thread only.
bool g_consoleSeen = false;
bool g_consoleDetached = false;

// Ctrl+C and Ctrl+Break must not end the program. Closing the console, logoff and shutdown
// end the process as soon as this handler returns: it runs on a thread of its own, so it has
// the main window end the session (pins ended, the file written) and waits for that first.
BOOL WINAPI onConsoleEvent(DWORD event) noexcept {
    if (event != CTRL_CLOSE_EVENT && event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT) return TRUE;
    if (const HWND mainWindow = residentMainWindow()) {
        DWORD_PTR answer = 0;
        const LPARAM reason = event == CTRL_LOGOFF_EVENT ? ENDSESSION_LOGOFF : 0;
        SendMessageTimeoutW(mainWindow, WM_ENDSESSION, TRUE, reason, SMTO_NORMAL, kConsoleEndSessionWaitMs,
                            &answer);
    }
    return TRUE;
}

// Nothing goes to a console that has been closed.
void toConsole(const std::string& line) {
    if (debugConsoleClosed()) return;
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

void openDebugConsole() {
    if (!AllocConsole()) {
        trace("AllocConsole() Error=%d\n", static_cast<int>(GetLastError()));
        return;
    }
    g_consoleWindow = GetConsoleWindow();
    // A stream that cannot be reopened stays as it was; traces then go wherever it went.
    FILE* reopened = nullptr;
    static_cast<void>(freopen_s(&reopened, "CONOUT$", "w", stdout));
    static_cast<void>(freopen_s(&reopened, "CONIN$", "r", stdin));
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    setTraceSink(toConsole);
}

bool debugConsoleOpened() noexcept { return g_consoleWindow.load() != nullptr; }

bool debugConsoleClosed() noexcept {
    const HWND console = g_consoleWindow.load();
    if (!console) return false;
    if (g_consoleDetached) return true;
    // A console host of its own may keep the window hidden throughout; only one that was
    // seen counts as closed when it goes out of sight.
    if (IsWindowVisible(console)) {
        g_consoleSeen = true;
        return false;
    }
    if (IsWindow(console) && !g_consoleSeen) return false;
    // Closed: detached at once. Wine ends every process still attached to a console when its
    // host ends, which comes about two seconds after the window went out of sight and
    // without any event to the handler above.
    g_consoleDetached = true;
    FreeConsole();
    return true;
}

void closeDebugConsole() noexcept {
    // The trace keeps its sink: whatever is traced afterwards is dropped if the window has gone.
    if (debugConsoleOpened() && !g_consoleDetached) FreeConsole();
}
