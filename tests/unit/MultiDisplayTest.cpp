#include "desktop/MultiDisplay.h"

#include "desktop/Trace.h"
#include "fake/FakeDesktop.h"

#include <gtest/gtest.h>

#include <string>

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

    // Monitors connected later are not seen.
    desktop.setMonitors({primary});
    EXPECT_EQ(CMultiDisplay::GetMultiDisplay()->GetMonitorCount(), 3);
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

}  // namespace
