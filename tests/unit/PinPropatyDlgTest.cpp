#include "fake/FakePinWindow.h"

#include <gtest/gtest.h>

namespace {

using Press = CFakePropatyDlg::Press;

TEST(CPinPropatyDlg, ShowsThePinsValuesWithThePercentageInRange) {
    CFakeDesktop desktop;
    struct Case {
        int percent;
        int shown;
    };
    for (const Case c : {Case{70, 70}, Case{20, 20}, Case{100, 100}, Case{5, 20}, Case{150, 100}}) {
        SCOPED_TRACE(c.percent);
        CFakePropatyDlg dialog(desktop, {});
        dialog.m_nPercent = c.percent;
        dialog.m_bControl = 1;
        dialog.OnInitDialog();
        EXPECT_EQ(dialog.spinPos, c.shown);
        EXPECT_EQ(dialog.spinLower, 20);
        EXPECT_EQ(dialog.spinUpper, 100);
        EXPECT_TRUE(dialog.checked);
    }
}

TEST(CPinPropatyDlg, OkHandsBackWhileThePinWindowExists) {
    CFakeDesktop desktop;
    const WinHandle pin = desktop.addWindow(FakeWindowSetup{});
    struct Case {
        const char* what;
        int hasOwner;
        bool pinGone;
        bool ok;
    };
    const Case cases[] = {
        {"pin window alive", 1, false, true},
        {"pin window gone", 1, true, false},
        {"opened for no pin", 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CFakePropatyDlg dialog(desktop, [&](CFakePropatyDlg& d) {
            d.checked = true;
            d.spinTo(10);
            if (c.pinGone) desktop.destroyWindow(pin);
            return Press::ok;
        });
        dialog.m_bHasOwner = c.hasOwner;
        dialog.m_hWndPin = pin;
        EXPECT_EQ(dialog.runModal(), c.ok);
        if (c.ok) {
            EXPECT_EQ(dialog.m_bControl, 1);
            EXPECT_EQ(dialog.m_nPercent, 20);
        }
    }
}

TEST(CPinPropatyDlg, CancelEndsWithCancel) {
    CFakeDesktop desktop;
    CFakePropatyDlg dialog(desktop, [](CFakePropatyDlg& d) {
        d.checked = true;
        return Press::cancel;
    });
    dialog.m_hWndPin = desktop.addWindow(FakeWindowSetup{});
    dialog.m_bHasOwner = 1;
    EXPECT_FALSE(dialog.runModal());
    EXPECT_EQ(dialog.m_bControl, 0);
}

}  // namespace
