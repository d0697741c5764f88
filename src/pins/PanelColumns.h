// The widths of the control panel's list columns on a display of any scale.
#pragma once

#include <array>

// Program name, window title and a narrow column that marks shown pins, for a list whose client area is
// clientWidth pixels wide at dpi. The columns have their 96-DPI widths in proportion, except
// that the title gives up what would not fit beside a vertical scroll bar of scrollBarWidth
// pixels, so that the list never needs a horizontal one; it keeps at least the program
// column's width.
std::array<int, 3> panelColumnWidths(int dpi, int clientWidth, int scrollBarWidth);
