// The control panel's image list of small icons and the places its icons come from.
#pragma once

#include "base/win32/Handles.h"
#include "desktop/ImageListCashSmoll.h"

class CWin32SmallIconStore : public CSmallIconStore {
public:
    // Creates the image list (device-dependent colour, no mask, composed on white).
    CWin32SmallIconStore() noexcept;

    HIMAGELIST imageList() const noexcept { return m_imageList.get(); }

    std::optional<int> addProgramIcon() override;
    std::optional<int> addFileIcon(const std::string& path) override;
    int addErrorIcon() override;

private:
    int add(HICON icon) noexcept;

    CImageListHandle m_imageList;
};
