// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComparisonSession.h"

#include "ScriptedPrompts.h"
#include "TextEncoding.h"
#include "UserError.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString IllFormedUtf8Message =
    u"No mapping for the Unicode character exists in the target multi-byte code page"_s;

// One LF-terminated line per entry.
QByteArray Lines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + '\n';
    return bytes;
}

QStringList Numbered(const QString &stem, int from, int to)
{
    QStringList lines;
    for (int i = from; i < to; ++i)
        lines.append(stem + QString::number(i));
    return lines;
}

// 120 left and 118 right lines that align into 125 rows, 100 of them equal:
// 13 changed lines, 7 left-only and 5 right-only lines in separate gaps.
QByteArray ExampleLeft()
{
    return Lines(Numbered(u"e"_s, 0, 30) + Numbered(u"L"_s, 0, 13) + Numbered(u"e"_s, 30, 60)
                 + Numbered(u"K"_s, 0, 7) + Numbered(u"e"_s, 60, 100));
}
QByteArray ExampleRight()
{
    return Lines(Numbered(u"e"_s, 0, 30) + Numbered(u"R"_s, 0, 13) + Numbered(u"e"_s, 30, 90)
                 + Numbered(u"S"_s, 0, 5) + Numbered(u"e"_s, 90, 100));
}

} // namespace

class TestComparisonSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void initialState();
    void compareReportsStatistics_data();
    void compareReportsStatistics();
    void gridRowsFollowTheItems();
    void laterComparisonReplacesEarlierOne();
    void sideFactsAreStored();
    void commandRejectsPaths_data();
    void commandRejectsPaths();
    void commandTrimsPaths();
    void compareTextFilesChecksFiles_data();
    void compareTextFilesChecksFiles();
    void cancelKeepsTheSession();
    void failedLoadLeavesNoStaleRows_data();
    void failedLoadLeavesNoStaleRows();

private:
    QString Write(const QString &name, const QByteArray &bytes);
    // Connects the session's signals to a log of "name" entries.
    void Watch(TComparisonSession &session);

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_signals;
};

void TestComparisonSession::initTestCase()
{
    // Row names and expected texts use the English decimal point.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestComparisonSession::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_signals.clear();
}

void TestComparisonSession::cleanup()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_dir.reset();
}

QString TestComparisonSession::Write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the fixture %s", qPrintable(path));
    return path;
}

void TestComparisonSession::Watch(TComparisonSession &session)
{
    connect(&session, &TComparisonSession::ComparisonStarted, this,
            [this] { m_signals.append(u"started"_s); });
    connect(&session, &TComparisonSession::CommandModeChanged, this,
            [this](TCommandMode mode) { m_signals.append(u"mode %1"_s.arg(int(mode))); });
    connect(&session, &TComparisonSession::GridRowsChanged, this,
            [this, &session] { m_signals.append(u"rows %1"_s.arg(session.GridRows().Items.size())); });
    connect(&session, &TComparisonSession::StatusChanged, this,
            [this](const QString &text) { m_signals.append(u"status: "_s + text); });
}

void TestComparisonSession::initialState()
{
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);

    QCOMPARE(&session.LeftEncoding(), &TEncoding::Ansi());
    QCOMPARE(&session.RightEncoding(), &TEncoding::Ansi());
    QCOMPARE(session.LeftEncName(), u"ANSI/ASCII"_s);
    QCOMPARE(session.RightEncName(), u"ANSI/ASCII"_s);
    QVERIFY(!session.LeftHasBOM() && !session.RightHasBOM());
    QVERIFY(session.Utf8NoBOM().GetPreamble().isEmpty());
    QCOMPARE(session.Options(), TDiffOptions());
    QCOMPARE(session.fColorAddedLines, 0x00FFF0E0u);
    QCOMPARE(session.fColorRemovedLines, 0x00E0F0FFu);
    QCOMPARE(session.fColorChangedLines, 0x00E0E0FFu);
    QCOMPARE(session.fColorDifferentTextInLine, 0x0000FFFFu);
    QCOMPARE(session.CommandMode(), cmNone);
    QVERIFY(!session.FolderMode());
    QVERIFY(!session.UnsavedChanges());
    QVERIFY(session.DiffItems().isEmpty());
    QVERIFY(session.UndoStack().isEmpty());
    QVERIFY(!session.HasDifferences());

    // Nothing has been read yet, so merging or saving must be refused.
    try {
        session.RequireLoadedFiles();
        QFAIL("RequireLoadedFiles passed before any comparison");
    } catch (const TUserError &error) {
        QCOMPARE(error.Message(), u"No files are loaded."_s);
    }
}

void TestComparisonSession::compareReportsStatistics_data()
{
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<QByteArray>("right");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("differences");

    const QByteArray abc = Lines({u"a"_s, u"b"_s, u"c"_s});
    QTest::newRow("identical files say so first, then show the statistics")
        << abc << abc << u"en_US"_s
        << u"3 lines (left file) vs 3 lines (right file). Equal lines: 3 of 3 (100.0%). Different lines: 0."_s
        << QStringList{u"information: The files are identical."_s,
                       u"information: Compared:\r\n3 lines (left file) vs 3 lines (right file).\r\n"
                       u"Equal lines: 3 of 3 (100.0%).\r\nDifferent lines: 0."_s}
        << false;
    QTest::newRow("two empty files have no comparable lines and show only the identical box")
        << QByteArray() << QByteArray() << u"en_US"_s
        << u"0 lines (left file) vs 0 lines (right file). No comparable lines."_s
        << QStringList{u"information: The files are identical."_s} << false;
    QTest::newRow("an empty left file against three lines gives three right-only rows")
        << QByteArray() << abc << u"en_US"_s
        << u"0 lines (left file) vs 3 lines (right file). Equal lines: 0 of 3 (0.0%). Different lines: 3."_s
        << QStringList{u"information: Compared:\r\n0 lines (left file) vs 3 lines (right file).\r\n"
                       u"Equal lines: 0 of 3 (0.0%).\r\nDifferent lines: 3."_s}
        << true;
    QTest::newRow("120 against 118 lines in 125 rows, 100 equal, give 80.0 percent")
        << ExampleLeft() << ExampleRight() << u"en_US"_s
        << u"120 lines (left file) vs 118 lines (right file). Equal lines: 100 of 125 (80.0%). "
           u"Different lines: 25."_s
        << QStringList{u"information: Compared:\r\n120 lines (left file) vs 118 lines (right file).\r\n"
                       u"Equal lines: 100 of 125 (80.0%).\r\nDifferent lines: 25."_s}
        << true;
    QTest::newRow("the percentage is rounded to one digit")
        << Lines({u"a"_s, u"b"_s, u"c"_s}) << Lines({u"a"_s, u"x"_s, u"y"_s}) << u"en_US"_s
        << u"3 lines (left file) vs 3 lines (right file). Equal lines: 1 of 3 (33.3%). Different lines: 2."_s
        << QStringList{u"information: Compared:\r\n3 lines (left file) vs 3 lines (right file).\r\n"
                       u"Equal lines: 1 of 3 (33.3%).\r\nDifferent lines: 2."_s}
        << true;
    QTest::newRow("the percentage uses the user's decimal separator")
        << Lines({u"a"_s, u"b"_s, u"c"_s}) << Lines({u"a"_s, u"x"_s, u"y"_s}) << u"de_DE"_s
        << u"3 lines (left file) vs 3 lines (right file). Equal lines: 1 of 3 (33,3%). Different lines: 2."_s
        << QStringList{u"information: Compared:\r\n3 lines (left file) vs 3 lines (right file).\r\n"
                       u"Equal lines: 1 of 3 (33,3%).\r\nDifferent lines: 2."_s}
        << true;
}

void TestComparisonSession::compareReportsStatistics()
{
    QFETCH(QByteArray, left);
    QFETCH(QByteArray, right);
    QFETCH(QString, locale);
    QFETCH(QString, status);
    QFETCH(QStringList, boxes);
    QFETCH(bool, differences);

    QLocale::setDefault(QLocale(locale));
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);
    QSignalSpy statusSpy(&session, &TComparisonSession::StatusChanged);

    session.CompareTextFiles(Write(u"left.txt"_s, left), Write(u"right.txt"_s, right));

    QCOMPARE(prompts.Log, boxes);
    QCOMPARE(statusSpy.count(), 1);
    QCOMPARE(statusSpy.at(0).at(0).toString(), status);
    QCOMPARE(session.HasDifferences(), differences);
    QVERIFY(prompts.CursorsBalanced());
    QVERIFY(prompts.WaitCursorPushes > 0);
    QVERIFY(prompts.Unscripted.isEmpty());
}

void TestComparisonSession::gridRowsFollowTheItems()
{
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);
    Watch(session);
    TGridRows shown;
    connect(&session, &TComparisonSession::GridRowsChanged, this,
            [&shown, &session] { shown = session.GridRows(); });

    session.CompareTextFiles(Write(u"left.txt"_s, Lines({u"a"_s, u"b"_s, u"c"_s})),
                             Write(u"right.txt"_s, Lines({u"a"_s, u"x"_s, u"c"_s, u"d"_s})));

    QCOMPARE(m_signals,
             (QStringList{u"started"_s, u"mode %1"_s.arg(int(cmText)), u"rows 4"_s,
                          u"status: 3 lines (left file) vs 4 lines (right file). "
                          u"Equal lines: 2 of 4 (50.0%). Different lines: 2."_s}));
    QCOMPARE(session.CommandMode(), cmText);
    QCOMPARE(shown.Items, session.DiffItems());
    QCOMPARE(shown.Items.size(), 4);
    QVERIFY(!shown.FolderMode);
    const QStringList leftCells = {shown.CellText(0, 1), shown.CellText(1, 1), shown.CellText(2, 1),
                                   shown.CellText(3, 1)};
    const QStringList rightCells = {shown.CellText(0, 2), shown.CellText(1, 2), shown.CellText(2, 2),
                                    shown.CellText(3, 2)};
    QCOMPARE(leftCells, (QStringList{u"a"_s, u"b"_s, u"c"_s, QString()}));
    QCOMPARE(rightCells, (QStringList{u"a"_s, u"x"_s, u"c"_s, u"d"_s}));
    QCOMPARE(shown.Items[1].Kind, dkDifferent);
    QCOMPARE(shown.Items[3].Kind, dkRightOnly);
}

void TestComparisonSession::laterComparisonReplacesEarlierOne()
{
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);
    const QString left = Write(u"left.txt"_s, Lines({u"a"_s, u"b"_s}));
    const QString right = Write(u"right.txt"_s, Lines({u"a"_s, u"c"_s, u"d"_s}));
    const QString empty1 = Write(u"empty1.txt"_s, QByteArray());
    const QString empty2 = Write(u"empty2.txt"_s, QByteArray());
    QString leftPath, rightPath;
    QVERIFY(session.miAsTextFiles1Click(left, right, leftPath, rightPath));
    QCOMPARE(session.DiffItems().size(), 3);
    session.SetUnsavedChanges(true);
    prompts.Log.clear();
    prompts.ConfirmAnswers = {true};
    Watch(session);

    QVERIFY(session.miAsTextFiles1Click(empty1, empty2, leftPath, rightPath));

    QCOMPARE(prompts.Log,
             (QStringList{u"confirm: Load and compare the specified files?\r\nCurrent changes will be lost."_s,
                          u"information: The files are identical."_s}));
    QVERIFY(!session.UnsavedChanges());
    QVERIFY(session.DiffItems().isEmpty());
    QVERIFY(session.LeftLines().isEmpty() && session.RightLines().isEmpty());
    QVERIFY(session.GridRows().Items.isEmpty());
    QVERIFY(session.GridRows().LeftLines.isEmpty() && session.GridRows().RightLines.isEmpty());
    QVERIFY(m_signals.contains(u"rows 0"_s));
    QCOMPARE(m_signals.last(), u"status: 0 lines (left file) vs 0 lines (right file). No comparable lines."_s);
    QCOMPARE(session.LeftEncName(), u"ANSI"_s); // what an empty file reads as
}

void TestComparisonSession::sideFactsAreStored()
{
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);
    const QByteArray utf16("\xFF\xFE" "a\0\r\0\n\0b\0", 10);
    const QByteArray utf8 = QByteArrayLiteral("\xEF\xBB\xBF" "a\nb");

    session.CompareTextFiles(Write(u"left.txt"_s, utf16), Write(u"right.txt"_s, utf8));

    QCOMPARE(&session.LeftEncoding(), &TEncoding::Utf16LE());
    QCOMPARE(&session.RightEncoding(), &TEncoding::Utf8());
    QVERIFY(session.LeftHasBOM() && session.RightHasBOM());
    QCOMPARE(session.LeftEncName(), u"UTF-16 LE with BOM"_s);
    QCOMPARE(session.RightEncName(), u"UTF-8 with BOM"_s);
    QCOMPARE(session.LeftLineBreaks(), (TLineBreakStyle{lbCrLf, false}));
    QCOMPARE(session.RightLineBreaks(), (TLineBreakStyle{lbLf, false}));
    QCOMPARE(session.LeftLines(), (QStringList{u"a"_s, u"b"_s}));
    QCOMPARE(prompts.Log.first(), u"information: The files are identical."_s);
    session.RequireLoadedFiles(); // must not throw now
}

void TestComparisonSession::commandRejectsPaths_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("box");

    // "<file>", "<dir>" and "<missing>" stand for paths inside the test folder.
    const QString both = u"warning: Please select both left and right files."_s;
    const QString files = u"error: Both paths must be existing files for files comparison."_s;
    QTest::newRow("an empty left path asks for both files") << QString() << u"<file>"_s << both;
    QTest::newRow("a right path of blanks and control characters counts as empty")
        << u"<file>"_s << u" \t\x01\r\n"_s << both;
    QTest::newRow("a folder on the left is not a file") << u"<dir>"_s << u"<file>"_s << files;
    QTest::newRow("a folder on the right is not a file") << u"<file>"_s << u"<dir>"_s << files;
    QTest::newRow("a missing right file is rejected") << u"<file>"_s << u"<missing>"_s << files;
}

void TestComparisonSession::commandRejectsPaths()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, box);
    const QString file = Write(u"file.txt"_s, Lines({u"a"_s}));
    QVERIFY(QDir(m_dir->path()).mkdir(u"dir"_s));
    const auto resolve = [&](QString text) {
        return text.replace(u"<file>"_s, file)
            .replace(u"<dir>"_s, m_dir->filePath(u"dir"_s))
            .replace(u"<missing>"_s, m_dir->filePath(u"missing.txt"_s));
    };
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);
    Watch(session);
    QString leftPath = u"unchanged"_s, rightPath = u"unchanged"_s;

    QVERIFY(!session.miAsTextFiles1Click(resolve(left), resolve(right), leftPath, rightPath));

    QCOMPARE(prompts.Log, QStringList{box});
    QVERIFY(m_signals.isEmpty());
    QCOMPARE(session.CommandMode(), cmNone);
    QCOMPARE(leftPath, u"unchanged"_s);
    QCOMPARE(rightPath, u"unchanged"_s);
    QCOMPARE(prompts.WaitCursorPushes, 0);
}

void TestComparisonSession::commandTrimsPaths()
{
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);
    const QString left = Write(u"left.txt"_s, Lines({u"a"_s}));
    const QString right = Write(u"right.txt"_s, Lines({u"b"_s}));
    QString leftPath, rightPath;

    QVERIFY(session.miAsTextFiles1Click(u"  \t"_s + left + u"\r\n"_s, u"\x01"_s + right + u"  "_s,
                                        leftPath, rightPath));

    QCOMPARE(leftPath, left);
    QCOMPARE(rightPath, right);
    QCOMPARE(session.LeftLines(), QStringList{u"a"_s});
    QCOMPARE(session.RightLines(), QStringList{u"b"_s});
}

void TestComparisonSession::compareTextFilesChecksFiles_data()
{
    QTest::addColumn<bool>("leftExists");
    QTest::addColumn<bool>("rightExists");
    QTest::addColumn<bool>("emptyRight");
    QTest::addColumn<QString>("box");

    QTest::newRow("an empty path asks for both files")
        << true << true << true << u"warning: Please select both left and right files."_s;
    QTest::newRow("a missing left file is named")
        << false << true << false << u"error: Left file does not exist."_s;
    QTest::newRow("a missing right file is named")
        << true << false << false << u"error: Right file does not exist."_s;
    QTest::newRow("with both missing, the left one is named")
        << false << false << false << u"error: Left file does not exist."_s;
}

void TestComparisonSession::compareTextFilesChecksFiles()
{
    QFETCH(bool, leftExists);
    QFETCH(bool, rightExists);
    QFETCH(bool, emptyRight);
    QFETCH(QString, box);
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);
    const QString left = leftExists ? Write(u"left.txt"_s, Lines({u"a"_s})) : m_dir->filePath(u"nl.txt"_s);
    const QString right = emptyRight    ? QString()
                          : rightExists ? Write(u"right.txt"_s, Lines({u"a"_s}))
                                        : m_dir->filePath(u"nr.txt"_s);
    session.SetUnsavedChanges(true);
    Watch(session);

    session.CompareTextFiles(left, right);

    QCOMPARE(prompts.Log, QStringList{box});
    QVERIFY(m_signals.isEmpty());
    QVERIFY(session.UnsavedChanges());
}

void TestComparisonSession::cancelKeepsTheSession()
{
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);
    const QString left = Write(u"left.txt"_s, Lines({u"a"_s, u"b"_s}));
    const QString right = Write(u"right.txt"_s, Lines({u"a"_s, u"c"_s}));
    const QString other = Write(u"other.txt"_s, Lines({u"z"_s}));
    QString leftPath, rightPath;
    QVERIFY(session.miAsTextFiles1Click(left, right, leftPath, rightPath));
    const TDiffItems items = session.DiffItems();
    session.SetUnsavedChanges(true);
    prompts.Log.clear();
    prompts.ConfirmAnswers = {false};
    Watch(session);
    leftPath = rightPath = u"unchanged"_s;

    QVERIFY(!session.miAsTextFiles1Click(other, other, leftPath, rightPath));

    QCOMPARE(prompts.Log,
             QStringList{u"confirm: Load and compare the specified files?\r\nCurrent changes will be lost."_s});
    QVERIFY(m_signals.isEmpty());
    QVERIFY(session.UnsavedChanges());
    QCOMPARE(session.DiffItems(), items);
    QCOMPARE(session.LeftLines(), (QStringList{u"a"_s, u"b"_s}));
    QCOMPARE(leftPath, u"unchanged"_s);
    QCOMPARE(rightPath, u"unchanged"_s);
}

void TestComparisonSession::failedLoadLeavesNoStaleRows_data()
{
    QTest::addColumn<bool>("leftFails");
    QTest::newRow("the right file is ill-formed after the left one loaded") << false;
    QTest::newRow("the left file is ill-formed") << true;
}

void TestComparisonSession::failedLoadLeavesNoStaleRows()
{
    QFETCH(bool, leftFails);
    TScriptedPrompts prompts;
    TComparisonSession session(prompts);
    const QString good = Write(u"good.txt"_s, Lines(Numbered(u"line"_s, 0, 5)));
    const QString other = Write(u"other.txt"_s, Lines(Numbered(u"row"_s, 0, 4)));
    const QString bad = Write(u"bad.txt"_s, QByteArrayLiteral("\xEF\xBB\xBF\xC0\xAF"));
    session.CompareTextFiles(good, other);
    QCOMPARE(session.DiffItems().size(), 5);
    prompts.Log.clear();
    Watch(session);

    try {
        session.CompareTextFiles(leftFails ? bad : good, leftFails ? good : bad);
        QFAIL("an ill-formed file was loaded");
    } catch (const TUserError &error) {
        QCOMPARE(error.Message(), IllFormedUtf8Message);
    }

    QVERIFY(prompts.Log.isEmpty());
    QVERIFY(prompts.CursorsBalanced());
    QVERIFY(session.DiffItems().isEmpty());
    QVERIFY(session.LeftLines().isEmpty() && session.RightLines().isEmpty());
    QVERIFY(session.GridRows().Items.isEmpty());
    QCOMPARE(m_signals.last(), u"rows 0"_s);
    QCOMPARE(session.RightEncName(), u"ANSI/ASCII"_s);
    try {
        session.RequireLoadedFiles();
        QFAIL("RequireLoadedFiles passed after a failed load");
    } catch (const TUserError &error) {
        QCOMPARE(error.Message(), u"No files are loaded."_s);
    }
}

QTEST_GUILESS_MAIN(TestComparisonSession)
#include "tst_comparisonsession.moc"
