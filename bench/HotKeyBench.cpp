// The hotkey field's key processing: it runs for every key event of the whole desktop while
// the field has the focus, so it must never be what makes typing feel slow.
#include "desktop/HotKeyExState.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr std::uint16_t kVkLWin = 0x5B;
constexpr std::uint16_t kVkControl = 0x11;
constexpr std::uint16_t kVkShift = 0x10;
constexpr std::uint16_t kVkZ = 0x5A;

std::string keyName(unsigned vk) {
    switch (vk) {
        case kVkControl:
            return "Ctrl";
        case kVkShift:
            return "Shift";
        default:
            return std::string(1, static_cast<char>(vk));
    }
}

// One key event with the redraw text it asks for, over Ctrl+Shift+Win+Z pressed and released.
void BM_HotKeyKeyEvent(benchmark::State& state) {
    struct Event {
        bool down;
        std::uint16_t vk;
    };
    constexpr Event kEvents[] = {{true, kVkControl}, {true, kVkShift},   {true, kVkLWin},
                                 {true, kVkZ},       {false, kVkZ},      {false, kVkLWin},
                                 {false, kVkShift},  {false, kVkControl}};
    CHotKeyExState field;
    field.clearHeld();
    std::size_t next = 0;
    for (auto _ : state) {
        const Event& e = kEvents[next];
        next = (next + 1) % std::size(kEvents);
        field.onKey(e.down, e.vk);
        const std::string text = field.displayText(keyName);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HotKeyKeyEvent)->Unit(benchmark::kNanosecond);

}  // namespace
