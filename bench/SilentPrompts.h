// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Prompts.h"

#include <cstdio>

/// Prompts for the window benchmarks: every box is answered with OK or Yes
/// and shown nowhere, so the figures measure the window, not a person;
/// errors are printed, so a broken run is seen.
class TSilentPrompts final : public TPrompts
{
public:
    void Information(const QString &) override {}
    void Warning(const QString &) override {}
    void Error(const QString &text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    bool Confirm(const QString &) override { return true; }
    void Beep() override {}
    QString OpenFile(const QString &, const QString &) override { return {}; }
    QString SaveFile(const QString &, const QString &) override { return {}; }
    bool ChooseFont(QFont &) override { return false; }
    bool ChooseColor(QColor &) override { return false; }
    void PushWaitCursor() override {}
    void PushBusyCursor() override {}
    void PopCursor() override {}
};
