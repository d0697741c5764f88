// The About box on the screen: template 100, run modally from the main window's system menu.
#pragma once

#include "app/AboutDlg.h"
#include "ui/win32/Dialog.h"

#include <string>

// "Ver.:" and the program file's ProductVersion, read once per process; "" while the
// version resource cannot be read.
const std::string& programVersionString();

class CAboutWindow : public CAboutDlg, public CDialogBase {
public:
    CAboutWindow();

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::string versionString() override { return programVersionString(); }
    void setTitle(std::u8string_view title) override;
    void showVersion() override;
    void openHomePage() override;
};
