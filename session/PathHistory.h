// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

/// Most entries a path box's history keeps.
inline constexpr qsizetype MaxPathHistory = 50;

/// A typed path without the characters U+0000..U+0020 (space and control
/// characters) at either end; other Unicode spaces stay.
QString TrimPathText(const QString &text);

/// Records `path` in `history` (newest first) unless an entry equal to it
/// without regard to letter case is there already, in which case nothing
/// moves. A new entry goes to index 0, and the last entries are dropped
/// beyond MaxPathHistory.
void InsertPathIfAbsent(QStringList &history, const QString &path);

/// Records `path` in `history` (newest first) at index 0: an entry equal to
/// it without regard to letter case is removed first, so the path moves to
/// the top; the last entry is dropped beyond MaxPathHistory.
void MovePathToTop(QStringList &history, const QString &path);
