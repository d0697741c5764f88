// What loading and saving Clavora.ini need of the file system. Paths are UTF-8, which
// writes every folder name, and the Windows side hands them to the wide calls in UTF-16, so
// that a folder name the code page cannot write still names its folder. CPosixFileSystem
// (host) and CWin32FileSystem carry it out; the tests script one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// A file's path in UTF-8 (never in the ANSI code page, which cannot write every name).
using FilePath = std::string;

// Why a file operation failed, as far as the caller acts on it.
enum class FileFault {
    none,
    // Nothing at the path, or its folder is missing.
    missing,
    // Another program holds the file open (a sharing or lock violation): it may let go soon.
    locked,
    // Something is at the path already, and was not to be replaced.
    exists,
    // Anything else: a full disk, no rights, a read-only file or folder, a broken disk.
    other,
};

struct FileResult {
    FileFault fault = FileFault::none;
    // The system's error code, for the trace; 0 when nothing failed.
    std::uint32_t error = 0;
    explicit operator bool() const { return fault == FileFault::none; }
};

// What a Windows error code means here; the fakes answer with these codes too.
FileResult windowsFileResult(std::uint32_t error);

// A file being written. Destroyed unfinished, it is closed as it stands.
class CNewFile {
public:
    virtual ~CNewFile() = default;
    virtual FileResult write(std::string_view bytes) = 0;
    // Pushes what was written down to the disk and closes the file.
    virtual FileResult finish() = 0;
};

class CFileSystem {
public:
    virtual ~CFileSystem() = default;
    // The whole content of path into bytes.
    virtual FileResult readAll(const FilePath& path, std::string& bytes) = 0;
    // Creates path anew, emptying a file that is there; nullptr with result set on failure.
    virtual std::unique_ptr<CNewFile> create(const FilePath& path, FileResult& result) = 0;
    // Puts from in the place of to in one step. With replace, a file at to is replaced;
    // without, a file at to fails the move (FileFault::exists). On failure to is as it was.
    virtual FileResult move(const FilePath& from, const FilePath& to, bool replace) = 0;
    virtual void remove(const FilePath& path) = 0;
    // Whether something (a file, a folder) may be at path: only a definite "nothing there"
    // gives false, a path that cannot even be looked at gives true.
    virtual bool mayExist(const FilePath& path) = 0;
    // Waits before an operation is tried again; the program does nothing else meanwhile.
    virtual void pause(unsigned ms) = 0;
};

// The system's file system; it lives as long as the process.
CFileSystem& systemFileSystem();

// The path as the user is shown it.
inline std::u8string pathForUser(const FilePath& path) { return std::u8string(path.begin(), path.end()); }
// The last part of the path, after its last '\' or '/'.
FilePath fileNameOf(const FilePath& path);
