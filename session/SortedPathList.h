// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileFacts.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>

#include <utility>
#include <vector>

/// Relative paths ('/'-separated), kept in the locale's case-insensitive
/// order while they are added, ties broken by the exact spelling. Names are
/// told apart exactly, since file names on this system are case-sensitive:
/// "a.txt" and "A.txt" are two entries, an exact repeat is dropped.
/// The entries are held in sorted runs of bounded length, so an insertion
/// moves a few hundred entries, not half the list.
class TSortedPathList
{
public:
    TSortedPathList();

    /// Adds `path` with its `facts` at its place unless it is there already;
    /// false for a repeat.
    bool Add(const QString &path, const TFileFacts &facts = {});
    /// Adds `from`'s entry `index` (path and facts) like Add, reusing its
    /// sort key (both lists are built in one locale).
    bool AddEntry(const TSortedPathList &from, qsizetype index);
    /// Position of `path`, or -1 when absent.
    qsizetype IndexOf(const QString &path) const;
    /// Position of `from`'s entry `index` in this list, or -1 when absent;
    /// reuses the entry's sort key (both lists are built in one locale).
    qsizetype IndexOfEntry(const TSortedPathList &from, qsizetype index) const;
    qsizetype size() const { return FSize; }
    /// Entry `index` (0 <= index < size()).
    const QString &at(qsizetype index) const { return Entry(index).Path; }
    /// The facts added with entry `index`.
    const TFileFacts &FactsAt(qsizetype index) const { return Entry(index).Facts; }

private:
    struct TEntry {
        QString Path;
        QCollatorSortKey Key;
        TFileFacts Facts;
    };
    using TRun = std::vector<TEntry>;
    static constexpr std::size_t MaxRunLength = 512;

    QCollatorSortKey KeyOf(const QString &path) const;
    bool Add(const QString &path, QCollatorSortKey key, const TFileFacts &facts);
    /// True when `entry` sorts before (`path`, `key`).
    static bool Before(const TEntry &entry, const QString &path, const QCollatorSortKey &key);
    /// Run and place where (`path`, `key`) is or belongs.
    std::pair<std::size_t, std::size_t> Find(const QString &path, const QCollatorSortKey &key) const;
    qsizetype IndexOf(const QString &path, const QCollatorSortKey &key) const;
    const TEntry &Entry(qsizetype index) const;
    /// Position of the first entry of each run, rebuilt after additions.
    const std::vector<qsizetype> &RunStarts() const;

    QCollator FCollator;
    std::vector<TRun> FRuns;
    qsizetype FSize = 0;
    mutable std::vector<qsizetype> FRunStarts;
    mutable bool FRunStartsValid = false;
};
