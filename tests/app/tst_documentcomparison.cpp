// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing documents through the real window and the real extraction
// client, against an extraction server the test controls.

#include "AppInfo.h"
#include "DiffGrid.h"
#include "ExtractionTestServer.h"
#include "MainForm.h"
#include "ScriptedPrompts.h"
#include "TextEncoding.h"
#include "translation.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

const QString kHint = u"Perhaps you opted out of installing TIKA? If so, please reinstall Lunavist and confirm the "
                      "TIKA installation when prompted."_s;

} // namespace

class TestDocumentComparison : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void identicalTextsReplaceTheTextComparison();
    void anEmptyAnswerOnTheRightKeepsTheLeftText();
    void noServiceFailsBothSidesWithTheHint();
    void savingAnExtractedSideWritesUtf8WithBom();

private:
    QString WriteFile(const QString &name, const QByteArray &bytes);
    void CompareDocuments(const QString &left, const QString &right);
    void UseService(quint16 port);
    QString Status() { return FWindow->findChild<QLabel *>(u"lblStatus"_s)->text(); }
    QComboBox *Box(const char *name) { return FWindow->findChild<QComboBox *>(QString::fromLatin1(name)); }

    QTemporaryDir FDir;
    std::unique_ptr<QTemporaryDir> FAppData;
    TScriptedPrompts *FPrompts = nullptr;
    TfrmMain *FWindow = nullptr;
    std::unique_ptr<TExtractionTestServer> FServer;
};

void TestDocumentComparison::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(ApplicationTitle()); // the hint names the program
    QVERIFY(FDir.isValid());
}

void TestDocumentComparison::init()
{
    SetCurrentLanguageIndex(0);
    // Each test starts without a settings file and never writes the user's.
    FAppData = std::make_unique<QTemporaryDir>();
    qputenv("APPDATA", FAppData->path().toUtf8());
    FPrompts = new TScriptedPrompts;
    FWindow = new TfrmMain(*FPrompts);
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow));
    FServer = std::make_unique<TExtractionTestServer>();
    UseService(FServer->Port());
}

void TestDocumentComparison::cleanup()
{
    QTRY_VERIFY(!FWindow->Session().DiffRecomputeInProgress());
    QVERIFY(FPrompts->Unscripted.isEmpty());
    QVERIFY(FPrompts->CursorsBalanced());
    delete FWindow;
    delete FPrompts;
    FServer.reset();
}

QString TestDocumentComparison::WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(FDir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a fixture");
    return file.fileName();
}

void TestDocumentComparison::UseService(quint16 port)
{
    FWindow->Session().SetExtractFunction(
        [port](const QString &path) { return ExtractDocumentText(path, u"127.0.0.1"_s, port); });
}

void TestDocumentComparison::CompareDocuments(const QString &left, const QString &right)
{
    Box("cmbLeft")->setCurrentText(left);
    Box("cmbRight")->setCurrentText(right);
    FWindow->findChild<QAction *>(u"mmAsComplexDocumentsegPDFDOCXetcwithTIKA1"_s)->trigger();
}

void TestDocumentComparison::identicalTextsReplaceTheTextComparison()
{
    // A text comparison with a merge whose recomputation is still running:
    // the documents must replace it, and its late result must not return.
    FWindow->Session().SetDiffFunction([](const QStringList &l, const QStringList &r, const TDiffOptions &o) {
        QThread::msleep(400);
        return ComputeDiff(l, r, o);
    });
    FWindow->findChild<QComboBox *>(u"cmbLeft"_s)->setCurrentText(WriteFile(u"a.txt"_s, "1\n2\n3\n"));
    FWindow->findChild<QComboBox *>(u"cmbRight"_s)->setCurrentText(WriteFile(u"b.txt"_s, "1\nx\n"));
    FWindow->findChild<QAction *>(u"miAsTextFiles1"_s)->trigger();
    FWindow->findChild<QAction *>(u"btnAllLeftDiffsToRight"_s)->trigger();
    QVERIFY(FWindow->Session().DiffRecomputeInProgress());
    FPrompts->Log.clear();
    FPrompts->ConfirmAnswers = {true};

    FServer->AnswerBody = "First line\r\nSecond line\r\n";
    FServer->DelayMs = 200;
    // While the call waits, timers run (the window repaints) under the hourglass.
    QList<TScriptedPrompts::TCursor> cursorsWhileWaiting;
    QTimer::singleShot(100, FWindow, [&] { cursorsWhileWaiting = FPrompts->Cursors; });
    const QString left = WriteFile(u"left.pdf"_s, "%PDF-1.4 left");
    const QString right = WriteFile(u"right.docx"_s, "PK\x03\x04 right");
    CompareDocuments(u" "_s + left, right + u"\t"_s);

    QCOMPARE(cursorsWhileWaiting, (QList<TScriptedPrompts::TCursor>{TScriptedPrompts::crWait}));
    QCOMPARE(FPrompts->Log,
             (QStringList{u"confirm: Load and compare the specified files?\r\nCurrent changes will be lost."_s,
                          u"information: The files are identical."_s,
                          u"information: Compared:\r\n2 lines (left file) vs 2 lines (right file).\r\n"
                          "Equal lines: 2 of 2 (100.0%).\r\nDifferent lines: 0."_s}));
    QCOMPARE(Status(), u"2 lines (left file) vs 2 lines (right file). Equal lines: 2 of 2 (100.0%). "
                       "Different lines: 0."_s);
    QCOMPARE(FServer->Requests.size(), 2);
    QCOMPARE(FServer->Requests[0].Body, "%PDF-1.4 left");
    QCOMPARE(FServer->Requests[1].Body, "PK\x03\x04 right");

    const TComparisonSession &session = FWindow->Session();
    QCOMPARE(session.LeftLines(), (QStringList{u"First line"_s, u"Second line"_s}));
    QCOMPARE(session.LeftEncName(), u"UTF-8 with BOM"_s);
    QCOMPARE(session.RightEncName(), u"UTF-8 with BOM"_s);
    QVERIFY(session.LeftHasBOM() && session.RightHasBOM());
    QCOMPARE(&session.RightEncoding(), &TEncoding::Utf8());
    QVERIFY(!session.UnsavedChanges());
    QVERIFY(session.UndoStack().isEmpty());
    QCOMPARE(Box("cmbLeft")->itemText(0), left);
    QCOMPARE(Box("cmbRight")->itemText(0), right);

    // The merge's late result is stale: the rows stay the documents'.
    QTest::qWait(500);
    QCOMPARE(FWindow->Grid().RowCount(), 3);
    QCOMPARE(FWindow->Grid().CellText(1, 2), u"Second line"_s);
    QCOMPARE(FWindow->Grid().CellText(2, 2), u"Second line"_s);
}

void TestDocumentComparison::anEmptyAnswerOnTheRightKeepsTheLeftText()
{
    FServer->AnswerBodies = {"Only the left\nhas text\n", ""};
    CompareDocuments(WriteFile(u"left.pdf"_s, "%PDF left"), WriteFile(u"scan.png"_s, "\x89PNG"));

    const QString report = u"Comparison failed.\r\nLeft: OK\r\nRight: "_s;
    QCOMPARE(FPrompts->Log, QStringList{u"warning: "_s + report + u"\r\n\r\n"_s + kHint});
    QCOMPARE(Status(), report + u" No comparable lines."_s);
    QCOMPARE(FWindow->Session().LeftLines(), (QStringList{u"Only the left"_s, u"has text"_s}));
    QVERIFY(FWindow->Session().RightLines().isEmpty());
    QCOMPARE(FWindow->Grid().RowCount(), 2); // the header and one empty row
    QCOMPARE(FWindow->Grid().CellText(1, 1), QString());
    QVERIFY(FWindow->findChild<QAction *>(u"btnSaveLeft"_s)->isEnabled());
}

void TestDocumentComparison::noServiceFailsBothSidesWithTheHint()
{
    UseService(TExtractionTestServer::UnusedPort());
    const QString left = WriteFile(u"left.pdf"_s, "%PDF left");
    CompareDocuments(left, WriteFile(u"right.pdf"_s, "%PDF right"));

    QCOMPARE(FPrompts->Log.size(), 1);
    const QStringList lines = FPrompts->Log.first().split(u"\r\n"_s);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], u"warning: Comparison failed."_s);
    QVERIFY2(lines[1].startsWith(u"Left: Error: "_s) && lines[1].size() > 13, qPrintable(lines[1]));
    QVERIFY2(lines[2].startsWith(u"Right: Error: "_s) && lines[2].size() > 14, qPrintable(lines[2]));
    QCOMPARE(lines[3], QString());
    QCOMPARE(lines[4], kHint);
    QCOMPARE(Status(), lines.mid(0, 3).join(u"\r\n"_s).mid(9) + u" No comparable lines."_s);
    QVERIFY(FWindow->Session().LeftLines().isEmpty());
    QCOMPARE(FWindow->Grid().RowCount(), 2);
    // The command ran, so its paths enter the histories as for text files.
    QCOMPARE(Box("cmbLeft")->itemText(0), left);
}

void TestDocumentComparison::savingAnExtractedSideWritesUtf8WithBom()
{
    // CR breaks and no final break, as the service sent them.
    FServer->AnswerBodies = {"Gr\xC3\xBC\xC3\x9F" "e\rzwei", "other\n"};
    CompareDocuments(WriteFile(u"left.docx"_s, "PK left"), WriteFile(u"right.docx"_s, "PK right"));
    FPrompts->Log.clear();

    const QString saved = FDir.filePath(u"left-text.txt"_s);
    FPrompts->SaveFileAnswers = {saved};
    FWindow->findChild<QAction *>(u"btnSaveLeft"_s)->trigger();
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F" "e\rzwei"));
    QCOMPARE(FPrompts->Log, QStringList{u"save file: Save Left Text As..."_s});
}

QTEST_MAIN(TestDocumentComparison)
#include "tst_documentcomparison.moc"
