// SPDX-License-Identifier: GPL-3.0-or-later
#include "HighlightRanges.h"

#include <QStringView>

#include <algorithm>
#include <new>
#include <vector>

namespace {

// Counts in the table never exceed min(nA, nB). A table of at most
// 32768 * 32768 cells has min(nA, nB) + 1 <= 32768, so every count fits
// in int16. The default budget (32M cells) keeps min(nA, nB) below ~5.8k.
constexpr std::int64_t kMaxCellsFor16BitCounts = std::int64_t(32768) * 32768;
static_assert(kHighlightTableCellBudget <= kMaxCellsFor16BitCounts);

constexpr bool IsWordChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')
        || c == u'_' || c > 0x7F;
}

constexpr char16_t FoldAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

bool TokensEqual(QStringView a, QStringView b, bool ignoreCase)
{
    if (a.size() != b.size())
        return false;
    if (!ignoreCase)
        return a == b;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i].unicode()) != FoldAscii(b[i].unicode()))
            return false;
    }
    return true;
}

// Coarse but sound pairing for lines too long for the table: only the
// tokens shared at the end, then at the start, count as common. The end
// goes first, as in the exact walk.
void MarkCommonEnds(const QStringList &a, const QStringList &b, bool ignoreCase,
                    TCommonTokens &result)
{
    qsizetype endA = a.size();
    qsizetype endB = b.size();
    while (endA > 0 && endB > 0 && TokensEqual(a[endA - 1], b[endB - 1], ignoreCase)) {
        --endA;
        --endB;
        result.CommonA[endA] = true;
        result.CommonB[endB] = true;
    }
    for (qsizetype i = 0; i < endA && i < endB && TokensEqual(a[i], b[i], ignoreCase); ++i) {
        result.CommonA[i] = true;
        result.CommonB[i] = true;
    }
}

} // namespace

TLineTokens TokenizeLine(const QString &line)
{
    TLineTokens tokens;
    const qsizetype n = line.size();
    qsizetype start = 0;
    while (start < n) {
        const bool word = IsWordChar(line[start].unicode());
        qsizetype end = start + 1;
        while (end < n && IsWordChar(line[end].unicode()) == word)
            ++end;
        tokens.Texts.append(line.sliced(start, end - start));
        tokens.Starts.append(std::int32_t(start));
        tokens.Lens.append(std::int32_t(end - start));
        start = end;
    }
    return tokens;
}

TCommonTokens MarkCommonTokens(const QStringList &a, const QStringList &b, bool ignoreCase,
                               std::int64_t cellBudget)
{
    const qsizetype nA = a.size();
    const qsizetype nB = b.size();
    TCommonTokens result;
    result.CommonA.fill(false, nA);
    result.CommonB.fill(false, nB);
    if (nA == 0 || nB == 0)
        return result;

    const std::int64_t width = std::int64_t(nB) + 1;
    const std::int64_t cells = (std::int64_t(nA) + 1) * width;
    if (cells > std::min(cellBudget, kMaxCellsFor16BitCounts)) {
        MarkCommonEnds(a, b, ignoreCase, result);
        return result;
    }

    std::vector<std::int16_t> table;
    try {
        table.assign(std::size_t(cells), 0);
    } catch (const std::bad_alloc &) {
        // Called while painting: a coarse result beats an exception.
        MarkCommonEnds(a, b, ignoreCase, result);
        return result;
    }
    const auto at = [&](qsizetype i, qsizetype j) -> std::int16_t & {
        return table[std::size_t(i * width + j)];
    };

    for (qsizetype i = 1; i <= nA; ++i) {
        for (qsizetype j = 1; j <= nB; ++j) {
            if (TokensEqual(a[i - 1], b[j - 1], ignoreCase))
                at(i, j) = std::int16_t(at(i - 1, j - 1) + 1);
            else
                at(i, j) = std::max(at(i - 1, j), at(i, j - 1));
        }
    }

    qsizetype i = nA;
    qsizetype j = nB;
    while (i > 0 && j > 0) {
        if (TokensEqual(a[i - 1], b[j - 1], ignoreCase)) {
            result.CommonA[i - 1] = true;
            result.CommonB[j - 1] = true;
            --i;
            --j;
        } else if (at(i - 1, j) >= at(i, j - 1)) {
            --i;
        } else {
            --j;
        }
    }
    return result;
}

void NormalizeRanges(THighlightRanges &ranges)
{
    ranges.removeIf([](const THighlightRange &r) { return r.Len <= 0; });
    if (ranges.size() < 2)
        return;
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const THighlightRange &x, const THighlightRange &y) { return x.Start < y.Start; });

    // Ends in 64 bits: Start + Len may leave the 32-bit range.
    qsizetype kept = 0;
    for (qsizetype k = 1; k < ranges.size(); ++k) {
        THighlightRange &current = ranges[kept];
        const THighlightRange next = ranges[k];
        const std::int64_t currentEnd = std::int64_t(current.Start) + current.Len;
        if (next.Start <= currentEnd) {
            const std::int64_t nextEnd = std::int64_t(next.Start) + next.Len;
            current.Len = std::int32_t(std::max(currentEnd, nextEnd) - current.Start);
        } else {
            ranges[++kept] = next;
        }
    }
    ranges.resize(kept + 1);
}

THighlightRanges ComputeHighlightRanges(const QString &thisLine, const QString &otherLine,
                                        bool ignoreCase, std::int64_t cellBudget)
{
    const TLineTokens mine = TokenizeLine(thisLine);
    const TLineTokens other = TokenizeLine(otherLine);
    const TCommonTokens common = MarkCommonTokens(mine.Texts, other.Texts, ignoreCase, cellBudget);

    THighlightRanges ranges;
    for (qsizetype k = 0; k < mine.Texts.size(); ++k) {
        if (!common.CommonA[k])
            ranges.append({mine.Starts[k], mine.Lens[k]});
    }
    NormalizeRanges(ranges);
    return ranges;
}
