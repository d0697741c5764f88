// The About box on the screen: template 100, run modally from the main window's system menu.
#pragma once

#include "ui/win32/Dialog.h"

// Titled "Clavora", it shows the version line; its link opens the home page.
class CAboutWindow : public CDialogBase {
public:
    CAboutWindow();

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
