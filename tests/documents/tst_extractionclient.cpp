// SPDX-License-Identifier: GPL-3.0-or-later
// The extraction client against a server the test controls.
#include "ExtractionClient.h"

#include "ExtractionTestServer.h"
#include "HostileHttpServer.h"
#include "TextFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(THostileHttpServer::TAnswer)

class TstExtractionClient : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void sendsTheFileAsThePutBody_data();
    void sendsTheFileAsThePutBody();
    void turnsTheAnswerIntoTextOrError_data();
    void turnsTheAnswerIntoTextOrError();
    void noServerListening();
    void aSilentServerTimesOut();
    void hostileServersEndWithinTheLimits_data();
    void hostileServersEndWithinTheLimits();
    void aFileThatCannotBeOpenedSendsNothing_data();
    void aFileThatCannotBeOpenedSendsNothing();

private:
    QString WriteFile(const QString &name, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstExtractionClient::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TstExtractionClient::WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(m_dir->filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a fixture");
    return file.fileName();
}

void TstExtractionClient::sendsTheFileAsThePutBody_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("a small document with every byte value") << [] {
        QByteArray bytes;
        for (int i = 0; i < 256; ++i)
            bytes += char(i);
        return bytes;
    }();
    QByteArray large(6 * 1024 * 1024 + 7, Qt::Uninitialized);
    QRandomGenerator generator(42);
    generator.fillRange(reinterpret_cast<quint32 *>(large.data()), large.size() / 4);
    QTest::newRow("a document of several megabytes") << large;
    QTest::newRow("an empty document") << QByteArray();
}

void TstExtractionClient::sendsTheFileAsThePutBody()
{
    QFETCH(QByteArray, bytes);
    TExtractionTestServer server;
    server.AnswerBody = "text";
    const QString path = WriteFile(u"doc.pdf"_s, bytes);
    // Another writer keeps the file open: reading it must still work.
    QFile writer(path);
    QVERIFY(writer.open(QIODevice::Append));

    const TExtractionResult result = ExtractDocumentText(path, u"127.0.0.1"_s, server.Port());
    QVERIFY2(result.Success, qPrintable(result.ErrorText));
    QCOMPARE(server.Requests.size(), 1);
    const TExtractionTestServer::TRequest &request = server.Requests.first();
    QCOMPARE(request.Method, "PUT");
    QCOMPARE(request.Path, "/tika");
    QCOMPARE(request.Headers.value("content-type"), "application/octet-stream");
    QCOMPARE(request.Headers.value("accept"), "text/plain; charset=utf-8");
    QCOMPARE(request.Body.size(), bytes.size());
    QVERIFY(request.Body == bytes);
}

void TstExtractionClient::turnsTheAnswerIntoTextOrError_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("reason");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("chunked");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("error");

    const QStringList abc = {u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("200 with CR LF breaks gives the text as sent")
        << 200 << QByteArray("OK") << QByteArray("a\r\nb\r\nc\r\n") << false << true << u"a\r\nb\r\nc\r\n"_s
        << abc << QString();
    QTest::newRow("200 with LF breaks, sent in chunks")
        << 200 << QByteArray("OK") << QByteArray("a\nb\nc") << true << true << u"a\nb\nc"_s << abc << QString();
    QTest::newRow("200 with CR breaks")
        << 200 << QByteArray("OK") << QByteArray("a\rb\rc\r") << false << true << u"a\rb\rc\r"_s << abc
        << QString();
    QTest::newRow("UTF-8 is decoded whatever the headers say, bad bytes become U+FFFD")
        << 200 << QByteArray("OK") << QByteArray("Gr\xC3\xBC\xC3\x9F\xFF!") << false << true
        << u"Grüß\uFFFD!"_s << QStringList{u"Grüß\uFFFD!"_s} << QString();
    QTest::newRow("200 with an empty body fails with no error text")
        << 200 << QByteArray("OK") << QByteArray() << false << false << QString() << QStringList() << QString();
    QTest::newRow("an empty body in chunks fails alike")
        << 200 << QByteArray("OK") << QByteArray() << true << false << QString() << QStringList() << QString();
    QTest::newRow("422 gives the code and the reason phrase")
        << 422 << QByteArray("Unprocessable Entity") << QByteArray("parse failure") << false << false
        << QString() << QStringList() << u"HTTP error (422): Unprocessable Entity"_s;
    QTest::newRow("500 alike")
        << 500 << QByteArray("Internal Server Error") << QByteArray() << true << false << QString()
        << QStringList() << u"HTTP error (500): Internal Server Error"_s;
}

void TstExtractionClient::turnsTheAnswerIntoTextOrError()
{
    QFETCH(int, status);
    QFETCH(QByteArray, reason);
    QFETCH(QByteArray, body);
    QFETCH(bool, chunked);
    QFETCH(bool, success);
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QFETCH(QString, error);

    TExtractionTestServer server;
    server.Status = status;
    server.Reason = reason;
    server.AnswerBody = body;
    server.Chunked = chunked;
    const TExtractionResult result =
        ExtractDocumentText(WriteFile(u"doc.docx"_s, "PK\x03\x04"), u"127.0.0.1"_s, server.Port());
    QCOMPARE(result.Success, success);
    QCOMPARE(result.Text, text);
    QCOMPARE(SplitTextIntoLines(result.Text), lines);
    QCOMPARE(result.ErrorText, error);
}

void TstExtractionClient::noServerListening()
{
    const TExtractionResult result =
        ExtractDocumentText(WriteFile(u"doc.pdf"_s, "%PDF"), u"127.0.0.1"_s, TExtractionTestServer::UnusedPort());
    QVERIFY(!result.Success);
    QVERIFY(result.Text.isEmpty());
    QVERIFY2(result.ErrorText.startsWith(u"Error: "_s) && result.ErrorText.size() > 7, qPrintable(result.ErrorText));
    QVERIFY2(result.ErrorText.contains(u"refused"_s, Qt::CaseInsensitive), qPrintable(result.ErrorText));
}

void TstExtractionClient::aSilentServerTimesOut()
{
    TExtractionTestServer server;
    server.AnswerBody = "late";
    server.DelayMs = 5000;
    QElapsedTimer clock;
    clock.start();
    const TExtractionResult result =
        ExtractDocumentText(WriteFile(u"doc.pdf"_s, "%PDF"), u"127.0.0.1"_s, server.Port(), 300);
    QVERIFY(clock.elapsed() < 4000);
    QVERIFY(!result.Success);
    QVERIFY(result.Text.isEmpty());
    QCOMPARE(result.ErrorText, u"Error: The server did not answer in time."_s);
    QCOMPARE(server.Requests.size(), 1);
}

void TstExtractionClient::hostileServersEndWithinTheLimits_data()
{
    QTest::addColumn<THostileHttpServer::TAnswer>("answer");
    QTest::addColumn<int>("totalTimeoutMs");
    QTest::addColumn<qint64>("maxAnswerBytes");
    QTest::addColumn<QString>("error"); // the start of the error text; empty for success
    QTest::addColumn<int>("withinMs");
    QTest::addColumn<qint64>("sentAtMost"); // body bytes the server got rid of; -1: any

    const qint64 gigabyte = qint64(1) << 30;
    const qint64 defaultLimit = DefaultExtractionMaxAnswerBytes;
    using TAnswer = THostileHttpServer::TAnswer;
    const QString tooSlow = u"Error: The server did not answer in time."_s;
    // What the sockets hold when the client gives up.
    const qint64 slack = 16 * 1024 * 1024;
    // The read time-out (5 s, roomy so that a busy machine never trips it
    // in the other rows) never expires here: a byte comes every second.
    TAnswer drip{"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n", 1000, "a", 1000, false};
    QTest::newRow("a server that drips a byte a second ends at the whole-call time-out")
        << drip << 2500 << defaultLimit << tooSlow << 4500 << qint64(-1);
    // Smaller limits than the default keep the runs short; the way to them is the same.
    const qint64 eightMegabytes = qint64(8) * 1024 * 1024;
    TAnswer chunkedGigabyte{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n", gigabyte, "text ", 0, true};
    QTest::newRow("a gigabyte in chunks stops at the size limit")
        << chunkedGigabyte << 60000 << eightMegabytes << u"Error: The extracted text is larger than 8 MB."_s << 10000
        << qint64(-1);
    TAnswer endless{"HTTP/1.1 200 OK\r\n", -1, "more ", 0, false};
    QTest::newRow("an endless body without a length stops at the size limit")
        << endless << 60000 << eightMegabytes << u"Error: The extracted text is larger than 8 MB."_s << 10000
        << qint64(-1);
    // A length beyond the limit is refused with the head, before the body is read.
    TAnswer announced{"HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n", gigabyte, "x", 0, false};
    QTest::newRow("a gigabyte announced by its length fails before it is read")
        << announced << 60000 << defaultLimit << u"Error: The extracted text is larger than 256 MB."_s << 5000
        << slack;
    TAnswer cut{"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n", 10, "early", 0, false};
    QTest::newRow("a length announced and the connection closed early is an error, not a short text")
        << cut << 60000 << defaultLimit << u"Error: "_s << 5000 << qint64(-1);
    TAnswer cutLater{"HTTP/1.1 200 OK\r\nContent-Length: 10000000\r\n", 3000000, "later", 0, false};
    QTest::newRow("a length announced and the connection closed after megabytes is an error too")
        << cutLater << 60000 << defaultLimit << u"Error: "_s << 5000 << qint64(-1);
    TAnswer garbage{"HTTP/1.1 200 OK\r\nContent-Length: 4194304\r\n", 4 * 1024 * 1024, "\xFF", 0, false};
    QTest::newRow("four megabytes that are no UTF-8 become replacement characters")
        << garbage << 60000 << defaultLimit << QString() << 10000 << qint64(-1);
}

// Whatever the server does, the call ends within its time-outs or at its
// size limit, and never passes a part of an answer off as the text.
void TstExtractionClient::hostileServersEndWithinTheLimits()
{
    QFETCH(THostileHttpServer::TAnswer, answer);
    QFETCH(int, totalTimeoutMs);
    QFETCH(qint64, maxAnswerBytes);
    QFETCH(QString, error);
    QFETCH(int, withinMs);
    QFETCH(qint64, sentAtMost);
    THostileHttpServer server;
    server.Answer = answer;

    QElapsedTimer clock;
    clock.start();
    const TExtractionResult result = ExtractDocumentText(WriteFile(u"doc.pdf"_s, "%PDF"), u"127.0.0.1"_s,
                                                         server.Port(), 5000, totalTimeoutMs, maxAnswerBytes);
    const qint64 elapsed = clock.elapsed();

    QVERIFY2(elapsed < withinMs, qPrintable(QString::number(elapsed)));
    if (error.isEmpty()) {
        QVERIFY2(result.Success, qPrintable(result.ErrorText));
        QCOMPARE(result.Text.size(), answer.BodyBytes);
        QVERIFY(result.Text == QString(answer.BodyBytes, QChar::ReplacementCharacter));
        return;
    }
    QVERIFY(!result.Success);
    QVERIFY(result.Text.isEmpty());
    QVERIFY2(result.ErrorText.startsWith(error) && result.ErrorText.size() > 7, qPrintable(result.ErrorText));
    if (sentAtMost >= 0)
        QVERIFY2(server.BodyBytesSent() <= sentAtMost, qPrintable(QString::number(server.BodyBytesSent())));
}

void TstExtractionClient::aFileThatCannotBeOpenedSendsNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a file that does not exist") << u"missing.pdf"_s << u"No such file or directory"_s;
    QTest::newRow("a folder") << u"folder.pdf"_s << QString();
}

void TstExtractionClient::aFileThatCannotBeOpenedSendsNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QVERIFY(QDir(m_dir->path()).mkdir(u"folder.pdf"_s));
    const QString path = m_dir->filePath(name);
    TExtractionTestServer server;
    server.AnswerBody = "text";

    QString openError = u"stale"_s;
    QVERIFY(!OpenFileForUpload(path, openError));
    const TExtractionResult result = ExtractDocumentText(path, u"127.0.0.1"_s, server.Port());
    QVERIFY(!result.Success);
    QVERIFY(result.Text.isEmpty());
    QCOMPARE(result.ErrorText, openError);
    QVERIFY2(result.ErrorText.startsWith(u"EFOpenError: Cannot open file \""_s + path + u"\". "_s),
             qPrintable(result.ErrorText));
    if (!reason.isEmpty())
        QVERIFY2(result.ErrorText.endsWith(reason), qPrintable(result.ErrorText));
    QTest::qWait(50); // a request would have arrived by now
    QVERIFY(server.Requests.isEmpty());

    QVERIFY(OpenFileForUpload(WriteFile(u"doc.pdf"_s, "x"), openError));
    QVERIFY(openError.isEmpty());
}

QTEST_GUILESS_MAIN(TstExtractionClient)
#include "tst_extractionclient.moc"
