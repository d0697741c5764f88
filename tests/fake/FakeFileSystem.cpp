#include "fake/FakeFileSystem.h"

#include <filesystem>

namespace {

// The folder a path is in, as the system takes it apart.
FilePath folderOf(const FilePath& path) { return std::filesystem::path(path).parent_path().string(); }

}  // namespace

class CFakeNewFile final : public CNewFile {
public:
    CFakeNewFile(CFakeFileSystem& files, FilePath path) : m_files(files), m_path(std::move(path)) {}

    FileResult write(std::string_view bytes) override {
        CFakeFileSystem::File* const f = m_files.file(m_path);
        if (!f) return windowsFileResult(fakeerror::kFileNotFound);
        if (bytes.size() > m_files.freeBytes) return windowsFileResult(fakeerror::kDiskFull);
        if (m_files.freeBytes != UINT64_MAX) m_files.freeBytes -= bytes.size();
        f->bytes.append(bytes);
        return {};
    }
    FileResult finish() override { return {}; }

private:
    CFakeFileSystem& m_files;
    FilePath m_path;
};

void CFakeFileSystem::addFolder(const FilePath& folder, bool writable) { m_folders[folder] = writable; }

CFakeFileSystem::File& CFakeFileSystem::addFile(const FilePath& path, std::string bytes) {
    File& f = m_files[path];
    f.bytes = std::move(bytes);
    return f;
}

CFakeFileSystem::File* CFakeFileSystem::file(const FilePath& path) {
    const auto it = m_files.find(path);
    return it == m_files.end() ? nullptr : &it->second;
}

std::uint32_t CFakeFileSystem::creatable(const FilePath& path) const {
    const auto folder = m_folders.find(folderOf(path));
    if (folder == m_folders.end()) return fakeerror::kPathNotFound;
    return folder->second ? 0 : fakeerror::kAccessDenied;
}

FileResult CFakeFileSystem::readAll(const FilePath& path, std::string& bytes) {
    calls.push_back("read " + path);
    bytes.clear();
    const File* const f = file(path);
    if (!f)
        return windowsFileResult(m_folders.count(folderOf(path)) ? fakeerror::kFileNotFound
                                                                 : fakeerror::kPathNotFound);
    if (held(*f)) return windowsFileResult(fakeerror::kSharingViolation);
    bytes = f->bytes;
    return {};
}

std::unique_ptr<CNewFile> CFakeFileSystem::create(const FilePath& path, FileResult& result) {
    calls.push_back("create " + path);
    const File* const existing = file(path);
    std::uint32_t error = existing ? 0 : creatable(path);
    if (existing && existing->readOnly) error = fakeerror::kAccessDenied;
    if (existing && held(*existing)) error = fakeerror::kSharingViolation;
    result = windowsFileResult(error);
    if (error != 0) return nullptr;
    if (existing && freeBytes != UINT64_MAX) freeBytes += existing->bytes.size();
    addFile(path, "");
    return std::make_unique<CFakeNewFile>(*this, path);
}

FileResult CFakeFileSystem::move(const FilePath& from, const FilePath& to, bool replace) {
    calls.push_back("move " + from + " " + to);
    File* const source = file(from);
    if (!source) return windowsFileResult(fakeerror::kFileNotFound);
    if (held(*source)) return windowsFileResult(fakeerror::kSharingViolation);
    if (const File* const target = file(to)) {
        if (!replace) return windowsFileResult(fakeerror::kAlreadyExists);
        if (target->readOnly) return windowsFileResult(fakeerror::kAccessDenied);
        if (held(*target)) return windowsFileResult(fakeerror::kSharingViolation);
        if (freeBytes != UINT64_MAX) freeBytes += target->bytes.size();
    } else if (const std::uint32_t error = creatable(to)) {
        return windowsFileResult(error);
    }
    File moved = *source;
    m_files.erase(from);
    m_files[to] = std::move(moved);
    return {};
}

void CFakeFileSystem::remove(const FilePath& path) {
    calls.push_back("remove " + path);
    const File* const f = file(path);
    if (!f || f->readOnly || held(*f)) return;
    if (freeBytes != UINT64_MAX) freeBytes += f->bytes.size();
    m_files.erase(path);
}

bool CFakeFileSystem::mayExist(const FilePath& path) { return file(path) || m_folders.count(path); }
