// POSIX side of FileCommit.h; the Windows tree builds win32/FileCommit.cpp instead.
#include "pins/FileCommit.h"

#ifndef _WIN32

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

bool commitFile(std::FILE* f, std::uint32_t& error) {
    if (::fsync(::fileno(f)) == 0) return true;
    error = static_cast<std::uint32_t>(errno);
    return false;
}

bool replaceFile(const std::string& from, const std::string& to, std::uint32_t& error) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    error = static_cast<std::uint32_t>(errno);
    return false;
}

bool pathMayExist(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

#endif
