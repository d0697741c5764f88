#include "pins/ProcessNames.h"

#include "desktop/CodePage.h"
#include "pins/WinInf.h"

#include <optional>

namespace {

const std::string kNoName;

}  // namespace

CProcessNames::~CProcessNames() {
    for (const auto& [id, process] : m_processes) {
        if (process.hold != kNoProcessHold) m_desktop.releaseProcess(process.hold);
    }
}

void CProcessNames::beginCycle() { ++m_cycle; }

CProcessNames::Process* CProcessNames::current(std::uint32_t processId) {
    Process& process = m_processes[processId];
    if (process.cycle == m_cycle) return process.alive ? &process : nullptr;
    process.cycle = m_cycle;
    if (process.hold == kNoProcessHold) {
        // Never seen, or seen ended: nothing read before applies.
        process = Process{};
        process.cycle = m_cycle;
        process.hold = m_desktop.holdProcess(processId);
        process.alive = process.hold != kNoProcessHold;
    } else {
        process.alive = !m_desktop.processEnded(process.hold);
    }
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
    std::erase_if(m_processes, [this](const auto& entry) {
        const Process& process = entry.second;
        if (process.cycle == m_cycle && process.alive) return false;
        if (process.hold != kNoProcessHold) m_desktop.releaseProcess(process.hold);
        return true;
    });
}
