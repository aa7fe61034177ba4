// SPDX-License-Identifier: GPL-3.0-or-later
#include "HighlightRanges.h"

#include <QRandomGenerator>
#include <QTest>

#include <atomic>
#include <cstdlib>
#include <new>

using namespace Qt::StringLiterals;

// The largest single request to operator new while tracking is on: the
// long-line test uses it to show no table of nA * nB cells is built.
namespace {
std::atomic<bool> gTrackAllocations{false};
std::atomic<std::size_t> gLargestAllocation{0};
} // namespace

void *operator new(std::size_t size)
{
    if (gTrackAllocations.load(std::memory_order_relaxed)) {
        std::size_t seen = gLargestAllocation.load(std::memory_order_relaxed);
        while (size > seen && !gLargestAllocation.compare_exchange_weak(seen, size)) {
        }
    }
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

namespace QTest {

// Prints a range list as "(4, 1) (6, 5)" so a failing row reads at a glance.
char *toString(const THighlightRanges &ranges)
{
    QStringList parts;
    for (const THighlightRange &r : ranges)
        parts.append(u"(%1, %2)"_s.arg(r.Start).arg(r.Len));
    return qstrdup(parts.isEmpty() ? "(none)" : parts.join(u' ').toUtf8().constData());
}

// Compares whole lists and prints both in full, also when the sizes differ.
bool qCompare(const THighlightRanges &actual, const THighlightRanges &expected,
              const char *actualExpr, const char *expectedExpr, const char *file, int line)
{
    return compare_helper(actual == expected, "Compared ranges are not the same",
                          [&] { return toString(actual); }, [&] { return toString(expected); },
                          actualExpr, expectedExpr, file, line);
}

} // namespace QTest

namespace {

THighlightRanges R(std::initializer_list<THighlightRange> ranges)
{
    return THighlightRanges(ranges);
}

// Tokens drawn from the first `alphabet` entries: case variants of ASCII
// and non-ASCII words, blank runs, punctuation, and then many distinct
// words so that some tokens are rare.
QStringList RandomTokens(QRandomGenerator &random, int count, int alphabet)
{
    static const QStringList pool = [] {
        QStringList words{u"a"_s, u" "_s, u"A"_s, u"b"_s, u"ab"_s, u"aB"_s, u", "_s,
                          u"\u00E4"_s, u"\u00C4"_s, u"  "_s};
        for (int k = 0; k < 40; ++k)
            words.append(u"w%1"_s.arg(k));
        return words;
    }();
    QStringList tokens;
    for (int k = 0; k < count; ++k)
        tokens.append(pool[random.bounded(std::min(alphabet, int(pool.size())))]);
    return tokens;
}

// Two lines of `words` distinct words joined by single spaces; in the
// second, every word k with k % 997 == 500 is replaced and with
// k % 997 == 100 dropped (with its blank). The expected ranges follow from
// pairing every other token.
struct TLongPair {
    QString Left;
    QString Right;
    THighlightRanges ExpectedLeft;
    THighlightRanges ExpectedRight;
};

TLongPair SimilarLongLines(int words)
{
    TLongPair pair;
    QStringList left;
    QStringList right;
    qsizetype leftAt = 0;
    qsizetype rightAt = 0;
    for (int k = 0; k < words; ++k) {
        const QString word = u"t%1"_s.arg(k);
        const int kind = k % 997;
        if (k > 0)
            ++leftAt; // the blank before the word
        if (kind == 100) {
            pair.ExpectedLeft.append({std::int32_t(leftAt - 1), std::int32_t(word.size() + 1)});
            left.append(word);
            leftAt += word.size();
            continue;
        }
        if (k > 0)
            ++rightAt;
        const QString other = kind == 500 ? u"x%1"_s.arg(k) : word;
        if (kind == 500) {
            pair.ExpectedLeft.append({std::int32_t(leftAt), std::int32_t(word.size())});
            pair.ExpectedRight.append({std::int32_t(rightAt), std::int32_t(other.size())});
        }
        left.append(word);
        right.append(other);
        leftAt += word.size();
        rightAt += other.size();
    }
    pair.Left = left.join(u' ');
    pair.Right = right.join(u' ');
    return pair;
}

// No word in common: the blanks pair up and every word is highlighted.
TLongPair UnrelatedLongLines(int words)
{
    TLongPair pair;
    QStringList left;
    QStringList right;
    qsizetype leftAt = 0;
    qsizetype rightAt = 0;
    for (int k = 0; k < words; ++k) {
        const QString a = u"a%1"_s.arg(k);
        const QString b = u"b%1"_s.arg(words - k);
        left.append(a);
        right.append(b);
        pair.ExpectedLeft.append({std::int32_t(leftAt), std::int32_t(a.size())});
        pair.ExpectedRight.append({std::int32_t(rightAt), std::int32_t(b.size())});
        leftAt += a.size() + 1;
        rightAt += b.size() + 1;
    }
    pair.Left = left.join(u' ');
    pair.Right = right.join(u' ');
    return pair;
}

} // namespace

Q_DECLARE_METATYPE(TLongPair)

class TestHighlightRanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tokenizeLine_data();
    void tokenizeLine();
    void normalizeRanges_data();
    void normalizeRanges();
    void bothCells_data();
    void bothCells();
    void fastFormMatchesTheTable_data();
    void fastFormMatchesTheTable();
    void veryLongLines_data();
    void veryLongLines();
    void longLinesAreExactInSmallMemory_data();
    void longLinesAreExactInSmallMemory();
};

void TestHighlightRanges::tokenizeLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<std::int32_t>>("starts");

    QTest::newRow("word runs and mixed punctuation runs alternate")
        << u"foo(bar, baz)"_s << QStringList{u"foo"_s, u"("_s, u"bar"_s, u", "_s, u"baz"_s, u")"_s}
        << QList<std::int32_t>{0, 3, 4, 7, 9, 12};
    QTest::newRow("a space, a TAB and a semicolon form one token")
        << u"x \t;y"_s << QStringList{u"x"_s, u" \t;"_s, u"y"_s} << QList<std::int32_t>{0, 1, 4};
    QTest::newRow("units above U+007F and the underscore are word characters, DEL is not")
        << u"\u00C4pfel_1\u007F-\u00E9"_s << QStringList{u"\u00C4pfel_1"_s, u"\u007F-"_s, u"\u00E9"_s}
        << QList<std::int32_t>{0, 7, 9};
    QTest::newRow("an empty line has no tokens") << QString() << QStringList() << QList<std::int32_t>();
}

void TestHighlightRanges::tokenizeLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, texts);
    QFETCH(QList<std::int32_t>, starts);

    const TLineTokens tokens = TokenizeLine(line);
    QCOMPARE(tokens.Texts, texts);
    QCOMPARE(tokens.Starts, starts);
    QList<std::int32_t> lens;
    for (const QString &t : texts)
        lens.append(std::int32_t(t.size()));
    QCOMPARE(tokens.Lens, lens);
}

void TestHighlightRanges::normalizeRanges_data()
{
    QTest::addColumn<THighlightRanges>("input");
    QTest::addColumn<THighlightRanges>("expected");

    QTest::newRow("zero and negative lengths are dropped")
        << R({{0, 0}, {3, -1}, {5, 2}}) << R({{5, 2}});
    QTest::newRow("touching ranges merge") << R({{0, 2}, {2, 3}}) << R({{0, 5}});
    QTest::newRow("a contained range keeps the larger end") << R({{0, 5}, {2, 1}}) << R({{0, 5}});
    QTest::newRow("a chain of overlaps merges into one range")
        << R({{0, 2}, {1, 2}, {3, 1}}) << R({{0, 4}});
    QTest::newRow("ranges with a gap stay apart") << R({{0, 2}, {3, 1}}) << R({{0, 2}, {3, 1}});
    QTest::newRow("unsorted input is sorted before merging")
        << R({{10, 2}, {3, 1}, {20, 1}, {0, 3}}) << R({{0, 4}, {10, 2}, {20, 1}});
    QTest::newRow("a zero-length range between two does not join them")
        << R({{4, 1}, {2, 0}, {0, 2}}) << R({{0, 2}, {4, 1}});
}

void TestHighlightRanges::normalizeRanges()
{
    QFETCH(THighlightRanges, input);
    QFETCH(THighlightRanges, expected);

    NormalizeRanges(input);
    QCOMPARE(input, expected);
}

void TestHighlightRanges::bothCells_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<THighlightRanges>("expectedLeft");
    QTest::addColumn<THighlightRanges>("expectedRight");

    QTest::newRow("a changed word is highlighted in both cells")
        << u"int x = 10;"_s << u"int y = 10;"_s << false << R({{4, 1}}) << R({{4, 1}});
    QTest::newRow("a longer blank run differs as a whole token")
        << u"a b"_s << u"a  b"_s << false << R({{1, 1}}) << R({{1, 2}});
    QTest::newRow("a comma-and-space run differs from a lone comma")
        << u"foo(bar, baz)"_s << u"foo(bar,baz)"_s << false << R({{7, 2}}) << R({{7, 1}});
    QTest::newRow("the unit is the token, not the character")
        << u"abc"_s << u"abd"_s << false << R({{0, 3}}) << R({{0, 3}});
    QTest::newRow("a removed word merges with its blank and the shorter line has none")
        << u"one two three"_s << u"one three"_s << false << R({{3, 4}}) << R({});
    QTest::newRow("the common token is the last one of the line")
        << u"a b a"_s << u"a"_s << false << R({{0, 4}}) << R({});
    QTest::newRow("swapped words pair differently in each cell")
        << u"x y"_s << u"y x"_s << false << R({{1, 2}}) << R({{1, 2}});
    QTest::newRow("letter case counts without ignore-case")
        << u"Hello World"_s << u"hello world"_s << false << R({{0, 5}, {6, 5}}) << R({{0, 5}, {6, 5}});
    QTest::newRow("ignore-case folds ASCII letters")
        << u"Hello World"_s << u"hello world"_s << true << R({}) << R({});
    QTest::newRow("ignore-case leaves letters outside ASCII unfolded")
        << u"\u00C4pfel"_s << u"\u00E4pfel"_s << true << R({{0, 5}}) << R({{0, 5}});
    QTest::newRow("an empty line has nothing to highlight, the other is whole")
        << QString() << u"xyz"_s << false << R({}) << R({{0, 3}});
}

void TestHighlightRanges::bothCells()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(bool, ignoreCase);
    QFETCH(THighlightRanges, expectedLeft);
    QFETCH(THighlightRanges, expectedRight);

    QCOMPARE(ComputeHighlightRanges(left, right, ignoreCase), expectedLeft);
    QCOMPARE(ComputeHighlightRanges(right, left, ignoreCase), expectedRight);
}

void TestHighlightRanges::fastFormMatchesTheTable_data()
{
    QTest::addColumn<QList<int>>("sizesA");
    QTest::addColumn<QList<int>>("sizesB");
    QTest::addColumn<int>("alphabet");
    QTest::addColumn<int>("trials");

    const QList<int> wordEdges{0, 1, 2, 3, 31, 63, 64, 65, 127, 128, 129};
    QTest::newRow("two or three distinct tokens, sizes around word edges")
        << wordEdges << wordEdges << 3 << 1500;
    QTest::newRow("case and accent variants, sizes around word edges")
        << wordEdges << wordEdges << 10 << 1500;
    QTest::newRow("rare and frequent tokens mixed, sizes around word edges")
        << wordEdges << wordEdges << 50 << 1000;
    const QList<int> longer{1, 40, 200, 255, 256, 257, 577, 700};
    QTest::newRow("longer lists, several blocks of rows") << longer << longer << 10 << 60;
    QTest::newRow("mostly rare tokens, longer lists") << longer << longer << 50 << 40;
    QTest::newRow("rows of more than 64 words")
        << QList<int>{1, 20, 70} << QList<int>{4033, 4096, 4097, 4500} << 10 << 40;
    QTest::newRow("many blocks of short rows")
        << QList<int>{4097, 4500} << QList<int>{2, 63, 65} << 10 << 30;
}

void TestHighlightRanges::fastFormMatchesTheTable()
{
    QFETCH(QList<int>, sizesA);
    QFETCH(QList<int>, sizesB);
    QFETCH(int, alphabet);
    QFETCH(int, trials);

    QRandomGenerator random(20240611u + quint32(alphabet));
    for (int trial = 0; trial < trials; ++trial) {
        const int nA = sizesA[random.bounded(int(sizesA.size()))];
        const int nB = sizesB[random.bounded(int(sizesB.size()))];
        const bool ignoreCase = random.bounded(2) == 1;
        QStringList a = RandomTokens(random, nA, alphabet);
        QStringList b = RandomTokens(random, nB, alphabet);
        // Some pairs share long stretches, as real changed lines do.
        if (trial % 3 == 0 && nA > 0 && nB > 0) {
            const int shared = random.bounded(std::min(nA, nB) + 1);
            const int at = random.bounded(nB - shared + 1);
            for (int k = 0; k < shared; ++k)
                b[at + k] = a[(nA - shared) / 2 + k];
        }

        const TCommonTokens expected = MarkCommonTokensReference(a, b, ignoreCase);
        const TCommonTokens fast = MarkCommonTokensBitParallel(a, b, ignoreCase);
        const TCommonTokens chosen = MarkCommonTokens(a, b, ignoreCase);
        const bool same = fast.CommonA == expected.CommonA && fast.CommonB == expected.CommonB
            && chosen.CommonA == expected.CommonA && chosen.CommonB == expected.CommonB;
        if (!same) {
            qWarning("trial %d: %d x %d tokens, ignoreCase %d\nA: %s\nB: %s", trial, nA, nB, int(ignoreCase),
                     qPrintable(a.join(u'|')), qPrintable(b.join(u'|')));
        }
        QVERIFY(same);
    }
}

void TestHighlightRanges::veryLongLines_data()
{
    QTest::addColumn<QString>("leftMiddle");
    QTest::addColumn<QString>("rightMiddle");
    QTest::addColumn<THighlightRanges>("expectedMiddle");

    // The middle sits at offset 0 of the expected ranges; the test shifts it.
    QTest::newRow("one changed word in the middle is all that is highlighted")
        << u"old"_s << u"new"_s << R({{0, 3}});
    QTest::newRow("identical lines have nothing highlighted")
        << u"same"_s << u"same"_s << R({});
}

void TestHighlightRanges::veryLongLines()
{
    QFETCH(QString, leftMiddle);
    QFETCH(QString, rightMiddle);
    QFETCH(THighlightRanges, expectedMiddle);

    // About 200k tokens per line, more than 32767 of them common.
    const QString head = u"w "_s.repeated(50000);
    const QString tail = u" w"_s.repeated(50000);
    const QString left = head + leftMiddle + tail;
    const QString right = head + rightMiddle + tail;
    QCOMPARE(TokenizeLine(left).Texts.size(), 200001);

    THighlightRanges expected = expectedMiddle;
    for (THighlightRange &r : expected)
        r.Start += std::int32_t(head.size());
    QCOMPARE(ComputeHighlightRanges(left, right, false), expected);
    QCOMPARE(ComputeHighlightRanges(right, left, false), expected);
}

void TestHighlightRanges::longLinesAreExactInSmallMemory_data()
{
    QTest::addColumn<TLongPair>("pair");

    // 50,000 words and 49,999 blanks a line.
    QTest::newRow("similar lines with 100 changes spread over them") << SimilarLongLines(50000);
    QTest::newRow("lines without a word in common") << UnrelatedLongLines(50000);
}

void TestHighlightRanges::longLinesAreExactInSmallMemory()
{
    QFETCH(TLongPair, pair);
    QVERIFY(TokenizeLine(pair.Left).Texts.size() >= 99000);

    gLargestAllocation = 0;
    gTrackAllocations = true;
    const THighlightRanges left = ComputeHighlightRanges(pair.Left, pair.Right, false);
    const THighlightRanges right = ComputeHighlightRanges(pair.Right, pair.Left, false);
    gTrackAllocations = false;

    QCOMPARE(left, pair.ExpectedLeft);
    QCOMPARE(right, pair.ExpectedRight);
    // A table of 10^10 cells would take gigabytes; rows of 100,000 bits
    // kept every ~316 rows take about 4 MB.
    QCOMPARE_LT(gLargestAllocation.load(), std::size_t(16) << 20);
}

QTEST_GUILESS_MAIN(TestHighlightRanges)
#include "tst_highlightranges.moc"
