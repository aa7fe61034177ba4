// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ComparisonSession.h"
#include "GridCursor.h"
#include "GridRows.h"

#include <QTableView>

#include <memory>

class QTimer;
class TDiffGridDelegate;
class TDiffGridHeader;
class TDiffGridModel;
class TTextHeightCache;

/// The comparison grid: three columns (row number, left text, right text),
/// grid row 0 the header (the table's horizontal header, over which the
/// window places its path boxes) and grid row r >= 1 showing item r - 1.
/// Everything here speaks grid rows. Whole rows are selected, one at a
/// time; the current row carries a frame. No horizontal scrolling: the
/// window sizes the columns to the grid's width.
///
/// Grid coordinates are the viewport's: x from the left edge of column 0,
/// y from the top of the first visible data row, so the header row lies at
/// negative y.
///
/// As a TGridCursor it is the position that merges, undo and navigation
/// read and move.
class TDiffGrid : public QTableView, public TGridCursor
{
    Q_OBJECT

public:
    explicit TDiffGrid(QWidget *parent = nullptr);
    ~TDiffGrid() override;

    /// The grid font as designed: "Courier New" at 15 pixels.
    static QFont DesignFont();

    // --- rows ----------------------------------------------------------
    /// Shows `rows` (max(2, n + 1) grid rows for n items), keeps the
    /// current row and the top row where they still exist (else the last
    /// row), then AdjustAllRowHeights. Refilling is not a selection:
    /// currentGridRowChanged is not emitted and LastFramedRow() stays.
    /// Forgets every measured text height.
    void SetRows(const TGridRows &rows);
    const TGridRows &Rows() const;
    /// Grid rows including the header: at least 2.
    int RowCount() const override;
    /// Always 3: row number, left text, right text.
    int ColumnCount() const override;
    /// The displayed text of a cell; empty for the header and out of range.
    QString CellText(int gridCol, int gridRow) const;
    /// Replaces the displayed text of text cell (1 or 2, gridRow >= 1), as
    /// after an in-cell edit; the caller then calls AdjustRowHeight and
    /// InvalidateRow. Ignored for other cells and rows without a line there.
    void SetCellText(int gridCol, int gridRow, const QString &text);

    // --- appearance ----------------------------------------------------
    /// Row backgrounds of left-only, right-only and changed rows and the
    /// differing words' background, as 0x00BBGGRR values. Repaints.
    void SetRowColors(TColorValue added, TColorValue removed, TColorValue changed, TColorValue differentText);
    /// The drawing font. BaseRowHeight() keeps the value computed from the
    /// design font; call AdjustAllRowHeights() afterwards to re-wrap.
    void SetGridFont(const QFont &font);
    QFont GridFont() const { return font(); }
    /// Horizontal lines between rows; vertical lines are always drawn.
    void SetShowGridLines(bool show);
    bool ShowGridLines() const;
    /// Column 0 is kLineNumberColumnWidth wide when shown, 0 when hidden.
    void SetLineNumbersVisible(bool visible);
    bool LineNumbersVisible() const { return ColumnWidth(0) > 0; }

    // --- layout --------------------------------------------------------
    /// Text height of "Wg" in the design font + 4, computed once at
    /// construction; the default height of a data row. Pixels.
    int BaseRowHeight() const { return FBaseRowHeight; }
    int ColumnWidth(int gridCol) const { return columnWidth(gridCol); }
    void SetColumnWidth(int gridCol, int width) { setColumnWidth(gridCol, width); }
    /// Height of a grid row (row 0: the header); 0 outside the grid.
    int RowHeight(int gridRow) const;
    /// Sets a data row's height from its wrapped texts (columns 1 and 2)
    /// at the present column widths and font, at once: at least
    /// BaseRowHeight(). Rows outside 1 .. RowCount() - 1 are ignored.
    void AdjustRowHeight(int gridRow);
    /// The header row 1.5 times BaseRowHeight(), then every data row as
    /// AdjustRowHeight would at the column widths and font of this call.
    /// The rows on screen, the last screenful and the rows that selecting
    /// or scrolling reaches get their heights at once; the others in
    /// slices of at most a few tens of milliseconds on the event loop, till
    /// rowHeightsSettled(). Heights already measured at these widths and
    /// font are reused, not laid out again.
    void AdjustAllRowHeights();
    /// True while rows off screen still wait for the slices of the last
    /// AdjustAllRowHeights; until then they keep their previous height.
    bool RowHeightsPending() const;
    /// Cell texts measured for row heights since construction; a height
    /// found in the cache counts nothing. For diagnostics.
    qint64 TextMeasureCount() const { return FTextMeasureCount; }
    /// A cell's rectangle in grid coordinates (the header row's y is
    /// negative); an empty rectangle outside the grid.
    QRect CellRect(int gridCol, int gridRow) const;
    /// The cell under `pos` (grid coordinates) as (column, row), or
    /// (-1, -1) when `pos` is in no cell.
    QPoint CellAt(const QPoint &pos) const;

    // --- current row and scrolling ---------------------------------------
    /// The grid row that carries the frame; -1 when there is none.
    int CurrentGridRow() const;
    /// The current cell's column; 1 when there is no current cell.
    int CurrentGridColumn() const;
    /// Selects grid row `gridRow` (keeping the current column) and scrolls it
    /// into view. Rows outside 1 .. RowCount() - 1 are ignored.
    void SetCurrentGridRow(int gridRow);
    /// The first data row visible at the top (grid row >= 1).
    int TopRow() const override;
    /// Scrolls so `gridRow` is at the top, as far as the scroll range allows.
    void SetTopRow(int gridRow) override;
    /// Data rows shown completely from TopRow() down; at least 1, so a
    /// row taller than the view still counts as shown.
    int FullyVisibleRowCount() const override;
    /// CurrentGridRow(), or 1 when no row is current.
    int SelectedRow() const override;
    /// CurrentGridColumn().
    int SelectedCol() const override;
    /// SetCurrentGridRow.
    void SelectRow(int gridRow) override;
    /// Makes column `gridCol` (0 .. 2) current in the current row; others
    /// are ignored.
    void SelectCol(int gridCol) override;
    /// As the table's, but first gives the rows that placing `index`
    /// depends on (it and a screenful above it) their exact heights.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

    // --- repainting ------------------------------------------------------
    /// Repaints a grid row across all columns; rows outside 0 ..
    /// RowCount() - 1 are ignored.
    void InvalidateRow(int gridRow);
    /// The row whose frame was last drawn by a selection change; -1 at start.
    int LastFramedRow() const { return FLastFramedRow; }

    // --- mouse -----------------------------------------------------------
    /// The cell of the last left-button press on the grid, header included;
    /// -1 and -1 at start and after a press outside every cell.
    int LastMouseCol() const { return FLastMouseCol; }
    int LastMouseRow() const { return FLastMouseRow; }
    /// True from a left press on a header column border until the release.
    bool InColResize() const { return FInColResize; }

Q_SIGNALS:
    /// A double-click on a data cell (grid column and row).
    void cellDoubleClicked(int gridCol, int gridRow);
    /// The current row changed (grid row, -1 for none).
    void currentGridRowChanged(int gridRow);
    /// Every data row has the height of the last AdjustAllRowHeights.
    void rowHeightsSettled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void updateGeometries() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct TTextMeasure;
    struct THeightSource;
    THeightSource PassSource();
    int ApplyRowHeight(int modelRow, const THeightSource &source);
    void ApplyScreenFrom(int topModelRow);
    void ApplyScreenAbove(int modelRow);
    void ApplyRowHeightSlice();
    void CurrentRowChanged(const QModelIndex &current);
    void GridMousePress(Qt::MouseButton button, const QPoint &pos);
    void GridMouseRelease(Qt::MouseButton button);
    QList<int> HeaderRightEdges() const;

    TDiffGridModel *FModel;
    TDiffGridDelegate *FDelegate;
    TDiffGridHeader *FHeader;
    // Row heights: the font and layout widths of the last AdjustAllRowHeights,
    // the next model row its slices measure, and what was measured so far.
    std::unique_ptr<TTextMeasure> FPassMeasure;
    int FPassLayoutWidths[2] = {0, 0};
    int FPassNextRow = 0;
    QTimer *FHeightSlices;
    std::unique_ptr<TTextHeightCache> FTextHeights;
    qint64 FTextMeasureCount = 0;
    int FBaseRowHeight = 0;
    int FLastFramedRow = -1;
    bool FRefilling = false;
    bool FInColResize = false;
    int FLastMouseCol = -1;
    int FLastMouseRow = -1;
};
