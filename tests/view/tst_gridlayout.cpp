// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridLayout.h"

#include <QTest>

Q_DECLARE_METATYPE(TPathBoxInputs)
Q_DECLARE_METATYPE(TPathBoxGeometry)

namespace QTest {

char *toString(const TPathBoxGeometry &g)
{
    const QString text = QStringLiteral("column 2 %1, left box %2+%3, button %4, right box %5+%6, button %7")
                             .arg(g.Column2Width)
                             .arg(g.LeftBoxLeft)
                             .arg(g.LeftBoxWidth)
                             .arg(g.LeftBrowseLeft)
                             .arg(g.RightBoxLeft)
                             .arg(g.RightBoxWidth)
                             .arg(g.RightBrowseLeft);
    return qstrdup(text.toUtf8().constData());
}

} // namespace QTest

class TestGridLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowHeightsFromTextHeight_data();
    void rowHeightsFromTextHeight();
    void dataRowHeight_data();
    void dataRowHeight();
    void column1AfterResize_data();
    void column1AfterResize();
    void pathBoxGeometry_data();
    void pathBoxGeometry();
    void alignmentRunsUntilWidthsSettle();
    void pressGrabsColumnBorder_data();
    void pressGrabsColumnBorder();
};

void TestGridLayout::rowHeightsFromTextHeight_data()
{
    QTest::addColumn<int>("textHeight");
    QTest::addColumn<int>("baseRowHeight");
    QTest::addColumn<int>("headerHeight");

    QTest::newRow("17 pixel text: 31.5 rounds up to the even 32") << 17 << 21 << 32;
    QTest::newRow("19 pixel text: 34.5 rounds down to the even 34") << 19 << 23 << 34;
    QTest::newRow("an even base row needs no rounding") << 16 << 20 << 30;
}

void TestGridLayout::rowHeightsFromTextHeight()
{
    QFETCH(int, textHeight);
    QFETCH(int, baseRowHeight);
    QFETCH(int, headerHeight);

    QCOMPARE(BaseRowHeightFor(textHeight), baseRowHeight);
    QCOMPARE(HeaderRowHeightFor(baseRowHeight), headerHeight);
}

void TestGridLayout::dataRowHeight_data()
{
    QTest::addColumn<int>("baseRowHeight");
    QTest::addColumn<int>("tallestTextHeight");
    QTest::addColumn<int>("rowHeight");

    QTest::newRow("a row with only empty text cells keeps the base height") << 21 << 0 << 21;
    QTest::newRow("a one-line text keeps the base height") << 21 << 17 << 21;
    QTest::newRow("three wrapped lines of 17 pixels make a 55 pixel row") << 21 << 51 << 55;
    QTest::newRow("a text just taller than the base row adds its margins") << 21 << 18 << 22;
}

void TestGridLayout::dataRowHeight()
{
    QFETCH(int, baseRowHeight);
    QFETCH(int, tallestTextHeight);
    QFETCH(int, rowHeight);

    QCOMPARE(RowHeightFor(baseRowHeight, tallestTextHeight), rowHeight);
}

void TestGridLayout::column1AfterResize_data()
{
    QTest::addColumn<int>("gridWidth");
    QTest::addColumn<int>("column0Width");
    QTest::addColumn<int>("column1Width");

    QTest::newRow("1001 pixels: 440.5 rounds to the even 440") << 1001 << 120 << 440;
    QTest::newRow("1003 pixels: 441.5 rounds to the even 442") << 1003 << 120 << 442;
    QTest::newRow("hidden line numbers leave the whole width to split") << 1000 << 0 << 500;
    QTest::newRow("a grid narrower than column 0 leaves column 1 empty") << 100 << 120 << 0;
}

void TestGridLayout::column1AfterResize()
{
    QFETCH(int, gridWidth);
    QFETCH(int, column0Width);
    QFETCH(int, column1Width);

    QCOMPARE(Column1WidthAfterResize(gridWidth, column0Width), column1Width);
}

void TestGridLayout::pathBoxGeometry_data()
{
    QTest::addColumn<TPathBoxInputs>("inputs");
    QTest::addColumn<TPathBoxGeometry>("geometry");

    // Browse buttons 25 pixels wide throughout.
    QTest::newRow("after the first comparison the scroll bar takes 20 pixels of column 2")
        << TPathBoxInputs{120, 440, 1001, 25, 25, false} << TPathBoxGeometry{421, 130, 395, 527, 570, 346, 918};
    QTest::newRow("before any comparison column 2 reaches the grid's right edge")
        << TPathBoxInputs{120, 440, 1001, 25, 25, true} << TPathBoxGeometry{441, 130, 395, 527, 570, 366, 938};
    QTest::newRow("hidden line numbers put the left box at 10")
        << TPathBoxInputs{0, 500, 1000, 30, 20, false} << TPathBoxGeometry{480, 10, 450, 462, 510, 410, 922};
    QTest::newRow("a window too narrow for the boxes gives them no width, not a negative one")
        << TPathBoxInputs{120, 30, 200, 25, 25, false} << TPathBoxGeometry{30, 130, 0, 132, 160, 0, 162};
}

void TestGridLayout::pathBoxGeometry()
{
    QFETCH(TPathBoxInputs, inputs);
    QFETCH(TPathBoxGeometry, geometry);

    QCOMPARE(ComputePathBoxGeometry(inputs), geometry);
}

void TestGridLayout::alignmentRunsUntilWidthsSettle()
{
    // The timer's pass: it aligns when a width changed, its own change of
    // column 2 makes the next tick align once more, then all is quiet.
    TAlignedColumnWidths seen;
    const TPathBoxInputs inputs{120, 440, 1001, 25, 25, false};
    int column2 = 573;
    int passes = 0;
    for (int tick = 0; tick < 5; ++tick) {
        if (!seen.Update(inputs.Column1Width, column2))
            continue;
        ++passes;
        column2 = ComputePathBoxGeometry(inputs).Column2Width;
    }
    QCOMPARE(passes, 2);
    QCOMPARE(seen.iColWidth1, 440);
    QCOMPARE(seen.iColWidth2, 421);
}

void TestGridLayout::pressGrabsColumnBorder_data()
{
    QTest::addColumn<int>("gridRow");
    QTest::addColumn<int>("x");
    QTest::addColumn<QList<int>>("rightEdges");
    QTest::addColumn<bool>("grabs");

    const QList<int> edges{120, 560, 981};
    QTest::newRow("4 pixels left of the border between the text columns") << 0 << 556 << edges << true;
    QTest::newRow("4 pixels right of that border") << 0 << 564 << edges << true;
    QTest::newRow("5 pixels right of it") << 0 << 565 << edges << false;
    QTest::newRow("5 pixels left of it") << 0 << 555 << edges << false;
    QTest::newRow("on the border after the row numbers") << 0 << 120 << edges << true;
    QTest::newRow("the middle of a header cell") << 0 << 300 << edges << false;
    QTest::newRow("the right end of the last column") << 0 << 981 << edges << false;
    QTest::newRow("a data row on the border") << 1 << 560 << edges << false;
    QTest::newRow("outside every cell") << -1 << 560 << edges << false;
    QTest::newRow("hidden line numbers: the collapsed border at 0")
        << 0 << 3 << QList<int>{0, 440, 861} << true;
}

void TestGridLayout::pressGrabsColumnBorder()
{
    QFETCH(int, gridRow);
    QFETCH(int, x);
    QFETCH(QList<int>, rightEdges);
    QFETCH(bool, grabs);

    QCOMPARE(PressGrabsColumnBorder(gridRow, x, rightEdges), grabs);
}

QTEST_APPLESS_MAIN(TestGridLayout)
#include "tst_gridlayout.moc"
