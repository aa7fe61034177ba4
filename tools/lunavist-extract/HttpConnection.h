// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HttpRequestParser.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QTimer>

#include <memory>

class QTcpSocket;
class QTemporaryFile;
class TExtractServer;

/// One client connection of the extraction server: reads its requests one
/// at a time, stores a document's body in a temporary file as it arrives,
/// has it extracted by a worker process and answers. Every failure is an
/// HTTP answer; after one that leaves the request unread the connection is
/// closed. Deletes itself when the socket closes.
///
/// A small handler of our own rather than Qt's HTTP server module (6.4),
/// which takes each request's body into memory whole before a handler sees
/// it and has no time-outs: this one refuses a body by its declared size
/// before reading it, writes bodies to disk as they arrive, times out
/// stalled clients and closes without losing its last answer.
class THttpConnection : public QObject {
    Q_OBJECT

public:
    THttpConnection(QTcpSocket *socket, TExtractServer &server);
    ~THttpConnection() override;

    /// Runs the worker for the stored document (the server says when).
    void StartWorker();

private:
    enum TState {
        csReading,    ///< waiting for or reading a request
        csExtracting, ///< waiting for a worker slot or for the worker
        csClosing,    ///< the last answer is out; draining until the client closes
    };
    enum TRoute { rtExtract, rtGreeting, rtNotFound, rtNotAllowed };

    void ReadSocket();
    void Process();
    void Route();
    void Complete();
    bool Store(const QByteArray &body);
    void Answer(int status, const QByteArray &body, bool close = false, const QByteArray &extraHeaders = {});
    void TimedOut();
    void WorkerFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void WorkerError(QProcess::ProcessError error);
    void EndWorker();
    void ShutdownWhenWritten();

    QTcpSocket *FSocket;
    TExtractServer &FServer;
    THttpRequestParser FParser;
    QByteArray FInput;
    TState FState = csReading;
    TRoute FRoute = rtNotFound;
    std::unique_ptr<QTemporaryFile> FDocument;
    QProcess *FWorker = nullptr;
    bool FHoldsWorker = false;
    bool FWorkerTimedOut = false;
    QTimer FTimer;       ///< the read, idle and closing time-outs
    QTimer FWorkerTimer; ///< the extraction's time limit
    QElapsedTimer FClock;
};
