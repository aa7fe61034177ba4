// SPDX-License-Identifier: GPL-3.0-or-later
#include "UpdateHttp.h"

#include <QNetworkReply>
#include <QUrl>

using namespace Qt::StringLiterals;

QNetworkRequest UpdateRequest(const QString &baseAddress, const QString &path)
{
    QNetworkRequest request(QUrl(baseAddress + path));
    request.setHeader(QNetworkRequest::UserAgentHeader, u"Mozilla/4.0 (compatible; MyApp)"_s);
    return request;
}

QString HttpFailureText(const QNetworkReply &reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        const int code = status.toInt();
        if (code < 200 || code > 299)
            return u"HTTP error (%1): %2"_s.arg(code).arg(
                reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    }
    if (reply.error() != QNetworkReply::NoError)
        return reply.errorString();
    if (!status.isValid())
        return reply.errorString(); // no answer at all
    return QString();
}
