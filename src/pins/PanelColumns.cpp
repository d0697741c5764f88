#include "pins/PanelColumns.h"

#include "desktop/Dpi.h"

#include <algorithm>

namespace {

constexpr int kProgramWidth = 100;
constexpr int kTitleWidth = 300;
// Wide enough for the mark of a shown pin beside the cell's margins.
constexpr int kStateWidth = 24;

}  // namespace

std::array<int, 3> panelColumnWidths(int dpi, int clientWidth, int scrollBarWidth) {
    const int program = scaleToDpi(kProgramWidth, dpi);
    const int state = scaleToDpi(kStateWidth, dpi);
    const int room = clientWidth - scrollBarWidth - program - state;
    const int title = std::max(program, std::min(scaleToDpi(kTitleWidth, dpi), room));
    return {program, title, state};
}
