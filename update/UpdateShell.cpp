// SPDX-License-Identifier: GPL-3.0-or-later
#include "UpdateShell.h"

#include "translation.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

using namespace Qt::StringLiterals;

void TDesktopUpdateShell::Error(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(box.addButton(Translate(u"OK"_s), QMessageBox::AcceptRole));
    box.exec();
}

bool TDesktopUpdateShell::Open(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
