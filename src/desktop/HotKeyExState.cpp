#include "desktop/HotKeyExState.h"

namespace {

constexpr unsigned kVkShift = 0x10;
constexpr unsigned kVkControl = 0x11;
constexpr unsigned kVkMenu = 0x12;

// The field's modifier bit of a key, or 0 for an ordinary key. The Applications key
// counts as Win so that it can stand in for a missing Windows key.
std::uint16_t modifierBitOf(std::uint16_t vk) {
    switch (vk) {
        case 0x10:
        case 0xA0:
        case 0xA1:
            return hotkeyf::kShift;
        case 0x11:
        case 0xA2:
        case 0xA3:
            return hotkeyf::kControl;
        case 0x12:
        case 0xA4:
        case 0xA5:
            return hotkeyf::kAlt;
        case 0x5B:
        case 0x5C:
        case 0x5D:
            return hotkeyf::kWin;
        default:
            return 0;
    }
}

struct BitPair {
    std::uint16_t field;
    std::uint16_t external;
};
constexpr BitPair kBitPairs[] = {{hotkeyf::kShift, hotkeymod::kShift},
                                 {hotkeyf::kControl, hotkeymod::kControl},
                                 {hotkeyf::kAlt, hotkeymod::kAlt},
                                 {hotkeyf::kWin, hotkeymod::kWin}};

}  // namespace

std::uint16_t modifiersToField(std::uint16_t external) {
    std::uint16_t field = 0;
    for (const BitPair& pair : kBitPairs) {
        if (external & pair.external) field |= pair.field;
    }
    return field;
}

std::uint16_t modifiersToExternal(std::uint16_t field) {
    std::uint16_t external = 0;
    for (const BitPair& pair : kBitPairs) {
        if (field & pair.field) external |= pair.external;
    }
    return external;
}

bool typesText(std::uint16_t vk, std::uint16_t externalModifiers) {
    // Shift only changes which character is typed.
    if (externalModifiers & (hotkeymod::kControl | hotkeymod::kAlt | hotkeymod::kWin)) return false;
    switch (vk) {
        case 0x08:  // Backspace
        case 0x09:  // Tab
        case 0x0D:  // Enter
        case 0x1B:  // Escape
        case 0x20:  // space
        case 0xE2:  // the extra backslash key of Japanese and European layouts
        // The keys that work the Japanese input method: かな, 漢字, 変換 and 無変換, then 英数,
        // カタカナ/ひらがな and 半角/全角 as a Japanese keyboard reports them.
        case 0x15:
        case 0x19:
        case 0x1C:
        case 0x1D:
        case 0xF0:
        case 0xF2:
        case 0xF3:
        case 0xF4:
            return true;
        default:
            return (vk >= 0x30 && vk <= 0x39)      // digits
                   || (vk >= 0x41 && vk <= 0x5A)   // letters
                   || (vk >= 0x60 && vk <= 0x6F)   // keypad digits and signs
                   || (vk >= 0xBA && vk <= 0xC0)   // punctuation
                   || (vk >= 0xDB && vk <= 0xDF);  // punctuation
    }
}

void CCapturedKeys::begin(const std::function<bool(std::uint16_t vk)>& isDown) {
    m_taken.reset();
    m_foreign.reset();
    for (std::uint16_t vk = 0; vk < kKeyCount; ++vk) {
        if (isDown(vk)) m_foreign.set(vk);
    }
}

bool CCapturedKeys::take(bool down, std::uint16_t vk) {
    // Codes past the system's range are no key another program could be holding.
    if (vk >= kKeyCount) return true;
    if (m_foreign[vk]) {
        if (!down) m_foreign.reset(vk);
        return false;
    }
    if (down) {
        m_taken.set(vk);
        return true;
    }
    const bool taken = m_taken[vk];
    m_taken.reset(vk);
    return taken;
}

void CHotKeyExState::SetHotKeyMod(std::uint16_t vk, std::uint16_t externalModifiers) {
    m_vk = vk;
    m_modifiers = modifiersToField(externalModifiers);
    m_complete = true;
}

std::pair<std::uint16_t, std::uint16_t> CHotKeyExState::GetHotKeyMod() const {
    return {m_vk, modifiersToExternal(m_modifiers)};
}

void CHotKeyExState::clearHeld() {
    m_heldKey = 0;
    m_heldModifiers = 0;
    // With nothing held the value is finished: the keys still down from before belong to
    // others now and their releases never come here to finish it.
    m_complete = true;
}

void CHotKeyExState::onKey(bool down, std::uint16_t vk) {
    // Any event after a finished value, a release included, starts a new one.
    if (m_complete) {
        m_vk = 0;
        m_modifiers = 0;
        m_complete = false;
    }
    if (const std::uint16_t bit = modifierBitOf(vk)) {
        if (down) {
            m_heldModifiers |= bit;
            // Down together with the held key: part of the combination.
            if (m_heldKey != 0) m_modifiers |= bit;
        } else {
            // Letting go of a modifier before the key does not take it out of the
            // combination, as the system's own hotkey control keeps it.
            m_heldModifiers &= static_cast<std::uint16_t>(~bit);
        }
        // Only modifiers so far: they show as they are held.
        if (m_vk == 0) m_modifiers = m_heldModifiers;
    } else if (down) {
        // A repeat of the held key leaves the combination as it is.
        if (vk != m_heldKey) {
            m_heldKey = vk;
            m_vk = vk;
            m_modifiers = m_heldModifiers;
        }
    } else if (m_heldKey == vk) {
        m_heldKey = 0;
    }
    if (m_heldKey == 0 && m_heldModifiers == 0) m_complete = true;
}

std::string CHotKeyExState::displayText(const std::function<std::string(unsigned vk)>& keyName) const {
    if (m_vk == 0 && m_modifiers == 0) return {};
    std::string text;
    if (m_modifiers & hotkeyf::kControl) text += keyName(kVkControl) + " + ";
    if (m_modifiers & hotkeyf::kShift) text += keyName(kVkShift) + " + ";
    if (m_modifiers & hotkeyf::kAlt) text += keyName(kVkMenu) + " + ";
    if (m_modifiers & hotkeyf::kWin) text += "Win + ";
    if (m_vk != 0) text += keyName(m_vk);
    return text;
}
