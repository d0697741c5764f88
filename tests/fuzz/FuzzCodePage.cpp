// The Shift-JIS helpers on arbitrary bytes, checked against what they promise: every answer
// lies on a character boundary, no read goes past the end, upper-casing touches only
// single-byte letters and is idempotent.
#include "FuzzCheck.h"
#include "desktop/CodePage.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

const CCp932CodePage cp;

// Where characters start in s, walking from the first byte.
std::vector<bool> boundaries(std::string_view s) {
    std::vector<bool> starts(s.size() + 1, false);
    std::size_t i = 0;
    while (i < s.size()) {
        starts[i] = true;
        const std::size_t length = mbCharLength(cp, s, i);
        FUZZ_CHECK(length == 1 || length == 2);
        FUZZ_CHECK(i + length <= s.size());
        i += length;
    }
    starts[s.size()] = true;
    return starts;
}

void checkFind(std::string_view s, std::string_view part, const std::vector<bool>& starts) {
    const std::size_t found = mbFind(cp, s, part);
    FUZZ_CHECK(mbContains(cp, s, part) == (found != std::string_view::npos));
    if (part.empty()) {
        FUZZ_CHECK(found == 0);
        return;
    }
    // The first occurrence that begins a character, found the slow way.
    std::size_t expected = std::string_view::npos;
    for (std::size_t at = s.find(part); at != std::string_view::npos; at = s.find(part, at + 1)) {
        if (starts[at]) {
            expected = at;
            break;
        }
    }
    FUZZ_CHECK(found == expected);
}

void checkFindLast(std::string_view s, char c, const std::vector<bool>& starts) {
    const std::size_t found = mbFindLast(cp, s, c);
    std::size_t expected = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (starts[i] && s[i] == c) expected = i;
    }
    FUZZ_CHECK(found == expected);
}

void checkUpper(std::string_view s, const std::vector<bool>& starts) {
    const std::string upper = mbUpper(cp, s);
    FUZZ_CHECK(upper.size() == s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool letter = starts[i] && s[i] >= 'a' && s[i] <= 'z';
        FUZZ_CHECK(upper[i] == (letter ? static_cast<char>(s[i] - 'a' + 'A') : s[i]));
    }
    FUZZ_CHECK(mbUpper(cp, upper) == upper);
}

}  // namespace

// The first byte splits the rest into the searched string and the part.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t split = bytes.empty() ? 0 : data[0] % (bytes.size() + 1);
    const std::string_view s = bytes.substr(0, split);
    const std::string_view part = bytes.substr(split);

    const std::vector<bool> starts = boundaries(s);
    checkFind(s, part, starts);
    checkFindLast(s, part.empty() ? '\\' : part.front(), starts);
    checkUpper(s, starts);
    return 0;
}
