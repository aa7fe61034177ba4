// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the lunavist-diff command as a user or a script would.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct TRun {
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};

TRun RunTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(LUNAVIST_DIFF_PATH), arguments);
    TRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.ExitCode = process.exitCode();
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

} // namespace

class TestLunavistDiff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void report_data();
    void report();
    void troubleExitsWithTwo_data();
    void troubleExitsWithTwo();
    void helpNamesEveryOption();

private:
    QString WriteFile(const QString &name, const QByteArray &bytes);
    QTemporaryDir FDir;
};

QString TestLunavistDiff::WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(FDir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a fixture");
    return file.fileName();
}

void TestLunavistDiff::initTestCase()
{
    QVERIFY(FDir.isValid());
}

void TestLunavistDiff::report_data()
{
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<QByteArray>("right");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output");

    QTest::newRow("identical files exit with 0")
        << QByteArray("a\nb\n") << QByteArray("a\r\nb") << QStringList() << 0
        << QByteArray("# left: ANSI/ASCII\t2\n# right: ANSI/ASCII\t2\n"
                      "dkEqual\t0\t0\t-1\t0\t-1\t0\ndkEqual\t1\t1\t-1\t0\t-1\t0\n");
    QTest::newRow("a changed line exits with 1 and prints its change range")
        << QByteArray("int x = 10;\n") << QByteArray("\xEF\xBB\xBFint y = 10;\nnew\n") << QStringList() << 1
        << QByteArray("# left: ANSI/ASCII\t1\n# right: UTF-8 with BOM\t2\n"
                      "dkDifferent\t0\t0\t4\t1\t4\t1\ndkRightOnly\t-1\t1\t-1\t0\t-1\t0\n");
    QTest::newRow("highlight adds the word ranges of both cells")
        << QByteArray("one two three\nsame\n") << QByteArray("one three\nsame\n") << QStringList{u"--highlight"_s}
        << 1
        << QByteArray("# left: ANSI/ASCII\t2\n# right: ANSI/ASCII\t2\n"
                      "dkDifferent\t0\t0\t5\t4\t5\t0\t3:4\t-\n"
                      "dkEqual\t1\t1\t-1\t0\t-1\t0\t-\t-\n");
    QTest::newRow("options make lines equal")
        << QByteArray("Hello  World\n\n") << QByteArray("hello world\n")
        << QStringList{u"-i"_s, u"-b"_s, u"-B"_s} << 0
        << QByteArray("# left: ANSI/ASCII\t2\n# right: ANSI/ASCII\t1\n"
                      "dkEqual\t0\t0\t-1\t0\t-1\t0\ndkEqual\t1\t-1\t-1\t0\t-1\t0\n");
    QTest::newRow("two empty files exit with 0 and print no row")
        << QByteArray() << QByteArray() << QStringList() << 0
        << QByteArray("# left: ANSI\t0\n# right: ANSI\t0\n");

    // Far more than the 64 KB the report is written in at a time.
    QByteArray lines;
    QByteArray rows = "# left: ANSI/ASCII\t5000\n# right: ANSI/ASCII\t5000\n";
    for (int i = 0; i < 5000; ++i) {
        lines += "line " + QByteArray::number(i) + '\n';
        rows += "dkEqual\t" + QByteArray::number(i) + '\t' + QByteArray::number(i) + "\t-1\t0\t-1\t0\t-\t-\n";
    }
    QTest::newRow("a long report is written whole")
        << lines << lines << QStringList{u"--highlight"_s} << 0 << rows;
}

void TestLunavistDiff::report()
{
    QFETCH(QByteArray, left);
    QFETCH(QByteArray, right);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);

    const TRun run = RunTool(options + QStringList{WriteFile(u"left"_s, left), WriteFile(u"right"_s, right)});
    QCOMPARE(run.Out, output);
    QCOMPARE(run.Err, QByteArray());
    QCOMPARE(run.ExitCode, exitCode);
}

void TestLunavistDiff::troubleExitsWithTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");

    const QString missing = QDir::tempPath() + u"/lunavist-no-such-file"_s;
    QTest::newRow("a missing file names the file")
        << QStringList{missing, missing} << QByteArray("Cannot open file \"" + missing.toUtf8() + "\".");
    // Both files are read at once; the left one's error still comes first.
    QTest::newRow("of two missing files the left one is named")
        << QStringList{missing + u"-left"_s, missing + u"-right"_s}
        << QByteArray("Cannot open file \"" + missing.toUtf8() + "-left\".");
    QTest::newRow("a bad left file comes before a missing right file")
        << QStringList{u"BOM_BAD"_s, missing + u"-right"_s}
        << QByteArray("No mapping for the Unicode character exists in the target multi-byte code page");
    QTest::newRow("ill-formed UTF-8 after a BOM is refused")
        << QStringList{u"BOM_BAD"_s, u"BOM_BAD"_s}
        << QByteArray("No mapping for the Unicode character exists in the target multi-byte code page");
    QTest::newRow("an unknown option") << QStringList{u"--nonsense"_s, u"a"_s, u"b"_s} << QByteArray("nonsense");
    QTest::newRow("one file only") << QStringList{u"a"_s} << QByteArray("two files");
}

void TestLunavistDiff::troubleExitsWithTwo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    const QString badUtf8 = WriteFile(u"bad"_s, QByteArray("\xEF\xBB\xBF" "ok\n\xC0\xAF\n"));
    arguments.replaceInStrings(u"BOM_BAD"_s, badUtf8);

    const TRun run = RunTool(arguments);
    QCOMPARE(run.ExitCode, 2);
    QCOMPARE(run.Out, QByteArray());
    QVERIFY2(run.Err.contains(message), run.Err.constData());
}

void TestLunavistDiff::helpNamesEveryOption()
{
    const TRun run = RunTool({u"--help"_s});
    QCOMPARE(run.ExitCode, 0);
    for (const char *option : {"--ignore-case", "--ignore-all-space", "--ignore-space-change", "--ignore-leading-space",
                               "--ignore-trailing-space", "--ignore-blank-lines", "--highlight"})
        QVERIFY2(run.Out.contains(option), option);
}

QTEST_GUILESS_MAIN(TestLunavistDiff)
#include "tst_lunavistdiff.moc"
