// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffGridModel.h"

#include "GridRowMapping.h"
#include "translation.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Colours tell the kinds apart on screen; these words do it for a screen reader.
QString RowKindText(TDiffKind kind)
{
    switch (kind) {
    case dkLeftOnly:
        return Translate(u"Only on the left"_s);
    case dkRightOnly:
        return Translate(u"Only on the right"_s);
    case dkDifferent:
        return Translate(u"Changed"_s);
    case dkEqual:
        break;
    }
    return Translate(u"Same on both sides"_s);
}

} // namespace

TDiffGridModel::TDiffGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void TDiffGridModel::SetRows(const TGridRows &rows)
{
    beginResetModel();
    FRows = rows;
    FHighlightCache.clear(); // new lines or a new ignore-case option
    endResetModel();
}

bool TDiffGridModel::SetCellText(int modelRow, int column, const QString &text)
{
    if (!HasItem(modelRow) || (column != 1 && column != 2))
        return false;
    if (FRows.FolderMode) {
        QStringList &cells = column == 1 ? FRows.LeftCells : FRows.RightCells;
        if (modelRow >= cells.size())
            return false;
        cells[modelRow] = text;
    } else {
        const TDiffItem &item = FRows.Items[modelRow];
        const int line = column == 1 ? item.LeftIndex : item.RightIndex;
        QStringList &lines = column == 1 ? FRows.LeftLines : FRows.RightLines;
        if (line < 0 || line >= lines.size())
            return false;
        lines[line] = text;
        // Both cells of every row showing that line compare against it.
        for (qsizetype row = 0; row < FRows.Items.size(); ++row) {
            const TDiffItem &shown = FRows.Items[row];
            if ((column == 1 ? shown.LeftIndex : shown.RightIndex) == line) {
                FHighlightCache.remove(int(row) * 2);
                FHighlightCache.remove(int(row) * 2 + 1);
            }
        }
    }
    // The other text cell's highlighting depends on this text too.
    Q_EMIT dataChanged(index(modelRow, 0), index(modelRow, kGridColumnCount - 1));
    return true;
}

int TDiffGridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(std::max<qsizetype>(1, FRows.Items.size()));
}

int TDiffGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kGridColumnCount;
}

QVariant TDiffGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return CellText(index.row(), index.column());
    if (role == Qt::AccessibleDescriptionRole && HasItem(index.row()))
        return RowKindText(Kind(index.row()));
    return {};
}

QVariant TDiffGridModel::headerData(int, Qt::Orientation, int) const
{
    return {};
}

bool TDiffGridModel::HasItem(int modelRow) const
{
    return modelRow >= 0 && modelRow < FRows.Items.size();
}

TDiffKind TDiffGridModel::Kind(int modelRow) const
{
    return HasItem(modelRow) ? FRows.Items[modelRow].Kind : dkEqual;
}

QString TDiffGridModel::CellText(int modelRow, int column) const
{
    if (!HasItem(modelRow))
        return {};
    if (column == 0)
        return QString::number(GridRowOfModelRow(modelRow));
    if (column == 1 || column == 2)
        return FRows.CellText(modelRow, column);
    return {};
}

bool TDiffGridModel::IsHighlightedCell(int modelRow, int column) const
{
    return !FRows.FolderMode && Kind(modelRow) == dkDifferent && (column == 1 || column == 2)
        && !CellText(modelRow, column).isEmpty();
}

THighlightRanges TDiffGridModel::HighlightRanges(int modelRow, int column) const
{
    if (FRows.FolderMode || !HasItem(modelRow) || (column != 1 && column != 2))
        return {};
    const TDiffItem &item = FRows.Items[modelRow];
    if (item.LeftIndex < 0 || item.RightIndex < 0)
        return {};
    const int key = modelRow * 2 + column - 1;
    const auto cached = FHighlightCache.constFind(key);
    if (cached != FHighlightCache.constEnd())
        return *cached;
    const QString left = FRows.LeftLines.value(item.LeftIndex);
    const QString right = FRows.RightLines.value(item.RightIndex);
    THighlightRanges ranges = column == 1 ? ComputeHighlightRanges(left, right, FRows.IgnoreCase)
                                          : ComputeHighlightRanges(right, left, FRows.IgnoreCase);
    FHighlightCache.insert(key, ranges);
    return ranges;
}
