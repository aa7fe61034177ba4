// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QTcpServer>

class THttpConnection;

/// How the server listens, what it accepts and how long it waits.
struct TExtractServerSettings {
    QHostAddress Address = QHostAddress::LocalHost;
    /// 0 picks a free port (Port() tells which).
    quint16 Port = 9998;
    /// Larger documents are answered 413 without reading them.
    qint64 MaxBodyBytes = qint64(512) << 20;
    /// A request's head must arrive within this time of its first byte,
    /// and its body may pause no longer than this: else 408.
    int ReadTimeoutMs = 30000;
    /// An idle kept-alive connection is closed after this time.
    int IdleTimeoutMs = 60000;
    /// A document's extraction taking longer is stopped: 422.
    int ExtractTimeLimitMs = 120000;
    /// Extractions running at once; further documents wait their turn.
    int MaxWorkers = 2;
    /// Address space of one extraction beyond the document's own size.
    qint64 WorkerMemoryBytes = qint64(3) << 30;
    /// The program run as `<program> --extract FILE` for every document.
    QString WorkerProgram;
    /// One line per answered request on standard error.
    bool Log = true;
};

/// The HTTP/1.1 text-extraction server: `PUT /tika` with a document's bytes
/// (Content-Length or chunked) answers 200 with its plain text in UTF-8,
/// 415 for a type it does not read, 422 for a document it cannot read
/// (also one whose extraction crashed or ran out of time or memory), 413
/// above the size limit; `GET /tika` answers a greeting. Each connection
/// serves one request at a time and is kept alive; many connections are
/// served at once. Each document is extracted by a separate process, so a
/// hostile document can cost that process only.
class TExtractServer : public QObject {
    Q_OBJECT

public:
    explicit TExtractServer(const TExtractServerSettings &settings, QObject *parent = nullptr);
    ~TExtractServer() override;

    /// Starts listening; false with ErrorString() when the port is taken.
    bool Listen();
    quint16 Port() const { return FServer.serverPort(); }
    QString ErrorString() const { return FServer.errorString(); }
    const TExtractServerSettings &Settings() const { return FSettings; }

    /// A connection's request is ready for extraction: it starts now or
    /// when a running one ends (THttpConnection::StartWorker).
    void RequestWorker(THttpConnection *connection);
    /// A connection's extraction ended, or the connection went away.
    void ReleaseWorker();

private:
    void Accept();

    TExtractServerSettings FSettings;
    QTcpServer FServer;
    int FRunning = 0;
    bool FStopping = false;
    QQueue<QPointer<THttpConnection>> FWaiting;
};
