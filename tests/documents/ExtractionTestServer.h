// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

/// A stand-in for the text extraction server on a free loopback port: it
/// records each request and answers with the status, body and delay a test
/// sets. It runs on the test's thread, so it serves while the client's call
/// waits in its local event loop.
class TExtractionTestServer
{
public:
    struct TRequest {
        QByteArray Method;
        QByteArray Path;
        /// Header names in lower case.
        QMap<QByteArray, QByteArray> Headers;
        /// The body as received; with KeepBodies false only its size and hash.
        QByteArray Body;
        qint64 BodySize = 0;
        QByteArray BodySha1;
    };

    int Status = 200;
    QByteArray Reason = "OK";
    QByteArray AnswerBody;
    /// Bodies for the next requests, front first; AnswerBody when empty.
    QList<QByteArray> AnswerBodies;
    /// Milliseconds between the whole request and the answer.
    int DelayMs = 0;
    /// Send the answer in chunks (Transfer-Encoding: chunked) rather than
    /// with a Content-Length.
    bool Chunked = false;
    /// Keep each request's body; off for bodies too large to keep.
    bool KeepBodies = true;
    QList<TRequest> Requests;

    TExtractionTestServer()
    {
        QObject::connect(&FServer, &QTcpServer::newConnection, &FServer, [this] {
            while (QTcpSocket *socket = FServer.nextPendingConnection())
                Serve(socket);
        });
        if (!FServer.listen(QHostAddress::LocalHost))
            qFatal("the test server cannot listen");
    }

    quint16 Port() const { return FServer.serverPort(); }

    /// A loopback port on which nothing listens, for "connection refused".
    static quint16 UnusedPort()
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost))
            qFatal("no free port");
        return probe.serverPort();
    }

private:
    struct TConnection {
        QByteArray Head;
        bool HeadDone = false;
        qint64 Remaining = 0;
        TRequest Request;
        std::unique_ptr<QCryptographicHash> Hash;
    };

    void Serve(QTcpSocket *socket)
    {
        auto connection = std::make_shared<TConnection>();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, connection] {
            Read(*socket, *connection);
        });
    }

    void Read(QTcpSocket &socket, TConnection &c)
    {
        if (!c.HeadDone) {
            c.Head += socket.readAll();
            const qsizetype end = c.Head.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray rest = c.Head.mid(end + 4);
            const QList<QByteArray> lines = c.Head.left(end).split('\n');
            const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
            c.Request.Method = requestLine.value(0);
            c.Request.Path = requestLine.value(1);
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines[i].indexOf(':');
                if (colon > 0)
                    c.Request.Headers.insert(lines[i].left(colon).trimmed().toLower(),
                                             lines[i].mid(colon + 1).trimmed());
            }
            c.Remaining = c.Request.Headers.value("content-length", "0").toLongLong();
            c.Hash = std::make_unique<QCryptographicHash>(QCryptographicHash::Sha1);
            c.HeadDone = true;
            Consume(c, rest);
        } else {
            Consume(c, socket.read(c.Remaining));
        }
        if (c.Remaining > 0)
            return;
        c.Request.BodySha1 = c.Hash->result();
        Requests.append(c.Request);
        c = TConnection(); // ready for the next request on a kept-alive connection
        QTimer::singleShot(DelayMs, &socket, [this, socketPtr = &socket] { Answer(*socketPtr); });
    }

    void Consume(TConnection &c, const QByteArray &bytes)
    {
        c.Request.BodySize += bytes.size();
        c.Hash->addData(bytes);
        if (KeepBodies)
            c.Request.Body += bytes;
        c.Remaining -= bytes.size();
    }

    void Answer(QTcpSocket &socket)
    {
        const QByteArray body = AnswerBodies.isEmpty() ? AnswerBody : AnswerBodies.takeFirst();
        QByteArray head = "HTTP/1.1 " + QByteArray::number(Status) + ' ' + Reason + "\r\n"
                          "Content-Type: text/plain; charset=UTF-8\r\n";
        if (Chunked) {
            socket.write(head + "Transfer-Encoding: chunked\r\n\r\n");
            // Two chunks, so the client must join them.
            const qsizetype half = body.size() / 2;
            for (const QByteArray &piece : {body.left(half), body.mid(half)})
                if (!piece.isEmpty())
                    socket.write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
            socket.write("0\r\n\r\n");
        } else {
            socket.write(head + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        }
    }

    QTcpServer FServer;
};
