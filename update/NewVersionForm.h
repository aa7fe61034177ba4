// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "UpdateSite.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QNetworkReply;
class QProgressBar;
class QPushButton;
class TUpdateShell;

/// Announces a new version and downloads and starts its installer. Fixed
/// client area 420 x 189, centred on the screen. After Update Now, and after
/// any close of a forced update, Tag() is 0: the program is to end.
class TfrmNewVersion : public QDialog
{
    Q_OBJECT

public:
    /// Keeps copies of `info` and `site`; `shell` must outlive the dialog.
    TfrmNewVersion(const TNewVersionInfo &info, const TUpdateSite &site, TUpdateShell &shell,
                   QWidget *parent = nullptr);

    /// The continue flag read by the start-up: 1 = go on, 0 = end the
    /// program; 0 until the dialog has been shown.
    int Tag() const { return FTag; }

    void FormShow();
    void FormClose();
    void btCancelClick();
    void btUpdateNowClick();

protected:
    void showEvent(QShowEvent *event) override;
    /// Every way of closing passes here; ignored while a download runs.
    void done(int result) override;

private:
    void DownloadInstaller(const QString &target);
    /// The download's progress handler; throws to abort the transfer.
    void DownloadWork(qint64 bytesSoFar);
    void ReportProgress(qint64 bytesSoFar);
    void FailDownload(const QString &text);
    void PlaceButtons();

    QLabel *imgUpdate;
    QLabel *Label1;
    QProgressBar *ProgressBar1;
    QPushButton *btUpdateNow;
    QPushButton *btCancel;

    const TUpdateSite FSite;
    const QString FAnnouncement;
    TUpdateShell &FShell;
    int FTag = 0;
    bool FForcedUpdate = false;
    bool FDownloadCancelled = false;
    bool FDownloading = false;
    QPointer<QNetworkReply> FReply;
    qint64 FBytesSoFar = 0;
    QString FDownloadFailure;
};
