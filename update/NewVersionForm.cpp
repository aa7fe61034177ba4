// SPDX-License-Identifier: GPL-3.0-or-later
#include "NewVersionForm.h"

#include "FileWriting.h"
#include "UpdateHttp.h"
#include "UpdateShell.h"
#include "translation.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

// Q_INIT_RESOURCE declares a function and must stand outside any namespace;
// a static library's resources are not registered on their own.
static void InitUpdateResources()
{
    Q_INIT_RESOURCE(update);
}

namespace {

// A download step that failed, with the text the user sees after the failure message.
struct TUpdateFailure {
    QString Text;
};

constexpr int kButtonTop = 156;
constexpr int kButtonHeight = 25;
constexpr int kMargin = 8;

} // namespace

TfrmNewVersion::TfrmNewVersion(const TNewVersionInfo &info, const TUpdateSite &site, TUpdateShell &shell,
                               QWidget *parent)
    : QDialog(parent)
    , FSite(site)
    , FAnnouncement(info.Announcement)
    , FShell(shell)
    , FForcedUpdate(info.ForcedUpdate)
{
    static const bool resourcesReady = (InitUpdateResources(), true);
    Q_UNUSED(resourcesReady);
    setObjectName(u"frmNewVersion"_s);
    setFixedSize(420, 189);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    imgUpdate = new QLabel(this);
    imgUpdate->setObjectName(u"imgUpdate"_s);
    imgUpdate->setGeometry(kMargin, kMargin, 70, 75);
    imgUpdate->setPixmap(QIcon(u":/update/update-icon"_s).pixmap(70, 75));

    // A long change log is cut off by the fixed size; the server's text is never rich text.
    Label1 = new QLabel(this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setGeometry(86, kMargin, 327, 115);
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setGeometry(6, 131, 409, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    btUpdateNow = new QPushButton(this);
    btUpdateNow->setObjectName(u"btUpdateNow"_s);
    btCancel = new QPushButton(this);
    btCancel->setObjectName(u"btCancel"_s);
    connect(btUpdateNow, &QPushButton::clicked, this, &TfrmNewVersion::btUpdateNowClick);
    connect(btCancel, &QPushButton::clicked, this, &TfrmNewVersion::btCancelClick);
}

void TfrmNewVersion::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfrmNewVersion::done(int result)
{
    if (FDownloading)
        return; // the dialog closes by itself when the download stops
    FormClose();
    QDialog::done(result);
}

void TfrmNewVersion::FormShow()
{
    FTag = 1;
    setWindowTitle(u' ' + FSite.ApplicationTitle);
    btUpdateNow->setText(Translate(u"Update Now"_s));
    btCancel->setText(FForcedUpdate ? Translate(u"Exit"_s) : Translate(u"Skip"_s));
    Label1->setText(FAnnouncement);
    PlaceButtons();
}

void TfrmNewVersion::FormClose()
{
    if (FForcedUpdate)
        FTag = 0;
}

// Design widths 100 and 75 at the bottom right; a longer translation widens its button leftwards.
void TfrmNewVersion::PlaceButtons()
{
    const int cancelWidth = std::max(75, btCancel->sizeHint().width());
    const int updateWidth = std::max(100, btUpdateNow->sizeHint().width());
    const int cancelLeft = width() - kMargin - cancelWidth;
    btCancel->setGeometry(cancelLeft, kButtonTop, cancelWidth, kButtonHeight);
    btUpdateNow->setGeometry(cancelLeft - 6 - updateWidth, kButtonTop, updateWidth, kButtonHeight);
}

void TfrmNewVersion::btCancelClick()
{
    if (!FDownloading) {
        close();
        return;
    }
    FDownloadCancelled = true;
    // Take effect now, as the next progress report would, rather than wait
    // for a server that may have stopped sending.
    QTimer::singleShot(0, this, [this] {
        if (FReply)
            ReportProgress(FBytesSoFar);
    });
}

void TfrmNewVersion::btUpdateNowClick()
{
    FForcedUpdate = true; // from here on, closing ends the program
    QString failure;
    try {
        FDownloadCancelled = false;
        FDownloading = true;
        btCancel->setText(Translate(u"Abort"_s));
        PlaceButtons();
        btUpdateNow->setEnabled(false);
        ProgressBar1->setValue(0);
        ProgressBar1->show();
        ProgressBar1->repaint();
        QCoreApplication::processEvents();

        const QString folder = FSite.DownloadFolder.isEmpty() ? QDir::tempPath() : FSite.DownloadFolder;
        const QString target = QDir(folder).filePath(u"qbl_update.exe"_s);
        DownloadInstaller(target);
        if (!QFileInfo::exists(target))
            throw TUpdateFailure{Translate(u"Cannot find downloaded file."_s)};
        if (!FShell.Open(QUrl::fromLocalFile(target)))
            throw TUpdateFailure{Translate(u"Cannot start downloaded file."_s)};
    } catch (const TUpdateFailure &e) {
        failure = e.Text;
    }
    if (!failure.isNull()) {
        FShell.Error(this, Translate(u"Failed to download update. Please download manually on website."_s) +
                               u"\r\n\r\n"_s + failure);
        FShell.Open(QUrl(FSite.BaseAddress + u'/'));
    }
    FDownloading = false;
    close();
}

// Saves the installer under `target`. The bytes go to a temporary name that
// takes the target's name only once complete: a file of that name is always
// a finished download, and a failed one leaves an earlier file as it was.
// Unbuffered, because Qt 6.4 commits a buffered QSaveFile even when its final
// flush fails, which would pass a cut-off installer for a whole one.
void TfrmNewVersion::DownloadInstaller(const QString &target)
{
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw TUpdateFailure{file.errorString()};
    const auto writeFailure = [&file] {
        return file.error() != QFileDevice::NoError ? file.errorString()
                                                    : Translate(u"Not all of the download could be written."_s);
    };

    // No time-out and no redirects for the download.
    QNetworkAccessManager client;
    QNetworkRequest request = UpdateRequest(FSite.BaseAddress, u"/download/lunavist.exe"_s);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(0);
    FDownloadFailure = QString();
    FBytesSoFar = 0;
    QNetworkReply *reply = client.get(request);
    // Qt hands on a fast chunked answer piece by piece only with a read buffer limit.
    reply->setReadBufferSize(1024 * 1024);
    FReply = reply;
    connect(reply, &QIODevice::readyRead, this, [this, reply, &file, &writeFailure] {
        if (!WriteAll(file, reply->readAll()))
            FailDownload(writeFailure());
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this](qint64 received, qint64) { ReportProgress(received); });
    if (!reply->isFinished()) {
        // Window messages keep flowing, so the dialog repaints and Abort can be pressed.
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    FReply = nullptr;
    reply->disconnect(this);

    if (!FDownloadFailure.isNull())
        throw TUpdateFailure{FDownloadFailure};
    if (const QString http = HttpFailureText(*reply); !http.isEmpty())
        throw TUpdateFailure{http};
    if (!WriteAll(file, reply->readAll()))
        throw TUpdateFailure{writeFailure()};
    if (!file.commit())
        throw TUpdateFailure{file.errorString()};
}

void TfrmNewVersion::ReportProgress(qint64 bytesSoFar)
{
    FBytesSoFar = bytesSoFar;
    try {
        DownloadWork(bytesSoFar);
    } catch (const TUpdateFailure &e) {
        FailDownload(e.Text);
    }
}

void TfrmNewVersion::FailDownload(const QString &text)
{
    if (FDownloadFailure.isNull())
        FDownloadFailure = text;
    if (FReply)
        FReply->abort();
}

void TfrmNewVersion::DownloadWork(qint64 bytesSoFar)
{
    if (FDownloadCancelled)
        throw TUpdateFailure{Translate(u"Download is cancelled. Please download manually."_s)};
    if (!FReply)
        return;
    const qint64 length = FReply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    const bool chunked = QString::fromLatin1(FReply->rawHeader("Transfer-Encoding")).toLower().contains(u"chunked"_s);
    if (length > 0 && !chunked) {
        ProgressBar1->setValue(int(std::clamp<qint64>(bytesSoFar * 100 / length, 0, 100)));
        ProgressBar1->repaint();
    }
}
