// The Windows side of FileSystem.h: the wide-character calls throughout, so that a path
// outside the ANSI code page still names its file.
#include "pins/FileSystem.h"

#include "base/win32/Handles.h"
#include "base/win32/Win32Util.h"

#include <windows.h>

#include <algorithm>

namespace {

FileResult lastResult() { return windowsFileResult(GetLastError()); }

class CWin32NewFile final : public CNewFile {
public:
    explicit CWin32NewFile(CKernelHandle file) : m_file(std::move(file)) {}

    FileResult write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
            DWORD done = 0;
            if (!WriteFile(m_file.get(), bytes.data(), chunk, &done, nullptr)) return lastResult();
            bytes.remove_prefix(done);
        }
        return {};
    }
    FileResult finish() override {
        const FileResult flushed = FlushFileBuffers(m_file.get()) ? FileResult{} : lastResult();
        m_file.reset();
        return flushed;
    }

private:
    CKernelHandle m_file;
};

class CWin32FileSystem final : public CFileSystem {
public:
    FileResult readAll(const FilePath& path, std::string& bytes) override {
        bytes.clear();
        // Others may go on reading and writing; only Clavora's own read must be whole.
        CKernelHandle file(CreateFileW(utf8ToWide(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return lastResult();
        char chunk[1 << 16];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) return lastResult();
            if (got == 0) return {};
            bytes.append(chunk, got);
        }
    }
    std::unique_ptr<CNewFile> create(const FilePath& path, FileResult& result) override {
        CKernelHandle file(CreateFileW(utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        result = file ? FileResult{} : lastResult();
        return file ? std::make_unique<CWin32NewFile>(std::move(file)) : nullptr;
    }
    FileResult move(const FilePath& from, const FilePath& to, bool replace) override {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
        return MoveFileExW(utf8ToWide(from).c_str(), utf8ToWide(to).c_str(), flags) ? FileResult{}
                                                                                    : lastResult();
    }
    void remove(const FilePath& path) override { DeleteFileW(utf8ToWide(path).c_str()); }
    bool mayExist(const FilePath& path) override {
        if (GetFileAttributesW(utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        return windowsFileResult(GetLastError()).fault != FileFault::missing;
    }
    void pause(unsigned ms) override { Sleep(ms); }
};

}  // namespace

CFileSystem& systemFileSystem() {
    static CWin32FileSystem files;
    return files;
}
