// What the hotkey field knows and decides: the value being typed, the keys held down, and
// the text it shows. The Win32 field (CHotKeyExCtrl) feeds it the key events its keyboard
// hook captures and paints the text.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

// The field's own modifier bits (those of the standard hotkey control, plus Win).
namespace hotkeyf {
constexpr std::uint16_t kShift = 0x01;
constexpr std::uint16_t kControl = 0x02;
constexpr std::uint16_t kAlt = 0x04;
constexpr std::uint16_t kWin = 0x10;
}  // namespace hotkeyf

// RegisterHotKey's modifier flags, the form the rest of the program stores.
namespace hotkeymod {
constexpr std::uint16_t kAlt = 0x1;
constexpr std::uint16_t kControl = 0x2;
constexpr std::uint16_t kShift = 0x4;
constexpr std::uint16_t kWin = 0x8;
// MOD_NOREPEAT: a held combination fires once. Given at registration only, never stored.
constexpr std::uint16_t kNoRepeat = 0x4000;
}  // namespace hotkeymod

// Private messages the keyboard hook posts to the capturing field.
constexpr unsigned kWmHotKeyExKeyDown = 0x500;
constexpr unsigned kWmHotKeyExKeyUp = 0x501;

std::uint16_t modifiersToField(std::uint16_t external);
std::uint16_t modifiersToExternal(std::uint16_t field);

// Whether (key, RegisterHotKey modifiers) is a key that types or edits text in every other
// program (letters, digits, punctuation, space, Enter, Tab, Backspace, Escape, the keypad's
// digits and signs, the keys of the Japanese input method) without Ctrl, Alt or Win. Taken as
// the global hotkey it would be gone from everyone's typing.
bool typesText(std::uint16_t vk, std::uint16_t externalModifiers);

// Which key events the field's hook takes. A key is the field's only when the hook took its
// press; its repeats and its release are then taken too. A key already down when the capture
// began (the Shift and Tab that moved the focus here) stays with whoever had it: its repeats
// and its release are passed on, or every program would go on seeing it held, and the field
// never hears of them.
class CCapturedKeys {
public:
    // A new capture; isDown tells which keys are down at this moment.
    void begin(const std::function<bool(std::uint16_t vk)>& isDown);
    // True: the hook swallows the event and hands it to the field. False: it is passed on.
    bool take(bool down, std::uint16_t vk);

private:
    static constexpr std::size_t kKeyCount = 256;
    std::bitset<kKeyCount> m_taken;
    std::bitset<kKeyCount> m_foreign;
};

class CHotKeyExState {
public:
    // Shows a stored hotkey; the value counts as complete.
    void SetHotKeyMod(std::uint16_t vk, std::uint16_t externalModifiers);
    // The shown hotkey as (virtual-key code, RegisterHotKey modifiers).
    std::pair<std::uint16_t, std::uint16_t> GetHotKeyMod() const;

    // Starts capturing: nothing counts as held any more, and the value shown is finished.
    void clearHeld();
    // One captured key event.
    void onKey(bool down, std::uint16_t vk);

    // "Ctrl + Shift + Alt + Win + key", with the system's key names.
    std::string displayText(const std::function<std::string(unsigned vk)>& keyName) const;

    std::uint16_t m_vk = 0;
    std::uint16_t m_modifiers = 0;
    std::uint16_t m_heldKey = 0;
    std::uint16_t m_heldModifiers = 0;
    bool m_complete = false;
};
