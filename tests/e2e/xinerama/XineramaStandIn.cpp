// A stand-in for libXinerama.so.1 that reports the heads named in CLAVORA_E2E_HEADS
// ("X,Y,W,H X,Y,W,H ..."), so that Wine, which reads its monitors from Xinerama when the X
// server has no RANDR, sees a desktop of several monitors on one virtual screen. Put on
// LD_LIBRARY_PATH, it is what Wine's X11 driver opens in place of the real library. Without
// heads it says that there is no Xinerama, and Wine takes the whole screen as one monitor.
#include <cstdio>
#include <cstdlib>

// The layouts of libXinerama's XineramaScreenInfo and Xlib's Bool; no X headers needed.
struct XineramaScreenInfo {
    int screen_number;
    short x_org;
    short y_org;
    short width;
    short height;
};
using Bool = int;
// Xlib's display; only ever passed through.
struct XDisplay;

namespace {

constexpr int kMaxHeads = 8;

// The heads of the environment, at most kMaxHeads; 0 when there are none or they do not read.
int readHeads(XineramaScreenInfo* heads) {
    const char* text = std::getenv("CLAVORA_E2E_HEADS");
    int count = 0;
    int used = 0;
    int x = 0, y = 0, w = 0, h = 0;
    while (text && count < kMaxHeads && std::sscanf(text, " %d,%d,%d,%d%n", &x, &y, &w, &h, &used) == 4) {
        if (w <= 0 || h <= 0) return 0;
        heads[count] = XineramaScreenInfo{count, static_cast<short>(x), static_cast<short>(y),
                                          static_cast<short>(w), static_cast<short>(h)};
        ++count;
        text += used;
    }
    return count;
}

}  // namespace

extern "C" {

Bool XineramaQueryExtension(XDisplay*, int* eventBase, int* errorBase) {
    XineramaScreenInfo heads[kMaxHeads];
    *eventBase = 0;
    *errorBase = 0;
    return readHeads(heads) > 0;
}

int XineramaQueryVersion(XDisplay*, int* major, int* minor) {
    *major = 1;
    *minor = 1;
    return 1;
}

Bool XineramaIsActive(XDisplay*) {
    XineramaScreenInfo heads[kMaxHeads];
    return readHeads(heads) > 0;
}

// The caller frees the array with XFree, which is free().
XineramaScreenInfo* XineramaQueryScreens(XDisplay*, int* number) {
    XineramaScreenInfo heads[kMaxHeads];
    *number = readHeads(heads);
    if (*number == 0) return nullptr;
    auto* copy = static_cast<XineramaScreenInfo*>(std::malloc(sizeof heads[0] * *number));
    if (!copy) {
        *number = 0;
        return nullptr;
    }
    for (int i = 0; i < *number; ++i) copy[i] = heads[i];
    return copy;
}

}  // extern "C"
