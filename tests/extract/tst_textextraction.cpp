// SPDX-License-Identifier: GPL-3.0-or-later
// The text of each format, and what broken and hostile documents give.
#include "TextExtraction.h"

#include "ExtractFixtures.h"
#include "FormatDetection.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ExtractFixtures;

Q_DECLARE_METATYPE(TExtractStatus)
Q_DECLARE_METATYPE(TDocumentFormat)

namespace {

// A message whose every part is another multipart, `depth` levels deep.
QByteArray NestedMessage(int depth)
{
    QByteArray message = "Content-Type: text/plain\r\n\r\ninnermost\r\n";
    for (int level = 0; level < depth; ++level) {
        const QByteArray boundary = "b" + QByteArray::number(level);
        message = "Content-Type: multipart/mixed; boundary=" + boundary + "\r\n\r\n--" + boundary + "\r\n" + message
                  + "\r\n--" + boundary + "--\r\n";
    }
    return "From: a@example.org\r\nSubject: deep\r\n" + message;
}

} // namespace

class TstTextExtraction : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void extractsTheTextOfEachFormat_data();
    void extractsTheTextOfEachFormat();
    void detectsTheFormatFromTheBytes_data();
    void detectsTheFormatFromTheBytes();
    void refusesBrokenAndHostileDocuments_data();
    void refusesBrokenAndHostileDocuments();
};

void TstTextExtraction::extractsTheTextOfEachFormat_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("text");
    for (const TFixture &fixture : Fixtures())
        QTest::newRow(fixture.Name) << fixture.Bytes << fixture.Text;
    QTest::newRow("UTF-8 text without a byte-order mark")
        << QByteArray("Stra\xC3\x9F" "e\nend") << u"Straße\nend"_s;
    QTest::newRow("8-bit text in the code page") << QByteArray("Caf\xE9\n") << u"Café\n"_s;
    QTest::newRow("an empty document has no text") << QByteArray() << QString();
    QTest::newRow("a DOCX without text") << Docx("<w:p/><w:p/>") << QString();
    QTest::newRow("line breaks inside a text run end lines like paragraphs")
        << Docx("<w:p><w:r><w:t>\none\r\ntwo</w:t></w:r></w:p>") << u"one\ntwo\n"_s;
    QTest::newRow("an RTF line break written as hex bytes ends the line")
        << QByteArray("{\\rtf1 \\'0a\\'0d\\'0aone\\'0atwo\\par}") << u"one\ntwo\n"_s;
    QTest::newRow("an RTF hex escape with one digit shows nothing")
        << QByteArray("{\\rtf1 x\\'a y}") << u"x y\n"_s;
    QTest::newRow("a cut RTF hex escape leaves the closing brace alone")
        << QByteArray("{\\rtf1 {\\*\\x hidden\\'4}shown}") << u"shown\n"_s;
}

void TstTextExtraction::extractsTheTextOfEachFormat()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, text);
    const TExtractResult result = ExtractText(document);
    QVERIFY2(result.Status == TExtractStatus::esText, qPrintable(result.Reason));
    QCOMPARE(result.Text, text);
}

void TstTextExtraction::detectsTheFormatFromTheBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TDocumentFormat>("format");
    QTest::newRow("a PDF behind some junk bytes")
        << QByteArray("\x00\x01junk%PDF-1.7\n", 14) << TDocumentFormat::dfPdf;
    QTest::newRow("text that mentions %PDF- later is text")
        << QByteArray("see %PDF-1.7 below") << TDocumentFormat::dfText;
    QTest::newRow("an HTML fragment without <html>") << QByteArray("\n  <p>Hello</p>") << TDocumentFormat::dfHtml;
    QTest::newRow("XHTML with an XML declaration")
        << QByteArray("<?xml version=\"1.0\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\">")
        << TDocumentFormat::dfHtml;
    QTest::newRow("HTML in UTF-16 with a byte-order mark") << [] {
        const QString html = u"<!DOCTYPE html><html>"_s;
        return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(html.utf16()), html.size() * 2);
    }() << TDocumentFormat::dfHtml;
    QTest::newRow("XML of data") << QByteArray("<rows><row/></rows>") << TDocumentFormat::dfXml;
    QTest::newRow("a mail from an mbox file")
        << QByteArray("From alice Mon Jan 1 00:00:00 2024\nFrom: a@b\nTo: c@d\n\nHi") << TDocumentFormat::dfMail;
    QTest::newRow("one header-like line is a note, not a mail")
        << QByteArray("Note: remember\nthe milk\n") << TDocumentFormat::dfText;
    QTest::newRow("text starting with BM is no bitmap") << QByteArray("BMW and Audi cars\n") << TDocumentFormat::dfText;
    QTest::newRow("a PNG") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << TDocumentFormat::dfImage;
    QTest::newRow("a JPEG") << QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF", 10) << TDocumentFormat::dfImage;
    QTest::newRow("a legacy Office file") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10)
                                          << TDocumentFormat::dfUnknown;
    QTest::newRow("bytes with zeros") << QByteArray("abc\0def", 7) << TDocumentFormat::dfUnknown;
}

void TstTextExtraction::detectsTheFormatFromTheBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TDocumentFormat, format);
    QCOMPARE(DetectFormat(bytes), format);
}

void TstTextExtraction::refusesBrokenAndHostileDocuments_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<qint64>("maxEntries");
    QTest::addColumn<qint64>("maxUnpacked");
    QTest::addColumn<TExtractStatus>("status");
    QTest::addColumn<QString>("reason");
    const qint64 entries = TExtractLimits().MaxZipEntries;
    const qint64 unpacked = TExtractLimits().MaxUnpackedBytes;
    const auto unparseable = TExtractStatus::esUnparseable;

    QTest::newRow("a zip bomb: 60 MB of paragraphs packed into kilobytes")
        << ZipBombDocx() << entries << unpacked << unparseable << u"zip bomb"_s;
    QTest::newRow("more entries than allowed") << [] {
        QList<std::pair<QString, QByteArray>> many;
        for (int i = 0; i < 30; ++i)
            many.append({u"part%1.xml"_s.arg(i), "<a/>"});
        return Zip(many);
    }() << qint64(20) << unpacked << unparseable << u"30 entries"_s;
    QTest::newRow("more unpacked bytes than allowed")
        << DocxWithTable() << entries << qint64(1000) << unparseable << u"more than 1000 bytes"_s;
    QTest::newRow("XML nested deeper than allowed")
        << QByteArray("<a>").repeated(300) + QByteArray("</a>").repeated(300) << entries << unpacked << unparseable
        << u"deeper than 256"_s;
    QTest::newRow("a DOCX whose body nests deeper than allowed")
        << Docx("<w:p>" + QByteArray("<w:r>").repeated(300) + QByteArray("</w:r>").repeated(300) + "</w:p>")
        << entries << unpacked << unparseable << u"deeper than 256"_s;
    QTest::newRow("RTF groups nested deeper than allowed")
        << "{\\rtf1 " + QByteArray("{").repeated(300) + "x" + QByteArray("}").repeated(301) << entries << unpacked
        << unparseable << u"deeper than 256"_s;
    QTest::newRow("a mail nested deeper than allowed")
        << NestedMessage(20) << entries << unpacked << unparseable << u"deeper than 16"_s;
    QTest::newRow("the first half of a PDF") << [] {
        const QByteArray pdf = TwoPagePdf();
        return pdf.first(pdf.size() / 2);
    }() << entries << unpacked << unparseable << u"PDF"_s;
    QTest::newRow("a PDF header and nothing else")
        << QByteArray("%PDF-1.7\n%garbage\n") << entries << unpacked << unparseable << u"PDF"_s;
    QTest::newRow("the first half of a DOCX") << [] {
        const QByteArray docx = DocxWithTable();
        return docx.first(docx.size() / 2);
    }() << entries << unpacked << unparseable << u"zip"_s;
    // Found by fuzzing: the bound of the Zip64 record went negative and wrapped.
    QTest::newRow("a Zip64 locator in a package shorter than its record")
        << QByteArray::fromHex("504b0304504b060780006c652d63387a65c68b61626c006c504b"
                               "05060000ffffffffffffffffe1e1e1e1e1b3ffffff0000000025")
        << entries << unpacked << unparseable << u"65535 entries"_s;
    QTest::newRow("a DOCX whose XML is cut short")
        << Zip({{u"[Content_Types].xml"_s,
                 ContentTypes("<Override PartName=\"/word/document.xml\" ContentType=\"application/"
                              "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>")},
                {u"word/document.xml"_s, "<w:document xmlns:w=\"x\"><w:body><w:p>"}})
        << entries << unpacked << unparseable << u"ends before its XML is complete"_s;
    QTest::newRow("text that is UTF-8 in shape only") << QByteArray("ab\xC0\xAF") << entries << unpacked
                                                      << unparseable << u"No mapping"_s;
    QTest::newRow("an image without character recognition")
        << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << entries << unpacked << unparseable << u"image"_s;
    QTest::newRow("a zip of other files") << Zip({{u"a.txt"_s, "hello"}}) << entries << unpacked
                                          << TExtractStatus::esUnsupported << u"no word-processing"_s;
    QTest::newRow("a legacy Office file") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0\0", 12) << entries
                                          << unpacked << TExtractStatus::esUnsupported << u"type"_s;
}

void TstTextExtraction::refusesBrokenAndHostileDocuments()
{
    QFETCH(QByteArray, document);
    QFETCH(qint64, maxEntries);
    QFETCH(qint64, maxUnpacked);
    QFETCH(TExtractStatus, status);
    QFETCH(QString, reason);
    TExtractLimits limits;
    limits.MaxZipEntries = maxEntries;
    limits.MaxUnpackedBytes = maxUnpacked;
    QElapsedTimer clock;
    clock.start();
    const TExtractResult result = ExtractText(document, limits);
    QCOMPARE(result.Status, status);
    QVERIFY(result.Text.isEmpty());
    QVERIFY2(result.Reason.contains(reason), qPrintable(result.Reason));
    // Refused early: a bomb is not unpacked to its end.
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
}

QTEST_MAIN(TstTextExtraction)
#include "tst_textextraction.moc"
