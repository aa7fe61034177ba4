// SPDX-License-Identifier: GPL-3.0-or-later
#include "SortedPathList.h"

#include <algorithm>

TSortedPathList::TSortedPathList()
{
    FCollator.setCaseSensitivity(Qt::CaseInsensitive);
}

QCollatorSortKey TSortedPathList::KeyOf(const QString &path) const
{
    // The C locale's sort keys are the plain code units, case-sensitive
    // whatever the collator is told; folding the case first keeps the
    // order case-insensitive there too.
    return FCollator.sortKey(FCollator.locale().language() == QLocale::C ? path.toCaseFolded() : path);
}

bool TSortedPathList::Before(const TEntry &entry, const QString &path, const QCollatorSortKey &key)
{
    // Sort keys make each comparison a plain byte compare.
    const int order = entry.Key.compare(key);
    return order != 0 ? order < 0 : entry.Path.compare(path) < 0;
}

std::pair<std::size_t, std::size_t> TSortedPathList::Find(const QString &path, const QCollatorSortKey &key) const
{
    // Halving search for the first run whose last entry does not sort
    // before the path, then halving search inside it.
    std::size_t low = 0;
    std::size_t high = FRuns.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (Before(FRuns[middle].back(), path, key))
            low = middle + 1;
        else
            high = middle;
    }
    if (low == FRuns.size())
        return {low == 0 ? 0 : low - 1, low == 0 ? 0 : FRuns[low - 1].size()};
    const TRun &run = FRuns[low];
    std::size_t first = 0;
    std::size_t last = run.size();
    while (first < last) {
        const std::size_t middle = first + (last - first) / 2;
        if (Before(run[middle], path, key))
            first = middle + 1;
        else
            last = middle;
    }
    return {low, first};
}

bool TSortedPathList::Add(const QString &path, const TFileFacts &facts)
{
    return Add(path, KeyOf(path), facts);
}

bool TSortedPathList::AddEntry(const TSortedPathList &from, qsizetype index)
{
    const TEntry &entry = from.Entry(index);
    return Add(entry.Path, entry.Key, entry.Facts);
}

bool TSortedPathList::Add(const QString &path, QCollatorSortKey key, const TFileFacts &facts)
{
    if (FRuns.empty()) {
        FRuns.emplace_back();
        FRuns.back().push_back(TEntry{path, std::move(key), facts});
        FSize = 1;
        FRunStartsValid = false;
        return true;
    }
    const auto [runIndex, place] = Find(path, key);
    TRun &run = FRuns[runIndex];
    if (place < run.size() && run[place].Path == path)
        return false;
    run.insert(run.begin() + std::ptrdiff_t(place), TEntry{path, std::move(key), facts});
    ++FSize;
    FRunStartsValid = false;
    if (run.size() > 2 * MaxRunLength) {
        TRun upper(std::make_move_iterator(run.begin() + std::ptrdiff_t(MaxRunLength)),
                   std::make_move_iterator(run.end()));
        run.erase(run.begin() + std::ptrdiff_t(MaxRunLength), run.end());
        FRuns.insert(FRuns.begin() + std::ptrdiff_t(runIndex) + 1, std::move(upper));
    }
    return true;
}

const std::vector<qsizetype> &TSortedPathList::RunStarts() const
{
    if (!FRunStartsValid) {
        FRunStarts.clear();
        qsizetype start = 0;
        for (const TRun &run : FRuns) {
            FRunStarts.push_back(start);
            start += qsizetype(run.size());
        }
        FRunStartsValid = true;
    }
    return FRunStarts;
}

const TSortedPathList::TEntry &TSortedPathList::Entry(qsizetype index) const
{
    const std::vector<qsizetype> &starts = RunStarts();
    const std::size_t runIndex = std::size_t(std::upper_bound(starts.begin(), starts.end(), index) - starts.begin()) - 1;
    return FRuns[runIndex][std::size_t(index - starts[runIndex])];
}

qsizetype TSortedPathList::IndexOf(const QString &path, const QCollatorSortKey &key) const
{
    if (FRuns.empty())
        return -1;
    const auto [runIndex, place] = Find(path, key);
    const TRun &run = FRuns[runIndex];
    if (place >= run.size() || run[place].Path != path)
        return -1;
    return RunStarts()[runIndex] + qsizetype(place);
}

qsizetype TSortedPathList::IndexOf(const QString &path) const
{
    return IndexOf(path, KeyOf(path));
}

qsizetype TSortedPathList::IndexOfEntry(const TSortedPathList &from, qsizetype index) const
{
    const TEntry &entry = from.Entry(index);
    return IndexOf(entry.Path, entry.Key);
}
