// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormatDetection.h"

#include "FileClassification.h"
#include "ZipPackage.h"

#include <QByteArray>
#include <QList>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Enough for a prolog, a doctype and a mail's first header lines.
constexpr qsizetype SniffBytes = 4096;

quint32 LittleEndian32(QByteArrayView bytes, qsizetype at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

bool IsImage(QByteArrayView bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1A\n") || bytes.startsWith("\xFF\xD8\xFF") || bytes.startsWith("GIF87a")
        || bytes.startsWith("GIF89a") || bytes.startsWith(QByteArrayView("II*\0", 4))
        || bytes.startsWith(QByteArrayView("MM\0*", 4)))
        return true;
    if (bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.sliced(8, 4) == "WEBP")
        return true;
    // "BM" alone starts many texts; the header's size of the second header
    // tells a bitmap.
    if (bytes.size() >= 18 && bytes.startsWith("BM")) {
        static const QList<quint32> headerSizes = {12, 40, 52, 56, 64, 108, 124};
        return headerSizes.contains(LittleEndian32(bytes, 14));
    }
    return false;
}

// The start of a text document as Latin-1 text, enough to find ASCII
// markers in any of the text encodings (UTF-16 is decoded first).
QString SniffText(QByteArrayView bytes)
{
    const QByteArrayView head = bytes.first(std::min(bytes.size(), SniffBytes));
    QString text;
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        const bool little = head.startsWith("\xFF\xFE");
        for (qsizetype i = 2; i + 1 < head.size(); i += 2) {
            const char16_t unit = little ? char16_t(quint8(head[i]) | quint8(head[i + 1]) << 8)
                                         : char16_t(quint8(head[i]) << 8 | quint8(head[i + 1]));
            text += QChar(unit);
        }
    } else {
        text = QString::fromLatin1(head.startsWith("\xEF\xBB\xBF") ? head.sliced(3) : head);
    }
    return text;
}

bool LooksLikeHtml(const QString &lowerText)
{
    static const QList<QString> markers = {u"<!doctype html"_s, u"<html"_s, u"<head"_s, u"<body"_s,
                                           u"<script"_s, u"<div"_s, u"<p>"_s, u"<br"_s, u"<table"_s};
    return std::any_of(markers.begin(), markers.end(), [&](const QString &m) { return lowerText.contains(m); });
}

// A mail starts with header fields ("Name: value", continued on lines that
// start with white space) up to an empty line. Two or more well-known field
// names tell a message from a text that happens to start with "Note: ...".
bool LooksLikeMail(const QString &text)
{
    static const QSet<QString> wellKnown = {u"from"_s, u"to"_s, u"cc"_s, u"subject"_s, u"date"_s,
                                           u"message-id"_s, u"mime-version"_s, u"received"_s,
                                           u"return-path"_s, u"content-type"_s, u"reply-to"_s,
                                           u"delivered-to"_s, u"sender"_s};
    QStringList lines = text.split(u'\n');
    lines.removeLast(); // may be cut by the sniffing limit
    qsizetype first = 0;
    if (!lines.isEmpty() && lines.first().startsWith(u"From "_s))
        first = 1; // an mbox separator line
    int known = 0;
    for (qsizetype i = first; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty())
            return i > first && known >= 2;
        if (line.front() == u' ' || line.front() == u'\t') {
            if (i == first)
                return false;
            continue;
        }
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0)
            return false;
        const QString name = line.first(colon);
        const bool isName = std::all_of(name.begin(), name.end(), [](QChar c) {
            return c.unicode() > 32 && c.unicode() < 127;
        });
        if (!isName)
            return false;
        known += wellKnown.contains(name.toLower());
    }
    return known >= 2; // the sniffed start held only headers
}

TDocumentFormat DetectTextFormat(QByteArrayView bytes)
{
    const QString text = SniffText(bytes);
    const QString start = text.trimmed().toLower();
    if (start.startsWith(u'<')) {
        if (LooksLikeHtml(start))
            return TDocumentFormat::dfHtml;
        if (start.size() > 1 && (start[1].isLetter() || start[1] == u'?' || start[1] == u'!' || start[1] == u'_'))
            return TDocumentFormat::dfXml;
    }
    if (LooksLikeMail(text))
        return TDocumentFormat::dfMail;
    return TDocumentFormat::dfText;
}

} // namespace

TDocumentFormat DetectFormat(QByteArrayView bytes)
{
    if (bytes.startsWith("%PDF-"))
        return TDocumentFormat::dfPdf;
    if (bytes.startsWith("PK\x03\x04"))
        return TDocumentFormat::dfZip;
    if (bytes.startsWith("{\\rtf"))
        return TDocumentFormat::dfRtf;
    if (IsImage(bytes))
        return TDocumentFormat::dfImage;
    if (IsTextBytes(bytes).IsText)
        return DetectTextFormat(bytes);
    // Readers accept a PDF behind some bytes of junk (a mail's leftovers).
    if (bytes.first(std::min<qsizetype>(bytes.size(), 1024)).indexOf("%PDF-") >= 0)
        return TDocumentFormat::dfPdf;
    return TDocumentFormat::dfUnknown;
}

QString FormatName(TDocumentFormat format)
{
    switch (format) {
    case TDocumentFormat::dfUnknown:
        return u"unknown binary"_s;
    case TDocumentFormat::dfPdf:
        return u"PDF"_s;
    case TDocumentFormat::dfZip:
        return u"zip"_s;
    case TDocumentFormat::dfRtf:
        return u"RTF"_s;
    case TDocumentFormat::dfHtml:
        return u"HTML"_s;
    case TDocumentFormat::dfXml:
        return u"XML"_s;
    case TDocumentFormat::dfMail:
        return u"mail"_s;
    case TDocumentFormat::dfImage:
        return u"image"_s;
    case TDocumentFormat::dfText:
        return u"plain text"_s;
    }
    return QString();
}

TPackageFormat DetectPackageFormat(TZipPackage &package)
{
    if (package.Contains(u"[Content_Types].xml"_s)) {
        const std::unique_ptr<TXmlTokens> tokens = package.OpenXml(u"[Content_Types].xml"_s);
        for (auto token = tokens->Next(); token != QXmlStreamReader::EndDocument; token = tokens->Next()) {
            if (token != QXmlStreamReader::StartElement || tokens->Reader().name() != u"Override")
                continue;
            const QString type = tokens->Attribute(u"ContentType").toLower();
            if (!type.endsWith(u".main+xml"))
                continue;
            QString part = tokens->Attribute(u"PartName");
            if (part.startsWith(u'/'))
                part.remove(0, 1);
            if (type.contains(u"wordprocessingml.") || type.contains(u"ms-word."))
                return {TPackageKind::pkWordprocessing, part};
            if (type.contains(u"spreadsheetml.") || type.contains(u"ms-excel."))
                return {TPackageKind::pkSpreadsheet, part};
            if (type.contains(u"presentationml.") || type.contains(u"ms-powerpoint."))
                return {TPackageKind::pkPresentation, part};
        }
        return {};
    }
    if (package.Contains(u"mimetype"_s)) {
        const QByteArray type = package.ReadPart(u"mimetype"_s, 256).trimmed();
        const QByteArray prefix = "application/vnd.oasis.opendocument.";
        if (!type.startsWith(prefix) || !package.Contains(u"content.xml"_s))
            return {};
        // Templates ("text-template") read as their documents.
        const QByteArray kind = type.sliced(prefix.size()).split('-').first();
        if (kind == "text")
            return {TPackageKind::pkOdfText, u"content.xml"_s};
        if (kind == "spreadsheet")
            return {TPackageKind::pkOdfSpreadsheet, u"content.xml"_s};
        if (kind == "presentation")
            return {TPackageKind::pkOdfPresentation, u"content.xml"_s};
    }
    return {};
}
