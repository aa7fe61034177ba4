// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExtractionClient.h"

#include "TextFile.h"
#include "TextFormat.h"
#include "translation.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
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
                                      int readTimeoutMs, int totalTimeoutMs, qint64 maxAnswerBytes)
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

    // The answer is read as it arrives, so one that is too large fails at the
    // limit instead of filling memory; a length announced beyond it fails
    // before any of it is read. Without a read buffer limit Qt takes in a
    // fast chunked answer without handing any of it on until the sender
    // pauses, so the limit would never be seen. For a request with a body,
    // Qt 6.4 drops a limit set before the request is under way: it is set
    // again once the body is sent and with the answer's head.
    constexpr qint64 readBufferBytes = 4 * 1024 * 1024;
    reply->setReadBufferSize(readBufferBytes);
    QObject::connect(reply.get(), &QNetworkReply::uploadProgress, reply.get(), [&reply](qint64 sent, qint64 total) {
        if (sent == total)
            reply->setReadBufferSize(readBufferBytes);
    });
    enum class TStop { None, TooLarge, TooSlow };
    TStop stop = TStop::None;
    QByteArray answer;
    const auto stopWith = [&reply, &stop](TStop why) {
        if (stop == TStop::None)
            stop = why;
        reply->abort();
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), [&] {
        reply->setReadBufferSize(readBufferBytes);
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxAnswerBytes)
            stopWith(TStop::TooLarge);
    });
    QObject::connect(reply.get(), &QIODevice::readyRead, reply.get(), [&] {
        answer += reply->readAll();
        if (answer.size() > maxAnswerBytes)
            stopWith(TStop::TooLarge);
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply.get(), [&] { stopWith(TStop::TooSlow); });

    if (!reply->isFinished()) {
        deadline.start(totalTimeoutMs);
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
    } else if (stop == TStop::TooLarge) {
        result.ErrorText = Translate(u"Error:"_s) + u' '
                           + FormatText(Translate(u"The extracted text is larger than %s MB."_s),
                                        {QString::number(maxAnswerBytes / (1024 * 1024))});
    } else if (reply->error() != QNetworkReply::NoError) {
        // The read time-out cancels the transfer; "Operation canceled" would
        // not tell the user why.
        const bool timedOut = stop == TStop::TooSlow || reply->error() == QNetworkReply::TimeoutError
                              || (reply->error() == QNetworkReply::OperationCanceledError && !abandoned);
        result.ErrorText = Translate(u"Error:"_s) + u' '
                           + (timedOut ? Translate(u"The server did not answer in time."_s) : reply->errorString());
    } else {
        answer += reply->readAll();
        // Qt may take a close before the announced length for the end of
        // the answer; a part of a text must not pass for the whole.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && answer.size() < length.toLongLong()) {
            result.ErrorText = Translate(u"Error:"_s) + u' ' + Translate(u"The server's answer ended early."_s);
            return result;
        }
        result.Text = QString::fromUtf8(answer);
        result.Success = !result.Text.isEmpty();
    }
    return result;
}
