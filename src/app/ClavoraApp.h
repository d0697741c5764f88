// The start-up's decisions: the debug switch among the arguments and the executable's
// directory, which becomes the working directory (app/win32/Main.cpp carries the start-up out).
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr char kDebugSwitch[] = "-D482";

// True only for the switch itself, compared with its terminating zero: an argument that
// merely starts with it, is a prefix of it or differs in case does not count.
bool isDebugSwitch(std::string_view argument);

// Traces arguments 1 to the last ("%d番目の引数" labels) and tells whether the debug switch is
// among them. Argument 0, the program path, is not looked at.
bool scanArguments(const std::vector<std::string>& arguments);

// The text before the last '\' of the program path in UTF-16, in which any folder name
// survives and no unit of a character is a '\'; "" when there is no '\'.
std::wstring programDirectory(std::wstring_view programPath);
// The same in UTF-8, which also keeps any folder name and has no '\' inside a character.
std::string programDirectory(std::string_view programPath);
