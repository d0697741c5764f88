#include "pinwindow/SizeDlg.h"

#include "fake/FakeDesktop.h"

#include <gtest/gtest.h>

namespace {

constexpr WinHandle kDialog{0x4242};
constexpr unsigned kWin = 8;
constexpr unsigned kCtrlAlt = 3;

// The dialog with its controls scripted: the hotkey field shows `shown`, the radio group and
// check box hold `options`.
class ScriptedSizeDlg : public CSizeDlg {
public:
    using CSizeDlg::CSizeDlg;

    std::pair<std::uint16_t, std::uint16_t> shown{90, kWin};
    std::pair<int, int> options{1, 1};
    int optionReads = 0;

protected:
    WinHandle dialogWindow() override { return kDialog; }
    std::pair<std::uint16_t, std::uint16_t> shownHotKey() override { return shown; }
    void readOptionControls() override {
        ++optionReads;
        m_nPinSize = options.first;
        m_bMoveEnable = options.second;
    }
};

class SizeDlgTest : public ::testing::Test {
protected:
    SizeDlgTest() {
        dlg.m_nHotKey = 90;
        dlg.m_nModifiers = kWin;
    }
    std::u8string lastMessage() const {
        return desktop.messageBoxes.empty() ? u8"" : desktop.messageBoxes.back().text;
    }

    CFakeDesktop desktop;
    ScriptedSizeDlg dlg{desktop};
};

TEST_F(SizeDlgTest, UnchangedHotKeyIsNotTestedOnOK) {
    EXPECT_TRUE(dlg.acceptOK());
    EXPECT_TRUE(desktop.callsOf(FakeCall::Kind::registerHotKey).empty());
    EXPECT_EQ(dlg.m_nHotKey, 90);
    EXPECT_EQ(dlg.m_nModifiers, static_cast<int>(kWin));
    EXPECT_EQ(dlg.m_nPinSize, 1);
    EXPECT_EQ(dlg.m_bMoveEnable, 1);
}

TEST_F(SizeDlgTest, FreeNewHotKeyIsTakenAndReleasedAtOnce) {
    dlg.shown = {'P', kCtrlAlt};
    EXPECT_TRUE(dlg.acceptOK());
    EXPECT_EQ(dlg.m_nHotKey, 'P');
    EXPECT_EQ(dlg.m_nModifiers, static_cast<int>(kCtrlAlt));
    ASSERT_EQ(desktop.callsOf(FakeCall::Kind::registerHotKey).size(), 1u);
    EXPECT_EQ(desktop.callsOf(FakeCall::Kind::registerHotKey)[0].id, kTestHotKeyId);
    EXPECT_EQ(desktop.registeredHotKeyCount(), 0u);
}

TEST_F(SizeDlgTest, TakenHotKeyKeepsTheDialogOpenAndChangesNothing) {
    desktop.holdHotKeyElsewhere(kCtrlAlt, 'P');
    dlg.shown = {'P', kCtrlAlt};
    EXPECT_FALSE(dlg.acceptOK());
    EXPECT_EQ(lastMessage(),
              u8"HotKey設定は既に他のアプリケーションで使用されています。他の組み合わせに変更してください.");
    EXPECT_EQ(dlg.m_nHotKey, 90);
    EXPECT_EQ(dlg.optionReads, 0);
}

TEST_F(SizeDlgTest, DuplicateCheckMessages) {
    dlg.checkDuplicate();
    EXPECT_EQ(lastMessage(), u8"現在の設定です。");
    EXPECT_TRUE(desktop.callsOf(FakeCall::Kind::registerHotKey).empty());

    dlg.shown = {'P', kCtrlAlt};
    dlg.checkDuplicate();
    EXPECT_EQ(lastMessage(), u8"設定可能です.");

    desktop.holdHotKeyElsewhere(kCtrlAlt, 'Q');
    dlg.shown = {'Q', kCtrlAlt};
    dlg.checkDuplicate();
    EXPECT_EQ(lastMessage(),
              u8"このキーの組み合わせは既に他のアプリケーションで使用されています。他の組み合わせに変更してく"
              u8"ださい.");
    EXPECT_TRUE(desktop.messageBoxes.back().appBox);
    EXPECT_EQ(dlg.m_nHotKey, 90);
}

}  // namespace
