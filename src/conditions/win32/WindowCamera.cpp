#include "conditions/win32/WindowCamera.h"

#include "base/Trace.h"
#include "base/win32/Win32Util.h"
#include "desktop/win32/VersionGuards.h"

#include <algorithm>
#include <cstdint>

namespace {

// What the picture holds before the target draws: a value no drawing leaves behind, since GDI
// writes 32-bit pixels with a zero top byte.
constexpr std::uint32_t kUndrawn = 0xFF010203;

// PW_RENDERFULLCONTENT, which the headers give only to programs built for Windows 8.1 and
// later: the window as composed on the screen, GPU-drawn content included.
constexpr UINT kRenderFullContent = 0x2;

}  // namespace

void CWin32WindowCamera::takePicture(WinHandle target, WinHandle showing, int width, int height) {
    m_picture.reset();
    if (width <= 0 || height <= 0) return;
    const CClientDC screen(toHwnd(showing));
    // A top-down 32-bit section, so that the pixels can be looked at directly.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_picture.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_picture || !bits) {
        trace("CreateDIBSection(%d, %d) Error=%d\n", width, height, static_cast<int>(GetLastError()));
        m_picture.reset();
        return;
    }
    auto* const first = static_cast<std::uint32_t*>(bits);
    std::uint32_t* const last = first + static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::fill(first, last, kUndrawn);

    const CMemoryDcHandle memory(CreateCompatibleDC(screen.get()));
    const CSelectObject selected(memory.get(), m_picture.get());
    // Whatever the target draws is the picture; whether it says it succeeded tells nothing.
    PrintWindow(toHwnd(target), memory.get(), PrintsFullContent() ? kRenderFullContent : 0);
    GdiFlush();
    // Where another program cannot draw into this program's device context (Wine), nothing has
    // been drawn: what the screen shows of the window is the next best picture.
    if (std::all_of(first, last, [](std::uint32_t pixel) { return pixel == kUndrawn; })) {
        const CWindowDC source(toHwnd(target));
        BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    }
}
