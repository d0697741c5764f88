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

TEST(CPinPropatyDlg, APercentageTypedOutsideTheRangeIsRefusedAndTheDialogStays) {
    CFakeDesktop desktop;
    for (const int typed : {20, 100, 45, 5, 19, 101}) {
        SCOPED_TRACE(typed);
        const bool inRange = typed >= 20 && typed <= 100;
        int presses = 0;
        CFakePropatyDlg dialog(desktop, [&](CFakePropatyDlg& d) {
            // Refused, the user types 30 and presses OK again.
            d.type(++presses == 1 ? typed : 30);
            return Press::ok;
        });
        dialog.m_nPercent = 70;
        ASSERT_TRUE(dialog.runModal());
        EXPECT_EQ(dialog.m_nPercent, inRange ? typed : 30);
        EXPECT_EQ(presses, inRange ? 1 : 2);
        EXPECT_EQ(dialog.percentSelections, inRange ? 0 : 1);
        ASSERT_EQ(desktop.messageBoxes.size(), inRange ? 0U : 1U);
        if (!inRange) {
            EXPECT_EQ(desktop.messageBoxes[0].text, u8"透明度は20から100までの数値で指定してください.");
            desktop.messageBoxes.clear();
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
