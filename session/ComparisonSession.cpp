// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComparisonSession.h"

#include "Prompts.h"
#include "TextEncoding.h"
#include "TextFormat.h"
#include "UserError.h"
#include "translation.h"

#include <QLocale>

#include <algorithm>

using namespace Qt::StringLiterals;

TComparisonSession::TComparisonSession(TPrompts &prompts, QObject *parent)
    : QObject(parent),
      FPrompts(prompts),
      FLeftEncoding(&TEncoding::Ansi()),
      FRightEncoding(&TEncoding::Ansi()),
      FLeftEncName(EncNameAnsiAscii),
      FRightEncName(EncNameAnsiAscii),
      FUtf8NoBOM(std::make_unique<TUTF8NoBOMEncoding>()),
      FDiffFunction(ComputeDiff)
{
}

TComparisonSession::~TComparisonSession()
{
    // A worker queues its result to this object before it completes its
    // future, so once every future is ready no worker can still reach us;
    // results already queued die with the object.
    for (const auto &job : FJobs)
        job.wait();
}

TDiffOptions TComparisonSession::Options() const
{
    return {fIgnoreCase,      fIgnoreWhitespace, fIgnoreWSAmount,
            fIgnoreLeadingWS, fIgnoreTrailingWS, fIgnoreBlankLiness};
}

void TComparisonSession::SetOptions(const TDiffOptions &options)
{
    fIgnoreCase = options.IgnoreCase;
    fIgnoreWhitespace = options.IgnoreAllWhiteSpace;
    fIgnoreWSAmount = options.IgnoreWsAmount;
    fIgnoreLeadingWS = options.IgnoreLeadingWhiteSpace;
    fIgnoreTrailingWS = options.IgnoreTrailingWhiteSpace;
    fIgnoreBlankLiness = options.IgnoreBlankLines;
}

void TComparisonSession::SetCommandMode(TCommandMode mode)
{
    FCommandMode = mode;
    Q_EMIT CommandModeChanged(mode);
}

void TComparisonSession::ResetSides()
{
    FLeftLines.clear();
    FRightLines.clear();
    FLeftEncoding = FRightEncoding = &TEncoding::Ansi();
    FLeftHasBOM = FRightHasBOM = false;
    FLeftEncName = FRightEncName = EncNameAnsiAscii;
    FLeftLineBreaks = FRightLineBreaks = TLineBreakStyle();
}

void TComparisonSession::AbandonComparison()
{
    ResetSides();
    FLinesLoaded = false;
    FDiffItems.clear();
    FItemsStale = false;
    FillGridRows();
}

void TComparisonSession::RunDiff()
{
    FFolderMode = false;
    if (FLeftLines.isEmpty() && FRightLines.isEmpty())
        FDiffItems.clear();
    else
        FDiffItems = ComputeDiff(FLeftLines, FRightLines, Options());
    FItemsStale = false;
    FillGridRows();
}

void TComparisonSession::FillGridRows()
{
    // The lists are implicitly shared: copying them here costs nothing
    // until the session changes its own.
    FGridRows = TGridRows();
    FGridRows.Items = FDiffItems;
    FGridRows.LeftLines = FLeftLines;
    FGridRows.RightLines = FRightLines;
    FGridRows.IgnoreCase = fIgnoreCase;
    Q_EMIT GridRowsChanged();
}

void TComparisonSession::ShowFolderRows(const TDiffItems &items, const QStringList &leftCells,
                                        const QStringList &rightCells)
{
    DropPendingRecompute();
    FFolderMode = true;
    FDiffItems = items;
    FGridRows = TGridRows();
    FGridRows.Items = FDiffItems;
    FGridRows.FolderMode = true;
    FGridRows.LeftCells = leftCells;
    FGridRows.RightCells = rightCells;
    FGridRows.IgnoreCase = fIgnoreCase;
    Q_EMIT GridRowsChanged();
}

QString TComparisonSession::LineCountsText() const
{
    return FormatText(Translate(u"%d lines (left file) vs %d lines (right file)."_s),
                      {QString::number(FLeftLines.size()), QString::number(FRightLines.size())});
}

void TComparisonSession::ReportStatistics(const QString &prefix, bool showDialog)
{
    const qsizetype n = FDiffItems.size();
    if (n == 0) {
        Q_EMIT StatusChanged(prefix + u' ' + Translate(u"No comparable lines."_s));
        return;
    }
    const qsizetype e = std::count_if(FDiffItems.cbegin(), FDiffItems.cend(),
                                      [](const TDiffItem &item) { return item.Kind == dkEqual; });
    const qsizetype d = n - e;
    const double p = static_cast<double>(e) * 100.0 / static_cast<double>(n);
    const QString equal = QString::number(e);
    const QString total = QString::number(n);
    const QString percent = QLocale().toString(p, 'f', 1);
    const QString different = QString::number(d);

    Q_EMIT StatusChanged(
        prefix + u' '
        + FormatText(Translate(u"Equal lines: %d of %d (%.1f%%). Different lines: %d."_s),
                     {equal, total, percent, different}));
    if (!showDialog)
        return;
    const QStringList lines = {
        Translate(u"Compared:"_s),
        prefix,
        FormatText(Translate(u"Equal lines: %d of %d (%.1f%%)."_s), {equal, total, percent}),
        FormatText(Translate(u"Different lines: %d."_s), {different}),
    };
    FPrompts.Information(lines.join(u"\r\n"_s));
}

bool TComparisonSession::HasDifferences() const
{
    return std::any_of(FDiffItems.cbegin(), FDiffItems.cend(),
                       [](const TDiffItem &item) { return item.Kind != dkEqual; });
}

void TComparisonSession::RequireLoadedFiles() const
{
    if (FFolderMode)
        throw TUserError(Translate(u"Folder comparison mode: no file contents loaded."_s));
    if (!FLinesLoaded)
        throw TUserError(Translate(u"No files are loaded."_s));
}

void TComparisonSession::ClearUndoStack()
{
    FUndoStack.clear();
}
