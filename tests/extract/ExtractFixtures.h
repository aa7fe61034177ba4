// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Documents built by the tests themselves, with the text each must give.

#include <QBuffer>
#include <QByteArray>
#include <QList>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QStringList>

#include "ZipInMemory.h"

#include <utility>

namespace ExtractFixtures {

/// A zip archive of `entries` (name, bytes), deflated unless `stored`.
inline QByteArray Zip(const QList<std::pair<QString, QByteArray>> &entries, bool stored = false)
{
    QList<std::pair<QByteArray, QByteArray>> utf8Named;
    for (const auto &[name, bytes] : entries)
        utf8Named.append({name.toUtf8(), bytes});
    return ZipInMemory(utf8Named, stored);
}

/// A PDF with one page per entry of `pages`, each page's lines drawn top
/// down. Needs a QGuiApplication (fonts).
inline QByteArray Pdf(const QList<QStringList> &pages)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        QPainter painter(&writer);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSize(12);
        painter.setFont(font);
        for (qsizetype page = 0; page < pages.size(); ++page) {
            if (page > 0)
                writer.newPage();
            int y = 60;
            for (const QString &line : pages[page]) {
                painter.drawText(50, y, line);
                y += 20;
            }
        }
    }
    return buffer.data();
}

// --- Office Open XML -------------------------------------------------------

inline QByteArray ContentTypes(const QByteArray &overrides)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           + overrides + "</Types>";
}

inline QByteArray Relationships(const QList<std::pair<QByteArray, QByteArray>> &idTypeTargets,
                                const QByteArray &typePrefix, const QList<QByteArray> &targets)
{
    QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (qsizetype i = 0; i < idTypeTargets.size(); ++i)
        rels += "<Relationship Id=\"" + idTypeTargets[i].first + "\" Type=\"" + typePrefix + idTypeTargets[i].second
                + "\" Target=\"" + targets[i] + "\"/>";
    return rels + "</Relationships>";
}

inline const QByteArray &OfficeRelationshipTypes()
{
    static const QByteArray prefix = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    return prefix;
}

/// A word-processing document whose body is `bodyXml` (w: elements).
inline QByteArray Docx(const QByteArray &bodyXml)
{
    const QByteArray document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
        "xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\" mc:Ignorable=\"wps\">"
        "<w:body>"
        + bodyXml + "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr></w:body></w:document>";
    return Zip({{QStringLiteral("[Content_Types].xml"),
                 ContentTypes("<Override PartName=\"/word/document.xml\" ContentType=\"application/"
                              "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>")},
                {QStringLiteral("_rels/.rels"),
                 Relationships({{"rId1", "officeDocument"}}, OfficeRelationshipTypes(), {"word/document.xml"})},
                {QStringLiteral("word/document.xml"), document}});
}

/// A paragraph of plain runs.
inline QByteArray Paragraph(const QByteArray &text)
{
    return "<w:p><w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
}

/// The DOCX of the tests: paragraphs, a table, tab stops that are no tabs,
/// a tab and a break, a deleted revision and a drawing's fallback copy.
inline QByteArray DocxWithTable()
{
    return Docx("<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
                "<w:r><w:t>Quarterly </w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>report</w:t></w:r></w:p>"
                "<w:p/>"
                "<w:p><w:r><w:t>Name</w:t><w:tab/><w:t>Kind</w:t><w:br/><w:t>next line</w:t></w:r>"
                "<w:del w:id=\"1\" w:author=\"x\"><w:r><w:delText>gone</w:delText></w:r></w:del></w:p>"
                "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr>"
                "<w:tr><w:tc><w:p><w:r><w:t>Item</w:t></w:r></w:p></w:tc>"
                "<w:tc><w:p><w:r><w:t>Price</w:t></w:r></w:p></w:tc></w:tr>"
                "<w:tr><w:tc><w:p><w:r><w:t>Tea</w:t></w:r></w:p><w:p><w:r><w:t>green</w:t></w:r></w:p></w:tc>"
                "<w:tc><w:p/></w:tc></w:tr></w:tbl>"
                "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><w:txbxContent>"
                "<w:p><w:r><w:t>In a box</w:t></w:r></w:p></w:txbxContent></w:drawing></mc:Choice>"
                "<mc:Fallback><w:pict><w:txbxContent><w:p><w:r><w:t>In a box</w:t></w:r></w:p>"
                "</w:txbxContent></w:pict></mc:Fallback></mc:AlternateContent>"
                "<w:t>After</w:t></w:r></w:p>");
}
inline const QString DocxWithTableText = QStringLiteral(
    "Quarterly report\n\nName\tKind\nnext line\nItem\tPrice\nTea green\t\nIn a box\nAfter\n");

/// A workbook with two sheets: shared and inline strings, a number, a
/// boolean, a gap between columns, an empty row, and a phonetic guide that
/// is no text.
inline QByteArray XlsxWithTwoSheets()
{
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    const QByteArray workbook = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workbook " + ns
                                + "><sheets><sheet name=\"Prices\" sheetId=\"1\" r:id=\"rId2\"/>"
                                  "<sheet name=\"Notes\" sheetId=\"2\" r:id=\"rId1\"/></sheets></workbook>";
    const QByteArray shared = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sst " + ns
                              + " count=\"3\" uniqueCount=\"3\"><si><t>Item</t></si>"
                                "<si><r><t>Gr</t></r><r><rPr><b/></rPr><t>\xC3\xBC" "n</t></r>"
                                "<rPh><t>guide</t></rPh></si><si><t>Price</t></si></sst>";
    const QByteArray sheet1 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet " + ns
                              + "><sheetData>"
                                "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>2</v></c></row>"
                                "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c><c r=\"B2\"><v>3.5</v></c>"
                                "<c r=\"D2\" t=\"b\"><v>1</v></c></row>"
                                "<row r=\"3\"><c r=\"A3\" s=\"1\"/></row>"
                                "<row r=\"4\"><c r=\"A4\"><f>B2*2</f><v>7</v></c></row>"
                                "</sheetData></worksheet>";
    const QByteArray sheet2 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet " + ns
                              + "><sheetData><row r=\"1\"><c r=\"B1\" t=\"inlineStr\"><is><t>inline</t></is></c>"
                                "</row></sheetData></worksheet>";
    const QByteArray sheetType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
    return Zip({{QStringLiteral("[Content_Types].xml"),
                 ContentTypes("<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
                              "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                              "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\""
                              + sheetType + "\"/><Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\""
                              + sheetType + "\"/>")},
                {QStringLiteral("_rels/.rels"),
                 Relationships({{"rId1", "officeDocument"}}, OfficeRelationshipTypes(), {"xl/workbook.xml"})},
                {QStringLiteral("xl/workbook.xml"), workbook},
                // The relationship ids are not in sheet order: the workbook's list decides.
                {QStringLiteral("xl/_rels/workbook.xml.rels"),
                 Relationships({{"rId1", "worksheet"}, {"rId2", "worksheet"}, {"rId3", "sharedStrings"}},
                               OfficeRelationshipTypes(),
                               {"worksheets/sheet2.xml", "/xl/worksheets/sheet1.xml", "sharedStrings.xml"})},
                {QStringLiteral("xl/sharedStrings.xml"), shared},
                {QStringLiteral("xl/worksheets/sheet1.xml"), sheet1},
                {QStringLiteral("xl/worksheets/sheet2.xml"), sheet2}});
}
inline const QString XlsxWithTwoSheetsText =
    QStringLiteral("Prices\nItem\tPrice\nGr\u00FCn\t3.5\t\tTRUE\n7\n\nNotes\n\tinline\n");

/// A presentation of two slides, listed in the opposite order of their
/// part names, one with a title and a table.
inline QByteArray PptxWithTwoSlides()
{
    const QByteArray ns = "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                          "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    const QByteArray presentation = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<p:presentation " + ns
                                    + "><p:sldIdLst><p:sldId id=\"256\" r:id=\"rId3\"/><p:sldId id=\"257\" "
                                      "r:id=\"rId2\"/></p:sldIdLst></p:presentation>";
    auto slide = [&](const QByteArray &shapes) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<p:sld " + ns + "><p:cSld><p:spTree>" + shapes
               + "</p:spTree></p:cSld></p:sld>";
    };
    const QByteArray first = slide("<p:sp><p:txBody><a:bodyPr/><a:p><a:r><a:rPr lang=\"en\"/><a:t>Welcome</a:t></a:r>"
                                   "<a:endParaRPr/></a:p><a:p><a:r><a:t>to the</a:t></a:r><a:br/><a:r><a:t>show"
                                   "</a:t></a:r></a:p></p:txBody></p:sp>");
    const QByteArray second = slide("<p:graphicFrame><a:graphic><a:graphicData><a:tbl><a:tr><a:tc><a:txBody><a:p>"
                                    "<a:r><a:t>x</a:t></a:r></a:p></a:txBody></a:tc><a:tc><a:txBody><a:p><a:r><a:t>y"
                                    "</a:t></a:r></a:p></a:txBody></a:tc></a:tr></a:tbl></a:graphicData></a:graphic>"
                                    "</p:graphicFrame>");
    return Zip({{QStringLiteral("[Content_Types].xml"),
                 ContentTypes("<Override PartName=\"/ppt/presentation.xml\" ContentType=\"application/"
                              "vnd.openxmlformats-officedocument.presentationml.presentation.main+xml\"/>")},
                {QStringLiteral("ppt/presentation.xml"), presentation},
                {QStringLiteral("ppt/_rels/presentation.xml.rels"),
                 Relationships({{"rId2", "slide"}, {"rId3", "slide"}}, OfficeRelationshipTypes(),
                               {"slides/slide1.xml", "slides/slide2.xml"})},
                {QStringLiteral("ppt/slides/slide1.xml"), second},
                {QStringLiteral("ppt/slides/slide2.xml"), first}});
}
inline const QString PptxWithTwoSlidesText = QStringLiteral("Welcome\nto the\nshow\n\nx\ty\n");

// --- OpenDocument ----------------------------------------------------------

inline QByteArray OpenDocument(const QByteArray &mimeType, const QByteArray &bodyXml)
{
    const QByteArray content =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
        "xmlns:presentation=\"urn:oasis:names:tc:opendocument:xmlns:presentation:1.0\" office:version=\"1.3\">"
        "<office:body>"
        + bodyXml + "</office:body></office:document-content>";
    // The mimetype entry comes first and unpacked, as the format asks.
    return Zip({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument." + mimeType},
                {QStringLiteral("content.xml"), content},
                {QStringLiteral("META-INF/manifest.xml"), "<manifest/>"}});
}

/// The ODT of the tests: a heading, spaces and a tab, a footnote that is
/// left out, a list and a table.
inline QByteArray OdtWithTable()
{
    return OpenDocument(
        "text",
        "<office:text><text:h text:outline-level=\"1\">Quarterly report</text:h>"
        "<text:p>Name<text:tab/>Kind<text:s text:c=\"2\"/>x<text:line-break/>next line"
        "<text:note text:note-class=\"footnote\"><text:note-citation>1</text:note-citation><text:note-body>"
        "<text:p>A note</text:p></text:note-body></text:note></text:p>"
        "<text:list><text:list-item><text:p>first</text:p></text:list-item></text:list>"
        "<table:table table:name=\"Table1\"><table:table-column table:number-columns-repeated=\"2\"/>"
        "<table:table-row><table:table-cell><text:p>Item</text:p></table:table-cell>"
        "<table:table-cell><text:p>Price</text:p></table:table-cell></table:table-row>"
        "<table:table-row><table:table-cell><text:p>Tea</text:p><text:p>green</text:p></table:table-cell>"
        "<table:table-cell/></table:table-row></table:table>"
        "<text:p/><text:p>After</text:p></office:text>");
}
inline const QString OdtWithTableText =
    QStringLiteral("Quarterly report\nName\tKind  x\nnext line\nfirst\nItem\tPrice\nTea green\t\n\nAfter\n");

/// A spreadsheet of two sheets with repeated cells and rows.
inline QByteArray OdsWithTwoSheets()
{
    return OpenDocument(
        "spreadsheet",
        "<office:spreadsheet><table:table table:name=\"Prices\">"
        "<table:table-row><table:table-cell><text:p>Item</text:p></table:table-cell>"
        "<table:table-cell table:number-columns-repeated=\"2\"><text:p>same</text:p></table:table-cell>"
        "<table:table-cell table:number-columns-repeated=\"16380\"/></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell "
        "table:number-columns-repeated=\"16384\"/></table:table-row></table:table>"
        "<table:table table:name=\"Notes\"><table:table-row table:number-rows-repeated=\"2\">"
        "<table:table-cell/><table:table-cell><text:p>twice</text:p></table:table-cell></table:table-row>"
        "</table:table></office:spreadsheet>");
}
inline const QString OdsWithTwoSheetsText = QStringLiteral("Prices\nItem\tsame\tsame\n\nNotes\n\ttwice\n\ttwice\n");

// --- Text formats ------------------------------------------------------------

inline const QByteArray Rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                              "{\\colortbl;\\red255\\green0\\blue0;}{\\*\\generator Writer;}"
                              "{\\info{\\title Hidden}}\\pard Caf\\'e9 {\\b bold} text\\par\n"
                              "Tab\\tab here\\line next \\u8364? \\{braces\\}\\par\n"
                              "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row\n"
                              "\\pard After{\\footnote a note}\\par}";
inline const QString RtfText =
    QStringLiteral("Caf\u00E9 bold text\nTab\there\nnext \u20AC {braces}\nA\tB\nAfter\n");

inline const QByteArray Html =
    "<!DOCTYPE html>\n<html><head><meta charset=\"windows-1252\"><title>The  page</title>"
    "<style>p { color: red; }</style><script>document.write(\"<p>not this</p>\");</script></head>\n"
    "<body><h1>Welcome &amp; hello</h1>\n<p>Some   <b>bold</b>\n text&nbsp;&#233;&#x20AC; \xE9</p>"
    "<!-- a <p>comment</p> -->\n<ul><li>one</li><li>two</li></ul>"
    "<table><tr><th>A</th><th>B</th></tr><tr><td>1<td>2</table>"
    "<pre>  keep\n    this</pre>Line<br>break</body></html>";
inline const QString HtmlText = QStringLiteral(
    "The page\nWelcome & hello\nSome bold text\u00A0\u00E9\u20AC \u00E9\none\ntwo\nA\tB\n1\t2\n  keep\n    this\n"
    "Line\nbreak\n");

/// A message with a plain part (quoted-printable, Latin-1), an HTML part
/// (base64, UTF-8) and an attachment that is left out.
inline const QByteArray Eml =
    "From: Alice <alice@example.org>\r\nTo: bob@example.org\r\nSubject: Report\r\n"
    "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"outer\"\r\n\r\n"
    "This is a multi-part message in MIME format.\r\n--outer\r\n"
    "Content-Type: multipart/alternative;\r\n boundary=\"inner\"\r\n\r\n--inner\r\n"
    "Content-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
    "Gr=FC=DFe, Bob.\r\nA long line that is wrapped=\r\n softly.\r\n--inner\r\n"
    "Content-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
    + QByteArray("<p>Gr\xC3\xBC\xC3\x9F" "e, <b>Bob</b>.</p><p>HTML part</p>").toBase64() + "\r\n--inner--\r\n"
    "--outer\r\nContent-Type: text/plain; name=\"a.txt\"\r\nContent-Disposition: attachment; filename=\"a.txt\"\r\n"
    "\r\nattached\r\n--outer--\r\n";
inline const QString EmlText = QStringLiteral(
    "Gr\u00FC\u00DFe, Bob.\nA long line that is wrapped softly.\n\nGr\u00FC\u00DFe, Bob.\nHTML part\n");

inline const QByteArray Xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- not this -->\n"
                              "<catalog>\n  <book id=\"1\">\n    <title>Caf\xE9 &amp; more</title>\n"
                              "    <note><![CDATA[<raw>]]> text</note>\n  </book>\n</catalog>\n";
inline const QString XmlText = QStringLiteral("Caf\u00E9 & more\n<raw> text\n");

/// UTF-16 LE with its byte-order mark, as the text files of the program.
inline QByteArray Utf16Text()
{
    QByteArray bytes("\xFF\xFE");
    const QString text = QStringLiteral("Zeile 1\r\nGr\u00FC\u00DFe\r\n");
    bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return bytes;
}
inline const QString Utf16TextText = QStringLiteral("Zeile 1\r\nGr\u00FC\u00DFe\r\n");

inline QByteArray TwoPagePdf()
{
    return Pdf({{QStringLiteral("First page, line one"), QStringLiteral("Line two")},
                {QStringLiteral("Second page")}});
}
inline const QString TwoPagePdfText = QStringLiteral("First page, line one\nLine two\n\nSecond page\n");

/// A DOCX whose document part unpacks to 60 MB of empty paragraphs from a
/// few hundred kilobytes.
inline QByteArray ZipBombDocx()
{
    QByteArray paragraphs;
    paragraphs.reserve(60 << 20);
    while (paragraphs.size() < (60 << 20))
        paragraphs += "<w:p/>";
    return Docx(paragraphs);
}

struct TFixture {
    const char *Name;
    QByteArray Bytes;
    QString Text;
};

/// One document of each kind with its text. Needs a QGuiApplication.
inline QList<TFixture> Fixtures()
{
    return {
        {"a two-page PDF: pages apart by a blank line", TwoPagePdf(), TwoPagePdfText},
        {"a DOCX with a table, tab stops, a break, a deletion and a drawing's fallback", DocxWithTable(),
         DocxWithTableText},
        {"an ODT with a table, spaces, a note and a list", OdtWithTable(), OdtWithTableText},
        {"an XLSX with two sheets in workbook order", XlsxWithTwoSheets(), XlsxWithTwoSheetsText},
        {"an ODS whose runs of cells and rows reach the sheet's edge", OdsWithTwoSheets(), OdsWithTwoSheetsText},
        {"a PPTX with two slides in presentation order", PptxWithTwoSlides(), PptxWithTwoSlidesText},
        {"an RTF with tables of fonts, colours and information", Rtf, RtfText},
        {"an HTML page with a script, a style and a comment", Html, HtmlText},
        {"an EML with a text and an HTML part and an attachment", Eml, EmlText},
        {"an XML document in Latin-1", Xml, XmlText},
        {"UTF-16 text keeps its line breaks", Utf16Text(), Utf16TextText},
    };
}

} // namespace ExtractFixtures
