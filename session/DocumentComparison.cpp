// SPDX-License-Identifier: GPL-3.0-or-later
// The document comparison of TComparisonSession: the texts come from the
// extraction service, and from there on everything is as for text files.
#include "ComparisonSession.h"

#include "Prompts.h"
#include "TextEncoding.h"
#include "TextFormat.h"
#include "translation.h"

#include <QCoreApplication>
#include <QFileInfo>

using namespace Qt::StringLiterals;

void TComparisonSession::SetExtractFunction(TExtractFunction function)
{
    FExtractText = function ? std::move(function)
                            : TExtractFunction([](const QString &path) { return ExtractDocumentText(path); });
}

bool TComparisonSession::miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click(const QString &leftText,
                                                                       const QString &rightText,
                                                                       QString &leftPath, QString &rightPath)
{
    return RunFileCommand(leftText, rightText, leftPath, rightPath, &TComparisonSession::CompareDocuments);
}

void TComparisonSession::CompareDocuments(const QString &leftPath, const QString &rightPath)
{
    if (!ReportMissingFiles(leftPath, rightPath))
        return;

    BeginFileComparison();

    TExtractionResult left;
    TExtractionResult right;
    try {
        {
            // The calls wait for the service, repainting but taking no input.
            const TWaitCursorGuard waitCursor(FPrompts);
            left = FExtractText(leftPath);
            if (left.Success) {
                FLeftLines = SplitTextIntoLines(left.Text);
                FLeftEncoding = &TEncoding::Utf8();
                FLeftHasBOM = true;
                FLeftEncName = EncNameUtf8WithBom;
                FLeftLineBreaks = DetectLineBreakStyle(left.Text);
            }
            right = FExtractText(rightPath);
            if (right.Success) {
                FRightLines = SplitTextIntoLines(right.Text);
                FRightEncoding = &TEncoding::Utf8();
                FRightHasBOM = true;
                FRightEncName = EncNameUtf8WithBom;
                FRightLineBreaks = DetectLineBreakStyle(right.Text);
            }
            if (left.Success && right.Success) {
                FLinesLoaded = true;
                RunDiff();
            }
        }
    } catch (...) {
        AbandonComparison();
        throw;
    }

    if (FLinesLoaded) {
        if (!HasDifferences())
            FPrompts.Information(Translate(u"The files are identical."_s));
        ReportStatistics(LineCountsText(), true);
        return;
    }

    FDiffItems.clear();
    FItemsStale = false;
    FillGridRows();
    // The per-side lines are shown as they stand, untranslated.
    const QString report = Translate(u"Comparison failed."_s) + u"\r\n"_s
                           + (left.Success ? u"Left: OK"_s : u"Left: "_s + left.ErrorText) + u"\r\n"_s
                           + (right.Success ? u"Right: OK"_s : u"Right: "_s + right.ErrorText);
    ReportStatistics(report, true);
    FPrompts.Warning(report + u"\r\n\r\n"_s
                     + FormatText(Translate(u"Perhaps you opted out of installing TIKA? If so, please reinstall %s "
                                            "and confirm the TIKA installation when prompted."_s),
                                  {QCoreApplication::applicationName()}));
}
