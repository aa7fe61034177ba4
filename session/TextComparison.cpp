// SPDX-License-Identifier: GPL-3.0-or-later
// The text comparison of TComparisonSession: from the command to the rows.
#include "ComparisonSession.h"

#include "PathHistory.h"
#include "Prompts.h"
#include "TextFormat.h"
#include "translation.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// A folder, a device or a pipe is no file to compare.
bool IsExistingFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

} // namespace

bool TComparisonSession::AcceptFilePaths(const QString &leftText, const QString &rightText, QString &left,
                                         QString &right)
{
    if (FUnsavedChanges
        && !FPrompts.Confirm(Translate(u"Load and compare the specified files?"_s) + u"\r\n"_s
                             + Translate(u"Current changes will be lost."_s)))
        return false;

    left = TrimPathText(leftText);
    right = TrimPathText(rightText);
    if (left.isEmpty() || right.isEmpty()) {
        FPrompts.Warning(Translate(u"Please select both left and right files."_s));
        return false;
    }
    if (!IsExistingFile(left) || !IsExistingFile(right)) {
        FPrompts.Error(Translate(u"Both paths must be existing files for files comparison."_s));
        return false;
    }
    return true;
}

bool TComparisonSession::ReportMissingFiles(const QString &leftPath, const QString &rightPath)
{
    if (leftPath.isEmpty() || rightPath.isEmpty()) {
        FPrompts.Warning(Translate(u"Please select both left and right files."_s));
        return false;
    }
    if (!IsExistingFile(leftPath)) {
        FPrompts.Error(Translate(u"Left file does not exist."_s));
        return false;
    }
    if (!IsExistingFile(rightPath)) {
        FPrompts.Error(Translate(u"Right file does not exist."_s));
        return false;
    }
    return true;
}

bool TComparisonSession::RunFileCommand(const QString &leftText, const QString &rightText, QString &leftPath,
                                        QString &rightPath,
                                        void (TComparisonSession::*compare)(const QString &, const QString &))
{
    QString left;
    QString right;
    if (!AcceptFilePaths(leftText, rightText, left, right))
        return false;
    (this->*compare)(left, right);
    leftPath = left;
    rightPath = right;
    return true;
}

void TComparisonSession::BeginFileComparison()
{
    Q_EMIT ComparisonStarted();
    DropPendingRecompute();
    FFolderMode = false;
    SetCommandMode(cmText);
    FUnsavedChanges = false;
    ClearUndoStack();
    FLinesLoaded = false;
    FLeftLines.clear();
    FRightLines.clear();
}

bool TComparisonSession::miAsTextFiles1Click(const QString &leftText, const QString &rightText,
                                             QString &leftPath, QString &rightPath)
{
    return RunFileCommand(leftText, rightText, leftPath, rightPath, &TComparisonSession::CompareTextFiles);
}

void TComparisonSession::CompareTextFiles(const QString &leftPath, const QString &rightPath)
{
    if (!ReportMissingFiles(leftPath, rightPath))
        return;

    BeginFileComparison();
    {
        const TWaitCursorGuard waitCursor(FPrompts);
        try {
            FLeftEncName.clear();
            const TTextFileFacts left = LoadTextFile(leftPath, FLeftLines);
            FLeftEncoding = left.Encoding;
            FLeftHasBOM = left.HasBom;
            FLeftEncName = left.EncodingName;
            FLeftLineBreaks = left.LineBreaks;

            FRightEncName.clear();
            const TTextFileFacts right = LoadTextFile(rightPath, FRightLines);
            FRightEncoding = right.Encoding;
            FRightHasBOM = right.HasBom;
            FRightEncName = right.EncodingName;
            FRightLineBreaks = right.LineBreaks;

            FLinesLoaded = true;
            RunDiff();
        } catch (...) {
            // An empty comparison until the user tries again.
            AbandonComparison();
            throw;
        }
    }

    if (!HasDifferences())
        FPrompts.Information(Translate(u"The files are identical."_s));
    ReportStatistics(LineCountsText(), true);
}
