// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

/// A highlighted stretch of a changed line, in UTF-16 code units:
/// `Start` is the 0-based offset of the first unit, `Len` the unit count.
struct THighlightRange {
    std::int32_t Start = 0;
    std::int32_t Len = 0;

    friend bool operator==(const THighlightRange &, const THighlightRange &) = default;
};

/// Ordered by `Start`, every `Len` above 0, no two ranges overlapping or
/// touching (once normalised).
using THighlightRanges = QList<THighlightRange>;

/// The tokens of one line as three parallel lists in line order: texts,
/// 0-based start offsets and lengths in UTF-16 code units.
struct TLineTokens {
    QStringList Texts;
    QList<std::int32_t> Starts;
    QList<std::int32_t> Lens;
};

/// One flag per token of each list: true when the token belongs to the
/// chosen common subsequence.
struct TCommonTokens {
    QList<bool> CommonA;
    QList<bool> CommonB;
};

/// Largest common-token table, in cells ((nA + 1) * (nB + 1)), that the
/// exact alignment builds: 32M cells of 16 bits, 64 MB. Larger line pairs
/// get the coarse prefix/suffix result instead.
inline constexpr std::int64_t kHighlightTableCellBudget = std::int64_t(32) * 1024 * 1024;

/// Splits `line` into maximal runs of word characters (ASCII letters and
/// digits, '_', every unit above U+007F) and of non-word characters.
/// An empty line gives no tokens.
TLineTokens TokenizeLine(const QString &line);

/// Flags the tokens of `a` and `b` that form one longest common
/// subsequence; equal tokens are paired from the end backwards, and on a
/// tie a token of `a` is given up first. `ignoreCase` folds ASCII a-z only.
/// When the table would exceed `cellBudget` cells, only the tokens common
/// at the end and then at the start of both lists are flagged. A budget
/// above what 16-bit counts can hold is lowered to that limit.
TCommonTokens MarkCommonTokens(const QStringList &a, const QStringList &b, bool ignoreCase,
                               std::int64_t cellBudget = kHighlightTableCellBudget);

/// Drops ranges with `Len` <= 0, sorts the rest by `Start` (stable) and
/// merges overlapping or touching ranges, in place.
void NormalizeRanges(THighlightRanges &ranges);

/// The stretches of `thisLine` whose tokens `otherLine` does not share,
/// normalised. An empty `thisLine` gives no ranges; identical lines give
/// none. Lines whose token table exceeds `cellBudget` get one range
/// spanning everything between their common leading and trailing tokens.
THighlightRanges ComputeHighlightRanges(const QString &thisLine, const QString &otherLine,
                                        bool ignoreCase,
                                        std::int64_t cellBudget = kHighlightTableCellBudget);
