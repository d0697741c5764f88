#include "pins/ConfigFile.h"

#include "base/Trace.h"
#include "desktop/CodePage.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace {

constexpr std::string_view kSystemSection = "SYSTEM";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr std::string_view kSetAsideSuffix = ".bak";
constexpr std::string_view kTempSuffix = ".tmp";
// The last line of a file whose bytes in the code page would also read as UTF-8: a comment
// in the code page, whose bytes UTF-8 never has, so that the file is read back as written.
constexpr char8_t kCodePageMark[] = u8"; この行は文字コードの目印です";

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string upper(std::string_view s) { return mbUpper(systemCodePage(), s); }

// Plain ASCII without small letters, as the writer spells every name: no code page changes it
// in upper case.
bool isPlainUpper(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return c < 0x80 && (c < 'a' || c > 'z'); });
}

// Loading compares each key it looks for with the names before it in the section, so the
// common pair of plain names is compared as it stands, without converting either.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (isPlainUpper(a) && isPlainUpper(b)) return a == b;
    return upper(a) == upper(b);
}

// The line that starts at pos, without its line end; pos moves to the next line.
std::string_view nextLine(std::string_view text, std::size_t& pos) {
    const std::size_t begin = pos;
    while (pos < text.size() && !isLineEnd(text[pos])) ++pos;
    const std::string_view line = text.substr(begin, pos - begin);
    while (pos < text.size() && isLineEnd(text[pos])) ++pos;
    return line;
}

// One keyed field of a pin record in the order of the file: an integer, a string, or one side
// of the target rectangle.
struct PinKey {
    const char* name;
    int CPinData::*intField;
    std::string CPinData::*stringField;
    std::int32_t Rect::*targetSide;
    int absent;
    // A title or a child's text, or a part of one: data text, which may be marked UTF-8.
    bool text = false;
};

constexpr PinKey kPinKeys[] = {
    {"TITLEFLAG", &CPinData::m_titleFlag, nullptr, nullptr, 0},
    {"PRECESSEFLAG", &CPinData::m_processFlag, nullptr, nullptr, 0},
    {"EXTENTFLAG", &CPinData::m_extentFlag, nullptr, nullptr, 1},
    {"FULLFLAG", &CPinData::m_fullFlag, nullptr, nullptr, 0},
    {"EXFULLFLAG", &CPinData::m_exFullFlag, nullptr, nullptr, 1},
    {"TITLE", nullptr, &CPinData::m_title, nullptr, 0, true},
    {"EXENAME", nullptr, &CPinData::m_exeName, nullptr, 0},
    {"EXEPATH", nullptr, &CPinData::m_exePath, nullptr, 0},
    {"EXTEXT", nullptr, &CPinData::m_exText, nullptr, 0, true},
    {"TIPART", nullptr, &CPinData::m_titlePart, nullptr, 0, true},
    {"EXPART", nullptr, &CPinData::m_exPart, nullptr, 0, true},
    {"ZORDER", &CPinData::m_zOrder, nullptr, nullptr, 0},
    {"TRSPF", &CPinData::m_transFlag, nullptr, nullptr, 0},
    {"TRANS", &CPinData::m_trans, nullptr, nullptr, 70},
    {"TGT_TOP", nullptr, nullptr, &Rect::top, 0},
    {"TGT_BOTTOM", nullptr, nullptr, &Rect::bottom, 0},
    {"TGT_LEFT", nullptr, nullptr, &Rect::left, 0},
    {"TGT_RIGHT", nullptr, nullptr, &Rect::right, 0},
};

// The extended condition's child class and control ID. Without them a reloaded extended
// condition could never find its child again, so they are kept whenever there is a class.
constexpr const char* kExClassKey = "EXCLASS";
constexpr const char* kExCtrlIdKey = "EXCTRLID";

std::string pinSection(std::size_t i) { return "PINITEM" + std::to_string(i); }

// Whether r can be the rectangle of a window: not inverted, not empty, and with a width and
// height that fit the rectangle's own numbers.
bool isWindowRect(const Rect& r) {
    const std::int64_t width = std::int64_t{r.right} - r.left;
    const std::int64_t height = std::int64_t{r.bottom} - r.top;
    return width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX;
}

}  // namespace

// --- CWriteIniFile ---

CWriteIniFile::~CWriteIniFile() { discard(); }

void CWriteIniFile::discard() {
    if (!m_file) return;
    m_file.reset();
    m_files.remove(m_tempPath);
}

bool CWriteIniFile::openFile(const FilePath& path) {
    discard();
    m_section.clear();
    m_pending.clear();
    m_utf8 = false;
    m_path = path;
    m_tempPath = path;
    m_tempPath += kTempSuffix;
    m_writeResult = {};
    FileResult created;
    m_file = m_files.create(m_tempPath, created);
    if (!m_file) {
        trace("CWriteIniFile::openFile(%s) Error!\n", path.c_str());
        return false;
    }
    return true;
}

void CWriteIniFile::put(std::string_view bytes) { m_pending.append(bytes); }

void CWriteIniFile::putValue(std::string_view value, bool text) {
    if (text && isUtf8Text(value) && !m_utf8) {
        // Only UTF-8 holds this text: the whole file becomes UTF-8, what was written so far
        // included.
        m_pending = systemCodePage().toUtf8(m_pending);
        m_utf8 = true;
    }
    if (!m_utf8) {
        m_pending += value;
    } else if (text) {
        m_pending += dataTextToUtf8(systemCodePage(), value);
    } else {
        m_pending += systemCodePage().toUtf8(value);
    }
}

void CWriteIniFile::drain() {
    if (m_writeResult && !m_pending.empty()) m_writeResult = m_file->write(m_pending);
    m_pending.clear();
}

void CWriteIniFile::writeKey(std::string_view section, std::string_view key, std::string_view value) {
    writeLine(section, key, value, false);
}

void CWriteIniFile::writeText(std::string_view section, std::string_view key, std::string_view text) {
    writeLine(section, key, text, true);
}

void CWriteIniFile::writeLine(std::string_view section, std::string_view key, std::string_view value,
                              bool text) {
    if (!m_file) return;
    if (section != m_section) {
        m_section = section;
        put("[");
        put(section);
        put("]\r\n");
    }
    std::string line(value);
    for (char& c : line) {
        if (isLineEnd(c)) c = ' ';
    }
    put(key);
    put("=");
    putValue(line, text);
    put("\r\n");
}

bool CWriteIniFile::closeFile() {
    if (!m_file) return false;
    if (m_utf8) {
        m_pending.insert(0, kUtf8Bom);
    } else if (isMultiByteUtf8(m_pending)) {
        const std::u8string_view mark = kCodePageMark;
        m_pending += systemCodePage().fromUtf8(
            std::string_view(reinterpret_cast<const char*>(mark.data()), mark.size()));
        m_pending += "\r\n";
    }
    drain();
    FileResult result = m_writeResult;
    const FileResult finished = m_file->finish();
    m_file.reset();
    if (result) result = finished;
    if (result) result = m_files.move(m_tempPath, m_path, true);
    if (!result) {
        trace("CWriteIniFile::closeFile(%s) Error=%u\n", m_path.c_str(), static_cast<unsigned>(result.error));
        m_files.remove(m_tempPath);
    }
    return static_cast<bool>(result);
}

// --- CProfileReader ---

CProfileReader::Load CProfileReader::load(const FilePath& path, CFileSystem& files) {
    m_text.clear();
    m_sections.clear();
    m_utf8 = false;
    std::string text;
    FileResult result;
    try {
        result = files.readAll(path, text);
        for (unsigned waited = 0; result.fault == FileFault::locked && waited < kLockedReadWaitMs;
             waited += kLockedReadPauseMs) {
            files.pause(kLockedReadPauseMs);
            result = files.readAll(path, text);
        }
    } catch (const std::bad_alloc&) {
        // A file too large to hold is as unreadable as a broken disk, and must not end the program.
        result = {FileFault::other, 0};
    }
    if (result.fault == FileFault::missing) return Load::missing;
    if (!result || text.starts_with(kUtf16LeBom) || text.starts_with(kUtf16BeBom)) return Load::unreadable;
    if (text.starts_with(kUtf8Bom)) {
        text.erase(0, kUtf8Bom.size());
        m_utf8 = true;
    } else {
        m_utf8 = isMultiByteUtf8(text);
    }
    m_text = std::move(text);
    index();
    return Load::read;
}

void CProfileReader::index() {
    const std::string_view text = m_text;
    std::size_t pos = 0;
    // The section whose body is being read; null while in a repeated or no section.
    Span* open = nullptr;
    while (pos < text.size()) {
        const std::size_t lineStart = pos;
        std::string_view line = nextLine(text, pos);
        line = trimBlanks(line);
        if (line.empty() || line.front() != '[') continue;
        if (open) open->end = lineStart;
        const std::size_t close = line.find(']');
        const std::string_view name =
            trimBlanks(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
        const auto [it, added] = m_sections.try_emplace(upper(name), Span{pos, text.size()});
        open = added ? &it->second : nullptr;
    }
}

std::optional<std::string_view> CProfileReader::findValue(std::string_view section,
                                                          std::string_view key) const {
    const auto it = m_sections.find(upper(section));
    if (it == m_sections.end()) return std::nullopt;
    const std::string_view body = std::string_view(m_text).substr(0, it->second.end);
    std::size_t pos = it->second.begin;
    while (pos < body.size()) {
        std::string_view line = nextLine(body, pos);
        while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
        if (line.empty() || line.front() == ';') continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        if (sameName(trimBlanks(line.substr(0, equals)), key)) return line.substr(equals + 1);
    }
    return std::nullopt;
}

int CProfileReader::getInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::optional<std::string_view> found = findValue(section, key);
    if (!found) return defaultValue;
    std::string_view value = trimBlanks(*found);
    if (value.empty()) return defaultValue;
    const bool negative = value.front() == '-';
    if (negative || value.front() == '+') value.remove_prefix(1);
    std::uint32_t magnitude = 0;
    for (char c : value) {
        if (c < '0' || c > '9') break;
        magnitude = magnitude * 10u + static_cast<std::uint32_t>(c - '0');
    }
    if (negative) magnitude = 0u - magnitude;
    return static_cast<int>(magnitude);
}

std::string CProfileReader::getText(std::string_view section, std::string_view key) const {
    const std::optional<std::string_view> found = findValue(section, key);
    if (!found) return {};
    const CCodePage& cp = systemCodePage();
    if (!m_utf8) {
        const std::string_view bytes = found->substr(0, kProfileValueMaxBytes);
        // Only a hand could have written the mark into a code-page file: its bytes are taken
        // for the characters they are, so that the mark never stands for anything else.
        if (!isUtf8Text(bytes)) return std::string(bytes);
        return dataTextFromUtf8(cp, cp.toUtf8(bytes));
    }
    std::string_view utf8 = *found;
    std::string value = dataTextFromUtf8(cp, utf8);
    while (value.size() > kProfileValueMaxBytes) {
        if (!isUtf8Text(value)) {
            value.resize(kProfileValueMaxBytes);
            break;
        }
        // Cut before a whole character, and what is left may then fit the code page.
        std::size_t end = kProfileValueMaxBytes - kUtf8TextMark.size();
        while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
        utf8 = utf8.substr(0, end);
        value = dataTextFromUtf8(cp, utf8);
    }
    return value;
}

std::string CProfileReader::getString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const {
    const std::optional<std::string_view> found = findValue(section, key);
    if (!found) return std::string(defaultValue.substr(0, kProfileValueMaxBytes));
    if (!m_utf8) return std::string(found->substr(0, kProfileValueMaxBytes));
    std::string value = systemCodePage().fromUtf8(*found);
    value.resize(std::min(value.size(), kProfileValueMaxBytes));
    return value;
}

// --- the pin file ---

bool loadPinFile(const FilePath& path, CPinSettings& settings, std::vector<CPinData>& pins,
                 CFileSystem& files) {
    pins.clear();
    CProfileReader ini;
    const bool readable = ini.load(path, files) != CProfileReader::Load::unreadable;
    if (!readable) trace("loadPinFile(%s) Error!\n", path.c_str());
    settings.m_pinSize = ini.getInt(kSystemSection, "PINSIZE", settings.m_pinSize);
    settings.m_moveEnable = ini.getInt(kSystemSection, "MOVEENABLE", settings.m_moveEnable);
    settings.m_hotKey = ini.getInt(kSystemSection, "PNHOTKEY", settings.m_hotKey);
    settings.m_hotKeyModifiers = ini.getInt(kSystemSection, "PNMODIFIERS", settings.m_hotKeyModifiers);
    int count = ini.getInt(kSystemSection, "PINNUM", 0);
    if (count > kMaxPinRecords) {
        trace("loadPinFile() PINNUM=%d, reading the first %d records\n", count, kMaxPinRecords);
        count = kMaxPinRecords;
    }
    for (int i = 0; i < count; ++i) {
        const std::string section = pinSection(static_cast<std::size_t>(i));
        CPinData pin;
        for (const PinKey& k : kPinKeys) {
            if (k.intField) {
                pin.*k.intField = ini.getInt(section, k.name, k.absent);
            } else if (k.stringField) {
                pin.*k.stringField =
                    k.text ? ini.getText(section, k.name) : ini.getString(section, k.name, "");
            } else {
                pin.m_rectTarget.*k.targetSide = ini.getInt(section, k.name, k.absent);
            }
        }
        // Only a hand-edited file holds any other rectangle; holding the window at it would
        // shrink it to nothing or fling it away, so the window is held where it is found.
        if (!isWindowRect(pin.m_rectTarget)) pin.m_rectTarget = Rect{};
        pin.m_exeName = upper(pin.m_exeName);
        pin.m_exClassName = ini.getString(section, kExClassKey, "");
        pin.m_exCtrlID = ini.getInt(section, kExCtrlIdKey, 0);
        pins.push_back(std::move(pin));
    }
    return readable;
}

std::optional<FilePath> setAsideUnreadFile(const FilePath& path, CFileSystem& files) {
    if (!files.mayExist(path)) return FilePath();
    FileResult result;
    for (int n = 1; n <= kMaxRescueCopies; ++n) {
        FilePath aside = path;
        if (n > 1) aside += "." + std::to_string(n);
        aside += kSetAsideSuffix;
        // Never onto an older rescue copy: that one may hold the pins of an earlier time.
        result = files.move(path, aside, false);
        if (result) {
            trace("setAsideUnreadFile(%s) kept as %s\n", path.c_str(), aside.c_str());
            return aside;
        }
        if (result.fault != FileFault::exists) break;
    }
    trace("setAsideUnreadFile(%s) Error=%u\n", path.c_str(), static_cast<unsigned>(result.error));
    return std::nullopt;
}

bool writePinFile(CWriteIniFile& writer, const FilePath& path, const CPinSettings& settings,
                  const std::vector<CPinData>& pins) {
    if (!writer.openFile(path)) return false;
    writer.writeKey(kSystemSection, "PINSIZE", std::to_string(settings.m_pinSize));
    writer.writeKey(kSystemSection, "MOVEENABLE", std::to_string(settings.m_moveEnable));
    writer.writeKey(kSystemSection, "PNHOTKEY", std::to_string(settings.m_hotKey));
    writer.writeKey(kSystemSection, "PNMODIFIERS", std::to_string(settings.m_hotKeyModifiers));
    writer.writeKey(kSystemSection, "PINNUM", std::to_string(pins.size()));
    for (std::size_t i = 0; i < pins.size(); ++i) {
        const CPinData& pin = pins[i];
        const std::string section = pinSection(i);
        for (const PinKey& k : kPinKeys) {
            if (k.intField) {
                writer.writeKey(section, k.name, std::to_string(pin.*k.intField));
            } else if (k.stringField) {
                if (k.text) {
                    writer.writeText(section, k.name, pin.*k.stringField);
                } else {
                    writer.writeKey(section, k.name, pin.*k.stringField);
                }
            } else {
                writer.writeKey(section, k.name, std::to_string(pin.m_rectTarget.*k.targetSide));
            }
        }
        if (!pin.m_exClassName.empty()) {
            writer.writeKey(section, kExClassKey, pin.m_exClassName);
            writer.writeKey(section, kExCtrlIdKey, std::to_string(pin.m_exCtrlID));
        }
    }
    return writer.closeFile();
}
