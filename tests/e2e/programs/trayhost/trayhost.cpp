// A stand-in shell for the scenario that restarts the shell. Wine cannot restart its own
// explorer in the scenarios' desktop: the desktop window outlives the killed explorer, and a
// new "explorer /desktop" gives up. So once explorer is gone this program takes its place as
// the notification area: a "Shell_TrayWnd" window that takes the icon requests Shell_NotifyIcon
// sends (WM_COPYDATA, dwData the NIM_ code, the data starting with the icon's window handle,
// its ID and the NIF_ flags of what is to change), and that announces itself with
// "TaskbarCreated", as a restarted shell does.
//
//   trayhost.exe [--quiet]      --quiet: no "TaskbarCreated"; programs must find out alone
//
// It prints "ready=1 ms=T" when it answers, then one line per request:
//   "request=add|modify|delete hwnd=0x... id=N flags=0x... ok=0|1 ms=T",
// T being GetTickCount64's time, and exits when it gets WM_CLOSE.
#include "e2e/HelperProgram.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <utility>

namespace {

// The start of every request: the icon's window (32 bits, as on every platform), its ID and
// what the request changes.
struct IconKey {
    LONG window;
    UINT id;
    UINT flags;
};

std::set<std::pair<LONG, UINT>> g_icons;

const char* requestName(ULONG_PTR code) {
    switch (code) {
        case NIM_ADD:
            return "add";
        case NIM_MODIFY:
            return "modify";
        case NIM_DELETE:
            return "delete";
        default:
            return "other";
    }
}

// What the shell answers: adding a known icon and changing or removing an unknown one fail.
bool take(ULONG_PTR code, std::pair<LONG, UINT> icon) {
    switch (code) {
        case NIM_ADD:
            return g_icons.insert(icon).second;
        case NIM_MODIFY:
            return g_icons.count(icon) != 0;
        case NIM_DELETE:
            return g_icons.erase(icon) != 0;
        default:
            return true;
    }
}

LRESULT CALLBACK trayProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!data || data->cbData < sizeof(IconKey)) return FALSE;
        const auto* key = static_cast<const IconKey*>(data->lpData);
        const bool ok = take(data->dwData, {key->window, key->id});
        helper::CLine()
            .add("request", requestName(data->dwData))
            .hex("hwnd", static_cast<std::uint32_t>(key->window))
            .add("id", static_cast<std::int64_t>(key->id))
            .hex("flags", key->flags)
            .add("ok", ok)
            .add("ms", static_cast<std::int64_t>(GetTickCount64()))
            .print();
        return ok ? TRUE : FALSE;
    }
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(h, message, wParam, lParam);
}

}  // namespace

int main() {
    helper::useBinaryOutput();
    const std::vector<std::string> args = helper::arguments();
    const bool quiet = !args.empty() && args[0] == "--quiet";

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = trayProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"Shell_TrayWnd";
    if (!RegisterClassExW(&windowClass)) {
        std::fprintf(stderr, "trayhost: RegisterClassExW failed (error %lu)\n", GetLastError());
        return 1;
    }
    if (!CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         windowClass.hInstance, nullptr)) {
        std::fprintf(stderr, "trayhost: CreateWindowExW failed (error %lu)\n", GetLastError());
        return 1;
    }
    helper::CLine().add("ready", 1).add("ms", static_cast<std::int64_t>(GetTickCount64())).print();
    if (!quiet) SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
