// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExtractServer.h"

#include "HttpConnection.h"

TExtractServer::TExtractServer(const TExtractServerSettings &settings, QObject *parent)
    : QObject(parent), FSettings(settings)
{
    connect(&FServer, &QTcpServer::newConnection, this, &TExtractServer::Accept);
}

TExtractServer::~TExtractServer()
{
    // The connections are children, but they must go while the members
    // they report to still exist.
    FStopping = true;
    qDeleteAll(findChildren<THttpConnection *>(Qt::FindDirectChildrenOnly));
}

bool TExtractServer::Listen()
{
    return FServer.listen(FSettings.Address, FSettings.Port);
}

void TExtractServer::Accept()
{
    while (QTcpSocket *socket = FServer.nextPendingConnection())
        new THttpConnection(socket, *this); // deletes itself when the socket closes
}

void TExtractServer::RequestWorker(THttpConnection *connection)
{
    if (FRunning < FSettings.MaxWorkers) {
        ++FRunning;
        connection->StartWorker();
    } else {
        FWaiting.enqueue(connection);
    }
}

void TExtractServer::ReleaseWorker()
{
    --FRunning;
    while (!FStopping && !FWaiting.isEmpty() && FRunning < FSettings.MaxWorkers) {
        const QPointer<THttpConnection> next = FWaiting.dequeue();
        if (next) { // it may have closed while it waited
            ++FRunning;
            next->StartWorker();
        }
    }
}
