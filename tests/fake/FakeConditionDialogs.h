// Scripted views for the matching-condition editing: a camera that pictures windows of the fake
// world, and the child window selection and match condition dialogs with a scripted user who
// clicks and presses buttons while the real logic decides.
#pragma once

#include "conditions/ChildSelDlg.h"
#include "conditions/MatchConditionDlg.h"
#include "conditions/WindowImage.h"
#include "fake/FakeDesktop.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// One picture the camera took: its size, and the target's rectangle and layering at that moment.
struct FakePicture {
    int width = 0;
    int height = 0;
    Rect targetRect{};
    std::optional<LayeredAttributes> targetLayered{};
    // How many calls had changed the world when it was taken.
    std::size_t callsBefore = 0;
};

// Pictures windows of the fake world.
class CFakeWindowCamera : public CWindowCamera {
public:
    explicit CFakeWindowCamera(CFakeDesktop& desktop) : m_fake(desktop) {}

    void takePicture(WinHandle target, WinHandle showing, int width, int height) override;

    // The window the pictures were taken for.
    WinHandle shownIn = kNoWindow;
    std::vector<FakePicture> pictures;

private:
    CFakeDesktop& m_fake;
};

// The child window selection dialog with a scripted user. runModal initialises it and hands it
// to the user, who clicks rows and presses OK as often as the script says.
class CFakeChildSelDlg : public CChildSelDlg {
public:
    using User = std::function<void(CFakeChildSelDlg&)>;

    CFakeChildSelDlg(CFakeDesktop& desktop, User user);

    bool runModal() override;

    // A mouse click on row: the selection moves there and the list tells the dialog.
    void clickRow(int row);
    // The keyboard moves the selection; the list does not tell the dialog.
    void keyToRow(int row) { mark = row; }
    // OK pressed: true when the dialog ended with it.
    bool pressOK();

    CFakeWindowCamera fakeCamera;
    WinHandle window;
    std::vector<ChildListRow> rows;
    int mark = -1;
    // The row the dialog selected itself, -1 for none.
    int selectedByDialog = -1;
    int fullRepaints = 0;
    int pictureRepaints = 0;
    bool endedWithOK = false;

protected:
    WinHandle dialogWindow() override { return window; }
    CWindowCamera& camera() override { return fakeCamera; }
    void showCandidates(const std::vector<ChildListRow>& shown) override { rows = shown; }
    int selectionMark() override { return mark; }
    void selectRow(int row) override;
    void invalidateAll() override { ++fullRepaints; }
    void invalidatePicture() override { ++pictureRepaints; }

private:
    User m_user;
};

// The controls of the match condition dialog as the user sees them.
struct FakeConditionControls {
    int checkFull = 0;
    int checkProcess = 0;
    int checkTitle = 0;
    std::string editTitlePart;
    int checkExtent = 0;
    int checkExFull = 0;
    std::string editExPart;
    bool selectChildEnabled = true;
    std::string shownClass;
    std::string shownCtrlID;
    std::string shownText;
};

// The match condition dialog with a scripted user; its "条件選択" opens a CFakeChildSelDlg
// whose user is childUser (none: Cancel).
class CFakeMatchConditionDlg : public CMatchConditionDlg {
public:
    using User = std::function<void(CFakeMatchConditionDlg&)>;

    CFakeMatchConditionDlg(CFakeDesktop& desktop, User user);

    bool runModal() override;

    // The automatic check boxes toggle, then tell the dialog.
    void clickFull();
    void clickExFull();
    void pressSelectChild() { OnSelectChild(); }
    // OK pressed: what the dialog did with it.
    Close pressOK();

    FakeConditionControls controls;
    CFakeChildSelDlg::User childUser;
    // How often 条件選択 ran its dialog.
    int childDialogs = 0;
    bool endedWithOK = false;
    bool ended = false;

protected:
    void writeControls() override;
    void readControls() override;
    void enableSelectChild(bool enable) override { controls.selectChildEnabled = enable; }
    void showChildCondition(const std::string& className, const std::string& ctrlID,
                            const std::string& text) override;
    std::unique_ptr<CChildSelDlg> makeChildSelDlg() override;

private:
    CFakeDesktop& m_fake;
    User m_user;
};
