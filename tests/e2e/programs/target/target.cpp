// A program whose windows the scenarios pin: top-level windows with a chosen title, class,
// rectangle, styles and layering, holding child controls of chosen classes, IDs and texts.
//
//   target.exe [window options] [controls]
//
// Window options:
//   --title TEXT         title (UTF-8; set with the wide API); "{n}" becomes the window's number
//   --class NAME         window class of the top-level windows (default "ClavoraTarget")
//   --rect X,Y,W,H       window rectangle (default 100,100,400,300); with --count every further
//                        window is placed 30 pixels further right and down
//   --count N            open N windows alike (default 1)
//   --layered ALPHA      start layered with this alpha (LWA_ALPHA)
//   --colorkey RRGGBB    start layered with this colour key (LWA_COLORKEY; with --layered both)
//   --per-pixel-alpha    layered, drawn once with UpdateLayeredWindow in opaque magenta
//                        (#FF00FF), as skinned players and shadowed windows draw themselves
//   --no-sysmenu         no system menu
//   --disabled-window    the window starts disabled
//   --topmost            the window starts in the topmost band
//   --show normal|maximized|minimized|hidden
//   --slots K            "{s}" in the title becomes the window's number modulo K
//   --retitle MS TITLE   every MS ms the windows switch between their title and TITLE ("{n}"
//                        and "{s}" as in --title) and back
//   --churn MS           each window closes after MS/2 to 3*MS/2 ms (at random) and a new one,
//                        numbered on, opens in its place: --count windows come and go for ever
//   --close-on-pin       a window closes itself as soon as another program changes its Z order
//                        (which is what a pin's start does)
//   --hold-hotkey MODIFIERS VK   holds that global hotkey (RegisterHotKey) from before its
//                        windows are printed until it exits, as the system holds Win+Z on
//                        newer Windows; exits with 3 when it cannot
// Controls, in creation order (which is the order a child walk reports them):
//   --ctrl CLASS ID TEXT    a child control
//   --group CLASS ID TEXT   a child that holds the controls that follow, up to --end
//                           (a "Button" group is a group box)
//   --end
//   --hidden, --disabled    the control given last starts hidden or disabled
//   --style BITS            extra style bits for the control given last
//
// Messages it understands, for hang tests: kHangMessage (WM_APP + 1) with wParam = milliseconds
// stops answering for that long.
//
// It prints one line per window once all are shown: "window=N<TAB>hwnd=0x...", and exits when
// the last of its windows is closed. Windows that --churn opens later are not printed.
#include "e2e/HelperProgram.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT kHangMessage = WM_APP + 1;
constexpr UINT_PTR kRetitleTimerId = 1;
constexpr UINT_PTR kChurnTimerId = 2;
constexpr int kCascadeWindows = 10;

constexpr int kMargin = 10;
constexpr int kRowHeight = 30;
constexpr int kControlHeight = 24;
constexpr int kControlWidth = 240;
constexpr int kGroupTop = 20;
constexpr int kCascadeStep = 30;
constexpr int kFontHeight = -14;

struct Control {
    std::string className;
    int id = 0;
    std::string text;
    bool hidden = false;
    bool disabled = false;
    DWORD extraStyle = 0;
    std::vector<Control> children;
    bool isGroup = false;
};

struct Options {
    std::string title = "Clavora target";
    std::string className = "ClavoraTarget";
    RECT rect{100, 100, 500, 400};
    int count = 1;
    bool layered = false;
    BYTE alpha = 255;
    bool colorKeyed = false;
    COLORREF colorKey = 0;
    bool perPixelAlpha = false;
    bool sysMenu = true;
    bool disabled = false;
    bool topmost = false;
    int show = SW_SHOWNORMAL;
    int slots = 1;
    UINT retitleMs = 0;
    std::string retitle;
    UINT churnMs = 0;
    bool closeOnPin = false;
    std::optional<std::pair<UINT, UINT>> heldHotKey;
    std::vector<Control> controls;
};

int g_openWindows = 0;
HFONT g_font = nullptr;
Options g_options;
// Windows that are shown, and so may take a close-on-pin request; and the last number given.
std::vector<HWND> g_shown;
int g_lastNumber = 0;

[[noreturn]] void usage(const std::string& problem) {
    std::fprintf(stderr, "target: %s\n", problem.c_str());
    std::exit(2);
}

std::string replaceAll(std::string title, const std::string& marker, const std::string& value) {
    for (std::size_t at = title.find(marker); at != std::string::npos;
         at = title.find(marker, at + value.size())) {
        title.replace(at, marker.size(), value);
    }
    return title;
}

std::string replaceNumber(const std::string& title, int number) {
    return replaceAll(replaceAll(title, "{n}", std::to_string(number)), "{s}",
                      std::to_string(number % g_options.slots));
}

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    // The list new controls go into: the window's, or the open group's.
    std::vector<std::vector<Control>*> open{&options.controls};
    Control* last = nullptr;
    std::size_t i = 0;
    auto next = [&](const char* what) -> const std::string& {
        if (i >= args.size()) usage(std::string("missing ") + what);
        return args[i++];
    };
    auto number = [&](const char* what) -> std::int64_t {
        const std::optional<std::int64_t> value = helper::parseNumber(next(what));
        if (!value) usage(std::string("not a number: ") + what);
        return *value;
    };
    while (i < args.size()) {
        const std::string option = args[i++];
        if (option == "--title") {
            options.title = next("title");
        } else if (option == "--class") {
            options.className = next("class");
        } else if (option == "--rect") {
            int x = 0, y = 0, w = 0, h = 0;
            if (std::sscanf(next("rect").c_str(), "%d,%d,%d,%d", &x, &y, &w, &h) != 4)
                usage("--rect X,Y,W,H");
            options.rect = RECT{x, y, x + w, y + h};
        } else if (option == "--count") {
            options.count = static_cast<int>(number("count"));
        } else if (option == "--layered") {
            options.layered = true;
            options.alpha = static_cast<BYTE>(number("alpha"));
        } else if (option == "--colorkey") {
            const std::int64_t rgb = std::strtoll(next("colour").c_str(), nullptr, 16);
            options.colorKeyed = true;
            options.colorKey = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        } else if (option == "--per-pixel-alpha") {
            options.perPixelAlpha = true;
        } else if (option == "--no-sysmenu") {
            options.sysMenu = false;
        } else if (option == "--disabled-window") {
            options.disabled = true;
        } else if (option == "--topmost") {
            options.topmost = true;
        } else if (option == "--show") {
            const std::string how = next("show");
            if (how == "normal") {
                options.show = SW_SHOWNORMAL;
            } else if (how == "maximized") {
                options.show = SW_SHOWMAXIMIZED;
            } else if (how == "minimized") {
                options.show = SW_SHOWMINIMIZED;
            } else if (how == "hidden") {
                options.show = SW_HIDE;
            } else {
                usage("--show normal|maximized|minimized|hidden");
            }
        } else if (option == "--slots") {
            options.slots = static_cast<int>(number("slots"));
            if (options.slots < 1) usage("--slots needs at least 1");
        } else if (option == "--retitle") {
            options.retitleMs = static_cast<UINT>(number("milliseconds"));
            options.retitle = next("title");
        } else if (option == "--churn") {
            options.churnMs = static_cast<UINT>(number("milliseconds"));
        } else if (option == "--close-on-pin") {
            options.closeOnPin = true;
        } else if (option == "--hold-hotkey") {
            const auto modifiers = static_cast<UINT>(number("modifiers"));
            options.heldHotKey = std::pair{modifiers, static_cast<UINT>(number("virtual key"))};
        } else if (option == "--ctrl" || option == "--group") {
            Control control;
            control.className = next("class");
            control.id = static_cast<int>(number("control ID"));
            control.text = next("text");
            control.isGroup = option == "--group";
            open.back()->push_back(std::move(control));
            last = &open.back()->back();
            if (last->isGroup) open.push_back(&last->children);
        } else if (option == "--end") {
            if (open.size() < 2) usage("--end without --group");
            open.pop_back();
            last = nullptr;
        } else if (option == "--hidden" || option == "--disabled" || option == "--style") {
            if (!last) usage(option + " needs a control before it");
            if (option == "--hidden") last->hidden = true;
            if (option == "--disabled") last->disabled = true;
            if (option == "--style") last->extraStyle |= static_cast<DWORD>(number("style"));
        } else {
            usage("unknown option " + option);
        }
    }
    if (open.size() != 1) usage("--group without --end");
    return options;
}

// Creates the controls of one list inside parent, one row each.
void createControls(HWND parent, const std::vector<Control>& controls, int top, int width) {
    int y = top;
    for (const Control& control : controls) {
        DWORD style = WS_CHILD | control.extraStyle;
        if (!control.hidden) style |= WS_VISIBLE;
        if (control.disabled) style |= WS_DISABLED;
        if (control.className == "Edit") style |= WS_BORDER | ES_AUTOHSCROLL;
        if (control.isGroup && control.className == "Button") style |= BS_GROUPBOX;
        const int height = control.isGroup
                               ? kGroupTop + static_cast<int>(control.children.size()) * kRowHeight + kMargin
                               : kControlHeight;
        HWND child = CreateWindowExW(
            0, utf8ToWide(control.className).c_str(), utf8ToWide(control.text).c_str(), style, kMargin, y,
            kControlWidth, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
            GetModuleHandleW(nullptr), nullptr);
        if (!child) {
            std::fprintf(stderr, "target: cannot create a %s control (error %lu)\n",
                         control.className.c_str(), GetLastError());
            std::exit(1);
        }
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
        if (control.isGroup) createControls(child, control.children, kGroupTop, width - 2 * kMargin);
        y += height + (kRowHeight - kControlHeight);
    }
}

HWND openWindow(int number);

UINT churnLifetime() {
    return g_options.churnMs / 2 + static_cast<UINT>(std::rand()) % (g_options.churnMs + 1);
}

bool isShown(HWND h) { return std::find(g_shown.begin(), g_shown.end(), h) != g_shown.end(); }

LRESULT CALLBACK windowProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kHangMessage:
            Sleep(static_cast<DWORD>(wParam));
            return 0;
        case WM_TIMER:
            if (wParam == kRetitleTimerId) {
                // The window's number is kept as a property, so the title can be made again.
                const int number = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(h, L"number")));
                const bool first = GetPropW(h, L"retitled") == nullptr;
                SetPropW(h, L"retitled", first ? reinterpret_cast<HANDLE>(1) : nullptr);
                const std::string& title = first ? g_options.retitle : g_options.title;
                SetWindowTextW(h, utf8ToWide(replaceNumber(title, number)).c_str());
            } else if (wParam == kChurnTimerId) {
                // The successor first, so the program never runs out of windows and quits.
                openWindow(++g_lastNumber);
                DestroyWindow(h);
            }
            return 0;
        case WM_WINDOWPOSCHANGING:
            if (g_options.closeOnPin && isShown(h) &&
                !(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOZORDER)) {
                PostMessageW(h, WM_CLOSE, 0, 0);
            }
            return DefWindowProcW(h, message, wParam, lParam);
        case WM_DESTROY:
            g_shown.erase(std::remove(g_shown.begin(), g_shown.end(), h), g_shown.end());
            RemovePropW(h, L"number");
            RemovePropW(h, L"retitled");
            if (--g_openWindows == 0) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(h, message, wParam, lParam);
    }
}

// The whole window in opaque magenta, premultiplied, as the system keeps it from now on: such
// a window gets no WM_PAINT, and loses its picture when its layered style is taken away.
void drawPerPixelAlpha(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    SIZE size{r.right - r.left, r.bottom - r.top};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* const first = static_cast<DWORD*>(bits);
    std::fill(first, first + static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy),
              0xFFFF00FFu);
    HGDIOBJ old = SelectObject(memory, picture);
    POINT origin{r.left, r.top};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (!UpdateLayeredWindow(h, screen, &origin, &size, memory, &source, 0, &blend, ULW_ALPHA)) {
        std::fprintf(stderr, "target: UpdateLayeredWindow failed (error %lu)\n", GetLastError());
    }
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

HWND openWindow(int number) {
    const Options& options = g_options;
    DWORD style = WS_OVERLAPPEDWINDOW;
    if (!options.sysMenu) style &= ~static_cast<DWORD>(WS_SYSMENU);
    if (options.disabled) style |= WS_DISABLED;
    DWORD exStyle = 0;
    if (options.topmost) exStyle |= WS_EX_TOPMOST;
    if (options.layered || options.colorKeyed || options.perPixelAlpha) exStyle |= WS_EX_LAYERED;

    // Coming and going windows cascade in a small range, so all stay on the screen.
    const int step = options.churnMs ? (number - 1) % kCascadeWindows : number - 1;
    const int offset = step * kCascadeStep;
    const RECT& r = options.rect;
    HWND h = CreateWindowExW(exStyle, utf8ToWide(options.className).c_str(),
                             utf8ToWide(replaceNumber(options.title, number)).c_str(), style, r.left + offset,
                             r.top + offset, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (!h) {
        std::fprintf(stderr, "target: CreateWindowExW failed (error %lu)\n", GetLastError());
        std::exit(1);
    }
    ++g_openWindows;
    SetPropW(h, L"number", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(number)));
    if (options.perPixelAlpha) {
        drawPerPixelAlpha(h);
    } else if (exStyle & WS_EX_LAYERED) {
        DWORD flags = 0;
        if (options.layered) flags |= LWA_ALPHA;
        if (options.colorKeyed) flags |= LWA_COLORKEY;
        SetLayeredWindowAttributes(h, options.colorKey, options.alpha, flags);
    }
    createControls(h, options.controls, kMargin, kControlWidth);
    ShowWindow(h, options.show);
    UpdateWindow(h);
    g_shown.push_back(h);
    if (options.retitleMs) SetTimer(h, kRetitleTimerId, options.retitleMs, nullptr);
    if (options.churnMs) SetTimer(h, kChurnTimerId, churnLifetime(), nullptr);
    return h;
}

}  // namespace

int main() {
    helper::useBinaryOutput();
    g_options = parseOptions(helper::arguments());
    std::srand(GetCurrentProcessId());
    const std::wstring className = utf8ToWide(g_options.className);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassExW(&windowClass)) {
        std::fprintf(stderr, "target: RegisterClassExW failed (error %lu)\n", GetLastError());
        return 1;
    }
    // A face the prefix maps to a Japanese font, so Japanese control texts show.
    g_font =
        CreateFontW(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS UI Gothic");

    if (g_options.heldHotKey &&
        !RegisterHotKey(nullptr, 1, g_options.heldHotKey->first, g_options.heldHotKey->second)) {
        std::fprintf(stderr, "target: RegisterHotKey failed (error %lu)\n", GetLastError());
        return 3;
    }
    std::vector<HWND> windows;
    for (g_lastNumber = 1; g_lastNumber <= g_options.count; ++g_lastNumber) {
        windows.push_back(openWindow(g_lastNumber));
    }
    --g_lastNumber;
    for (std::size_t n = 0; n < windows.size(); ++n) {
        helper::CLine()
            .add("window", static_cast<std::int64_t>(n + 1))
            .add("hwnd", helper::hwndText(windows[n]))
            .print();
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(g_font);
    return 0;
}
