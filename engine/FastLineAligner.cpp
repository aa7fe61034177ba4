// SPDX-License-Identifier: GPL-3.0-or-later
#include "FastLineAligner.h"

#include "ParallelWork.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

namespace {

constexpr int WordBits = 64;

int WordCount(int bits)
{
    return (bits + WordBits - 1) / WordBits;
}

} // namespace

// One row of the split: the LCS lengths of left rows [a, b) against every
// prefix (forward) or suffix (backward) of the right range [c, d). Cells
// outside the diagonal band of the whole subproblem (fullRows x d-c with a
// best alignment of at least lcs) cannot lie on a best alignment; they may
// come out too low, which never changes the split.
struct TFastLineAligner::TRowJob {
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;
    bool Backward = false;
    int FullRows = 0;
    int Lcs = 0;

    int Steps() const { return b - a; }
    int Columns() const { return d - c; }
    int LeftIndexAt(int step) const { return Backward ? b - 1 - step : a + step; }
    // The bit (column k - 1) that right index j occupies.
    int BitOf(int j) const { return Backward ? d - 1 - j : j - c; }
    // Cells k with k - i in [-(FullRows - Lcs), Columns() - Lcs] after i steps.
    int BelowDiagonal() const { return FullRows - Lcs; }
    int AboveDiagonal() const { return Columns() - Lcs; }
};

TFastLineAligner::TFastLineAligner(const std::vector<std::int32_t> &leftIds,
                                   const std::vector<std::int32_t> &rightIds, std::int32_t distinctCount,
                                   TTuning tuning)
    : FTuning(tuning)
    , FLeft(leftIds)
    , FRight(rightIds)
{
    // Counting sort of the right positions by id.
    FPositionStart.assign(std::size_t(distinctCount) + 1, 0);
    for (std::int32_t id : FRight)
        ++FPositionStart[std::size_t(id) + 1];
    for (std::size_t id = 0; id < std::size_t(distinctCount); ++id)
        FPositionStart[id + 1] += FPositionStart[id];
    FPositions.resize(FRight.size());
    std::vector<std::int32_t> next(FPositionStart.begin(), FPositionStart.end() - 1);
    for (std::size_t j = 0; j < FRight.size(); ++j)
        FPositions[std::size_t(next[std::size_t(FRight[j])]++)] = std::int32_t(j);
}

std::span<const std::int32_t> TFastLineAligner::OccurrencesIn(std::int32_t id, int c, int d) const
{
    const auto first = FPositions.begin() + FPositionStart[std::size_t(id)];
    const auto last = FPositions.begin() + FPositionStart[std::size_t(id) + 1];
    const auto from = std::lower_bound(first, last, c);
    const auto to = std::lower_bound(from, last, d);
    return {from, to};
}

LineMatches TFastLineAligner::AlignLines() const
{
    LineMatches matches;
    Align(0, int(FLeft.size()), 0, int(FRight.size()), LcsLowerBound(), false, matches);
    return matches;
}

int TFastLineAligner::LcsLowerBound() const
{
    const int n = int(FLeft.size());
    const int m = int(FRight.size());
    const std::size_t ids = FPositionStart.size() - 1;

    // Lines that occur once on each side, in left order, with their right index.
    std::vector<int> leftCount(ids, 0);
    for (std::int32_t id : FLeft)
        ++leftCount[std::size_t(id)];
    std::vector<std::pair<int, int>> unique;
    for (int i = 0; i < n; ++i) {
        const auto id = std::size_t(FLeft[std::size_t(i)]);
        if (leftCount[id] == 1 && FPositionStart[id + 1] - FPositionStart[id] == 1)
            unique.emplace_back(i, FPositions[std::size_t(FPositionStart[id])]);
    }

    // Longest chain of anchors rising on the right (patience sorting).
    std::vector<int> tails;        // index into `unique` of the chain end per length
    std::vector<int> previous(unique.size(), -1);
    for (int u = 0; u < int(unique.size()); ++u) {
        const auto it = std::lower_bound(tails.begin(), tails.end(), unique[std::size_t(u)].second,
                                         [&](int t, int right) { return unique[std::size_t(t)].second < right; });
        if (it != tails.begin())
            previous[std::size_t(u)] = *(it - 1);
        if (it == tails.end())
            tails.push_back(u);
        else
            *it = u;
    }
    std::vector<std::pair<int, int>> anchors;
    for (int u = tails.empty() ? -1 : tails.back(); u >= 0; u = previous[std::size_t(u)])
        anchors.push_back(unique[std::size_t(u)]);
    std::reverse(anchors.begin(), anchors.end());
    anchors.emplace_back(n, m); // sentinel closing the last gap

    // Each anchor counts, and so do equal runs at both ends of every gap.
    int count = 0;
    int i = 0;
    int j = 0;
    for (const auto &[anchorLeft, anchorRight] : anchors) {
        int endLeft = anchorLeft;
        int endRight = anchorRight;
        while (i < endLeft && j < endRight && FLeft[std::size_t(i)] == FRight[std::size_t(j)]) {
            ++count;
            ++i;
            ++j;
        }
        while (endLeft > i && endRight > j
               && FLeft[std::size_t(endLeft - 1)] == FRight[std::size_t(endRight - 1)]) {
            ++count;
            --endLeft;
            --endRight;
        }
        if (anchorLeft < n)
            ++count;
        i = anchorLeft + 1;
        j = anchorRight + 1;
    }
    return count;
}

void TFastLineAligner::Align(int a, int b, int c, int d, int lcs, bool lcsExact, LineMatches &matches) const
{
    const int n = b - a;
    const int m = d - c;
    if (n == 0 || m == 0 || (lcsExact && lcs == 0))
        return;
    if (lcsExact && lcs == n && n == m) {
        // Only one alignment matches every line: the ranges are equal.
        for (int t = 0; t < n; ++t)
            matches.push_back({a + t, c + t});
        return;
    }
    if (n == 1) {
        // The earliest equal right line wins.
        const auto occurrences = OccurrencesIn(FLeft[std::size_t(a)], c, d);
        if (!occurrences.empty())
            matches.push_back({a, occurrences.front()});
        return;
    }
    if (std::int64_t(n) * m <= FTuning.SmallProblemCells) {
        TPlainLineAligner<std::vector<std::int32_t>>(FLeft, FRight).Align(a, b, c, d, matches);
        return;
    }

    const int mid = a + n / 2;
    const TRowJob forwardJob{a, mid, c, d, false, n, lcs};
    const TRowJob backwardJob{mid, b, c, d, true, n, lcs};
    std::vector<std::int32_t> forward;
    std::vector<std::int32_t> backward;
    const std::int64_t rowWork = std::int64_t(n) * std::min(WordCount(m), WordCount(2 * n + m - 2 * lcs) + 1);
    RunBoth(
        rowWork >= 2 * FTuning.ParallelRowWork, [&] { forward = ComputeRow(forwardJob); },
        [&] { backward = ComputeRow(backwardJob); });

    const int k = TPlainLineAligner<std::vector<std::int32_t>>::BestSplit(forward, backward);
    const int split = c + k;
    // Both halves' LCS lengths are exact: the split lies on a best alignment.
    const int firstLcs = forward[std::size_t(k)];
    const int secondLcs = backward[std::size_t(m - k)];
    LineMatches secondHalf;
    RunBoth(
        rowWork >= FTuning.ParallelRowWork, [&] { Align(a, mid, c, split, firstLcs, true, matches); },
        [&] { Align(mid, b, split, d, secondLcs, true, secondHalf); });
    matches.insert(matches.end(), secondHalf.begin(), secondHalf.end());
}

std::vector<std::int32_t> TFastLineAligner::ComputeRow(const TRowJob &job) const
{
    std::vector<std::span<const std::int32_t>> occurrences(std::size_t(job.Steps()));
    std::int64_t pairs = 0;
    for (int step = 0; step < job.Steps(); ++step) {
        occurrences[std::size_t(step)] = OccurrencesIn(FLeft[std::size_t(job.LeftIndexAt(step))], job.c, job.d);
        pairs += std::int64_t(occurrences[std::size_t(step)].size());
    }
    // Few matching pairs (lines that rarely repeat, files far apart): follow
    // the pairs alone. Otherwise update 64 columns per machine word.
    const int bandBits = std::min(job.Columns(), job.BelowDiagonal() + job.AboveDiagonal() + 1);
    const std::int64_t bitWork = std::int64_t(job.Steps()) * (WordCount(bandBits) + 1);
    const std::int64_t pairWork = pairs * (std::bit_width(unsigned(job.Lcs) + 1) + 2) / 2;
    const bool followPairs = FTuning.RowMethod == TRowMethod::ByCost ? pairWork < bitWork
                                                                     : FTuning.RowMethod == TRowMethod::Threshold;
    if (followPairs)
        return ThresholdRow(job, occurrences);
    return BitParallelRow(job, occurrences);
}

std::vector<std::int32_t>
TFastLineAligner::BitParallelRow(const TRowJob &job,
                                 const std::vector<std::span<const std::int32_t>> &occurrences) const
{
    // Bit k-1 of `row` is 0 where the table grows from column k-1 to k, so
    // entry k is the number of 0 bits below k (the update of Allison-Dix and
    // Hyyro: U = V & M; V' = (V + U) | (V - U), the carry crossing words).
    const int m = job.Columns();
    const int words = WordCount(m);
    std::vector<std::uint64_t> row(std::size_t(words), ~std::uint64_t(0));
    std::vector<std::uint64_t> sparseMask(std::size_t(words), 0);
    // Keys that match more often than once per word get their mask built once.
    std::unordered_map<std::int32_t, std::vector<std::uint64_t>> denseMasks;

    for (int step = 0; step < job.Steps(); ++step) {
        const auto matchesHere = occurrences[std::size_t(step)];
        if (matchesHere.empty())
            continue; // no match leaves the row as it is
        const int i = step + 1;
        const int lowBit = std::max(0, i - job.BelowDiagonal() - 1);
        const int highBit = std::min(m - 1, i + job.AboveDiagonal() - 1);
        if (lowBit > highBit)
            continue;
        const int lowWord = lowBit / WordBits;
        const int highWord = highBit / WordBits;

        const std::uint64_t *mask = sparseMask.data();
        const bool dense = std::int64_t(matchesHere.size()) * WordBits > m;
        if (dense) {
            auto [entry, isNew] = denseMasks.try_emplace(FLeft[std::size_t(job.LeftIndexAt(step))]);
            if (isNew) {
                entry->second.assign(std::size_t(words), 0);
                for (std::int32_t j : matchesHere) {
                    const int bit = job.BitOf(j);
                    entry->second[std::size_t(bit / WordBits)] |= std::uint64_t(1) << (bit % WordBits);
                }
            }
            mask = entry->second.data();
        } else {
            for (std::int32_t j : matchesHere) {
                const int bit = job.BitOf(j);
                sparseMask[std::size_t(bit / WordBits)] |= std::uint64_t(1) << (bit % WordBits);
            }
        }

        // Words left of the band stay as they are: the carry into the band is 0.
        std::uint64_t carry = 0;
        for (int w = lowWord; w <= highWord; ++w) {
            const std::uint64_t v = row[std::size_t(w)];
            const std::uint64_t u = v & mask[w];
            const std::uint64_t partial = v + u;
            const std::uint64_t sum = partial + carry;
            carry = std::uint64_t(partial < v) | std::uint64_t(sum < partial);
            row[std::size_t(w)] = sum | (v - u);
        }

        if (!dense) {
            for (std::int32_t j : matchesHere)
                sparseMask[std::size_t(job.BitOf(j) / WordBits)] = 0;
        }
    }

    std::vector<std::int32_t> result(std::size_t(m) + 1, 0);
    for (int k = 1; k <= m; ++k) {
        const bool grows = ((row[std::size_t((k - 1) / WordBits)] >> ((k - 1) % WordBits)) & 1) == 0;
        result[std::size_t(k)] = result[std::size_t(k - 1)] + (grows ? 1 : 0);
    }
    return result;
}

std::vector<std::int32_t>
TFastLineAligner::ThresholdRow(const TRowJob &job, const std::vector<std::span<const std::int32_t>> &occurrences) const
{
    // thresholds[l]: the fewest columns that reach a common subsequence of
    // length l + 1 so far (the method of Hunt and Szymanski).
    std::vector<std::int32_t> thresholds;
    const auto place = [&thresholds](std::int32_t column) {
        const auto it = std::lower_bound(thresholds.begin(), thresholds.end(), column);
        if (it == thresholds.end())
            thresholds.push_back(column);
        else
            *it = column;
    };
    for (int step = 0; step < job.Steps(); ++step) {
        const auto matchesHere = occurrences[std::size_t(step)];
        // Columns in falling order, so one left line matches at most once.
        if (job.Backward) {
            for (std::int32_t j : matchesHere)
                place(job.d - j);
        } else {
            for (auto it = matchesHere.rbegin(); it != matchesHere.rend(); ++it)
                place(*it - job.c + 1);
        }
    }

    const int m = job.Columns();
    std::vector<std::int32_t> result(std::size_t(m) + 1, 0);
    std::size_t reached = 0;
    for (int k = 1; k <= m; ++k) {
        while (reached < thresholds.size() && thresholds[reached] <= k)
            ++reached;
        result[std::size_t(k)] = std::int32_t(reached);
    }
    return result;
}

LineMatches AlignLinesFast(const TInternedKeys &keys)
{
    return TFastLineAligner(keys.Left, keys.Right, keys.DistinctCount).AlignLines();
}
