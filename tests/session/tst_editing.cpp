// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComparisonSession.h"

#include "SessionFixture.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cellLineIndex_data();
    void cellLineIndex();
    void commitStoresOneLine_data();
    void commitStoresOneLine();
    void commitDropsTheText_data();
    void commitDropsTheText();
};

void TestEditing::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestEditing::cellLineIndex_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("line");

    // Rows: (0, 0, equal), (1, -1, left only), (2, 1, equal), (3, -1, left only).
    QTest::newRow("the left cell of an equal row names its left line") << u"text"_s << 1 << 3 << 2;
    QTest::newRow("the right cell of an equal row names its right line") << u"text"_s << 2 << 3 << 1;
    QTest::newRow("the left cell of a left-only row names its line") << u"text"_s << 1 << 4 << 3;
    QTest::newRow("the empty right cell of a left-only row is not editable") << u"text"_s << 2 << 2 << -1;
    QTest::newRow("the row-number column is not editable") << u"text"_s << 0 << 1 << -1;
    QTest::newRow("a column beyond the text columns is not editable") << u"text"_s << 3 << 1 << -1;
    QTest::newRow("the header row is not editable") << u"text"_s << 1 << 0 << -1;
    QTest::newRow("a row below the items is not editable") << u"text"_s << 1 << 5 << -1;
    QTest::newRow("a folder row is not editable") << u"folder"_s << 1 << 1 << -1;
    // Copy All to Left leaves two left lines while the old rows still name four.
    QTest::newRow("a line the list lost while new rows are pending is not editable")
        << u"pending"_s << 1 << 3 << -1;
    QTest::newRow("a line the list still holds while new rows are pending is editable")
        << u"pending"_s << 1 << 1 << 0;
}

void TestEditing::cellLineIndex()
{
    QFETCH(QString, state);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(int, line);
    TSessionFixture f;
    f.Load({u"a"_s, u"X"_s, u"b"_s, u"Y"_s}, {u"a"_s, u"b"_s});
    QCOMPARE(f.Session->DiffItems().size(), 4);
    if (state == u"folder"_s)
        f.Session->ShowFolderRows({{0, 0, dkDifferent}}, {u"f"_s}, {u"f"_s});
    if (state == u"pending"_s)
        f.Session->btnAllRightDiffsToLeftClick();

    QCOMPARE(f.Session->CellLineIndex(col, row), line);
    f.Session->ApplyPendingRecompute();
}

void TestEditing::commitStoresOneLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");

    QTest::newRow("a new text replaces the line") << u"new"_s << u"new"_s;
    QTest::newRow("the line's own text still counts as a change") << u"b"_s << u"b"_s;
    QTest::newRow("pasted words on two lines are joined without a separator") << u"one\r\ntwo"_s
                                                                              << u"onetwo"_s;
    QTest::newRow("lone CR and LF are removed as well") << u"a\rb\nc\r\n"_s << u"abc"_s;
}

void TestEditing::commitStoresOneLine()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    TSessionFixture f;
    f.Load({u"a"_s, u"b"_s, u"c"_s}, {u"a"_s, u"b"_s, u"c"_s});
    QSignalSpy undoSpy(f.Session.get(), &TComparisonSession::UndoBecameAvailable);
    QSignalSpy statusSpy(f.Session.get(), &TComparisonSession::StatusChanged);

    f.Session->CommitLineEdit(1, 1, text);

    QCOMPARE(f.Session->LeftLines(), (QStringList{u"a"_s, stored, u"c"_s}));
    QCOMPARE(f.Session->RightLines(), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QVERIFY(f.Session->UnsavedChanges());
    QCOMPARE(f.Session->UndoStack().size(), 1);
    QCOMPARE(f.Session->UndoStack().last().LeftLines, (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(undoSpy.count(), 1);
    // Until the new rows arrive the statistics describe the rows shown.
    QCOMPARE(statusSpy.count(), 1);
    QCOMPARE(statusSpy.first().first().toString(),
             u"3 lines (left file) vs 3 lines (right file). Equal lines: 3 of 3 (100.0%). Different lines: 0."_s);

    f.Session->ApplyPendingRecompute();
    QCOMPARE(f.Session->DiffItems(), f.FreshItems());
    QVERIFY(f.Prompts.CursorsBalanced());
    QCOMPARE(f.Prompts.BusyCursorPushes, 1);
}

void TestEditing::commitDropsTheText_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("line");

    QTest::newRow("a line index beyond the list") << false << 2 << 3;
    QTest::newRow("a negative line index") << false << 1 << -1;
    QTest::newRow("the row-number column") << false << 0 << 0;
    QTest::newRow("a folder comparison that replaced the text one") << true << 1 << 0;
}

void TestEditing::commitDropsTheText()
{
    QFETCH(bool, folder);
    QFETCH(int, col);
    QFETCH(int, line);
    TSessionFixture f;
    f.Load({u"a"_s, u"b"_s, u"c"_s}, {u"a"_s, u"b"_s, u"c"_s});
    if (folder)
        f.Session->ShowFolderRows({}, {}, {});
    QSignalSpy statusSpy(f.Session.get(), &TComparisonSession::StatusChanged);

    f.Session->CommitLineEdit(col, line, u"new"_s);

    QCOMPARE(f.Session->LeftLines(), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(f.Session->RightLines(), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QVERIFY(!f.Session->UnsavedChanges());
    QVERIFY(f.Session->UndoStack().isEmpty());
    QCOMPARE(statusSpy.count(), 0);
    QVERIFY(!f.Session->DiffRecomputeInProgress());
    QVERIFY(f.Prompts.CursorsBalanced());
}

QTEST_GUILESS_MAIN(TestEditing)
#include "tst_editing.moc"
