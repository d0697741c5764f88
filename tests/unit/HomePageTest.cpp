#include "app/HomePage.h"

#include "base/Trace.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(HomePage, LinksOpenTheBuildsAddressElseTheGuideBesideTheProgramElseNothing) {
    // A folder the Japanese ANSI code page has no bytes for, in UTF-8; read as Shift-JIS, the
    // last byte of 음 would take the '\' after it along as a trail byte.
    const std::string program = "C:\\Tools\\도구 모음\\Clavora.exe";
    const std::string guide = "C:\\Tools\\도구 모음\\guide.html";
    const struct {
        const char* address;
        bool guideThere;
        std::optional<std::string> opened;
        std::string traced;
    } cases[] = {
        {"https://clavora.example/", true, "https://clavora.example/", ""},
        {"", true, guide, ""},
        {"", false, std::nullopt, "openHomePage: no home page and no guide at " + guide + "\n"},
    };
    for (const auto& c : cases) {
        std::string traced;
        std::string asked;
        setTraceSink([&traced](const std::string& line) { traced += line; });
        const auto opened = homePageTarget(c.address, program, [&](const std::string& file) {
            asked = file;
            return c.guideThere;
        });
        setTraceSink({});
        EXPECT_EQ(opened, c.opened) << c.address << c.guideThere;
        EXPECT_EQ(traced, c.traced);
        if (!*c.address) {
            EXPECT_EQ(asked, guide);
        }
    }
}

}  // namespace
