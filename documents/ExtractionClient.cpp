// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExtractionClient.h"

#include "TextFile.h"
#include "translation.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

using namespace Qt::StringLiterals;

std::unique_ptr<QFile> OpenFileForUpload(const QString &path, QString &errorText)
{
    errorText.clear();
    auto file = std::make_unique<QFile>(path);
    // POSIX opens share reading and writing with other processes.
    if (file->open(QIODevice::ReadOnly))
        return file;
    errorText = u"EFOpenError: "_s + CannotOpenFileError(path, file->errorString()).Message();
    return nullptr;
}

TExtractionResult ExtractDocumentText(const QString &path, const QString &host, quint16 port,
                                      int readTimeoutMs)
{
    TExtractionResult result;
    const std::unique_ptr<QFile> file = OpenFileForUpload(path, result.ErrorText);
    if (!file)
        return result;

    QUrl url;
    url.setScheme(u"http"_s);
    url.setHost(host);
    url.setPort(port);
    url.setPath(u"/tika"_s);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/octet-stream"));
    request.setRawHeader(QByteArrayLiteral("Accept"), QByteArrayLiteral("text/plain; charset=utf-8"));
    request.setTransferTimeout(readTimeoutMs);

    // One client per call, so calls share no connection or state.
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy); // the server is local; ignore http_proxy
    // The file is the body: the client reads it in pieces as it sends, so a
    // large document is never held in memory whole.
    const std::unique_ptr<QNetworkReply> reply(manager.put(request, file.get()));
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // The application quitting ends every event loop, ours included.
    const bool abandoned = !reply->isFinished();
    if (abandoned)
        reply->abort();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        result.ErrorText = u"HTTP error (%1): %2"_s.arg(
            QString::number(status.toInt()),
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    } else if (reply->error() != QNetworkReply::NoError) {
        // The read time-out cancels the transfer; "Operation canceled" would
        // not tell the user why.
        const bool timedOut = reply->error() == QNetworkReply::TimeoutError
                              || (reply->error() == QNetworkReply::OperationCanceledError && !abandoned);
        result.ErrorText = Translate(u"Error:"_s) + u' '
                           + (timedOut ? Translate(u"The server did not answer in time."_s) : reply->errorString());
    } else {
        result.Text = QString::fromUtf8(reply->readAll());
        result.Success = !result.Text.isEmpty();
    }
    return result;
}
