#include "fake/FakeIconStore.h"

std::optional<CSmallIconStore::Icon> CFakeIconStore::programIcon() {
    if (!hasProgramIcon) return std::nullopt;
    return Icon{kProgramIcon, Origin::programResource};
}

std::optional<CSmallIconStore::Icon> CFakeIconStore::fileIcon(const std::string& path) {
    ++shellQueries;
    if (!files.count(path)) return std::nullopt;
    return Icon{nextHandle++, Origin::shell};
}

int CFakeIconStore::append(const Icon& icon) {
    if (refuse) return -1;
    images.push_back(icon.handle);
    return static_cast<int>(images.size()) - 1;
}
