// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "GridRows.h"
#include "HighlightRanges.h"

#include <QAbstractTableModel>
#include <QHash>

/// The grid's rows as a table model: one model row per item (at least one,
/// empty, when there are no items), columns row number, left text, right
/// text. Model row m is grid row m + 1 (see GridRowMapping.h). Accessors
/// take model rows; out-of-range rows read as an empty dkEqual row.
class TDiffGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TDiffGridModel(QObject *parent = nullptr);

    /// Replaces every row (a model reset).
    void SetRows(const TGridRows &rows);
    const TGridRows &Rows() const { return FRows; }
    /// Replaces the text of cell (`column` 1 or 2) of a row, as an in-cell
    /// edit does; false, changing nothing, when the row has no line there.
    bool SetCellText(int modelRow, int column, const QString &text);
    bool FolderMode() const { return FRows.FolderMode; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    /// DisplayRole: the cell texts (CellText). AccessibleDescriptionRole:
    /// the row's kind in words, so a screen reader tells which side a line
    /// is on; none for the empty row.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    /// The header shows no text (the path boxes lie over it).
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    /// False for the empty row shown when there are no items.
    bool HasItem(int modelRow) const;
    /// The row's kind; dkEqual for a row without an item.
    TDiffKind Kind(int modelRow) const;
    /// Column 0: the grid row number in decimal; columns 1 and 2: the left
    /// and right text. Empty for a row without an item.
    QString CellText(int modelRow, int column) const;
    /// True when the cell is drawn with its differing words highlighted: a
    /// changed row's non-empty text cell outside folder mode.
    bool IsHighlightedCell(int modelRow, int column) const;
    /// The highlighted stretches of a text cell's line against the other
    /// side's line; empty when the row lacks a line on either side.
    /// Computed once and kept until SetRows or an edit of either line.
    THighlightRanges HighlightRanges(int modelRow, int column) const;

private:
    TGridRows FRows;
    // Aligning two long lines takes a while; a row is painted again and
    // again. Key: modelRow * 2 + column - 1.
    mutable QHash<int, THighlightRanges> FHighlightCache;
};
