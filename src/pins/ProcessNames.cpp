#include "pins/ProcessNames.h"

#include "desktop/CodePage.h"
#include "pins/WinInf.h"

#include <optional>

namespace {

const std::string kNoName;

}  // namespace

void CProcessNames::beginCycle() { ++m_cycle; }

CProcessNames::Process* CProcessNames::current(std::uint32_t processId) {
    Process& process = m_processes[processId];
    if (process.cycle == m_cycle) return process.alive ? &process : nullptr;
    process.cycle = m_cycle;
    const std::optional<std::uint64_t> started = m_desktop.processStartTime(processId);
    const bool same = started && process.alive && process.startTime == *started;
    if (!same) {
        // Never seen, ended, or another process under an old id: nothing read before applies.
        process.upperBaseName.clear();
        process.imagePath.clear();
        process.elevated.reset();
        process.startTime = started.value_or(0);
    }
    process.alive = started.has_value();
    return process.alive ? &process : nullptr;
}

const std::string& CProcessNames::upperBaseName(std::uint32_t processId) {
    Process* process = current(processId);
    if (!process) return kNoName;
    if (process->upperBaseName.empty()) {
        process->upperBaseName = mbUpper(systemCodePage(), getProcessBaseName(m_desktop, processId));
    }
    return process->upperBaseName;
}

const std::string& CProcessNames::imagePath(std::uint32_t processId) {
    Process* process = current(processId);
    if (!process) return kNoName;
    if (process->imagePath.empty()) process->imagePath = getProcessImagePath(m_desktop, processId);
    return process->imagePath;
}

bool CProcessNames::runsElevated(std::uint32_t processId) {
    Process* process = current(processId);
    if (!process) return false;
    if (!process->elevated) process->elevated = m_desktop.runsElevated(processId);
    return *process->elevated;
}

void CProcessNames::endCycle() {
    std::erase_if(m_processes,
                  [this](const auto& entry) { return entry.second.cycle != m_cycle || !entry.second.alive; });
}
