// SPDX-License-Identifier: GPL-3.0-or-later
#include "HighlightRanges.h"

#include <QTest>

using namespace Qt::StringLiterals;

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

} // namespace

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
    void coarseFallback_data();
    void coarseFallback();
    void veryLongLines_data();
    void veryLongLines();
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

void TestHighlightRanges::coarseFallback_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<qint64>("cellBudget");
    QTest::addColumn<THighlightRanges>("expectedLeft");
    QTest::addColumn<THighlightRanges>("expectedRight");

    // 'a b c' has 5 tokens, 'a x b y c' 9: their table has 6 * 10 = 60 cells.
    QTest::newRow("a table exactly at the budget is still aligned exactly")
        << u"a b c"_s << u"a x b y c"_s << false << qint64(60) << R({}) << R({{1, 2}, {5, 2}});
    QTest::newRow("one cell over the budget highlights all between the shared ends")
        << u"a b c"_s << u"a x b y c"_s << false << qint64(59) << R({{2, 1}}) << R({{2, 5}});
    QTest::newRow("a single changed token between shared ends is all that is highlighted")
        << u"int x = 10;"_s << u"int y = 10;"_s << false << qint64(1) << R({{4, 1}}) << R({{4, 1}});
    QTest::newRow("the shared end is matched before the shared start")
        << u"a a"_s << u"a"_s << false << qint64(1) << R({{0, 2}}) << R({});
    QTest::newRow("ignore-case applies to the shared ends")
        << u"Hello World"_s << u"hello world"_s << true << qint64(1) << R({}) << R({});
    QTest::newRow("lines with nothing in common are highlighted whole")
        << u"abc def"_s << u"xyz"_s << false << qint64(1) << R({{0, 7}}) << R({{0, 3}});
}

void TestHighlightRanges::coarseFallback()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(bool, ignoreCase);
    QFETCH(qint64, cellBudget);
    QFETCH(THighlightRanges, expectedLeft);
    QFETCH(THighlightRanges, expectedRight);

    QCOMPARE(ComputeHighlightRanges(left, right, ignoreCase, cellBudget), expectedLeft);
    QCOMPARE(ComputeHighlightRanges(right, left, ignoreCase, cellBudget), expectedRight);
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

    // About 200k tokens per line: an exact table would need 4e10 cells, and
    // more than 32767 common tokens would overflow 16-bit counts.
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

QTEST_GUILESS_MAIN(TestHighlightRanges)
#include "tst_highlightranges.moc"
