// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComparisonSession.h"

#include "SessionFixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One row per letter: E equal, D changed (text), L left only, R right only (folder).
void ShowRows(TSessionFixture &f, const QString &pattern, bool folder)
{
    if (folder) {
        TDiffItems items;
        QStringList cells;
        for (QChar kind : pattern) {
            const TDiffKind k = kind == u'E' ? dkEqual : kind == u'L' ? dkLeftOnly : kind == u'R' ? dkRightOnly
                                                                                             : dkDifferent;
            items.append({0, 0, k});
            cells.append(u"file"_s);
        }
        f.Session->ShowFolderRows(items, cells, cells);
        return;
    }
    QStringList left, right;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const bool equal = pattern[i] == u'E';
        left.append((equal ? u"e"_s : u"l"_s) + QString::number(i));
        right.append((equal ? u"e"_s : u"r"_s) + QString::number(i));
    }
    f.Load(left, right);
}

} // namespace

class TestNavigation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commands_data();
    void commands();
    void goToRowCentres_data();
    void goToRowCentres();
};

void TestNavigation::commands_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<int>("start");
    // F first, P previous, N next, L last; after each, the selected row and
    // "!" when it beeped.
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("rows");

    // Blocks at rows 3-5 and 9-10.
    const QString blocks = u"EEDDDEEEDD"_s;
    QTest::newRow("Next from row 1 stops at each block's first row, then beeps")
        << blocks << false << 1 << u"NNN"_s << u"3 9 9!"_s;
    QTest::newRow("Previous from row 10 goes to the block above, then beeps")
        << blocks << false << 10 << u"PP"_s << u"3 3!"_s;
    QTest::newRow("Previous inside the first block beeps instead of going to its first row")
        << blocks << false << 4 << u"P"_s << u"4!"_s;
    QTest::newRow("Previous inside a block goes to the first row of the block above")
        << u"DDEDDD"_s << false << 6 << u"P"_s << u"1"_s;
    QTest::newRow("Next from inside a block goes past its end") << blocks << false << 4 << u"N"_s << u"9"_s;
    QTest::newRow("Last selects the last row of the last block, Previous then the block above")
        << blocks << false << 1 << u"LP"_s << u"10 3"_s;
    QTest::newRow("First selects the first differing row") << blocks << false << 10 << u"F"_s << u"3"_s;
    QTest::newRow("with only equal rows First and Last do nothing, Next and Previous beep")
        << u"EEEE"_s << false << 2 << u"FLNP"_s << u"2 2 2! 2!"_s;
    QTest::newRow("with no rows First and Last do nothing, Next and Previous beep")
        << QString() << false << 1 << u"FLNP"_s << u"1 1 1! 1!"_s;
    QTest::newRow("in folder mode every differing row is a stop of Next")
        << u"EEDLRE"_s << true << 1 << u"NNNN"_s << u"3 4 5 5!"_s;
    QTest::newRow("in folder mode every differing row is a stop of Previous")
        << u"EEDLRE"_s << true << 6 << u"PPPP"_s << u"5 4 3 3!"_s;
    QTest::newRow("in folder mode Last goes to the last differing row")
        << u"EEDLRE"_s << true << 1 << u"LF"_s << u"5 3"_s;
}

void TestNavigation::commands()
{
    QFETCH(QString, pattern);
    QFETCH(bool, folder);
    QFETCH(int, start);
    QFETCH(QString, commands);
    QFETCH(QString, rows);
    TSessionFixture f;
    ShowRows(f, pattern, folder);
    f.Grid.Row = start;

    QStringList visited;
    for (QChar command : commands) {
        const int beeps = f.Prompts.Beeps;
        switch (command.unicode()) {
        case u'F':
            f.Session->btnFirstDiffClick();
            break;
        case u'P':
            f.Session->btnPrevDiffClick();
            break;
        case u'N':
            f.Session->btnNextDiffClick();
            break;
        case u'L':
            f.Session->btnLastDiffClick();
            break;
        }
        visited.append(QString::number(f.Grid.Row) + (f.Prompts.Beeps > beeps ? u"!"_s : QString()));
    }

    QCOMPARE(visited.join(u' '), rows);
    // Navigation changes nothing but the position.
    QVERIFY(f.Session->UndoStack().isEmpty());
    QVERIFY(!f.Session->UnsavedChanges());
    QVERIFY(f.Prompts.Log.isEmpty());
}

void TestNavigation::goToRowCentres_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("visible");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("top");

    QTest::newRow("a row in the middle of a long grid is centred") << 101 << 20 << 50 << 50 << 40;
    QTest::newRow("a row near the end never scrolls past the last row") << 101 << 20 << 95 << 95 << 81;
    QTest::newRow("a row near the start keeps the first row at the top") << 101 << 20 << 3 << 3 << 1;
    QTest::newRow("a row past the end is clamped to the last row") << 101 << 20 << 500 << 100 << 81;
    QTest::newRow("the header row is clamped to row 1") << 101 << 20 << 0 << 1 << 1;
    QTest::newRow("a view taller than the grid keeps row 1 at the top") << 6 << 20 << 5 << 5 << 1;
    QTest::newRow("a view showing no row completely counts as one row") << 101 << 0 << 50 << 50 << 50;
}

void TestNavigation::goToRowCentres()
{
    QFETCH(int, rows);
    QFETCH(int, visible);
    QFETCH(int, row);
    QFETCH(int, selected);
    QFETCH(int, top);
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);
    TFakeGridCursor grid;
    session.SetGridCursor(&grid);
    grid.Rows = rows;
    grid.Visible = visible;

    session.GoToRow(row);

    QCOMPARE(grid.Row, selected);
    QCOMPARE(grid.Top, top);
}

QTEST_GUILESS_MAIN(TestNavigation)
#include "tst_navigation.moc"
