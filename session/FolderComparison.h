// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>

#include <cstdint>
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

    /// Adds `path` at its place unless it is there already; false for a repeat.
    bool Add(const QString &path);
    /// Position of `path`, or -1 when absent.
    qsizetype IndexOf(const QString &path) const;
    /// Position of `from`'s entry `index` in this list, or -1 when absent;
    /// reuses the entry's sort key (both lists are built in one locale).
    qsizetype IndexOfEntry(const TSortedPathList &from, qsizetype index) const;
    qsizetype size() const { return FSize; }
    /// Entry `index` (0 <= index < size()).
    const QString &at(qsizetype index) const { return Entry(index).Path; }

private:
    struct TEntry {
        QString Path;
        QCollatorSortKey Key;
    };
    using TRun = std::vector<TEntry>;
    static constexpr std::size_t MaxRunLength = 512;

    QCollatorSortKey KeyOf(const QString &path) const;
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

/// The size in bytes of the file at `path` (a link's target), or -1 when no
/// such file exists or the path names a folder.
std::int64_t FileSizeOf(const QString &path);

/// Adds the path relative to `top` of every file under `current` (every
/// entry that is not a folder, hidden ones included) to `sideList` and
/// `unionList`. `top` and `current` end with '/'; `current` lies under
/// `top` or is it. Folder links are followed, but a folder already being
/// listed higher up the same branch is not entered again, so link cycles
/// end. A folder that cannot be read adds nothing.
void ListFilesRecursive(const QString &top, const QString &current, TSortedPathList &sideList,
                        TSortedPathList &unionList);
