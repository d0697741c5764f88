// Pictures of other programs' windows with the real calls: PrintWindow into a bitmap of the
// dialog's screen.
#pragma once

#include "base/win32/Handles.h"
#include "conditions/WindowImage.h"

class CWin32WindowCamera : public CWindowCamera {
public:
    // Takes its pictures into picture, which stays owned by the caller.
    explicit CWin32WindowCamera(CBitmapHandle& picture) noexcept : m_picture(picture) {}

    // A picture that cannot be made leaves none (the previous one is gone); traced.
    void takePicture(WinHandle target, WinHandle showing, int width, int height) override;

private:
    CBitmapHandle& m_picture;
};
