// Clavora.exe: the single instance, the debug console, and the resident main window run
// modally for the whole life of the program.
#include "app/ClavoraApp.h"
#include "app/win32/MainWindow.h"
#include "desktop/MultiDisplay.h"
#include "desktop/win32/Win32CodePage.h"
#include "desktop/win32/Win32Desktop.h"
#include "desktop/win32/Win32Util.h"
#include "pinwindow/win32/PinWindow.h"
#include "ui/win32/Controls.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char kNullDevice[] = "NUL";
// How long the console's event handler waits for the session to end; the system ends the
// process after about five seconds whatever happens.
constexpr UINT kConsoleEndSessionWaitMs = 4000;

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

class CWin32App : public CClavoraApp {
public:
    CWin32App() : m_pinFactory(m_desktop) {}

protected:
    MutexResult createInstanceMutex() override {
        // Never closed: the name marks the running instance exactly as long as the process lives.
        const HANDLE mutex = CreateMutexA(nullptr, TRUE, kInstanceMutexName);
        if (!mutex) return MutexResult::failed;
        return GetLastError() == ERROR_ALREADY_EXISTS ? MutexResult::alreadyExists : MutexResult::created;
    }
    void showDuplicateStartBox() override {
        MessageBoxW(nullptr, utf8ToWide(kDuplicateStartText).c_str(),
                    utf8ToWide(kDuplicateStartCaption).c_str(), MB_OK);
    }
    void openDebugConsole() override {
        AllocConsole();
        reopen("CONOUT$", "w", stdout);
        reopen("CONIN$", "r", stdin);
        SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    }
    void discardStandardStreams() override {
        reopen(kNullDevice, "w", stdout);
        reopen(kNullDevice, "r", stdin);
    }
    void setWorkingDirectory(const std::string& directory) override {
        SetCurrentDirectoryA(directory.c_str());
    }
    void enumerateMonitors() override { CMultiDisplay::GetMultiDisplay()->EnumMonitors(m_desktop); }
    void runMainWindow() override {
        // The configuration file lies in the working directory, whether or not it could be changed.
        char directory[MAX_PATH + 1] = {};
        GetCurrentDirectoryA(sizeof directory, directory);
        CMainWindow mainWindow(m_desktop, m_pinFactory, directory);
        mainWindow.doModal(nullptr);
    }
    void releaseMonitors() override { CMultiDisplay::ReleaseMultiDisplay(); }
    void detachConsole() override { FreeConsole(); }
    void pause(unsigned ms) override { Sleep(ms); }
    const CCodePage& codePage() override { return systemCodePage(); }

private:
    static void reopen(const char* device, const char* mode, FILE* stream) {
        FILE* reopened = nullptr;
        // A stream that cannot be reopened stays as it was; traces then go wherever it went.
        static_cast<void>(freopen_s(&reopened, device, mode, stream));
    }

    CWin32Desktop m_desktop;
    CWin32PinFactory m_pinFactory;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static const CWin32CodePage codePage;
    setSystemCodePage(codePage);
    static_cast<void>(initCommonControls());

    const std::vector<std::string> arguments(__argv, __argv + __argc);
    CWin32App app;
    app.InitInstance(arguments);
    return 0;
}
