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

/// Splits `line` into maximal runs of word characters (ASCII letters and
/// digits, '_', every unit above U+007F) and of non-word characters.
/// An empty line gives no tokens.
TLineTokens TokenizeLine(const QString &line);

/// Flags the tokens of `a` and `b` that form one longest common
/// subsequence; equal tokens are paired from the end backwards, and on a
/// tie a token of `a` is given up first. `ignoreCase` folds ASCII a-z only.
/// Exact at every length: the result is that of
/// `MarkCommonTokensReference`. Short pairs use that table; longer ones
/// `MarkCommonTokensBitParallel`. Only if memory for the latter runs out
/// are just the tokens common at the end and then at the start flagged.
TCommonTokens MarkCommonTokens(const QStringList &a, const QStringList &b, bool ignoreCase);

/// The plain form: a full (nA + 1) x (nB + 1) table of 32-bit counts and a
/// walk back from its last cell. Memory grows with nA * nB; meant for short
/// lists and as the yardstick the fast form is checked against.
TCommonTokens MarkCommonTokensReference(const QStringList &a, const QStringList &b, bool ignoreCase);

/// The same result as `MarkCommonTokensReference` for every input, from
/// table rows computed 64 cells at a time. Time about 2 * nA * nB / 64
/// word steps; memory about 2 * sqrt(nA) * nB / 8 bytes for the rows
/// (8 MB for two lists of 100,000 tokens) plus some bytes per token. Throws
/// std::bad_alloc when that memory is not available.
TCommonTokens MarkCommonTokensBitParallel(const QStringList &a, const QStringList &b,
                                          bool ignoreCase);

/// Drops ranges with `Len` <= 0, sorts the rest by `Start` (stable) and
/// merges overlapping or touching ranges, in place.
void NormalizeRanges(THighlightRanges &ranges);

/// The stretches of `thisLine` whose tokens `otherLine` does not share,
/// normalised. An empty `thisLine` gives no ranges; identical lines give
/// none.
THighlightRanges ComputeHighlightRanges(const QString &thisLine, const QString &otherLine,
                                        bool ignoreCase);
