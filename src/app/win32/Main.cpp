// Clavora.exe: the single instance, the debug console, and the resident main window run
// modally for the whole life of the program.
#include "app/ClavoraApp.h"
#include "app/win32/DebugConsole.h"
#include "app/win32/MainWindow.h"
#include "base/Trace.h"
#include "base/win32/Win32Util.h"
#include "desktop/MultiDisplay.h"
#include "desktop/win32/Win32CodePage.h"
#include "desktop/win32/Win32Desktop.h"
#include "pinwindow/win32/PinWindow.h"
#include "ui/win32/Controls.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char kInstanceMutexName[] = "__CLAVORA_VESKARO__";
constexpr std::u8string_view kDuplicateStartText = u8"     Clavoraは既に起動されています.     ";
constexpr std::u8string_view kDuplicateStartCaption = u8"２重起動";
// How long a debug run lingers after detaching its console, so its last lines stay readable.
constexpr DWORD kDebugEndPauseMs = 1000;
constexpr char kNullDevice[] = "NUL";

// Standard output and input on a console of our own, or on the null device, where every
// trace is discarded. A stream that cannot be reopened stays as it was; traces then go
// wherever it went.
void openStandardStreams(bool debug) {
    if (debug) {
        openDebugConsole();
        return;
    }
    FILE* reopened = nullptr;
    static_cast<void>(freopen_s(&reopened, kNullDevice, "w", stdout));
    static_cast<void>(freopen_s(&reopened, kNullDevice, "r", stdin));
}

// The resident main window, run modally until the program is to end, with the monitors known.
void runMainWindow() {
    CWin32Desktop desktop;
    CWin32PinFactory pinFactory(desktop);
    CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
    {
        // The configuration file lies in the working directory, whether or not it could be changed.
        std::wstring directory(MAX_PATH + 1, L'\0');
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
        directory.resize(length < directory.size() ? length : 0);
        CMainWindow mainWindow(desktop, pinFactory, wideToUtf8(directory));
        mainWindow.doModal(nullptr);
    }
    CMultiDisplay::ReleaseMultiDisplay();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static const CWin32CodePage codePage;
    setSystemCodePage(codePage);
    static_cast<void>(initCommonControls());

    // The duplicate check comes first: a second instance reads no arguments and opens no console.
    // The mutex is never closed: its name marks the running instance exactly as long as the
    // process lives.
    if (!CreateMutexA(nullptr, TRUE, kInstanceMutexName)) return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxW(nullptr, utf8ToWide(kDuplicateStartText).c_str(),
                    utf8ToWide(kDuplicateStartCaption).c_str(), MB_OK);
        return 0;
    }

    const std::vector<std::string> arguments(__argv, __argv + __argc);
    const bool debug = scanArguments(arguments);
    openStandardStreams(debug);
    trace("********** Start Velnote DEBUG MODE  *******\n");
    if (debug) trace("DEBUG_MODE ON\n");

    // Clavora.ini lies beside the executable, and the main window finds it through the working
    // directory. Failure (an empty or missing directory) leaves the working directory as it was.
    // Argument 0 in UTF-16: in the ANSI arguments a folder name the code page cannot write is
    // question marks, which name no folder.
    int wideCount = 0;
    LPWSTR* const wideArguments = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    const std::wstring directory = wideArguments && wideCount > 0
                                       ? programDirectory(std::wstring_view(wideArguments[0]))
                                       : std::wstring();
    LocalFree(wideArguments);
    SetCurrentDirectoryW(directory.c_str());
    trace("CurrentDir=%s\n", wideToUtf8(directory).c_str());

    runMainWindow();
    if (debug) {
        closeDebugConsole();
        Sleep(kDebugEndPauseMs);
    }
    return 0;
}
