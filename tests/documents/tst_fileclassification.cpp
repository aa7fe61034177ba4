// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileClassification.h"
#include "UserError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TstFileClassification : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void isDocumentExtension_data();
    void isDocumentExtension();
    void isTextContent_data();
    void isTextContent();
    void missingPathsAreNotText();
};

void TstFileClassification::isDocumentExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("expected");

    QTest::newRow("a PDF is a document") << u"/data/report.pdf"_s << true;
    QTest::newRow("capitals are lower-cased") << u"/data/REPORT.PDF"_s << true;
    QTest::newRow("a tarball matches through .gz") << u"backup.tar.gz"_s << true;
    QTest::newRow("the longest listed extension matches") << u"font.woff2"_s << true;
    QTest::newRow("the last listed extension matches") << u"mail.msg"_s << true;
    QTest::newRow("a text file is not a document") << u"notes.txt"_s << false;
    QTest::newRow("no extension is not a document") << u"/data/Makefile"_s << false;
    QTest::newRow("a dot in a folder name does not count") << u"/data/pics.png/readme"_s << false;
    QTest::newRow("only the last extension counts") << u"report.pdf.txt"_s << false;
    QTest::newRow("a listed name without its dot does not match") << u"/data/pdf"_s << false;
    QTest::newRow("an extension that only starts like a listed one does not match")
        << u"archive.gzip"_s << false;
}

void TstFileClassification::isDocumentExtension()
{
    QFETCH(QString, path);
    QFETCH(bool, expected);
    QCOMPARE(IsDocumentExtension(path), expected);
}

void TstFileClassification::isTextContent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("isText");
    QTest::addColumn<QString>("reason");

    const QString ansi = u"ANSI text (no binary sequences detected)."_s;
    QTest::newRow("an empty file is text") << QByteArray() << true << u"Empty file."_s;
    QTest::newRow("a UTF-8 mark makes text even before binary bytes")
        << "\xEF\xBB\xBF\0\x01"_ba << true << u"UTF-8 BOM detected."_s;
    QTest::newRow("UTF-16 LE with its mark is text despite zero bytes")
        << "\xFF\xFEh\0i\0"_ba << true << u"UTF-16 LE BOM detected."_s;
    QTest::newRow("UTF-16 BE with its mark is text") << "\xFE\xFF\0h\0i"_ba << true << u"UTF-16 BE BOM detected."_s;
    QTest::newRow("UTF-16 LE without its mark is binary")
        << "h\0i\0"_ba << false << u"Contains null bytes -> binary."_s;
    QTest::newRow("a zero byte wins over UTF-8 sequences")
        << "\xC3\xA9\0"_ba << false << u"Contains null bytes -> binary."_s;
    QTest::newRow("UTF-8 without a mark is text") << "caf\xC3\xA9\x1B"_ba << true << u"Valid UTF-8 (no BOM)."_s;
    QTest::newRow("ASCII with tabs and CR LF is ANSI text") << "a\tb\r\nc\n"_ba << true << ansi;
    QTest::newRow("an escape byte is binary and shown in capitals")
        << "a\x1B" "b"_ba << false << u"Control byte $1B detected ? binary."_s;
    QTest::newRow("a form feed is binary") << "a\fb"_ba << false << u"Control byte $0C detected ? binary."_s;
    QTest::newRow("a vertical tab is binary") << "a\vb"_ba << false << u"Control byte $0B detected ? binary."_s;
    QTest::newRow("the first control byte is reported")
        << "\xE9\x7F\x1F\x01"_ba << false << u"Control byte $1F detected ? binary."_s;
    QTest::newRow("8-bit letters are ANSI text") << "caf\xE9 \x80\xFF"_ba << true << ansi;

    const QByteArray text4096 = QByteArray(4095, 'a') + '\n';
    QTest::newRow("a zero byte after 4096 bytes is not examined") << text4096 + '\0' << true << ansi;
    QTest::newRow("a control byte after 4096 bytes is not examined") << text4096 + "\x1B\x01"_ba << true << ansi;
    QTest::newRow("a UTF-8 sequence cut at 4096 bytes falls back to ANSI text")
        << QByteArray(4095, 'a') + "\xC3\xA9"_ba << true << ansi;
}

void TstFileClassification::isTextContent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, isText);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(u"sample"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();

    const TTextContentCheck check = IsTextContent(file.fileName());
    QCOMPARE(check.Reason, reason);
    QCOMPARE(check.IsText, isText);
}

void TstFileClassification::missingPathsAreNotText()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &path : {dir.filePath(u"missing.txt"_s), dir.path()}) {
        const TTextContentCheck check = IsTextContent(path);
        QCOMPARE(check.IsText, false);
        QCOMPARE(check.Reason, u"File does not exist."_s);
    }
}

QTEST_GUILESS_MAIN(TstFileClassification)
#include "tst_fileclassification.moc"
