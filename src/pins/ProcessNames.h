// The executable names of the processes that own candidate windows, read once per process and
// reused while that process lives. Reading a name opens the process and walks its modules,
// which costs far more than everything else the cycle asks of a window; a process's executable
// never changes while it runs, so one reading serves its whole life.
//
// A process is held open while its windows are listed, so its id is given to no other process
// and a name can never outlive its process. Each cycle asks every process once whether it has
// ended, which is one question, not the three of opening it, reading it and closing it.
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
    ~CProcessNames();
    CProcessNames(const CProcessNames&) = delete;
    CProcessNames& operator=(const CProcessNames&) = delete;

    // A new cycle: every process is asked again, once, whether it has ended.
    void beginCycle();
    // The base name of the process's executable in upper case; "" when it cannot be read or
    // the process has ended. Valid until the next call.
    const std::string& upperBaseName(std::uint32_t processId);
    // The full path of the process's executable; "" as above.
    const std::string& imagePath(std::uint32_t processId);
    // Whether the process runs with higher rights than Clavora; false as above.
    bool runsElevated(std::uint32_t processId);
    // Forgets (and lets go of) every process that has ended or that no window asked for in
    // this cycle.
    void endCycle();

    // How many processes are remembered.
    std::size_t size() const { return m_processes.size(); }

private:
    struct Process {
        ProcessHold hold = kNoProcessHold;
        // The cycle in which the process was last asked for, and whether it still ran then.
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
