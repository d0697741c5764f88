// An image list that counts its pictures, with shell icons only for the paths it is told
// about: every other path gets no icon from the "shell".
#pragma once

#include "desktop/ImageListCashSmoll.h"

#include <set>
#include <string>
#include <vector>

class CFakeIconStore : public CSmallIconStore {
public:
    // The handle of the program's own icon and of the stock error icon, for checking images.
    static constexpr std::uintptr_t kProgramIcon = 137;
    static constexpr std::uintptr_t kErrorIcon = 32513;

    std::optional<Icon> programIcon() override;
    std::optional<Icon> fileIcon(const std::string& path) override;
    Icon errorIcon() override { return Icon{kErrorIcon, Origin::stock}; }
    int append(const Icon& icon) override;
    void release(const Icon& icon) override { released.insert(icon.handle); }

    std::set<std::string> files;
    bool hasProgramIcon = true;
    // The image list refuses every picture.
    bool refuse = false;
    int shellQueries = 0;
    std::uintptr_t nextHandle = 1000;
    // The pictures in the list, by image index.
    std::vector<std::uintptr_t> images;
    std::set<std::uintptr_t> released;
};
