// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ComparisonSession.h"
#include "FakeGridCursor.h"
#include "ScriptedPrompts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

/// LF after every line, UTF-8.
inline QByteArray LfLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + '\n';
    return bytes;
}

/// A session on a fake grid, with its files in a temporary folder.
struct TSessionFixture {
    QTemporaryDir Dir;
    TScriptedPrompts Prompts;
    TFakeGridCursor Grid;
    std::unique_ptr<TComparisonSession> Session = std::make_unique<TComparisonSession>(Prompts);

    TSessionFixture()
    {
        Session->SetGridCursor(&Grid);
        Grid.Follow(*Session);
    }

    QString Write(const QString &name, const QByteArray &bytes) const
    {
        const QString path = Dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the fixture %s", qPrintable(path));
        return path;
    }

    /// Compares two files of the given bytes and forgets the comparison's boxes.
    void LoadBytes(const QByteArray &left, const QByteArray &right)
    {
        Session->CompareTextFiles(Write(QStringLiteral("left.txt"), left),
                                  Write(QStringLiteral("right.txt"), right));
        Prompts.Log.clear();
    }
    void Load(const QStringList &left, const QStringList &right) { LoadBytes(LfLines(left), LfLines(right)); }

    /// The items the engine gives for the present lines.
    TDiffItems FreshItems() const
    {
        return ComputeDiff(Session->LeftLines(), Session->RightLines(), Session->Options());
    }
};
