// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <utility>

/// The head of an HTTP/1.0 or HTTP/1.1 request.
struct THttpRequestHead {
    QByteArray Method;
    /// As sent: "/tika", "/tika?x=1".
    QByteArray Target;
    /// 1 for HTTP/1.1, 0 for HTTP/1.0.
    int MinorVersion = 1;
    /// In order; names in lower case, values without surrounding blanks.
    QList<std::pair<QByteArray, QByteArray>> Headers;

    /// The first value of the header `name` (lower case); empty if absent.
    QByteArray Header(QByteArrayView name) const;
    /// The target without its query.
    QByteArray Path() const;
    /// Whether the connection may carry another request: by default for
    /// HTTP/1.1 unless "Connection: close", for HTTP/1.0 only with
    /// "Connection: keep-alive".
    bool KeepAlive() const;
};

/// Reads one request after another from the bytes of a connection, as
/// they arrive, with a Content-Length body or a chunked one. It never holds
/// a body: the body's bytes are handed out as they come. Limits: the head
/// (request line and header fields, and a chunked body's trailer) must fit
/// in `maxHeadBytes`, the body in `maxBodyBytes`; a declared length above
/// the limit fails at once, before any body byte is read.
class THttpRequestParser {
public:
    enum TStep {
        psNeedMore, ///< all input used; feed more
        psHead,     ///< the head is complete (Head()); the body follows
        psDone,     ///< the request is complete; Reset() before the next
        psError,    ///< the bytes break the protocol or a limit: ErrorStatus()
    };

    THttpRequestParser(qint64 maxBodyBytes, qsizetype maxHeadBytes = 16 * 1024);

    /// Consumes bytes from the front of `input` and appends the body's
    /// bytes among them to `body`. Returns psHead once per request, as soon
    /// as the head is read; psDone when the body is complete (bytes of the
    /// next request stay in `input`); psNeedMore when `input` is used up;
    /// psError (from then on) with the status to answer: 400 malformed,
    /// 413 body too large, 431 head too large, 501 a transfer coding other
    /// than chunked, 505 an HTTP version other than 1.0 and 1.1.
    TStep Parse(QByteArray &input, QByteArray &body);

    const THttpRequestHead &Head() const { return FHead; }
    int ErrorStatus() const { return FErrorStatus; }
    /// True once any byte of the current request has been read.
    bool Started() const { return FStarted; }
    /// True while the head is still being read.
    bool InHead() const { return FState == stHead; }
    /// Body bytes handed out so far.
    qint64 BodyBytes() const { return FBodyBytes; }

    /// Forgets the request, ready for the next on the same connection.
    void Reset();

private:
    enum TState { stHead, stBody, stChunkSize, stChunkData, stChunkEnd, stTrailer, stDone, stError };

    TStep Fail(int status);
    TStep ParseHead(QByteArray &input);
    bool TakeBody(QByteArray &input, qsizetype &at, QByteArray &body);
    // One line from `input` at `at` without its CR LF or LF; false when
    // the line is not complete yet.
    static bool TakeLine(const QByteArray &input, qsizetype &at, QByteArrayView &line);

    qint64 FMaxBodyBytes;
    qsizetype FMaxHeadBytes;
    TState FState = stHead;
    THttpRequestHead FHead;
    int FErrorStatus = 0;
    bool FStarted = false;
    qint64 FRemaining = 0; ///< of the Content-Length body or the current chunk
    qint64 FBodyBytes = 0;
    qsizetype FTrailerBytes = 0;
};
