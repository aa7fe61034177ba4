// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffGrid.h"

#include "CellPainting.h"
#include "ColorValue.h"
#include "GridLayout.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <iterator>
#include <memory>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TGridRows)

namespace {

// Rows of every kind:
// 1 equal, 2 changed ('x' against 'y'), 3 left only, 4 right only, 5 equal.
TGridRows SampleRows()
{
    TGridRows rows;
    rows.LeftLines = {u"same"_s, u"int x = 10;"_s, u"only left"_s, u"tail"_s};
    rows.RightLines = {u"same"_s, u"int y = 10;"_s, u"only right"_s, u"tail"_s};
    rows.Items = {{0, 0, dkEqual}, {1, 1, dkDifferent}, {2, -1, dkLeftOnly}, {-1, 2, dkRightOnly}, {3, 3, dkEqual}};
    return rows;
}

TGridRows FolderRows()
{
    TGridRows rows;
    rows.FolderMode = true;
    rows.Items = {{0, 0, dkDifferent}, {1, -1, dkLeftOnly}};
    rows.LeftCells = {u"a.txt New"_s, u"b.txt"_s};
    rows.RightCells = {u"a.txt"_s, QString()};
    return rows;
}

std::unique_ptr<TDiffGrid> ShownGrid(const TGridRows &rows)
{
    auto grid = std::make_unique<TDiffGrid>();
    grid->resize(640, 320);
    grid->SetColumnWidth(0, 100);
    grid->SetColumnWidth(1, 260);
    grid->SetColumnWidth(2, 260);
    grid->SetRows(rows);
    grid->show();
    if (!QTest::qWaitForWindowExposed(grid.get()))
        return nullptr;
    return grid;
}

// The grid as drawn, with a cell's rectangle in the picture's coordinates.
struct TPicture {
    QImage Image;
    QPoint Origin;

    explicit TPicture(TDiffGrid &grid)
        : Image(grid.grab().toImage())
        , Origin(grid.viewport()->pos())
    {
    }
    QRect Cell(const TDiffGrid &grid, int col, int row) const { return grid.CellRect(col, row).translated(Origin); }
    QColor At(const QPoint &p) const { return Image.pixelColor(p); }
    int CountColor(const QRect &area, const QColor &color) const
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                count += Image.pixelColor(x, y) == color ? 1 : 0;
        }
        return count;
    }
};

// A point inside a cell's background, clear of the text, the frame and the lines.
QPoint BackgroundPoint(const QRect &cell)
{
    return QPoint(cell.right() - 6, cell.bottom() - 5);
}

// The box of characters [first, first + count) of a cell's first text line.
QRect CharBox(const TDiffGrid &grid, const QRect &cell, int first, int count)
{
    const QFontMetrics fm(grid.GridFont());
    const int cw = fm.horizontalAdvance(u'x');
    return QRect(cell.left() + 2 + first * cw, cell.top() + 2, count * cw, fm.height());
}

class TPaintRecorder : public QObject
{
public:
    QRegion Painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            Painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

// A full-width rectangle of a data row in viewport coordinates.
QRect FullRow(const TDiffGrid &grid, int row)
{
    const QRect first = grid.CellRect(0, row);
    const QRect last = grid.CellRect(2, row);
    return QRect(first.topLeft(), last.bottomRight());
}

const QColor kHighlight(0xFF, 0xFF, 0x00);

// A data row's height by the layout rule, measured here without the grid's
// shortcuts and cache: the tallest text laid out in its column, plus margins.
int RuleHeight(const TDiffGrid &grid, int row)
{
    const QFontMetrics fm(grid.GridFont());
    int tallest = 0;
    for (int col : {1, 2}) {
        const QString text = grid.CellText(col, row);
        if (!text.isEmpty()) {
            const QRect bounds(0, 0, TextLayoutWidth(grid.ColumnWidth(col)), INT_MAX);
            tallest = std::max(tallest, fm.boundingRect(bounds, PlainTextFlags(), text).height());
        }
    }
    return RowHeightFor(grid.BaseRowHeight(), tallest);
}

// Compares every row on screen, partly shown ones included, with the rule.
bool ScreenHasRuleHeights(const TDiffGrid &grid)
{
    for (int row = grid.TopRow(); row < grid.RowCount() && grid.CellRect(0, row).top() < grid.viewport()->height();
         ++row) {
        if (grid.RowHeight(row) != RuleHeight(grid, row)) {
            qWarning("row %d is %d pixels high, not %d", row, grid.RowHeight(row), RuleHeight(grid, row));
            return false;
        }
    }
    return true;
}

bool AllRowsHaveRuleHeights(const TDiffGrid &grid)
{
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (grid.RowHeight(row) != RuleHeight(grid, row)) {
            qWarning("row %d is %d pixels high, not %d", row, grid.RowHeight(row), RuleHeight(grid, row));
            return false;
        }
    }
    return true;
}

} // namespace

class TestDiffGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsOfTheModel();
    void backgroundByKind_data();
    void backgroundByKind();
    void rowColoursCanBeChanged();
    void differingWordsAreHighlighted();
    void folderModeShowsTheBadgeInsteadOfHighlighting();
    void frameFollowsTheCurrentRow();
    void horizontalGridLinesFollowTheSetting();
    void invalidateRowRepaintsTheFullRow();
    void frameBookkeepingRepaintsOldAndNewRow();
    void setRowsKeepsTheCurrentRow();
    void rowHeightsFollowTheWrappedText();
    void rowHeightsEqualThePlainMeasurement();
    void navigationSeesExactHeightsWhileSlicesArePending();
    void columnBorderPressRecomputesHeightsOnRelease_data();
    void columnBorderPressRecomputesHeightsOnRelease();
    void doubleClickNamesTheCell();
    void lineNumbersColumn();
};

void TestDiffGrid::rowsOfTheModel()
{
    TDiffGrid grid;
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.CellText(0, 1), QString());

    grid.SetRows(SampleRows());
    QCOMPARE(grid.RowCount(), 6);
    QCOMPARE(grid.CellText(0, 3), u"3"_s);
    QCOMPARE(grid.CellText(1, 2), u"int x = 10;"_s);
    QCOMPARE(grid.CellText(2, 3), QString());
    QCOMPARE(grid.CellText(1, 4), QString());
    QCOMPARE(grid.CellText(2, 4), u"only right"_s);
    QCOMPARE(grid.CellText(1, 0), QString());

    grid.SetRows(TGridRows());
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.CellText(0, 1), QString());
}

void TestDiffGrid::backgroundByKind_data()
{
    QTest::addColumn<TGridRows>("rows");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected"); // a colour name, or "base" / "button"

    QTest::newRow("the header row has the button face") << SampleRows() << 0 << u"button"_s;
    QTest::newRow("an equal row has the window background") << SampleRows() << 1 << u"base"_s;
    QTest::newRow("a changed row, row number included, has the changed colour")
        << SampleRows() << 2 << u"#ffe0e0"_s;
    QTest::newRow("a left-only row has the added colour") << SampleRows() << 3 << u"#e0f0ff"_s;
    QTest::newRow("a right-only row has the removed colour") << SampleRows() << 4 << u"#fff0e0"_s;
    QTest::newRow("the empty row of an empty comparison has the window background")
        << TGridRows() << 1 << u"base"_s;
    TGridRows emptyChange;
    emptyChange.LeftLines = {QString()};
    emptyChange.RightLines = {QString()};
    emptyChange.Items = {{0, 0, dkDifferent}};
    QTest::newRow("a changed row with empty texts is only its colour") << emptyChange << 1 << u"#ffe0e0"_s;
}

void TestDiffGrid::backgroundByKind()
{
    QFETCH(TGridRows, rows);
    QFETCH(int, row);
    QFETCH(QString, expected);

    const auto grid = ShownGrid(rows);
    QVERIFY(grid);
    const QColor colour = expected == u"base"_s     ? grid->palette().color(QPalette::Base)
                          : expected == u"button"_s ? grid->horizontalHeader()->palette().color(QPalette::Button)
                                                    : QColor(expected);
    const TPicture picture(*grid);
    for (int col = 0; col < 3; ++col)
        QCOMPARE(picture.At(BackgroundPoint(picture.Cell(*grid, col, row))), colour);
}

void TestDiffGrid::rowColoursCanBeChanged()
{
    const auto grid = ShownGrid(SampleRows());
    QVERIFY(grid);
    grid->SetRowColors(0x00000080, 0x00008000, 0x00800000, 0x00FF00FF);
    const TPicture picture(*grid);
    QCOMPARE(picture.At(BackgroundPoint(picture.Cell(*grid, 1, 3))), QColor(0x80, 0, 0));
    QCOMPARE(picture.At(BackgroundPoint(picture.Cell(*grid, 1, 4))), QColor(0, 0x80, 0));
    QCOMPARE(picture.At(BackgroundPoint(picture.Cell(*grid, 1, 2))), QColor(0, 0, 0x80));
    QVERIFY(picture.CountColor(CharBox(*grid, picture.Cell(*grid, 1, 2), 4, 1), QColor(0xFF, 0, 0xFF)) > 0);
}

void TestDiffGrid::differingWordsAreHighlighted()
{
    // 'int x = 10;' against 'int y = 10;': only the fifth character differs.
    const auto grid = ShownGrid(SampleRows());
    QVERIFY(grid);
    const TPicture picture(*grid);
    for (int col : {1, 2}) {
        const QRect cell = picture.Cell(*grid, col, 2);
        QVERIFY(picture.CountColor(CharBox(*grid, cell, 4, 1), kHighlight) > 0);
        QCOMPARE(picture.CountColor(CharBox(*grid, cell, 0, 4), kHighlight), 0);
        QCOMPARE(picture.CountColor(CharBox(*grid, cell, 5, 6), kHighlight), 0);
    }
    QCOMPARE(picture.CountColor(picture.Cell(*grid, 0, 2), kHighlight), 0);
    QCOMPARE(picture.CountColor(picture.Cell(*grid, 1, 1), kHighlight), 0);
}

void TestDiffGrid::folderModeShowsTheBadgeInsteadOfHighlighting()
{
    const auto grid = ShownGrid(FolderRows());
    QVERIFY(grid);
    grid->SetCurrentGridRow(2); // keep the frame off the row looked at
    const TPicture picture(*grid);
    const QRect left = picture.Cell(*grid, 1, 1);
    const QRect right = picture.Cell(*grid, 2, 1);
    const QRect badgeCorner(left.right() - 30, left.top() + 2, 26, 10);
    const QRect textArea = CharBox(*grid, left, 0, 9); // 'a.txt New' would reach this far
    QVERIFY(picture.CountColor(badgeCorner, kHighlight) > 0);
    QCOMPARE(picture.CountColor(textArea, kHighlight), 0);
    QCOMPARE(picture.CountColor(right, kHighlight), 0);
    // The marker is not drawn as text: nothing after 'a.txt'.
    const QColor text = grid->palette().color(QPalette::Text);
    QVERIFY(picture.CountColor(CharBox(*grid, left, 0, 5), text) > 0);
    QCOMPARE(picture.CountColor(CharBox(*grid, left, 5, 4), text), 0);
}

void TestDiffGrid::frameFollowsTheCurrentRow()
{
    const auto grid = ShownGrid(SampleRows());
    QVERIFY(grid);
    const QColor frame = grid->palette().color(QPalette::Text);
    for (int current : {3, 5}) {
        grid->SetCurrentGridRow(current);
        QCOMPARE(grid->CurrentGridRow(), current);
        const TPicture picture(*grid);
        for (int row = 1; row < grid->RowCount(); ++row) {
            const QRect mid = picture.Cell(*grid, 1, row);
            const bool framed = picture.At(QPoint(mid.center().x(), mid.top())) == frame
                && picture.At(QPoint(mid.center().x(), mid.bottom() - 2)) == frame;
            QCOMPARE(framed, row == current);
        }
        // One rectangle: edges at both ends, and the top edge runs on over
        // the lines between the cells.
        const QRect first = picture.Cell(*grid, 0, current);
        const QRect last = picture.Cell(*grid, 2, current);
        QCOMPARE(picture.At(QPoint(first.left(), first.center().y())), frame);
        QCOMPARE(picture.At(QPoint(last.right() - 2, last.center().y())), frame);
        QCOMPARE(picture.At(QPoint(first.right(), first.top())), frame);
        QVERIFY(picture.At(QPoint(first.right() - 2, first.center().y())) != frame);
    }
}

void TestDiffGrid::horizontalGridLinesFollowTheSetting()
{
    const auto grid = ShownGrid(SampleRows());
    QVERIFY(grid);
    const QColor base = grid->palette().color(QPalette::Base);
    grid->SetCurrentGridRow(5);
    for (bool show : {true, false}) {
        grid->SetShowGridLines(show);
        const TPicture picture(*grid);
        const QRect cell = picture.Cell(*grid, 1, 1);
        QCOMPARE(picture.At(QPoint(cell.center().x(), cell.bottom())) != base, show);
        QVERIFY(picture.At(QPoint(cell.right(), cell.center().y())) != base);
    }
}

void TestDiffGrid::invalidateRowRepaintsTheFullRow()
{
    const auto grid = ShownGrid(SampleRows());
    QVERIFY(grid);
    QTest::qWait(20);
    TPaintRecorder recorder;
    grid->viewport()->installEventFilter(&recorder);

    grid->InvalidateRow(3);
    QTRY_VERIFY(!recorder.Painted.isEmpty());
    QCOMPARE(recorder.Painted.boundingRect(), FullRow(*grid, 3));

    recorder.Painted = QRegion();
    grid->InvalidateRow(-1);
    grid->InvalidateRow(grid->RowCount());
    QTest::qWait(50);
    QVERIFY(recorder.Painted.isEmpty());
}

void TestDiffGrid::frameBookkeepingRepaintsOldAndNewRow()
{
    TGridRows rows;
    for (int i = 0; i < 10; ++i) {
        rows.LeftLines.append(u"line %1"_s.arg(i));
        rows.Items.append({i, -1, dkLeftOnly});
    }
    const auto grid = ShownGrid(rows);
    QVERIFY(grid);
    QCOMPARE(grid->LastFramedRow(), -1);
    TPaintRecorder recorder;
    grid->viewport()->installEventFilter(&recorder);

    grid->SetCurrentGridRow(5);
    QCOMPARE(grid->LastFramedRow(), 5);
    QTRY_VERIFY(recorder.Painted.contains(FullRow(*grid, 5)));

    QTest::qWait(20);
    recorder.Painted = QRegion();
    grid->SetCurrentGridRow(9);
    QCOMPARE(grid->LastFramedRow(), 9);
    QTRY_VERIFY(recorder.Painted.contains(FullRow(*grid, 9)));
    QVERIFY(recorder.Painted.contains(FullRow(*grid, 5)));
    QVERIFY(!recorder.Painted.intersects(FullRow(*grid, 7)));

    QTest::qWait(20);
    recorder.Painted = QRegion();
    grid->SetCurrentGridRow(9);
    QTest::qWait(50);
    QVERIFY(recorder.Painted.isEmpty());
    QCOMPARE(grid->LastFramedRow(), 9);
}

void TestDiffGrid::setRowsKeepsTheCurrentRow()
{
    TDiffGrid grid;
    QSignalSpy changes(&grid, &TDiffGrid::currentGridRowChanged);
    QCOMPARE(grid.CurrentGridRow(), 1);

    grid.SetRows(SampleRows());
    QCOMPARE(grid.CurrentGridRow(), 1);
    grid.SetCurrentGridRow(4);
    QCOMPARE(changes.count(), 1);
    grid.SetRows(SampleRows());
    QCOMPARE(grid.CurrentGridRow(), 4);

    TGridRows two = SampleRows();
    two.Items.resize(2);
    grid.SetRows(two);
    QCOMPARE(grid.CurrentGridRow(), 2);
    // Refilling is no selection: the frame bookkeeping and listeners stay.
    QCOMPARE(changes.count(), 1);
    QCOMPARE(grid.LastFramedRow(), 4);

    grid.SetCurrentGridRow(0);
    grid.SetCurrentGridRow(3);
    QCOMPARE(grid.CurrentGridRow(), 2);
}

void TestDiffGrid::rowHeightsFollowTheWrappedText()
{
    TDiffGrid grid;
    const QFontMetrics design(TDiffGrid::DesignFont());
    QCOMPARE(grid.BaseRowHeight(), design.height() + 4);
    QCOMPARE(grid.RowHeight(0), HeaderRowHeightFor(grid.BaseRowHeight()));

    // Ten characters fit each text column.
    const QFontMetrics fm(grid.GridFont());
    const int width = 4 + fm.horizontalAdvance(u"aaaa bbbb "_s) + fm.horizontalAdvance(u'x') / 2;
    grid.SetColumnWidth(1, width);
    grid.SetColumnWidth(2, width);
    TGridRows rows;
    rows.LeftLines = {QString(), u"short"_s, u"aaaa bbbb cccc dddd eeee"_s, u"x"_s};
    rows.RightLines = {QString(), QString(), u"x"_s, u"aaaa bbbb cccc"_s};
    rows.Items = {{0, 0, dkEqual}, {1, 1, dkDifferent}, {2, 2, dkDifferent}, {3, 3, dkDifferent}};
    grid.SetRows(rows);

    const auto linesHigh = [&](int lines) { return lines * fm.height() + (lines - 1) * fm.leading() + 4; };
    QCOMPARE(grid.RowHeight(1), grid.BaseRowHeight());
    QCOMPARE(grid.RowHeight(2), grid.BaseRowHeight());
    QCOMPARE(grid.RowHeight(3), linesHigh(3));
    QCOMPARE(grid.RowHeight(4), linesHigh(2));

    // An edited cell: its row alone is measured again.
    grid.SetCellText(2, 2, u"aaaa bbbb cccc dddd"_s);
    grid.AdjustRowHeight(2);
    QCOMPARE(grid.RowHeight(2), linesHigh(2));

    // A larger font re-wraps the rows; the base row height stays.
    const int base = grid.BaseRowHeight();
    QFont large = grid.GridFont();
    large.setPixelSize(30);
    grid.SetGridFont(large);
    grid.AdjustAllRowHeights();
    QCOMPARE(grid.BaseRowHeight(), base);
    QVERIFY(grid.RowHeight(3) > linesHigh(3));
}

void TestDiffGrid::rowHeightsEqualThePlainMeasurement()
{
    // Most rows skip the text layout, the rows off screen are measured
    // later and heights come from a cache; every row must still end with
    // the height that laying out its texts gives. Random lines around the
    // width of a column, some with characters outside printable ASCII.
    static const char16_t pieces[][8] = {u"a", u"W", u" ", u"  ", u"int", u"x = 1;", u"\t", u"\u00E9", u"\u00A0",
                                         u"\u6F22\u5B57", u"mmmm", u"iiii", u"-", u".", u"\u2014"};
    QRandomGenerator random(11);
    const auto randomText = [&](int maxPieces, int pieceKinds) {
        QString text;
        for (int n = int(random.bounded(maxPieces)); n > 0; --n)
            text += QString::fromUtf16(pieces[random.bounded(pieceKinds)]);
        return text;
    };
    TGridRows rows;
    for (int i = 0; i < 600; ++i) {
        // Mostly short texts, one side alone in two rows of three, so no
        // taller neighbour hides a row's own height.
        const int maxPieces = i % 4 == 0 ? 40 : 8;
        const int left = i % 3 == 1 ? -1 : int(rows.LeftLines.size());
        const int right = i % 3 == 0 ? -1 : int(rows.RightLines.size());
        if (left >= 0)
            rows.LeftLines.append(randomText(maxPieces, int(std::size(pieces))));
        if (right >= 0)
            rows.RightLines.append(randomText(maxPieces, int(std::size(pieces)) - 6)); // ASCII only
        rows.Items.append({left, right, left < 0 ? dkRightOnly : right < 0 ? dkLeftOnly : dkDifferent});
    }
    TDiffGrid grid;
    grid.resize(640, 480);
    grid.SetRows(rows);
    const auto settle = [&] { return QTest::qWaitFor([&] { return !grid.RowHeightsPending(); }); };
    QVERIFY(settle());
    grid.SetTopRow(250);

    const auto setWidths = [&](int width) {
        grid.SetColumnWidth(1, width);
        grid.SetColumnWidth(2, width + 13);
        grid.AdjustAllRowHeights();
    };
    const qint64 textCount = rows.LeftLines.size() + rows.RightLines.size();
    for (int width : {37, 90, 151, 260}) {
        const qint64 before = grid.TextMeasureCount();
        setWidths(width);
        // The rows on screen at once, the rest later.
        QVERIFY(ScreenHasRuleHeights(grid));
        QVERIFY(grid.TextMeasureCount() - before < textCount / 3);
        QVERIFY(settle());
        QVERIFY(AllRowsHaveRuleHeights(grid));
    }

    // An edited text is laid out again at the present widths, and once at
    // each earlier width it comes back to; nothing else is.
    grid.SetCellText(2, 255, u"a longer text that wraps in every column width used here"_s);
    grid.AdjustRowHeight(255);
    QCOMPARE(grid.RowHeight(255), RuleHeight(grid, 255));
    for (int width : {37, 151}) {
        const qint64 before = grid.TextMeasureCount();
        setWidths(width);
        QVERIFY(settle());
        QCOMPARE(grid.TextMeasureCount() - before, 1);
        QVERIFY(AllRowsHaveRuleHeights(grid));
    }
}

void TestDiffGrid::navigationSeesExactHeightsWhileSlicesArePending()
{
    // Every third row wraps to many lines: base heights for the rows not
    // measured yet would put rows in the wrong places.
    TGridRows rows;
    for (int i = 0; i < 3000; ++i) {
        rows.LeftLines.append(i % 3 == 0 ? u"word "_s.repeated(60) + QString::number(i) : QString::number(i));
        rows.Items.append({i, -1, dkLeftOnly});
    }
    const auto grid = ShownGrid(SampleRows());
    QVERIFY(grid);
    grid->SetRows(rows);
    QVERIFY(grid->RowHeightsPending());
    QVERIFY(ScreenHasRuleHeights(*grid));

    const auto fullyShown = [&](int row) {
        const QRect cell = grid->CellRect(1, row);
        return cell.top() >= 0 && cell.top() + cell.height() <= grid->viewport()->height();
    };
    // Selecting scrolls the row to the bottom of the view.
    grid->SetCurrentGridRow(1800);
    QVERIFY(fullyShown(1800));
    QVERIFY(!fullyShown(1801));
    QVERIFY(ScreenHasRuleHeights(*grid));

    grid->SetTopRow(900);
    QCOMPARE(grid->TopRow(), 900);
    QVERIFY(ScreenHasRuleHeights(*grid));
    int fit = 0;
    for (int bottom = RuleHeight(*grid, 900); bottom <= grid->viewport()->height();
         bottom += RuleHeight(*grid, 900 + fit))
        ++fit;
    QCOMPARE(grid->FullyVisibleRowCount(), std::max(1, fit));

    // The scroll range ends where the last row is fully shown, also after
    // the rows were wrapped to a narrower column.
    for (int width : {260, 150}) {
        grid->SetTopRow(900);
        grid->SetColumnWidth(1, width);
        grid->AdjustAllRowHeights();
        grid->SetTopRow(grid->RowCount() - 1);
        QVERIFY(fullyShown(grid->RowCount() - 1));
        QVERIFY(!fullyShown(grid->TopRow() - 1));
        QVERIFY(ScreenHasRuleHeights(*grid));
    }
    QVERIFY(grid->RowHeightsPending());
}

void TestDiffGrid::columnBorderPressRecomputesHeightsOnRelease_data()
{
    QTest::addColumn<bool>("onHeader");
    QTest::addColumn<int>("dx"); // from the border between the text columns
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("recomputes");
    QTest::addColumn<QPoint>("lastMouseCell");

    QTest::newRow("header, 2 pixels left of the border") << true << -2 << int(Qt::LeftButton) << true << QPoint(1, 0);
    QTest::newRow("header, 3 pixels right of the border") << true << 3 << int(Qt::LeftButton) << true << QPoint(2, 0);
    QTest::newRow("header, in the middle of a cell") << true << -100 << int(Qt::LeftButton) << false << QPoint(1, 0);
    QTest::newRow("a data row, on the border") << false << -2 << int(Qt::LeftButton) << false << QPoint(1, 1);
    QTest::newRow("the right button on the header border leaves the last press")
        << true << -2 << int(Qt::RightButton) << false << QPoint(0, 2);
}

void TestDiffGrid::columnBorderPressRecomputesHeightsOnRelease()
{
    QFETCH(bool, onHeader);
    QFETCH(int, dx);
    QFETCH(int, button);
    QFETCH(bool, recomputes);
    QFETCH(QPoint, lastMouseCell);

    TGridRows rows;
    rows.LeftLines = {u"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll"_s};
    rows.Items = {{0, -1, dkLeftOnly}, {0, -1, dkLeftOnly}};
    const auto grid = ShownGrid(rows);
    QVERIFY(grid);
    const int wrapped = grid->RowHeight(1);
    QVERIFY(wrapped > grid->BaseRowHeight());
    // Wide enough for one line; the heights are not measured again yet.
    grid->SetColumnWidth(1, 600);
    QCOMPARE(grid->RowHeight(1), wrapped);

    // An earlier left press on a data cell.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(0, 2).center());
    QCOMPARE(QPoint(grid->LastMouseCol(), grid->LastMouseRow()), QPoint(0, 2));

    const int border = grid->CellRect(2, 0).left();
    QWidget *target = onHeader ? grid->horizontalHeader()->viewport() : grid->viewport();
    const QPoint pos(border + dx, onHeader ? grid->RowHeight(0) / 2 : grid->CellRect(1, 1).center().y());
    QTest::mousePress(target, Qt::MouseButton(button), {}, pos);
    QCOMPARE(grid->InColResize(), recomputes);
    QCOMPARE(QPoint(grid->LastMouseCol(), grid->LastMouseRow()), lastMouseCell);
    QTest::mouseRelease(target, Qt::MouseButton(button), {}, pos);
    QVERIFY(!grid->InColResize());
    QCOMPARE(grid->RowHeight(1) == grid->BaseRowHeight(), recomputes);
}

void TestDiffGrid::doubleClickNamesTheCell()
{
    const auto grid = ShownGrid(SampleRows());
    QVERIFY(grid);
    QSignalSpy spy(grid.get(), &TDiffGrid::cellDoubleClicked);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(2, 3).center());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
    QCOMPARE(spy.at(0).at(1).toInt(), 3);
    QCOMPARE(QPoint(grid->LastMouseCol(), grid->LastMouseRow()), QPoint(2, 3));
    QCOMPARE(grid->CurrentGridRow(), 3);

    // Below the last row there is no cell.
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, QPoint(150, grid->viewport()->height() - 3));
    QCOMPARE(QPoint(grid->LastMouseCol(), grid->LastMouseRow()), QPoint(-1, -1));
}

void TestDiffGrid::lineNumbersColumn()
{
    TDiffGrid grid;
    QCOMPARE(grid.ColumnWidth(0), kDesignColumnWidths[0]);
    grid.SetLineNumbersVisible(false);
    QCOMPARE(grid.ColumnWidth(0), 0);
    QVERIFY(!grid.LineNumbersVisible());
    QCOMPARE(grid.CellAt(QPoint(1, 1)), QPoint(1, 1));
    grid.SetLineNumbersVisible(true);
    QCOMPARE(grid.ColumnWidth(0), kLineNumberColumnWidth);
    QCOMPARE(grid.CellAt(QPoint(1, 1)), QPoint(0, 1));
}

QTEST_MAIN(TestDiffGrid)
#include "tst_diffgrid.moc"
