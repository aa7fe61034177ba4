// SPDX-License-Identifier: GPL-3.0-or-later
// The automatic mode of TComparisonSession: the kind of comparison follows
// from the paths themselves.
#include "ComparisonSession.h"

#include "FileClassification.h"
#include "PathHistory.h"
#include "Prompts.h"
#include "translation.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

bool TComparisonSession::btnCompareClick(const QString &leftText, const QString &rightText, QString &leftPath,
                                         QString &rightPath)
{
    // The same question whether the paths turn out to be files or folders.
    if (FUnsavedChanges
        && !FPrompts.Confirm(Translate(u"Load and compare the specified files?"_s) + u"\r\n"_s
                             + Translate(u"Current changes will be lost."_s)))
        return false;

    const QString left = TrimPathText(leftText);
    const QString right = TrimPathText(rightText);
    if (left.isEmpty() || right.isEmpty()) {
        FPrompts.Warning(Translate(u"Please select both left and right files or folders."_s));
        return false;
    }

    const bool leftIsFolder = QFileInfo(left).isDir();
    const bool rightIsFolder = QFileInfo(right).isDir();
    if (leftIsFolder || rightIsFolder) {
        if (!leftIsFolder || !rightIsFolder) {
            FPrompts.Error(Translate(u"Both paths must be folders for folder comparison."_s));
            return false;
        }
        FUnsavedChanges = false;
        CompareFolders(left, right);
    } else {
        // Held across the choice too: the content tests read the files.
        const TWaitCursorGuard waitCursor(FPrompts);
        if (IsDocumentExtension(left) && IsDocumentExtension(right))
            CompareDocuments(left, right);
        else if (IsTextContent(left).IsText && IsTextContent(right).IsText)
            CompareTextFiles(left, right);
        else
            CompareDocuments(left, right);
    }
    leftPath = left;
    rightPath = right;
    return true;
}
