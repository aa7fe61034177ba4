// SPDX-License-Identifier: GPL-3.0-or-later
// Requests as the bytes of a connection bring them, whole or byte by byte.
#include "HttpRequestParser.h"

#include <QTest>

class TstHttpRequestParser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsOneRequest_data();
    void readsOneRequest();
    void refusesBeforeReadingTheBody();

private:
    struct TOutcome {
        THttpRequestParser::TStep Step = THttpRequestParser::psNeedMore;
        int Status = 0;
        QByteArray Method, Target, Body, Left;
        bool KeepAlive = false;
        int Heads = 0;
    };
    static TOutcome Feed(const QByteArray &bytes, qsizetype pieceSize);
};

namespace {
constexpr qint64 MaxBody = 100;
constexpr qsizetype MaxHead = 200;
} // namespace

TstHttpRequestParser::TOutcome TstHttpRequestParser::Feed(const QByteArray &bytes, qsizetype pieceSize)
{
    THttpRequestParser parser(MaxBody, MaxHead);
    TOutcome outcome;
    QByteArray input;
    for (qsizetype at = 0; at < bytes.size() && outcome.Step != THttpRequestParser::psDone
                           && outcome.Step != THttpRequestParser::psError;) {
        input += bytes.mid(at, pieceSize);
        at += pieceSize;
        for (;;) {
            outcome.Step = parser.Parse(input, outcome.Body);
            if (outcome.Step != THttpRequestParser::psHead)
                break;
            ++outcome.Heads;
        }
        if (at >= bytes.size() || outcome.Step == THttpRequestParser::psDone)
            outcome.Left = input + bytes.mid(at);
    }
    outcome.Status = parser.ErrorStatus();
    outcome.Method = parser.Head().Method;
    outcome.Target = parser.Head().Target;
    outcome.KeepAlive = parser.Head().KeepAlive();
    return outcome;
}

void TstHttpRequestParser::readsOneRequest_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status"); // 0: the request is complete
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<bool>("keepAlive");

    QTest::newRow("a PUT with a Content-Length body; the next request stays")
        << QByteArray("PUT /tika HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhelloGET / HTTP/1.1\r\n") << 0
        << QByteArray("hello") << QByteArray("GET / HTTP/1.1\r\n") << true;
    QTest::newRow("a chunked body with an extension and a trailer")
        << QByteArray("PUT /tika HTTP/1.1\r\nTransfer-Encoding: Chunked\r\n\r\n5;name=v\r\nhello\r\n"
                      "12\r\n, and sixteen more\r\n0\r\nX-Sum: 1\r\n\r\nnext")
        << 0 << QByteArray("hello, and sixteen more") << QByteArray("next") << true;
    QTest::newRow("bare LF line ends, and empty lines before the request")
        << QByteArray("\r\n\nGET /tika HTTP/1.1\nConnection: close\n\n") << 0 << QByteArray() << QByteArray()
        << false;
    QTest::newRow("HTTP/1.0 closes unless asked to keep alive")
        << QByteArray("GET /tika HTTP/1.0\r\n\r\n") << 0 << QByteArray() << QByteArray() << false;
    QTest::newRow("HTTP/1.0 asking to keep alive")
        << QByteArray("GET /tika HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n") << 0 << QByteArray() << QByteArray()
        << true;
    QTest::newRow("chunks adding up to more than the limit")
        << QByteArray("PUT /tika HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n40\r\n") + QByteArray(64, 'a')
               + "\r\n40\r\n"
        << 413 << QByteArray(64, 'a') << QByteArray() << true;
    QTest::newRow("a head larger than the limit")
        << QByteArray("GET /tika HTTP/1.1\r\nX-Long: ") + QByteArray(300, 'a') + "\r\n\r\n" << 431 << QByteArray()
        << QByteArray() << true;
    QTest::newRow("a folded header line")
        << QByteArray("GET /tika HTTP/1.1\r\nX-A: a\r\n  b\r\n\r\n") << 400 << QByteArray() << QByteArray() << true;
    QTest::newRow("white space before a header's colon")
        << QByteArray("GET /tika HTTP/1.1\r\nHost : x\r\n\r\n") << 400 << QByteArray() << QByteArray() << true;
    QTest::newRow("two different lengths")
        << QByteArray("PUT /tika HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab") << 400
        << QByteArray() << QByteArray() << true;
    QTest::newRow("a length and chunks together")
        << QByteArray("PUT /tika HTTP/1.1\r\nContent-Length: 1\r\nTransfer-Encoding: chunked\r\n\r\n") << 400
        << QByteArray() << QByteArray() << true;
    QTest::newRow("a compressed transfer coding")
        << QByteArray("PUT /tika HTTP/1.1\r\nTransfer-Encoding: gzip, chunked\r\n\r\n") << 501 << QByteArray()
        << QByteArray() << true;
    QTest::newRow("another HTTP version") << QByteArray("GET /tika HTTP/2.0\r\n\r\n") << 505 << QByteArray()
                                          << QByteArray() << true;
    QTest::newRow("a request line with a double space")
        << QByteArray("GET  /tika HTTP/1.1\r\n\r\n") << 400 << QByteArray() << QByteArray() << true;
    QTest::newRow("a chunk size that is no number")
        << QByteArray("PUT /tika HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n") << 400 << QByteArray()
        << QByteArray() << true;
    QTest::newRow("a chunk-size line longer than 1 KiB, even when it comes whole")
        << QByteArray("PUT /tika HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n1;") + QByteArray(1100, 'x')
               + "\r\na\r\n0\r\n\r\n"
        << 400 << QByteArray() << QByteArray() << true;
    QTest::newRow("a chunk longer than its size")
        << QByteArray("PUT /tika HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nabc\r\n0\r\n\r\n") << 400
        << QByteArray("ab") << QByteArray() << true;
}

void TstHttpRequestParser::readsOneRequest()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, left);
    QFETCH(bool, keepAlive);
    // The same outcome whether the bytes come at once or one at a time.
    for (const qsizetype pieceSize : {bytes.size(), qsizetype(1)}) {
        const TOutcome outcome = Feed(bytes, pieceSize);
        QCOMPARE(outcome.Status, status);
        QCOMPARE(outcome.Step, status == 0 ? THttpRequestParser::psDone : THttpRequestParser::psError);
        QCOMPARE(outcome.Body, body);
        if (status == 0) {
            QCOMPARE(outcome.Heads, 1);
            QCOMPARE(outcome.Left, left);
            QCOMPARE(outcome.Target, QByteArray("/tika"));
            QCOMPARE(outcome.KeepAlive, keepAlive);
        }
    }
}

void TstHttpRequestParser::refusesBeforeReadingTheBody()
{
    // Only the head has arrived: the answer need not wait for 2 GB.
    THttpRequestParser parser(MaxBody, MaxHead);
    QByteArray input("PUT /tika HTTP/1.1\r\nContent-Length: 2147483648\r\n\r\n");
    QByteArray body;
    QCOMPARE(parser.Parse(input, body), THttpRequestParser::psError);
    QCOMPARE(parser.ErrorStatus(), 413);
    QCOMPARE(parser.Head().Method, QByteArray("PUT"));

    // After Reset the next request is read afresh.
    parser.Reset();
    input = "GET /tika?x=1 HTTP/1.1\r\n\r\n";
    QCOMPARE(parser.Parse(input, body), THttpRequestParser::psHead);
    QCOMPARE(parser.Parse(input, body), THttpRequestParser::psDone);
    QCOMPARE(parser.Head().Path(), QByteArray("/tika"));
}

QTEST_APPLESS_MAIN(TstHttpRequestParser)
#include "tst_httprequestparser.moc"
