// The system's GoogleTest library is built for an older language standard and lacks the
// printer of UTF-8 strings that its C++20 headers call, so a failed EXPECT_EQ on a fixed UI
// text (message boxes of the fake desktop) would not link. This stands in for it; being weak,
// it gives way to the library's own wherever the library has one.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace testing::internal {

__attribute__((weak)) void PrintU8StringTo(const ::std::u8string& s, ::std::ostream* os) {
    *os << "u8\"" << std::string(s.begin(), s.end()) << "\"";
}

}  // namespace testing::internal
