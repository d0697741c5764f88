#include "pinwindow/SizeDlg.h"

#include "fake/FakeDesktop.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace {

constexpr WinHandle kDialog{0x4242};
constexpr unsigned kWin = 8;
constexpr unsigned kCtrlAlt = 3;

// The dialog with its controls scripted: the hotkey field shows `shown`, the radio group and
// check box show `controls`.
class ScriptedSizeDlg : public CSizeDlg {
public:
    using CSizeDlg::CSizeDlg;

    // Opens the dialog on the two pin settings: the controls show what it gives them.
    void open(int pinSize, int moveEnable) {
        m_nPinSize = pinSize;
        m_bMoveEnable = moveEnable;
        controls = initialOptions();
    }

    std::pair<std::uint16_t, std::uint16_t> shown{90, kWin};
    CSizeOptions controls;
    int optionReads = 0;

protected:
    WinHandle dialogWindow() override { return kDialog; }
    std::pair<std::uint16_t, std::uint16_t> shownHotKey() override { return shown; }
    CSizeOptions readOptionControls() override {
        ++optionReads;
        return controls;
    }
};

class SizeDlgTest : public ::testing::Test {
protected:
    SizeDlgTest() {
        dlg.m_nHotKey = 90;
        dlg.m_nModifiers = kWin;
        dlg.open(1, 0);
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
}

// What the controls show for the two pin settings, and what OK gives back after the user
// changed some of them (or none).
TEST_F(SizeDlgTest, PinSettingsChangeOnlyWhereTheUserChangedAControl) {
    struct Case {
        int pinSize, moveEnable;
        int shownIndex, shownChecked;
        std::optional<CSizeOptions> userSets;
        int wantPinSize, wantMoveEnable;
    };
    const Case cases[] = {
        {0, 1, 0, 1, std::nullopt, 0, 1},
        {1, 0, 1, 0, CSizeOptions{0, 0}, 0, 0},
        {0, 0, 0, 0, CSizeOptions{1, 1}, 1, 1},
        // Numbers from a hand-edited file show as what the pins make of them and come back
        // untouched until their control is changed.
        {2, 2, 1, 0, std::nullopt, 2, 2},
        {-1, -1, 1, 0, std::nullopt, -1, -1},
        {2, 2, 1, 0, CSizeOptions{1, 1}, 2, 1},
        {7, 3, 1, 0, CSizeOptions{0, 0}, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "PINSIZE=" << c.pinSize << " MOVEENABLE=" << c.moveEnable);
        dlg.open(c.pinSize, c.moveEnable);
        EXPECT_EQ(dlg.controls.pinSizeIndex, c.shownIndex);
        EXPECT_EQ(dlg.controls.moveChecked, c.shownChecked);
        if (c.userSets) dlg.controls = *c.userSets;
        EXPECT_TRUE(dlg.acceptOK());
        EXPECT_EQ(dlg.m_nPinSize, c.wantPinSize);
        EXPECT_EQ(dlg.m_bMoveEnable, c.wantMoveEnable);
    }
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
    EXPECT_EQ(desktop.messageBoxes.back().icon, MsgIcon::information);

    desktop.holdHotKeyElsewhere(kCtrlAlt, 'Q');
    dlg.shown = {'Q', kCtrlAlt};
    dlg.checkDuplicate();
    EXPECT_EQ(lastMessage(),
              u8"このキーの組み合わせは既に他のアプリケーションで使用されています。他の組み合わせに変更してく"
              u8"ださい.");
    EXPECT_TRUE(desktop.messageBoxes.back().appBox);
    EXPECT_EQ(desktop.messageBoxes.back().icon, MsgIcon::exclamation);
    EXPECT_EQ(dlg.m_nHotKey, 90);

    // The current combination that did not register is nobody's yet, or somebody else's.
    dlg.m_bCurrentRegistered = false;
    dlg.shown = {90, kWin};
    dlg.checkDuplicate();
    EXPECT_EQ(lastMessage(),
              u8"このキーの組み合わせは既に他のアプリケーションで使用されています。他の組み合わせに変更してく"
              u8"ださい.");
    desktop.releaseHotKeyElsewhere(kWin, 90);
    dlg.checkDuplicate();
    EXPECT_EQ(lastMessage(), u8"設定可能です.");
}

// A key that types text, taken without Ctrl, Alt or Win, would be gone from every program's
// typing: OK and "重複確認" refuse it, also when a hand-edited file made it the current one.
TEST_F(SizeDlgTest, KeysThatTypeTextNeedCtrlAltOrWin) {
    constexpr std::u8string_view kRefusal =
        u8"このキーは文字の入力に使われます。Ctrl、Alt、Winのいずれかと組み合わせてください.";
    constexpr unsigned kShift = 4;
    const std::tuple<std::uint16_t, std::uint16_t, bool> cases[] = {
        {'P', 0, true},   {'P', kShift, true}, {'7', 0, true},       {0x09, 0, true}, {0x0D, kShift, true},
        {0x20, 0, true},  {0x08, 0, true},     {0x1B, 0, true},      {0xBA, 0, true}, {0xE2, 0, true},
        {0x6F, 0, true},  {0x70, 0, false},    {0x2E, 0, false},     {'P', 2, false}, {0x20, 1, false},
        {0x09, 8, false}, {0xF3, 0, true},     {0x19, kShift, true}, {0x1D, 0, true}, {0x1C, 2, false},
    };
    for (const auto& [key, modifiers, refused] : cases) {
        SCOPED_TRACE(testing::Message() << "key " << key << " modifiers " << modifiers);
        dlg.m_nHotKey = 90;
        dlg.m_nModifiers = kWin;
        dlg.shown = {key, modifiers};
        dlg.checkDuplicate();
        EXPECT_EQ(lastMessage() == kRefusal, refused);
        EXPECT_EQ(dlg.acceptOK(), !refused);
        EXPECT_EQ(dlg.m_nHotKey, refused ? 90 : key);
    }
    dlg.m_nHotKey = 'P';
    dlg.m_nModifiers = 0;
    dlg.shown = {'P', 0};
    dlg.checkDuplicate();
    EXPECT_EQ(lastMessage(), kRefusal);
    EXPECT_FALSE(dlg.acceptOK());

    // Shift pressed and let go alone leaves no key, which no press could ever match.
    for (const std::uint16_t modifiers : {0, 2}) {
        dlg.shown = {0, modifiers};
        EXPECT_FALSE(dlg.acceptOK());
        EXPECT_EQ(lastMessage(),
                  u8"キーが入力されていません。Ctrl、Alt、Winのいずれかとキーを組み合わせてください.");
    }
}

}  // namespace
