#include "conditions/MatchConditionDlg.h"

#include "base/Trace.h"
#include "fake/FakeConditionDialogs.h"

#include <gtest/gtest.h>

namespace {

using Close = CMatchConditionDlg::Close;

class MatchConditionDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([this](const std::string& line) { traces += line; });
        target = desktop.addAppWindow("Memo - Editor", "editor.exe", "C:\\editor.exe");
        child = desktop.addChild(target, "Edit", 12, "draft.txt");
        pin = desktop.addWindow({.title = "", .className = "FakePin"});
        record.m_title = "Memo - Editor";
        record.m_exeName = "EDITOR.EXE";
        record.m_exePath = "C:\\editor.exe";
        record.m_exText = "notes.txt";
        record.m_rectTarget = Rect{1, 2, 3, 4};
        record.m_hTarget = target;
    }
    void TearDown() override { setTraceSink({}); }

    // Opens the dialog on a copy of record; fromPin says whether it came from the pin window.
    CFakeMatchConditionDlg& open(bool fromPin, CFakeMatchConditionDlg::User user = {}) {
        dialog = std::make_unique<CFakeMatchConditionDlg>(desktop, std::move(user));
        edited = record;
        result = dialog->edit(edited, fromPin);
        return *dialog;
    }

    CFakeDesktop desktop;
    WinHandle target{}, child{}, pin{};
    CPinData record;
    // What the caller gets back: the edited record after OK, record as it was otherwise.
    CPinData edited;
    std::unique_ptr<CFakeMatchConditionDlg> dialog;
    bool result = false;
    std::string traces;
};

TEST_F(MatchConditionDlgTest, OpeningShowsTheRecordAndOffersTheChildChoiceOnlyFromAPin) {
    record.m_processFlag = 0;
    record.m_fullFlag = 0;
    record.m_titlePart = "Memo";
    record.m_extentFlag = 1;
    record.m_exFullFlag = 0;
    record.m_exPart = "notes";
    record.m_exClassName = "Edit";
    record.m_exCtrlID = -5;
    const FakeConditionControls& shown = open(false).controls;
    EXPECT_EQ(shown.checkProcess, 0);
    EXPECT_EQ(shown.checkTitle, 1);
    EXPECT_EQ(shown.checkFull, 0);
    EXPECT_EQ(shown.editTitlePart, "Memo");
    EXPECT_EQ(shown.checkExtent, 1);
    EXPECT_EQ(shown.checkExFull, 0);
    EXPECT_EQ(shown.editExPart, "notes");
    EXPECT_EQ(shown.shownClass, "Edit");
    EXPECT_EQ(shown.shownCtrlID, "-5");
    EXPECT_EQ(shown.shownText, "notes.txt");
    EXPECT_FALSE(shown.selectChildEnabled);

    record.m_exCtrlID = 0;
    EXPECT_TRUE(open(true).controls.selectChildEnabled);
    EXPECT_EQ(dialog->controls.shownCtrlID, "0") << "a chosen child with the control ID 0";
    record.m_exClassName.clear();
    EXPECT_EQ(open(true).controls.shownCtrlID, "") << "no child chosen shows as an empty box";
}

struct OkCase {
    const char* what;
    int process;
    int title;
    int extent;
    std::string className;
    Close expected;
    std::u8string message;
};

TEST_F(MatchConditionDlgTest, OkNeedsTheProcessOrTheTitleAndANamedChildForTheExtendedCondition) {
    const std::u8string noMain = u8"プロセス名かウィンドウタイトルいずれかをチェックしてください.";
    const std::u8string noChild =
        u8"拡張条件が選択されていますが子ウィンドウ（コンポーネント）が選択されていません";
    const OkCase cases[] = {
        {"process alone", 1, 0, 0, "", Close::ok, u8""},
        {"title alone", 0, 1, 0, "", Close::ok, u8""},
        {"neither", 0, 0, 0, "Edit", Close::stay, noMain},
        {"neither, extended on", 0, 0, 1, "Edit", Close::stay, noMain},
        {"extended without a child", 0, 1, 1, "", Close::stay, noChild},
        {"extended with a child", 0, 1, 1, "Edit", Close::ok, u8""},
    };
    for (const OkCase& c : cases) {
        desktop.messageBoxes.clear();
        record.m_exClassName = c.className;
        std::optional<Close> close;
        CFakeMatchConditionDlg& d = open(false, [&](CFakeMatchConditionDlg& dlg) {
            dlg.controls.checkProcess = c.process;
            dlg.controls.checkTitle = c.title;
            dlg.controls.checkExtent = c.extent;
            close = dlg.pressOK();
        });
        EXPECT_EQ(close, c.expected) << c.what;
        EXPECT_EQ(result, c.expected == Close::ok) << c.what;
        if (c.message.empty()) {
            EXPECT_TRUE(desktop.messageBoxes.empty()) << c.what;
            EXPECT_EQ(d.m_pinData.m_processFlag, c.process) << c.what;
            EXPECT_EQ(d.m_pinData.m_titleFlag, c.title) << c.what;
            EXPECT_EQ(d.m_pinData.m_extentFlag, c.extent) << c.what;
        } else {
            ASSERT_EQ(desktop.messageBoxes.size(), 1u) << c.what;
            EXPECT_TRUE(desktop.messageBoxes[0].text == c.message) << c.what;
            EXPECT_EQ(d.m_pinData.m_processFlag, 1) << c.what << ": the record is untouched";
            EXPECT_EQ(d.controls.checkProcess, c.process) << c.what << ": the controls are as entered";
        }
    }
}

TEST_F(MatchConditionDlgTest, OkWritesTheControlsAndNothingElseOfTheRecord) {
    open(true, [](CFakeMatchConditionDlg& dlg) {
        dlg.controls.checkFull = 0;
        dlg.controls.editTitlePart = "";
        dlg.controls.checkExFull = 0;
        dlg.controls.editExPart = "part";
        EXPECT_EQ(dlg.pressOK(), Close::ok);
    });
    ASSERT_TRUE(result);
    const CPinData& out = edited;
    EXPECT_EQ(out.m_fullFlag, 0);
    EXPECT_EQ(out.m_titlePart, "") << "an empty part is accepted";
    EXPECT_EQ(out.m_exFullFlag, 0);
    EXPECT_EQ(out.m_exPart, "part");
    EXPECT_EQ(out.m_title, record.m_title);
    EXPECT_EQ(out.m_exeName, record.m_exeName);
    EXPECT_EQ(out.m_exePath, record.m_exePath);
    EXPECT_EQ(out.m_exText, record.m_exText);
    EXPECT_EQ(out.m_rectTarget, record.m_rectTarget);
    EXPECT_EQ(out.m_hTarget, record.m_hTarget);
}

TEST_F(MatchConditionDlgTest, OkAfterThePinWindowWentStillHandsTheEditBack) {
    open(true, [this](CFakeMatchConditionDlg& dlg) {
        dlg.controls.checkProcess = 0;
        desktop.destroyWindow(pin);
        EXPECT_EQ(dlg.pressOK(), Close::ok);
    });
    EXPECT_TRUE(result);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(edited.m_processFlag, 0);
}

struct ToggleCase {
    const char* what;
    bool childText;
    int fullBefore;
    std::string partBefore;
    std::string partAfter;
};

TEST_F(MatchConditionDlgTest, UntickingAFullMatchWithAnEmptyPartStartsFromTheWholeText) {
    const ToggleCase cases[] = {
        {"title unticked, empty part", false, 1, "", "Memo - Editor"},
        {"title unticked, own part", false, 1, "Memo", "Memo"},
        {"title ticked", false, 0, "", ""},
        {"child text unticked, empty part", true, 1, "", "notes.txt"},
        {"child text unticked, own part", true, 1, "no", "no"},
        {"child text ticked", true, 0, "", ""},
    };
    for (const ToggleCase& c : cases) {
        record.m_fullFlag = record.m_exFullFlag = c.fullBefore;
        record.m_titlePart = record.m_exPart = c.partBefore;
        CFakeMatchConditionDlg& d = open(true, [&c](CFakeMatchConditionDlg& dlg) {
            if (c.childText) {
                dlg.clickExFull();
            } else {
                dlg.clickFull();
            }
        });
        const FakeConditionControls& shown = d.controls;
        EXPECT_EQ(c.childText ? shown.editExPart : shown.editTitlePart, c.partAfter) << c.what;
        EXPECT_EQ(c.childText ? shown.editTitlePart : shown.editExPart, c.partBefore) << c.what;
        EXPECT_EQ(c.childText ? shown.checkExFull : shown.checkFull, 1 - c.fullBefore) << c.what;
    }
}

TEST_F(MatchConditionDlgTest, ChoosingAChildNamesItInTheRecordAndLeavesTheControlsAlone) {
    record.m_exClassName = "Edit";
    record.m_exCtrlID = 12;
    WinHandle seenTarget{};
    std::string seenClass;
    int seenId = 0;
    std::string seenText;
    CFakeMatchConditionDlg& d = open(true, [&](CFakeMatchConditionDlg& dlg) {
        dlg.controls.checkExFull = 0;
        dlg.childUser = [&](CFakeChildSelDlg& sel) {
            seenTarget = sel.m_hTargetWnd;
            seenClass = sel.m_className;
            seenId = sel.m_ctrlID;
            seenText = sel.m_text;
            EXPECT_EQ(sel.selectedByDialog, 0);
            EXPECT_TRUE(sel.pressOK());
        };
        dlg.pressSelectChild();
    });
    EXPECT_EQ(seenTarget, target);
    EXPECT_EQ(seenClass, "Edit");
    EXPECT_EQ(seenId, 12);
    EXPECT_EQ(seenText, "notes.txt");
    EXPECT_EQ(d.m_pinData.m_exClassName, "Edit");
    EXPECT_EQ(d.m_pinData.m_exCtrlID, 12);
    EXPECT_EQ(d.m_pinData.m_exText, "draft.txt");
    EXPECT_EQ(d.controls.shownText, "draft.txt");
    EXPECT_EQ(d.controls.shownCtrlID, "12");
    EXPECT_EQ(d.controls.checkExFull, 0) << "the box keeps what the user set";
    EXPECT_NE(traces.find("WindowClass=Edit\nControlID=12\nText=draft.txt\n"), std::string::npos);

    // Cancelled, the child selection changes nothing.
    record.m_exClassName = "";
    CFakeMatchConditionDlg& again = open(true, [](CFakeMatchConditionDlg& dlg) { dlg.pressSelectChild(); });
    EXPECT_EQ(again.childDialogs, 1);
    EXPECT_EQ(again.m_pinData.m_exClassName, "");
    EXPECT_EQ(again.m_pinData.m_exText, "notes.txt");

    // Chosen, then the dialog cancelled: the caller keeps its record.
    record.m_exClassName = "Button";
    open(true, [](CFakeMatchConditionDlg& dlg) {
        dlg.childUser = [](CFakeChildSelDlg& sel) {
            sel.clickRow(0);
            EXPECT_TRUE(sel.pressOK());
        };
        dlg.pressSelectChild();
        EXPECT_EQ(dlg.m_pinData.m_exClassName, "Edit");
    });
    EXPECT_FALSE(result);
    EXPECT_EQ(edited.m_exClassName, "Button");
}

}  // namespace
