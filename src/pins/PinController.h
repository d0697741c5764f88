// The one controller of all pins (the control panel), as pin records and pin windows see it.
// It is reached through a process-wide registration that may be empty: a pin window then
// uses the small pin, cannot be dragged, and its two controller commands do nothing.
#pragma once

class CPinDlg;

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
    // "抜く" confirmed on pinWindow: destroy it and forget its record.
    virtual void removeRecordOfPin(CPinDlg* pinWindow) = 0;
    // "マッチング条件設定" on pinWindow: edit the matching conditions of its record.
    virtual void changeConditionsFromPin(CPinDlg* pinWindow) = 0;
};

// The registered controller, or nullptr.
CPinController* pinController();
// The controller registers itself when it is constructed and passes nullptr when destroyed.
void setPinController(CPinController* controller);
