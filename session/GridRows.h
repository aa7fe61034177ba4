// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DiffEngine.h"

#include <QStringList>

/// What the grid shows, as the session hands it over: one data row per
/// item (grid row r >= 1 shows item r - 1; with no items one empty data row
/// remains). The lists are copies that share the session's data, so the
/// grid keeps showing these texts even while the session's lists change.
struct TGridRows {
    TDiffItems Items;
    /// Text comparison: the two line lists that the items index.
    QStringList LeftLines;
    QStringList RightLines;
    /// Folder comparison: one cell text per item (a relative path, followed
    /// by " new" on the newer copy of a differing file, or empty).
    bool FolderMode = false;
    QStringList LeftCells;
    QStringList RightCells;
    /// The comparison option the word highlighting follows.
    bool IgnoreCase = false;

    /// The text of grid column 1 (left) or 2 (right) for item `itemIndex`;
    /// empty when the item has no line on that side.
    QString CellText(qsizetype itemIndex, int column) const
    {
        if (FolderMode)
            return (column == 1 ? LeftCells : RightCells).value(itemIndex);
        const TDiffItem &item = Items[itemIndex];
        const int index = column == 1 ? item.LeftIndex : item.RightIndex;
        return index < 0 ? QString() : (column == 1 ? LeftLines : RightLines).value(index);
    }
};
