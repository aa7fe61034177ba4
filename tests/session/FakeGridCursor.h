// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ComparisonSession.h"
#include "GridCursor.h"

#include <QObject>

#include <algorithm>

/// A grid position without a widget. Rows, Visible and the position are
/// set by the test; Follow() makes Rows track the session's rows as the
/// real grid does (max(2, items + 1)). Selecting a row scrolls as little as
/// needed to show it.
class TFakeGridCursor final : public TGridCursor
{
public:
    int Rows = 2;
    int Cols = 3;
    int Row = 1;
    int Col = 1;
    int Top = 1;
    /// Scrollable rows shown completely.
    int Visible = 20;

    void Follow(TComparisonSession &session)
    {
        QObject::connect(&session, &TComparisonSession::GridRowsChanged, &FContext,
                         [this, &session] { Rows = std::max<int>(2, int(session.GridRows().Items.size()) + 1); });
    }

    int RowCount() const override { return Rows; }
    int ColumnCount() const override { return Cols; }
    int SelectedRow() const override { return Row; }
    int SelectedCol() const override { return Col; }
    int TopRow() const override { return Top; }
    int FullyVisibleRowCount() const override { return Visible; }

    void SelectRow(int row) override
    {
        Row = row;
        if (row < Top)
            Top = row;
        else if (row >= Top + Visible)
            Top = row - Visible + 1;
    }
    void SelectCol(int col) override { Col = col; }
    void SetTopRow(int row) override { Top = row; }

private:
    // Ends the connection when the fake goes first.
    QObject FContext;
};
