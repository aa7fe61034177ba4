// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffRows.h"

#include <algorithm>

namespace {

TDiffItem MakeRow(int leftIndex, int rightIndex, TDiffKind kind)
{
    TDiffItem item;
    item.LeftIndex = leftIndex;
    item.RightIndex = rightIndex;
    item.Kind = kind;
    return item;
}

// One gap: left [i, leftEnd) and right [j, rightEnd), none of them matched.
void AppendGap(TDiffItems &rows, const QStringList &left, const QStringList &right, int i, int leftEnd, int j,
               int rightEnd)
{
    while (i < leftEnd && j < rightEnd) {
        TDiffItem item = MakeRow(i, j, dkDifferent);
        const TChangeRange range = ComputeChangeRange(left[i], right[j]);
        item.LeftChangeStart = range.LeftChangeStart;
        item.LeftChangeLen = range.LeftChangeLen;
        item.RightChangeStart = range.RightChangeStart;
        item.RightChangeLen = range.RightChangeLen;
        rows.append(item);
        ++i;
        ++j;
    }
    for (; i < leftEnd; ++i)
        rows.append(MakeRow(i, -1, dkLeftOnly));
    for (; j < rightEnd; ++j)
        rows.append(MakeRow(-1, j, dkRightOnly));
}

// The rows BuildDiffRows makes: a row per line, less one per pair. Counted
// first so the rows are allocated once at their final size.
qsizetype RowCount(const LineMatches &matches, int leftCount, int rightCount)
{
    qsizetype pairs = 0;
    int i = 0;
    int j = 0;
    for (const LineMatch &match : matches) {
        pairs += 1 + std::min(match.Left - i, match.Right - j);
        i = match.Left + 1;
        j = match.Right + 1;
    }
    pairs += std::min(leftCount - i, rightCount - j);
    return qsizetype(leftCount) + rightCount - pairs;
}

// Any row with a blank line on either side is shown as equal.
void ApplyBlankLineRule(TDiffItems &rows, const QStringList &left, const QStringList &right)
{
    for (TDiffItem &item : rows) {
        const bool blank = (item.LeftIndex >= 0 && IsBlankText(left[item.LeftIndex]))
                           || (item.RightIndex >= 0 && IsBlankText(right[item.RightIndex]));
        if (blank) {
            item.Kind = dkEqual;
            item.ClearChangeRange();
        }
    }
}

} // namespace

TDiffItems BuildDiffRows(const LineMatches &matches, const QStringList &left, const QStringList &right,
                         const TDiffOptions &options)
{
    TDiffItems rows;
    rows.reserve(RowCount(matches, int(left.size()), int(right.size())));
    int i = 0;
    int j = 0;
    for (const LineMatch &match : matches) {
        AppendGap(rows, left, right, i, match.Left, j, match.Right);
        rows.append(MakeRow(match.Left, match.Right, dkEqual));
        i = match.Left + 1;
        j = match.Right + 1;
    }
    AppendGap(rows, left, right, i, int(left.size()), j, int(right.size()));
    if (options.IgnoreBlankLines)
        ApplyBlankLineRule(rows, left, right);
    return rows;
}
