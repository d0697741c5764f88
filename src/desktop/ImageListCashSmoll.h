// Small program icons by executable path, for the control panel's list. Each path is asked
// of the shell once per run; the index of a key is the index of its image, for good.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The image list and the places icons come from; carried out by Win32 (and faked in tests).
class CSmallIconStore {
public:
    enum class Origin { programResource, shell, stock };
    struct Icon {
        std::uintptr_t handle = 0;
        Origin origin = Origin::stock;
    };

    virtual ~CSmallIconStore() = default;
    // The program's own "desktop" icon resource; nullopt when it cannot be loaded.
    virtual std::optional<Icon> programIcon() = 0;
    // The shell's small icon of a file; nullopt when the shell gives none.
    virtual std::optional<Icon> fileIcon(const std::string& path) = 0;
    // The system's stock error icon.
    virtual Icon errorIcon() = 0;
    // Appends a copy of the icon's picture; the new image's index, or -1 when refused.
    virtual int append(const Icon& icon) = 0;
    // Gives back an icon handle that the shell made for us.
    virtual void release(const Icon& icon) = 0;
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
