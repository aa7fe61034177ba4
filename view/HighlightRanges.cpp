// SPDX-License-Identifier: GPL-3.0-or-later
#include "HighlightRanges.h"

#include <QStringView>

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <new>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Up to this many table cells the plain table is quicker than interning
// the tokens and building bit rows.
constexpr std::int64_t kSmallTableCells = 4096;

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

// Tokens as views into their line or list: no copies.
using TTokenViews = std::vector<QStringView>;

TTokenViews ViewsOf(const QStringList &tokens)
{
    return TTokenViews(tokens.cbegin(), tokens.cend());
}

// Only for when the exact form finds no memory: the tokens shared at the
// end, then at the start, count as common. The end goes first, as in the
// exact walk.
void MarkCommonEnds(const TTokenViews &a, const TTokenViews &b, bool ignoreCase, TCommonTokens &result)
{
    std::size_t endA = a.size();
    std::size_t endB = b.size();
    while (endA > 0 && endB > 0 && TokensEqual(a[endA - 1], b[endB - 1], ignoreCase)) {
        --endA;
        --endB;
        result.CommonA[qsizetype(endA)] = true;
        result.CommonB[qsizetype(endB)] = true;
    }
    for (std::size_t i = 0; i < endA && i < endB && TokensEqual(a[i], b[i], ignoreCase); ++i) {
        result.CommonA[qsizetype(i)] = true;
        result.CommonB[qsizetype(i)] = true;
    }
}

TCommonTokens NothingCommon(qsizetype nA, qsizetype nB)
{
    TCommonTokens result;
    result.CommonA.fill(false, nA);
    result.CommonB.fill(false, nB);
    return result;
}

// Token ids: equal tokens (after folding) share one, numbered from 0 in
// order of first appearance in b. A token of a that b lacks gets -1,
// which no token of b has.
struct TTokenIds {
    std::vector<std::int32_t> A;
    std::vector<std::int32_t> B;
    std::int32_t Count = 0;
};

struct TTokenHash {
    bool IgnoreCase = false;
    std::size_t operator()(QStringView token) const
    {
        std::uint64_t hash = 0xcbf29ce484222325u; // FNV-1a
        for (QChar c : token) {
            hash ^= IgnoreCase ? FoldAscii(c.unicode()) : c.unicode();
            hash *= 0x100000001b3u;
        }
        return std::size_t(hash);
    }
};

struct TTokenEqual {
    bool IgnoreCase = false;
    bool operator()(QStringView a, QStringView b) const { return TokensEqual(a, b, IgnoreCase); }
};

TTokenIds InternTokens(const TTokenViews &a, const TTokenViews &b, bool ignoreCase)
{
    TTokenIds ids;
    std::unordered_map<QStringView, std::int32_t, TTokenHash, TTokenEqual> idOf(
        b.size(), TTokenHash{ignoreCase}, TTokenEqual{ignoreCase});
    ids.B.reserve(b.size());
    for (QStringView token : b) {
        const auto [it, added] = idOf.try_emplace(token, ids.Count);
        if (added)
            ++ids.Count;
        ids.B.push_back(it->second);
    }
    ids.A.reserve(a.size());
    for (QStringView token : a) {
        const auto it = idOf.find(token);
        ids.A.push_back(it == idOf.end() ? -1 : it->second);
    }
    return ids;
}

using TWord = std::uint64_t;
constexpr int kWordBits = 64;

// v + u + carry, the carry out written back to `carry`.
inline TWord AddWithCarry(TWord v, TWord u, unsigned char &carry)
{
#if defined(__x86_64__)
    unsigned long long sum = 0;
    carry = _addcarry_u64(carry, v, u, &sum);
    return sum;
#else
    const TWord partial = v + u;
    const TWord sum = partial + carry;
    carry = (partial < v) | (sum < partial);
    return sum;
#endif
}

// Rows of the common-token table of a against b, 64 cells to a word. Bit
// c of row r is set when D[r][c + 1] == D[r][c], so D[r][c] is c minus the
// set bits below c. Row 0 has every bit set; each next row follows from
// the one before with one carrying addition (U = V & M,
// V' = (V + U) | (V - U), M the places in b of a's token). The carry into
// bit c of that addition is D[r + 1][c] - D[r][c]: it is what row r + 1
// has fewer set bits than row r below c.
class TBitRows
{
public:
    TBitRows(std::span<const std::int32_t> a, std::span<const std::int32_t> b, std::int32_t idCount)
        : FA(a)
        , FWords(int((b.size() + kWordBits - 1) / kWordBits))
    {
        // The places of each id in b, grouped by id and ascending.
        FStart.assign(std::size_t(idCount) + 1, 0);
        for (std::int32_t id : b)
            ++FStart[std::size_t(id) + 1];
        for (std::size_t id = 0; id < std::size_t(idCount); ++id)
            FStart[id + 1] += FStart[id];
        FPositions.resize(b.size());
        std::vector<std::int32_t> fill(FStart.begin(), FStart.end() - 1);
        for (std::size_t c = 0; c < b.size(); ++c)
            FPositions[std::size_t(fill[std::size_t(b[c])]++)] = std::int32_t(c);

        // Frequent tokens (a space, a comma) get a whole mask: setting and
        // clearing their bits on every row would cost more than a pass.
        // At most 2 * nB / words of them, so these masks take O(nB) bits.
        FDenseIndex.assign(std::size_t(idCount), -1);
        int dense = 0;
        for (std::size_t id = 0; id < std::size_t(idCount); ++id) {
            if (2 * (FStart[id + 1] - FStart[id]) >= FWords)
                FDenseIndex[id] = dense++;
        }
        FDense.assign(std::size_t(dense) * std::size_t(FWords), 0);
        for (std::size_t id = 0; id < std::size_t(idCount); ++id) {
            if (FDenseIndex[id] < 0)
                continue;
            TWord *mask = FDense.data() + std::size_t(FDenseIndex[id]) * std::size_t(FWords);
            for (std::int32_t at = FStart[id]; at < FStart[id + 1]; ++at) {
                const std::int32_t c = FPositions[std::size_t(at)];
                mask[c / kWordBits] |= TWord(1) << (c % kWordBits);
            }
        }
        FScratch.assign(std::size_t(FWords), 0);
    }

    int Words() const { return FWords; }

    /// False when token r of a occurs nowhere in b: row r + 1 is row r and
    /// nothing is written.
    bool HasMatches(int r) const
    {
        const std::int32_t id = FA[std::size_t(r)];
        return id >= 0 && FStart[std::size_t(id)] != FStart[std::size_t(id) + 1];
    }

    /// Row r + 1 from row r (`from`), words [0, words) only: a carry only
    /// moves up, so those words do not depend on the ones above. `from` may
    /// be `to`. With `carries`, bit w (of words / 64 + 1 words) is the
    /// carry into word w, for w = 0 .. words. Needs HasMatches(r).
    void Next(int r, const TWord *from, TWord *to, int words, TWord *carries)
    {
        const std::int32_t id = FA[std::size_t(r)];
        const int dense = FDenseIndex[std::size_t(id)];
        const TWord *mask = FScratch.data();
        const std::int32_t *first = FPositions.data() + FStart[std::size_t(id)];
        const std::int32_t *last = FPositions.data() + FStart[std::size_t(id) + 1];
        if (dense >= 0) {
            mask = FDense.data() + std::size_t(dense) * std::size_t(FWords);
        } else {
            last = std::lower_bound(first, last, std::int64_t(words) * kWordBits);
            for (const std::int32_t *p = first; p != last; ++p)
                FScratch[std::size_t(*p / kWordBits)] |= TWord(1) << (*p % kWordBits);
        }

        if (carries)
            AddRow<true>(from, mask, to, words, carries);
        else
            AddRow<false>(from, mask, to, words, nullptr);

        if (dense < 0) {
            for (const std::int32_t *p = first; p != last; ++p)
                FScratch[std::size_t(*p / kWordBits)] = 0;
        }
    }

private:
    // V' = (V + U) | (V - U) over words [0, words), four words a round so
    // the carry can stay in the flags between additions.
    template<bool kKeepCarries>
    static void AddRow(const TWord *from, const TWord *mask, TWord *to, int words, TWord *carries)
    {
        unsigned char carry = 0;
        TWord packed = 0; // carries into the words of this 64-word stretch
        int w = 0;
        for (; w + 4 <= words; w += 4) {
            TWord v[4];
            TWord u[4];
            TWord sum[4];
            unsigned char into[4];
            for (int x = 0; x < 4; ++x) {
                v[x] = from[w + x];
                u[x] = v[x] & mask[w + x];
            }
            for (int x = 0; x < 4; ++x) {
                into[x] = carry;
                sum[x] = AddWithCarry(v[x], u[x], carry);
            }
            for (int x = 0; x < 4; ++x)
                to[w + x] = sum[x] | (v[x] - u[x]);
            if constexpr (kKeepCarries) {
                packed |= TWord(into[0] | (into[1] << 1) | (into[2] << 2) | (into[3] << 3)) << (w % kWordBits);
                if ((w + 4) % kWordBits == 0) {
                    carries[w / kWordBits] = packed;
                    packed = 0;
                }
            }
        }
        for (; w < words; ++w) {
            if constexpr (kKeepCarries)
                packed |= TWord(carry) << (w % kWordBits);
            const TWord v = from[w];
            const TWord u = v & mask[w];
            to[w] = AddWithCarry(v, u, carry) | (v - u);
        }
        if constexpr (kKeepCarries)
            carries[words / kWordBits] = packed | (TWord(carry) << (words % kWordBits));
    }

    std::span<const std::int32_t> FA;
    int FWords = 0;
    std::vector<std::int32_t> FStart;     // per id, its first entry in FPositions; one more at the end
    std::vector<std::int32_t> FPositions; // places in b, by id
    std::vector<int> FDenseIndex;         // per id, its mask in FDense, or -1
    std::vector<TWord> FDense;
    std::vector<TWord> FScratch; // all zero between calls
};

struct TCell {
    qsizetype I = 0;
    qsizetype J = 0;
};

// The backward walk over the table of a against b, flagging pairs into
// commonA and commonB; ends where i or j reaches 0 and returns that cell.
// Every k-th row is kept from a forward pass (k about sqrt(nA)); the walk
// rebuilds the k rows of the block it is in from the kept row below them,
// with the carries of each row's addition: both differences the walk
// compares then take one bit and at most two popcounts.
TCell WalkBitRows(std::span<const std::int32_t> a, std::span<const std::int32_t> b, std::int32_t idCount,
                  bool *commonA, bool *commonB)
{
    const int n = int(a.size());
    const int m = int(b.size());
    TBitRows rows(a, b, idCount);
    const int words = rows.Words();
    const std::size_t width = std::size_t(words);
    const int k = std::max(1, int(std::ceil(std::sqrt(double(n)))));

    // Kept row c is row c * k, for c * k < n.
    const int lastKept = (n - 1) / k;
    // Not zeroed: every word is written before it is read.
    const auto kept = std::make_unique_for_overwrite<TWord[]>((std::size_t(lastKept) + 1) * width);
    {
        std::vector<TWord> row(width, ~TWord(0));
        for (int r = 0;; ++r) {
            if (r % k == 0)
                std::copy(row.begin(), row.end(), kept.get() + std::size_t(r / k) * width);
            if (r == lastKept * k)
                break;
            if (rows.HasMatches(r))
                rows.Next(r, row.data(), row.data(), words, nullptr);
        }
    }

    // The block's rows and the carries that made each; a row without
    // matches shares the words of the row before and has no carries.
    const std::size_t carryWidth = width / kWordBits + 1;
    const auto blockWords = std::make_unique_for_overwrite<TWord[]>((std::size_t(k) + 1) * width);
    const auto blockCarries = std::make_unique_for_overwrite<TWord[]>((std::size_t(k) + 1) * carryWidth);
    const std::vector<TWord> noCarries(carryWidth, 0);
    std::vector<const TWord *> rowWords(std::size_t(k) + 1);
    std::vector<const TWord *> rowCarries(std::size_t(k) + 1);
    int blockFirst = n + 1; // the first row held; none yet

    const auto loadBlock = [&](int top, int column) {
        // Rows first .. top. The walk's column only falls from here, so
        // the words above it are never read.
        const int first = (top - 1) / k * k;
        const int used = std::min(words, column / kWordBits + 1);
        std::copy_n(kept.get() + std::size_t(first / k) * width, used, blockWords.get());
        rowWords[0] = blockWords.get();
        rowCarries[0] = noCarries.data();
        for (int r = first; r < top; ++r) {
            const std::size_t slot = std::size_t(r - first);
            if (!rows.HasMatches(r)) {
                rowWords[slot + 1] = rowWords[slot];
                rowCarries[slot + 1] = noCarries.data();
                continue;
            }
            TWord *to = blockWords.get() + (slot + 1) * width;
            TWord *carries = blockCarries.get() + (slot + 1) * carryWidth;
            rows.Next(r, rowWords[slot], to, used, carries);
            rowWords[slot + 1] = to;
            rowCarries[slot + 1] = carries;
        }
        blockFirst = first;
    };
    const auto bit = [&](int r, int c) {
        return int((rowWords[std::size_t(r - blockFirst)][c / kWordBits] >> (c % kWordBits)) & 1);
    };
    // D[r][c] - D[r - 1][c]: the carry into bit c when row r was made.
    const auto carryInto = [&](int r, int c) {
        const std::size_t slot = std::size_t(r - blockFirst);
        const int w = c / kWordBits;
        const int into = int((rowCarries[slot][w / kWordBits] >> (w % kWordBits)) & 1);
        if (c % kWordBits == 0)
            return into;
        const TWord below = (TWord(1) << (c % kWordBits)) - 1;
        return into + std::popcount(rowWords[slot - 1][w] & below) - std::popcount(rowWords[slot][w] & below);
    };

    int i = n;
    int j = m;
    while (i > 0 && j > 0) {
        if (a[std::size_t(i - 1)] == b[std::size_t(j - 1)]) {
            commonA[i - 1] = true;
            commonB[j - 1] = true;
            --i;
            --j;
            continue;
        }
        if (i - 1 < blockFirst)
            loadBlock(i, j);
        // Tokens differ, so D[i][j] is the larger of D[i - 1][j] and
        // D[i][j - 1]; the walk goes up when D[i - 1][j] is as large.
        const int up = carryInto(i, j);     // D[i][j] - D[i - 1][j]
        const int left = 1 - bit(i, j - 1); // D[i][j] - D[i][j - 1]
        if (up <= left)
            --i;
        else
            --j;
    }
    return {i, j};
}

TCommonTokens ReferenceCommon(const TTokenViews &a, const TTokenViews &b, bool ignoreCase)
{
    const std::size_t nA = a.size();
    const std::size_t nB = b.size();
    TCommonTokens result = NothingCommon(qsizetype(nA), qsizetype(nB));
    if (nA == 0 || nB == 0)
        return result;

    const std::size_t width = nB + 1;
    std::vector<std::int32_t> table((nA + 1) * width, 0);
    const auto at = [&](std::size_t i, std::size_t j) -> std::int32_t & { return table[i * width + j]; };

    for (std::size_t i = 1; i <= nA; ++i) {
        for (std::size_t j = 1; j <= nB; ++j) {
            if (TokensEqual(a[i - 1], b[j - 1], ignoreCase))
                at(i, j) = at(i - 1, j - 1) + 1;
            else
                at(i, j) = std::max(at(i - 1, j), at(i, j - 1));
        }
    }

    std::size_t i = nA;
    std::size_t j = nB;
    while (i > 0 && j > 0) {
        if (TokensEqual(a[i - 1], b[j - 1], ignoreCase)) {
            result.CommonA[qsizetype(i - 1)] = true;
            result.CommonB[qsizetype(j - 1)] = true;
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

TCommonTokens BitParallelCommon(const TTokenViews &a, const TTokenViews &b, bool ignoreCase)
{
    TCommonTokens result = NothingCommon(qsizetype(a.size()), qsizetype(b.size()));
    if (a.empty() || b.empty())
        return result;
    const TTokenIds ids = InternTokens(a, b, ignoreCase);
    bool *commonA = result.CommonA.data();
    bool *commonB = result.CommonB.data();

    // The walk pairs equal tokens at the end whatever the table holds.
    qsizetype i = qsizetype(a.size());
    qsizetype j = qsizetype(b.size());
    while (i > 0 && j > 0 && ids.A[std::size_t(i - 1)] == ids.B[std::size_t(j - 1)]) {
        --i;
        --j;
        commonA[i] = commonB[j] = true;
    }
    // With p equal tokens at the start, D[i][j] is p plus the table of the
    // rest where i and j are both at least p, and min(i, j) elsewhere: only
    // the rest needs rows.
    qsizetype p = 0;
    while (p < i && p < j && ids.A[std::size_t(p)] == ids.B[std::size_t(p)])
        ++p;
    if (i > p && j > p) {
        const std::span<const std::int32_t> restA(ids.A.data() + p, std::size_t(i - p));
        const std::span<const std::int32_t> restB(ids.B.data() + p, std::size_t(j - p));
        const TCell end = WalkBitRows(restA, restB, ids.Count, commonA + p, commonB + p);
        i = p + end.I;
        j = p + end.J;
    }
    while (i > 0 && j > 0) {
        if (ids.A[std::size_t(i - 1)] == ids.B[std::size_t(j - 1)]) {
            --i;
            --j;
            commonA[i] = commonB[j] = true;
        } else if (std::min(i - 1, j) >= std::min(i, j - 1)) {
            --i;
        } else {
            --j;
        }
    }
    return result;
}

TCommonTokens Common(const TTokenViews &a, const TTokenViews &b, bool ignoreCase)
{
    if ((std::int64_t(a.size()) + 1) * (std::int64_t(b.size()) + 1) <= kSmallTableCells)
        return ReferenceCommon(a, b, ignoreCase);
    try {
        return BitParallelCommon(a, b, ignoreCase);
    } catch (const std::bad_alloc &) {
        // Called while painting: a coarse result beats an exception.
        TCommonTokens result = NothingCommon(qsizetype(a.size()), qsizetype(b.size()));
        MarkCommonEnds(a, b, ignoreCase, result);
        return result;
    }
}

// Start and length of each token of `line`, in line order.
std::vector<std::pair<qsizetype, qsizetype>> TokenSpans(QStringView line)
{
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    const qsizetype n = line.size();
    qsizetype start = 0;
    while (start < n) {
        const bool word = IsWordChar(line[start].unicode());
        qsizetype end = start + 1;
        while (end < n && IsWordChar(line[end].unicode()) == word)
            ++end;
        spans.emplace_back(start, end - start);
        start = end;
    }
    return spans;
}

TTokenViews ViewsOf(QStringView line, const std::vector<std::pair<qsizetype, qsizetype>> &spans)
{
    TTokenViews views;
    views.reserve(spans.size());
    for (const auto &[start, len] : spans)
        views.push_back(line.sliced(start, len));
    return views;
}

} // namespace

TLineTokens TokenizeLine(const QString &line)
{
    TLineTokens tokens;
    const auto spans = TokenSpans(line);
    tokens.Texts.reserve(qsizetype(spans.size()));
    tokens.Starts.reserve(qsizetype(spans.size()));
    tokens.Lens.reserve(qsizetype(spans.size()));
    for (const auto &[start, len] : spans) {
        tokens.Texts.append(line.sliced(start, len));
        tokens.Starts.append(std::int32_t(start));
        tokens.Lens.append(std::int32_t(len));
    }
    return tokens;
}

TCommonTokens MarkCommonTokensReference(const QStringList &a, const QStringList &b, bool ignoreCase)
{
    return ReferenceCommon(ViewsOf(a), ViewsOf(b), ignoreCase);
}

TCommonTokens MarkCommonTokensBitParallel(const QStringList &a, const QStringList &b, bool ignoreCase)
{
    return BitParallelCommon(ViewsOf(a), ViewsOf(b), ignoreCase);
}

TCommonTokens MarkCommonTokens(const QStringList &a, const QStringList &b, bool ignoreCase)
{
    return Common(ViewsOf(a), ViewsOf(b), ignoreCase);
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

THighlightRanges ComputeHighlightRanges(const QString &thisLine, const QString &otherLine, bool ignoreCase)
{
    // As TokenizeLine and MarkCommonTokens, on views: no copy per token.
    const auto mine = TokenSpans(thisLine);
    const TCommonTokens common =
        Common(ViewsOf(thisLine, mine), ViewsOf(otherLine, TokenSpans(otherLine)), ignoreCase);

    THighlightRanges ranges;
    for (std::size_t k = 0; k < mine.size(); ++k) {
        if (!common.CommonA[qsizetype(k)])
            ranges.append({std::int32_t(mine[k].first), std::int32_t(mine[k].second)});
    }
    NormalizeRanges(ranges);
    return ranges;
}
