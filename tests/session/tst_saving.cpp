// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComparisonSession.h"

#include "SessionFixture.h"
#include "UserError.h"
#include "WriteFaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Save(TComparisonSession &session, TSide side, const QString &pathBoxText)
{
    if (side == sdLeft)
        session.btnSaveLeftClick(pathBoxText);
    else
        session.btnSaveRightClick(pathBoxText);
}

} // namespace

class TestSaving : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sideIsWrittenAsItWasRead_data();
    void sideIsWrittenAsItWasRead();
    void failedWriteIsNoSave_data();
    void failedWriteIsNoSave();
    void cancelChangesNothing();
    void unwritableCharactersAsk_data();
    void unwritableCharactersAsk();
    void refused_data();
    void refused();
};

void TestSaving::sideIsWrittenAsItWasRead_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("status");

    QTest::newRow("UTF-8 without BOM keeps LF breaks and gets no BOM")
        << int(sdLeft) << QByteArray("\xC3\xA4\nb\nc\n") << 1 << u"\u00FC"_s
        << QByteArray("\xC3\xA4\n\xC3\xBC\nc\n")
        << u"Left file saved as UTF-8."_s;
    QTest::newRow("UTF-8 with BOM keeps CR LF and the missing last break")
        << int(sdLeft) << QByteArray("\xEF\xBB\xBF" "a\r\nb") << 0 << u"x"_s
        << QByteArray("\xEF\xBB\xBF" "x\r\nb") << u"Left file saved as UTF-8 with BOM."_s;
    QTest::newRow("UTF-16 LE with CR LF")
        << int(sdLeft) << QByteArray("\xFF\xFE" "a\0\r\0\n\0b\0\r\0\n\0", 14) << 1 << u"\u20AC"_s
        << QByteArray("\xFF\xFE" "a\0\r\0\n\0\xAC\x20\r\0\n\0", 14) << u"Left file saved as UTF-16 LE with BOM."_s;
    QTest::newRow("UTF-16 BE on the right side with CR breaks")
        << int(sdRight) << QByteArray("\xFE\xFF\0a\0\r\0b", 8) << 0 << u"x"_s
        << QByteArray("\xFE\xFF\0x\0\r\0b", 8) << u"Right file saved as UTF-16 BE with BOM."_s;
    QTest::newRow("the ANSI code page with its own letters")
        << int(sdRight) << QByteArray("caf\xE9\nb\n") << 1 << u"\u00DF"_s << QByteArray("caf\xE9\n\xDF\n")
        << u"Right file saved as ANSI."_s;
    QTest::newRow("plain ASCII") << int(sdLeft) << QByteArray("a\nb\n") << 0 << u"z"_s << QByteArray("z\nb\n")
                                 << u"Left file saved as ANSI/ASCII."_s;
}

void TestSaving::sideIsWrittenAsItWasRead()
{
    QFETCH(int, side);
    QFETCH(QByteArray, original);
    QFETCH(int, line);
    QFETCH(QString, edit);
    QFETCH(QByteArray, expected);
    QFETCH(QString, status);
    TSessionFixture f;
    const QByteArray other("other\n");
    f.LoadBytes(side == sdLeft ? original : other, side == sdLeft ? other : original);
    const QStringList otherLines = side == sdLeft ? f.Session->RightLines() : f.Session->LeftLines();
    f.Session->CommitLineEdit(side == sdLeft ? 1 : 2, line, edit);
    f.Session->ApplyPendingRecompute();
    const QString target = f.Dir.filePath(u"saved.txt"_s);
    f.Prompts.SaveFileAnswers = {target};
    const QString pathBox = u"  some/folder/proposed name.txt"_s;
    QSignalSpy statusSpy(f.Session.get(), &TComparisonSession::StatusChanged);

    Save(*f.Session, TSide(side), pathBox);

    QCOMPARE(ReadAll(target), expected);
    const QString dialog = side == sdLeft ? u"save file: Save Left Text As..."_s : u"save file: Save Right Text As..."_s;
    QCOMPARE(f.Prompts.Log, QStringList{dialog});
    QCOMPARE(f.Prompts.DialogStartPaths, QStringList{pathBox});
    QCOMPARE(statusSpy.count(), 1);
    QCOMPARE(statusSpy.first().first().toString(), status);
    QVERIFY(!f.Session->UnsavedChanges());
    // Saving changes nothing else: the other side is not written, and the
    // last change can still be undone.
    QCOMPARE(side == sdLeft ? f.Session->RightLines() : f.Session->LeftLines(), otherLines);
    QCOMPARE(f.Session->UndoStack().size(), 1);
    QVERIFY(f.Prompts.CursorsBalanced());
}

void TestSaving::failedWriteIsNoSave_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("fault");
    QTest::addColumn<TWriteFault>("kind");
    QTest::newRow("a file in a folder that does not exist") << u"missing/out.txt"_s << false << TWriteFault::FullDisk;
    QTest::newRow("a path that names a folder") << u"folder"_s << false << TWriteFault::FullDisk;
    // Over a file saved before, which must come through whole.
    QTest::newRow("a full disk") << u"folder/old.txt"_s << true << TWriteFault::FullDisk;
    QTest::newRow("a read-only folder") << u"folder/old.txt"_s << true << TWriteFault::ReadOnlyFolder;
}

void TestSaving::failedWriteIsNoSave()
{
    QFETCH(QString, target);
    QFETCH(bool, fault);
    QFETCH(TWriteFault, kind);
    TSessionFixture f;
    QVERIFY(QDir(f.Dir.path()).mkdir(u"folder"_s));
    const QByteArray oldBytes("saved before\n");
    f.Write(u"folder/old.txt"_s, oldBytes);
    f.Load({u"a"_s}, {u"b"_s});
    f.Session->btnAllLeftDiffsToRightClick();
    f.Session->ApplyPendingRecompute();
    const QString path = f.Dir.filePath(target);
    f.Prompts.SaveFileAnswers = {path};
    QSignalSpy statusSpy(f.Session.get(), &TComparisonSession::StatusChanged);

    QString error;
    {
        // The side's two bytes "a\n" outgrow a one-byte limit.
        const std::optional<TWriteFaultScope> scope =
            fault ? std::make_optional<TWriteFaultScope>(kind, f.Dir.filePath(u"folder"_s), 1) : std::nullopt;
        if (scope && !scope->Active())
            QSKIP(qPrintable(scope->SkipReason()));
        try {
            f.Session->btnSaveRightClick(QString());
        } catch (const TUserError &raised) {
            error = raised.Message();
        }
    }

    // The error goes to the command's error box; nothing says the side was saved.
    QVERIFY2(error.startsWith(u"Cannot create file \""_s + path + u"\". "_s), qPrintable(error));
    QVERIFY(f.Session->UnsavedChanges());
    QCOMPARE(statusSpy.count(), 0);
    QCOMPARE(ReadAll(f.Dir.filePath(u"folder/old.txt"_s)), oldBytes);
    QCOMPARE(QDir(f.Dir.filePath(u"folder"_s)).entryList(QDir::Files), QStringList{u"old.txt"_s}); // no leftovers
}

void TestSaving::cancelChangesNothing()
{
    TSessionFixture f;
    f.Load({u"a"_s}, {u"b"_s});
    f.Session->btnAllLeftDiffsToRightClick();
    f.Session->ApplyPendingRecompute();
    f.Prompts.SaveFileAnswers = {QString()};
    const QStringList files = QDir(f.Dir.path()).entryList(QDir::Files);
    QSignalSpy statusSpy(f.Session.get(), &TComparisonSession::StatusChanged);

    f.Session->btnSaveLeftClick(f.Dir.filePath(u"left.txt"_s));

    QVERIFY(f.Session->UnsavedChanges());
    QCOMPARE(statusSpy.count(), 0);
    QCOMPARE(QDir(f.Dir.path()).entryList(QDir::Files), files);
    QCOMPARE(ReadAll(f.Dir.filePath(u"left.txt"_s)), QByteArray("a\n"));
}

void TestSaving::unwritableCharactersAsk_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QByteArray>("written");

    const QString ansi = u"confirm: Some characters cannot be written in the file's encoding (ANSI/ASCII) and "
                         u"would be saved as '?'.\r\nSave anyway?"_s;
    QTest::newRow("letters outside the ANSI code page: Cancel writes nothing")
        << QByteArray("a\n") << u"\u65E5\u672C"_s << false << ansi << QByteArray("<missing>");
    QTest::newRow("letters outside the ANSI code page: Yes writes question marks")
        << QByteArray("a\n") << u"\u65E5\u672C"_s << true << ansi << QByteArray("??\n");
    QTest::newRow("a lone surrogate in a UTF-8 side is asked about as well")
        << QByteArray("\xC3\xBC\n") << QString(u'x') + QChar(0xD800) << true
        << u"confirm: Some characters cannot be written in the file's encoding (UTF-8) and would be saved as "
           u"'?'.\r\nSave anyway?"_s
        << QByteArray("x?\n");
    QTest::newRow("characters the code page holds are not asked about")
        << QByteArray("a\n") << u"\u00E9\u20AC"_s << true << QString() << QByteArray("\xE9\x80\n");
}

void TestSaving::unwritableCharactersAsk()
{
    QFETCH(QByteArray, original);
    QFETCH(QString, edit);
    QFETCH(bool, answer);
    QFETCH(QString, question);
    QFETCH(QByteArray, written);
    TSessionFixture f;
    f.LoadBytes(original, QByteArray("b\n"));
    f.Session->CommitLineEdit(1, 0, edit);
    f.Session->ApplyPendingRecompute();
    const QString target = f.Dir.filePath(u"saved.txt"_s);
    f.Prompts.SaveFileAnswers = {target};
    f.Prompts.ConfirmAnswers = {answer};
    QSignalSpy statusSpy(f.Session.get(), &TComparisonSession::StatusChanged);

    f.Session->btnSaveLeftClick(QString());

    QStringList log{u"save file: Save Left Text As..."_s};
    if (!question.isEmpty())
        log.append(question);
    QCOMPARE(f.Prompts.Log, log);
    QCOMPARE(ReadAll(target), written);
    const bool saved = written != "<missing>";
    QCOMPARE(f.Session->UnsavedChanges(), !saved);
    QCOMPARE(statusSpy.count(), saved ? 1 : 0);
}

void TestSaving::refused_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("error");

    QTest::newRow("folder mode says saving is not available")
        << u"folder"_s << u"information: Save is not available in folder comparison mode."_s << QString();
    QTest::newRow("before any comparison no files are loaded")
        << u"none"_s << QString() << u"No files are loaded."_s;
}

void TestSaving::refused()
{
    QFETCH(QString, state);
    QFETCH(QString, box);
    QFETCH(QString, error);
    TSessionFixture f;
    if (state == u"folder"_s) {
        f.Load({u"a"_s}, {u"b"_s});
        f.Session->ShowFolderRows({}, {}, {});
    }
    f.Prompts.SaveFileAnswers = {f.Dir.filePath(u"saved.txt"_s)};

    try {
        f.Session->btnSaveLeftClick(QString());
        QVERIFY2(error.isEmpty(), "no error was raised");
    } catch (const TUserError &raised) {
        QCOMPARE(raised.Message(), error);
    }

    QCOMPARE(f.Prompts.Log, box.isEmpty() ? QStringList() : QStringList{box});
    QVERIFY(!QFileInfo::exists(f.Dir.filePath(u"saved.txt"_s)));
}

QTEST_GUILESS_MAIN(TestSaving)
#include "tst_saving.moc"
