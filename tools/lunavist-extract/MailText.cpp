// SPDX-License-Identifier: GPL-3.0-or-later
#include "MailText.h"

#include "Charsets.h"
#include "Digits.h"
#include "ExtractTypes.h"
#include "HtmlText.h"
#include "TextBuilder.h"

#include <QByteArray>
#include <QList>

using namespace Qt::StringLiterals;

namespace {

struct THeaderField {
    QByteArray Name; ///< lower case
    QByteArray Value;
};

struct TPart {
    QList<THeaderField> Headers;
    QByteArrayView Body;

    QByteArray Header(QByteArrayView name) const
    {
        for (const THeaderField &field : Headers) {
            if (field.Name == name)
                return field.Value;
        }
        return QByteArray();
    }
};

// Splits a message or part into its header fields (continuation lines
// joined) and its body, after the first empty line.
TPart SplitPart(QByteArrayView bytes)
{
    TPart part;
    qsizetype at = 0;
    if (bytes.startsWith("From ")) { // an mbox separator line
        const qsizetype end = bytes.indexOf('\n');
        at = end < 0 ? bytes.size() : end + 1;
    }
    while (at < bytes.size()) {
        const qsizetype lineStart = at;
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(at, end - at);
        if (line.endsWith('\r'))
            line.chop(1);
        at = std::min(end + 1, bytes.size());
        if (line.isEmpty()) {
            part.Body = bytes.sliced(at);
            return part;
        }
        if ((line.front() == ' ' || line.front() == '\t') && !part.Headers.isEmpty()) {
            part.Headers.back().Value += ' ' + line.trimmed().toByteArray();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) { // no header: the body starts here
            part.Body = bytes.sliced(lineStart);
            return part;
        }
        part.Headers.append({line.first(colon).trimmed().toByteArray().toLower(),
                             line.sliced(colon + 1).trimmed().toByteArray()});
    }
    return part;
}

// The value of `parameter` in a structured field such as Content-Type
// ("text/plain; charset="utf-8""), unquoted; empty when absent.
QByteArray Parameter(const QByteArray &field, QByteArrayView parameter)
{
    qsizetype at = field.indexOf(';');
    while (at >= 0 && at < field.size()) {
        ++at;
        const qsizetype equals = field.indexOf('=', at);
        if (equals < 0)
            return QByteArray();
        const QByteArray name = field.sliced(at, equals - at).trimmed().toLower();
        qsizetype i = equals + 1;
        while (i < field.size() && (field[i] == ' ' || field[i] == '\t'))
            ++i;
        QByteArray value;
        if (i < field.size() && field[i] == '"') {
            for (++i; i < field.size() && field[i] != '"'; ++i) {
                if (field[i] == '\\' && i + 1 < field.size())
                    ++i;
                value += field[i];
            }
            at = field.indexOf(';', i);
        } else {
            const qsizetype end = field.indexOf(';', i);
            value = field.sliced(i, (end < 0 ? field.size() : end) - i).trimmed();
            at = end;
        }
        if (name == parameter)
            return value;
    }
    return QByteArray();
}

QByteArray MediaType(const TPart &part)
{
    const QByteArray field = part.Header("content-type");
    const qsizetype end = field.indexOf(';');
    const QByteArray type = (end < 0 ? field : field.first(end)).trimmed().toLower();
    return type.isEmpty() ? QByteArray("text/plain") : type;
}

QByteArray DecodedBody(const TPart &part)
{
    const QByteArray encoding = part.Header("content-transfer-encoding").trimmed().toLower();
    if (encoding == "base64")
        return QByteArray::fromBase64(part.Body.toByteArray());
    if (encoding == "quoted-printable")
        return DecodeQuotedPrintable(part.Body);
    return part.Body.toByteArray();
}

// The parts of a multipart body between its "--boundary" lines; the
// preamble and epilogue are not parts. A missing closing line ends the
// last part at the end of the body.
QList<QByteArrayView> MultipartBodies(QByteArrayView body, const QByteArray &boundary)
{
    QList<QByteArrayView> parts;
    const QByteArray delimiter = "--" + boundary;
    qsizetype partStart = -1;
    qsizetype at = 0;
    while (at <= body.size()) {
        qsizetype end = body.indexOf('\n', at);
        if (end < 0)
            end = body.size();
        const QByteArrayView line = body.sliced(at, end - at);
        if (line.startsWith(delimiter)) {
            const QByteArrayView after = line.sliced(delimiter.size());
            const bool closing = after.startsWith("--");
            if (closing || after.trimmed().isEmpty()) {
                if (partStart >= 0) {
                    // The line break before the delimiter belongs to it.
                    qsizetype partEnd = at;
                    if (partEnd > partStart && body[partEnd - 1] == '\n')
                        --partEnd;
                    if (partEnd > partStart && body[partEnd - 1] == '\r')
                        --partEnd;
                    parts.append(body.sliced(partStart, partEnd - partStart));
                }
                if (closing)
                    return parts;
                partStart = std::min(end + 1, body.size());
            }
        }
        if (end >= body.size())
            break;
        at = end + 1;
    }
    if (partStart >= 0 && partStart < body.size())
        parts.append(body.sliced(partStart));
    return parts;
}

class TMailReader {
public:
    explicit TMailReader(int maxNesting) : FMaxNesting(maxNesting) {}

    QString Read(QByteArrayView bytes)
    {
        Walk(SplitPart(bytes), 0);
        return FOut.Finish();
    }

private:
    void Walk(const TPart &part, int depth)
    {
        if (depth > FMaxNesting)
            throw TExtractFailure(u"The message nests parts deeper than %1 levels."_s.arg(FMaxNesting));
        const QByteArray type = MediaType(part);
        if (part.Header("content-disposition").trimmed().toLower().startsWith("attachment"))
            return;
        if (type.startsWith("multipart/")) {
            const QByteArray boundary = Parameter(part.Header("content-type"), "boundary");
            if (boundary.isEmpty())
                return;
            for (const QByteArrayView body : MultipartBodies(part.Body, boundary))
                Walk(SplitPart(body), depth + 1);
        } else if (type == "message/rfc822") {
            Walk(SplitPart(part.Body), depth + 1);
        } else if (type == "text/plain" || type == "text/html") {
            const QString text = DecodeCharset(DecodedBody(part), Parameter(part.Header("content-type"), "charset"));
            FOut.StartSection();
            if (type == "text/html") {
                AppendLines(ExtractHtmlText(QStringView(text)));
            } else {
                AppendLines(text);
            }
        }
    }

    void AppendLines(QStringView text)
    {
        if (text.endsWith(u'\n'))
            text.chop(1);
        for (QStringView line : text.split(u'\n')) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            FOut.Append(line);
            FOut.EndLine();
        }
    }

    int FMaxNesting;
    TTextBuilder FOut;
};

} // namespace

QByteArray DecodeQuotedPrintable(QByteArrayView bytes)
{
    QByteArray decoded;
    decoded.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '=') {
            decoded += c;
            continue;
        }
        // A soft line break: "=" then optional blanks, then CR LF or LF.
        qsizetype j = i + 1;
        while (j < bytes.size() && (bytes[j] == ' ' || bytes[j] == '\t'))
            ++j;
        if (j < bytes.size() && (bytes[j] == '\r' || bytes[j] == '\n')) {
            if (bytes[j] == '\r' && j + 1 < bytes.size() && bytes[j + 1] == '\n')
                ++j;
            i = j;
            continue;
        }
        if (j == bytes.size()) {
            i = j;
            continue;
        }
        const int high = i + 1 < bytes.size() ? HexDigitValue(bytes[i + 1]) : -1;
        const int low = i + 2 < bytes.size() ? HexDigitValue(bytes[i + 2]) : -1;
        if (high >= 0 && low >= 0) {
            decoded += char(high * 16 + low);
            i += 2;
        } else {
            decoded += c;
        }
    }
    return decoded;
}

QString ExtractMailText(QByteArrayView bytes, int maxNesting)
{
    return TMailReader(maxNesting).Read(bytes);
}
