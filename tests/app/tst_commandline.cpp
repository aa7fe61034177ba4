// SPDX-License-Identifier: GPL-3.0-or-later
// The program's arguments: how they are read, what the window does with two
// paths, and what the real program prints and returns.

#include "CommandLine.h"
#include "DiffGrid.h"
#include "MainForm.h"
#include "ScriptedPrompts.h"
#include "translation.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TStartAction)

namespace {

// What a comparison left behind in a window, to set a start from the
// command line beside a start by typing.
struct TOutcome {
    QStringList Log;
    QStringList Rows; // "left|right" per grid row
    QString LeftBox;
    QString RightBox;
    QString LeftHistoryTop;

    friend bool operator==(const TOutcome &, const TOutcome &) = default;
};

char *toString(const TOutcome &outcome)
{
    return QTest::toString(u"log %1; rows %2; boxes %3 | %4; history %5"_s.arg(
        outcome.Log.join(u" / "_s), outcome.Rows.join(u" / "_s), outcome.LeftBox, outcome.RightBox,
        outcome.LeftHistoryTop));
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readsTheArguments_data();
    void readsTheArguments();
    void theWindowComparesTwoPathsAsIfTyped_data();
    void theWindowComparesTwoPathsAsIfTyped();
    void theProgramPrintsAndExits_data();
    void theProgramPrintsAndExits();

private:
    QString WriteFile(const QString &name, const QByteArray &bytes);
    TOutcome Outcome(TfrmMain &window, const TScriptedPrompts &prompts);

    QTemporaryDir FDir;
};

void TestCommandLine::initTestCase()
{
    QVERIFY(FDir.isValid());
    // The automatic mode writes the settings file: keep it out of the user's.
    qputenv("APPDATA", FDir.filePath(u"appdata"_s).toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    SetCurrentLanguageIndex(0);
}

QString TestCommandLine::WriteFile(const QString &name, const QByteArray &bytes)
{
    QDir(FDir.path()).mkpath(QFileInfo(name).path());
    QFile file(FDir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a fixture");
    return file.fileName();
}

void TestCommandLine::readsTheArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<TStartAction>("action");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");

    const QString here = QDir::currentPath() + u'/';
    const auto open = TStartAction::saOpenWindow;
    const auto usage = TStartAction::saUsageError;
    QTest::newRow("no arguments open the window as before") << QStringList{} << open << QString() << QString();
    QTest::newRow("two paths are compared as given") << QStringList{u"/a/x.txt"_s, u"/b/y.txt"_s} << open
                                                      << u"/a/x.txt"_s << u"/b/y.txt"_s;
    QTest::newRow("relative paths are anchored to the working folder")
        << QStringList{u"x.txt"_s, u"sub/y.txt"_s} << open << here + u"x.txt"_s << here + u"sub/y.txt"_s;
    QTest::newRow("paths are trimmed as typed ones are") << QStringList{u" x.txt\t"_s, u"/b "_s} << open
                                                         << here + u"x.txt"_s << u"/b"_s;
    QTest::newRow("after -- a path may begin with a dash") << QStringList{u"--"_s, u"-x"_s, u"/b"_s} << open
                                                           << here + u"-x"_s << u"/b"_s;
    QTest::newRow("a blank path stays blank for the window to refuse") << QStringList{u" "_s, u"/b"_s} << open
                                                                       << u" "_s << u"/b"_s;
    QTest::newRow("one path is a usage error") << QStringList{u"/a"_s} << usage << QString() << QString();
    QTest::newRow("three paths are a usage error") << QStringList{u"/a"_s, u"/b"_s, u"/c"_s} << usage << QString()
                                                   << QString();
    QTest::newRow("an unknown option is a usage error") << QStringList{u"--colour"_s, u"/a"_s, u"/b"_s} << usage
                                                        << QString() << QString();
    QTest::newRow("--help asks for the help") << QStringList{u"--help"_s} << TStartAction::saShowHelp << QString()
                                              << QString();
    QTest::newRow("-h also, and wins over paths") << QStringList{u"/a"_s, u"-h"_s} << TStartAction::saShowHelp
                                                  << QString() << QString();
    QTest::newRow("--version asks for the version") << QStringList{u"--version"_s} << TStartAction::saShowVersion
                                                    << QString() << QString();
    QTest::newRow("-v also") << QStringList{u"-v"_s} << TStartAction::saShowVersion << QString() << QString();
}

void TestCommandLine::readsTheArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(TStartAction, action);
    QFETCH(QString, left);
    QFETCH(QString, right);

    const TStartArguments parsed = ParseStartArguments(QStringList{u"/usr/bin/lunavist"_s} + arguments);
    QCOMPARE(parsed.Action, action);
    QCOMPARE(parsed.LeftPath, left);
    QCOMPARE(parsed.RightPath, right);
}

TOutcome TestCommandLine::Outcome(TfrmMain &window, const TScriptedPrompts &prompts)
{
    TOutcome outcome;
    outcome.Log = prompts.Log;
    const TDiffGrid &grid = window.Grid();
    for (int row = 1; row < grid.RowCount(); ++row)
        outcome.Rows.append(grid.CellText(1, row) + u'|' + grid.CellText(2, row));
    const auto *left = window.findChild<QComboBox *>(u"cmbLeft"_s);
    const auto *right = window.findChild<QComboBox *>(u"cmbRight"_s);
    outcome.LeftBox = left->currentText();
    outcome.RightBox = right->currentText();
    outcome.LeftHistoryTop = left->itemText(0);
    return outcome;
}

void TestCommandLine::theWindowComparesTwoPathsAsIfTyped_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<int>("gridRows");

    const QString leftFile = WriteFile(u"left.txt"_s, "one\ntwo\n");
    const QString rightFile = WriteFile(u"right.txt"_s, "one\nTWO\n");
    WriteFile(u"L/a.txt"_s, "abc");
    WriteFile(u"R/a.txt"_s, "abc");
    WriteFile(u"R/b.txt"_s, "b");

    QTest::newRow("two text files") << leftFile << rightFile
                                    << QStringList{u"information: Compared:\r\n2 lines (left file) vs 2 lines (right "
                                                   "file).\r\nEqual lines: 1 of 2 (50.0%).\r\nDifferent lines: 1."_s}
                                    << 3;
    QTest::newRow("two folders") << FDir.filePath(u"L"_s) << FDir.filePath(u"R"_s) << QStringList{} << 3;
    QTest::newRow("a missing left path") << FDir.filePath(u"missing.txt"_s) << rightFile
                                         << QStringList{u"error: Left file does not exist."_s} << 2;
    QTest::newRow("a blank path")
        << u" "_s << rightFile << QStringList{u"warning: Please select both left and right files or folders."_s}
        << 2;
}

void TestCommandLine::theWindowComparesTwoPathsAsIfTyped()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QStringList, log);
    QFETCH(int, gridRows);

    // Started as main() starts it: the arguments read, the window shown.
    TScriptedPrompts startedPrompts;
    TfrmMain started(startedPrompts);
    started.show();
    const TStartArguments arguments = ParseStartArguments({u"lunavist"_s, left, right});
    QCOMPARE(arguments.Action, TStartAction::saOpenWindow);
    const QSignalSpy compared(started.findChild<QAction *>(u"btnCompare"_s), &QAction::triggered);
    started.CompareOnStart(arguments.LeftPath, arguments.RightPath);
    QCOMPARE(started.findChild<QComboBox *>(u"cmbLeft"_s)->currentText(), arguments.LeftPath);
    QCOMPARE(compared.count(), 0); // it waits for the event loop
    QTRY_COMPARE(compared.count(), 1);
    QCOMPARE(startedPrompts.Log, log);
    QTRY_VERIFY(!started.Session().DiffRecomputeInProgress());
    QCOMPARE(started.Grid().RowCount(), gridRows);

    // The same paths typed into the boxes of a fresh window.
    TScriptedPrompts typedPrompts;
    TfrmMain typed(typedPrompts);
    typed.show();
    typed.findChild<QComboBox *>(u"cmbLeft"_s)->setCurrentText(left);
    typed.findChild<QComboBox *>(u"cmbRight"_s)->setCurrentText(right);
    typed.findChild<QAction *>(u"btnCompare"_s)->trigger();
    QTRY_VERIFY(!typed.Session().DiffRecomputeInProgress());

    QCOMPARE(Outcome(started, startedPrompts), Outcome(typed, typedPrompts));
    QVERIFY(startedPrompts.Unscripted.isEmpty());
    QVERIFY(startedPrompts.CursorsBalanced());
}

void TestCommandLine::theProgramPrintsAndExits_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("storedLanguage"); // CurrentLanguage in the per-user store, if any
    QTest::addColumn<bool>("display");           // false: a terminal without any window system
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QString help = u"Usage: lunavist [LEFT RIGHT]\n"
                         "\n"
                         "Compares two text files, two documents or two folders side by side.\n"
                         "With LEFT and RIGHT the window opens with both paths and compares them at once.\n"
                         "\n"
                         "Options:\n"
                         "  -h, --help     Show this help and exit.\n"
                         "  -v, --version  Show the version and exit.\n"_s;
    const QString usage = u"Usage: lunavist [LEFT RIGHT]\n"_s;
    QTest::newRow("--help prints the help") << QStringList{u"--help"_s} << QString() << true << 0 << help
                                            << QString();
    QTest::newRow("--help needs no display") << QStringList{u"--help"_s} << QString() << false << 0 << help
                                             << QString();
    QTest::newRow("--version prints the version") << QStringList{u"--version"_s} << QString() << false << 0
                                                  << u"Lunavist 2.4\n"_s << QString();
    QTest::newRow("one path prints the usage line on the error stream, status 2")
        << QStringList{u"/tmp"_s} << QString() << true << 2 << QString() << usage;
    QTest::newRow("an unknown option likewise") << QStringList{u"--colour"_s, u"a"_s, u"b"_s} << QString() << true
                                                << 2 << QString() << usage;
    QTest::newRow("the help speaks the chosen language from the catalogue beside the program")
        << QStringList{u"-h"_s} << u"de"_s << false << 0
        << u"Aufruf: lunavist [LEFT RIGHT]\n"
           "\n"
           "Vergleicht zwei Textdateien, zwei Dokumente oder zwei Ordner nebeneinander.\n"
           "Mit LEFT und RIGHT öffnet sich das Fenster mit beiden Pfaden und vergleicht sie sofort.\n"
           "\n"
           "Optionen:\n"
           "  -h, --help     Diese Hilfe zeigen und beenden.\n"
           "  -v, --version  Die Version zeigen und beenden.\n"_s
        << QString();
}

void TestCommandLine::theProgramPrintsAndExits()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, storedLanguage);
    QFETCH(bool, display);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    // A per-user store of its own, so no choice of the person running the tests leaks in.
    QTemporaryDir config;
    QVERIFY(config.isValid());
    if (!storedLanguage.isEmpty()) {
        QDir(config.path()).mkpath(u"Lunavist"_s);
        QFile store(config.filePath(u"Lunavist/Lunavist.conf"_s));
        QVERIFY(store.open(QIODevice::WriteOnly));
        store.write("[General]\nCurrentLanguage=" + storedLanguage.toUtf8() + '\n');
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, config.path());
    environment.insert(u"XDG_RUNTIME_DIR"_s, config.path()); // else the toolkit warns about it
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    environment.remove(u"LANGUAGE"_s);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    // Without a display a window toolkit that were started would stop the program.
    environment.insert(u"QT_QPA_PLATFORM"_s, display ? u"offscreen"_s : u"xcb"_s);

    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(LUNAVIST_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), err);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), out);
    QCOMPARE(program.exitCode(), exitCode);
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
