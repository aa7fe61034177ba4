// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathHistory.h"

QString TrimPathText(const QString &text)
{
    const auto isTrimmed = [](QChar c) { return c.unicode() <= 0x20; };
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && isTrimmed(text[first]))
        ++first;
    while (end > first && isTrimmed(text[end - 1]))
        --end;
    return text.sliced(first, end - first);
}

void InsertPathIfAbsent(QStringList &history, const QString &path)
{
    if (history.contains(path, Qt::CaseInsensitive))
        return;
    history.prepend(path);
    while (history.size() > MaxPathHistory)
        history.removeLast();
}

void MovePathToTop(QStringList &history, const QString &path)
{
    for (qsizetype i = 0; i < history.size(); ++i) {
        if (history[i].compare(path, Qt::CaseInsensitive) == 0) {
            history.removeAt(i);
            break;
        }
    }
    history.prepend(path);
    while (history.size() > MaxPathHistory)
        history.removeLast();
}
