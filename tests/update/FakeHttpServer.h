// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

/// One answer of FakeHttpServer.
struct TFakeAnswer {
    int Status = 200;
    QByteArray Reason = "OK";
    QByteArray Body;
    /// Send the body in chunked transfer coding instead of with a length.
    bool Chunked = false;
    /// Send neither a length nor chunks: the end of the body is the close.
    bool NoLength = false;
    /// Read the request and never answer.
    bool Silent = false;
    /// Send the body in this many slices, SliceDelayMs apart.
    int Slices = 1;
    int SliceDelayMs = 0;
    /// Extra header lines, each without its line break.
    QList<QByteArray> Headers;
};

/// An answer with `status` and a short body, such as 404 "Not Found".
inline TFakeAnswer StatusAnswer(int status, const QByteArray &reason, const QByteArray &body)
{
    TFakeAnswer answer;
    answer.Status = status;
    answer.Reason = reason;
    answer.Body = body;
    return answer;
}

/// A small HTTP/1.1 server on 127.0.0.1 and a free port, run by the test's
/// own event loop: one answer per path, each connection closed after it.
class FakeHttpServer : public QObject
{
public:
    FakeHttpServer()
    {
        FServer.listen(QHostAddress::LocalHost, 0);
        connect(&FServer, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = FServer.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        });
    }

    QString BaseAddress() const { return QStringLiteral("http://127.0.0.1:%1").arg(FServer.serverPort()); }

    /// The answer to `path`; a path without one gets 404.
    void Set(const QByteArray &path, const TFakeAnswer &answer) { FAnswers.insert(path, answer); }
    /// `path` answers with a chain of `hops` redirects that ends in `answer`.
    void SetRedirected(const QByteArray &path, int hops, const TFakeAnswer &answer)
    {
        QByteArray from = path;
        for (int hop = hops; hop > 0; --hop) {
            const QByteArray to = "/hop" + QByteArray::number(hop) + path;
            TFakeAnswer redirect;
            redirect.Status = 302;
            redirect.Reason = "Found";
            redirect.Headers = {"Location: " + to};
            FAnswers.insert(from, redirect);
            from = to;
        }
        FAnswers.insert(from, answer);
    }

    /// The paths requested, in order, and each request's head.
    QList<QByteArray> Requests;
    QList<QByteArray> RequestHeads;

private:
    void Read(QTcpSocket *socket)
    {
        QByteArray &buffer = FBuffers[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = buffer.left(end);
        buffer.clear();
        const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
        const QByteArray path = requestLine.value(1);
        Requests.append(path);
        RequestHeads.append(head);
        const auto found = FAnswers.constFind(path);
        TFakeAnswer answer = found != FAnswers.cend() ? *found : StatusAnswer(404, "Not Found", "no such file");
        if (answer.Silent)
            return;

        QByteArray response = "HTTP/1.1 " + QByteArray::number(answer.Status) + ' ' + answer.Reason + "\r\n";
        for (const QByteArray &header : std::as_const(answer.Headers))
            response += header + "\r\n";
        if (answer.Chunked)
            response += "Transfer-Encoding: chunked\r\n";
        else if (!answer.NoLength)
            response += "Content-Length: " + QByteArray::number(answer.Body.size()) + "\r\n";
        response += "Connection: close\r\n\r\n";
        socket->write(response);
        SendSlices(socket, answer, 0);
    }

    void SendSlices(QPointer<QTcpSocket> socket, const TFakeAnswer &answer, int slice)
    {
        if (!socket)
            return;
        const qsizetype size = (answer.Body.size() + answer.Slices - 1) / std::max(1, answer.Slices);
        const QByteArray part = answer.Body.mid(slice * size, size);
        if (!part.isEmpty()) {
            if (answer.Chunked)
                socket->write(QByteArray::number(part.size(), 16) + "\r\n" + part + "\r\n");
            else
                socket->write(part);
        }
        if (slice + 1 < answer.Slices) {
            QTimer::singleShot(answer.SliceDelayMs, this, [this, socket, answer, slice] {
                SendSlices(socket, answer, slice + 1);
            });
            return;
        }
        if (answer.Chunked)
            socket->write("0\r\n\r\n");
        socket->disconnectFromHost();
    }

    QTcpServer FServer;
    QHash<QByteArray, TFakeAnswer> FAnswers;
    QHash<QTcpSocket *, QByteArray> FBuffers;
};
