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
    std::int64_t SmallProblemCells = 4096; ///< at or below: plain rows (one word each when they fit)
    TAlignRowMethod RowMethod = TAlignRowMethod::ByCost;
    std::int64_t ParallelRowWork = std::int64_t(1) << 17; ///< word updates worth a second thread
};

/// The same alignment as TPlainLineAligner, match for match, computed with
/// far less work: keys are integer ids; the two rows of each split are
/// computed bit-parallel (64 right keys per word) inside the diagonal band
/// that every best alignment must stay in, or from the matching pairs alone
/// when those are few, and only their entries in that band are made; small
/// subproblems at most 64 right lines wide keep each row in one word;
/// subproblems whose answer is known need no rows; and large rows and halves
/// run on two threads. The rows at every split are the same integers where it
/// matters, so every split and every match is the same.
class TFastLineAligner
{
public:
    using TRowMethod = TAlignRowMethod;
    using TTuning = TFastAlignerTuning;

    TFastLineAligner(std::span<const std::int32_t> leftIds, std::span<const std::int32_t> rightIds,
                     std::int32_t distinctCount, TTuning tuning = {});

    /// Matches over the whole of both lists, strictly rising in both indices.
    LineMatches AlignLines() const;

    /// The length of a common subsequence found cheaply (unique lines as
    /// anchors, equal runs grown around them); never above the LCS length.
    int LcsLowerBound() const;

private:
    struct TRowJob;
    struct TRowBand;
    struct TSplit;

    // Writes the matches of left [a, b) and right [c, d), whose LCS length
    // `lcs` is exact, to out[0 .. lcs).
    void AlignInto(int a, int b, int c, int d, int lcs, LineMatch *out) const;
    void AlignHalves(int a, int mid, int b, int c, int split, int d, int firstLcs, int secondLcs,
                     LineMatch *out) const;
    // The plain alignment of a small range, each match passed to `emit`.
    template<typename Emit>
    void AlignSmall(int a, int b, int c, int d, Emit emit) const;
    // The plain alignment of a right range at most one word wide.
    template<typename Emit>
    void AlignInOneWord(int a, int b, int c, int d, Emit &emit) const;
    static std::int64_t RowWork(int n, int m, int lcs);
    TSplit FindSplit(int a, int mid, int b, int c, int d, int lcs) const;
    TRowBand ComputeRow(const TRowJob &job) const;
    TRowBand BitParallelRow(const TRowJob &job) const;
    TRowBand ThresholdRow(const TRowJob &job) const;
    std::span<const std::int32_t> OccurrencesIn(std::int32_t id, int c, int d) const;

    const TTuning FTuning;
    const std::span<const std::int32_t> FLeft;
    const std::span<const std::int32_t> FRight;
    // Right positions of each id, ascending: FPositions[FPositionStart[id] .. FPositionStart[id + 1]).
    TLargeInt32Vector FPositionStart;
    TLargeInt32Vector FPositions;
};

/// The matches of the fast alignment of two interned key lists.
LineMatches AlignLinesFast(const TInternedKeys &keys);
