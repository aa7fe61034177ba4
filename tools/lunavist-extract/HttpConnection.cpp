// SPDX-License-Identifier: GPL-3.0-or-later
#include "HttpConnection.h"

#include "ExtractCommand.h"
#include "ExtractServer.h"

#include <QDir>
#include <QTcpSocket>
#include <QTemporaryFile>

#include <cstdio>

#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// How long a closing connection drains what the client still sends, so
// that our answer is not lost to a reset.
constexpr int LingerMs = 2000;
// Read from the socket at most this much ahead: a client sending faster
// than the disk takes its bytes is slowed down by TCP itself.
constexpr qint64 ReadBufferBytes = 256 * 1024;

const QByteArray Greeting = "This is lunavist-extract, a text extraction server. "
                            "PUT a document to /tika to receive its plain text.\n";

QByteArray ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 413:
        return "Payload Too Large";
    case 415:
        return "Unsupported Media Type";
    case 417:
        return "Expectation Failed";
    case 422:
        return "Unprocessable Entity";
    case 431:
        return "Request Header Fields Too Large";
    case 501:
        return "Not Implemented";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Internal Server Error";
    }
}

QByteArray ErrorBody(int status)
{
    switch (status) {
    case 400:
        return "The request is not valid HTTP/1.1.\n";
    case 408:
        return "The request did not arrive in time.\n";
    case 413:
        return "The document is larger than this server accepts.\n";
    case 431:
        return "The request's header is too large.\n";
    case 501:
        return "Only chunked transfer coding is supported.\n";
    case 505:
        return "Only HTTP/1.0 and HTTP/1.1 are supported.\n";
    default:
        return ReasonPhrase(status) + '\n';
    }
}

// Runs in the worker process between fork and exec: bounds what one
// document may cost, and ties the worker's life to the server's.
void LimitWorker(rlim_t addressSpace, rlim_t cpuSeconds)
{
    rlimit limit{addressSpace, addressSpace};
    setrlimit(RLIMIT_AS, &limit);
    limit = {cpuSeconds, cpuSeconds};
    setrlimit(RLIMIT_CPU, &limit);
    limit = {0, 0};
    setrlimit(RLIMIT_CORE, &limit);
#ifdef __linux__
    prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
}

} // namespace

THttpConnection::THttpConnection(QTcpSocket *socket, TExtractServer &server)
    : QObject(&server), FSocket(socket), FServer(server), FParser(server.Settings().MaxBodyBytes)
{
    FSocket->setParent(this);
    FSocket->setReadBufferSize(ReadBufferBytes);
    FTimer.setSingleShot(true);
    FWorkerTimer.setSingleShot(true);
    connect(FSocket, &QTcpSocket::readyRead, this, &THttpConnection::ReadSocket);
    connect(FSocket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(FSocket, &QTcpSocket::bytesWritten, this, &THttpConnection::ShutdownWhenWritten);
    connect(&FTimer, &QTimer::timeout, this, &THttpConnection::TimedOut);
    connect(&FWorkerTimer, &QTimer::timeout, this, [this] {
        FWorkerTimedOut = true;
        if (FWorker)
            FWorker->kill();
    });
    FTimer.start(FServer.Settings().IdleTimeoutMs);
    ReadSocket(); // bytes may have come with the connection
}

THttpConnection::~THttpConnection()
{
    if (FWorker) {
        FWorker->disconnect(this);
        FWorker->kill();
        FWorker->waitForFinished(1000);
    }
    if (FHoldsWorker)
        FServer.ReleaseWorker();
}

void THttpConnection::ReadSocket()
{
    if (FState == csClosing) {
        FSocket->readAll(); // drained and dropped
        return;
    }
    // While a document is extracted the next request waits in the
    // socket's buffer, so requests are answered in order.
    if (FState != csReading)
        return;
    FInput += FSocket->readAll();
    Process();
}

void THttpConnection::Process()
{
    while (FState == csReading) {
        const bool started = FParser.Started();
        QByteArray body;
        const THttpRequestParser::TStep step = FParser.Parse(FInput, body);
        if (!started && FParser.Started()) {
            FClock.start();
            FTimer.start(FServer.Settings().ReadTimeoutMs); // the head's deadline
        }
        if (!body.isEmpty()) {
            if (!Store(body))
                return;
            FTimer.start(FServer.Settings().ReadTimeoutMs); // the body may pause this long
        }
        switch (step) {
        case THttpRequestParser::psNeedMore:
            return;
        case THttpRequestParser::psHead:
            Route();
            if (FState == csReading)
                FTimer.start(FServer.Settings().ReadTimeoutMs);
            break;
        case THttpRequestParser::psDone:
            FTimer.stop();
            Complete();
            break;
        case THttpRequestParser::psError:
            Answer(FParser.ErrorStatus(), ErrorBody(FParser.ErrorStatus()), true);
            return;
        }
    }
}

void THttpConnection::Route()
{
    const THttpRequestHead &head = FParser.Head();
    const QByteArray expect = head.Header("expect").toLower();
    if (!expect.isEmpty() && expect != "100-continue") {
        Answer(417, "Only \"Expect: 100-continue\" is understood.\n", true);
        return;
    }
    if (head.Path() != "/tika") {
        FRoute = rtNotFound;
    } else if (head.Method == "PUT") {
        FRoute = rtExtract;
        FDocument = std::make_unique<QTemporaryFile>(QDir::tempPath() + u"/lunavist-extract-XXXXXX"_s);
        if (!FDocument->open()) {
            Answer(500, "The document cannot be stored: " + FDocument->errorString().toUtf8() + '\n', true);
            return;
        }
    } else if (head.Method == "GET" || head.Method == "HEAD") {
        FRoute = rtGreeting;
    } else {
        FRoute = rtNotAllowed;
    }
    // The client waits for this before it sends the body; the size was
    // checked already.
    if (!expect.isEmpty() && head.MinorVersion >= 1)
        FSocket->write("HTTP/1.1 100 Continue\r\n\r\n");
}

bool THttpConnection::Store(const QByteArray &body)
{
    if (FRoute != rtExtract || !FDocument)
        return true; // the body of a request that is not a document is dropped
    if (FDocument->write(body) == body.size())
        return true;
    Answer(500, "The document cannot be stored: " + FDocument->errorString().toUtf8() + '\n', true);
    return false;
}

void THttpConnection::Complete()
{
    switch (FRoute) {
    case rtGreeting:
        Answer(200, Greeting);
        return;
    case rtNotFound:
        Answer(404, "Not found: PUT documents to /tika.\n");
        return;
    case rtNotAllowed:
        Answer(405, "Use PUT to send a document, GET for a greeting.\n", false, "Allow: GET, HEAD, PUT\r\n");
        return;
    case rtExtract:
        break;
    }
    if (!FDocument->flush()) {
        Answer(500, "The document cannot be stored: " + FDocument->errorString().toUtf8() + '\n', true);
        return;
    }
    FDocument->close();
    FState = csExtracting;
    FServer.RequestWorker(this);
}

void THttpConnection::StartWorker()
{
    FHoldsWorker = true;
    const TExtractServerSettings &settings = FServer.Settings();
    FWorker = new QProcess(this);
    FWorker->setProgram(settings.WorkerProgram);
    FWorker->setArguments({u"--extract"_s, FDocument->fileName()});
    FWorker->setStandardInputFile(QProcess::nullDevice());
    const auto addressSpace = rlim_t(settings.WorkerMemoryBytes + FDocument->size());
    const auto cpuSeconds = rlim_t(settings.ExtractTimeLimitMs / 1000 + 5); // the wall clock stops it first
    FWorker->setChildProcessModifier([addressSpace, cpuSeconds] { LimitWorker(addressSpace, cpuSeconds); });
    connect(FWorker, &QProcess::finished, this, &THttpConnection::WorkerFinished);
    connect(FWorker, &QProcess::errorOccurred, this, &THttpConnection::WorkerError);
    FWorkerTimedOut = false;
    FWorkerTimer.start(settings.ExtractTimeLimitMs);
    FWorker->start();
}

void THttpConnection::WorkerError(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart)
        return; // a crash also ends in finished()
    const QByteArray reason = FWorker->errorString().toUtf8();
    EndWorker();
    Answer(500, "The extraction cannot be started: " + reason + '\n');
    ReadSocket();
}

void THttpConnection::WorkerFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    const QByteArray text = FWorker->readAllStandardOutput();
    const QByteArray reason = FWorker->readAllStandardError().trimmed() + '\n';
    const bool timedOut = FWorkerTimedOut;
    EndWorker();
    if (timedOut) {
        Answer(422, "The extraction took longer than " + QByteArray::number(FServer.Settings().ExtractTimeLimitMs / 1000)
                        + " s and was stopped.\n");
    } else if (exitStatus == QProcess::CrashExit) {
        Answer(422, "The document's reader failed (it crashed or ran out of memory).\n");
    } else if (exitCode == eeText) {
        Answer(200, text);
    } else if (exitCode == eeUnsupported) {
        Answer(415, reason);
    } else if (exitCode == eeUnparseable) {
        Answer(422, reason);
    } else {
        Answer(500, reason);
    }
    ReadSocket(); // a request that came meanwhile
}

void THttpConnection::EndWorker()
{
    FWorkerTimer.stop();
    if (FWorker) {
        FWorker->disconnect(this);
        FWorker->deleteLater();
        FWorker = nullptr;
    }
    FDocument.reset();
    if (FHoldsWorker) {
        FHoldsWorker = false;
        FServer.ReleaseWorker();
    }
}

void THttpConnection::Answer(int status, const QByteArray &body, bool close, const QByteArray &extraHeaders)
{
    const THttpRequestHead &head = FParser.Head();
    close = close || !head.KeepAlive();
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(status) + ' ' + ReasonPhrase(status)
                        + "\r\n"
                          "Content-Type: text/plain; charset=UTF-8\r\n"
                          "Content-Length: "
                        + QByteArray::number(body.size()) + "\r\n" + extraHeaders
                        + (close ? "Connection: close\r\n" : "Connection: keep-alive\r\n") + "\r\n";
    if (head.Method != "HEAD")
        answer += body;
    FSocket->write(answer);
    if (FServer.Settings().Log) {
        const QByteArray line = (head.Method.isEmpty() ? QByteArray("-") : head.Method) + ' '
                                + (head.Target.isEmpty() ? QByteArray("-") : head.Target.left(200)) + ' '
                                + QByteArray::number(status) + ' ' + QByteArray::number(FParser.BodyBytes())
                                + " bytes in, " + QByteArray::number(body.size()) + " bytes out, "
                                + QByteArray::number(FClock.isValid() ? FClock.elapsed() : 0) + " ms\n";
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    }
    FDocument.reset();
    FParser.Reset();
    if (close) {
        FState = csClosing;
        FInput.clear();
        FTimer.start(LingerMs);
        ShutdownWhenWritten();
        return;
    }
    FState = csReading;
    FTimer.start(FServer.Settings().IdleTimeoutMs);
}

void THttpConnection::ShutdownWhenWritten()
{
    // Closing only our sending side once the answer is out lets the client
    // read it even while it is still sending; a full close with unread
    // bytes would reset the connection and lose the answer.
    if (FState == csClosing && FSocket->bytesToWrite() == 0 && FSocket->state() == QAbstractSocket::ConnectedState)
        ::shutdown(int(FSocket->socketDescriptor()), SHUT_WR);
}

void THttpConnection::TimedOut()
{
    if (FState == csClosing) {
        FSocket->abort();
        deleteLater();
    } else if (FState == csReading && FParser.Started()) {
        Answer(408, ErrorBody(408), true);
    } else if (FState == csReading) {
        FSocket->disconnectFromHost(); // idle: nothing to answer
    }
}
