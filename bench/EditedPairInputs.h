// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

/// A source-like line: an indent, a few words and a number; with
/// `accented`, a non-ASCII word in front, so no row height can skip layout.
inline QByteArray RandomSourceLine(QRandomGenerator &random, bool accented = false)
{
    static const char *const words[] = {"int", "return", "value", "index", "if", "(", ")", "{", "}", "count", "="};
    if (accented)
        return "caf\xC3\xA9 " + RandomSourceLine(random, false);
    QByteArray line(int(random.bounded(4)) * 4, ' ');
    for (int w = 2 + int(random.bounded(10)); w > 0; --w)
        line += QByteArray(words[random.bounded(11)]) + ' ';
    return line + QByteArray::number(random.bounded(100000));
}

/// Writes a file of `count` lines and a copy with about 1% of its lines
/// changed; the same arguments always give the same files.
inline void WriteEditedPair(const QString &leftPath, const QString &rightPath, int count, bool accented = false)
{
    QRandomGenerator random(7);
    QByteArray left, right;
    for (int i = 0; i < count; ++i) {
        const QByteArray line = RandomSourceLine(random, accented);
        left += line + '\n';
        right += (random.bounded(100) == 0 ? line + " changed" : line) + '\n';
    }
    QFile l(leftPath), r(rightPath);
    if (!l.open(QIODevice::WriteOnly) || !r.open(QIODevice::WriteOnly) || l.write(left) != left.size()
        || r.write(right) != right.size())
        qFatal("cannot write the inputs");
}
