// SPDX-License-Identifier: GPL-3.0-or-later
// The folder comparison of TComparisonSession: files matched by relative
// path and judged by size alone.
#include "ComparisonSession.h"
#include "FolderListing.h"
#include "ParallelWork.h"
#include "PathHistory.h"
#include "Prompts.h"
#include "TextFormat.h"
#include "translation.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString WithTrailingSeparator(const QString &path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

} // namespace

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
        // The two trees are usually on different folders of one disk; the
        // time goes into system calls, which two threads overlap well.
        RunBoth(true, [&] { ListFilesRecursive(leftTop, leftList); },
                [&] { ListFilesRecursive(rightTop, rightList); });
        // Left first, so that the union keeps a path as the left spells it.
        for (const TSortedPathList *side : {&leftList, &rightList})
            for (qsizetype i = 0; i < side->size(); ++i)
                unionList.AddEntry(*side, i);
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
            const TFileFacts &leftFacts = leftList.FactsAt(li);
            const TFileFacts &rightFacts = rightList.FactsAt(ri);
            // A left file that cannot be read counts as different.
            item.Kind = leftFacts.Size >= 0 && leftFacts.Size == rightFacts.Size ? dkEqual : dkDifferent;
            if (item.Kind == dkDifferent) {
                // The dates only say which copy is newer; equal or unreadable
                // ones mark neither.
                const std::int64_t leftTime = leftFacts.LastWriteTime;
                const std::int64_t rightTime = rightFacts.LastWriteTime;
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
