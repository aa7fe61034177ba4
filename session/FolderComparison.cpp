// SPDX-License-Identifier: GPL-3.0-or-later
// The folder comparison of TComparisonSession: files matched by relative
// path and judged by size alone.
#include "FolderComparison.h"

#include "ComparisonSession.h"
#include "PathHistory.h"
#include "Prompts.h"
#include "TextFormat.h"
#include "translation.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

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

bool TSortedPathList::Add(const QString &path)
{
    QCollatorSortKey key = KeyOf(path);
    if (FRuns.empty()) {
        FRuns.emplace_back();
        FRuns.back().push_back(TEntry{path, std::move(key)});
        FSize = 1;
        FRunStartsValid = false;
        return true;
    }
    const auto [runIndex, place] = Find(path, key);
    TRun &run = FRuns[runIndex];
    if (place < run.size() && run[place].Path == path)
        return false;
    run.insert(run.begin() + std::ptrdiff_t(place), TEntry{path, std::move(key)});
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

std::int64_t FileSizeOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return -1;
    return info.size();
}

namespace {

// `ancestors` holds the canonical paths of the folders being listed on the
// present branch.
void ListFolder(const QString &top, const QString &current, TSortedPathList &sideList, TSortedPathList &unionList,
                QStringList &ancestors)
{
    const QString canonical = QFileInfo(current).canonicalFilePath();
    if (canonical.isEmpty() || ancestors.contains(canonical))
        return;
    ancestors.append(canonical);

    const QFileInfoList entries =
        QDir(current).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                    QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        const QString fullPath = current + entry.fileName();
        if (entry.isDir()) {
            ListFolder(top, fullPath + u'/', sideList, unionList, ancestors);
            continue;
        }
        // Everything else counts as a file, broken links included: nothing
        // under either folder is hidden from the user.
        const QString relative = fullPath.mid(top.size());
        sideList.Add(relative);
        unionList.Add(relative);
    }
    ancestors.removeLast();
}

// Milliseconds since the epoch, 0 when the time cannot be read.
qint64 LastWriteTime(const QString &path)
{
    const QDateTime time = QFileInfo(path).lastModified();
    return time.isValid() ? std::max<qint64>(time.toMSecsSinceEpoch(), 0) : 0;
}

QString WithTrailingSeparator(const QString &path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

} // namespace

void ListFilesRecursive(const QString &top, const QString &current, TSortedPathList &sideList,
                        TSortedPathList &unionList)
{
    QStringList ancestors;
    ListFolder(top, current, sideList, unionList, ancestors);
}

bool TComparisonSession::miAsFolders1Click(const QString &leftText, const QString &rightText, QString &leftPath,
                                           QString &rightPath)
{
    if (FUnsavedChanges
        && !FPrompts.Confirm(Translate(u"Compare the specified folders?"_s) + u"\r\n"_s
                             + Translate(u"Current changes will be lost."_s)))
        return false;

    const QString left = TrimPathText(leftText);
    const QString right = TrimPathText(rightText);
    if (left.isEmpty() || right.isEmpty()) {
        FPrompts.Warning(Translate(u"Please select both left and right folders."_s));
        return false;
    }
    if (!QFileInfo(left).isDir() || !QFileInfo(right).isDir()) {
        FPrompts.Error(Translate(u"Both paths must be existing folders for folder comparison."_s));
        return false;
    }
    FUnsavedChanges = false;
    CompareFolders(left, right);
    leftPath = left;
    rightPath = right;
    return true;
}

void TComparisonSession::CompareFolders(const QString &leftPath, const QString &rightPath)
{
    Q_EMIT ComparisonStarted();
    DropPendingRecompute();
    FFolderMode = true;
    SetCommandMode(cmFolder);
    ClearUndoStack();

    const QString leftTop = WithTrailingSeparator(leftPath);
    const QString rightTop = WithTrailingSeparator(rightPath);
    TSortedPathList leftList;
    TSortedPathList rightList;
    TSortedPathList unionList;
    {
        const TWaitCursorGuard waitCursor(FPrompts);
        ListFilesRecursive(leftTop, leftTop, leftList, unionList);
        ListFilesRecursive(rightTop, rightTop, rightList, unionList);
    }

    const qsizetype n = unionList.size();
    TDiffItems items(n);
    QStringList leftCells;
    QStringList rightCells;
    leftCells.reserve(n);
    rightCells.reserve(n);
    // The grid recognises this suffix and draws it as a translated badge, so
    // the suffix itself stays in English.
    const QString newMarker = u" new"_s;
    for (qsizetype i = 0; i < n; ++i) {
        const QString &entry = unionList.at(i);
        const qsizetype li = leftList.IndexOfEntry(unionList, i);
        const qsizetype ri = rightList.IndexOfEntry(unionList, i);

        TDiffItem &item = items[i];
        item.LeftIndex = std::int32_t(li);
        item.RightIndex = std::int32_t(ri);
        item.LeftChangeStart = -1;
        item.LeftChangeLen = 0;
        item.RightChangeStart = -1;
        item.RightChangeLen = 0;

        QString leftText = li >= 0 ? entry : QString();
        QString rightText = ri >= 0 ? entry : QString();
        if (li >= 0 && ri >= 0) {
            const QString leftFile = leftTop + entry;
            const QString rightFile = rightTop + entry;
            const std::int64_t leftSize = FileSizeOf(leftFile);
            // A left file that vanished or cannot be read counts as different.
            item.Kind = leftSize >= 0 && leftSize == FileSizeOf(rightFile) ? dkEqual : dkDifferent;
            if (item.Kind == dkDifferent) {
                // The dates only say which copy is newer; equal or unreadable
                // ones mark neither.
                const qint64 leftTime = LastWriteTime(leftFile);
                const qint64 rightTime = LastWriteTime(rightFile);
                if (leftTime > 0 && rightTime > 0) {
                    if (leftTime > rightTime)
                        leftText += newMarker;
                    else if (rightTime > leftTime)
                        rightText += newMarker;
                }
            }
        } else {
            item.Kind = li >= 0 ? dkLeftOnly : dkRightOnly;
        }
        leftCells.append(leftText);
        rightCells.append(rightText);
    }

    ShowFolderRows(items, leftCells, rightCells);
    Q_EMIT StatusChanged(FormatText(Translate(u"Compared %d files (left folder, including subfolders) vs %d files "
                                              "(right folder, including subfolders)."_s),
                                    {QString::number(leftList.size()), QString::number(rightList.size())}));
    if (!HasDifferences())
        FPrompts.Information(Translate(u"The folders are identical (no different files)."_s));
}
