// A scripted file system that fails as Windows 10/11 does, with the Windows error codes:
// - CreateFile of a file in a missing folder: ERROR_PATH_NOT_FOUND (3); of a missing file for
//   reading: ERROR_FILE_NOT_FOUND (2).
// - A file another program holds open without sharing (a sync or backup tool): opening,
//   replacing or moving it gives ERROR_SHARING_VIOLATION (32) until that program lets go.
// - The read-only attribute: a file that has it cannot be opened for writing, replaced by
//   MoveFileEx or deleted: ERROR_ACCESS_DENIED (5).
// - A folder the user may not write in (its access list; the read-only attribute of a folder
//   is ignored by the system): no file can be created or moved there, ERROR_ACCESS_DENIED.
// - A full disk: WriteFile of more bytes than are free fails with ERROR_DISK_FULL (112).
// - MoveFileEx without MOVEFILE_REPLACE_EXISTING onto a file: ERROR_ALREADY_EXISTS (183).
// pause() moves the desktop's virtual clock on, as a Sleep on the program's one thread would.
#pragma once

#include "fake/FakeDesktop.h"
#include "pins/FileSystem.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace fakeerror {
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kDiskFull = 112;
constexpr std::uint32_t kAlreadyExists = 183;
}  // namespace fakeerror

class CFakeFileSystem : public CFileSystem {
public:
    struct File {
        std::string bytes;
        bool readOnly = false;
        // Held open by another program until the clock reaches this (UINT64_MAX: for good).
        std::uint64_t heldUntilMs = 0;
    };

    explicit CFakeFileSystem(CFakeDesktop& clock) : m_clock(clock) {}

    void addFolder(const FilePath& folder, bool writable = true);
    File& addFile(const FilePath& path, std::string bytes);
    // The file at path, or nullptr.
    File* file(const FilePath& path);
    // Bytes that may still be written; unlimited unless set.
    std::uint64_t freeBytes = UINT64_MAX;
    // Every call's path, in order ("read", "create", "move", "remove").
    std::vector<std::string> calls;

    FileResult readAll(const FilePath& path, std::string& bytes) override;
    std::unique_ptr<CNewFile> create(const FilePath& path, FileResult& result) override;
    FileResult move(const FilePath& from, const FilePath& to, bool replace) override;
    void remove(const FilePath& path) override;
    bool mayExist(const FilePath& path) override;
    void pause(unsigned ms) override { m_clock.advance(ms); }

private:
    friend class CFakeNewFile;
    bool held(const File& f) const { return f.heldUntilMs > m_clock.nowMs(); }
    // 0 when a file may be made at path, else the error.
    std::uint32_t creatable(const FilePath& path) const;

    CFakeDesktop& m_clock;
    std::map<FilePath, File> m_files;
    // Folder -> whether the user may write in it.
    std::map<FilePath, bool> m_folders;
};
