// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellPainting.h"
#include "DiffGrid.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The grid's own (monospaced) font, so widths can be given in characters.
QFont GridFont()
{
    return TDiffGrid::DesignFont();
}

int CharWidth()
{
    return QFontMetrics(GridFont()).horizontalAdvance(u'x');
}

QImage WhiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Left and right end of the non-white pixels in rows [top, bottom); -1, -1
// when there is no ink.
std::pair<int, int> InkSpan(const QImage &image, int top, int bottom)
{
    int first = -1;
    int last = -1;
    for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                first = first < 0 ? x : std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

} // namespace

class TestCellPainting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fitLineChars_data();
    void fitLineChars();
    void fitLineCharsFailsAtTheEnd();
    void intersectRange_data();
    void intersectRange();
    void takeNewMarker_data();
    void takeNewMarker();
    void highlightedTextIsCutBelowTheCell();
    void ampersandIsDrawnAsItself_data();
    void ampersandIsDrawnAsItself();
};

void TestCellPainting::fitLineChars_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    // The line is as wide as `fitting` plus `extra` pixels.
    QTest::addColumn<QString>("fitting");
    QTest::addColumn<int>("extra");
    QTest::addColumn<int>("count");

    const int half = CharWidth() / 2;
    QTest::newRow("a cut inside a word moves after the last space")
        << u"abc def"_s << 0 << u"abc d"_s << half << 4;
    QTest::newRow("a cut inside a word moves after the last TAB")
        << u"a\tbcdefg"_s << 0 << u"a\tbc"_s << half << 2;
    QTest::newRow("a cut right before a space stays")
        << u"ab cd"_s << 0 << u"ab"_s << half << 2;
    QTest::newRow("a cut right after a space stays")
        << u"ab cd"_s << 0 << u"ab "_s << half << 3;
    QTest::newRow("a word without a space is broken at the last character that fits")
        << u"abcdefgh"_s << 0 << u"abc"_s << half << 3;
    QTest::newRow("the search for a space stops at the start offset")
        << u"abcd efgh"_s << 5 << u"ef"_s << half << 2;
    QTest::newRow("the rest of the text, when it fits")
        << u"abc"_s << 1 << u"abcdefghij"_s << 0 << 2;
    QTest::newRow("a character wider than the line gets a line of its own")
        << u"abc"_s << 0 << QString() << 1 << 1;
    QTest::newRow("a surrogate pair wider than the line stays whole")
        << u"\U0001F600x"_s << 0 << QString() << 1 << 2;
    QTest::newRow("a cut inside a surrogate pair moves before it")
        << u"x\U0001F600"_s << 0 << u"x"_s << 1 << 1;
}

void TestCellPainting::fitLineChars()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(QString, fitting);
    QFETCH(int, extra);
    QFETCH(int, count);

    const QFontMetrics fm(GridFont());
    int n = -1;
    QVERIFY(FitLineChars(fm, text, start, fm.horizontalAdvance(fitting) + extra, n));
    QCOMPARE(n, count);
}

void TestCellPainting::fitLineCharsFailsAtTheEnd()
{
    const QFontMetrics fm(GridFont());
    int n = -1;
    QVERIFY(!FitLineChars(fm, u"abc"_s, 3, 100, n));
    QVERIFY(!FitLineChars(fm, QString(), 0, 100, n));
    QCOMPARE(n, -1);
}

void TestCellPainting::intersectRange_data()
{
    QTest::addColumn<int>("rangeStart");
    QTest::addColumn<int>("rangeLen");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("e");
    QTest::addColumn<bool>("overlaps");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");

    QTest::newRow("a range inside the segment") << 2 << 3 << 0 << 10 << true << 2 << 5;
    QTest::newRow("a range over both ends of the segment") << 1 << 10 << 3 << 6 << true << 3 << 6;
    QTest::newRow("a range over the segment's start") << 0 << 4 << 2 << 8 << true << 2 << 4;
    QTest::newRow("a range ending where the segment starts") << 0 << 2 << 2 << 8 << false << 2 << 2;
    QTest::newRow("a range starting where the segment ends") << 5 << 2 << 0 << 5 << false << 5 << 5;
}

void TestCellPainting::intersectRange()
{
    QFETCH(int, rangeStart);
    QFETCH(int, rangeLen);
    QFETCH(int, s);
    QFETCH(int, e);
    QFETCH(bool, overlaps);
    QFETCH(int, a);
    QFETCH(int, b);

    int gotA = -1;
    int gotB = -1;
    QCOMPARE(IntersectRange(THighlightRange{rangeStart, rangeLen}, s, e, gotA, gotB), overlaps);
    QCOMPARE(gotA, a);
    QCOMPARE(gotB, b);
}

void TestCellPainting::takeNewMarker_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNew");
    QTest::addColumn<QString>("shown");

    QTest::newRow("lower case") << u"docs/a.txt new"_s << true << u"docs/a.txt"_s;
    QTest::newRow("upper case") << u"a.txt NEW"_s << true << u"a.txt"_s;
    QTest::newRow("mixed case") << u"a.txt nEw"_s << true << u"a.txt"_s;
    QTest::newRow("nothing but the marker") << u" new"_s << true << QString();
    QTest::newRow("no space before it") << u"a.txtnew"_s << false << u"a.txtnew"_s;
    QTest::newRow("shorter than the marker") << u"new"_s << false << u"new"_s;
    QTest::newRow("a Cyrillic letter that looks like e") << u"a.txt n\u0435w"_s << false << u"a.txt n\u0435w"_s;
    QTest::newRow("a trailing space") << u"a.txt new "_s << false << u"a.txt new "_s;
}

void TestCellPainting::takeNewMarker()
{
    QFETCH(QString, text);
    QFETCH(bool, isNew);
    QFETCH(QString, shown);

    QCOMPARE(TakeNewMarker(text), isNew);
    QCOMPARE(text, shown);
}

void TestCellPainting::highlightedTextIsCutBelowTheCell()
{
    // Three wrapped lines; the cell's inner area ends one pixel into the
    // second line, so the second line is drawn and the third is not.
    const QFontMetrics fm(GridFont());
    const int lineHeight = fm.height();
    const QString text = u"aaaa bbbb cccc"_s;
    const QRect cell(0, 0, 4 + fm.horizontalAdvance(u"aaaa "_s) + CharWidth() / 2, 4 + lineHeight + 1);

    QImage image = WhiteImage(cell.width(), 5 * lineHeight);
    {
        QPainter painter(&image);
        painter.setFont(GridFont());
        DrawHighlightedText(painter, cell, text, {}, Qt::black, Qt::white, Qt::black, Qt::yellow);
    }
    QVERIFY(InkSpan(image, 2, 2 + lineHeight).first >= 0);
    QVERIFY(InkSpan(image, 2 + lineHeight, 2 + 2 * lineHeight).first >= 0);
    QCOMPARE(InkSpan(image, 2 + 2 * lineHeight, image.height()).first, -1);
}

void TestCellPainting::ampersandIsDrawnAsItself_data()
{
    QTest::addColumn<bool>("highlighted");

    QTest::newRow("the plain path") << false;
    QTest::newRow("the highlighted path") << true;
}

void TestCellPainting::ampersandIsDrawnAsItself()
{
    QFETCH(bool, highlighted);

    // As a mnemonic marker "&&&" would show a single '&'.
    const QRect cell(0, 0, 200, 30);
    QImage image = WhiteImage(cell.width(), cell.height());
    {
        QPainter painter(&image);
        painter.setFont(GridFont());
        if (highlighted)
            DrawHighlightedText(painter, cell, u"&&&"_s, {}, Qt::black, Qt::white, Qt::black, Qt::yellow);
        else
            DrawPlainText(painter, cell, u"&&&"_s, Qt::black);
    }
    const auto [first, last] = InkSpan(image, 0, image.height());
    QVERIFY(first >= 0);
    QVERIFY2(last - first > 2 * CharWidth(), qPrintable(u"ink from %1 to %2"_s.arg(first).arg(last)));
}

QTEST_MAIN(TestCellPainting)
#include "tst_cellpainting.moc"
