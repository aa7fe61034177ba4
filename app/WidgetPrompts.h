// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Prompts.h"

class QWidget;

/// The real prompts: message boxes, file dialogs, the system beep and the
/// override cursor, all parented to the main window.
class TWidgetPrompts final : public TPrompts
{
public:
    explicit TWidgetPrompts(QWidget *parent = nullptr);
    void SetParent(QWidget *parent) { FParent = parent; }

    void Information(const QString &text) override;
    void Warning(const QString &text) override;
    void Error(const QString &text) override;
    bool Confirm(const QString &text) override;
    void Beep() override;
    QString OpenFile(const QString &title, const QString &folder) override;
    QString SaveFile(const QString &title, const QString &suggestedPath) override;
    bool ChooseFont(QFont &font) override;
    bool ChooseColor(QColor &color) override;
    void PushWaitCursor() override;
    void PushBusyCursor() override;
    void PopCursor() override;

private:
    QWidget *FParent;
};
