// How the control panel has a record's matching conditions edited. The condition dialog
// edits pin records, so it sits above the panel's folder and is handed to the panel.
#pragma once

#include "base/DesktopTypes.h"

#include <windows.h>

class CPinData;

class CConditionEditor {
public:
    virtual ~CConditionEditor() = default;
    // Runs the match condition dialog with owner disabled, opened from pin window `pin` (below
    // it) or from the panel's list (null); true when the user confirmed, and record then holds
    // the edited conditions.
    virtual bool editConditions(HWND owner, HWND pin, CPinData& record) = 0;
};
