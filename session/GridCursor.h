// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// Where the grid stands, as the session reads and moves it. Rows are grid
/// rows: row 0 is the header, row r >= 1 shows item r - 1.
class TGridCursor
{
public:
    virtual ~TGridCursor() = default;

    /// Rows including the header, so max(2, items + 1).
    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual int SelectedRow() const = 0;
    virtual int SelectedCol() const = 0;
    /// The first visible scrollable row.
    virtual int TopRow() const = 0;
    /// How many scrollable rows the grid shows completely now.
    virtual int FullyVisibleRowCount() const = 0;

    /// Selects a row (the grid scrolls as little as needed to show it).
    virtual void SelectRow(int row) = 0;
    virtual void SelectCol(int col) = 0;
    virtual void SetTopRow(int row) = 0;
};
