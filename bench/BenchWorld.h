// The desktops the benchmarks run on: a fake world of many windows and processes, and pin
// records that look like a user's list after months of use.
#pragma once

#include "fake/FakeControlPanel.h"
#include "fake/FakeDesktop.h"
#include "fake/FakePinWindow.h"
#include "pins/PinData.h"

#include <vector>

// Windows per process: a few documents and tool windows each.
constexpr int kBenchWindowsPerProcess = 4;

// The fake world with a control panel on it, its records loaded and its pins put up.
struct CBenchDesk {
    CBenchDesk(int windows, int records);
    ~CBenchDesk();
    CBenchDesk(const CBenchDesk&) = delete;
    CBenchDesk& operator=(const CBenchDesk&) = delete;

    CFakeDesktop desktop;
    CFakePinFactory factory{desktop};
    CFakeControlPanel panel{desktop, factory};
    // The windows added, in Z order.
    std::vector<WinHandle> windows;
    // How many records hold a pin once the cycle has settled.
    int pinned = 0;
};

// windows top-level windows of windows / kBenchWindowsPerProcess programs, each with three
// controls; every fifth window is a hidden helper window without a title, as real desktops
// have many. Returns them in Z order.
std::vector<WinHandle> addBenchWindows(CFakeDesktop& desktop, int windows);

// records pin records for a world of windows windows: most with the process and whole-title
// conditions (a tenth of them on open windows, the rest on documents since closed or programs
// not running), every tenth with a title part that occurs nowhere, every twentieth with an
// extended condition on an open window, and every fiftieth with the title condition alone.
std::vector<CPinData> makeBenchRecords(int windows, int records);
