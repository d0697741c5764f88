// Clavora.ini read from arbitrary bytes. Whatever the bytes, reading gives a bounded list,
// and what it gives survives a save and a second load unchanged: the second save writes the
// same bytes as the first.
#include "FuzzCheck.h"
#include "base/Trace.h"
#include "pins/ConfigFile.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string g_input;
std::string g_saved;

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool sameSettings(const CPinSettings& a, const CPinSettings& b) {
    return a.m_pinSize == b.m_pinSize && a.m_moveEnable == b.m_moveEnable && a.m_hotKey == b.m_hotKey &&
           a.m_hotKeyModifiers == b.m_hotKeyModifiers;
}

// Every field the file keeps. The child's control ID is kept only together with its class.
bool sameRecord(const CPinData& a, const CPinData& b) {
    return a.m_titleFlag == b.m_titleFlag && a.m_processFlag == b.m_processFlag &&
           a.m_fullFlag == b.m_fullFlag && a.m_extentFlag == b.m_extentFlag &&
           a.m_exFullFlag == b.m_exFullFlag && a.m_title == b.m_title && a.m_titlePart == b.m_titlePart &&
           a.m_exeName == b.m_exeName && a.m_exePath == b.m_exePath && a.m_exText == b.m_exText &&
           a.m_exPart == b.m_exPart && a.m_exClassName == b.m_exClassName &&
           (a.m_exClassName.empty() || a.m_exCtrlID == b.m_exCtrlID) && a.m_rectTarget == b.m_rectTarget &&
           a.m_zOrder == b.m_zOrder && a.m_transFlag == b.m_transFlag && a.m_trans == b.m_trans;
}

bool loaded(const std::vector<CPinData>& pins) {
    for (const CPinData& pin : pins) {
        if (pin.m_pinned != 0 || pin.m_hPinWnd != kNoWindow || pin.m_hTarget != kNoWindow) return false;
        if (pin.m_title.size() > kProfileValueMaxBytes || pin.m_exePath.size() > kProfileValueMaxBytes)
            return false;
        // A kept target rectangle is a real one; anything else is no position at all.
        if (pin.m_rectTarget != Rect{} && (pin.m_rectTarget.left >= pin.m_rectTarget.right ||
                                           pin.m_rectTarget.top >= pin.m_rectTarget.bottom)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setTraceSink([](const std::string&) {});
    // Files in memory when the system has a tmpfs for it: thousands of saves a second.
    const char* base =
        access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    std::string dir = std::string(base) + "/clavora-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(dir.data()) != nullptr);
    g_input = dir + "/input.ini";
    g_saved = dir + "/Clavora.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(g_input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    CPinSettings settings;
    std::vector<CPinData> pins(1);
    // Only a file in UTF-16 is unreadable here; it gives no records.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool utf16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    FUZZ_CHECK(loadPinFile(g_input, settings, pins) != utf16);
    if (utf16) {
        FUZZ_CHECK(pins.empty());
        return 0;
    }
    FUZZ_CHECK(pins.size() <= static_cast<std::size_t>(kMaxPinRecords));
    FUZZ_CHECK(loaded(pins));

    CWriteIniFile writer;
    FUZZ_CHECK(writePinFile(writer, g_saved, settings, pins));
    const std::string first = readBytes(g_saved);

    CPinSettings again{-1, -1, -1, -1};
    std::vector<CPinData> reloaded;
    FUZZ_CHECK(loadPinFile(g_saved, again, reloaded));
    FUZZ_CHECK(sameSettings(settings, again));
    FUZZ_CHECK(reloaded.size() == pins.size());
    for (std::size_t i = 0; i < pins.size(); ++i) FUZZ_CHECK(sameRecord(pins[i], reloaded[i]));

    FUZZ_CHECK(writePinFile(writer, g_saved, again, reloaded));
    FUZZ_CHECK(readBytes(g_saved) == first);
    return 0;
}
