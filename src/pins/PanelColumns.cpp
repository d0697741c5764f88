#include "pins/PanelColumns.h"

#include "desktop/Dpi.h"

#include <algorithm>

namespace {

constexpr int kProgramWidth = 100;
constexpr int kTitleWidth = 300;
constexpr int kBlankWidth = 10;

}  // namespace

std::array<int, 3> panelColumnWidths(int dpi, int clientWidth, int scrollBarWidth) {
    const int program = scaleToDpi(kProgramWidth, dpi);
    const int blank = scaleToDpi(kBlankWidth, dpi);
    const int room = clientWidth - scrollBarWidth - program - blank;
    const int title = std::max(program, std::min(scaleToDpi(kTitleWidth, dpi), room));
    return {program, title, blank};
}
