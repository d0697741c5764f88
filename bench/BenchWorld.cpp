#include "BenchWorld.h"

#include "base/Trace.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kHiddenEvery = 5;
constexpr int kEditId = 100;
constexpr int kButtonId = 1;
constexpr int kStaticId = 0xFFFF;

int programCount(int windows) { return std::max(1, windows / kBenchWindowsPerProcess); }

std::string exeName(int program) { return "app" + std::to_string(program) + ".exe"; }

std::string windowTitle(int window, int windows) {
    return "Document " + std::to_string(window) + " - App " + std::to_string(window % programCount(windows));
}

std::string editText(int window) { return "text " + std::to_string(window); }

bool isHidden(int window) { return window % kHiddenEvery == kHiddenEvery - 1; }

// A shown window for record r to match.
int openWindowFor(int r, int windows) {
    int window = (r * 7) % windows;
    if (isHidden(window)) window = window > 0 ? window - 1 : 0;
    return window;
}

std::string upperExeName(int program) {
    std::string name = exeName(program);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

}  // namespace

std::vector<WinHandle> addBenchWindows(CFakeDesktop& desktop, int windows) {
    const int programs = programCount(windows);
    std::vector<std::uint32_t> pids;
    for (int p = 0; p < programs; ++p) {
        const std::uint32_t pid = desktop.newProcessId();
        desktop.addProcess(pid, exeName(p), "C:\\Program Files\\App" + std::to_string(p) + "\\" + exeName(p));
        pids.push_back(pid);
    }
    std::vector<WinHandle> added;
    for (int i = 0; i < windows; ++i) {
        const int left = 20 * (i % 40);
        const int top = 15 * (i % 50);
        const bool hidden = isHidden(i);
        const WinHandle h = desktop.addWindow({.title = hidden ? "" : windowTitle(i, windows),
                                               .pid = pids[static_cast<std::size_t>(i % programs)],
                                               .rect = Rect{left, top, left + 640, top + 480},
                                               .visible = !hidden});
        desktop.addChild(h, "Static", kStaticId, "Name:");
        desktop.addChild(h, "Edit", kEditId, editText(i));
        desktop.addChild(h, "Button", kButtonId, "OK");
        added.push_back(h);
    }
    return added;
}

std::vector<CPinData> makeBenchRecords(int windows, int records) {
    const int programs = programCount(windows);
    std::vector<CPinData> out;
    for (int r = 0; r < records; ++r) {
        CPinData record;
        const int window = openWindowFor(r, windows);
        record.m_exeName = upperExeName(window % programs);
        if (r % 50 == 9) {
            record.m_processFlag = 0;
            record.m_title = "Closed " + std::to_string(r);
        } else if (r % 20 == 3) {
            record.m_title = windowTitle(window, windows);
            record.m_extentFlag = 1;
            record.m_exClassName = "Edit";
            record.m_exCtrlID = kEditId;
            record.m_exText = editText(window);
        } else if (r % 10 == 5) {
            record.m_fullFlag = 0;
            record.m_titlePart = "Report";
        } else if (r % 10 == 0) {
            record.m_title = windowTitle(window, windows);
        } else if (r % 2 == 0) {
            // A document closed long ago, of a program that is running.
            record.m_title = "Document " + std::to_string(windows + r) + " - App";
        } else {
            // A program that is not running.
            record.m_exeName = "TOOL" + std::to_string(r) + ".EXE";
            record.m_title = "Tool " + std::to_string(r);
        }
        out.push_back(record);
    }
    return out;
}

CBenchDesk::CBenchDesk(int windowCount, int records) {
    // Starting a pin traces its title; the benchmark's output is for its figures.
    setTraceSink([](const std::string&) {});
    windows = addBenchWindows(desktop, windowCount);
    panel.m_pins = makeBenchRecords(windowCount, records);
    // Two cycles: the first puts the pins up, the second is the steady state.
    panel.runCycle();
    panel.runCycle();
    pinned = static_cast<int>(std::count_if(panel.m_pins.begin(), panel.m_pins.end(),
                                            [](const CPinData& p) { return p.m_pinned == 1; }));
}

CBenchDesk::~CBenchDesk() {
    factory.destroyAlive();
    setTraceSink({});
}
