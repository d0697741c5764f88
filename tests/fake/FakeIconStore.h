// An image list that records where each picture came from, with shell icons only for the
// paths it is told about: every other path gets no icon from the "shell".
#pragma once

#include "desktop/ImageListCashSmoll.h"

#include <set>
#include <string>
#include <vector>

class CFakeIconStore : public CSmallIconStore {
public:
    // The pictures of the program's own icon and of the stock error icon; a shell icon is
    // recorded as its file's path.
    static constexpr const char* kProgramIcon = "<program icon>";
    static constexpr const char* kErrorIcon = "<error icon>";

    std::optional<int> addProgramIcon() override;
    std::optional<int> addFileIcon(const std::string& path) override;
    int addErrorIcon() override { return add(kErrorIcon); }

    std::set<std::string> files;
    bool hasProgramIcon = true;
    // The image list refuses every picture.
    bool refuse = false;
    int shellQueries = 0;
    // The pictures in the list, by image index.
    std::vector<std::string> images;

private:
    int add(const std::string& picture);
};
