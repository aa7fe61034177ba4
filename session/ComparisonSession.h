// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DiffEngine.h"
#include "GridRows.h"
#include "TextFile.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class TEncoding;
class TPrompts;
class TUTF8NoBOMEncoding;

/// A colour as the program stores it: 0x00BBGGRR (red in the low byte), or
/// a system colour reference 0xFF0000nn.
using TColorValue = std::uint32_t;

/// Which commands a comparison makes available.
enum TCommandMode : std::uint8_t {
    cmNone,   ///< before any comparison
    cmText,   ///< after a text or document comparison
    cmFolder, ///< after a folder comparison
};

/// One undo snapshot: both line lists before a change, and where the grid
/// stood (grid rows and columns, row 0 being the header).
struct TUndoState {
    QStringList LeftLines;
    QStringList RightLines;
    std::int32_t SelectedRow = 0;
    std::int32_t SelectedCol = 0;
    std::int32_t TopRow = 0;
};

/// The state of the one open comparison and the operations on it. It talks
/// to the user only through TPrompts and its signals; it knows no widget.
class TComparisonSession : public QObject
{
    Q_OBJECT

public:
    explicit TComparisonSession(TPrompts &prompts, QObject *parent = nullptr);
    ~TComparisonSession() override;

    // --- state ---------------------------------------------------------
    const QStringList &LeftLines() const { return FLeftLines; }
    const QStringList &RightLines() const { return FRightLines; }
    const TDiffItems &DiffItems() const { return FDiffItems; }
    bool FolderMode() const { return FFolderMode; }
    TCommandMode CommandMode() const { return FCommandMode; }

    const TEncoding &LeftEncoding() const { return *FLeftEncoding; }
    const TEncoding &RightEncoding() const { return *FRightEncoding; }
    bool LeftHasBOM() const { return FLeftHasBOM; }
    bool RightHasBOM() const { return FRightHasBOM; }
    const QString &LeftEncName() const { return FLeftEncName; }
    const QString &RightEncName() const { return FRightEncName; }
    /// How each side's file broke its lines, so saving writes them back alike.
    const TLineBreakStyle &LeftLineBreaks() const { return FLeftLineBreaks; }
    const TLineBreakStyle &RightLineBreaks() const { return FRightLineBreaks; }
    /// The UTF-8 encoding without byte-order mark that saving uses.
    const TUTF8NoBOMEncoding &Utf8NoBOM() const { return *FUtf8NoBOM; }

    /// The six comparison options, in the engine's order.
    TDiffOptions Options() const;
    void SetOptions(const TDiffOptions &options);

    TColorValue fColorAddedLines = 0x00FFF0E0;
    TColorValue fColorRemovedLines = 0x00E0F0FF;
    TColorValue fColorChangedLines = 0x00E0E0FF;
    TColorValue fColorDifferentTextInLine = 0x0000FFFF;

    /// Set by merges, edits and undo; cleared by a new comparison and by saving.
    bool UnsavedChanges() const { return FUnsavedChanges; }
    void SetUnsavedChanges(bool value) { FUnsavedChanges = value; }

    /// Undo snapshots, oldest first.
    const QList<TUndoState> &UndoStack() const { return FUndoStack; }

    // --- operations ----------------------------------------------------
    /// The "As Text-based Files" command with the two path boxes' texts.
    /// Returns true when both files were compared, so the caller records the
    /// trimmed paths (returned in `leftPath`/`rightPath`) in the histories;
    /// false, with the paths untouched, when the user cancelled or a box said
    /// why the paths were refused. A failed load throws as CompareTextFiles.
    bool miAsTextFiles1Click(const QString &leftText, const QString &rightText, QString &leftPath,
                             QString &rightPath);
    /// Loads both files and compares them, reporting through the prompts.
    /// Rethrows a load failure (TUserError) after leaving an empty
    /// comparison: both line lists, the items and the rows empty.
    void CompareTextFiles(const QString &leftPath, const QString &rightPath);
    /// Runs the engine on the two line lists and refills the grid rows.
    void RunDiff();
    /// Hands the current items and texts to the grid (GridRowsChanged).
    void FillGridRows();
    /// Status line = prefix + " " + the statistics sentence; with `showDialog`,
    /// also the statistics box. With no items the sentence is "No comparable
    /// lines." and no box is shown.
    void ReportStatistics(const QString &prefix, bool showDialog);
    /// True when some item is not dkEqual.
    bool HasDifferences() const;
    /// Throws TUserError unless file contents are loaded: in folder mode, and
    /// before a comparison loaded both sides (none yet, or the last failed).
    void RequireLoadedFiles() const;
    /// Drops every undo snapshot.
    void ClearUndoStack();

    /// The rows the grid shows now.
    const TGridRows &GridRows() const { return FGridRows; }

Q_SIGNALS:
    /// The status line's new text.
    void StatusChanged(const QString &text);
    /// The grid must show GridRows() and lay its rows out again.
    void GridRowsChanged();
    /// A comparison passed its checks: the getting-started panel goes for good.
    void ComparisonStarted();
    /// A comparison set the commands available (see TCommandMode). Emitted
    /// by every comparison, even with the mode unchanged, so the window
    /// enables each of its commands again.
    void CommandModeChanged(TCommandMode mode);

private:
    void SetCommandMode(TCommandMode mode);
    void ResetSides();

    TPrompts &FPrompts;
    QStringList FLeftLines;
    QStringList FRightLines;
    TDiffItems FDiffItems;
    TGridRows FGridRows;
    bool FFolderMode = false;
    TCommandMode FCommandMode = cmNone;
    const TEncoding *FLeftEncoding;
    const TEncoding *FRightEncoding;
    bool FLeftHasBOM = false;
    bool FRightHasBOM = false;
    QString FLeftEncName;
    QString FRightEncName;
    TLineBreakStyle FLeftLineBreaks;
    TLineBreakStyle FRightLineBreaks;
    std::unique_ptr<TUTF8NoBOMEncoding> FUtf8NoBOM;
    bool fIgnoreCase = false;
    bool fIgnoreWhitespace = false;
    bool fIgnoreWSAmount = false;
    bool fIgnoreLeadingWS = false;
    bool fIgnoreTrailingWS = false;
    bool fIgnoreBlankLiness = false;
    bool FUnsavedChanges = false;
    /// True while the line lists hold what a comparison loaded; false at
    /// start and after a failed load, so nothing merges into or saves a
    /// side that was never read.
    bool FLinesLoaded = false;
    QList<TUndoState> FUndoStack;
};
