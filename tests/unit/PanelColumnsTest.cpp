#include "pins/PanelColumns.h"

#include <gtest/gtest.h>

namespace {

TEST(PanelColumns, TheColumnsScaleAndTheTitleFitsBesideAScrollBar) {
    struct Case {
        int dpi;
        int clientWidth;
        int scrollBar;
        std::array<int, 3> widths;
    };
    const Case cases[] = {
        {96, 600, 17, {100, 300, 24}},
        {96, 296, 17, {100, 155, 24}},
        {144, 446, 25, {150, 235, 36}},
        {192, 1200, 34, {200, 600, 48}},
        // A list too narrow for anything still shows a title as wide as the program's name.
        {96, 50, 17, {100, 100, 24}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(panelColumnWidths(c.dpi, c.clientWidth, c.scrollBar), c.widths)
            << c.dpi << " DPI, " << c.clientWidth;
    }
}

}  // namespace
