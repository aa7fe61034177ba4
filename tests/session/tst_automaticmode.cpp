// SPDX-License-Identifier: GPL-3.0-or-later
#include "SessionFixture.h"
#include "UserError.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAutomaticMode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void choosesTheComparison_data();
    void choosesTheComparison();
    void aMissingFileReachesTheDocumentComparison();
    void twoFoldersGiveAFolderComparison();
    void refusedPathsStartNothing_data();
    void refusedPathsStartNothing();
    void unsavedChangesAreConfirmedOnce();
    void anErrorInTheComparisonRestoresTheCursor();

private:
    /// Runs the command; the extraction function counts its calls.
    bool Run(const QString &left, const QString &right);

    std::unique_ptr<TSessionFixture> F;
    int FExtractions = 0;
    QString FLeftPath;
    QString FRightPath;
};

void TestAutomaticMode::init()
{
    F = std::make_unique<TSessionFixture>();
    FExtractions = 0;
    FLeftPath.clear();
    FRightPath.clear();
    F->Session->SetExtractFunction([this](const QString &) {
        ++FExtractions;
        TExtractionResult result;
        result.Success = true;
        result.Text = u"extracted"_s;
        return result;
    });
}

void TestAutomaticMode::cleanup()
{
    QVERIFY(F->Prompts.Unscripted.isEmpty());
    QVERIFY(F->Prompts.CursorsBalanced());
    F.reset();
}

bool TestAutomaticMode::Run(const QString &left, const QString &right)
{
    return F->Session->btnCompareClick(left, right, FLeftPath, FRightPath);
}

void TestAutomaticMode::choosesTheComparison_data()
{
    QTest::addColumn<QString>("leftName");
    QTest::addColumn<QByteArray>("leftBytes");
    QTest::addColumn<QString>("rightName");
    QTest::addColumn<QByteArray>("rightBytes");
    QTest::addColumn<bool>("asDocuments");

    QTest::newRow("two listed extensions go to the service whatever they hold")
        << u"a.docx"_s << QByteArray("plain\n") << u"b.PDF"_s << QByteArray("plain\n") << true;
    QTest::newRow("two text files are compared as text")
        << u"a.txt"_s << QByteArray("one\n") << u"b"_s << QByteArray("two\n") << false;
    QTest::newRow("a text file and a binary one go to the service")
        << u"a.txt"_s << QByteArray("one\n") << u"b.dat"_s << QByteArray("x\0y", 3) << true;
    QTest::newRow("a binary left file goes to the service")
        << u"a.dat"_s << QByteArray("x\x1by") << u"b.txt"_s << QByteArray("two\n") << true;
    QTest::newRow("a listed extension on one side only lets the contents decide")
        << u"a.pdf"_s << QByteArray("one\n") << u"b.txt"_s << QByteArray("two\n") << false;
    QTest::newRow("two empty files are text") << u"a"_s << QByteArray() << u"b"_s << QByteArray() << false;
}

void TestAutomaticMode::choosesTheComparison()
{
    QFETCH(QString, leftName);
    QFETCH(QByteArray, leftBytes);
    QFETCH(QString, rightName);
    QFETCH(QByteArray, rightBytes);
    QFETCH(bool, asDocuments);

    const QString left = F->Write(leftName, leftBytes);
    const QString right = F->Write(rightName, rightBytes);
    QVERIFY(Run(u" "_s + left, right + u"\r\n"_s));
    QCOMPARE(FLeftPath, left);
    QCOMPARE(FRightPath, right);
    QCOMPARE(FExtractions, asDocuments ? 2 : 0);
    QCOMPARE(F->Session->CommandMode(), cmText);
    QVERIFY(!F->Session->FolderMode());
    if (asDocuments)
        QCOMPARE(F->Session->LeftLines(), QStringList{u"extracted"_s});
    // The hourglass was shown while the files were examined and compared.
    QVERIFY(F->Prompts.WaitCursorPushes >= 1);
}

void TestAutomaticMode::aMissingFileReachesTheDocumentComparison()
{
    const QString right = F->Write(u"b.txt"_s, "two\n");
    const QString missing = F->Dir.filePath(u"nothing.txt"_s);
    // Still a comparison started: the caller records both paths.
    QVERIFY(Run(missing, right));
    QCOMPARE(FLeftPath, missing);
    QCOMPARE(FRightPath, right);
    QCOMPARE(F->Prompts.Log, QStringList{u"error: Left file does not exist."_s});
    QCOMPARE(FExtractions, 0);
}

void TestAutomaticMode::twoFoldersGiveAFolderComparison()
{
    F->Write(u"L.txt"_s, "x"); // a file beside, so the folders are not the same
    QDir(F->Dir.path()).mkpath(u"L"_s);
    QDir(F->Dir.path()).mkpath(u"R"_s);
    F->Write(u"L/a.txt"_s, "1");
    F->Write(u"R/a.txt"_s, "22");
    QVERIFY(Run(F->Dir.filePath(u"L"_s) + u' ', F->Dir.filePath(u"R"_s)));
    QCOMPARE(FLeftPath, F->Dir.filePath(u"L"_s));
    QVERIFY(F->Session->FolderMode());
    QCOMPARE(F->Session->CommandMode(), cmFolder);
    QCOMPARE(F->Session->DiffItems().size(), 1);
    QCOMPARE(F->Session->DiffItems()[0].Kind, dkDifferent);
}

void TestAutomaticMode::refusedPathsStartNothing_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("box");

    QTest::newRow("a folder paired with a file")
        << u"folder"_s << u"file.txt"_s << u"error: Both paths must be folders for folder comparison."_s;
    QTest::newRow("a file paired with a folder")
        << u"file.txt"_s << u"folder"_s << u"error: Both paths must be folders for folder comparison."_s;
    QTest::newRow("an empty left path")
        << QString() << u"file.txt"_s << u"warning: Please select both left and right files or folders."_s;
}

void TestAutomaticMode::refusedPathsStartNothing()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, box);
    QDir(F->Dir.path()).mkpath(u"folder"_s);
    F->Write(u"file.txt"_s, "x\n");
    const auto path = [this](const QString &name) { return name.isEmpty() ? u" \t"_s : F->Dir.filePath(name); };

    QVERIFY(!Run(path(left), path(right)));
    QVERIFY(FLeftPath.isEmpty());
    QVERIFY(FRightPath.isEmpty());
    QCOMPARE(F->Prompts.Log, QStringList{box});
    QCOMPARE(F->Session->CommandMode(), cmNone);
    QCOMPARE(F->Prompts.WaitCursorPushes, 0);
}

void TestAutomaticMode::unsavedChangesAreConfirmedOnce()
{
    F->Load({u"x"_s}, {u"y"_s});
    F->Session->SetUnsavedChanges(true);
    QDir(F->Dir.path()).mkpath(u"L"_s);
    QDir(F->Dir.path()).mkpath(u"R"_s);

    F->Prompts.ConfirmAnswers = {false};
    QVERIFY(!Run(F->Dir.filePath(u"L"_s), F->Dir.filePath(u"R"_s)));
    QVERIFY(!F->Session->FolderMode());
    QVERIFY(F->Session->UnsavedChanges());

    F->Prompts.ConfirmAnswers = {true};
    QVERIFY(Run(F->Dir.filePath(u"L"_s), F->Dir.filePath(u"R"_s)));
    QVERIFY(F->Session->FolderMode());
    QVERIFY(!F->Session->UnsavedChanges());
    // The next comparison does not ask again (an unscripted question would fail cleanup).
    QVERIFY(Run(F->Dir.filePath(u"L"_s), F->Dir.filePath(u"R"_s)));
    const QString question = u"confirm: Load and compare the specified files?\r\nCurrent changes will be lost."_s;
    QCOMPARE(F->Prompts.Log.count(question), 2);
}

void TestAutomaticMode::anErrorInTheComparisonRestoresTheCursor()
{
    F->Session->SetExtractFunction([](const QString &) -> TExtractionResult {
        throw TUserError(u"the service broke"_s);
    });
    const QString left = F->Write(u"a.pdf"_s, "x");
    const QString right = F->Write(u"b.pdf"_s, "y");
    QVERIFY_THROWS_EXCEPTION(TUserError, Run(left, right));
    // No paths handed back: the command ended before the histories.
    QVERIFY(FLeftPath.isEmpty());
    QVERIFY(F->Prompts.WaitCursorPushes >= 1);
    // cleanup() checks that every cursor was popped.
}

QTEST_MAIN(TestAutomaticMode)
#include "tst_automaticmode.moc"
