// SPDX-License-Identifier: GPL-3.0-or-later
#include "WidgetPrompts.h"

#include "translation.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// One box with translated button texts; returns true when the accepting button was pressed.
bool ShowBox(QWidget *parent, QMessageBox::Icon icon, const QString &text, bool withCancel)
{
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton *accept = box.addButton(withCancel ? Translate(u"Yes"_s) : Translate(u"OK"_s),
                                        withCancel ? QMessageBox::YesRole : QMessageBox::AcceptRole);
    if (withCancel)
        box.setEscapeButton(box.addButton(Translate(u"Cancel"_s), QMessageBox::RejectRole));
    box.setDefaultButton(accept);
    box.exec();
    return box.clickedButton() == accept;
}

// A dialog opened from another modal dialog belongs over that one.
QWidget *DialogParent(QWidget *fallback)
{
    QWidget *modal = QApplication::activeModalWidget();
    return modal ? modal : fallback;
}

} // namespace

TWidgetPrompts::TWidgetPrompts(QWidget *parent)
    : FParent(parent)
{
}

void TWidgetPrompts::Information(const QString &text)
{
    ShowBox(FParent, QMessageBox::Information, text, false);
}

void TWidgetPrompts::Warning(const QString &text)
{
    ShowBox(FParent, QMessageBox::Warning, text, false);
}

void TWidgetPrompts::Error(const QString &text)
{
    ShowBox(FParent, QMessageBox::Critical, text, false);
}

bool TWidgetPrompts::Confirm(const QString &text)
{
    return ShowBox(FParent, QMessageBox::Question, text, true);
}

void TWidgetPrompts::Beep()
{
    QApplication::beep();
}

QString TWidgetPrompts::OpenFile(const QString &title, const QString &folder)
{
    return QFileDialog::getOpenFileName(FParent, title, folder);
}

QString TWidgetPrompts::SaveFile(const QString &title, const QString &suggestedPath)
{
    return QFileDialog::getSaveFileName(FParent, title, suggestedPath);
}

bool TWidgetPrompts::ChooseFont(QFont &font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, DialogParent(FParent));
    if (ok)
        font = chosen;
    return ok;
}

bool TWidgetPrompts::ChooseColor(QColor &color)
{
    const QColor chosen = QColorDialog::getColor(color, DialogParent(FParent));
    if (!chosen.isValid())
        return false;
    color = chosen;
    return true;
}

void TWidgetPrompts::PushWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TWidgetPrompts::PushBusyCursor()
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
}

void TWidgetPrompts::PopCursor()
{
    QApplication::restoreOverrideCursor();
}
