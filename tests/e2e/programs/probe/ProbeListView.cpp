// "probe listview HWND": what a report-view list view of any program shows. The list view's
// item messages take pointers, so the records travel through memory in the list's process.
#include "base/win32/Handles.h"
#include "e2e/programs/probe/Probe.h"

#include <commctrl.h>

#include <string>

namespace probe {

namespace {

constexpr int kTextChars = 512;

// The records of one question, laid out in the list view's process.
struct RemoteRecords {
    LVITEMW item;
    RECT rect;
    wchar_t text[kTextChars];
};

// A block of memory in another process, freed with the object.
class CRemoteRecords {
public:
    explicit CRemoteRecords(HANDLE process) noexcept
        : m_process(process),
          m_address(static_cast<RemoteRecords*>(VirtualAllocEx(process, nullptr, sizeof(RemoteRecords),
                                                               MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
    ~CRemoteRecords() {
        if (m_address) VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    }
    CRemoteRecords(const CRemoteRecords&) = delete;
    CRemoteRecords& operator=(const CRemoteRecords&) = delete;

    RemoteRecords* address() const noexcept { return m_address; }
    bool write(const RemoteRecords& local) const {
        return WriteProcessMemory(m_process, m_address, &local, sizeof(local), nullptr) != FALSE;
    }
    bool read(RemoteRecords& local) const {
        return ReadProcessMemory(m_process, m_address, &local, sizeof(local), nullptr) != FALSE;
    }

private:
    HANDLE m_process;
    RemoteRecords* m_address;
};

// Item `row`, column `column`: its text, and for column 0 its image and state too.
bool readItem(HWND list, const CRemoteRecords& remote, int row, int column, RemoteRecords& out) {
    RemoteRecords local{};
    local.item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    local.item.iItem = row;
    local.item.iSubItem = column;
    local.item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    local.item.pszText = remote.address()->text;
    local.item.cchTextMax = kTextChars;
    if (!remote.write(local)) return false;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&remote.address()->item));
    return remote.read(out);
}

// A rectangle of the row (LVIR_BOUNDS: all of it, LVIR_ICON: its icon), in screen coordinates.
bool readRowRect(HWND list, const CRemoteRecords& remote, int row, RECT& out, int part = LVIR_BOUNDS) {
    RemoteRecords local{};
    local.rect.left = part;
    if (!remote.write(local)) return false;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&remote.address()->rect));
    if (!remote.read(local)) return false;
    out = local.rect;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&out), 2);
    return true;
}

}  // namespace

int listView(CArgs& args) {
    const HWND list = args.window("list view");
    args.done();
    if (!IsWindow(list)) return kNotFound;
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    const CKernelHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process) return kNotFound;
    const CRemoteRecords remote(process.get());
    if (!remote.address()) return kNotFound;

    const auto rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    const auto smallImages = SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    std::string widths;
    for (int column = 0; column < columns; ++column) {
        if (column > 0) widths += ',';
        widths += std::to_string(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    }
    RECT client{};
    GetClientRect(list, &client);
    helper::CLine()
        .add("rows", rows)
        .add("columns", columns)
        .hex("smallimages", static_cast<std::uint64_t>(smallImages))
        .add("selectionmark", SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0))
        .add("widths", widths)
        .add("clientwidth", client.right)
        .add("hscroll", (GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL) != 0)
        .print();
    for (int row = 0; row < rows; ++row) {
        RemoteRecords item{};
        RECT rect{};
        RECT icon{};
        if (!readItem(list, remote, row, 0, item) || !readRowRect(list, remote, row, rect) ||
            !readRowRect(list, remote, row, icon, LVIR_ICON)) {
            return kNotFound;
        }
        helper::CLine line;
        line.add("row", row)
            .add("image", item.item.iImage)
            .add("selected", (item.item.state & LVIS_SELECTED) != 0)
            .rect("rect", rect)
            .rect("icon", icon)
            .add("text0", wideToUtf8(item.text));
        for (int column = 1; column < columns; ++column) {
            if (!readItem(list, remote, row, column, item)) return kNotFound;
            line.add("text" + std::to_string(column), wideToUtf8(item.text));
        }
        line.print();
    }
    return kOk;
}

}  // namespace probe
