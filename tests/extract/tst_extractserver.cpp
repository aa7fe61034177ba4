// SPDX-License-Identifier: GPL-3.0-or-later
// The extraction server over HTTP: through the program's own client, and
// through a raw socket where the bytes on the wire matter.
#include "ExtractServer.h"

#include "ExtractFixtures.h"
#include "ExtractionClient.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace ExtractFixtures;

namespace {

/// An answer as read from the wire.
struct TAnswer {
    int Status = 0;
    QByteArray Head;
    QByteArray Body;
};

/// A client that writes raw bytes and reads answers, waiting with the event
/// loop running so the in-process server can serve meanwhile.
class TRawClient {
public:
    explicit TRawClient(quint16 port)
    {
        FSocket.connectToHost(u"127.0.0.1"_s, port);
        if (!QTest::qWaitFor([&] { return FSocket.state() == QAbstractSocket::ConnectedState; }, 5000))
            qFatal("cannot connect to the server");
    }

    void Send(const QByteArray &bytes)
    {
        FSocket.write(bytes);
        if (!QTest::qWaitFor([&] { return FSocket.bytesToWrite() == 0; }, 5000))
            qWarning("the bytes were not sent in time");
    }

    /// The next answer; Status 0 when none came within `timeoutMs`.
    TAnswer Next(int timeoutMs = 10000)
    {
        TAnswer answer;
        (void)QTest::qWaitFor(
            [&] {
                FReceived += FSocket.readAll();
                const qsizetype end = FReceived.indexOf("\r\n\r\n");
                if (end < 0)
                    return false;
                const QByteArray head = FReceived.first(end);
                qsizetype length = 0;
                for (const QByteArray &line : head.split('\n')) {
                    if (line.toLower().startsWith("content-length:"))
                        length = line.mid(15).trimmed().toLongLong();
                }
                if (head.startsWith("HTTP/1.1 100 ") || head.contains("\r\nX-No-Body"))
                    length = 0;
                if (FReceived.size() < end + 4 + length)
                    return false;
                answer.Head = head;
                answer.Status = head.mid(9, 3).toInt();
                answer.Body = FReceived.mid(end + 4, length);
                FReceived.remove(0, end + 4 + length);
                return true;
            },
            timeoutMs);
        return answer;
    }

    /// Whether the server closed the connection within `timeoutMs`.
    bool Closed(int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return FSocket.state() == QAbstractSocket::UnconnectedState; }, timeoutMs);
    }

    QByteArray Unread() { return FReceived + FSocket.readAll(); }

private:
    QTcpSocket FSocket;
    QByteArray FReceived;
};

QByteArray Put(const QByteArray &body)
{
    return "PUT /tika HTTP/1.1\r\nHost: localhost\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n"
           + body;
}

} // namespace

class TstExtractServer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void everyFormatThroughTheClient_data();
    void everyFormatThroughTheClient();
    void failuresReachTheClientAsStatuses_data();
    void failuresReachTheClientAsStatuses();
    void answersEachRequestOnTheWire_data();
    void answersEachRequestOnTheWire();
    void chunkedUploadOnAKeptAliveConnection();
    void twoConnectionsAtOnce();
    void slowClientsAreTimedOut_data();
    void slowClientsAreTimedOut();
    void aStalledOrCrashingExtractionIsAnError_data();
    void aStalledOrCrashingExtractionIsAnError();

private:
    TExtractServer &StartServer();
    QString WriteFile(const QString &name, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> FDir;
    TExtractServerSettings FSettings;
    std::unique_ptr<TExtractServer> FServer;
};

void TstExtractServer::init()
{
    FServer.reset();
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FSettings = TExtractServerSettings();
    FSettings.Port = 0;
    FSettings.WorkerProgram = QStringLiteral(LUNAVIST_EXTRACT_PATH);
    FSettings.Log = false;
}

TExtractServer &TstExtractServer::StartServer()
{
    FServer = std::make_unique<TExtractServer>(FSettings);
    if (!FServer->Listen())
        qFatal("the server cannot listen");
    return *FServer;
}

QString TstExtractServer::WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(FDir->filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a fixture");
    return file.fileName();
}

void TstExtractServer::everyFormatThroughTheClient_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("text");
    for (const TFixture &fixture : Fixtures())
        QTest::newRow(fixture.Name) << fixture.Bytes << fixture.Text;
}

void TstExtractServer::everyFormatThroughTheClient()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, text);
    const quint16 port = StartServer().Port();
    const TExtractionResult result = ExtractDocumentText(WriteFile(u"document"_s, document), u"127.0.0.1"_s, port);
    QVERIFY2(result.Success, qPrintable(result.ErrorText));
    QCOMPARE(result.Text, text);
}

void TstExtractServer::failuresReachTheClientAsStatuses_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<QString>("error");
    const qint64 limit = TExtractServerSettings().MaxBodyBytes;
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char(i * 7);
    QTest::newRow("a type the server does not read is 415")
        << binary << limit << u"HTTP error (415): Unsupported Media Type"_s;
    QTest::newRow("an image is 422") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << limit
                                     << u"HTTP error (422): Unprocessable Entity"_s;
    QTest::newRow("a zip bomb is 422") << ZipBombDocx() << limit << u"HTTP error (422): Unprocessable Entity"_s;
    QTest::newRow("the first half of a PDF is 422") << [] {
        const QByteArray pdf = TwoPagePdf();
        return pdf.first(pdf.size() / 2);
    }() << limit << u"HTTP error (422): Unprocessable Entity"_s;
    // The client is still sending when the answer comes: it must still
    // read it, not a reset connection.
    QTest::newRow("a document above the size limit is 413")
        << QByteArray(8 << 20, 'x') << qint64(64 * 1024) << u"HTTP error (413): Payload Too Large"_s;
}

void TstExtractServer::failuresReachTheClientAsStatuses()
{
    QFETCH(QByteArray, document);
    QFETCH(qint64, maxBytes);
    QFETCH(QString, error);
    FSettings.MaxBodyBytes = maxBytes;
    const quint16 port = StartServer().Port();
    QElapsedTimer clock;
    clock.start();
    const TExtractionResult result = ExtractDocumentText(WriteFile(u"document"_s, document), u"127.0.0.1"_s, port);
    QVERIFY(!result.Success);
    QCOMPARE(result.ErrorText, error);
    QVERIFY2(clock.elapsed() < 10000, "a hostile document must be refused early");
}

void TstExtractServer::answersEachRequestOnTheWire_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("bodyStart");
    QTest::addColumn<bool>("closes");
    QTest::newRow("GET greets") << QByteArray("GET /tika HTTP/1.1\r\n\r\n") << 200 << QByteArray("This is") << false;
    QTest::newRow("HTTP/1.0 GET greets and closes")
        << QByteArray("GET /tika HTTP/1.0\r\n\r\n") << 200 << QByteArray("This is") << true;
    QTest::newRow("another path is 404") << QByteArray("GET /other HTTP/1.1\r\n\r\n") << 404 << QByteArray()
                                         << false;
    QTest::newRow("another method is 405")
        << QByteArray("DELETE /tika HTTP/1.1\r\n\r\n") << 405 << QByteArray() << false;
    QTest::newRow("a declared size above the limit is 413 before any body byte")
        << QByteArray("PUT /tika HTTP/1.1\r\nContent-Length: 10737418240\r\n\r\n") << 413 << QByteArray() << true;
    QTest::newRow("a malformed request is 400 and closes")
        << QByteArray("hello there\r\n\r\n") << 400 << QByteArray() << true;
    QTest::newRow("an empty document has no text") << Put(QByteArray()) << 200 << QByteArray() << false;
}

void TstExtractServer::answersEachRequestOnTheWire()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QFETCH(QByteArray, bodyStart);
    QFETCH(bool, closes);
    TRawClient client(StartServer().Port());
    client.Send(request);
    const TAnswer answer = client.Next();
    QCOMPARE(answer.Status, status);
    QVERIFY2(answer.Body.startsWith(bodyStart), answer.Body.constData());
    QVERIFY(answer.Head.contains("\r\nContent-Type: text/plain; charset=UTF-8"));
    QCOMPARE(client.Closed(closes ? 5000 : 300), closes);
}

void TstExtractServer::chunkedUploadOnAKeptAliveConnection()
{
    TRawClient client(StartServer().Port());
    // The client waits for 100 Continue, then sends the body in chunks
    // with pauses, and asks again on the same connection.
    client.Send("PUT /tika HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\nExpect: 100-continue\r\n\r\n");
    QCOMPARE(client.Next().Status, 100);
    const QByteArray document = Rtf;
    for (qsizetype at = 0; at < document.size(); at += 50) {
        const QByteArray piece = document.mid(at, 50);
        client.Send(QByteArray::number(piece.size(), 16) + ";ext=1\r\n" + piece + "\r\n");
        QTest::qWait(20);
    }
    client.Send("0\r\n\r\n");
    TAnswer answer = client.Next();
    QCOMPARE(answer.Status, 200);
    QCOMPARE(QString::fromUtf8(answer.Body), RtfText);

    client.Send(Put(Html) + "GET /tika HTTP/1.1\r\n\r\n"); // two requests at once
    answer = client.Next();
    QCOMPARE(answer.Status, 200);
    QCOMPARE(QString::fromUtf8(answer.Body), HtmlText);
    QCOMPARE(client.Next().Status, 200);
    QVERIFY(!client.Closed(200));
}

void TstExtractServer::twoConnectionsAtOnce()
{
    FSettings.MaxWorkers = 1; // the second document waits for the first
    const quint16 port = StartServer().Port();
    TRawClient slow(port);
    TRawClient quick(port);
    TRawClient queued(port);
    // The slow client sends half its document: the others are served
    // meanwhile, in their own turn.
    const QByteArray docx = Put(DocxWithTable());
    slow.Send(docx.first(docx.size() / 2));
    quick.Send(Put(XlsxWithTwoSheets()));
    queued.Send(Put(Eml));
    const TAnswer first = quick.Next();
    const TAnswer second = queued.Next();
    QCOMPARE(QString::fromUtf8(first.Body), XlsxWithTwoSheetsText);
    QCOMPARE(QString::fromUtf8(second.Body), EmlText);
    QCOMPARE(slow.Unread(), QByteArray());
    slow.Send(docx.sliced(docx.size() / 2));
    QCOMPARE(QString::fromUtf8(slow.Next().Body), DocxWithTableText);
}

void TstExtractServer::slowClientsAreTimedOut_data()
{
    QTest::addColumn<QByteArray>("partial");
    QTest::newRow("a head that never ends") << QByteArray("PUT /tika HTTP/1.1\r\nHost: x\r\n");
    QTest::newRow("a body that stops") << QByteArray("PUT /tika HTTP/1.1\r\nContent-Length: 100\r\n\r\nabc");
    QTest::newRow("chunks that stop") << QByteArray("PUT /tika HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nab");
}

void TstExtractServer::slowClientsAreTimedOut()
{
    QFETCH(QByteArray, partial);
    FSettings.ReadTimeoutMs = 300;
    TRawClient client(StartServer().Port());
    client.Send(partial);
    const TAnswer answer = client.Next(5000);
    QCOMPARE(answer.Status, 408);
    QVERIFY(client.Closed());
}

void TstExtractServer::aStalledOrCrashingExtractionIsAnError_data()
{
    QTest::addColumn<QByteArray>("worker");
    QTest::addColumn<int>("status");
    QTest::newRow("an extraction over the time limit is stopped") << QByteArray("exec sleep 60\n") << 422;
    QTest::newRow("a crashing extraction") << QByteArray("kill -SEGV $$\n") << 422;
    QTest::newRow("a worker that cannot run") << QByteArray() << 500;
}

void TstExtractServer::aStalledOrCrashingExtractionIsAnError()
{
    QFETCH(QByteArray, worker);
    QFETCH(int, status);
    // A stand-in for the worker, since no document is known to stall or
    // crash the real readers.
    FSettings.WorkerProgram = FDir->filePath(u"worker.sh"_s);
    if (!worker.isEmpty()) {
        WriteFile(u"worker.sh"_s, "#!/bin/sh\n" + worker);
        QFile::setPermissions(FSettings.WorkerProgram, QFile::ReadOwner | QFile::ExeOwner);
    }
    FSettings.ExtractTimeLimitMs = 500;
    TRawClient client(StartServer().Port());
    QElapsedTimer clock;
    clock.start();
    client.Send(Put("text"));
    const TAnswer answer = client.Next(5000);
    QCOMPARE(answer.Status, status);
    QVERIFY(clock.elapsed() < 5000);
    // The connection serves on.
    client.Send("GET /tika HTTP/1.1\r\n\r\n");
    QCOMPARE(client.Next().Status, 200);
}

QTEST_MAIN(TstExtractServer)
#include "tst_extractserver.moc"
