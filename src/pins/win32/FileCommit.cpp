#include "pins/FileCommit.h"

#include <windows.h>

#include <io.h>

bool commitFile(std::FILE* f, std::uint32_t& error) {
    const HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    if (file != INVALID_HANDLE_VALUE && FlushFileBuffers(file)) return true;
    error = GetLastError();
    return false;
}

bool replaceFile(const std::string& from, const std::string& to, std::uint32_t& error) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = GetLastError();
    return false;
}

bool pathMayExist(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}
