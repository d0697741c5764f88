// Small program icons by executable path, for the control panel's list. Each path is asked
// of the shell once per run; the index of a key is the index of its image, for good.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The image list and the places its icons come from; carried out by Win32 (and faked in
// tests). The store owns every icon handle: the list keeps its own copy of each picture.
class CSmallIconStore {
public:
    virtual ~CSmallIconStore() = default;
    // Each adds one picture and gives the new image's index, or -1 when the list refused it.
    // The program's own "desktop" icon resource; nullopt when it cannot be loaded.
    virtual std::optional<int> addProgramIcon() = 0;
    // The shell's small icon of a file; nullopt when the shell gives none.
    virtual std::optional<int> addFileIcon(const std::string& path) = 0;
    // The system's stock error icon.
    virtual int addErrorIcon() = 0;
};

class CImageListCashSmoll {
public:
    // The store must outlive the cache.
    explicit CImageListCashSmoll(CSmallIconStore& store) : m_store(store) {}
    virtual ~CImageListCashSmoll() = default;

    // The image index of path's icon, or -1 when no icon could be had.
    int GetIconIndex(const std::string& path);

    const std::vector<std::string>& keys() const { return m_keys; }

private:
    CSmallIconStore& m_store;
    std::vector<std::string> m_keys;
};
