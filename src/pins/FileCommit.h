// The two steps of a safe save that differ between systems. Paths are ANSI bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Pushes what was written to f down to the disk; false with the system's error code.
[[nodiscard]] bool commitFile(std::FILE* f, std::uint32_t& error);
// Puts the file from in the place of to in one step, replacing to when it exists; false with
// the system's error code, and then to is as it was.
[[nodiscard]] bool replaceFile(const std::string& from, const std::string& to, std::uint32_t& error);
// Whether something (a file, a folder) may be at path: only a definite "nothing there" gives
// false, a path that cannot even be looked at gives true.
bool pathMayExist(const std::string& path);
