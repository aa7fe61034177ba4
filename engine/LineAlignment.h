// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <vector>

/// One matched pair of a longest common subsequence, 0-based indices.
struct LineMatch {
    std::int32_t Left = 0;
    std::int32_t Right = 0;

    friend bool operator==(const LineMatch &, const LineMatch &) = default;
};

using LineMatches = std::vector<LineMatch>;

/// Aligns two key lists by a longest common subsequence found by recursive
/// halving of the left range (linear memory), with fixed tie-breaks so that
/// the same keys always give the same matches. This is the plain reference
/// form: every faster alignment must return exactly its matches. `Keys` is
/// any indexable list whose elements compare with ==.
template<typename Keys>
class TPlainLineAligner
{
public:
    TPlainLineAligner(const Keys &leftKeys, const Keys &rightKeys)
        : FLeftKeys(leftKeys)
        , FRightKeys(rightKeys)
    {
    }

    /// Matches over the whole of both lists, strictly rising in both indices.
    LineMatches AlignLines() const
    {
        LineMatches matches;
        Align(0, int(FLeftKeys.size()), 0, int(FRightKeys.size()), matches);
        return matches;
    }

    /// Aligns left [a, b) with right [c, d), appending to `matches`.
    void Align(int a, int b, int c, int d, LineMatches &matches) const
    {
        const int n = b - a;
        const int m = d - c;
        if (n == 0 || m == 0)
            return;
        if (n == 1) {
            // The earliest equal right line wins.
            for (int j = c; j < d; ++j) {
                if (FLeftKeys[a] == FRightKeys[j]) {
                    matches.push_back({a, j});
                    return;
                }
            }
            return;
        }
        const int mid = a + n / 2;
        const std::vector<std::int32_t> forward = ForwardRow(a, mid, c, d);
        const std::vector<std::int32_t> backward = BackwardRow(mid, b, c, d);
        const int split = c + BestSplit(forward, backward);
        Align(a, mid, c, split, matches);
        Align(mid, b, split, d, matches);
    }

    /// Entry k (0..d-c): LCS length of left [a, b) and right [c, c+k).
    std::vector<std::int32_t> ForwardRow(int a, int b, int c, int d) const
    {
        return Row(b - a, d - c, [&](int step) { return a + step; }, [&](int k) { return c + k - 1; });
    }

    /// Entry k (0..d-c): LCS length of left [a, b) and right [d-k, d).
    std::vector<std::int32_t> BackwardRow(int a, int b, int c, int d) const
    {
        return Row(b - a, d - c, [&](int step) { return b - 1 - step; }, [&](int k) { return d - k; });
    }

    /// The smallest offset k whose sum forward[k] + backward[m - k] is
    /// greatest: the right range is cut as early as possible on a tie.
    static int BestSplit(const std::vector<std::int32_t> &forward, const std::vector<std::int32_t> &backward)
    {
        const int m = int(forward.size()) - 1;
        int bestSum = -1;
        int bestK = 0;
        for (int k = 0; k <= m; ++k) {
            const int sum = forward[k] + backward[m - k];
            if (sum > bestSum) {
                bestSum = sum;
                bestK = k;
            }
        }
        return bestK;
    }

private:
    // The classic table, two rows at a time; `leftAt` gives the left index
    // of each step, `rightAt` the right index that column k compares.
    template<typename LeftAt, typename RightAt>
    std::vector<std::int32_t> Row(int steps, int m, LeftAt leftAt, RightAt rightAt) const
    {
        std::vector<std::int32_t> previous(m + 1, 0);
        std::vector<std::int32_t> current(m + 1, 0);
        for (int step = 0; step < steps; ++step) {
            const auto &key = FLeftKeys[leftAt(step)];
            current[0] = 0;
            for (int k = 1; k <= m; ++k) {
                if (key == FRightKeys[rightAt(k)])
                    current[k] = previous[k - 1] + 1;
                else
                    current[k] = std::max(current[k - 1], previous[k]);
            }
            std::swap(previous, current);
        }
        return previous;
    }

    const Keys &FLeftKeys;
    const Keys &FRightKeys;
};

/// The matches of the plain alignment of two key lists.
LineMatches AlignLines(const QStringList &leftKeys, const QStringList &rightKeys);
