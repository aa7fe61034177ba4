// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "KeyInterning.h"
#include "LineAlignment.h"

#include <cstdint>
#include <span>
#include <vector>

/// How the rows of a split are computed; every choice gives the same matches.
enum class TAlignRowMethod { ByCost, BitParallel, Threshold };

/// Where the shortcuts of the fast alignment begin. The defaults are the
/// fastest; tests lower them to drive every path on small inputs.
struct TFastAlignerTuning {
    std::int64_t SmallProblemCells = 4096; ///< at or below: plain scalar rows
    TAlignRowMethod RowMethod = TAlignRowMethod::ByCost;
    std::int64_t ParallelRowWork = std::int64_t(1) << 17; ///< word updates worth a second thread
};

/// The same alignment as TPlainLineAligner, match for match, computed with
/// far less work: keys are integer ids; the two rows of each split are
/// computed bit-parallel (64 right keys per word) inside the diagonal band
/// that every best alignment must stay in, or from the matching pairs alone
/// when those are few; subproblems whose answer is known need no rows; and
/// large rows and halves run on two threads. The rows at every split are the
/// same integers where it matters, so every split and every match is the same.
class TFastLineAligner
{
public:
    using TRowMethod = TAlignRowMethod;
    using TTuning = TFastAlignerTuning;

    TFastLineAligner(const std::vector<std::int32_t> &leftIds, const std::vector<std::int32_t> &rightIds,
                     std::int32_t distinctCount, TTuning tuning = {});

    /// Matches over the whole of both lists, strictly rising in both indices.
    LineMatches AlignLines() const;

    /// The length of a common subsequence found cheaply (unique lines as
    /// anchors, equal runs grown around them); never above the LCS length.
    int LcsLowerBound() const;

private:
    struct TRowJob;

    void Align(int a, int b, int c, int d, int lcs, bool lcsExact, LineMatches &matches) const;
    std::vector<std::int32_t> ComputeRow(const TRowJob &job) const;
    std::vector<std::int32_t> BitParallelRow(const TRowJob &job,
                                             const std::vector<std::span<const std::int32_t>> &occurrences) const;
    std::vector<std::int32_t> ThresholdRow(const TRowJob &job,
                                           const std::vector<std::span<const std::int32_t>> &occurrences) const;
    std::span<const std::int32_t> OccurrencesIn(std::int32_t id, int c, int d) const;

    const TTuning FTuning;
    const std::vector<std::int32_t> &FLeft;
    const std::vector<std::int32_t> &FRight;
    // Right positions of each id, ascending: FPositions[FPositionStart[id] .. FPositionStart[id + 1]).
    std::vector<std::int32_t> FPositionStart;
    std::vector<std::int32_t> FPositions;
};

/// The matches of the fast alignment of two interned key lists.
LineMatches AlignLinesFast(const TInternedKeys &keys);
