// The hotkey field's key processing on random key sequences, through the hook's choice of
// events: focus changes, auto-repeat, releases of keys never pressed, stored values shown in
// between. Whatever the order, the value never names a modifier as its key, and once every
// key is up again it is complete.
#include "FuzzCheck.h"
#include "desktop/HotKeyExState.h"

#include <cstdint>
#include <set>
#include <string>

namespace {

// Mostly the keys the field tells apart, now and then any code at all.
constexpr std::uint16_t kKeys[] = {0x10, 0x11, 0x12, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B,
                                   0x5C, 0x5D, 0x41, 0x5A, 0x09, 0x0D, 0x1B, 0x73, 0x20, 0x2E};
constexpr std::uint16_t kModifierKeys[] = {0x10, 0x11, 0x12, 0xA0, 0xA1, 0xA2,
                                           0xA3, 0xA4, 0xA5, 0x5B, 0x5C, 0x5D};
constexpr std::uint16_t kFieldBits = hotkeyf::kShift | hotkeyf::kControl | hotkeyf::kAlt | hotkeyf::kWin;
constexpr std::uint16_t kExternalBits =
    hotkeymod::kAlt | hotkeymod::kControl | hotkeymod::kShift | hotkeymod::kWin;

bool isModifierKey(std::uint16_t vk) {
    for (std::uint16_t m : kModifierKeys) {
        if (vk == m) return true;
    }
    return false;
}

// A stored hotkey is shown as it is, whatever its key; a typed one never ends on a modifier.
void checkValue(const CHotKeyExState& state, bool typed) {
    FUZZ_CHECK(!typed || !isModifierKey(state.m_vk));
    FUZZ_CHECK(!isModifierKey(state.m_heldKey));
    FUZZ_CHECK((state.m_modifiers & ~kFieldBits) == 0);
    FUZZ_CHECK((state.m_heldModifiers & ~kFieldBits) == 0);
    FUZZ_CHECK((state.GetHotKeyMod().second & ~kExternalBits) == 0);
    const std::string text = state.displayText([](unsigned vk) { return "k" + std::to_string(vk); });
    FUZZ_CHECK(text.empty() == (state.m_vk == 0 && state.m_modifiers == 0));
}

}  // namespace

// Each event is two bytes: what happens (key down, key up, focus regained, stored value
// shown) and which key.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CHotKeyExState state;
    state.clearHeld();
    std::set<std::uint16_t> down;
    // Events reach the field only when the hook takes them.
    CCapturedKeys keys;
    auto isDown = [&down](std::uint16_t vk) { return down.count(vk) != 0; };
    keys.begin(isDown);
    bool typed = true;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const std::uint8_t what = data[i];
        const std::uint8_t which = data[i + 1];
        const std::uint16_t vk =
            which < 0xE0 ? kKeys[which % std::size(kKeys)] : static_cast<std::uint16_t>(which);
        switch (what % 8) {
            case 6:
                // The field lost the focus and has it again: it forgets what it saw held, and
                // the keys down now are left to their owner.
                state.clearHeld();
                keys.begin(isDown);
                break;
            case 7:
                state.SetHotKeyMod(vk, static_cast<std::uint16_t>(what >> 3));
                FUZZ_CHECK(state.m_complete);
                typed = false;
                break;
            default: {
                const bool press = what % 8 < 4;
                if (keys.take(press, vk)) {
                    state.onKey(press, vk);
                    typed = true;
                }
                if (press) {
                    down.insert(vk);
                } else {
                    down.erase(vk);
                }
                break;
            }
        }
        checkValue(state, typed);
    }
    for (std::uint16_t vk : down) {
        if (keys.take(false, vk)) {
            state.onKey(false, vk);
            typed = true;
        }
        checkValue(state, typed);
    }
    FUZZ_CHECK(state.m_heldKey == 0 && state.m_heldModifiers == 0);
    FUZZ_CHECK(state.m_complete);
    return 0;
}
