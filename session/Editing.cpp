// SPDX-License-Identifier: GPL-3.0-or-later
// The session's half of editing one line in the grid.
#include "ComparisonSession.h"

#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

// Column 1 shows the left lines, column 2 the right ones.
bool IsTextColumn(int col)
{
    return col == 1 || col == 2;
}

} // namespace

int TComparisonSession::CellLineIndex(int col, int row) const
{
    if (FFolderMode || row < 1 || row > FDiffItems.size() || !IsTextColumn(col))
        return -1;
    RequireLoadedFiles();
    const TSide side = col == 1 ? sdLeft : sdRight;
    const TDiffItem &item = FDiffItems[row - 1];
    const std::int32_t index = side == sdLeft ? item.LeftIndex : item.RightIndex;
    // Items waiting for their recomputation may name a line the list has
    // lost since; such a cell is not editable until the rows arrive.
    return index >= 0 && index < Lines(side).size() ? index : -1;
}

void TComparisonSession::CommitLineEdit(int col, int lineIndex, const QString &text)
{
    // The edit may have outlived its comparison or its line.
    if (FFolderMode || !FLinesLoaded || !IsTextColumn(col))
        return;
    const TSide side = col == 1 ? sdLeft : sdRight;
    if (lineIndex < 0 || lineIndex >= Lines(side).size())
        return;

    // A line never holds a break; pasted breaks join the pieces directly.
    QString line = text;
    line.remove(u"\r\n"_s).remove(u'\r').remove(u'\n');

    FUnsavedChanges = true;
    PushUndoState();
    Q_EMIT UndoBecameAvailable();
    Lines(side)[lineIndex] = line;
    StartRecomputeWithBusyCursor();
    ReportStatistics(LineCountsText(), false);
}
