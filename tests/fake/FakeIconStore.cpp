#include "fake/FakeIconStore.h"

std::optional<int> CFakeIconStore::addProgramIcon() {
    if (!hasProgramIcon) return std::nullopt;
    return add(kProgramIcon);
}

std::optional<int> CFakeIconStore::addFileIcon(const std::string& path) {
    ++shellQueries;
    if (!files.count(path)) return std::nullopt;
    return add(path);
}

int CFakeIconStore::add(const std::string& picture) {
    if (refuse) return -1;
    images.push_back(picture);
    return static_cast<int>(images.size()) - 1;
}
