#include "desktop/HotKeyExState.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

constexpr std::uint16_t kWin = 0x5B;
constexpr std::uint16_t kApps = 0x5D;
constexpr std::uint16_t kCtrl = 0x11;
constexpr std::uint16_t kLShift = 0xA0;
constexpr std::uint16_t kA = 0x41;
constexpr std::uint16_t kB = 0x42;
constexpr std::uint16_t kZ = 0x5A;

struct Event {
    bool down;
    std::uint16_t vk;
};

std::pair<std::uint16_t, std::uint16_t> typed(std::initializer_list<Event> events,
                                              CHotKeyExState state = {}) {
    state.clearHeld();
    for (const Event& e : events) state.onKey(e.down, e.vk);
    EXPECT_TRUE(state.m_complete);
    return state.GetHotKeyMod();
}

using Value = std::pair<std::uint16_t, std::uint16_t>;

TEST(CHotKeyExState, TypedCombinations) {
    EXPECT_EQ(typed({{true, kWin}, {true, kZ}, {false, kZ}, {false, kWin}}), Value(kZ, hotkeymod::kWin));
    // Keys down together stay together, whichever is let go first; a modifier pressed while
    // the key is held joins it, also when a repeat of the key follows.
    EXPECT_EQ(typed({{true, kCtrl}, {true, kA}, {false, kCtrl}, {false, kA}}),
              Value(kA, hotkeymod::kControl));
    EXPECT_EQ(typed({{true, kCtrl},
                     {true, kA},
                     {true, kLShift},
                     {false, kCtrl},
                     {true, kA},
                     {false, kLShift},
                     {false, kA}}),
              Value(kA, hotkeymod::kControl | hotkeymod::kShift));
    // A key pressed after the modifier was let go was never down with it.
    EXPECT_EQ(typed({{true, kCtrl}, {true, kA}, {false, kCtrl}, {true, kB}, {false, kA}, {false, kB}}),
              Value(kB, 0));
    EXPECT_EQ(typed({{true, kCtrl}, {false, kCtrl}}), Value(0, 0));
    // A second key pressed while the first is held becomes the key.
    EXPECT_EQ(typed({{true, kA}, {true, kB}, {false, kA}, {false, kB}}), Value(kB, 0));
    // Auto-repeat of the held key changes nothing.
    EXPECT_EQ(typed({{true, kLShift}, {true, kA}, {true, kA}, {true, kA}, {false, kA}, {false, kLShift}}),
              Value(kA, hotkeymod::kShift));
    EXPECT_EQ(typed({{true, kApps}, {true, kZ}, {false, kZ}, {false, kApps}}), Value(kZ, hotkeymod::kWin));
}

TEST(CHotKeyExState, AnyEventAfterACompleteValueStartsAgain) {
    CHotKeyExState state;
    state.SetHotKeyMod(kZ, hotkeymod::kWin);
    state.clearHeld();
    state.onKey(true, kCtrl);
    EXPECT_EQ(state.GetHotKeyMod(), Value(0, hotkeymod::kControl));
    EXPECT_FALSE(state.m_complete);
}

// The hook's share: which events it takes for the field and which it passes on. Shift and
// Tab moved the focus into the field and are still down when the capture begins.
TEST(CCapturedKeys, KeysDownBeforeTheCaptureStayWithTheirOwner) {
    constexpr std::uint16_t kTab = 0x09;
    CCapturedKeys keys;
    keys.begin([](std::uint16_t vk) { return vk == kLShift || vk == kTab; });
    CHotKeyExState field;
    field.SetHotKeyMod(kZ, hotkeymod::kWin);
    field.clearHeld();
    struct Step {
        Event event;
        bool taken;
    };
    auto run = [&](std::initializer_list<Step> steps) {
        for (const Step& step : steps) {
            SCOPED_TRACE(testing::Message() << "vk " << step.event.vk << (step.event.down ? " down" : " up"));
            EXPECT_EQ(keys.take(step.event.down, step.event.vk), step.taken);
            if (step.taken) field.onKey(step.event.down, step.event.vk);
        }
    };
    run({{{true, kLShift}, false},  // a repeat of the Shift held from before
         {{false, kTab}, false},
         {{false, kLShift}, false},
         {{false, kA}, false}});  // the release of a press nobody here saw
    EXPECT_EQ(field.GetHotKeyMod(), Value(kZ, hotkeymod::kWin));
    EXPECT_TRUE(field.m_complete);

    // Pressed again now, the same keys are the field's, repeats and releases included.
    run({{{true, kCtrl}, true},
         {{true, kCtrl}, true},
         {{true, kTab}, true},
         {{false, kCtrl}, true},
         {{false, kTab}, true},
         {{false, kTab}, false}});
    EXPECT_EQ(field.GetHotKeyMod(), Value(kTab, hotkeymod::kControl));
    EXPECT_TRUE(field.m_complete);
}

TEST(CHotKeyExState, ModifierFlagsRoundTripAndDropUnknownBits) {
    EXPECT_EQ(modifiersToField(hotkeymod::kAlt | hotkeymod::kShift | 0x4000),
              hotkeyf::kAlt | hotkeyf::kShift);
    EXPECT_EQ(modifiersToExternal(hotkeyf::kWin | hotkeyf::kControl | 0x08),
              hotkeymod::kWin | hotkeymod::kControl);
    for (std::uint16_t external = 0; external < 16; ++external) {
        EXPECT_EQ(modifiersToExternal(modifiersToField(external)), external);
    }
}

TEST(CHotKeyExState, DisplayTextOrderAndNames) {
    auto names = [](unsigned vk) -> std::string {
        switch (vk) {
            case 0x10:
                return "Shift";
            case 0x11:
                return "Ctrl";
            case 0x12:
                return "Alt";
            default:
                return std::string(1, static_cast<char>(vk));
        }
    };
    CHotKeyExState state;
    EXPECT_EQ(state.displayText(names), "");
    state.SetHotKeyMod(kZ, hotkeymod::kWin);
    EXPECT_EQ(state.displayText(names), "Win + Z");
    state.SetHotKeyMod(kA, hotkeymod::kWin | hotkeymod::kAlt | hotkeymod::kShift | hotkeymod::kControl);
    EXPECT_EQ(state.displayText(names), "Ctrl + Shift + Alt + Win + A");
    // Modifiers held with no key yet show with an empty key name.
    state.SetHotKeyMod(0, hotkeymod::kControl);
    EXPECT_EQ(state.displayText(names), "Ctrl + ");
}

}  // namespace
