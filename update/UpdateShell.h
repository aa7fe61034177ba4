// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QUrl;
class QWidget;

/// What the update dialog asks of the desktop: an error box and the shell's
/// open action. Tests record both instead.
class TUpdateShell
{
public:
    virtual ~TUpdateShell() = default;
    /// An error box with an OK button; the text arrives translated.
    virtual void Error(QWidget *parent, const QString &text) = 0;
    /// Opens a web page in the browser or starts a local file with its
    /// default action; false when nothing could be started.
    virtual bool Open(const QUrl &url) = 0;
};

/// The real shell: QMessageBox and QDesktopServices.
class TDesktopUpdateShell final : public TUpdateShell
{
public:
    void Error(QWidget *parent, const QString &text) override;
    bool Open(const QUrl &url) override;
};
