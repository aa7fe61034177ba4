// SPDX-License-Identifier: GPL-3.0-or-later
// Where the settings file lies, how it is written, and what reading it
// does to the window's parts.

#include "ComparisonSession.h"
#include "DiffGrid.h"
#include "GridLayout.h"
#include "ScriptedPrompts.h"
#include "SettingsFile.h"
#include "SettingsOwners.h"
#include "SettingsRecord.h"
#include "WriteFaults.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

/// The parts of a main window that hold settings, without the window's code.
struct TOwnersFixture {
    TScriptedPrompts Prompts;
    TComparisonSession Session{Prompts};
    QWidget Window;
    TDiffGrid *Grid = new TDiffGrid(&Window);
    QLabel *Caption = new QLabel(&Window);
    QComboBox *LeftBox = new QComboBox(&Window);
    QComboBox *RightBox = new QComboBox(&Window);
    QString LeftFolder;
    QString RightFolder;
    std::uint32_t FontColor = 0xFF000008;

    TOwnersFixture()
    {
        for (QComboBox *box : {LeftBox, RightBox})
            box->setEditable(true);
        Window.setGeometry(30, 40, 700, 500);
    }
    TSettingsOwners Owners()
    {
        return {Session, *Grid, *Caption, *LeftBox, *RightBox, Window, LeftFolder, RightFolder, FontColor};
    }
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a fixture");
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void theFileLiesInTheApplicationDataFolder_data();
    void theFileLiesInTheApplicationDataFolder();
    void writingReplacesTheWholeFileOrNothing();
    void aFailedWriteLeavesTheOldFile_data();
    void aFailedWriteLeavesTheOldFile();
    void withoutAFileTheWindowIsCentred();
    void aFileWithOnlyTheHeaderAppliesNothing();
    void theLineNumberSwitchSetsTheColumnAndTheCaption_data();
    void theLineNumberSwitchSetsTheColumnAndTheCaption();
    void aMaximizedWindowIgnoresTheStoredBounds();
    void storedBoundsApplyAsTheyStand();
    void aFileCutInsideTheLeftHistoryKeepsTheEntriesRead();
    void everySettingSurvivesSaveAndLoad();

private:
    QTemporaryDir FDir;
};

void TestSettingsFile::initTestCase()
{
    QVERIFY(FDir.isValid());
}

void TestSettingsFile::cleanup()
{
    qunsetenv("APPDATA");
    qunsetenv("XDG_CONFIG_HOME");
}

void TestSettingsFile::theFileLiesInTheApplicationDataFolder_data()
{
    QTest::addColumn<bool>("set");
    QTest::addColumn<QString>("appData");
    QTest::addColumn<QString>("expectedFolder");
    const QString config = FDir.filePath(u"config"_s);
    QTest::newRow("APPDATA set: its folder, created with its parents")
        << true << FDir.filePath(u"app data/deeper"_s) << FDir.filePath(u"app data/deeper/Lunavist"_s);
    QTest::newRow("APPDATA empty: the user's config folder") << true << QString() << config + u"/Lunavist"_s;
    QTest::newRow("APPDATA unset: the user's config folder") << false << QString() << config + u"/Lunavist"_s;
}

void TestSettingsFile::theFileLiesInTheApplicationDataFolder()
{
    QFETCH(bool, set);
    QFETCH(QString, appData);
    QFETCH(QString, expectedFolder);
    qputenv("XDG_CONFIG_HOME", FDir.filePath(u"config"_s).toUtf8());
    if (set)
        qputenv("APPDATA", appData.toUtf8());
    else
        qunsetenv("APPDATA");

    QCOMPARE(SettingsFilePath(), expectedFolder + u"/settings.dt"_s);
    QVERIFY(QFileInfo(expectedFolder).isDir());
}

void TestSettingsFile::writingReplacesTheWholeFileOrNothing()
{
    // A longer earlier file leaves no bytes behind the new record.
    const QString path = FDir.filePath(u"replace.dt"_s);
    WriteAll(path, QByteArray(500, 'x'));
    QVERIFY(WriteSettingsFile(path, "new record"));
    QCOMPARE(ReadAll(path), QByteArray("new record"));

    // A write that cannot happen reports false and creates nothing.
    const QString nowhere = FDir.filePath(u"missing folder/settings.dt"_s);
    QVERIFY(!WriteSettingsFile(nowhere, "lost"));
    QVERIFY(!QFileInfo::exists(nowhere));
    QVERIFY(!ReadSettingsFile(nowhere).has_value());
}

void TestSettingsFile::aFailedWriteLeavesTheOldFile_data()
{
    QTest::addColumn<int>("historyEntries");
    QTest::addColumn<int>("fileSizeLimit"); // 0: a read-only folder instead
    // The limit makes the write fail part-way, as a full disk would; the
    // large record outgrows the file's write buffer, the small one fails
    // only when the buffer is flushed.
    QTest::newRow("a full disk stops a small record part-way") << 2 << 16;
    QTest::newRow("a full disk stops a large record part-way") << 4000 << 64 * 1024;
    QTest::newRow("a read-only folder refuses the record") << 2 << 0;
}

void TestSettingsFile::aFailedWriteLeavesTheOldFile()
{
    QFETCH(int, historyEntries);
    QFETCH(int, fileSizeLimit);
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"settings.dt"_s);
    TSettingsRecord oldRecord;
    oldRecord.LeftHistory = QStringList{u"/old/left.txt"_s};
    const QByteArray oldBytes = WriteSettingsRecord(oldRecord);
    WriteAll(path, oldBytes);
    TSettingsRecord newRecord;
    newRecord.LeftHistory = QStringList(historyEntries, u"/a/new/path/that/is/long/enough.txt"_s);
    const QByteArray newBytes = WriteSettingsRecord(newRecord);
    QVERIFY(fileSizeLimit == 0 || newBytes.size() > fileSizeLimit);

    const TFaultOutcome outcome =
        RunWithWriteFault(fileSizeLimit == 0 ? TWriteFault::ReadOnlyFolder : TWriteFault::FullDisk, dir.path(),
                          fileSizeLimit, [&] { return QByteArray(WriteSettingsFile(path, newBytes) ? "true" : "false"); });
    if (outcome.Skipped)
        QSKIP(qPrintable(outcome.SkipReason));
    QVERIFY2(outcome.Returned, outcome.Result.constData());
    QCOMPARE(outcome.Result, QByteArray("false"));
    QCOMPARE(ReadAll(path), oldBytes);
    // No half-written copy beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{u"settings.dt"_s});
}

void TestSettingsFile::withoutAFileTheWindowIsCentred()
{
    TOwnersFixture fixture;
    fixture.Window.resize(701, 499);
    LoadSettings(FDir.filePath(u"none.dt"_s), fixture.Owners());
    const QRect screen = fixture.Window.screen()->geometry();
    // Each half rounded on its own, halves to the even neighbour.
    QCOMPARE(fixture.Window.pos(), QPoint(screen.x() + HalveRoundingToEven(screen.width()) - 350,
                                          screen.y() + HalveRoundingToEven(screen.height()) - 250));
    QCOMPARE(fixture.Window.size(), QSize(701, 499));
}

void TestSettingsFile::aFileWithOnlyTheHeaderAppliesNothing()
{
    TOwnersFixture fixture;
    fixture.LeftBox->addItem(u"kept"_s);
    const TSettingsRecord before = CollectSettings(fixture.Owners());
    const QString path = FDir.filePath(u"header.dt"_s);
    WriteAll(path, QByteArray::fromHex("01000000"));
    LoadSettings(path, fixture.Owners());
    QVERIFY(CollectSettings(fixture.Owners()) == before);
    QCOMPARE(fixture.Window.pos(), QPoint(30, 40)); // not centred
    QCOMPARE(fixture.Grid->ColumnWidth(0), kDesignColumnWidths[0]);
}

void TestSettingsFile::theLineNumberSwitchSetsTheColumnAndTheCaption_data()
{
    QTest::addColumn<int>("widthBefore");
    QTest::addColumn<bool>("show");
    QTest::addColumn<int>("width");
    QTest::newRow("shown: 120 pixels from the design width") << kDesignColumnWidths[0] << true << 120;
    QTest::newRow("shown: 120 pixels from any other width") << 37 << true << 120;
    QTest::newRow("hidden: 0 pixels") << kDesignColumnWidths[0] << false << 0;
}

void TestSettingsFile::theLineNumberSwitchSetsTheColumnAndTheCaption()
{
    QFETCH(int, widthBefore);
    QFETCH(bool, show);
    QFETCH(int, width);
    TOwnersFixture fixture;
    fixture.Window.show();
    fixture.Grid->SetColumnWidth(0, widthBefore);
    fixture.Caption->setVisible(!show);
    TSettingsRecord record;
    record.ShowLineNumbers = show;
    const QString path = FDir.filePath(u"numbers.dt"_s);
    WriteAll(path, WriteSettingsRecord(record));
    LoadSettings(path, fixture.Owners());
    QCOMPARE(fixture.Grid->ColumnWidth(0), width);
    QCOMPARE(fixture.Caption->isVisible(), show);
}

void TestSettingsFile::aMaximizedWindowIgnoresTheStoredBounds()
{
    TOwnersFixture fixture;
    TSettingsRecord record;
    record.Maximized = true;
    record.WindowLeft = 5;
    record.WindowTop = 6;
    record.WindowWidth = 300;
    record.WindowHeight = 200;
    const QString path = FDir.filePath(u"maximized.dt"_s);
    WriteAll(path, WriteSettingsRecord(record));
    LoadSettings(path, fixture.Owners());
    QVERIFY(fixture.Window.isMaximized());
    fixture.Window.showNormal();
    QCOMPARE(fixture.Window.geometry(), QRect(30, 40, 700, 500));
}

void TestSettingsFile::storedBoundsApplyAsTheyStand()
{
    TOwnersFixture fixture;
    TSettingsRecord record;
    record.WindowLeft = -4000; // on no screen
    record.WindowTop = 25;
    record.WindowWidth = 640;
    record.WindowHeight = 480;
    const QString path = FDir.filePath(u"bounds.dt"_s);
    WriteAll(path, WriteSettingsRecord(record));
    LoadSettings(path, fixture.Owners());
    QVERIFY(!fixture.Window.isMaximized());
    QCOMPARE(fixture.Window.geometry(), QRect(-4000, 25, 640, 480));
}

void TestSettingsFile::aFileCutInsideTheLeftHistoryKeepsTheEntriesRead()
{
    TOwnersFixture fixture;
    fixture.RightBox->addItems({u"right kept"_s});
    fixture.LeftBox->addItems({u"old left"_s});
    fixture.LeftBox->setCurrentText(u"typed"_s);
    fixture.Grid->SetColumnWidth(2, 222);
    TSettingsRecord record;
    record.LeftHistory = {u"/one"_s, u"/two"_s, u"/three"_s};
    record.RightHistory = {u"/right"_s};
    record.RightColumnWidth = 333;
    const QByteArray bytes = WriteSettingsRecord(record);
    // Cut in the middle of the third entry: 4 + 2 * 6 bytes it would need.
    const qsizetype thirdEntry = bytes.indexOf(QByteArray("/\0t\0h\0r\0e\0e\0", 12)) - 4;
    const QString path = FDir.filePath(u"cut.dt"_s);
    WriteAll(path, bytes.left(thirdEntry + 7));
    LoadSettings(path, fixture.Owners());

    QCOMPARE(fixture.LeftBox->count(), 2);
    QCOMPARE(fixture.LeftBox->itemText(0), u"/one"_s);
    QCOMPARE(fixture.LeftBox->itemText(1), u"/two"_s);
    QCOMPARE(fixture.LeftBox->currentText(), u"typed"_s); // the edit text is not a setting
    QCOMPARE(fixture.RightBox->count(), 1);
    QCOMPARE(fixture.RightBox->itemText(0), u"right kept"_s);
    QCOMPARE(fixture.Grid->ColumnWidth(2), 222);
}

void TestSettingsFile::everySettingSurvivesSaveAndLoad()
{
    TOwnersFixture first;
    first.Session.SetOptions({true, false, true, false, true, false});
    first.Session.fColorAddedLines = 0x00102030;
    first.Session.fColorDifferentTextInLine = 0xFF00000D;
    first.Grid->SetLineNumbersVisible(false);
    first.Grid->SetShowGridLines(false);
    QFont font = first.Grid->GridFont();
    font.setPointSize(17);
    font.setFamily(u"DejaVu Serif"_s);
    first.Grid->SetGridFont(font);
    first.FontColor = 0x00ABCDEF;
    first.LeftBox->addItems({u"/l1"_s, u"/l2"_s});
    first.RightBox->addItems({u"/r1"_s});
    first.LeftFolder = u"/home/left"_s;
    first.RightFolder = u"/home/right"_s;
    first.Window.setGeometry(11, 22, 640, 480);
    first.Grid->SetColumnWidth(1, 210);
    first.Grid->SetColumnWidth(2, 190);
    const QString path = FDir.filePath(u"roundtrip.dt"_s);
    SaveSettings(path, first.Owners());

    TOwnersFixture second;
    LoadSettings(path, second.Owners());
    const TSettingsRecord saved = CollectSettings(first.Owners());
    QVERIFY(CollectSettings(second.Owners()) == saved);
    QCOMPARE(saved.GridFontSize, 17);
    QCOMPARE(second.Grid->GridFont().pointSize(), 17); // points, whatever the screen's resolution
    QCOMPARE(second.Session.Options(), first.Session.Options());
    QVERIFY(second.Caption->isHidden());
    // Writing again what was read gives the same file.
    SaveSettings(FDir.filePath(u"again.dt"_s), second.Owners());
    QCOMPARE(ReadAll(FDir.filePath(u"again.dt"_s)), ReadAll(path));
}

QTEST_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
