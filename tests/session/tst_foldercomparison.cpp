// SPDX-License-Identifier: GPL-3.0-or-later
#include "FolderListing.h"

#include "SessionFixture.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct TRow {
    QString Left;
    QString Right;
    TDiffKind Kind;
};

QString KindName(TDiffKind kind)
{
    switch (kind) {
    case dkEqual:
        return u"="_s;
    case dkLeftOnly:
        return u"L"_s;
    case dkRightOnly:
        return u"R"_s;
    default:
        return u"D"_s;
    }
}

// One readable line per row, so a failing comparison shows the whole grid.
QStringList Describe(const QList<TRow> &rows)
{
    QStringList lines;
    for (const TRow &row : rows)
        lines.append(KindName(row.Kind) + u" ["_s + row.Left + u"] ["_s + row.Right + u']');
    return lines;
}

QStringList Describe(const TGridRows &grid)
{
    QList<TRow> rows;
    for (qsizetype i = 0; i < grid.Items.size(); ++i)
        rows.append({grid.CellText(i, 1), grid.CellText(i, 2), grid.Items[i].Kind});
    return Describe(rows);
}

} // namespace

class TestFolderComparison : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void sortedPathsFollowTheCaseInsensitiveOrder_data();
    void sortedPathsFollowTheCaseInsensitiveOrder();
    void sortedPathsMatchAPlainSort();
    void fileSizeOf();
    void comparesTwoTreesFileByFile();
    void twoEmptyFoldersAreIdentical();
    void aDanglingLinkOnTheLeftCountsAsDifferent();
    void anUnreadableFolderAddsNothing();
    void navigationStopsAtEveryDifferingFile();
    void mergesEditsAndUndoBeep();
    void theFoldersCommandChecksItsPaths();

private:
    QString MakeFile(const QString &relative, const QByteArray &bytes, const QDateTime &time = {});
    QString MakeFolder(const QString &relative);

    std::unique_ptr<TSessionFixture> F;
};

void TestFolderComparison::init()
{
    F = std::make_unique<TSessionFixture>();
}

void TestFolderComparison::cleanup()
{
    QVERIFY(F->Prompts.Unscripted.isEmpty());
    QVERIFY(F->Prompts.CursorsBalanced());
    F.reset();
}

QString TestFolderComparison::MakeFile(const QString &relative, const QByteArray &bytes, const QDateTime &time)
{
    const QString path = F->Dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    // Flushed first: a later write would set the time to now.
    if (time.isValid() && (!file.flush() || !file.setFileTime(time, QFileDevice::FileModificationTime)))
        qFatal("cannot set the time of %s", qPrintable(path));
    return path;
}

QString TestFolderComparison::MakeFolder(const QString &relative)
{
    const QString path = F->Dir.filePath(relative);
    QDir().mkpath(path);
    return path;
}

void TestFolderComparison::sortedPathsFollowTheCaseInsensitiveOrder_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("in the C locale") << QLocale::c();
    QTest::newRow("in an English locale") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("in a German locale") << QLocale(QLocale::German, QLocale::Germany);
}

void TestFolderComparison::sortedPathsFollowTheCaseInsensitiveOrder()
{
    QFETCH(QLocale, locale);
    const QLocale before;
    QLocale::setDefault(locale);
    TSortedPathList list;
    QLocale::setDefault(before);

    for (const QString &path : {u"b.txt"_s, u"C.txt"_s, u"a.txt"_s, u"A.txt"_s, u"sub/z.txt"_s, u"a.txt"_s})
        list.Add(path);
    QStringList order;
    for (qsizetype i = 0; i < list.size(); ++i)
        order.append(list.at(i));
    // Names differing only in case are two entries, the exact repeat is dropped.
    QCOMPARE(order, (QStringList{u"A.txt"_s, u"a.txt"_s, u"b.txt"_s, u"C.txt"_s, u"sub/z.txt"_s}));
    QCOMPARE(list.IndexOf(u"a.txt"_s), 1);
    QCOMPARE(list.IndexOf(u"c.txt"_s), -1);
    QCOMPARE(list.IndexOf(u"sub/z.txt"_s), 4);
}

void TestFolderComparison::sortedPathsMatchAPlainSort()
{
    // Thousands of names, with repeats and case variants, split the list
    // into many runs; order and positions must be those of a plain sort.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TSortedPathList list;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QLocale::setDefault(before);

    QRandomGenerator random(7);
    const QString letters = u"aAbBcC/._é"_s;
    QStringList added;
    for (int i = 0; i < 5000; ++i) {
        QString name;
        for (int n = 1 + int(random.bounded(6)); n > 0; --n)
            name += letters[qsizetype(random.bounded(letters.size()))];
        QCOMPARE(list.Add(name), !added.contains(name));
        if (!added.contains(name))
            added.append(name);
    }
    std::sort(added.begin(), added.end(), [&collator](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    QStringList listed;
    for (qsizetype i = 0; i < list.size(); ++i)
        listed.append(list.at(i));
    QCOMPARE(listed, added);
    for (qsizetype i = 0; i < added.size(); ++i)
        QCOMPARE(list.IndexOf(added[i]), i);
}

void TestFolderComparison::fileSizeOf()
{
    QCOMPARE(FileSizeOf(MakeFile(u"five"_s, "12345")), 5);
    QCOMPARE(FileSizeOf(MakeFile(u"empty"_s, {})), 0);
    QCOMPARE(FileSizeOf(MakeFolder(u"folder"_s)), -1);
    QCOMPARE(FileSizeOf(F->Dir.filePath(u"missing"_s)), -1);
}

void TestFolderComparison::comparesTwoTreesFileByFile()
{
    const QDateTime older = QDateTime::currentDateTime().addDays(-2);
    const QDateTime newer = older.addSecs(3600);
    MakeFile(u"L/nest/deep/c.txt"_s, "same");
    MakeFile(u"R/nest/deep/c.txt"_s, "same");
    MakeFolder(u"L/nest/empty"_s);
    MakeFolder(u"R/hollow"_s);
    MakeFile(u"L/Equal.txt"_s, "abc", older); // same size, other content and date
    MakeFile(u"R/Equal.txt"_s, "xyz", newer);
    MakeFile(u"L/grown.txt"_s, "longer text", newer);
    MakeFile(u"R/grown.txt"_s, "short", older);
    MakeFile(u"L/shrunk.txt"_s, "x", older);
    MakeFile(u"R/shrunk.txt"_s, "xyz", newer);
    MakeFile(u"L/tied.txt"_s, "aa", older);
    MakeFile(u"R/tied.txt"_s, "a", older);
    MakeFile(u"L/lonely.txt"_s, "left only");
    MakeFile(u"R/.hidden"_s, "right only");
    MakeFile(u"L/Readme.TXT"_s, "r");
    MakeFile(u"R/readme.txt"_s, "r");
    MakeFile(u"L/Memo.txt"_s, "m");
    MakeFile(u"L/memo.txt"_s, "m");
    MakeFile(u"R/memo.txt"_s, "m");
    // A link back to the top folder: listing must end and add nothing twice.
    QVERIFY(QFile::link(F->Dir.filePath(u"L"_s), F->Dir.filePath(u"L/nest/loop"_s)));

    QList<TCommandMode> modes;
    connect(F->Session.get(), &TComparisonSession::CommandModeChanged, this,
            [&modes](TCommandMode mode) { modes.append(mode); });
    QSignalSpy status(F->Session.get(), &TComparisonSession::StatusChanged);
    F->Session->CompareFolders(F->Dir.filePath(u"L"_s), F->Dir.filePath(u"R/"_s));

    const QList<TRow> expected{
        {{}, u".hidden"_s, dkRightOnly},
        {u"Equal.txt"_s, u"Equal.txt"_s, dkEqual},
        {u"grown.txt new"_s, u"grown.txt"_s, dkDifferent},
        {u"lonely.txt"_s, {}, dkLeftOnly},
        {u"Memo.txt"_s, {}, dkLeftOnly},
        {u"memo.txt"_s, u"memo.txt"_s, dkEqual},
        {u"nest/deep/c.txt"_s, u"nest/deep/c.txt"_s, dkEqual},
        {u"Readme.TXT"_s, {}, dkLeftOnly},
        {{}, u"readme.txt"_s, dkRightOnly},
        {u"shrunk.txt"_s, u"shrunk.txt new"_s, dkDifferent},
        {u"tied.txt"_s, u"tied.txt"_s, dkDifferent},
    };
    QCOMPARE(Describe(F->Session->GridRows()), Describe(expected));
    QVERIFY(F->Session->FolderMode());
    QVERIFY(F->Session->GridRows().FolderMode);
    for (const TDiffItem &item : F->Session->DiffItems()) {
        QCOMPARE(item.LeftChangeStart, -1);
        QCOMPARE(item.LeftChangeLen, 0);
        QCOMPARE(item.RightChangeStart, -1);
        QCOMPARE(item.RightChangeLen, 0);
    }
    // Indices point into the sorted side lists.
    QCOMPARE(F->Session->DiffItems()[5].LeftIndex, 4);  // after Equal, grown, lonely, Memo
    QCOMPARE(F->Session->DiffItems()[5].RightIndex, 3); // after .hidden, Equal, grown
    QCOMPARE(F->Session->DiffItems()[0].LeftIndex, -1);

    QCOMPARE(modes, QList<TCommandMode>{cmFolder});
    QCOMPARE(status.size(), 1);
    QCOMPARE(status[0][0].toString(), u"Compared 9 files (left folder, including subfolders) vs 8 files "
                                      "(right folder, including subfolders)."_s);
    QVERIFY(F->Prompts.Log.isEmpty());
    QVERIFY(F->Session->LeftLines().isEmpty());
}

void TestFolderComparison::twoEmptyFoldersAreIdentical()
{
    QSignalSpy status(F->Session.get(), &TComparisonSession::StatusChanged);
    F->Session->CompareFolders(MakeFolder(u"L/empty"_s), MakeFolder(u"R"_s));
    QVERIFY(F->Session->DiffItems().isEmpty());
    QCOMPARE(status.last()[0].toString(), u"Compared 0 files (left folder, including subfolders) vs 0 files "
                                          "(right folder, including subfolders)."_s);
    QCOMPARE(F->Prompts.Log, QStringList{u"information: The folders are identical (no different files)."_s});
}

void TestFolderComparison::aDanglingLinkOnTheLeftCountsAsDifferent()
{
    MakeFolder(u"L"_s);
    QVERIFY(QFile::link(F->Dir.filePath(u"gone"_s), F->Dir.filePath(u"L/a.txt"_s)));
    MakeFile(u"R/a.txt"_s, "a");
    F->Session->CompareFolders(F->Dir.filePath(u"L"_s), F->Dir.filePath(u"R"_s));
    // The left size cannot be read and its time is unknown: different, unmarked.
    QCOMPARE(Describe(F->Session->GridRows()), Describe({{u"a.txt"_s, u"a.txt"_s, dkDifferent}}));
}

void TestFolderComparison::anUnreadableFolderAddsNothing()
{
    if (::geteuid() == 0)
        QSKIP("the superuser reads every folder");
    MakeFile(u"L/locked/inside.txt"_s, "x");
    MakeFile(u"L/a.txt"_s, "a");
    MakeFile(u"R/a.txt"_s, "a");
    QFile::setPermissions(F->Dir.filePath(u"L/locked"_s), QFileDevice::Permissions());
    F->Session->CompareFolders(F->Dir.filePath(u"L"_s), F->Dir.filePath(u"R"_s));
    QFile::setPermissions(F->Dir.filePath(u"L/locked"_s),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(Describe(F->Session->GridRows()), Describe({{u"a.txt"_s, u"a.txt"_s, dkEqual}}));
    QCOMPARE(F->Prompts.Log, QStringList{u"information: The folders are identical (no different files)."_s});
}

void TestFolderComparison::navigationStopsAtEveryDifferingFile()
{
    // Rows: 1 a (equal), 2 b, 3 c, 4 d (different), 5 e (equal), 6 f (left only).
    for (const auto &name : {u"a"_s, u"e"_s}) {
        MakeFile(u"L/"_s + name, "1");
        MakeFile(u"R/"_s + name, "1");
    }
    for (const auto &name : {u"b"_s, u"c"_s, u"d"_s}) {
        MakeFile(u"L/"_s + name, "1");
        MakeFile(u"R/"_s + name, "22");
    }
    MakeFile(u"L/f"_s, "1");
    F->Session->CompareFolders(F->Dir.filePath(u"L"_s), F->Dir.filePath(u"R"_s));

    F->Session->btnFirstDiffClick();
    QList<int> stops{F->Grid.Row};
    for (int i = 0; i < 4; ++i) {
        F->Session->btnNextDiffClick();
        stops.append(F->Grid.Row);
    }
    QCOMPARE(stops, (QList<int>{2, 3, 4, 6, 6}));
    QCOMPARE(F->Prompts.Beeps, 1);
    F->Session->btnPrevDiffClick();
    QCOMPARE(F->Grid.Row, 4);
    F->Session->btnLastDiffClick();
    QCOMPARE(F->Grid.Row, 6);
}

void TestFolderComparison::mergesEditsAndUndoBeep()
{
    F->Load({u"x"_s}, {u"y"_s});
    F->Session->SetUnsavedChanges(true);
    MakeFile(u"L/a"_s, "1");
    MakeFile(u"R/a"_s, "22");
    F->Session->CompareFolders(F->Dir.filePath(u"L"_s), F->Dir.filePath(u"R"_s));
    QVERIFY(F->Session->UndoStack().isEmpty());
    // The caller clears the flag; the comparison leaves the lines alone.
    QCOMPARE(F->Session->LeftLines(), QStringList{u"x"_s});

    F->Grid.Row = 1;
    F->Session->btnLeftToRightClick();
    F->Session->btnRightToLeftClick();
    F->Session->btnAllLeftDiffsToRightClick();
    F->Session->btnAllRightDiffsToLeftClick();
    F->Session->ActionUndoExecute();
    QCOMPARE(F->Prompts.Beeps, 5);
    QCOMPARE(F->Session->CellLineIndex(1, 1), -1);
    F->Session->CommitLineEdit(1, 0, u"typed"_s);
    QCOMPARE(F->Session->LeftLines(), QStringList{u"x"_s});
    QVERIFY(F->Session->UndoStack().isEmpty());
}

void TestFolderComparison::theFoldersCommandChecksItsPaths()
{
    const QString left = MakeFolder(u"L"_s);
    const QString right = MakeFolder(u"R"_s);
    const QString file = MakeFile(u"file.txt"_s, "x");
    QString leftPath;
    QString rightPath;

    QVERIFY(!F->Session->miAsFolders1Click(u"  "_s, right, leftPath, rightPath));
    QVERIFY(!F->Session->miAsFolders1Click(left, file, leftPath, rightPath));
    QCOMPARE(F->Prompts.Log, (QStringList{u"warning: Please select both left and right folders."_s,
                                          u"error: Both paths must be existing folders for folder comparison."_s}));
    QVERIFY(!F->Session->FolderMode());

    // Unsaved changes are confirmed once; Cancel keeps everything.
    F->Prompts.Log.clear();
    F->Session->SetUnsavedChanges(true);
    F->Prompts.ConfirmAnswers = {false, true};
    QVERIFY(!F->Session->miAsFolders1Click(left, right, leftPath, rightPath));
    QVERIFY(F->Session->UnsavedChanges());
    QVERIFY(F->Session->miAsFolders1Click(u" "_s + left + u"\t"_s, right, leftPath, rightPath));
    QCOMPARE(leftPath, left);
    QCOMPARE(rightPath, right);
    QVERIFY(!F->Session->UnsavedChanges());
    QVERIFY(F->Session->FolderMode());
    const QString question = u"confirm: Compare the specified folders?\r\nCurrent changes will be lost."_s;
    QCOMPARE(F->Prompts.Log, (QStringList{question, question,
                                          u"information: The folders are identical (no different files)."_s}));
}

QTEST_MAIN(TestFolderComparison)
#include "tst_foldercomparison.moc"
