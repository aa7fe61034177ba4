// SPDX-License-Identifier: GPL-3.0-or-later
// git difftool with the configuration the README gives: what git passes to
// the program, and what the window makes of it.

#include "CommandLine.h"
#include "DiffGrid.h"
#include "MainForm.h"
#include "ScriptedPrompts.h"
#include "translation.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Stands in for the program: records how git called it, and keeps copies
// of what it was given, since git removes its temporary files afterwards.
const QByteArray kRecordingScript =
    "#!/bin/sh\n"
    "{\n"
    "  echo \"$#\"\n"
    "  echo \"$PWD\"\n"
    "  for path in \"$1\" \"$2\"; do\n"
    "    if [ -d \"$path\" ]; then echo \"folder $path\"; elif [ -f \"$path\" ]; then echo \"file $path\";"
    " else echo \"missing $path\"; fi\n"
    "  done\n"
    "} >> \"$LUNAVIST_RECORD/calls\"\n"
    "cp -R \"$1\" \"$LUNAVIST_RECORD/left\"\n"
    "cp -R \"$2\" \"$LUNAVIST_RECORD/right\"\n";
// One call of the program as the recording script saw it.
struct TCall {
    int ArgumentCount = 0;
    QString WorkingFolder;
    QStringList Kinds; // "file", "folder" or "missing", per argument
    QStringList Paths;
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestGitDifftool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void gitPassesBothVersionsInOrder_data();
    void gitPassesBothVersionsInOrder();
    void theWindowComparesWhatGitPassed_data();
    void theWindowComparesWhatGitPassed();

private:
    void Run(const QString &program, const QStringList &arguments, const QString &folder);
    QList<TCall> RunDifftool(const QStringList &arguments);
    void WriteFile(const QString &path, const QByteArray &bytes, bool executable = false);

    QTemporaryDir FDir;
    QString FRepository;
    QString FRecord;
    QString FGit;
    QProcessEnvironment FEnvironment;
};

void TestGitDifftool::WriteFile(const QString &path, const QByteArray &bytes, bool executable)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

void TestGitDifftool::Run(const QString &program, const QStringList &arguments, const QString &folder)
{
    QProcess process;
    process.setProcessEnvironment(FEnvironment);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    QVERIFY2(process.waitForFinished(60000), qPrintable(arguments.join(u' ')));
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             qPrintable(arguments.join(u' ') + u": "_s + QString::fromLocal8Bit(process.readAllStandardError())));
}

void TestGitDifftool::initTestCase()
{
    QVERIFY(FDir.isValid());
    FGit = QStandardPaths::findExecutable(u"git"_s);
    QVERIFY2(!FGit.isEmpty(), "git is needed (scripts/install-deps installs it)");
    qputenv("APPDATA", FDir.filePath(u"appdata"_s).toLocal8Bit()); // the window's settings file
    QStandardPaths::setTestModeEnabled(true);
    SetCurrentLanguageIndex(0);

    // A git of its own: home, configuration and temporary folder inside the
    // test's folder, and the recording script first on the path as "lunavist".
    const QDir root(FDir.path());
    for (const QString &folder : {u"home"_s, u"bin"_s, u"tmp"_s, u"repository"_s, u"record"_s})
        QVERIFY(root.mkpath(folder));
    FRepository = root.filePath(u"repository"_s);
    FRecord = root.filePath(u"record"_s);
    WriteFile(root.filePath(u"bin/lunavist"_s), kRecordingScript, true);
    FEnvironment = QProcessEnvironment::systemEnvironment();
    FEnvironment.insert(u"HOME"_s, root.filePath(u"home"_s));
    FEnvironment.insert(u"XDG_CONFIG_HOME"_s, root.filePath(u"home/.config"_s));
    FEnvironment.insert(u"GIT_CONFIG_NOSYSTEM"_s, u"1"_s);
    FEnvironment.insert(u"TMPDIR"_s, root.filePath(u"tmp"_s));
    FEnvironment.insert(u"PATH"_s, root.filePath(u"bin"_s) + u':' + FEnvironment.value(u"PATH"_s));
    FEnvironment.insert(u"LUNAVIST_RECORD"_s, FRecord);
    FEnvironment.insert(u"LC_ALL"_s, u"C"_s);
    for (const QString &name : {u"GIT_DIR"_s, u"GIT_WORK_TREE"_s, u"GIT_CONFIG_GLOBAL"_s, u"GIT_EXTERNAL_DIFF"_s})
        FEnvironment.remove(name);

    // The configuration exactly as the README gives it.
    QFile readme(QStringLiteral(LUNAVIST_SOURCE_DIR) + u"/README.md"_s);
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QRegularExpression configLine(u"^ {4}(git config --global \\S+ .*)$"_s,
                                        QRegularExpression::MultilineOption);
    QStringList lines;
    for (const QRegularExpressionMatch &match : configLine.globalMatch(QString::fromUtf8(readme.readAll())))
        lines.append(match.captured(1));
    QVERIFY2(lines.filter(u"difftool.lunavist.cmd"_s).size() == 1, qPrintable(lines.join(u'\n')));
    for (const QString &line : lines)
        Run(u"/bin/sh"_s, {u"-c"_s, line}, FRepository);

    // Two commits of one file, and a third version in the working tree.
    const QString identity[] = {u"-c"_s, u"user.name=Test"_s, u"-c"_s, u"user.email=test@example.org"_s};
    const QStringList commit = {identity[0], identity[1], identity[2], identity[3], u"commit"_s, u"-q"_s,
                                u"-a"_s, u"-m"_s, u"x"_s};
    Run(FGit, {u"init"_s, u"-q"_s}, FRepository);
    WriteFile(FRepository + u"/notes.txt"_s, "first\n");
    Run(FGit, {u"add"_s, u"notes.txt"_s}, FRepository);
    Run(FGit, commit, FRepository);
    WriteFile(FRepository + u"/notes.txt"_s, "old\n");
    Run(FGit, commit, FRepository);
    // Of another size: the folder comparison tells files apart by size.
    WriteFile(FRepository + u"/notes.txt"_s, "newer\n");
}

void TestGitDifftool::init()
{
    QDir(FRecord).removeRecursively();
    QDir().mkpath(FRecord);
}

QList<TCall> TestGitDifftool::RunDifftool(const QStringList &arguments)
{
    QList<TCall> calls;
    Run(FGit, QStringList{u"difftool"_s} + arguments, FRepository);
    QFile record(FRecord + u"/calls"_s);
    if (!record.open(QIODevice::ReadOnly))
        return calls;
    const QStringList lines = QString::fromLocal8Bit(record.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i + 3 < lines.size(); i += 4) {
        TCall call;
        call.ArgumentCount = lines[i].toInt();
        call.WorkingFolder = lines[i + 1];
        for (const QString &line : {lines[i + 2], lines[i + 3]}) {
            call.Kinds.append(line.section(u' ', 0, 0));
            call.Paths.append(line.section(u' ', 1));
        }
        calls.append(call);
    }
    return calls;
}

void TestGitDifftool::gitPassesBothVersionsInOrder_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<QByteArray>("right");

    QTest::newRow("the named tool: last commit against the working tree")
        << QStringList{u"--tool=lunavist"_s} << u"file"_s << QByteArray("old\n") << QByteArray("newer\n");
    QTest::newRow("the configured tool, without a question: the same")
        << QStringList{} << u"file"_s << QByteArray("old\n") << QByteArray("newer\n");
    QTest::newRow("two commits, both as git's temporary files")
        << QStringList{u"--tool=lunavist"_s, u"HEAD~1"_s, u"HEAD"_s} << u"file"_s << QByteArray("first\n")
        << QByteArray("old\n");
    QTest::newRow("--dir-diff gives two folders") << QStringList{u"--tool=lunavist"_s, u"--dir-diff"_s}
                                                  << u"folder"_s << QByteArray("old\n") << QByteArray("newer\n");
}

void TestGitDifftool::gitPassesBothVersionsInOrder()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, kind);
    QFETCH(QByteArray, left);
    QFETCH(QByteArray, right);

    const QList<TCall> calls = RunDifftool(arguments);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].ArgumentCount, 2);
    QCOMPARE(calls[0].Kinds, (QStringList{kind, kind})); // both existed while the program ran
    const QString file = kind == u"folder"_s ? u"/notes.txt"_s : QString();
    QCOMPARE(ReadAll(FRecord + u"/left"_s + file), left);
    QCOMPARE(ReadAll(FRecord + u"/right"_s + file), right);
}

void TestGitDifftool::theWindowComparesWhatGitPassed_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("rightStays"); // the right side is the working tree's, not a temporary copy
    QTest::addColumn<QString>("leftCell");
    QTest::addColumn<QString>("rightCell");

    QTest::newRow("a changed file") << QStringList{u"--tool=lunavist"_s} << true << u"old"_s << u"newer"_s;
    // The right folder holds links to the working tree's files.
    QTest::newRow("--dir-diff") << QStringList{u"--tool=lunavist"_s, u"--dir-diff"_s} << false << u"notes.txt"_s
                                << u"notes.txt"_s;
}

void TestGitDifftool::theWindowComparesWhatGitPassed()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, rightStays);
    QFETCH(QString, leftCell);
    QFETCH(QString, rightCell);

    const QList<TCall> calls = RunDifftool(arguments);
    QCOMPARE(calls.size(), 1);

    // The program as git started it, in git's working folder. git's own
    // temporary copies are gone by now, so the saved copies stand in for
    // them; the working tree's file is named as git named it.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(calls[0].WorkingFolder));
    const TStartArguments start = ParseStartArguments(
        {u"lunavist"_s, FRecord + u"/left"_s, rightStays ? calls[0].Paths[1] : FRecord + u"/right"_s});
    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(start.Action, TStartAction::saOpenWindow);
    QVERIFY(QFileInfo::exists(start.RightPath));

    TScriptedPrompts prompts;
    TfrmMain window(prompts);
    window.show();
    const QSignalSpy compared(window.findChild<QAction *>(u"btnCompare"_s), &QAction::triggered);
    window.CompareOnStart(start.LeftPath, start.RightPath);
    QTRY_COMPARE(compared.count(), 1);
    QTRY_VERIFY(!window.Session().DiffRecomputeInProgress());
    QCOMPARE(window.Grid().RowCount(), 2);
    QVERIFY2(window.Grid().CellText(1, 1).startsWith(leftCell), qPrintable(window.Grid().CellText(1, 1)));
    QVERIFY2(window.Grid().CellText(2, 1).startsWith(rightCell), qPrintable(window.Grid().CellText(2, 1)));
    QCOMPARE(window.Grid().Rows().Items.at(0).Kind, dkDifferent);
    QVERIFY(prompts.Unscripted.isEmpty());
}

QTEST_MAIN(TestGitDifftool)
#include "tst_gitdifftool.moc"
