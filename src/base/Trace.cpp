#include "base/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

std::function<void(const std::string&)>& traceSink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

}  // namespace

void trace(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length >= 0) {
        std::vector<char> text(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        if (traceSink()) {
            traceSink()(std::string(text.data(), static_cast<std::size_t>(length)));
        } else {
            std::fputs(text.data(), stdout);
            std::fflush(stdout);
        }
    }
    va_end(args);
}

void setTraceSink(std::function<void(const std::string&)> sink) { traceSink() = std::move(sink); }
