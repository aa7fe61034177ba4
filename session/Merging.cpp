// SPDX-License-Identifier: GPL-3.0-or-later
// Copying blocks and whole sides between the two line lists, and undo.
#include "ComparisonSession.h"

#include "GridCursor.h"
#include "Prompts.h"
#include "translation.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {

TSide Opposite(TSide side)
{
    return side == sdLeft ? sdRight : sdLeft;
}

std::int32_t IndexOn(const TDiffItem &item, TSide side)
{
    return side == sdLeft ? item.LeftIndex : item.RightIndex;
}

} // namespace

void TComparisonSession::btnLeftToRightClick()
{
    CopySelectedBlock(sdRight);
}

void TComparisonSession::btnRightToLeftClick()
{
    CopySelectedBlock(sdLeft);
}

void TComparisonSession::btnAllLeftDiffsToRightClick()
{
    CopyAllTo(sdRight);
}

void TComparisonSession::btnAllRightDiffsToLeftClick()
{
    CopyAllTo(sdLeft);
}

void TComparisonSession::CopySelectedBlock(TSide target)
{
    if (FFolderMode) {
        FPrompts.Beep();
        return;
    }
    RequireLoadedFiles();
    // The block is found through the items, so they must describe the
    // lines it is cut from.
    ApplyPendingRecompute();
    const int row = FGridCursor ? FGridCursor->SelectedRow() : 0;
    if (row <= 0 || row > FDiffItems.size())
        return;
    PushUndoState();
    FUnsavedChanges = true;
    CopyBlock(row - 1, target);
    Q_EMIT UndoBecameAvailable();
    StartRecomputeWithBusyCursor();
}

void TComparisonSession::CopyAllTo(TSide target)
{
    if (FFolderMode) {
        FPrompts.Beep();
        return;
    }
    RequireLoadedFiles();
    if (SameLines(FLeftLines, FRightLines)) {
        FPrompts.Information(Translate(u"Files are already identical."_s));
        return;
    }
    PushUndoState();
    FUnsavedChanges = true;
    Q_EMIT UndoBecameAvailable();
    Lines(target) = Lines(Opposite(target));
    StartRecomputeWithBusyCursor();
    Q_EMIT StatusChanged(target == sdRight
                             ? Translate(u"Right side replaced with LEFT (files made identical)."_s)
                             : Translate(u"Left side replaced with RIGHT (files made identical)."_s));
}

std::pair<int, int> TComparisonSession::FindDiffBlock(int itemIndex) const
{
    const int count = int(FDiffItems.size());
    if (itemIndex < 0 || itemIndex >= count || FDiffItems[itemIndex].Kind == dkEqual)
        return {-1, -1};
    int first = itemIndex;
    int last = itemIndex;
    while (first > 0 && FDiffItems[first - 1].Kind != dkEqual)
        --first;
    while (last < count - 1 && FDiffItems[last + 1].Kind != dkEqual)
        ++last;
    return {first, last};
}

std::pair<int, int> TComparisonSession::FindTargetRange(int first, int last, TSide target) const
{
    std::int32_t lowest = std::numeric_limits<std::int32_t>::max();
    std::int32_t highest = -1;
    for (int i = first; i <= last; ++i) {
        const std::int32_t index = IndexOn(FDiffItems[i], target);
        if (index < 0)
            continue;
        lowest = std::min(lowest, index);
        highest = std::max(highest, index);
    }
    if (highest >= 0)
        return {lowest, highest - lowest + 1};

    // No target lines: insert after the nearest target line above, else
    // before the nearest one below, else at the end.
    for (int i = first - 1; i >= 0; --i) {
        if (IndexOn(FDiffItems[i], target) >= 0)
            return {IndexOn(FDiffItems[i], target) + 1, 0};
    }
    for (int i = last + 1; i < FDiffItems.size(); ++i) {
        if (IndexOn(FDiffItems[i], target) >= 0)
            return {IndexOn(FDiffItems[i], target), 0};
    }
    return {int(Lines(target).size()), 0};
}

void TComparisonSession::CopyBlock(int itemIndex, TSide target)
{
    ApplyPendingRecompute();
    const auto [first, last] = FindDiffBlock(itemIndex);
    if (first < 0)
        return;
    const TSide source = Opposite(target);
    const QStringList &sourceLines = Lines(source);
    QStringList copied;
    for (int i = first; i <= last; ++i) {
        const std::int32_t index = IndexOn(FDiffItems[i], source);
        if (index >= 0)
            copied.append(sourceLines.at(index));
    }
    // A block with nothing to copy deletes nothing on the other side.
    if (copied.isEmpty())
        return;

    QStringList &targetLines = Lines(target);
    auto [position, count] = FindTargetRange(first, last, target);
    position = std::clamp(position, 0, int(targetLines.size()));
    count = std::min(count, int(targetLines.size()) - position);
    const int kept = std::min(count, int(copied.size()));
    for (int k = 0; k < kept; ++k)
        targetLines[position + k] = copied.at(k);
    for (int k = kept; k < copied.size(); ++k)
        targetLines.insert(position + k, copied.at(k));
    if (count > kept)
        targetLines.remove(position + kept, count - kept);
}

bool TComparisonSession::SameLines(const QStringList &a, const QStringList &b)
{
    return a == b;
}

void TComparisonSession::PushUndoState()
{
    TUndoState state;
    state.LeftLines = FLeftLines;
    state.RightLines = FRightLines;
    if (FGridCursor) {
        state.SelectedRow = FGridCursor->SelectedRow();
        state.SelectedCol = FGridCursor->SelectedCol();
        state.TopRow = FGridCursor->TopRow();
    }
    FUndoStack.append(std::move(state));
    if (FUndoStack.size() > UndoStackLimit)
        FUndoStack.remove(0, FUndoStack.size() - UndoStackLimit);
}

void TComparisonSession::ActionUndoExecute()
{
    if (FFolderMode) {
        FPrompts.Beep();
        return;
    }
    // Only a restored snapshot changes the lines; an empty stack just beeps.
    if (!FUndoStack.isEmpty())
        FUnsavedChanges = true;
    UndoLastMerge();
}

void TComparisonSession::UndoLastMerge()
{
    if (FUndoStack.isEmpty()) {
        FPrompts.Beep();
        return;
    }
    const TUndoState state = FUndoStack.takeLast();
    FLeftLines = state.LeftLines;
    FRightLines = state.RightLines;
    StartRecomputeWithBusyCursor();

    // The rows of the restored lines come later: restore the position now,
    // where it fits the grid as it is.
    if (!FGridCursor)
        return;
    const int rows = FGridCursor->RowCount();
    if (state.SelectedRow >= 0 && state.SelectedRow < rows)
        FGridCursor->SelectRow(state.SelectedRow);
    else if (rows > 1)
        FGridCursor->SelectRow(1);
    const int cols = FGridCursor->ColumnCount();
    FGridCursor->SelectCol(state.SelectedCol >= 0 && state.SelectedCol < cols ? state.SelectedCol : 1);
    if (state.TopRow >= 0 && state.TopRow < rows)
        FGridCursor->SetTopRow(state.TopRow);
}
