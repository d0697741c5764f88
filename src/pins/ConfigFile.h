// Clavora.ini: the four global settings and the pin records, with the writer that rewrites
// the file whole and the reader that gives every written byte back.
//
// The reader is the program's own because the system's trims blanks and quotes from values,
// which would change titles on every round trip. Its rules:
// - The file is in the ANSI code page, or in UTF-8 as editors save it (a byte-order mark at the
//   start, or multi-byte UTF-8 throughout); string values of a UTF-8 file are given back in
//   the ANSI code page, titles and texts as data text (base/DataText.h), so that one the code
//   page cannot hold comes back whole. The writer writes the ANSI code page byte for byte,
//   unless a text is only UTF-8: then the whole file is UTF-8 with a byte-order mark.
// - Lines end at CR, at LF or at both.
// - "[name]" after optional blanks opens a section; only the first section of a name counts.
// - "key=value" in a section: the key is trimmed of blanks, the value is every byte after the
//   first '=' up to the line end, kept as it is. Lines starting with ';' are comments; other
//   lines are ignored. The first line of a key wins.
// - Section and key names compare case-insensitively (multi-byte aware), as the system's do.
#pragma once

#include "pins/FileSystem.h"
#include "pins/PinData.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

// The longest string value a read gives back; longer ones are cut.
constexpr std::size_t kProfileValueMaxBytes = 2047;
// A file never makes more records than this, however large its PINNUM.
constexpr int kMaxPinRecords = 10000;
// Another program (a sync or backup tool) that holds the file open usually lets go within a
// moment: a locked file is read again for this long before it counts as unreadable.
constexpr unsigned kLockedReadWaitMs = 2000;
constexpr unsigned kLockedReadPauseMs = 100;
// How many rescue copies of unreadable files one folder may collect.
constexpr int kMaxRescueCopies = 99;

// Writes an INI file from the first line to the last. The bytes go to a temporary file
// beside the target, which replaces the target only when everything was written, so a full
// disk or a crash leaves the previous file whole.
class CWriteIniFile {
public:
    explicit CWriteIniFile(CFileSystem& files = systemFileSystem()) : m_files(files) {}
    CWriteIniFile(const CWriteIniFile&) = delete;
    CWriteIniFile& operator=(const CWriteIniFile&) = delete;
    // An unfinished file is thrown away; the target is left as it was.
    virtual ~CWriteIniFile();

    // Starts a new file for path; false (traced) when it cannot be created.
    [[nodiscard]] bool openFile(const FilePath& path);
    // Writes "[section]" first when the section changes, then "key=value". CR and LF in the
    // value become blanks: one value is one line. The value is in the code page.
    void writeKey(std::string_view section, std::string_view key, std::string_view value);
    // The same for a title or text, which is data text (base/DataText.h).
    void writeText(std::string_view section, std::string_view key, std::string_view text);
    // Finishes the file and puts it in place of the target; false (traced) when any step
    // failed, the target then being untouched.
    [[nodiscard]] bool closeFile();

private:
    void put(std::string_view bytes);
    void writeLine(std::string_view section, std::string_view key, std::string_view value, bool text);
    void putValue(std::string_view value, bool text);
    // Hands the bytes kept so far to the file.
    void drain();
    void discard();

    CFileSystem& m_files;
    std::unique_ptr<CNewFile> m_file;
    std::string m_section;
    // The whole file until it is finished: a save is a few system calls, not one per line,
    // and its last line depends on all that comes before.
    std::string m_pending;
    // m_pending is UTF-8 (a value needed it) rather than the code page.
    bool m_utf8 = false;
    FilePath m_path;
    FilePath m_tempPath;
    FileResult m_writeResult;
};

// An INI file read whole once, then asked for values.
class CProfileReader {
public:
    enum class Load { read, missing, unreadable };
    // Replaces the content with the file's; a file that is missing or cannot be read leaves
    // the reader empty, so every value is its default. A file that another program holds is
    // read again for kLockedReadWaitMs. A file in UTF-16 (it starts with its byte-order mark)
    // counts as unreadable.
    Load load(const FilePath& path, CFileSystem& files = systemFileSystem());
    // Leading blanks, an optional sign and decimal digits, as the system's reader takes them;
    // reading stops at the first other byte. No digits gives 0, an empty value or a missing
    // key the default. Digits beyond 32 bits wrap around.
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;
    // The value in the ANSI code page cut to kProfileValueMaxBytes, or the default for a
    // missing key.
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
    // A title or text as data text: in the code page when the code page holds it exactly, else
    // marked UTF-8; cut to kProfileValueMaxBytes on a character boundary. "" for a missing key.
    std::string getText(std::string_view section, std::string_view key) const;

private:
    struct Span {
        std::size_t begin = 0;
        std::size_t end = 0;
    };
    void index();
    std::optional<std::string_view> findValue(std::string_view section, std::string_view key) const;

    std::string m_text;
    // m_text is UTF-8 (without its byte-order mark).
    bool m_utf8 = false;
    // Upper-case name -> the body of its first section.
    std::unordered_map<std::string, Span> m_sections;
};

// The four global settings as the file keeps them; the values are the program's defaults.
struct CPinSettings {
    int m_pinSize = 1;
    int m_moveEnable = 0;
    int m_hotKey = 90;
    int m_hotKeyModifiers = 8;

    // The four, in this order, to be handed over in one statement.
    auto fields() { return std::tie(m_pinSize, m_moveEnable, m_hotKey, m_hotKeyModifiers); }
};

// Replaces pins with the file's records and the settings with the file's values; a setting
// missing from the file keeps the value it had. A missing or unreadable file gives no records.
// A target rectangle that no window can have (inverted, empty, wider than 32 bits) loads as
// no position.
// False (traced) when the file is there but could not be read: saving over it then would
// lose the user's pins.
bool loadPinFile(const FilePath& path, CPinSettings& settings, std::vector<CPinData>& pins,
                 CFileSystem& files = systemFileSystem());
// Moves a file that is there but could not be read out of the way, so that a save cannot
// write over pins that were never read: to path + ".bak", or, when a rescue copy is there
// already, to the first free of path + ".2.bak", ".3.bak" and so on; no rescue copy is ever
// replaced. Gives where the file went, an empty path when nothing was there (path is free
// either way), and nullopt (traced) when the file stays.
[[nodiscard]] std::optional<FilePath> setAsideUnreadFile(const FilePath& path,
                                                         CFileSystem& files = systemFileSystem());
// Rewrites the whole file from the settings and the records, in list order. False when the
// file could not be written; the previous file is then intact.
[[nodiscard]] bool writePinFile(CWriteIniFile& writer, const FilePath& path, const CPinSettings& settings,
                                const std::vector<CPinData>& pins);
