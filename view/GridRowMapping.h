// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one place that knows how grid rows sit on the item model: grid row 0
// is the table's horizontal header, grid row r >= 1 is model row r - 1.
// Columns are the same in both (column 0 holds the row numbers).

/// The header row of the grid.
inline constexpr int kHeaderGridRow = 0;

/// Number of grid columns: row number, left text, right text.
inline constexpr int kGridColumnCount = 3;

/// Model row of grid row `gridRow`; -1 for the header row (and below).
constexpr int ModelRowOfGridRow(int gridRow)
{
    return gridRow >= 1 ? gridRow - 1 : -1;
}

/// Grid row of model row `modelRow`; -1 for an invalid model row (< 0).
constexpr int GridRowOfModelRow(int modelRow)
{
    return modelRow >= 0 ? modelRow + 1 : -1;
}
