// "probe objects PID" and "probe terminate PID": what a process holds of the window system,
// for leak checks over a long run, and the end of a process the scenario chose.
#include "base/win32/Handles.h"
#include "e2e/programs/probe/Probe.h"

#include <windows.h>

#include <winternl.h>

#include <vector>

namespace probe {

namespace {

// Where the GDI handle table sits when the system does not count a process's objects itself
// (Wine): its address is in the process environment block, one 24-byte entry per handle, the
// entry's type byte non-zero while the handle lives.
constexpr std::size_t kPebGdiTableOffset = 0xF8;
constexpr std::size_t kGdiTableEntries = 0x10000;
constexpr std::size_t kGdiEntryBytes = 24;
constexpr std::size_t kGdiEntryTypeOffset = 14;

using QueryInformationProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

// The live entries in the process's own GDI handle table; -1 when it cannot be read.
std::int64_t gdiTableCount(HANDLE process) {
    const auto query = reinterpret_cast<QueryInformationProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return -1;
    std::uintptr_t table = 0;
    const auto* tableAt = reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTableOffset;
    if (!ReadProcessMemory(process, tableAt, &table, sizeof table, nullptr) || table == 0) return -1;
    std::vector<unsigned char> entries(kGdiTableEntries * kGdiEntryBytes);
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), entries.size(),
                           &read))
        return -1;
    std::int64_t live = 0;
    for (std::size_t at = 0; at + kGdiEntryBytes <= read; at += kGdiEntryBytes) {
        if (entries[at + kGdiEntryTypeOffset] != 0) ++live;
    }
    return live;
}

struct WindowCount {
    DWORD processId;
    std::int64_t count;
};

BOOL CALLBACK countWindow(HWND h, LPARAM param) {
    auto* windows = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == windows->processId) ++windows->count;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND h, LPARAM param) {
    countWindow(h, param);
    EnumChildWindows(h, countWindow, param);
    return TRUE;
}

}  // namespace

// gdi= and user= as GetGuiResources counts them, or where it does not (it gives 0 under
// Wine) gdi= from the GDI handle table and user= -1; windows= every window of the process,
// top-level and child.
int guiObjects(CArgs& args) {
    const auto processId = static_cast<DWORD>(args.number("pid"));
    args.done();
    const CKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) return kNotFound;
    std::int64_t gdi = GetGuiResources(process.get(), GR_GDIOBJECTS);
    std::int64_t user = GetGuiResources(process.get(), GR_USEROBJECTS);
    const char* source = "system";
    if (gdi == 0) {
        gdi = gdiTableCount(process.get());
        user = -1;
        source = "table";
    }
    WindowCount windows{processId, 0};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&windows));
    helper::CLine()
        .add("gdi", gdi)
        .add("user", user)
        .add("windows", windows.count)
        .add("source", source)
        .print();
    return kOk;
}

int terminate(CArgs& args) {
    const auto processId = static_cast<DWORD>(args.number("pid"));
    args.done();
    const CKernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    return process && TerminateProcess(process.get(), 1) ? kOk : kNotFound;
}

}  // namespace probe
