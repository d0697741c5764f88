#include "desktop/win32/Win32Desktop.h"

#include "base/Trace.h"
#include "base/win32/Handles.h"
#include "base/win32/Win32Util.h"
#include "desktop/CodePage.h"
#include "desktop/win32/VersionGuards.h"
#include "ui/win32/Dialog.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <vector>

namespace {

// A child that has not answered WM_GETTEXT within this time counts as having no text, so a
// hung program cannot freeze the pinning cycle.
constexpr UINT kControlTextTimeoutMs = 500;

// Other programs' windows are moved and reordered without waiting for their programs: a
// stopped program would otherwise freeze the pinning cycle.
constexpr UINT kNoWaitPos = SWP_ASYNCWINDOWPOS;

// How long a message of the window picture waits for the target's program.
constexpr UINT kPictureMessageTimeoutMs = 1000;

// Process paths are read into a buffer of this many characters, the longest path the system
// has.
constexpr DWORD kProcessPathChars = 32768;
// The rights ProcessAccess::full stands for. The system refuses them for a process of higher
// integrity, while it grants the limited query for every process of the session.
constexpr DWORD kProcessFullAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
// Enough to see whether a process has ended; granted for any process of the user's, elevated
// ones among them.
constexpr DWORD kProcessHoldAccess = SYNCHRONIZE;

// Key names start in a buffer of this many characters, doubled while a name fills it, up to
// the last size; no key name comes anywhere near it.
constexpr int kKeyNameFirstChars = 128;
constexpr int kKeyNameMostChars = 4096;

// The size GetMonitorInfoA expects for the record that carries the device name.
constexpr DWORD kMonitorInfoExBytes = sizeof(MONITORINFOEXA);

BOOL CALLBACK collectWindow(HWND h, LPARAM list) {
    reinterpret_cast<std::vector<WinHandle>*>(list)->push_back(toWinHandle(h));
    return TRUE;
}

BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, LPRECT enumRect, LPARAM list) {
    MonitorRecord record;
    if (enumRect) record.enumRect = toRect(*enumRect);
    MONITORINFOEXA info{};
    info.cbSize = kMonitorInfoExBytes;
    // A monitor whose record cannot be read is still reported, with an empty record.
    if (GetMonitorInfoA(monitor, &info)) {
        record.monitor = toRect(info.rcMonitor);
        record.work = toRect(info.rcWork);
        record.flags = info.dwFlags;
        record.device.assign(info.szDevice, strnlen(info.szDevice, sizeof(info.szDevice)));
    }
    record.dpi = static_cast<int>(MonitorDpi(monitor));
    reinterpret_cast<std::vector<MonitorRecord>*>(list)->push_back(std::move(record));
    return TRUE;
}

// Nothing else is handled meanwhile, as with the child texts: the wait is short either way.
bool handlesMessages(HWND h, UINT timeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs, &result) != 0;
}

ScreenPoint toScreenPoint(const POINT& p) { return ScreenPoint{p.x, p.y}; }
POINT toPOINT(const ScreenPoint& p) { return POINT{p.x, p.y}; }

// SetWindowLong on a window of another thread waits until that thread has taken the change,
// so a program that does not answer keeps its styles instead.
bool mayRestyle(HWND h) {
    if (GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId() || handlesMessages(h, kAnswerTimeoutMs))
        return true;
    trace("SetWindowLongA(0x%08x) skipped: the window does not answer\n", handleBits(toWinHandle(h)));
    return false;
}

// The full path of a process's executable; "" when the process cannot be opened with access or
// its path cannot be read.
std::wstring processPath(std::uint32_t processId, ProcessAccess access) {
    const DWORD rights =
        access == ProcessAccess::limited ? PROCESS_QUERY_LIMITED_INFORMATION : kProcessFullAccess;
    const CKernelHandle process(OpenProcess(rights, FALSE, processId));
    if (!process) return {};
    std::wstring path(kProcessPathChars, L'\0');
    DWORD length = kProcessPathChars;
    if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) return {};
    path.resize(length);
    return path;
}

// The program file's name without folder and extension ("Clavora"), the caption of the
// program's standard message boxes.
std::wstring programName() {
    const std::wstring path = programFilePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return name;
}

UINT messageBoxType(MsgButtons buttons, MsgIcon icon) {
    UINT type = buttons == MsgButtons::yesNo ? MB_YESNO : MB_OK;
    switch (icon) {
        case MsgIcon::none:
            break;
        case MsgIcon::exclamation:
            type |= MB_ICONEXCLAMATION;
            break;
        case MsgIcon::question:
            type |= MB_ICONQUESTION;
            break;
        case MsgIcon::information:
            type |= MB_ICONINFORMATION;
            break;
    }
    return type;
}

MsgAnswer showMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    const int answer = [&] {
        const CDialogBase::CNestedLoop loop;
        return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
    }();
    switch (answer) {
        case IDOK:
            return MsgAnswer::ok;
        case IDYES:
            return MsgAnswer::yes;
        case IDNO:
            return MsgAnswer::no;
        case 0:
            trace("MessageBoxW() Error=%d\n", static_cast<int>(GetLastError()));
            return MsgAnswer::cancel;
        default:
            return MsgAnswer::cancel;
    }
}

// A text read wide into a buffer of bufferChars as data text, cut as the desktop promises. A
// pair of UTF-16 units that the buffer cut in two loses its first half, which is no character.
std::string fullDataText(std::wstring_view read, std::size_t bufferChars) {
    if (!read.empty() && read.back() >= 0xD800 && read.back() <= 0xDBFF) read.remove_suffix(1);
    return dataTextCut(systemCodePage(), wideToDataText(read), bufferChars);
}

}  // namespace

std::vector<WinHandle> CWin32Desktop::topLevelWindows() {
    std::vector<WinHandle> windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool CWin32Desktop::isWindow(WinHandle h) { return IsWindow(toHwnd(h)) != FALSE; }
bool CWin32Desktop::isVisible(WinHandle h) { return IsWindowVisible(toHwnd(h)) != FALSE; }
bool CWin32Desktop::isEnabled(WinHandle h) { return IsWindowEnabled(toHwnd(h)) != FALSE; }
bool CWin32Desktop::isZoomed(WinHandle h) { return IsZoomed(toHwnd(h)) != FALSE; }

std::string CWin32Desktop::windowTitle(WinHandle h, std::size_t bufferBytes) {
    if (bufferBytes == 0) return {};
    // Read wide: the ANSI call would make '?' of every character the code page lacks.
    std::wstring buffer(bufferBytes, L'\0');
    GetWindowTextW(toHwnd(h), buffer.data(), static_cast<int>(bufferBytes));
    return fullDataText(buffer.c_str(), bufferBytes);
}

std::optional<std::string> CWin32Desktop::controlText(WinHandle h, std::size_t maxChars) {
    if (maxChars == 0) return std::string();
    // One character more than the limit, so the text is terminated whatever the control writes.
    std::wstring buffer(maxChars + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(toHwnd(h), WM_GETTEXT, maxChars, reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, kControlTextTimeoutMs, &copied)) {
        return std::nullopt;
    }
    return fullDataText(buffer.c_str(), maxChars);
}

bool CWin32Desktop::answers(WinHandle h, unsigned timeoutMs) { return handlesMessages(toHwnd(h), timeoutMs); }

std::string CWin32Desktop::className(WinHandle h, std::size_t maxChars) {
    if (maxChars == 0) return {};
    std::string buffer(maxChars + 1, '\0');
    GetClassNameA(toHwnd(h), buffer.data(), static_cast<int>(maxChars));
    return std::string(buffer.c_str());
}

int CWin32Desktop::controlId(WinHandle h) { return GetDlgCtrlID(toHwnd(h)); }

WindowInfo CWin32Desktop::windowInfo(WinHandle h) {
    WINDOWINFO info{};
    info.cbSize = sizeof(info);
    if (!GetWindowInfo(toHwnd(h), &info)) return {};
    WindowInfo out;
    out.window = toRect(info.rcWindow);
    out.client = toRect(info.rcClient);
    out.style = info.dwStyle;
    out.exStyle = info.dwExStyle;
    out.status = info.dwWindowStatus;
    out.borderX = info.cxWindowBorders;
    out.borderY = info.cyWindowBorders;
    out.classAtom = info.atomWindowType;
    out.creatorVersion = info.wCreatorVersion;
    return out;
}

std::vector<WinHandle> CWin32Desktop::descendantWindows(WinHandle parent) {
    std::vector<WinHandle> windows;
    // With no parent the walk would report every top-level window instead.
    if (parent == kNoWindow || !IsWindow(toHwnd(parent))) return windows;
    EnumChildWindows(toHwnd(parent), collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::uint32_t CWin32Desktop::style(WinHandle h) {
    return static_cast<std::uint32_t>(GetWindowLongA(toHwnd(h), GWL_STYLE));
}

std::uint32_t CWin32Desktop::exStyle(WinHandle h) {
    return static_cast<std::uint32_t>(GetWindowLongA(toHwnd(h), GWL_EXSTYLE));
}

void CWin32Desktop::setStyle(WinHandle h, std::uint32_t value) {
    if (mayRestyle(toHwnd(h))) SetWindowLongA(toHwnd(h), GWL_STYLE, static_cast<LONG>(value));
}

void CWin32Desktop::setExStyle(WinHandle h, std::uint32_t value) {
    if (mayRestyle(toHwnd(h))) SetWindowLongA(toHwnd(h), GWL_EXSTYLE, static_cast<LONG>(value));
}

Rect CWin32Desktop::windowRect(WinHandle h) {
    RECT r{};
    if (!GetWindowRect(toHwnd(h), &r)) return {};
    return toRect(r);
}

void CWin32Desktop::moveWindow(WinHandle h, const Rect& r, bool repaint, MoveWait wait) {
    // MoveWindow, which waits for the window's program unless told not to.
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (wait == MoveWait::no ? kNoWaitPos : 0) |
                       (repaint ? 0 : SWP_NOREDRAW);
    SetWindowPos(toHwnd(h), nullptr, r.left, r.top, r.width(), r.height(), flags);
}

WindowPlacement CWin32Desktop::placement(WinHandle h) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(toHwnd(h), &wp)) return {};
    return WindowPlacement{wp.flags, wp.showCmd, toScreenPoint(wp.ptMinPosition),
                           toScreenPoint(wp.ptMaxPosition), toRect(wp.rcNormalPosition)};
}

void CWin32Desktop::setPlacement(WinHandle h, const WindowPlacement& placement) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    wp.flags = placement.flags;
    wp.showCmd = placement.showCmd;
    wp.ptMinPosition = toPOINT(placement.minPosition);
    wp.ptMaxPosition = toPOINT(placement.maxPosition);
    wp.rcNormalPosition = toRECT(placement.normal);
    SetWindowPlacement(toHwnd(h), &wp);
}

// The picture's messages to a minimised target are asked with a time-out: a program that
// stops meanwhile must not freeze Clavora.
void CWin32Desktop::setRedraw(WinHandle h, bool on) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(toHwnd(h), WM_SETREDRAW, on ? TRUE : FALSE, 0, SMTO_ABORTIFHUNG,
                        kPictureMessageTimeoutMs, &result);
}

void CWin32Desktop::showNormal(WinHandle h) { ShowWindow(toHwnd(h), SW_SHOWNORMAL); }

void CWin32Desktop::minimizeByCommand(WinHandle h) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(toHwnd(h), WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_ABORTIFHUNG, kPictureMessageTimeoutMs,
                        &result);
}

ChangeResult CWin32Desktop::setTopmost(WinHandle h, bool topmost, Activation activation) {
    const UINT flags =
        SWP_NOMOVE | SWP_NOSIZE | kNoWaitPos | (activation == Activation::none ? SWP_NOACTIVATE : 0);
    if (SetWindowPos(toHwnd(h), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags)) {
        return ChangeResult::done;
    }
    const DWORD error = GetLastError();
    trace("SetWindowPos() Error=%d\n", static_cast<int>(error));
    // A window of a program with higher rights is refused with ERROR_ACCESS_DENIED.
    return error == ERROR_ACCESS_DENIED ? ChangeResult::denied : ChangeResult::failed;
}

std::optional<LayeredAttributes> CWin32Desktop::layeredAttributes(WinHandle h) {
    COLORREF colorKey = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(toHwnd(h), &colorKey, &alpha, &flags)) return std::nullopt;
    return LayeredAttributes{colorKey, alpha, flags};
}

bool CWin32Desktop::setLayeredAttributes(WinHandle h, const LayeredAttributes& attributes) {
    if (SetLayeredWindowAttributes(toHwnd(h), attributes.colorKey, attributes.alpha, attributes.flags))
        return true;
    trace("SetLayeredWindowAttributes() Error=%d\n", static_cast<int>(GetLastError()));
    return false;
}

WinHandle CWin32Desktop::foregroundWindow() { return toWinHandle(GetForegroundWindow()); }

std::uint32_t CWin32Desktop::cloak(WinHandle h) {
    DWORD bits = 0;
    // E_NOTIMPL (Windows 7, Wine) and every other failure: nothing the system hides.
    return SUCCEEDED(GetDwmCloak(toHwnd(h), bits)) ? bits : 0;
}

std::uint32_t CWin32Desktop::windowProcessId(WinHandle h) {
    DWORD processId = 0;
    GetWindowThreadProcessId(toHwnd(h), &processId);
    return processId;
}

std::string CWin32Desktop::processBaseName(std::uint32_t processId, ProcessAccess access) {
    // The executable's file name is the last part of its path, as the module list would name it;
    // cut in UTF-16, where no character's second byte can pass for a backslash.
    const std::wstring path = processPath(processId, access);
    const std::size_t slash = path.find_last_of(L"\\/");
    return wideToCodePage(slash == std::wstring::npos ? path : path.substr(slash + 1), CP_ACP);
}

std::string CWin32Desktop::processImagePath(std::uint32_t processId, ProcessAccess access) {
    return wideToCodePage(processPath(processId, access), CP_ACP);
}

ProcessHold CWin32Desktop::holdProcess(std::uint32_t processId) {
    CKernelHandle process(OpenProcess(kProcessHoldAccess, FALSE, processId));
    // An ended process lives on as an object while anyone holds it, but it owns no window
    // any more.
    if (!process || WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return kNoProcessHold;
    return reinterpret_cast<ProcessHold>(process.release());
}

bool CWin32Desktop::processEnded(ProcessHold hold) {
    return WaitForSingleObject(reinterpret_cast<HANDLE>(hold), 0) != WAIT_TIMEOUT;
}

void CWin32Desktop::releaseProcess(ProcessHold hold) { CloseHandle(reinterpret_cast<HANDLE>(hold)); }

namespace {

// The mandatory integrity level of a process's token (its label's last sub-authority); none
// when the token cannot be read.
std::optional<DWORD> integrityLevel(HANDLE process) {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) return std::nullopt;
    const CKernelHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.data(), size, &size))
        return std::nullopt;
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    if (count == 0) return std::nullopt;
    return *GetSidSubAuthority(sid, count - 1u);
}

}  // namespace

bool CWin32Desktop::runsElevated(std::uint32_t processId) {
    // The system keeps a program from the windows of programs at a higher integrity level.
    static const std::optional<DWORD> own = integrityLevel(GetCurrentProcess());
    const CKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process || !own) return false;
    const std::optional<DWORD> level = integrityLevel(process.get());
    return level && *level > *own;
}

std::vector<MonitorRecord> CWin32Desktop::enumerateMonitors() {
    std::vector<MonitorRecord> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

int CWin32Desktop::monitorDpi(WinHandle h) {
    return static_cast<int>(MonitorDpi(MonitorFromWindow(toHwnd(h), MONITOR_DEFAULTTONEAREST)));
}

std::optional<Rect> CWin32Desktop::visibleFrame(WinHandle h) {
    // Without composition (Windows 7 with it off, Vista's basic look) or under Wine the call
    // fails, and the window rectangle is all there is.
    RECT bounds{};
    if (FAILED(GetDwmFrameBounds(toHwnd(h), bounds)) || IsRectEmpty(&bounds)) return std::nullopt;
    return toRect(bounds);
}

Rect CWin32Desktop::desktopRect() {
    RECT r{};
    GetWindowRect(GetDesktopWindow(), &r);
    return toRect(r);
}

Rect CWin32Desktop::workArea() {
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return toRect(r);
}

bool CWin32Desktop::registerHotKey(WinHandle owner, int id, unsigned modifiers, unsigned vk) {
    if (RegisterHotKey(toHwnd(owner), id, modifiers, vk)) return true;
    trace("RegisterHotKey() Error=%d\n", static_cast<int>(GetLastError()));
    return false;
}

void CWin32Desktop::unregisterHotKey(WinHandle owner, int id) { UnregisterHotKey(toHwnd(owner), id); }

MsgAnswer CWin32Desktop::messageBox(WinHandle owner, std::u8string_view text, std::u8string_view caption,
                                    MsgButtons buttons, MsgIcon icon) {
    return showMessageBox(toHwnd(owner), utf8ToWide(text), utf8ToWide(caption),
                          messageBoxType(buttons, icon));
}

MsgAnswer CWin32Desktop::programBox(WinHandle owner, std::u8string_view text, MsgButtons buttons,
                                    MsgIcon icon) {
    return showMessageBox(toHwnd(owner), utf8ToWide(text), programName(), messageBoxType(buttons, icon));
}

WinHandle CWin32Desktop::activeWindow() { return toWinHandle(GetActiveWindow()); }

std::string CWin32Desktop::keyName(unsigned vk) {
    const UINT scanCode = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    // The scan code goes in bits 16 to 23 and nothing else: no extended-key or "don't care" bit.
    const LONG keyData = static_cast<LONG>((scanCode & 0xFF) << 16);
    for (int size = kKeyNameFirstChars;; size *= 2) {
        std::string buffer(static_cast<std::size_t>(size), '\0');
        const int length = GetKeyNameTextA(keyData, buffer.data(), size);
        if (length < size - 1 || size >= kKeyNameMostChars) {
            buffer.resize(static_cast<std::size_t>(length > 0 ? length : 0));
            return buffer;
        }
    }
}
