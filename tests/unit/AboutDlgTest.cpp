#include "app/AboutDlg.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(AboutDlg, VersionLineTurnsCommasIntoHyphensAndSemicolonsIntoFullStops) {
    EXPECT_EQ(aboutVersionLine("Ver.:1, 0, 1, 120"), "Clavora Ver.:1- 0- 1- 120");
    EXPECT_EQ(aboutVersionLine("Ver.:2;0,,3 "), "Clavora Ver.:2.0--3 ");
    EXPECT_EQ(aboutVersionLine(""), "Clavora ");
}

TEST(AboutDlg, VersionResourceIsReadOnceItHasBeenRead) {
    CVersionStringCache cache;
    int reads = 0;
    const auto reader = [&reads]() -> std::optional<std::string> {
        ++reads;
        return "1, 0, 1, 120";
    };
    EXPECT_EQ(cache.get(reader), "Ver.:1, 0, 1, 120");
    EXPECT_EQ(cache.get(reader), "Ver.:1, 0, 1, 120");
    EXPECT_EQ(reads, 1);
}

TEST(AboutDlg, UnreadableVersionGivesAnEmptyTextAndIsAskedAgain) {
    CVersionStringCache cache;
    std::optional<std::string> value;
    int reads = 0;
    const auto reader = [&]() {
        ++reads;
        return value;
    };
    EXPECT_EQ(cache.get(reader), "");
    value = "1, 0";
    EXPECT_EQ(cache.get(reader), "Ver.:1, 0");
    EXPECT_EQ(reads, 2);
}

TEST(AboutDlg, OverlongVersionIsCutToTheBuffer) {
    CVersionStringCache cache;
    const std::string text = cache.get([] { return std::optional<std::string>(std::string(400, '9')); });
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 6), "Ver.:9");
}

}  // namespace
