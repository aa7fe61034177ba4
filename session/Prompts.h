// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QColor;
class QFont;

/// Everything the program asks or tells the user outside the main window:
/// message boxes, file dialogs, the warning beep and the busy cursors. The
/// real implementation shows dialogs; tests script the answers and read the
/// texts. Texts arrive already translated.
class TPrompts
{
public:
    virtual ~TPrompts() = default;

    /// An information box with an OK button.
    virtual void Information(const QString &text) = 0;
    /// A warning box with an OK button.
    virtual void Warning(const QString &text) = 0;
    /// An error box with an OK button.
    virtual void Error(const QString &text) = 0;
    /// A confirmation box with Yes and Cancel; true unless the user cancelled.
    virtual bool Confirm(const QString &text) = 0;
    /// The system's warning sound: a command that cannot act here.
    virtual void Beep() = 0;

    /// An open-file dialog for an existing file, starting in `folder`;
    /// the chosen file's full path, or an empty string on Cancel.
    virtual QString OpenFile(const QString &title, const QString &folder) = 0;
    /// A save-file dialog proposing `suggestedPath`; the chosen path, or an
    /// empty string on Cancel.
    virtual QString SaveFile(const QString &title, const QString &suggestedPath) = 0;

    /// A font dialog preset with `font`. On OK `font` becomes the chosen
    /// font and the result is true; on Cancel both stay as they were.
    virtual bool ChooseFont(QFont &font) = 0;
    /// A colour dialog preset with `color`. On OK `color` becomes the chosen
    /// colour and the result is true; on Cancel both stay as they were.
    virtual bool ChooseColor(QColor &color) = 0;

    /// Hourglass (wait) and arrow-with-hourglass (busy) cursors; every
    /// Push is matched by one Pop.
    virtual void PushWaitCursor() = 0;
    virtual void PushBusyCursor() = 0;
    virtual void PopCursor() = 0;
};

/// Shows the wait cursor for the life of the guard.
class TWaitCursorGuard
{
public:
    explicit TWaitCursorGuard(TPrompts &prompts)
        : FPrompts(prompts)
    {
        FPrompts.PushWaitCursor();
    }
    ~TWaitCursorGuard() { FPrompts.PopCursor(); }
    TWaitCursorGuard(const TWaitCursorGuard &) = delete;
    TWaitCursorGuard &operator=(const TWaitCursorGuard &) = delete;

private:
    TPrompts &FPrompts;
};
