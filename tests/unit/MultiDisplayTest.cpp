#include "desktop/MultiDisplay.h"

#include "base/Trace.h"
#include "fake/FakeDesktop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class MultiDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([this](const std::string& line) { traces += line; });
    }
    void TearDown() override {
        setTraceSink({});
        CMultiDisplay::ReleaseMultiDisplay();
    }

    CFakeDesktop desktop;
    std::string traces;
};

TEST_F(MultiDisplayTest, TheInstanceIsEmptyUntilEnumerated) {
    CMultiDisplay* display = CMultiDisplay::GetMultiDisplay();
    EXPECT_EQ(CMultiDisplay::GetMultiDisplay(), display);
    EXPECT_EQ(display->GetMonitorCount(), 0);
    EXPECT_TRUE(display->monitors().empty());
}

TEST_F(MultiDisplayTest, PrimaryComesFirstWhateverTheEnumerationOrder) {
    const MonitorRecord left{
        {-1280, 0, 0, 1024}, {-1280, 0, 0, 984}, 0, "\\\\.\\DISPLAY2", {-1280, 0, 0, 1024}};
    const MonitorRecord right{
        {1920, 0, 3200, 1024}, {1920, 0, 3200, 984}, 0, "\\\\.\\DISPLAY3", {1920, 0, 3200, 1024}};
    const MonitorRecord primary{
        {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 1, "\\\\.\\DISPLAY1", {0, 0, 1920, 1080}};
    desktop.setMonitors({left, primary, right});
    CMultiDisplay* display = CMultiDisplay::GetMultiDisplay();
    display->EnumMonitors(desktop);
    EXPECT_EQ(display->GetMonitorCount(), 3);
    ASSERT_EQ(display->monitors().size(), 3u);
    EXPECT_EQ(display->monitors()[0].device, primary.device);
    EXPECT_EQ(display->monitors()[1].device, left.device);
    EXPECT_EQ(display->monitors()[2].device, right.device);

    // Reading them again after the setup changed gives today's monitors only.
    desktop.setMonitors({primary});
    EXPECT_EQ(display->GetMonitorCount(), 3);
    display->EnumMonitors(desktop);
    EXPECT_EQ(display->GetMonitorCount(), 1);
    ASSERT_EQ(display->monitors().size(), 1u);
    EXPECT_EQ(display->monitors()[0].device, primary.device);
}

TEST_F(MultiDisplayTest, EachMonitorIsTraced) {
    desktop.setMonitors({MonitorRecord{{1, 2, 3, 4}, {5, 6, 7, 8}, 1, "\\\\.\\DISPLAY1", {9, 10, 11, 12}}});
    CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
    EXPECT_EQ(traces,
              "rcMonitor top=2, left=1, bottom=4, right=3\n"
              "rcWork top=6, left=5, bottom=8, right=7\n"
              "Flag = 1\n"
              "rcMonitor top=10, left=9, bottom=12, right=11\n");
}

TEST_F(MultiDisplayTest, ReleaseForgetsTheMonitors) {
    CMultiDisplay::GetMultiDisplay()->EnumMonitors(desktop);
    EXPECT_EQ(CMultiDisplay::GetMultiDisplay()->GetMonitorCount(), 1);
    CMultiDisplay::ReleaseMultiDisplay();
    EXPECT_EQ(CMultiDisplay::GetMultiDisplay()->GetMonitorCount(), 0);
}

constexpr CMultiDisplay::Grip kPinGrip{52, 62};

struct DragCase {
    const char* what;
    std::vector<Rect> monitors;
    Rect from;
    Rect to;
    Rect stop;
};

// A 400 x 400 window dragged with a pin 52 pixels wide and 62 high.
TEST_F(MultiDisplayTest, ADragStopsWhereTheWindowsCaptionStripWouldLeaveTheMonitors) {
    const Rect primary{0, 0, 1920, 1080};
    // A second, lower monitor to the right, and one to the left of the primary.
    const std::vector<Rect> sideBySide{primary, {1920, 0, 3200, 1024}};
    const std::vector<Rect> leftOfPrimary{primary, {-1280, 0, 0, 1024}};
    const Rect home{100, 200, 500, 600};
    const DragCase cases[] = {
        {"within a monitor", {primary}, home, {900, 600, 1300, 1000}, {900, 600, 1300, 1000}},
        {"onto the other monitor", sideBySide, home, {2000, 500, 2400, 900}, {2000, 500, 2400, 900}},
        {"below the bottom", {primary}, home, {1100, 1100, 1500, 1500}, {1100, 1018, 1500, 1418}},
        {"above the top", {primary}, home, {100, -300, 500, 100}, {100, 0, 500, 400}},
        {"past the right edge", sideBySide, home, {3500, 200, 3900, 600}, {3148, 200, 3548, 600}},
        {"past the left edge", leftOfPrimary, home, {-2000, 200, -1600, 600}, {-1628, 200, -1228, 600}},
        {"below the lower monitor",
         sideBySide,
         {2000, 100, 2400, 500},
         {2000, 1050, 2400, 1450},
         {2000, 962, 2400, 1362}},
        {"diagonally off: across first, then down",
         sideBySide,
         home,
         {3500, 1200, 3900, 1600},
         {3148, 962, 3548, 1362}},
        // Under the lower monitor's bottom only the primary holds the caption strip whole.
        {"along the bottom into the gap",
         sideBySide,
         {1400, 1010, 1800, 1410},
         {2000, 1010, 2400, 1410},
         {1868, 1010, 2268, 1410}},
        {"a window out of reach already",
         {primary},
         {5000, 5000, 5400, 5400},
         {6000, 6000, 6400, 6400},
         {6000, 6000, 6400, 6400}},
        {"no monitors known", {}, home, {9000, 9000, 9400, 9400}, {9000, 9000, 9400, 9400}},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<MonitorRecord> monitors;
        for (const Rect& m : c.monitors)
            monitors.push_back(MonitorRecord{m, m, monitors.empty() ? 1u : 0u, "", m});
        desktop.setMonitors(monitors);
        CMultiDisplay* display = CMultiDisplay::GetMultiDisplay();
        display->EnumMonitors(desktop);
        EXPECT_EQ(display->dragStop(c.from, c.to, kPinGrip), c.stop);
        EXPECT_TRUE(display->keepsGrip(c.stop, kPinGrip) || !display->keepsGrip(c.from, kPinGrip));
    }
}

TEST_F(MultiDisplayTest, AWindowNarrowerThanThePinNeedsItsWholeTopEdgeOnAMonitor) {
    CMultiDisplay* display = CMultiDisplay::GetMultiDisplay();
    display->EnumMonitors(desktop);
    EXPECT_TRUE(display->keepsGrip(Rect{1890, 10, 1920, 40}, kPinGrip));
    EXPECT_FALSE(display->keepsGrip(Rect{1891, 10, 1921, 40}, kPinGrip));
    EXPECT_FALSE(display->keepsGrip(Rect{0, 1080, 30, 1110}, kPinGrip));
    EXPECT_TRUE(display->keepsGrip(Rect{0, 1050, 30, 1080}, kPinGrip));
    // A window at the top of the monitor keeps its pin on it.
    EXPECT_EQ(display->keptOnMonitorAt(Rect{20, -32, 72, 30}, 20, 0), (Rect{20, 0, 72, 62}));
    EXPECT_EQ(display->keptOnMonitorAt(Rect{20, -32, 72, 30}, 20, -1), (Rect{20, -32, 72, 30}));
}

TEST(RectOnAnyMonitor, ARectangleSharingAPixelWithAMonitorLiesOnIt) {
    const Rect first{0, 0, 1920, 1080};
    const Rect second{1920, 0, 3200, 1024};
    const std::vector<MonitorRecord> monitors{{first, first, 1, "\\\\.\\DISPLAY1", first},
                                              {second, second, 0, "\\\\.\\DISPLAY2", second}};
    const struct {
        const char* name;
        Rect r;
        bool on;
    } cases[] = {
        {"inside", Rect{10, 10, 300, 200}, true},
        {"across both", Rect{1900, 10, 1940, 200}, true},
        {"in the gap below the second", Rect{1920, 1024, 2000, 1080}, false},
        {"touching the right edge only", Rect{3200, 0, 3300, 100}, false},
        {"parked as a minimised window", Rect{-32000, -32000, -31840, -31970}, false},
        {"inside out, its corner on a monitor", Rect{300, 200, 10, 10}, true},
        {"inside out, its corner off every monitor", Rect{3300, 200, 10, 10}, false},
        {"empty, its corner on a monitor", Rect{10, 10, 10, 200}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(rectOnAnyMonitor(monitors, c.r), c.on) << c.name;
    EXPECT_FALSE(rectOnAnyMonitor({}, Rect{10, 10, 300, 200})) << "no monitors";
}

TEST(MovedInside, AWindowComesOntoTheAreaWholeOrWithItsTopLeftCorner) {
    const Rect area{0, 0, 1280, 984};
    const struct {
        const char* name;
        Rect r;
        Rect moved;
    } cases[] = {
        {"inside stays", Rect{10, 10, 300, 200}, Rect{10, 10, 300, 200}},
        {"past the right and bottom edges", Rect{400, 380, 1345, 1040}, Rect{335, 324, 1280, 984}},
        {"past the left and top edges", Rect{-50, -20, 250, 180}, Rect{0, 0, 300, 200}},
        {"wider and taller than the area", Rect{100, 100, 1500, 1100}, Rect{0, 0, 1400, 1000}},
    };
    for (const auto& c : cases) EXPECT_EQ(movedInside(c.r, area), c.moved) << c.name;
}

}  // namespace
