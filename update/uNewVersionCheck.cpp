// SPDX-License-Identifier: GPL-3.0-or-later
#include "uNewVersionCheck.h"

#include "TextFormat.h"
#include "UpdateHttp.h"
#include "translation.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTimer>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// One GET of the version check, blocking without user input; nothing on any
// failure. The answer is bounded in size and in time: a server that sends
// without end, or a byte at a time, must not hold the start or fill memory.
std::optional<QByteArray> GetFile(QNetworkAccessManager &client, const TUpdateSite &site, const QString &path)
{
    QNetworkRequest request = UpdateRequest(site.BaseAddress, path);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    // Qt starts this timer with the request, so a host lookup or connect
    // that hangs is bounded by it too.
    request.setTransferTimeout(site.ReadTimeoutMs);
    const std::unique_ptr<QNetworkReply> reply(client.get(request));
    // Read as it arrives (Qt hands on a fast chunked answer only with a read
    // buffer limit); a length announced beyond the limit fails at once.
    reply->setReadBufferSize(256 * 1024);
    QByteArray answer;
    bool givenUp = false;
    const auto giveUp = [&reply, &givenUp] {
        givenUp = true;
        reply->abort();
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), [&reply, giveUp] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > MaxVersionAnswerBytes)
            giveUp();
    });
    QObject::connect(reply.get(), &QIODevice::readyRead, reply.get(), [&reply, &answer, giveUp] {
        answer += reply->readAll();
        if (answer.size() > MaxVersionAnswerBytes)
            giveUp();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply.get(), giveUp);
    if (!reply->isFinished()) {
        deadline.start(site.TotalTimeoutMs);
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (givenUp || !HttpFailureText(*reply).isEmpty())
        return std::nullopt;
    return answer + reply->readAll();
}

// UTF-8 (a byte-order mark skipped) cut at CR LF, CR or LF; a final line
// break ends the last line rather than starting an empty one.
QStringList DecodeLines(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (text.isEmpty())
        return {};
    if (text.endsWith(u"\r\n"_s))
        text.chop(2);
    else if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
    return text.split(lineBreak);
}

} // namespace

bool CheckForNewVersion(const TUpdateSite &site, TNewVersionInfo &info)
{
    QNetworkAccessManager client;
    const std::optional<QByteArray> version = GetFile(client, site, u"/download/version/lunavist-version.html"_s);
    if (!version)
        return false;
    const std::optional<QByteArray> changeLog = GetFile(client, site, u"/download/version/lunavist-changes.html"_s);
    if (!changeLog)
        return false;
    return EvaluateVersionFiles(*version, *changeLog, site.RunningVersion, info);
}

bool EvaluateVersionFiles(const QByteArray &versionFile, const QByteArray &changeLog, int runningVersion,
                          TNewVersionInfo &info)
{
    const QStringList versionLines = DecodeLines(versionFile);
    if (versionLines.isEmpty())
        return false;
    const QString &versionLine = versionLines.front();
    QStringList changes = DecodeLines(changeLog);
    changes.removeAll(QString()); // lines of blanks stay

    const qsizetype slash = versionLine.indexOf(u'/');
    if (slash < 0)
        return false;
    const QString latestText = versionLine.left(slash).trimmed();
    bool latestOk = false;
    bool minimumOk = false;
    const int latest = latestText.toInt(&latestOk, 10);
    const int minimum = versionLine.mid(slash + 1).toInt(&minimumOk, 10);
    if (!latestOk || !minimumOk)
        return false;
    // 25 is shown as 2.5, 130 as 13.0.
    const QString display = latestText.left(latestText.size() - 1) + u'.' + latestText.right(1);

    QString announcement;
    if (minimum > runningVersion) {
        announcement = FormatText(Translate(u"This version of the software is out of date. You must download "
                                            "the current version %s to continue using the software."_s),
                                  {display});
        info.ForcedUpdate = true;
    } else if (latest > runningVersion) {
        announcement = FormatText(Translate(u"The new version %s is available"_s), {display});
    } else {
        return false;
    }
    announcement += u"\r\n\r\n"_s + Translate(u"What's new:"_s) + u"\r\n"_s;
    for (const QString &line : std::as_const(changes))
        announcement += line + u"\r\n"_s;
    info.Announcement = announcement;
    return true;
}

bool RunStartupVersionCheck(const TUpdateSite &site, TUpdateShell &shell)
{
    TNewVersionInfo info;
    if (!CheckForNewVersion(site, info))
        return true;
    TfrmNewVersion dialog(info, site, shell);
    dialog.exec();
    return dialog.Tag() != 0;
}
