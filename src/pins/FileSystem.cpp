// The portable part of FileSystem.h, and its POSIX side; the Windows tree builds
// win32/FileSystem.cpp for the rest.
#include "pins/FileSystem.h"

namespace {

// The Windows error codes that decide what a caller does.
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorSharingViolation = 32;
constexpr std::uint32_t kErrorLockViolation = 33;
constexpr std::uint32_t kErrorFileExists = 80;
constexpr std::uint32_t kErrorAlreadyExists = 183;

}  // namespace

FileResult windowsFileResult(std::uint32_t error) {
    switch (error) {
        case 0:
            return {};
        case kErrorFileNotFound:
        case kErrorPathNotFound:
            return {FileFault::missing, error};
        case kErrorSharingViolation:
        case kErrorLockViolation:
            return {FileFault::locked, error};
        case kErrorFileExists:
        case kErrorAlreadyExists:
            return {FileFault::exists, error};
        default:
            return {FileFault::other, error};
    }
}

FilePath fileNameOf(const FilePath& path) {
    const std::size_t cut = path.find_last_of("\\/");
    return cut == FilePath::npos ? path : path.substr(cut + 1);
}

#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

FileResult posixResult(int error) {
    switch (error) {
        case 0:
            return {};
        case ENOENT:
        case ENOTDIR:
            return {FileFault::missing, static_cast<std::uint32_t>(error)};
        case EEXIST:
            return {FileFault::exists, static_cast<std::uint32_t>(error)};
        default:
            return {FileFault::other, static_cast<std::uint32_t>(error)};
    }
}

class CPosixNewFile final : public CNewFile {
public:
    explicit CPosixNewFile(int fd) : m_fd(fd) {}
    ~CPosixNewFile() override {
        if (m_fd >= 0) ::close(m_fd);
    }
    CPosixNewFile(const CPosixNewFile&) = delete;
    CPosixNewFile& operator=(const CPosixNewFile&) = delete;

    FileResult write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t done = ::write(m_fd, bytes.data(), bytes.size());
            if (done < 0 && errno == EINTR) continue;
            if (done <= 0) return posixResult(done < 0 ? errno : ENOSPC);
            bytes.remove_prefix(static_cast<std::size_t>(done));
        }
        return {};
    }
    FileResult finish() override {
        const int synced = ::fsync(m_fd) == 0 ? 0 : errno;
        const int closed = ::close(m_fd) == 0 ? 0 : errno;
        m_fd = -1;
        return posixResult(synced != 0 ? synced : closed);
    }

private:
    int m_fd;
};

class CPosixFileSystem final : public CFileSystem {
public:
    FileResult readAll(const FilePath& path, std::string& bytes) override {
        bytes.clear();
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return posixResult(errno);
        char chunk[1 << 16];
        int error = 0;
        for (;;) {
            const ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) error = errno;
            if (got <= 0) break;
            bytes.append(chunk, static_cast<std::size_t>(got));
        }
        ::close(fd);
        return posixResult(error);
    }
    std::unique_ptr<CNewFile> create(const FilePath& path, FileResult& result) override {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        result = posixResult(fd < 0 ? errno : 0);
        return fd < 0 ? nullptr : std::make_unique<CPosixNewFile>(fd);
    }
    FileResult move(const FilePath& from, const FilePath& to, bool replace) override {
        if (replace) return posixResult(std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno);
        return posixResult(
            ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno);
    }
    void remove(const FilePath& path) override { ::unlink(path.c_str()); }
    bool mayExist(const FilePath& path) override {
        struct stat info {};
        return ::lstat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
    }
    void pause(unsigned ms) override { ::usleep(static_cast<useconds_t>(ms) * 1000u); }
};

}  // namespace

CFileSystem& systemFileSystem() {
    static CPosixFileSystem files;
    return files;
}

#endif
