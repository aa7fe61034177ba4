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
    // The entries of the finished row that a best alignment can reach; only
    // those are made. A forward and a backward row that meet at the same
    // left row cover the same split columns.
    int FirstColumn() const { return std::max(0, Steps() - BelowDiagonal()); }
    int LastColumn() const { return std::min(Columns(), Steps() + AboveDiagonal()); }
};

// Entries FirstColumn() to LastColumn() of a row; the others cannot hold a
// best split.
struct TFastLineAligner::TRowBand {
    int First = 0;
    std::vector<std::int32_t> Values;

    std::int32_t At(int k) const { return Values[std::size_t(k - First)]; }
};

// Where a best alignment crosses the middle left row, and the (exact) LCS
// lengths of the two halves it makes.
struct TFastLineAligner::TSplit {
    int Column = 0;
    int FirstLcs = 0;
    int SecondLcs = 0;
};

TFastLineAligner::TFastLineAligner(std::span<const std::int32_t> leftIds, std::span<const std::int32_t> rightIds,
                                   std::int32_t distinctCount, TTuning tuning)
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
    // Filled from the back, each id's end moving down to its start.
    FPositions.resize(FRight.size());
    for (std::size_t j = FRight.size(); j-- > 0;) {
        const auto id = std::size_t(FRight[j]);
        FPositions[std::size_t(--FPositionStart[id + 1])] = std::int32_t(j);
    }
    // Now entry id + 1 holds the start of id: shift every start into place.
    std::move(FPositionStart.begin() + 1, FPositionStart.end(), FPositionStart.begin());
    FPositionStart.back() = std::int32_t(FRight.size());
}

std::span<const std::int32_t> TFastLineAligner::OccurrencesIn(std::int32_t id, int c, int d) const
{
    const auto first = FPositions.begin() + FPositionStart[std::size_t(id)];
    const auto last = FPositions.begin() + FPositionStart[std::size_t(id) + 1];
    if (last - first == 1) // most lines occur once: no search
        return {first, std::size_t(*first >= c && *first < d)};
    const auto from = std::lower_bound(first, last, c);
    const auto to = std::lower_bound(from, last, d);
    return {from, to};
}

LineMatches TFastLineAligner::AlignLines() const
{
    const int n = int(FLeft.size());
    const int m = int(FRight.size());
    LineMatches matches;
    const auto append = [&matches](LineMatch match) { matches.push_back(match); };
    if (n == 0 || m == 0)
        return matches;
    const int lowerBound = LcsLowerBound();
    if (lowerBound == n && n == m) {
        // The bound is exact: the lists are equal.
        matches.resize(std::size_t(n));
        AlignInto(0, n, 0, m, n, matches.data());
        return matches;
    }
    if (n == 1 || std::int64_t(n) * m <= FTuning.SmallProblemCells) {
        AlignSmall(0, n, 0, m, append);
        return matches;
    }
    // The first split makes the LCS length exact, and so the number of
    // matches: each half writes its own part of them.
    const int mid = n / 2;
    const auto [split, firstLcs, secondLcs] = FindSplit(0, mid, n, 0, m, lowerBound);
    matches.resize(std::size_t(firstLcs + secondLcs));
    AlignHalves(0, mid, n, 0, split, m, firstLcs, secondLcs, matches.data());
    return matches;
}

namespace {

// The longest subsequence of `lefts` whose rights rise (patience sorting),
// in order; of several, the one patience sorting ends with.
template<typename RightOf>
TLargeInt32Vector LongestRisingChain(std::span<const std::int32_t> lefts, RightOf rightOf)
{
    TLargeInt32Vector previous;   // per entry: the entry before it in its chain, -1 for none
    TLargeInt32Vector tails;      // per chain length: the entry ending the best chain so far
    TLargeInt32Vector tailRights; // their rights, rising
    for (auto *list : {&previous, &tails, &tailRights})
        list->reserve(lefts.size());
    for (int u = 0; u < int(lefts.size()); ++u) {
        const int right = rightOf(lefts[std::size_t(u)]);
        const auto length =
            std::size_t(std::lower_bound(tailRights.begin(), tailRights.end(), right) - tailRights.begin());
        previous.push_back(length > 0 ? tails[length - 1] : -1);
        if (length == tails.size()) {
            tails.push_back(u);
            tailRights.push_back(right);
        } else {
            tails[length] = u;
            tailRights[length] = right;
        }
    }
    // The chain in order, written over `tails`, which has its length.
    TLargeInt32Vector chain = std::move(tails);
    int u = chain.empty() ? -1 : chain.back();
    for (std::size_t at = chain.size(); at > 0; u = previous[std::size_t(u)])
        chain[--at] = lefts[std::size_t(u)];
    return chain;
}

} // namespace

int TFastLineAligner::LcsLowerBound() const
{
    const int n = int(FLeft.size());
    const int m = int(FRight.size());
    const std::size_t ids = FPositionStart.size() - 1;

    // How often each id occurs on the left, counted up to 2: only "once" matters.
    std::vector<std::uint8_t> leftCount(ids, 0);
    for (std::int32_t id : FLeft)
        leftCount[std::size_t(id)] = std::uint8_t(std::min(leftCount[std::size_t(id)] + 1, 2));
    const auto rightOfUnique = [this](int i) {
        return FPositions[std::size_t(FPositionStart[std::size_t(FLeft[std::size_t(i)])])];
    };

    // Lines that occur once on each side, in left order. Reserved for the
    // worst case, of which only the part used is touched.
    const auto most = std::size_t(std::min(n, m));
    TLargeInt32Vector uniqueLeft; // their left indices
    uniqueLeft.reserve(most);
    bool rising = true;
    for (int i = 0, lastRight = -1; i < n; ++i) {
        const auto id = std::size_t(FLeft[std::size_t(i)]);
        if (leftCount[id] != 1 || FPositionStart[id + 1] - FPositionStart[id] != 1)
            continue;
        uniqueLeft.push_back(i);
        const int right = rightOfUnique(i);
        rising = rising && right > lastRight;
        lastRight = right;
    }
    // The anchors: the longest chain of them rising on the right. In files
    // that only differ by edits they all rise and are the chain already.
    const TLargeInt32Vector chain = rising ? std::move(uniqueLeft) : LongestRisingChain(uniqueLeft, rightOfUnique);
    const auto anchor = [&](std::size_t at) {
        if (at == chain.size())
            return std::pair{n, m}; // closes the last gap
        return std::pair{chain[at], rightOfUnique(chain[at])};
    };

    // Each anchor counts, and so do equal runs at both ends of every gap.
    int count = 0;
    int i = 0;
    int j = 0;
    for (std::size_t at = 0; at <= chain.size(); ++at) {
        const auto [anchorLeft, anchorRight] = anchor(at);
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

void TFastLineAligner::AlignInto(int a, int b, int c, int d, int lcs, LineMatch *out) const
{
    const int n = b - a;
    const int m = d - c;
    if (lcs == 0)
        return;
    if (lcs == n && n == m) {
        // Only one alignment matches every line: the ranges are equal.
        for (int t = 0; t < n; ++t)
            out[t] = {a + t, c + t};
        return;
    }
    if (n == 1 || std::int64_t(n) * m <= FTuning.SmallProblemCells) {
        AlignSmall(a, b, c, d, [&out](LineMatch match) { *out++ = match; });
        return;
    }
    const int mid = a + n / 2;
    const auto [split, firstLcs, secondLcs] = FindSplit(a, mid, b, c, d, lcs);
    AlignHalves(a, mid, b, c, split, d, firstLcs, secondLcs, out);
}

void TFastLineAligner::AlignHalves(int a, int mid, int b, int c, int split, int d, int firstLcs, int secondLcs,
                                   LineMatch *out) const
{
    // The second half's matches follow the first half's, whose number is
    // known: the halves can run at the same time.
    RunBoth(
        RowWork(mid - a, split - c, firstLcs) + RowWork(b - mid, d - split, secondLcs) >= FTuning.ParallelRowWork,
        [&] { AlignInto(a, mid, c, split, firstLcs, out); },
        [&] { AlignInto(mid, b, split, d, secondLcs, out + firstLcs); });
}

template<typename Emit>
void TFastLineAligner::AlignSmall(int a, int b, int c, int d, Emit emit) const
{
    if (b - a == 1) {
        // The earliest equal right line wins.
        const auto occurrences = OccurrencesIn(FLeft[std::size_t(a)], c, d);
        if (!occurrences.empty())
            emit(LineMatch{a, occurrences.front()});
    } else if (d - c <= WordBits) {
        AlignInOneWord(a, b, c, d, emit);
    } else {
        LineMatches matches;
        TPlainLineAligner<std::span<const std::int32_t>>(FLeft, FRight).Align(a, b, c, d, matches);
        std::for_each(matches.begin(), matches.end(), emit);
    }
}

template<typename Emit>
void TFastLineAligner::AlignInOneWord(int a, int b, int c, int d, Emit &emit) const
{
    // Bit k of masks[i] is set when left a + i equals right c + k; bit k of
    // reversed[i] when it equals right d - 1 - k.
    const int m = d - c;
    std::vector<std::uint64_t> masks(std::size_t(b - a), 0);
    std::vector<std::uint64_t> reversed(std::size_t(b - a), 0);
    for (int i = a; i < b; ++i) {
        for (const std::int32_t j : OccurrencesIn(FLeft[std::size_t(i)], c, d)) {
            masks[std::size_t(i - a)] |= std::uint64_t(1) << (j - c);
            reversed[std::size_t(i - a)] |= std::uint64_t(1) << (d - 1 - j);
        }
    }
    const auto lowBits = [](int count) {
        return count >= WordBits ? ~std::uint64_t(0) : (std::uint64_t(1) << count) - 1;
    };
    // The row of the bit-parallel update (see BitParallelRow) after the
    // given left rows, over `width` columns whose bits start at `shift`.
    const auto row = [&](const std::vector<std::uint64_t> &bits, int first, int last, int step, int shift,
                         int width) {
        const std::uint64_t window = lowBits(width);
        std::uint64_t v = window;
        for (int i = first; i != last; i += step) {
            const std::uint64_t u = v & (bits[std::size_t(i)] >> shift);
            v = ((v + u) | (v - u)) & window;
        }
        return v;
    };
    // Left [i0, i1) against right [k0, k1), relative to a and c.
    const auto align = [&](const auto &self, int i0, int i1, int k0, int k1) -> void {
        const int width = k1 - k0;
        if (i1 == i0 || width == 0)
            return;
        if (i1 - i0 == 1) {
            // The earliest equal right line wins.
            const std::uint64_t equal = (masks[std::size_t(i0)] >> k0) & lowBits(width);
            if (equal != 0)
                emit(LineMatch{a + i0, c + k0 + std::countr_zero(equal)});
            return;
        }
        const int mid = i0 + (i1 - i0) / 2;
        const std::uint64_t forward = row(masks, i0, mid, 1, k0, width);
        const std::uint64_t backward = row(reversed, i1 - 1, mid - 1, -1, m - k1, width);
        // Entry k of a row counts the 0 bits below bit k: forward entry k
        // and backward entry width - k, moved along one bit at a time.
        int forwardEntry = 0;
        int backwardEntry = width - std::popcount(backward);
        int bestSum = backwardEntry;
        int bestK = 0;
        for (int k = 1; k <= width; ++k) {
            forwardEntry += int(~forward >> (k - 1) & 1);
            backwardEntry -= int(~backward >> (width - k) & 1);
            if (forwardEntry + backwardEntry > bestSum) {
                bestSum = forwardEntry + backwardEntry;
                bestK = k;
            }
        }
        self(self, i0, mid, k0, k0 + bestK);
        self(self, mid, i1, k0 + bestK, k1);
    };
    align(align, 0, b - a, 0, m);
}

std::int64_t TFastLineAligner::RowWork(int n, int m, int lcs)
{
    // Word updates of both rows of a split: one per step and band word.
    const int bandBits = std::min(m, (n - lcs) + (m - lcs) + 1);
    return std::int64_t(n) * (WordCount(bandBits) + 1);
}

TFastLineAligner::TSplit TFastLineAligner::FindSplit(int a, int mid, int b, int c, int d, int lcs) const
{
    const int m = d - c;
    const TRowJob forwardJob{a, mid, c, d, false, b - a, lcs};
    const TRowJob backwardJob{mid, b, c, d, true, b - a, lcs};
    TRowBand forward;
    TRowBand backward;
    RunBoth(
        RowWork(b - a, m, lcs) >= 2 * FTuning.ParallelRowWork, [&] { forward = ComputeRow(forwardJob); },
        [&] { backward = ComputeRow(backwardJob); });

    // The smallest k whose forward[k] + backward[m - k] is greatest, as
    // TPlainLineAligner::BestSplit picks it: only k on a best alignment reach
    // the greatest sum, and they lie in the band, where the entries are
    // exact; entries elsewhere are never above the true ones.
    int bestSum = -1;
    int bestK = forward.First;
    const int last = forward.First + int(forward.Values.size()) - 1;
    for (int k = forward.First; k <= last; ++k) {
        const int sum = forward.At(k) + backward.At(m - k);
        if (sum > bestSum) {
            bestSum = sum;
            bestK = k;
        }
    }
    return {c + bestK, forward.At(bestK), backward.At(m - bestK)};
}

TFastLineAligner::TRowBand TFastLineAligner::ComputeRow(const TRowJob &job) const
{
    // The matching pairs, counted over the whole right side: a bound that
    // costs no search and is close where the rows are costly, at the top.
    std::int64_t pairs = 0;
    for (int step = 0; step < job.Steps(); ++step) {
        const auto id = std::size_t(FLeft[std::size_t(job.LeftIndexAt(step))]);
        pairs += FPositionStart[id + 1] - FPositionStart[id];
    }
    // Few matching pairs (lines that rarely repeat, files far apart): follow
    // the pairs alone. Otherwise update 64 columns per machine word.
    const int bandBits = std::min(job.Columns(), job.BelowDiagonal() + job.AboveDiagonal() + 1);
    const std::int64_t bitWork = std::int64_t(job.Steps()) * (WordCount(bandBits) + 1);
    const std::int64_t pairWork = pairs * (std::bit_width(unsigned(job.Lcs) + 1) + 2) / 2;
    const bool followPairs = FTuning.RowMethod == TRowMethod::ByCost ? pairWork < bitWork
                                                                     : FTuning.RowMethod == TRowMethod::Threshold;
    return followPairs ? ThresholdRow(job) : BitParallelRow(job);
}

TFastLineAligner::TRowBand TFastLineAligner::BitParallelRow(const TRowJob &job) const
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
        const auto matchesHere = OccurrencesIn(FLeft[std::size_t(job.LeftIndexAt(step))], job.c, job.d);
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

    // Entry k counts the 0 bits below bit k: whole words up to the band,
    // then one bit at a time.
    TRowBand band{job.FirstColumn(), std::vector<std::int32_t>(std::size_t(job.LastColumn() - job.FirstColumn() + 1))};
    const int first = band.First;
    int entry = 0;
    for (int w = 0; w < first / WordBits; ++w)
        entry += WordBits - std::popcount(row[std::size_t(w)]);
    if (first % WordBits != 0) {
        const std::uint64_t below = (std::uint64_t(1) << (first % WordBits)) - 1;
        entry += first % WordBits - std::popcount(row[std::size_t(first / WordBits)] & below);
    }
    band.Values[0] = entry;
    for (std::size_t at = 1; at < band.Values.size(); ++at) {
        const int bit = first + int(at) - 1;
        entry += int(((row[std::size_t(bit / WordBits)] >> (bit % WordBits)) & 1) ^ 1);
        band.Values[at] = entry;
    }
    return band;
}

TFastLineAligner::TRowBand TFastLineAligner::ThresholdRow(const TRowJob &job) const
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
        const auto matchesHere = OccurrencesIn(FLeft[std::size_t(job.LeftIndexAt(step))], job.c, job.d);
        // Columns in falling order, so one left line matches at most once.
        if (job.Backward) {
            for (std::int32_t j : matchesHere)
                place(job.d - j);
        } else {
            for (auto it = matchesHere.rbegin(); it != matchesHere.rend(); ++it)
                place(*it - job.c + 1);
        }
    }

    // Entry k counts the thresholds up to k.
    TRowBand band{job.FirstColumn(), std::vector<std::int32_t>(std::size_t(job.LastColumn() - job.FirstColumn() + 1))};
    auto reached = std::upper_bound(thresholds.begin(), thresholds.end(), band.First);
    for (std::size_t at = 0; at < band.Values.size(); ++at) {
        const int k = band.First + int(at);
        while (reached != thresholds.end() && *reached <= k)
            ++reached;
        band.Values[at] = std::int32_t(reached - thresholds.begin());
    }
    return band;
}

LineMatches AlignLinesFast(const TInternedKeys &keys)
{
    return TFastLineAligner(keys.Left, keys.Right, keys.DistinctCount).AlignLines();
}
