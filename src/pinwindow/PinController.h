// The one controller of all pins (the control panel), as pin records and pin windows see it.
// It is reached through a process-wide registration that may be empty: a pin window then
// uses the small pin, cannot be dragged, and its two controller commands do nothing.
#pragma once

#include "base/DesktopTypes.h"

#include <cstdint>

// What the two pin settings mean; any other number a hand-edited file holds means one of the
// two choices, and the property settings dialog shows it as that.
// PINSIZE: 0 the small pin picture, otherwise the normal one.
inline bool usesNormalPin(int pinSize) { return pinSize != 0; }
// MOVEENABLE: exactly 1 lets the user drag pin windows.
inline bool allowsDragging(int moveEnable) { return moveEnable == 1; }

class CPinController {
public:
    virtual ~CPinController() = default;

    // PINSIZE and MOVEENABLE as stored; see usesNormalPin and allowsDragging.
    virtual int pinSize() const = 0;
    virtual int moveEnable() const = 0;
    // A pin ended: redraw the list and schedule a save.
    virtual void notifyUpdateWindow() = 0;
    // A shown pin changed what the file keeps of it (Z order, transparency, place).
    virtual void requestSave() = 0;
    // The commands of a pin's menu name the pin by its window and its record by identity:
    // each opens a nested loop in which the pin may end and its object go.
    // The identity of the record whose shown pin is pinWindow; 0 when there is none.
    virtual std::uint64_t recordIdOfPin(WinHandle pinWindow) = 0;
    // "抜く" confirmed: the record is forgotten and its pin window, if it has one by now,
    // destroyed with nothing taken back. Nothing when the record has gone.
    virtual void forgetRecord(std::uint64_t recordId) = 0;
    // "マッチング条件設定": edits the matching conditions of pinWindow's record.
    virtual void changeConditionsFromPin(WinHandle pinWindow) = 0;
};

// The registered controller, or nullptr.
CPinController* pinController();
// The controller registers itself when it is constructed and passes nullptr when destroyed.
void setPinController(CPinController* controller);
