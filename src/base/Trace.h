// Diagnostic trace lines: printf-style, to the standard output (a console in debug mode,
// the null device otherwise). Traces never change behaviour.
#pragma once

#include <functional>
#include <string>

#if defined(__GNUC__)
#define CLAVORA_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define CLAVORA_PRINTF(fmt, args)
#endif

void trace(const char* format, ...) CLAVORA_PRINTF(1, 2);

// Tests install a sink to read the trace; an empty function restores the standard output.
void setTraceSink(std::function<void(const std::string&)> sink);
