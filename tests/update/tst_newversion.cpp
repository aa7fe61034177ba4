// SPDX-License-Identifier: GPL-3.0-or-later
// The version check against a local server, the new-version dialog and its
// download, and the start-up step that may end the program.

#include "uNewVersionCheck.h"

#include "FakeHttpServer.h"
#include "HostileHttpServer.h"
#include "TranslationCatalogue.h"
#include "WriteFaults.h"
#include "translation.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kVersionPath = "/download/version/lunavist-version.html";
const QByteArray kChangesPath = "/download/version/lunavist-changes.html";
const QByteArray kInstallerPath = "/download/lunavist.exe";
const QString kDownloadFailed = u"Failed to download update. Please download manually on website.\r\n\r\n"_s;

TFakeAnswer Text(const QByteArray &body)
{
    TFakeAnswer answer;
    answer.Body = body;
    return answer;
}

// Records the error boxes and the opened addresses instead of showing them.
class TRecordingShell final : public TUpdateShell
{
public:
    QStringList Errors;
    QList<QUrl> Opened;

    void Error(QWidget *, const QString &text) override { Errors.append(text); }
    bool Open(const QUrl &url) override
    {
        Opened.append(url);
        return true;
    }
};

// A binary-looking installer big enough to arrive in several reads.
QByteArray InstallerBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 96 * 1024; ++i)
        bytes.append(char(i * 7 + i / 251));
    return bytes;
}

} // namespace

using TServerSetup = std::function<void(FakeHttpServer &)>;
Q_DECLARE_METATYPE(TFakeAnswer)
Q_DECLARE_METATYPE(TServerSetup)
Q_DECLARE_METATYPE(THostileHttpServer::TAnswer)

class TestNewVersion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void checkReadsTheVersionLineAndChangeLog_data();
    void checkReadsTheVersionLineAndChangeLog();
    void checkSurvivesServerTrouble_data();
    void checkSurvivesServerTrouble();
    void checkEndsWithinItsLimitsAgainstHostileServers_data();
    void checkEndsWithinItsLimitsAgainstHostileServers();

    void dialogClosesWithTheRightOutcome_data();
    void dialogClosesWithTheRightOutcome();
    void dialogTextsFitInEveryLanguage_data();
    void dialogTextsFitInEveryLanguage();

    void updateNowDownloadsAndStartsTheInstaller_data();
    void updateNowDownloadsAndStartsTheInstaller();
    void abortStopsTheDownloadInTheMiddle();
    void aDownloadThatCannotBeWrittenLeavesTheOldFile_data();
    void aDownloadThatCannotBeWrittenLeavesTheOldFile();

    void startupEndsOnlyWhenTheDialogSaysSo_data();
    void startupEndsOnlyWhenTheDialogSaysSo();

private:
    TUpdateSite Site() const;
    void ServeVersion(const QByteArray &versionLine, const QByteArray &changes = "Faster comparison\r\n");
    TfrmNewVersion *ShowDialog(bool forced);
    void SavePicture(QWidget *widget, const QString &name);

    std::unique_ptr<FakeHttpServer> FServer;
    std::unique_ptr<QTemporaryDir> FDownloads;
    QString FDownloadFolder;
    TRecordingShell FShell;
    std::unique_ptr<TfrmNewVersion> FDialog;
};

void TestNewVersion::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true); // keep the language choice out of the user's store
}

void TestNewVersion::init()
{
    SetCurrentLanguageIndex(0);
    FDialog.reset();
    FServer = std::make_unique<FakeHttpServer>();
    FDownloads = std::make_unique<QTemporaryDir>();
    QVERIFY(FDownloads->isValid());
    FDownloadFolder = FDownloads->path();
    FShell = TRecordingShell();
}

TUpdateSite TestNewVersion::Site() const
{
    TUpdateSite site;
    site.BaseAddress = FServer->BaseAddress();
    site.RunningVersion = 24;
    site.ApplicationTitle = u"Lunavist"_s;
    site.ReadTimeoutMs = 2000;
    site.DownloadFolder = FDownloadFolder;
    return site;
}

void TestNewVersion::ServeVersion(const QByteArray &versionLine, const QByteArray &changes)
{
    FServer->Set(kVersionPath, Text(versionLine + "\r\n"));
    FServer->Set(kChangesPath, Text(changes));
}

// The dialog as the start-up would show it, not modal so the test can drive it.
TfrmNewVersion *TestNewVersion::ShowDialog(bool forced)
{
    ServeVersion(forced ? "25/25" : "25/24", "Faster comparison\r\nNew icons\r\n");
    TNewVersionInfo info;
    if (!CheckForNewVersion(Site(), info))
        return nullptr;
    FDialog = std::make_unique<TfrmNewVersion>(info, Site(), FShell);
    FDialog->show();
    return FDialog.get();
}

// Pictures for a person to look at, when LUNAVIST_PICTURES names a folder.
void TestNewVersion::SavePicture(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("LUNAVIST_PICTURES");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget->grab().save(QDir(folder).filePath(name + u".png"_s));
}

void TestNewVersion::checkReadsTheVersionLineAndChangeLog_data()
{
    QTest::addColumn<QByteArray>("versionFile");
    QTest::addColumn<QByteArray>("changeLog");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("forced");
    QTest::addColumn<QString>("announcement");

    const QString optional = u"The new version 2.5 is available\r\n\r\nWhat's new:\r\n"_s;
    QTest::newRow("25/24 offers 2.5; empty lines go, lines of blanks stay")
        << QByteArray("25/24\r\n") << QByteArray("\r\nFixed a crash\r\n\r\n  \r\nNew icons\n\n") << true << false
        << optional + u"Fixed a crash\r\n  \r\nNew icons\r\n"_s;
    QTest::newRow("25/25 forces 2.5")
        << QByteArray("25/25") << QByteArray("Fixed a crash") << true << true
        << u"This version of the software is out of date. You must download the current version 2.5 to "
           "continue using the software.\r\n\r\nWhat's new:\r\nFixed a crash\r\n"_s;
    QTest::newRow("a minimum above ours forces even when the latest is ours")
        << QByteArray("24/25\n") << QByteArray("x\n") << true << true
        << u"This version of the software is out of date. You must download the current version 2.4 to "
           "continue using the software.\r\n\r\nWhat's new:\r\nx\r\n"_s;
    QTest::newRow("130/24 shows 13.0, the point before the last digit")
        << QByteArray("130/24\n") << QByteArray("x\n") << true << false
        << u"The new version 13.0 is available\r\n\r\nWhat's new:\r\nx\r\n"_s;
    QTest::newRow("an empty change log leaves What's new and one line break")
        << QByteArray("25/24\n") << QByteArray() << true << false << optional;
    QTest::newRow("a UTF-8 change log with a byte-order mark is shown unchanged")
        << QByteArray("\xEF\xBB\xBF" "25/24\n") << QByteArray("\xEF\xBB\xBF" "Gr\xC3\xB6\xC3\x9F" "er\n") << true
        << false << optional + u"Größer\r\n"_s;
    QTest::newRow("24/24 shows nothing") << QByteArray("24/24\n") << QByteArray("x\n") << false << false << QString();
    QTest::newRow("20/10 shows nothing") << QByteArray("20/10\n") << QByteArray("x\n") << false << false << QString();
    QTest::newRow("only the first line counts")
        << QByteArray("24/24\n25/25\n") << QByteArray("x\n") << false << false << QString();
    QTest::newRow("25 without a slash fails silently")
        << QByteArray("25\n") << QByteArray("x\n") << false << false << QString();
    QTest::newRow("2.5/2.4 fails silently") << QByteArray("2.5/2.4\n") << QByteArray("x\n") << false << false << QString();
    QTest::newRow("25/24/1 has no integer minimum and fails silently")
        << QByteArray("25/24/1\n") << QByteArray("x\n") << false << false << QString();
    QTest::newRow("an empty version file fails silently") << QByteArray() << QByteArray("x\n") << false << false << QString();
}

void TestNewVersion::checkReadsTheVersionLineAndChangeLog()
{
    QFETCH(QByteArray, versionFile);
    QFETCH(QByteArray, changeLog);
    QFETCH(bool, shown);
    QFETCH(bool, forced);
    QFETCH(QString, announcement);

    FServer->Set(kVersionPath, Text(versionFile));
    FServer->Set(kChangesPath, Text(changeLog));
    TNewVersionInfo info;
    QCOMPARE(CheckForNewVersion(Site(), info), shown);
    QCOMPARE(info.ForcedUpdate, forced);
    QCOMPARE(info.Announcement, announcement);
    QVERIFY(!FServer->Requests.isEmpty());
    QCOMPARE(FServer->Requests.front(), kVersionPath);
    for (const QByteArray &head : std::as_const(FServer->RequestHeads))
        QVERIFY2(head.contains("\r\nUser-Agent: Mozilla/4.0 (compatible; MyApp)\r\n"), head.constData());
}

void TestNewVersion::checkSurvivesServerTrouble_data()
{
    QTest::addColumn<TServerSetup>("trouble");
    QTest::addColumn<bool>("shown");

    using Setup = TServerSetup;
    QTest::newRow("a chain of ten redirects is followed") << Setup([](FakeHttpServer &server) {
        server.SetRedirected(kVersionPath, 10, Text("25/24\n"));
    }) << true;
    QTest::newRow("a chain of eleven redirects fails silently") << Setup([](FakeHttpServer &server) {
        server.SetRedirected(kVersionPath, 11, Text("25/24\n"));
    }) << false;
    QTest::newRow("a missing version file fails silently") << Setup([](FakeHttpServer &server) {
        server.Set(kVersionPath, StatusAnswer(404, "Not Found", "gone"));
    }) << false;
    QTest::newRow("a missing change log fails silently") << Setup([](FakeHttpServer &server) {
        server.Set(kChangesPath, StatusAnswer(500, "Internal Server Error", "oops"));
    }) << false;
    QTest::newRow("a server that never answers fails after the read time-out")
        << Setup([](FakeHttpServer &server) {
               TFakeAnswer silent;
               silent.Silent = true;
               server.Set(kVersionPath, silent);
           })
        << false;
    QTest::newRow("a change log that stops for good fails after the read time-out")
        << Setup([](FakeHttpServer &server) {
               TFakeAnswer stalled = Text("x\nNever sent\n");
               stalled.Slices = 2;
               stalled.SliceDelayMs = 60 * 1000;
               server.Set(kChangesPath, stalled);
           })
        << false;
}

void TestNewVersion::checkSurvivesServerTrouble()
{
    QFETCH(TServerSetup, trouble);
    QFETCH(bool, shown);

    ServeVersion("25/24");
    trouble(*FServer);
    TUpdateSite site = Site();
    site.ReadTimeoutMs = 300;
    TNewVersionInfo info;
    QCOMPARE(CheckForNewVersion(site, info), shown);
    QCOMPARE(info.Announcement.isEmpty(), !shown);
}

void TestNewVersion::checkEndsWithinItsLimitsAgainstHostileServers_data()
{
    QTest::addColumn<THostileHttpServer::TAnswer>("answer");
    QTest::addColumn<int>("totalTimeoutMs");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("withinMs");

    using TAnswer = THostileHttpServer::TAnswer;
    const qint64 gigabyte = qint64(1) << 30;
    // The read time-out (1.5 s) never expires: a byte comes every second.
    QTest::newRow("a server that drips a byte a second fails at the whole-request time-out")
        << TAnswer{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n", 100, "2", 1000, false} << 2500 << false << 4500;
    QTest::newRow("an endless chunked body fails at the size limit, long before the time-out")
        << TAnswer{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n", -1, "25/24\n", 0, true} << 60000 << false
        << 10000;
    QTest::newRow("an endless body without a length fails alike")
        << TAnswer{"HTTP/1.1 200 OK\r\n", -1, "25/24\n", 0, false} << 60000 << false << 10000;
    QTest::newRow("a gigabyte announced by its length fails at once")
        << TAnswer{"HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n", gigabyte, "25/24\n", 0, false} << 60000
        << false << 5000;
    QTest::newRow("a length announced and the connection closed early fails")
        << TAnswer{"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n", 6, "25/24\n", 0, false} << 60000 << false
        << 5000;
    QTest::newRow("bytes that are no UTF-8 after a good version line are shown as replacement characters")
        << TAnswer{"HTTP/1.1 200 OK\r\nContent-Length: 9\r\n", 9, "25/24\n\xFF\xFE\xC3", 0, false} << 60000
        << true << 5000;
}

// Every request of the check gets the same answer; the check ends within its
// time-outs or at its size limit, whatever the server does.
void TestNewVersion::checkEndsWithinItsLimitsAgainstHostileServers()
{
    QFETCH(THostileHttpServer::TAnswer, answer);
    QFETCH(int, totalTimeoutMs);
    QFETCH(bool, shown);
    QFETCH(int, withinMs);
    THostileHttpServer server;
    server.Answer = answer;
    TUpdateSite site = Site();
    site.BaseAddress = server.BaseAddress();
    site.ReadTimeoutMs = 1500;
    site.TotalTimeoutMs = totalTimeoutMs;

    QElapsedTimer clock;
    clock.start();
    TNewVersionInfo info;
    QCOMPARE(CheckForNewVersion(site, info), shown);
    QVERIFY2(clock.elapsed() < withinMs, qPrintable(QString::number(clock.elapsed())));
    if (shown) {
        QVERIFY(info.Announcement.startsWith(u"The new version 2.5 is available\r\n\r\nWhat's new:\r\n25/24\r\n"_s));
        QVERIFY2(info.Announcement.contains(QChar::ReplacementCharacter), qPrintable(info.Announcement));
    }
}

void TestNewVersion::dialogClosesWithTheRightOutcome_data()
{
    QTest::addColumn<bool>("forced");
    QTest::addColumn<bool>("byFrame");
    QTest::addColumn<QString>("cancelText");
    QTest::addColumn<int>("outcome");

    QTest::newRow("Skip goes on with the start") << false << false << u"Skip"_s << 1;
    QTest::newRow("closing the optional dialog by its frame goes on") << false << true << u"Skip"_s << 1;
    QTest::newRow("Exit ends the program") << true << false << u"Exit"_s << 0;
    QTest::newRow("closing the forced dialog by its frame ends the program") << true << true << u"Exit"_s << 0;
}

void TestNewVersion::dialogClosesWithTheRightOutcome()
{
    QFETCH(bool, forced);
    QFETCH(bool, byFrame);
    QFETCH(QString, cancelText);
    QFETCH(int, outcome);

    TfrmNewVersion *dialog = ShowDialog(forced);
    QVERIFY(dialog);
    QCOMPARE(dialog->Tag(), 1);
    QCOMPARE(dialog->windowTitle(), u" Lunavist"_s);
    QCOMPARE(dialog->size(), QSize(420, 189));
    QCOMPARE(dialog->findChild<QPushButton *>(u"btUpdateNow"_s)->text(), u"Update Now"_s);
    QPushButton *cancel = dialog->findChild<QPushButton *>(u"btCancel"_s);
    QCOMPARE(cancel->text(), cancelText);
    QVERIFY(dialog->findChild<QLabel *>(u"Label1"_s)->text().endsWith(u"What's new:\r\nFaster comparison\r\nNew icons\r\n"_s));
    QVERIFY(!dialog->findChild<QProgressBar *>(u"ProgressBar1"_s)->isVisible());

    if (byFrame)
        dialog->close();
    else
        QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->Tag(), outcome);
    QVERIFY(FShell.Opened.isEmpty());
}

void TestNewVersion::dialogTextsFitInEveryLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("forced");
    QTest::addColumn<QString>("cancelText");

    QTest::newRow("English, optional") << u"en"_s << false << u"Skip"_s;
    QTest::newRow("English, forced") << u"en"_s << true << u"Exit"_s;
    QTest::newRow("German, optional") << u"de"_s << false << u"Überspringen"_s;
    QTest::newRow("German, forced") << u"de"_s << true << u"Beenden"_s;
    QTest::newRow("French, forced") << u"fr"_s << true << u"Quitter"_s;
}

// No button text is clipped and the announcement, before its change log,
// fits in the fixed label.
void TestNewVersion::dialogTextsFitInEveryLanguage()
{
    QFETCH(QString, language);
    QFETCH(bool, forced);
    QFETCH(QString, cancelText);

    LoadTranslationsFrom(QStringLiteral(LUNAVIST_SOURCE_DIR) + u"/i18n"_s);
    SetCurrentLanguageIndex(TranslationCatalogue().IndexOfCode(language));
    TfrmNewVersion *dialog = ShowDialog(forced);
    QVERIFY(dialog);
    QCOMPARE(dialog->findChild<QPushButton *>(u"btCancel"_s)->text(), cancelText);

    const QList<QPushButton *> buttons = dialog->findChildren<QPushButton *>();
    for (const QPushButton *button : buttons) {
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
        QVERIFY(dialog->rect().contains(button->geometry()));
    }
    QCOMPARE(buttons[0]->geometry().intersects(buttons[1]->geometry()), false);
    const QLabel *label = dialog->findChild<QLabel *>(u"Label1"_s);
    const QString head = label->text().section(u"\r\n"_s, 0, 3); // up to "What's new:" and one line
    const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000),
                                                           Qt::TextWordWrap, QString(head).replace(u"\r\n"_s, u"\n"_s));
    QVERIFY2(needed.height() <= label->height(), qPrintable(head));
    SavePicture(dialog, u"newversion-"_s + language + (forced ? u"-forced"_s : u"-optional"_s));
}

void TestNewVersion::updateNowDownloadsAndStartsTheInstaller_data()
{
    QTest::addColumn<TFakeAnswer>("installer");
    QTest::addColumn<bool>("missingFolder");
    QTest::addColumn<int>("finalProgress"); // -1: not of interest
    QTest::addColumn<QString>("failure");

    TFakeAnswer known = Text(InstallerBytes());
    known.Slices = 8;
    known.SliceDelayMs = 5;
    TFakeAnswer chunked = known;
    chunked.Chunked = true;
    TFakeAnswer noLength = known;
    noLength.NoLength = true;
    TFakeAnswer redirect = StatusAnswer(302, "Found", "moved");
    redirect.Headers = {"Location: /elsewhere/lunavist.exe"};

    QTest::newRow("a known length moves the bar to 100") << known << false << 100 << QString();
    QTest::newRow("a chunked answer leaves the bar at 0") << chunked << false << 0 << QString();
    QTest::newRow("an answer without a length leaves the bar at 0") << noLength << false << 0 << QString();
    QTest::newRow("an HTTP error status fails with code and reason")
        << StatusAnswer(404, "Not Found", "no installer here") << false << -1 << u"HTTP error (404): Not Found"_s;
    QTest::newRow("a redirect is not followed") << redirect << false << -1 << u"HTTP error (302): Found"_s;
    QTest::newRow("a folder that cannot take the file fails before asking the server")
        << known << true << 0 << u"*"_s;
}

void TestNewVersion::updateNowDownloadsAndStartsTheInstaller()
{
    QFETCH(TFakeAnswer, installer);
    QFETCH(bool, missingFolder);
    QFETCH(int, finalProgress);
    QFETCH(QString, failure);

    FServer->Set(kInstallerPath, installer);
    if (missingFolder)
        FDownloadFolder = FDownloads->filePath(u"no such folder"_s);
    const QString target = QDir(FDownloadFolder).filePath(u"qbl_update.exe"_s);
    if (!missingFolder) { // an installer left by an earlier run must not pass for this one, nor be lost
        QFile stale(target);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("stale");
    }
    TfrmNewVersion *dialog = ShowDialog(false);
    QVERIFY(dialog);
    auto *bar = dialog->findChild<QProgressBar *>(u"ProgressBar1"_s);
    int highest = 0;
    connect(bar, &QProgressBar::valueChanged, this, [&highest](int value) { highest = std::max(highest, value); });

    QTest::mouseClick(dialog->findChild<QPushButton *>(u"btUpdateNow"_s), Qt::LeftButton);

    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->Tag(), 0); // after Update Now the program always ends
    if (finalProgress >= 0)
        QCOMPARE(highest, finalProgress);
    if (failure.isNull()) {
        QVERIFY(FShell.Errors.isEmpty());
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), installer.Body);
        QCOMPARE(FShell.Opened, QList<QUrl>{QUrl::fromLocalFile(target)});
        QVERIFY(FServer->RequestHeads.last().contains("\r\nUser-Agent: Mozilla/4.0 (compatible; MyApp)\r\n"));
    } else {
        QCOMPARE(FShell.Errors.size(), 1);
        if (failure == u"*"_s)
            QVERIFY(FShell.Errors.front().startsWith(kDownloadFailed));
        else
            QCOMPARE(FShell.Errors.front(), kDownloadFailed + failure);
        QCOMPARE(FShell.Opened, QList<QUrl>{QUrl(FServer->BaseAddress() + u'/')});
        // An earlier file is left as it was, and never started.
        QFile file(target);
        QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>"),
                 missingFolder ? QByteArray("<missing>") : QByteArray("stale"));
    }
    // No partial download is left under another name either.
    QCOMPARE(QDir(FDownloads->path()).entryList(QDir::Files),
             missingFolder ? QStringList() : QStringList{u"qbl_update.exe"_s});
}

void TestNewVersion::abortStopsTheDownloadInTheMiddle()
{
    TFakeAnswer slow = Text(InstallerBytes());
    slow.Slices = 40;
    slow.SliceDelayMs = 25;
    FServer->Set(kInstallerPath, slow);
    TfrmNewVersion *dialog = ShowDialog(true);
    QVERIFY(dialog);
    auto *bar = dialog->findChild<QProgressBar *>(u"ProgressBar1"_s);
    auto *cancel = dialog->findChild<QPushButton *>(u"btCancel"_s);
    auto *updateNow = dialog->findChild<QPushButton *>(u"btUpdateNow"_s);

    QString cancelTextWhileLoading;
    bool updateNowEnabledWhileLoading = true;
    bool stillOpenAfterClose = false;
    int valueAtAbort = -1;
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
        if (value < 10 || valueAtAbort >= 0)
            return;
        valueAtAbort = value;
        cancelTextWhileLoading = cancel->text();
        updateNowEnabledWhileLoading = updateNow->isEnabled();
        SavePicture(dialog, u"newversion-en-downloading"_s);
        QTimer::singleShot(0, dialog, [&] {
            dialog->close(); // the frame cannot close it mid-download
            stillOpenAfterClose = dialog->isVisible();
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
    });

    QTest::mouseClick(updateNow, Qt::LeftButton);

    QCOMPARE(cancelTextWhileLoading, u"Abort"_s);
    QVERIFY(!updateNowEnabledWhileLoading);
    QVERIFY(stillOpenAfterClose);
    QVERIFY(valueAtAbort < 100);
    QVERIFY(bar->value() < 100);
    QCOMPARE(FShell.Errors, QStringList{kDownloadFailed + u"Download is cancelled. Please download manually."_s});
    QCOMPARE(FShell.Opened, QList<QUrl>{QUrl(FServer->BaseAddress() + u'/')});
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->Tag(), 0);
    QCOMPARE(QDir(FDownloads->path()).entryList(QDir::Files), QStringList());
}

void TestNewVersion::aDownloadThatCannotBeWrittenLeavesTheOldFile_data()
{
    QTest::addColumn<TWriteFault>("fault");
    QTest::addColumn<int>("fileSizeLimit");

    // The installer (96 KB) outgrows the limit part-way, as on a full disk.
    QTest::newRow("a full disk") << TWriteFault::FullDisk << 10000;
    QTest::newRow("a full disk in the last few bytes") << TWriteFault::FullDisk << 96 * 1024 - 100;
    QTest::newRow("a read-only folder") << TWriteFault::ReadOnlyFolder << 0;
}

// The download fails where the program shows failures, starts nothing and
// leaves the installer of an earlier run as it was.
void TestNewVersion::aDownloadThatCannotBeWrittenLeavesTheOldFile()
{
    QFETCH(TWriteFault, fault);
    QFETCH(int, fileSizeLimit);
    TFakeAnswer installer = Text(InstallerBytes());
    installer.Slices = 4;
    FServer->Set(kInstallerPath, installer);
    const QString target = QDir(FDownloadFolder).filePath(u"qbl_update.exe"_s);
    {
        QFile stale(target);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("stale");
    }

    TfrmNewVersion *dialog = ShowDialog(false);
    QVERIFY(dialog);
    {
        const TWriteFaultScope scope(fault, FDownloadFolder, fileSizeLimit);
        if (!scope.Active())
            QSKIP(qPrintable(scope.SkipReason()));
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"btUpdateNow"_s), Qt::LeftButton);
    }

    QCOMPARE(dialog->Tag(), 0);
    QCOMPARE(FShell.Opened, QList<QUrl>{QUrl(FServer->BaseAddress() + u'/')}); // the home page, not the installer
    QCOMPARE(FShell.Errors.size(), 1);
    QVERIFY2(FShell.Errors.front().startsWith(kDownloadFailed) && FShell.Errors.front().size() > kDownloadFailed.size(),
             qPrintable(FShell.Errors.front()));
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("stale"));
    QCOMPARE(QDir(FDownloadFolder).entryList(QDir::Files), QStringList{u"qbl_update.exe"_s});
}

void TestNewVersion::startupEndsOnlyWhenTheDialogSaysSo_data()
{
    QTest::addColumn<QByteArray>("versionLine");
    QTest::addColumn<QString>("action"); // the button pressed, or "frame"
    QTest::addColumn<bool>("dialogShown");
    QTest::addColumn<bool>("mainWindow");

    QTest::newRow("nothing new: no dialog, the main window comes")
        << QByteArray("24/24") << QString() << false << true;
    QTest::newRow("a failed check: no dialog, the main window comes")
        << QByteArray("2.5/2.4") << QString() << false << true;
    QTest::newRow("Skip: the main window comes") << QByteArray("25/24") << u"btCancel"_s << true << true;
    QTest::newRow("Exit: the program ends without a main window")
        << QByteArray("25/25") << u"btCancel"_s << true << false;
    QTest::newRow("closing the forced dialog: the program ends")
        << QByteArray("25/25") << u"frame"_s << true << false;
    QTest::newRow("Update Now with a failed download: the program ends")
        << QByteArray("25/24") << u"btUpdateNow"_s << true << false;
}

void TestNewVersion::startupEndsOnlyWhenTheDialogSaysSo()
{
    QFETCH(QByteArray, versionLine);
    QFETCH(QString, action);
    QFETCH(bool, dialogShown);
    QFETCH(bool, mainWindow);

    ServeVersion(versionLine);
    bool shown = false;
    bool ownerless = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<TfrmNewVersion *>(QApplication::activeModalWidget());
        if (!dialog || shown)
            return;
        shown = true;
        ownerless = dialog->parentWidget() == nullptr;
        if (action == u"frame"_s)
            dialog->close();
        else
            QTest::mouseClick(dialog->findChild<QPushButton *>(action), Qt::LeftButton);
    });
    poll.start(10);

    QCOMPARE(RunStartupVersionCheck(Site(), FShell), mainWindow);
    QCOMPARE(shown, dialogShown);
    QCOMPARE(ownerless, dialogShown);
    QCOMPARE(FShell.Errors.size(), action == u"btUpdateNow"_s ? 1 : 0);
}

QTEST_MAIN(TestNewVersion)
#include "tst_newversion.moc"
