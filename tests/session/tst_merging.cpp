// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComparisonSession.h"

#include "SessionFixture.h"
#include "UserError.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

enum TCommand { cmdToRight, cmdToLeft, cmdAllToRight, cmdAllToLeft, cmdUndo };

void Run(TComparisonSession &session, int command)
{
    switch (command) {
    case cmdToRight:
        return session.btnLeftToRightClick();
    case cmdToLeft:
        return session.btnRightToLeftClick();
    case cmdAllToRight:
        return session.btnAllLeftDiffsToRightClick();
    case cmdAllToLeft:
        return session.btnAllRightDiffsToLeftClick();
    case cmdUndo:
        return session.ActionUndoExecute();
    }
}

QStringList Split(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split(u' ');
}

} // namespace

class TestMerging : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copyBlock_data();
    void copyBlock();
    void refusedCommands_data();
    void refusedCommands();
    void copyAll_data();
    void copyAll();
    void undoRestoresTheLastThreeStates();
    void undoRestoresTheGridPosition_data();
    void undoRestoresTheGridPosition();
};

void TestMerging::copyBlock_data()
{
    // Lines are written as words separated by blanks.
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("expectedLeft");
    QTest::addColumn<QString>("expectedRight");

    // Rows 5, 6, 7: (4, 4, changed), (5, -1, left only), (6, -1, left only).
    const QString exampleLeft = u"e0 e1 e2 e3 L4 L5 L6 e7"_s;
    const QString exampleRight = u"e0 e1 e2 e3 R4 e7"_s;
    QTest::newRow("a changed row and two left-only rows copied right: one line replaced, two inserted")
        << exampleLeft << exampleRight << 5 << int(cmdToRight) << exampleLeft << exampleLeft;
    QTest::newRow("the same block copied left: one line replaced, two deleted")
        << exampleLeft << exampleRight << 5 << int(cmdToLeft) << exampleRight << exampleRight;
    QTest::newRow("a left-only row inside the block copies the whole block")
        << exampleLeft << exampleRight << 7 << int(cmdToRight) << exampleLeft << exampleLeft;
    // Rows 2, 3: (1, 1, changed), (-1, 2, right only).
    QTest::newRow("a changed row and a right-only row copied right: two lines become one")
        << u"a x b"_s << u"a p q b"_s << 2 << int(cmdToRight) << u"a x b"_s << u"a x b"_s;
    QTest::newRow("a changed row and a right-only row copied left: one line becomes two")
        << u"a x b"_s << u"a p q b"_s << 3 << int(cmdToLeft) << u"a p q b"_s << u"a p q b"_s;
    QTest::newRow("left-only rows go after the right line of the nearest row above")
        << u"a b X Y c"_s << u"a b c"_s << 3 << int(cmdToRight) << u"a b X Y c"_s << u"a b X Y c"_s;
    QTest::newRow("left-only rows at the top go before the right line of the nearest row below")
        << u"X Y a b"_s << u"a b"_s << 2 << int(cmdToRight) << u"X Y a b"_s << u"X Y a b"_s;
    QTest::newRow("left-only rows go to the end of a side without lines")
        << u"X Y"_s << QString() << 1 << int(cmdToRight) << u"X Y"_s << u"X Y"_s;
    QTest::newRow("right-only rows copied left go after the left line of the nearest row above")
        << u"a c"_s << u"a B c"_s << 2 << int(cmdToLeft) << u"a B c"_s << u"a B c"_s;
    QTest::newRow("right-only rows copied right change no line")
        << u"a c"_s << u"a B c"_s << 2 << int(cmdToRight) << u"a c"_s << u"a B c"_s;
    QTest::newRow("an equal row changes no line") << u"a b"_s << u"a c"_s << 1 << int(cmdToRight) << u"a b"_s
                                                  << u"a c"_s;
}

void TestMerging::copyBlock()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(int, row);
    QFETCH(int, command);
    QFETCH(QString, expectedLeft);
    QFETCH(QString, expectedRight);
    TSessionFixture f;
    f.Load(Split(left), Split(right));
    QSignalSpy undoSpy(f.Session.get(), &TComparisonSession::UndoBecameAvailable);
    f.Grid.Row = row;

    Run(*f.Session, command);

    QCOMPARE(f.Session->LeftLines(), Split(expectedLeft));
    QCOMPARE(f.Session->RightLines(), Split(expectedRight));
    // Even a copy that changes nothing counts as a change that can be undone.
    QCOMPARE(f.Session->UndoStack().size(), 1);
    QCOMPARE(f.Session->UndoStack().last().LeftLines, Split(left));
    QCOMPARE(f.Session->UndoStack().last().RightLines, Split(right));
    QVERIFY(f.Session->UnsavedChanges());
    QCOMPARE(undoSpy.count(), 1);
    QVERIFY(f.Session->DiffRecomputeInProgress());
    QCOMPARE(f.Prompts.BusyCursorPushes, 1);

    f.Session->ApplyPendingRecompute();
    QCOMPARE(f.Session->DiffItems(), f.FreshItems());
    QVERIFY(!f.Session->DiffRecomputeInProgress());
    QVERIFY(f.Prompts.CursorsBalanced());
    QVERIFY(f.Prompts.Log.isEmpty());
    QCOMPARE(f.Prompts.Beeps, 0);
}

void TestMerging::refusedCommands_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("error");

    QTest::newRow("Copy to Right in folder mode only beeps") << int(cmdToRight) << u"folder"_s << 1 << 1
                                                            << QString();
    QTest::newRow("Copy to Left in folder mode only beeps") << int(cmdToLeft) << u"folder"_s << 1 << 1
                                                           << QString();
    QTest::newRow("Copy All to Right in folder mode only beeps")
        << int(cmdAllToRight) << u"folder"_s << 1 << 1 << QString();
    QTest::newRow("Copy All to Left in folder mode only beeps")
        << int(cmdAllToLeft) << u"folder"_s << 1 << 1 << QString();
    QTest::newRow("Undo in folder mode only beeps") << int(cmdUndo) << u"folder"_s << 1 << 1 << QString();
    QTest::newRow("Undo with nothing to undo only beeps") << int(cmdUndo) << u"text"_s << 1 << 1 << QString();
    QTest::newRow("Copy to Right with the header row selected does nothing")
        << int(cmdToRight) << u"text"_s << 0 << 0 << QString();
    QTest::newRow("Copy to Left below the last item row does nothing")
        << int(cmdToLeft) << u"text"_s << 4 << 0 << QString();
    QTest::newRow("Copy to Right before any comparison says no files are loaded")
        << int(cmdToRight) << u"none"_s << 1 << 0 << u"No files are loaded."_s;
    QTest::newRow("Copy All to Left before any comparison says no files are loaded")
        << int(cmdAllToLeft) << u"none"_s << 1 << 0 << u"No files are loaded."_s;
}

void TestMerging::refusedCommands()
{
    QFETCH(int, command);
    QFETCH(QString, state);
    QFETCH(int, row);
    QFETCH(int, beeps);
    QFETCH(QString, error);
    TSessionFixture f;
    if (state != u"none"_s)
        f.Load({u"a"_s, u"b"_s, u"c"_s}, {u"a"_s, u"x"_s, u"c"_s});
    if (state == u"folder"_s)
        f.Session->ShowFolderRows({{0, 0, dkDifferent}}, {u"f.txt"_s}, {u"f.txt"_s});
    const QStringList left = f.Session->LeftLines();
    const QStringList right = f.Session->RightLines();
    f.Grid.Row = row;

    try {
        Run(*f.Session, command);
        QVERIFY2(error.isEmpty(), "no error was raised");
    } catch (const TUserError &raised) {
        QCOMPARE(raised.Message(), error);
    }

    QCOMPARE(f.Prompts.Beeps, beeps);
    QCOMPARE(f.Session->LeftLines(), left);
    QCOMPARE(f.Session->RightLines(), right);
    QVERIFY(f.Session->UndoStack().isEmpty());
    QVERIFY(!f.Session->UnsavedChanges());
    QVERIFY(!f.Session->DiffRecomputeInProgress());
    QCOMPARE(f.Prompts.BusyCursorPushes, 0);
    QVERIFY(f.Prompts.Log.isEmpty());
}

void TestMerging::copyAll_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("status");

    QTest::newRow("identical sides: a box, no change and no snapshot")
        << u"a b"_s << u"a b"_s << int(cmdAllToRight) << u"a b"_s
        << u"information: Files are already identical."_s << QString();
    QTest::newRow("sides equal but for letter case are made identical to the left")
        << u"A b"_s << u"a b"_s << int(cmdAllToRight) << u"A b"_s << QString()
        << u"Right side replaced with LEFT (files made identical)."_s;
    QTest::newRow("sides equal but for letter case are made identical to the right")
        << u"A b"_s << u"a b"_s << int(cmdAllToLeft) << u"a b"_s << QString()
        << u"Left side replaced with RIGHT (files made identical)."_s;
    QTest::newRow("an empty left side empties the right side")
        << QString() << u"a b"_s << int(cmdAllToRight) << QString() << QString()
        << u"Right side replaced with LEFT (files made identical)."_s;
}

void TestMerging::copyAll()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(int, command);
    QFETCH(QString, expected);
    QFETCH(QString, box);
    QFETCH(QString, status);
    TSessionFixture f;
    // The options would call these sides equal; Copy All compares exactly.
    f.Session->SetOptions({true, true, true, true, true, true});
    f.Load(Split(left), Split(right));
    QSignalSpy statusSpy(f.Session.get(), &TComparisonSession::StatusChanged);

    Run(*f.Session, command);

    QCOMPARE(f.Session->LeftLines(), Split(expected));
    QCOMPARE(f.Session->RightLines(), Split(expected));
    QCOMPARE(f.Prompts.Log, box.isEmpty() ? QStringList() : QStringList{box});
    const bool changed = box.isEmpty();
    QCOMPARE(f.Session->UndoStack().size(), changed ? 1 : 0);
    QCOMPARE(f.Session->UnsavedChanges(), changed);
    QCOMPARE(statusSpy.count(), changed ? 1 : 0);
    if (changed)
        QCOMPARE(statusSpy.first().first().toString(), status);
    f.Session->ApplyPendingRecompute();
    QVERIFY(f.Prompts.CursorsBalanced());
}

void TestMerging::undoRestoresTheLastThreeStates()
{
    TSessionFixture f;
    f.Load(Split(u"a X1 b X2 c X3 d X4 e"_s), Split(u"a Y1 b Y2 c Y3 d Y4 e"_s));
    QList<QStringList> rightStates = {f.Session->RightLines()};
    for (int row : {2, 4, 6, 8}) {
        f.Grid.Row = row;
        f.Session->btnLeftToRightClick();
        rightStates.append(f.Session->RightLines());
        f.Session->ApplyPendingRecompute();
    }
    QCOMPARE(f.Session->UndoStack().size(), 3);
    f.Session->SetUnsavedChanges(false);

    for (int state = 3; state >= 1; --state) {
        f.Session->ActionUndoExecute();
        QCOMPARE(f.Session->RightLines(), rightStates[state]);
        QCOMPARE(f.Session->LeftLines(), Split(u"a X1 b X2 c X3 d X4 e"_s));
        QCOMPARE(f.Prompts.Beeps, 0);
    }
    QVERIFY(f.Session->UnsavedChanges());
    f.Session->ActionUndoExecute();
    QCOMPARE(f.Prompts.Beeps, 1);
    QCOMPARE(f.Session->RightLines(), rightStates[1]);

    f.Session->ApplyPendingRecompute();
    QCOMPARE(f.Session->DiffItems(), f.FreshItems());
    QVERIFY(f.Prompts.CursorsBalanced());
}

void TestMerging::undoRestoresTheGridPosition_data()
{
    QTest::addColumn<QList<int>>("snapshot"); // row, column, top row
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("a position inside the present grid comes back whole")
        << QList<int>{5, 2, 3} << 13 << 3 << QList<int>{5, 2, 3};
    QTest::newRow("a row and top row beyond the present rows give row 1 and keep the top row")
        << QList<int>{12, 2, 9} << 6 << 3 << QList<int>{1, 2, 1};
    QTest::newRow("a column beyond the present columns gives column 1")
        << QList<int>{5, 2, 3} << 13 << 2 << QList<int>{5, 1, 3};
    QTest::newRow("a grid of the header row alone keeps its selection")
        << QList<int>{5, 2, 3} << 1 << 3 << QList<int>{0, 2, 1};
}

void TestMerging::undoRestoresTheGridPosition()
{
    QFETCH(QList<int>, snapshot);
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(QList<int>, expected);
    TSessionFixture f;
    f.Load(Split(u"0 1 2 3 4 5 6 7 8 9 10 11"_s), Split(u"0 1 2 3 4 5 6 7 8 9 10 x"_s));
    f.Grid.Row = snapshot[0];
    f.Grid.Col = snapshot[1];
    f.Grid.Top = snapshot[2];
    f.Session->btnAllLeftDiffsToRightClick();
    // The grid as it stands when Undo runs, before any recomputed rows.
    f.Grid.Rows = rows;
    f.Grid.Cols = cols;
    f.Grid.Row = rows > 1 ? 2 : 0;
    f.Grid.Col = 0;
    f.Grid.Top = 1;

    f.Session->ActionUndoExecute();

    QCOMPARE((QList<int>{f.Grid.Row, f.Grid.Col, f.Grid.Top}), expected);
    f.Session->ApplyPendingRecompute();
    QVERIFY(f.Prompts.CursorsBalanced());
}

QTEST_GUILESS_MAIN(TestMerging)
#include "tst_merging.moc"
