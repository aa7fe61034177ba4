// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QPlainTextEdit;
class QTimer;
class TComparisonSession;
class TDiffGrid;
class TPrompts;

/// In-cell editing: one editor laid over a text cell of the grid, loaded
/// with that side's line and stored back through the session; and the
/// grid's own keys (F2, Ctrl+C, Escape).
///
/// The editor holds the line it was opened on, not the grid row: when a
/// recomputed result refills the grid while it is open, it moves to the
/// row that now shows that line, so an edit never lands on another line.
/// Every handler that an event reaches runs through RunCommand, so no
/// error crosses the event loop.
class TCellEditor final : public QObject
{
    Q_OBJECT

public:
    TCellEditor(TDiffGrid &grid, TComparisonSession &session, TPrompts &prompts, QObject *parent = nullptr);
    ~TCellEditor() override;

    /// Creates the editor (hidden) on first use and resets the editing state.
    void EnsureCellEditor();
    /// Lays the editor over cell (`col`, `row`): the cell's rectangle less
    /// 2 pixels left and right and 1 pixel top and bottom.
    void PlaceCellEditor(int col, int row);
    /// Opens the editor on a cell, storing an open edit first; a cell that
    /// shows no line of a side only beeps.
    void BeginCellEdit(int col, int row);
    /// Closes the editor, storing its text into the line it was opened on
    /// when `accept` is true. Nothing when no edit is open.
    void EndCellEdit(bool accept);
    /// The double-click and "Edit Selected..." command: edits the selected
    /// row, on the side last clicked in that row.
    void EditSelectedCell();
    /// The grid's keys; true when the key was consumed.
    bool GridKeyDown(int key, Qt::KeyboardModifiers shift);
    /// The editor's keys: Enter stores, Escape drops, whatever the
    /// modifiers; true when consumed.
    bool CellEditorKeyDown(int key, Qt::KeyboardModifiers shift);
    /// The editor lost the keyboard focus to another widget: store.
    void CellEditorExit();
    /// The grid has just been given new rows.
    void GridRowsReplaced();

    bool IsEditing() const;
    /// The grid cell being edited; -1 when none.
    int EditingRow() const { return FEditingRow; }
    int EditingCol() const { return FEditingCol; }
    /// The line of the edited side that the open edit replaces; -1 when none.
    int EditingLine() const { return FEditingLine; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Commit();
    void PlaceOpenEditor();

    TDiffGrid &FGrid;
    TComparisonSession &FSession;
    TPrompts &FPrompts;
    QPlainTextEdit *FCellEditor = nullptr;
    /// Re-lays the open editor once after scrolling or resizing settles.
    QTimer *FPlaceTimer = nullptr;
    int FEditingRow = -1;
    int FEditingCol = -1;
    int FEditingLine = -1;
    bool FInCellEditCommit = false;
};
