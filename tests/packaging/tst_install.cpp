// SPDX-License-Identifier: GPL-3.0-or-later
// An installation into a fresh prefix: every file a desktop needs is there
// and well-formed, and the installed program finds its catalogue.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kBin = QStringLiteral(LUNAVIST_BINDIR);
const QString kData = QStringLiteral(LUNAVIST_DATADIR);
const QString kMan = QStringLiteral(LUNAVIST_MANDIR);

struct TRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

TRun Run(const QString &program, const QStringList &arguments,
         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    TRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.ExitCode = process.exitCode();
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void installsEveryFile_data();
    void installsEveryFile();
    void theDesktopEntryIsValidAndNamesInstalledFiles();
    void theManualPagesFormatWithoutWarnings_data();
    void theManualPagesFormatWithoutWarnings();
    void theInstalledProgramReadsTheCatalogueBesideIt();

private:
    QString Installed(const QString &relative) const { return FPrefix.filePath(relative); }

    QTemporaryDir FPrefix;
};

void TestInstall::initTestCase()
{
    QVERIFY(FPrefix.isValid());
    const TRun install = Run(QStringLiteral(LUNAVIST_CMAKE),
                             {u"--install"_s, QStringLiteral(LUNAVIST_BUILD_DIR), u"--prefix"_s, FPrefix.path()});
    QVERIFY2(install.ExitCode == 0, qPrintable(install.Out + install.Err));
}

void TestInstall::installsEveryFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("program");
    QTest::addColumn<int>("pngSize"); // 0: not a PNG

    for (const QString &program : {u"lunavist"_s, u"lunavist-diff"_s, u"lunavist-extract"_s}) {
        const QString path = kBin + u'/' + program;
        QTest::newRow(qPrintable(path)) << path << true << 0;
        const QString manual = kMan + u"/man1/"_s + program + u".1"_s;
        QTest::newRow(qPrintable(manual)) << manual << false << 0;
    }
    for (const QString &path : {kBin + u"/transl.dt"_s, kData + u"/applications/lunavist.desktop"_s,
                                kData + u"/icons/hicolor/scalable/apps/lunavist.svg"_s})
        QTest::newRow(qPrintable(path)) << path << false << 0;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString path = kData + u"/icons/hicolor/%1x%1/apps/lunavist.png"_s.arg(size);
        QTest::newRow(qPrintable(path)) << path << false << size;
    }
}

void TestInstall::installsEveryFile()
{
    QFETCH(QString, path);
    QFETCH(bool, program);
    QFETCH(int, pngSize);

    const QFileInfo file(Installed(path));
    QVERIFY(file.isFile());
    QVERIFY(file.size() > 0);
    QCOMPARE(file.isExecutable(), program);
    if (pngSize > 0) {
        const QImage image(file.filePath(), "PNG");
        QCOMPARE(image.size(), QSize(pngSize, pngSize));
        QVERIFY(image.hasAlphaChannel());
    }
}

void TestInstall::theDesktopEntryIsValidAndNamesInstalledFiles()
{
    const QString entry = Installed(kData + u"/applications/lunavist.desktop"_s);
    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate is needed (scripts/install-deps installs it)");
    const TRun validation = Run(validator, {entry});
    QCOMPARE(validation.ExitCode, 0);
    // Hints stay: one is that an entry in two main categories (Development
    // and Utility, on purpose) may be listed in both menus.
    const QStringList findings = (validation.Out + validation.Err).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(findings.filter(QRegularExpression(u": (error|warning): "_s)), QStringList());

    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QHash<QString, QString> keys;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n'))
        keys.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    // The launcher starts the installed program and shows the installed icon.
    QVERIFY(QFileInfo(Installed(kBin + u'/' + keys.value(u"Exec"_s).section(u' ', 0, 0))).isExecutable());
    QVERIFY(QFileInfo::exists(Installed(kData + u"/icons/hicolor/scalable/apps/"_s + keys.value(u"Icon"_s)
                                        + u".svg"_s)));
    const QStringList categories = keys.value(u"Categories"_s).split(u';', Qt::SkipEmptyParts);
    QVERIFY(categories.contains(u"Development"_s) && categories.contains(u"Utility"_s));
    QVERIFY(keys.value(u"MimeType"_s).split(u';').contains(u"text/plain"_s));
}

void TestInstall::theManualPagesFormatWithoutWarnings_data()
{
    QTest::addColumn<QString>("page");
    for (const QString &page : {u"lunavist"_s, u"lunavist-diff"_s, u"lunavist-extract"_s})
        QTest::newRow(qPrintable(page)) << Installed(kMan + u"/man1/"_s + page + u".1"_s);
}

void TestInstall::theManualPagesFormatWithoutWarnings()
{
    QFETCH(QString, page);
    const QString groff = QStandardPaths::findExecutable(u"groff"_s);
    QVERIFY2(!groff.isEmpty(), "groff is needed (scripts/install-deps installs it)");
    const TRun run = Run(groff, {u"-man"_s, u"-ww"_s, u"-z"_s, u"-Tutf8"_s, page});
    QCOMPARE(run.Err, QString());
    QCOMPARE(run.ExitCode, 0);
}

void TestInstall::theInstalledProgramReadsTheCatalogueBesideIt()
{
    // German chosen in a per-user store of the test's own; no display.
    QTemporaryDir config;
    QVERIFY(config.isValid());
    QVERIFY(QDir(config.path()).mkpath(u"Lunavist"_s));
    QFile store(config.filePath(u"Lunavist/Lunavist.conf"_s));
    QVERIFY(store.open(QIODevice::WriteOnly));
    store.write("[General]\nCurrentLanguage=de\n");
    store.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, config.path());
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);

    const TRun installed = Run(Installed(kBin + u"/lunavist"_s), {u"--help"_s}, environment);
    QCOMPARE(installed.ExitCode, 0);
    QVERIFY2(installed.Out.startsWith(u"Aufruf: lunavist [LEFT RIGHT]\n"_s), qPrintable(installed.Out));

    // The same program without the catalogue beside it speaks English: the
    // German came from the installed catalogue.
    QTemporaryDir alone;
    QVERIFY(QFile::copy(Installed(kBin + u"/lunavist"_s), alone.filePath(u"lunavist"_s)));
    const TRun withoutCatalogue = Run(alone.filePath(u"lunavist"_s), {u"--help"_s}, environment);
    QCOMPARE(withoutCatalogue.ExitCode, 0);
    QVERIFY2(withoutCatalogue.Out.startsWith(u"Usage: lunavist [LEFT RIGHT]\n"_s), qPrintable(withoutCatalogue.Out));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
