// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathHistory.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestPathHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trimPathText_data();
    void trimPathText();
    void insertPathIfAbsent_data();
    void insertPathIfAbsent();
    void movePathToTop_data();
    void movePathToTop();
};

void TestPathHistory::trimPathText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("spaces, tabs and line breaks go at both ends")
        << u" \t/data/a.txt\r\n "_s << u"/data/a.txt"_s;
    QTest::newRow("every control character up to U+0020 goes")
        << u"\x01\x1F/a\x00"_s << u"/a"_s;
    QTest::newRow("blanks inside the path stay") << u"  /my files/a b.txt "_s << u"/my files/a b.txt"_s;
    QTest::newRow("a no-break space is no blank and stays")
        << u"\u00A0/a.txt\u00A0"_s << u"\u00A0/a.txt\u00A0"_s;
    QTest::newRow("a text of blanks becomes empty") << u" \t\r\n"_s << QString();
}

void TestPathHistory::trimPathText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TrimPathText(text), expected);
}

namespace {

QStringList Numbered(int count)
{
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths.append(u"/p%1"_s.arg(i));
    return paths;
}

} // namespace

void TestPathHistory::insertPathIfAbsent_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("a new path goes to the top")
        << QStringList{u"/b"_s, u"/c"_s} << u"/a"_s << QStringList{u"/a"_s, u"/b"_s, u"/c"_s};
    QTest::newRow("an empty history takes the path") << QStringList{} << u"/a"_s << QStringList{u"/a"_s};
    QTest::newRow("a path already present keeps its place")
        << QStringList{u"/b"_s, u"/a"_s, u"/c"_s} << u"/a"_s << QStringList{u"/b"_s, u"/a"_s, u"/c"_s};
    QTest::newRow("presence ignores letter case, and the stored spelling stays")
        << QStringList{u"/b"_s, u"/Data/A.TXT"_s} << u"/data/a.txt"_s
        << QStringList{u"/b"_s, u"/Data/A.TXT"_s};
    QTest::newRow("a path that only starts like an entry is new")
        << QStringList{u"/a.txt"_s} << u"/a.txt.bak"_s << QStringList{u"/a.txt.bak"_s, u"/a.txt"_s};

    QStringList full = Numbered(50);
    QStringList fullAfter = full;
    fullAfter.prepend(u"/new"_s);
    fullAfter.removeLast();
    QTest::newRow("a full history of 50 drops its last entry for a new path") << full << u"/new"_s << fullAfter;
    QTest::newRow("a full history stays as it is for a present path") << full << u"/P49"_s << full;
    QStringList belowFull = Numbered(49);
    QStringList belowFullAfter = belowFull;
    belowFullAfter.prepend(u"/new"_s);
    QTest::newRow("a history of 49 grows to 50 and keeps every entry")
        << belowFull << u"/new"_s << belowFullAfter;
}

void TestPathHistory::insertPathIfAbsent()
{
    QFETCH(QStringList, history);
    QFETCH(QString, path);
    QFETCH(QStringList, expected);
    InsertPathIfAbsent(history, path);
    QCOMPARE(history, expected);
}

void TestPathHistory::movePathToTop_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expected");

    const QStringList six = Numbered(6);
    QStringList sixAfter = six;
    sixAfter.move(5, 0);
    QTest::newRow("a path at position 5 moves to position 0") << six << u"/p5"_s << sixAfter;
    QTest::newRow("a new path goes to the top")
        << QStringList{u"/b"_s} << u"/a"_s << QStringList{u"/a"_s, u"/b"_s};
    QTest::newRow("the entry is found without regard to case and takes the new spelling")
        << QStringList{u"/b"_s, u"/Data/A.TXT"_s, u"/c"_s} << u"/data/a.txt"_s
        << QStringList{u"/data/a.txt"_s, u"/b"_s, u"/c"_s};
    const QStringList full = Numbered(50);
    QStringList fullMoved = full;
    fullMoved.move(49, 0);
    QTest::newRow("a full history keeps all 50 when a present path moves") << full << u"/p49"_s << fullMoved;
    QStringList fullNew = full;
    fullNew.prepend(u"/new"_s);
    fullNew.removeLast();
    QTest::newRow("a full history drops its last entry for a new path") << full << u"/new"_s << fullNew;
}

void TestPathHistory::movePathToTop()
{
    QFETCH(QStringList, history);
    QFETCH(QString, path);
    QFETCH(QStringList, expected);
    MovePathToTop(history, path);
    QCOMPARE(history, expected);
}

QTEST_APPLESS_MAIN(TestPathHistory)
#include "tst_pathhistory.moc"
