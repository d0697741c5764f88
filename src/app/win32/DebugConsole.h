// The debug console that "-D482" opens for the trace output, and how its close ends the
// session: with the pins given back and the file written, as a logoff does.
#pragma once

// Creates the console, puts the standard output and input on it and installs the handler of
// its events. Traces reach it only while its window is there. Nothing happens if the system
// gives no console.
void openDebugConsole();
// Whether openDebugConsole gave the process a console.
bool debugConsoleOpened() noexcept;
// True once the user has closed the console opened above (its window went out of sight or
// away); the console is then detached from the process. The close may come without any event
// to the handler (Wine sends none), so the main window asks this on a timer. User-interface
// thread only.
bool debugConsoleClosed() noexcept;
// Detaches the console from the process, if one was opened.
void closeDebugConsole() noexcept;
