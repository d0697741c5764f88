#include "desktop/win32/HotKeyExCtrl.h"

#include "base/Trace.h"
#include "base/win32/Handles.h"

namespace {

// At most one field captures at a time; the hook runs on the thread that installed it, so
// these need no locking.
CHookHandle g_hook;
HWND g_capturingWindow = nullptr;
CCapturedKeys g_capturedKeys;

constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code != HC_ACTION) return CallNextHookEx(g_hook.get(), code, wParam, lParam);
    switch (wParam) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: {
            const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
            // Plain and system keys alike: WM_SYSKEY* differ from WM_KEY* only in bit 0x4.
            const UINT message = (static_cast<UINT>(wParam) & ~0x4u) + WM_USER;
            const bool down = message == kWmHotKeyExKeyDown;
            if (!g_capturedKeys.take(down, static_cast<std::uint16_t>(event->vkCode)))
                return CallNextHookEx(g_hook.get(), code, wParam, lParam);
            PostMessageW(g_capturingWindow, message, event->vkCode, 0);
            // Swallowed: the key reaches no window, here or elsewhere.
            return 1;
        }
        default:
            return CallNextHookEx(g_hook.get(), code, wParam, lParam);
    }
}

}  // namespace

CHotKeyExCtrl::~CHotKeyExCtrl() {
    if (g_capturingWindow != nullptr && g_capturingWindow == hwnd()) stopCapture();
}

void CHotKeyExCtrl::SetHotKeyMod(std::uint16_t vk, std::uint16_t externalModifiers) {
    CHotKeyExState::SetHotKeyMod(vk, externalModifiers);
    redrawNow();
}

void CHotKeyExCtrl::startCapture() {
    if (g_hook) return;
    clearHeld();
    g_capturedKeys.begin([](std::uint16_t vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; });
    g_capturingWindow = hwnd();
    installHook();
}

void CHotKeyExCtrl::installHook() {
    g_hook.reset(SetWindowsHookExA(WH_KEYBOARD_LL, keyboardHook, GetModuleHandleA(nullptr), 0));
    // Without the hook the field shows its value but takes no keys until the focus returns.
    if (!g_hook) trace("SetWindowsHookEx() Error=%lu\n", GetLastError());
}

bool CHotKeyExCtrl::tookMissedKey(UINT message, WPARAM vk) {
    if (g_capturingWindow != hwnd() || !g_hook) return false;
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    // A key the hook would have swallowed reached the field: the system removed the hook, as
    // it does without a word when the thread was too slow to answer it once. Put back, it
    // takes the keys that follow; this one is taken here.
    if (!g_capturedKeys.take(down, static_cast<std::uint16_t>(vk))) return false;
    trace("the hotkey field's keyboard hook was removed; installed again\n");
    installHook();
    onKey(down, static_cast<std::uint16_t>(vk));
    redrawNow();
    return true;
}

void CHotKeyExCtrl::stopCapture() {
    g_hook.reset();
    g_capturingWindow = nullptr;
}

void CHotKeyExCtrl::redrawNow() {
    if (hwnd() != nullptr) RedrawWindow(hwnd(), nullptr, nullptr, kRedrawNow);
}

void CHotKeyExCtrl::paint() {
    const CPaintDC paint(hwnd());
    const HDC dc = paint.get();
    // The dialog's font, or the one the DC has when the dialog names none.
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(GetParent(hwnd()), WM_GETFONT, 0, 0));
    const CSelectObject selected(dc, font != nullptr ? font : GetCurrentObject(dc, OBJ_FONT));
    const std::string text = displayText([this](unsigned vk) { return m_desktop.keyName(vk); });
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 1, 1, text.c_str(), static_cast<int>(text.size()));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SetCaretPos(extent.cx + 1, 1);
    SetBkMode(dc, OPAQUE);
}

std::optional<LRESULT> CHotKeyExCtrl::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS: {
            const LRESULT result = defaultProc(message, wParam, lParam);
            startCapture();
            return result;
        }
        case WM_KILLFOCUS: {
            const LRESULT result = defaultProc(message, wParam, lParam);
            stopCapture();
            return result;
        }
        case WM_DESTROY:
            if (g_capturingWindow == hwnd()) stopCapture();
            return std::nullopt;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (tookMissedKey(message, wParam)) return 0;
            return std::nullopt;
        case kWmHotKeyExKeyDown:
        case kWmHotKeyExKeyUp:
            onKey(message == kWmHotKeyExKeyDown, static_cast<std::uint16_t>(wParam));
            redrawNow();
            return 0;
        case WM_PAINT:
            paint();
            return 0;
        default:
            return std::nullopt;
    }
}
