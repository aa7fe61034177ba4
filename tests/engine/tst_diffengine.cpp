// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffEngine.h"
#include "LineAlignment.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Option sets are written as letters: c case, a all white space, w amount,
// l leading, t trailing, b blank lines.
TDiffOptions OptionsFrom(const QString &letters)
{
    TDiffOptions o;
    o.IgnoreCase = letters.contains(u'c');
    o.IgnoreAllWhiteSpace = letters.contains(u'a');
    o.IgnoreWsAmount = letters.contains(u'w');
    o.IgnoreLeadingWhiteSpace = letters.contains(u'l');
    o.IgnoreTrailingWhiteSpace = letters.contains(u't');
    o.IgnoreBlankLines = letters.contains(u'b');
    return o;
}

// Lines are given as one string, separated by '|'; "" is the empty list.
QStringList Lines(const QString &joined)
{
    return joined.isNull() ? QStringList() : joined.split(u'|');
}

QString Index(int index)
{
    return index < 0 ? u"-"_s : QString::number(index);
}

// "E0,0 L1,- R-,2 D1,1[0+1/0+1]": kind letter, indices, change range on changed rows.
QString FormatRows(const TDiffItems &rows)
{
    QStringList parts;
    for (const TDiffItem &item : rows) {
        static const char16_t kinds[] = u"ELRD";
        QString part = QChar(kinds[item.Kind]) + Index(item.LeftIndex) + u',' + Index(item.RightIndex);
        if (item.Kind == dkDifferent)
            part += u"[%1+%2/%3+%4]"_s.arg(item.LeftChangeStart)
                        .arg(item.LeftChangeLen)
                        .arg(item.RightChangeStart)
                        .arg(item.RightChangeLen);
        else if (item.LeftChangeStart != -1 || item.LeftChangeLen != 0 || item.RightChangeStart != -1
                 || item.RightChangeLen != 0)
            part += u"[uncleared]"_s;
        parts.append(part);
    }
    return parts.join(u' ');
}

QString FormatMatches(const LineMatches &matches)
{
    QStringList parts;
    for (const LineMatch &m : matches)
        parts.append(u"(%1,%2)"_s.arg(m.Left).arg(m.Right));
    return parts.join(u' ');
}

// The textbook LCS length by a full table: what every alignment must reach.
int LcsLength(const QStringList &a, const QStringList &b)
{
    std::vector<std::vector<int>> table(a.size() + 1, std::vector<int>(b.size() + 1, 0));
    for (qsizetype i = 1; i <= a.size(); ++i)
        for (qsizetype j = 1; j <= b.size(); ++j)
            table[i][j] = a[i - 1] == b[j - 1] ? table[i - 1][j - 1] + 1
                                               : std::max(table[i - 1][j], table[i][j - 1]);
    return table[a.size()][b.size()];
}

} // namespace

class TestDiffEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void normalizeLine_data();
    void normalizeLine();
    void changeRange_data();
    void changeRange();
    void alignment_data();
    void alignment();
    void rows_data();
    void rows();
    void randomInputsKeepTheInvariants();
};

void TestDiffEngine::normalizeLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("key");

    const QString mixed = u"\t a  \tb "_s;
    QTest::newRow("no option keeps the line as it is") << mixed << u""_s << mixed;
    QTest::newRow("amount of white space folds each run to one space") << mixed << u"w"_s << u" a b "_s;
    QTest::newRow("amount with leading and trailing trims the ends first") << mixed << u"wlt"_s << u"a b"_s;
    QTest::newRow("all white space removes every tab and space") << mixed << u"a"_s << u"ab"_s;
    QTest::newRow("all white space wins over amount") << mixed << u"aw"_s << u"ab"_s;
    QTest::newRow("leading alone keeps inner and trailing runs") << mixed << u"l"_s << u"a  \tb "_s;
    QTest::newRow("trailing alone keeps leading and inner runs") << mixed << u"t"_s << u"\t a  \tb"_s;
    QTest::newRow("no-break space is not white space") << u"a\u00A0b"_s << u"alwt"_s << u"a\u00A0b"_s;
    QTest::newRow("form feed is not white space") << u"\fa"_s << u"la"_s << u"\fa"_s;
    QTest::newRow("a blank line of tab, space and form feed becomes empty") << u"\t \f"_s << u"b"_s << u""_s;
    QTest::newRow("a non-blank line is not trimmed by the blank-line option") << u" x "_s << u"b"_s << u" x "_s;
    QTest::newRow("case folds letters of all scripts") << u"ÄBC Σ"_s << u"c"_s << u"äbc σ"_s;
    QTest::newRow("case keeps code units without a lower-case form") << u"1-€\U0001D400"_s << u"c"_s << u"1-€\U0001D400"_s;
}

void TestDiffEngine::normalizeLine()
{
    QFETCH(QString, line);
    QFETCH(QString, options);
    QFETCH(QString, key);
    QCOMPARE(NormalizeLine(line, OptionsFrom(options)), key);
}

void TestDiffEngine::changeRange_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QList<int>>("range");

    QTest::newRow("an appended letter") << u"abc"_s << u"abcd"_s << QList<int>{3, 0, 3, 1};
    QTest::newRow("the suffix never overlaps the prefix") << u"aXa"_s << u"aa"_s << QList<int>{1, 1, 1, 0};
    QTest::newRow("an inserted word") << u"hello world"_s << u"hello there world"_s << QList<int>{6, 0, 6, 6};
    QTest::newRow("identical texts mark the whole lines") << u"same"_s << u"same"_s << QList<int>{0, 4, 0, 4};
    QTest::newRow("two empty texts") << u""_s << u""_s << QList<int>{0, 0, 0, 0};
    QTest::newRow("case counts in the raw texts") << u"Abc x"_s << u"abc y"_s << QList<int>{0, 5, 0, 5};
}

void TestDiffEngine::changeRange()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QList<int>, range);
    const TChangeRange r = ComputeChangeRange(left, right);
    QCOMPARE((QList<int>{r.LeftChangeStart, r.LeftChangeLen, r.RightChangeStart, r.RightChangeLen}), range);
}

void TestDiffEngine::alignment_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("matches");

    QTest::newRow("the second of two equal left lines is matched") << u"A|A"_s << u"A"_s << u"(1,0)"_s;
    QTest::newRow("the first of two equal right lines is matched") << u"A"_s << u"A|A"_s << u"(0,0)"_s;
    QTest::newRow("a later left line wins across a gap") << u"A|B|A"_s << u"A"_s << u"(2,0)"_s;
    QTest::newRow("crossed pair keeps the later left line") << u"A|B"_s << u"B|A"_s << u"(1,0)"_s;
    QTest::newRow("a common run between changes") << u"x|a|b"_s << u"a|b|y"_s << u"(1,0) (2,1)"_s;
    QTest::newRow("a swap keeps the earlier right line")
        << u"a|b|c|d"_s << u"a|c|b|d"_s << u"(0,0) (2,1) (3,3)"_s;
    QTest::newRow("a longer mixed sequence")
        << u"A|B|C|A|B|B|A"_s << u"C|B|A|B|A|C"_s << u"(2,0) (4,1) (5,3) (6,4)"_s;
    QTest::newRow("an empty left side") << QString() << u"a|b"_s << u""_s;
    QTest::newRow("an empty right side") << u"a|b"_s << QString() << u""_s;
    QTest::newRow("no equal key") << u"a|b"_s << u"c|d"_s << u""_s;
}

void TestDiffEngine::alignment()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, matches);
    QCOMPARE(FormatMatches(AlignLines(Lines(left), Lines(right))), matches);
}

void TestDiffEngine::rows_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("rows");

    QTest::newRow("two empty lists give no rows") << QString() << QString() << u""_s << u""_s;
    QTest::newRow("an empty left side gives right-only rows")
        << QString() << u"a|b|c"_s << u""_s << u"R-,0 R-,1 R-,2"_s;
    QTest::newRow("one changed line between equal lines")
        << u"a|b|c"_s << u"a|x|c"_s << u""_s << u"E0,0 D1,1[0+1/0+1] E2,2"_s;
    QTest::newRow("changed lines pair in order and the rest follows")
        << u"p|q"_s << u"r|s|t"_s << u""_s << u"D0,0[0+1/0+1] D1,1[0+1/0+1] R-,2"_s;
    QTest::newRow("lines in different gaps are never paired")
        << u"a|b|c|d"_s << u"a|c|b|d"_s << u""_s << u"E0,0 L1,- E2,1 R-,2 E3,3"_s;
    QTest::newRow("a surplus left duplicate comes first") << u"A|A"_s << u"A"_s << u""_s << u"L0,- E1,0"_s;
    QTest::newRow("a surplus right duplicate comes last") << u"A"_s << u"A|A"_s << u""_s << u"E0,0 R-,1"_s;
    QTest::newRow("the change range is taken on the raw texts")
        << u"Abc x"_s << u"abc y"_s << u"c"_s << u"D0,0[0+5/0+5]"_s;
    QTest::newRow("case-insensitive equality across scripts") << u"ÄBC"_s << u"äbc"_s << u"c"_s << u"E0,0"_s;
    QTest::newRow("case counts without the option")
        << u"ÄBC"_s << u"äbc"_s << u""_s << u"D0,0[0+3/0+3]"_s;
    QTest::newRow("a blank line on one side is shown as equal")
        << u"x|"_s << u"x"_s << u"b"_s << u"E0,0 E1,-"_s;
    QTest::newRow("a blank line paired with a changed line is shown as equal")
        << u""_s << u"y"_s << u"b"_s << u"E0,0"_s;
    QTest::newRow("without the blank-line option the blank line is left-only")
        << u"x|"_s << u"x"_s << u""_s << u"E0,0 L1,-"_s;
    QTest::newRow("without the blank-line option the pair is changed")
        << u""_s << u"y"_s << u""_s << u"D0,0[0+0/0+1]"_s;
    QTest::newRow("white space options make lines equal")
        << u"\ta  b "_s << u"a b"_s << u"wlt"_s << u"E0,0"_s;
}

void TestDiffEngine::rows()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, options);
    QFETCH(QString, rows);
    QCOMPARE(FormatRows(ComputeDiff(Lines(left), Lines(right), OptionsFrom(options))), rows);
}

void TestDiffEngine::randomInputsKeepTheInvariants()
{
    // Few distinct values, with case and white-space variants and blanks,
    // so that every option changes which lines are equal.
    const QStringList alphabet = {u"a"_s, u"A"_s, u" a"_s, u"a  b"_s, u"a b"_s, u"b"_s, u""_s, u"\t"_s, u"B "_s};
    const QStringList optionSets = {u""_s, u"c"_s, u"a"_s, u"w"_s, u"l"_s, u"t"_s, u"b"_s, u"cawltb"_s, u"wb"_s};
    QRandomGenerator random(20261210);

    for (int round = 0; round < 4000; ++round) {
        QStringList left, right;
        const int nLeft = int(random.bounded(13));
        const int nRight = int(random.bounded(13));
        const int distinct = 2 + int(random.bounded(qsizetype(alphabet.size()) - 1));
        for (int i = 0; i < nLeft; ++i)
            left.append(alphabet[random.bounded(distinct)]);
        for (int i = 0; i < nRight; ++i)
            right.append(alphabet[random.bounded(distinct)]);
        const TDiffOptions options = OptionsFrom(optionSets[random.bounded(qsizetype(optionSets.size()))]);

        QStringList leftKeys, rightKeys;
        for (const QString &line : left)
            leftKeys.append(NormalizeLine(line, options));
        for (const QString &line : right)
            rightKeys.append(NormalizeLine(line, options));

        const LineMatches matches = AlignLines(leftKeys, rightKeys);
        QCOMPARE(int(matches.size()), LcsLength(leftKeys, rightKeys));
        for (size_t k = 0; k < matches.size(); ++k) {
            QCOMPARE(leftKeys[matches[k].Left], rightKeys[matches[k].Right]);
            if (k > 0) {
                QVERIFY(matches[k].Left > matches[k - 1].Left);
                QVERIFY(matches[k].Right > matches[k - 1].Right);
            }
        }

        const TDiffItems rows = ComputeDiff(left, right, options);
        int nextLeft = 0, nextRight = 0, paired = 0, equalPairs = 0;
        for (const TDiffItem &item : rows) {
            if (item.LeftIndex >= 0)
                QCOMPARE(item.LeftIndex, nextLeft++);
            if (item.RightIndex >= 0)
                QCOMPARE(item.RightIndex, nextRight++);
            QVERIFY(item.LeftIndex >= 0 || item.RightIndex >= 0);
            if (item.LeftIndex >= 0 && item.RightIndex >= 0)
                ++paired;
            if (item.Kind == dkDifferent) {
                QVERIFY(item.LeftIndex >= 0 && item.RightIndex >= 0);
            } else {
                QCOMPARE(item.LeftChangeStart, -1);
                QCOMPARE(item.RightChangeStart, -1);
            }
            if (!options.IgnoreBlankLines && item.Kind == dkEqual) {
                QCOMPARE(leftKeys[item.LeftIndex], rightKeys[item.RightIndex]);
                ++equalPairs;
            }
        }
        QCOMPARE(nextLeft, nLeft);
        QCOMPARE(nextRight, nRight);
        QCOMPARE(int(rows.size()), nLeft + nRight - paired);
        if (!options.IgnoreBlankLines)
            QCOMPARE(equalPairs, int(matches.size()));
    }
}

QTEST_GUILESS_MAIN(TestDiffEngine)
#include "tst_diffengine.moc"
