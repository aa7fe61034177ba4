// SPDX-License-Identifier: GPL-3.0-or-later
#include "HttpRequestParser.h"

#include "Digits.h"

#include <algorithm>

namespace {

constexpr int MaxHeaderFields = 100;
constexpr qsizetype MaxChunkLine = 1024;

bool IsTokenChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
           || QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool IsToken(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), IsTokenChar);
}

// Field values may hold any byte but controls other than tab.
bool IsFieldValue(QByteArrayView text)
{
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7F;
    });
}

} // namespace

QByteArray THttpRequestHead::Header(QByteArrayView name) const
{
    for (const auto &[fieldName, value] : Headers) {
        if (fieldName == name)
            return value;
    }
    return QByteArray();
}

QByteArray THttpRequestHead::Path() const
{
    const qsizetype query = Target.indexOf('?');
    return query < 0 ? Target : Target.first(query);
}

bool THttpRequestHead::KeepAlive() const
{
    bool close = false;
    bool keepAlive = false;
    for (const auto &[name, value] : Headers) {
        if (name != "connection")
            continue;
        for (const QByteArray &option : value.split(',')) {
            const QByteArray word = option.trimmed().toLower();
            close = close || word == "close";
            keepAlive = keepAlive || word == "keep-alive";
        }
    }
    return !close && (MinorVersion >= 1 || keepAlive);
}

THttpRequestParser::THttpRequestParser(qint64 maxBodyBytes, qsizetype maxHeadBytes)
    : FMaxBodyBytes(maxBodyBytes), FMaxHeadBytes(maxHeadBytes)
{
}

void THttpRequestParser::Reset()
{
    FState = stHead;
    FHead = THttpRequestHead();
    FErrorStatus = 0;
    FStarted = false;
    FRemaining = 0;
    FBodyBytes = 0;
    FTrailerBytes = 0;
}

THttpRequestParser::TStep THttpRequestParser::Fail(int status)
{
    FState = stError;
    FErrorStatus = status;
    return psError;
}

bool THttpRequestParser::TakeLine(const QByteArray &input, qsizetype &at, QByteArrayView &line)
{
    const qsizetype end = input.indexOf('\n', at);
    if (end < 0)
        return false;
    line = QByteArrayView(input).sliced(at, end - at);
    if (line.endsWith('\r'))
        line.chop(1);
    at = end + 1;
    return true;
}

THttpRequestParser::TStep THttpRequestParser::Parse(QByteArray &input, QByteArray &body)
{
    if (FState == stError)
        return psError;
    if (FState == stDone)
        return psDone;
    if (FState == stHead)
        return ParseHead(input);

    qsizetype at = 0;
    TStep step = psNeedMore;
    for (bool progress = true; progress && step == psNeedMore;) {
        progress = false;
        QByteArrayView line;
        switch (FState) {
        case stBody:
        case stChunkData:
            progress = TakeBody(input, at, body);
            if (FRemaining == 0) {
                FState = FState == stBody ? stDone : stChunkEnd;
                progress = true;
            }
            if (FState == stDone)
                step = psDone;
            break;
        case stChunkSize: {
            const qsizetype lineStart = at;
            if (!TakeLine(input, at, line)) {
                if (input.size() - at > MaxChunkLine)
                    step = Fail(400);
                break;
            }
            // The same bound for a line that came whole, so the answer does
            // not depend on how the connection cut the bytes.
            if (at - 1 - lineStart > MaxChunkLine) {
                step = Fail(400);
                break;
            }
            const qsizetype extension = line.indexOf(';');
            const QByteArrayView digits = (extension < 0 ? line : line.first(extension)).trimmed();
            if (digits.isEmpty() || digits.size() > 15) {
                step = Fail(digits.size() > 15 ? 413 : 400);
                break;
            }
            qint64 size = 0;
            for (const char c : digits) {
                const int digit = HexDigitValue(c);
                if (digit < 0)
                    return Fail(400);
                size = size * 16 + digit;
            }
            if (size > FMaxBodyBytes - FBodyBytes) {
                step = Fail(413);
                break;
            }
            FRemaining = size;
            FState = size == 0 ? stTrailer : stChunkData;
            progress = true;
            break;
        }
        case stChunkEnd:
            if (!TakeLine(input, at, line)) {
                if (input.size() - at >= 2)
                    step = Fail(400);
                break;
            }
            if (!line.isEmpty()) {
                step = Fail(400);
                break;
            }
            FState = stChunkSize;
            progress = true;
            break;
        case stTrailer:
            if (!TakeLine(input, at, line)) {
                if (FTrailerBytes + input.size() - at > FMaxHeadBytes)
                    step = Fail(431);
                break;
            }
            FTrailerBytes += line.size() + 2;
            if (FTrailerBytes > FMaxHeadBytes) {
                step = Fail(431);
                break;
            }
            if (line.isEmpty()) {
                FState = stDone;
                step = psDone;
            }
            progress = true;
            break;
        default:
            break;
        }
    }
    input.remove(0, at);
    return step;
}

bool THttpRequestParser::TakeBody(QByteArray &input, qsizetype &at, QByteArray &body)
{
    const qsizetype count = qsizetype(std::min<qint64>(FRemaining, input.size() - at));
    if (count <= 0)
        return false;
    body.append(QByteArrayView(input).sliced(at, count));
    at += count;
    FRemaining -= count;
    FBodyBytes += count;
    return true;
}

THttpRequestParser::TStep THttpRequestParser::ParseHead(QByteArray &input)
{
    // Empty lines before a request are tolerated (some clients send a CR LF
    // after a body).
    qsizetype skipped = 0;
    while (skipped < input.size() && (input[skipped] == '\r' || input[skipped] == '\n'))
        ++skipped;
    input.remove(0, skipped);
    if (input.isEmpty())
        return psNeedMore;
    FStarted = true;

    qsizetype headEnd = -1;
    for (qsizetype lineFeed = input.indexOf('\n'); lineFeed >= 0; lineFeed = input.indexOf('\n', lineFeed + 1)) {
        if (lineFeed + 1 < input.size() && input[lineFeed + 1] == '\n') {
            headEnd = lineFeed + 2;
            break;
        }
        if (lineFeed + 2 < input.size() && input[lineFeed + 1] == '\r' && input[lineFeed + 2] == '\n') {
            headEnd = lineFeed + 3;
            break;
        }
        if (lineFeed > FMaxHeadBytes)
            break;
    }
    if (headEnd < 0)
        return input.size() > FMaxHeadBytes ? Fail(431) : psNeedMore;
    if (headEnd > FMaxHeadBytes)
        return Fail(431);

    qsizetype at = 0;
    QByteArrayView line;
    TakeLine(input, at, line);
    const QList<QByteArrayView> parts = [&] {
        QList<QByteArrayView> pieces;
        for (qsizetype start = 0;;) {
            const qsizetype space = line.indexOf(' ', start);
            pieces.append(line.sliced(start, (space < 0 ? line.size() : space) - start));
            if (space < 0)
                return pieces;
            start = space + 1;
        }
    }();
    if (parts.size() != 3 || !IsToken(parts[0]) || parts[1].isEmpty() || !IsFieldValue(parts[1]))
        return Fail(400);
    if (parts[2] == "HTTP/1.1")
        FHead.MinorVersion = 1;
    else if (parts[2] == "HTTP/1.0")
        FHead.MinorVersion = 0;
    else
        return Fail(parts[2].startsWith("HTTP/") ? 505 : 400);
    FHead.Method = parts[0].toByteArray();
    FHead.Target = parts[1].toByteArray();

    while (TakeLine(input, at, line) && !line.isEmpty()) {
        // Folded continuation lines are obsolete and a smuggling risk.
        if (line.front() == ' ' || line.front() == '\t')
            return Fail(400);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !IsToken(line.first(colon)) || !IsFieldValue(line.sliced(colon + 1)))
            return Fail(400);
        if (FHead.Headers.size() >= MaxHeaderFields)
            return Fail(431);
        FHead.Headers.append({line.first(colon).toByteArray().toLower(), line.sliced(colon + 1).trimmed().toByteArray()});
    }
    input.remove(0, headEnd);

    QByteArray length;
    bool chunked = false;
    for (const auto &[name, value] : FHead.Headers) {
        if (name == "content-length") {
            const bool digits = !value.isEmpty() && std::all_of(value.begin(), value.end(), [](char c) {
                return c >= '0' && c <= '9';
            });
            // Two different lengths would let a proxy and us disagree
            // where the body ends.
            if (!digits || (!length.isEmpty() && length != value))
                return Fail(400);
            length = value;
        } else if (name == "transfer-encoding") {
            if (chunked)
                return Fail(400);
            if (value.toLower() != "chunked")
                return Fail(501); // compressed bodies are not accepted
            chunked = true;
        }
    }
    if (chunked && (!length.isEmpty() || FHead.MinorVersion == 0))
        return Fail(400);
    if (chunked) {
        FState = stChunkSize;
    } else if (!length.isEmpty()) {
        if (length.size() > 15 || length.toLongLong() > FMaxBodyBytes)
            return Fail(413);
        FRemaining = length.toLongLong();
        FState = FRemaining > 0 ? stBody : stDone;
    } else {
        FState = stDone;
    }
    return psHead;
}
