// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

/// The kind of one row of a comparison; stored in one byte.
enum TDiffKind : std::uint8_t {
    dkEqual = 0,     ///< equal under the options, or made equal by the blank-line rule
    dkLeftOnly = 1,  ///< a left line with no counterpart
    dkRightOnly = 2, ///< a right line with no counterpart
    dkDifferent = 3, ///< a left and a right line paired as a changed line
};

/// One row of the side-by-side view. Indices are 0-based into the line
/// lists, -1 when the row has no line on that side. The change range is
/// counted in UTF-16 code units; a cleared range is start -1, length 0.
struct TDiffItem {
    std::int32_t LeftIndex = -1;
    std::int32_t RightIndex = -1;
    TDiffKind Kind = dkEqual;
    std::int32_t LeftChangeStart = -1;
    std::int32_t LeftChangeLen = 0;
    std::int32_t RightChangeStart = -1;
    std::int32_t RightChangeLen = 0;

    void ClearChangeRange()
    {
        LeftChangeStart = -1;
        LeftChangeLen = 0;
        RightChangeStart = -1;
        RightChangeLen = 0;
    }

    friend bool operator==(const TDiffItem &, const TDiffItem &) = default;
};

using TDiffItems = QList<TDiffItem>;

/// What counts as equal. White space means TAB and SPACE only.
struct TDiffOptions {
    bool IgnoreCase = false;
    bool IgnoreAllWhiteSpace = false;
    bool IgnoreWsAmount = false;
    bool IgnoreLeadingWhiteSpace = false;
    bool IgnoreTrailingWhiteSpace = false;
    bool IgnoreBlankLines = false;

    friend bool operator==(const TDiffOptions &, const TDiffOptions &) = default;
};

/// The changed stretch of a changed line pair, in UTF-16 code units.
struct TChangeRange {
    std::int32_t LeftChangeStart = 0;
    std::int32_t LeftChangeLen = 0;
    std::int32_t RightChangeStart = 0;
    std::int32_t RightChangeLen = 0;

    friend bool operator==(const TChangeRange &, const TChangeRange &) = default;
};

/// Returns the rows of the comparison of `Left` with `Right` in display
/// order; every line of each side occurs in exactly one row, in rising
/// order. Two empty lists give no rows. Pure and reentrant.
TDiffItems ComputeDiff(const QStringList &Left, const QStringList &Right, const TDiffOptions &Options);

/// The same rows as ComputeDiff, found by the plain textbook alignment
/// (about 2 * nLeft * nRight string comparisons). Kept as the reference
/// that the fast form is checked against.
TDiffItems ComputeDiffReference(const QStringList &Left, const QStringList &Right, const TDiffOptions &Options);

/// Returns the comparison key of `line`: two lines are equal exactly when
/// their keys are identical code unit for code unit.
QString NormalizeLine(const QString &line, const TDiffOptions &Options);

/// True when `text` is empty or made only of characters U+0000..U+0020.
bool IsBlankText(QStringView text);

/// The stretch between the common prefix and the (non-overlapping) common
/// suffix of the raw texts. Identical texts report their whole length on
/// each non-empty side, start 0 and length 0 on an empty side.
TChangeRange ComputeChangeRange(QStringView left, QStringView right);
