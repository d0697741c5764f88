// The executable names of the processes that own candidate windows, read once per process and
// reused while that process lives. Reading a name opens the process and walks its modules,
// which costs far more than everything else the cycle asks of a window; a process's executable
// never changes while it runs, so one reading serves its whole life.
//
// A process is known by its id and its start time together: an id given again to a later
// process comes with a later start time, so a name can never outlive its process. Each cycle
// asks every process once whether it is still the one that was read.
#pragma once

#include "desktop/Desktop.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

class CProcessNames {
public:
    // The desktop must outlive the names.
    explicit CProcessNames(CDesktop& desktop) : m_desktop(desktop) {}

    // A new cycle: every process is asked again, once, whether it has ended or been replaced.
    void beginCycle();
    // The base name of the process's executable in upper case; "" when it cannot be read or
    // the process has ended. Valid until the next call.
    const std::string& upperBaseName(std::uint32_t processId);
    // The full path of the process's executable; "" as above.
    const std::string& imagePath(std::uint32_t processId);
    // Whether the process runs with higher rights than Clavora; false as above.
    bool runsElevated(std::uint32_t processId);
    // Forgets every process that no window asked for in this cycle.
    void endCycle();

    // How many processes are remembered.
    std::size_t size() const { return m_processes.size(); }

private:
    struct Process {
        std::uint64_t startTime = 0;
        // The cycle in which the process was last asked for, and what it said then.
        std::uint64_t cycle = 0;
        bool alive = false;
        // Read when first wanted (most windows never need their path). An empty name is read
        // again next time: a process that is still starting may not list its modules yet.
        std::string upperBaseName;
        std::string imagePath;
        // A process's rights are fixed when it starts.
        std::optional<bool> elevated;
    };
    // The process, asked once per cycle; nullptr when it has ended or cannot be asked.
    Process* current(std::uint32_t processId);

    CDesktop& m_desktop;
    std::unordered_map<std::uint32_t, Process> m_processes;
    std::uint64_t m_cycle = 0;
};
