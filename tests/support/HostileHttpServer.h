// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

/// An HTTP server on 127.0.0.1 and a free port that answers every request
/// the same way, as badly as a test asks: a body sent a byte at a time, one
/// without end, one shorter than announced, one of a gigabyte. The body is
/// made as the socket takes it, so no answer is ever held in memory. It runs
/// on the test's thread, so it serves while the client waits in its own
/// event loop.
class THostileHttpServer : public QObject
{
public:
    struct TAnswer {
        /// The status line and the header lines, each ending in CR LF; the
        /// blank line after them is added.
        QByteArray Head = "HTTP/1.1 200 OK\r\n";
        /// Body bytes to send, then close; -1 sends without end.
        qint64 BodyBytes = 0;
        /// Repeated to make the body.
        QByteArray Pattern = "x";
        /// Above 0: one byte per this many milliseconds.
        int DripIntervalMs = 0;
        /// Frame the body in chunks.
        bool Chunked = false;
        /// End a chunked body with the last chunk; false closes without it.
        bool LastChunk = true;
    };

    TAnswer Answer;

    THostileHttpServer()
    {
        connect(&FServer, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = FServer.nextPendingConnection())
                Serve(socket);
        });
        if (!FServer.listen(QHostAddress::LocalHost))
            qFatal("the hostile server cannot listen");
    }

    quint16 Port() const { return FServer.serverPort(); }
    QString BaseAddress() const { return QStringLiteral("http://127.0.0.1:%1").arg(Port()); }
    /// Body bytes written to all connections so far.
    qint64 BodyBytesSent() const { return FSent; }

private:
    struct TConnection {
        QByteArray Request;
        bool Answering = false;
        qint64 Sent = 0;
        std::unique_ptr<QTimer> Drip;
    };

    void Serve(QTcpSocket *socket)
    {
        auto connection = std::make_shared<TConnection>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, connection] {
            // The request's body, if any, is read and dropped.
            const QByteArray bytes = socket->readAll();
            if (connection->Answering)
                return;
            connection->Request += bytes;
            if (!connection->Request.contains("\r\n\r\n"))
                return;
            connection->Answering = true;
            socket->write(Answer.Head + "\r\n");
            if (Answer.DripIntervalMs > 0) {
                connection->Drip = std::make_unique<QTimer>();
                connect(connection->Drip.get(), &QTimer::timeout, socket,
                        [this, socket, connection] { SendMore(*socket, *connection, 1); });
                connection->Drip->start(Answer.DripIntervalMs);
            } else {
                connect(socket, &QTcpSocket::bytesWritten, socket,
                        [this, socket, connection] { SendMore(*socket, *connection, kPiece); });
                SendMore(*socket, *connection, kPiece);
            }
        });
    }

    // Writes up to `most` more body bytes while the socket's queue is short.
    void SendMore(QTcpSocket &socket, TConnection &c, qint64 most)
    {
        if (socket.state() != QAbstractSocket::ConnectedState || socket.bytesToWrite() > kPiece)
            return;
        qint64 count = most;
        if (Answer.BodyBytes >= 0)
            count = std::min(count, Answer.BodyBytes - c.Sent);
        if (count > 0) {
            if (FRepeated.size() < kPiece + Answer.Pattern.size() || !FRepeated.startsWith(Answer.Pattern))
                FRepeated = Answer.Pattern.repeated(kPiece / Answer.Pattern.size() + 2);
            const QByteArray piece = FRepeated.mid(c.Sent % Answer.Pattern.size(), count);
            socket.write(Answer.Chunked ? QByteArray::number(count, 16) + "\r\n" + piece + "\r\n" : piece);
            c.Sent += count;
            FSent += count;
        }
        if (Answer.BodyBytes >= 0 && c.Sent >= Answer.BodyBytes) {
            if (c.Drip)
                c.Drip->stop();
            if (Answer.Chunked && Answer.LastChunk)
                socket.write("0\r\n\r\n");
            socket.disconnectFromHost();
        }
    }

    static constexpr qint64 kPiece = 256 * 1024;

    QTcpServer FServer;
    qint64 FSent = 0;
    QByteArray FRepeated; // the pattern over a piece and a little more

};
