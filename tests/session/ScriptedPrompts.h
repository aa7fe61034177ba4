// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

/// TPrompts for tests: records every box and dialog as "kind: text" in
/// Log, answers from scripted queues and watches the cursor stack. A
/// prompt with no scripted answer is recorded in Unscripted and answered
/// with Cancel, so a test that forgot to script it fails on the check.
class TScriptedPrompts final : public TPrompts
{
public:
    enum TCursor { crWait, crBusy };

    /// "information: ", "warning: ", "error: ", "confirm: ", "open file: "
    /// or "save file: " followed by the box's text or the dialog's title;
    /// "font dialog" or "colour dialog".
    QStringList Log;
    /// Answers to Confirm, front first: true is Yes, false is Cancel.
    QList<bool> ConfirmAnswers;
    /// Paths the file dialogs return, front first; an empty one is Cancel.
    QStringList OpenFileAnswers;
    QStringList SaveFileAnswers;
    /// The folder or proposed path each file dialog was opened with.
    QStringList DialogStartPaths;
    /// Answer the font and colour dialogs: each gets the preset value, may
    /// change it and returns true for OK. Unset, the dialog is unscripted.
    std::function<bool(QFont &)> FontAnswer;
    std::function<bool(QColor &)> ColorAnswer;
    /// The Log entries of prompts that found no scripted answer.
    QStringList Unscripted;
    int Beeps = 0;
    /// The cursors pushed and not yet popped, innermost last.
    QList<TCursor> Cursors;
    int WaitCursorPushes = 0;
    int BusyCursorPushes = 0;
    /// Pops without a matching push.
    int CursorUnderflows = 0;

    /// Runs while each message box is open, as a modal box's event loop
    /// would run queued calls.
    std::function<void()> WhileBoxOpen;

    bool CursorsBalanced() const { return Cursors.isEmpty() && CursorUnderflows == 0; }

    void Information(const QString &text) override { Box(QStringLiteral("information: ") + text); }
    void Warning(const QString &text) override { Box(QStringLiteral("warning: ") + text); }
    void Error(const QString &text) override { Box(QStringLiteral("error: ") + text); }
    bool Confirm(const QString &text) override
    {
        Box(QStringLiteral("confirm: ") + text);
        if (ConfirmAnswers.isEmpty()) {
            Unscripted.append(Log.last());
            return false;
        }
        return ConfirmAnswers.takeFirst();
    }
    void Beep() override { ++Beeps; }

    QString OpenFile(const QString &title, const QString &folder) override
    {
        return Answer(QStringLiteral("open file: ") + title, folder, OpenFileAnswers);
    }
    QString SaveFile(const QString &title, const QString &suggestedPath) override
    {
        return Answer(QStringLiteral("save file: ") + title, suggestedPath, SaveFileAnswers);
    }

    bool ChooseFont(QFont &font) override { return Choose(QStringLiteral("font dialog"), FontAnswer, font); }
    bool ChooseColor(QColor &color) override { return Choose(QStringLiteral("colour dialog"), ColorAnswer, color); }

    void PushWaitCursor() override
    {
        Cursors.append(crWait);
        ++WaitCursorPushes;
    }
    void PushBusyCursor() override
    {
        Cursors.append(crBusy);
        ++BusyCursorPushes;
    }
    void PopCursor() override
    {
        if (Cursors.isEmpty())
            ++CursorUnderflows;
        else
            Cursors.removeLast();
    }

private:
    void Box(const QString &entry)
    {
        Log.append(entry);
        if (WhileBoxOpen)
            WhileBoxOpen();
    }
    template<typename T>
    bool Choose(const QString &entry, const std::function<bool(T &)> &answer, T &value)
    {
        Log.append(entry);
        if (!answer) {
            Unscripted.append(entry);
            return false;
        }
        return answer(value);
    }
    QString Answer(const QString &entry, const QString &startPath, QStringList &answers)
    {
        Log.append(entry);
        DialogStartPaths.append(startPath);
        if (answers.isEmpty()) {
            Unscripted.append(entry);
            return QString();
        }
        return answers.takeFirst();
    }
};
