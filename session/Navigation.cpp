// SPDX-License-Identifier: GPL-3.0-or-later
// Moving the grid's selection from difference to difference.
#include "ComparisonSession.h"

#include "GridCursor.h"
#include "Prompts.h"

#include <algorithm>

namespace {

// Row 0 is the header.
constexpr int FixedRows = 1;

bool Differs(const TDiffItem &item)
{
    return item.Kind != dkEqual;
}

} // namespace

// Navigation reads only the kinds of the items last applied, which are the
// rows the grid shows, so a pending recomputation does not disturb it.

int TComparisonSession::FindFollowingDiffRow(int row) const
{
    const int n = int(FDiffItems.size());
    if (n == 0)
        return -1;
    if (FFolderMode) {
        // Every differing file is a stop of its own.
        for (int s = std::max(row + 1, FixedRows); s <= n; ++s) {
            if (Differs(FDiffItems[s - 1]))
                return s;
        }
        return -1;
    }
    int i = row - 1;
    if (i >= 0 && i < n && Differs(FDiffItems[i]))
        i = FindDiffBlock(i).second;
    for (int j = std::max(i + 1, 0); j < n; ++j) {
        if (Differs(FDiffItems[j]))
            return j + 1;
    }
    return -1;
}

int TComparisonSession::FindPrecedingDiffRow(int row) const
{
    const int n = int(FDiffItems.size());
    if (n == 0)
        return -1;
    int i = row - 1;
    if (FFolderMode) {
        for (int s = std::min(i, n); s >= 1; --s) {
            if (Differs(FDiffItems[s - 1]))
                return s;
        }
        return -1;
    }
    if (i >= 0 && i < n && Differs(FDiffItems[i]))
        i = FindDiffBlock(i).first;
    for (int j = std::min(i - 1, n - 1); j >= 0; --j) {
        if (!Differs(FDiffItems[j]))
            continue;
        while (j > 0 && Differs(FDiffItems[j - 1]))
            --j;
        return j + 1;
    }
    return -1;
}

void TComparisonSession::btnNextDiffClick()
{
    const int row = FindFollowingDiffRow(FGridCursor ? FGridCursor->SelectedRow() : 0);
    if (row <= 0)
        FPrompts.Beep();
    else
        GoToRow(row);
}

void TComparisonSession::btnPrevDiffClick()
{
    const int row = FindPrecedingDiffRow(FGridCursor ? FGridCursor->SelectedRow() : 0);
    if (row <= 0)
        FPrompts.Beep();
    else
        GoToRow(row);
}

void TComparisonSession::btnFirstDiffClick()
{
    const auto found = std::find_if(FDiffItems.cbegin(), FDiffItems.cend(), Differs);
    if (found != FDiffItems.cend())
        GoToRow(int(found - FDiffItems.cbegin()) + 1);
}

void TComparisonSession::btnLastDiffClick()
{
    const auto found = std::find_if(FDiffItems.crbegin(), FDiffItems.crend(), Differs);
    if (found != FDiffItems.crend())
        GoToRow(int(FDiffItems.crend() - found));
}

void TComparisonSession::GoToRow(int row)
{
    if (!FGridCursor)
        return;
    const int rowCount = FGridCursor->RowCount();
    row = std::max(FixedRows, std::min(row, rowCount - 1));
    FGridCursor->SelectRow(row);
    const int visible = std::max(1, FGridCursor->FullyVisibleRowCount());
    const int top = std::max(FixedRows, row - visible / 2);
    const int maxTop = std::max(FixedRows, rowCount - visible);
    FGridCursor->SetTopRow(std::min(top, maxTop));
}
