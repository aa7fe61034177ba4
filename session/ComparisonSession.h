// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DiffEngine.h"
#include "ExtractionClient.h"
#include "GridRows.h"
#include "TextFile.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class TEncoding;
class TGridCursor;
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

/// One side of a text comparison.
enum TSide : std::uint8_t {
    sdLeft,
    sdRight,
};

/// The engine a background recomputation runs: ComputeDiff's signature.
using TDiffFunction =
    std::function<TDiffItems(const QStringList &, const QStringList &, const TDiffOptions &)>;

/// Turns a document into text: ExtractDocumentText's signature with the
/// service's address and time-out fixed.
using TExtractFunction = std::function<TExtractionResult(const QString &path)>;

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
    /// The "As Complex Documents with TIKA" command: as miAsTextFiles1Click,
    /// but runs CompareDocuments. True when the documents were sent (even if
    /// the service failed), so the caller records the paths.
    bool miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click(const QString &leftText, const QString &rightText,
                                                       QString &leftPath, QString &rightPath);
    /// Compares the plain texts the extraction service returns for two
    /// documents; such a side is saved as UTF-8 with a byte-order mark. When
    /// a side fails, the rows stay empty and one report names each side's
    /// outcome in the status line and a warning box; merges and saves then
    /// refuse as before a comparison.
    void CompareDocuments(const QString &leftPath, const QString &rightPath);
    /// The extraction CompareDocuments runs, ExtractDocumentText at the
    /// service's default address unless replaced (an empty function
    /// restores it). It runs on this thread.
    void SetExtractFunction(TExtractFunction function);
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

    /// The grid whose position merges, undo and navigation read and set.
    void SetGridCursor(TGridCursor *cursor) { FGridCursor = cursor; }

    // --- background recomputation ---------------------------------------
    /// Recomputes the items from copies of the lists on the thread pool;
    /// only the newest job's result is applied (on this thread, queued), and
    /// its application pops every busy cursor the session pushed for jobs.
    /// A comparison started meanwhile makes every pending result stale.
    void RecomputeDiffAsync();
    /// True from the start of a job until the newest job's result is applied.
    bool DiffRecomputeInProgress() const { return FDiffRecomputeInProgress; }
    /// Waits for the newest pending job and applies its result now, so the
    /// items describe the present lines; nothing when they already do. A
    /// job that failed on its worker is computed again here, and an error
    /// of that computation reaches the caller.
    void ApplyPendingRecompute();
    /// The engine background jobs run, ComputeDiff unless replaced (an empty
    /// function restores it). It runs on worker threads, on the job's copies.
    void SetDiffFunction(TDiffFunction function);

    // --- merging and undo ------------------------------------------------
    /// "Copy to Right" / "Copy to Left": the selected row's block. Beeps in
    /// folder mode; a selection outside the item rows is ignored.
    void btnLeftToRightClick();
    void btnRightToLeftClick();
    /// "Copy All to Right" / "Copy All to Left": one side becomes the other.
    void btnAllLeftDiffsToRightClick();
    void btnAllRightDiffsToLeftClick();
    /// "Undo Last Change"; beeps in folder mode and with nothing to undo.
    void ActionUndoExecute();
    /// The block of item `itemIndex`: its first and last item, or (-1, -1).
    std::pair<int, int> FindDiffBlock(int itemIndex) const;
    /// Where the block first..last sits in the `target` side's lines:
    /// (position, count). A block without target lines gives count 0 and
    /// the position after the nearest target line above, else before the
    /// nearest one below, else the end of the list.
    std::pair<int, int> FindTargetRange(int first, int last, TSide target) const;
    /// Replaces the target lines of item `itemIndex`'s block by its source
    /// lines (the other side's). Nothing for an equal item or a block
    /// without source lines. Applies a pending recomputation first, so the
    /// block is cut from the lines its items describe.
    void CopyBlock(int itemIndex, TSide target);
    void CopyBlockToRight(int itemIndex) { CopyBlock(itemIndex, sdRight); }
    void CopyBlockToLeft(int itemIndex) { CopyBlock(itemIndex, sdLeft); }
    /// Same length and every line equal, case-sensitively.
    static bool SameLines(const QStringList &a, const QStringList &b);
    /// Snapshots both lists and the grid position; keeps the newest
    /// UndoStackLimit snapshots.
    void PushUndoState();
    /// Restores the newest snapshot (lines at once, items in the background,
    /// grid position where it still fits); beeps when there is none.
    void UndoLastMerge();
    static constexpr qsizetype UndoStackLimit = 3;

    // --- navigation -------------------------------------------------------
    /// First/Last: the first or last differing row; nothing when none.
    /// Previous/Next: the neighbouring block (a differing row in folder
    /// mode); a beep when there is none.
    void btnFirstDiffClick();
    void btnPrevDiffClick();
    void btnNextDiffClick();
    void btnLastDiffClick();
    /// The first row of the next difference after `row`'s block; -1 for none.
    int FindFollowingDiffRow(int row) const;
    /// The first row of the block above `row`'s block; -1 for none.
    int FindPrecedingDiffRow(int row) const;
    /// Selects `row` (clamped) and scrolls it to the middle of the view.
    void GoToRow(int row);

    // --- folder comparison and automatic mode ------------------------------
    /// The "As Folders" command with the two path boxes' texts. True when the
    /// folders were compared, so the caller records the trimmed paths
    /// (returned in `leftPath`/`rightPath`) in the histories; false, with
    /// the paths untouched, when the user cancelled or a box refused them.
    bool miAsFolders1Click(const QString &leftText, const QString &rightText, QString &leftPath,
                           QString &rightPath);
    /// Lists both folders recursively and shows one row per relative path
    /// found on either side: equal when both files have the same size,
    /// different otherwise, the newer copy of a differing pair marked
    /// " new". Both paths must name existing folders. Never reads contents.
    void CompareFolders(const QString &leftPath, const QString &rightPath);
    /// The "Load and Compare" command: two folders give a folder comparison,
    /// two files a text or document comparison chosen from their extensions
    /// and contents. True when a comparison was started (even one that then
    /// reported a missing file), so the caller moves the trimmed paths
    /// (returned in `leftPath`/`rightPath`) to the top of the histories;
    /// false when the user cancelled or a box refused the paths. Errors of
    /// the content test or the comparison propagate; the wait cursor shown
    /// meanwhile is restored either way.
    bool btnCompareClick(const QString &leftText, const QString &rightText, QString &leftPath,
                         QString &rightPath);

    // --- folder rows --------------------------------------------------------
    /// Shows the rows of a folder comparison, one item and one cell text per
    /// side for each file, in folder mode; pending recomputations are
    /// dropped. The command mode and the undo stack are the caller's.
    void ShowFolderRows(const TDiffItems &items, const QStringList &leftCells,
                        const QStringList &rightCells);

    // --- saving -----------------------------------------------------------
    /// "Save Left Text As..." with the left path box's text, unchanged, as
    /// the dialog's proposal. The side is written in the encoding and line
    /// breaks it was read with; characters the encoding cannot hold are
    /// written only after the user agreed. A write error throws TUserError
    /// and leaves UnsavedChanges and the status line as they were.
    void btnSaveLeftClick(const QString &pathBoxText);
    void btnSaveRightClick(const QString &pathBoxText);

    // --- in-cell editing ----------------------------------------------------
    /// The line that grid cell (`col`, `row`) shows, or -1 when the cell is
    /// not editable (folder mode, header, row-number column, empty side, a
    /// line the present list no longer holds).
    /// Throws as RequireLoadedFiles for a data cell without loaded files.
    int CellLineIndex(int col, int row) const;
    /// Stores an edited line: line `lineIndex` of the side of column `col`
    /// (1 left, 2 right) becomes `text` with its line breaks removed; pushes
    /// an undo snapshot, recomputes in the background and reports the
    /// statistics of the present items in the status line. The grid keeps
    /// its rows until the recomputed ones arrive: the window shows the text
    /// in the edited cell itself. Folder mode, no loaded files, another
    /// column or a line index the list no longer holds drop the text silently.
    void CommitLineEdit(int col, int lineIndex, const QString &text);

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
    /// A merge or an edit was made: the Undo command must be usable.
    void UndoBecameAvailable();

private:
    using TRecomputeResult = std::optional<TDiffItems>;

    void SetCommandMode(TCommandMode mode);
    /// A file command: the path checks, then `compare` on the trimmed paths,
    /// which are handed back; false when the checks stopped it.
    bool RunFileCommand(const QString &leftText, const QString &rightText, QString &leftPath, QString &rightPath,
                        void (TComparisonSession::*compare)(const QString &, const QString &));
    /// What every text or document comparison does first: a fresh session
    /// in text mode, pending results made stale, both lists empty.
    void BeginFileComparison();
    /// Both paths given and both existing files; otherwise the box that
    /// says why, and false.
    bool ReportMissingFiles(const QString &leftPath, const QString &rightPath);
    /// The checks both file commands make before comparing: the
    /// confirmation, trimming, both paths given and existing files.
    bool AcceptFilePaths(const QString &leftText, const QString &rightText, QString &left, QString &right);
    void ResetSides();
    /// After a comparison failed half way: empty sides and an empty grid,
    /// so no row indexes lines the lists no longer hold.
    void AbandonComparison();
    QStringList &Lines(TSide side) { return side == sdLeft ? FLeftLines : FRightLines; }
    const QStringList &Lines(TSide side) const { return side == sdLeft ? FLeftLines : FRightLines; }
    /// "%d lines (left file) vs %d lines (right file)." with the present counts.
    QString LineCountsText() const;

    void SetRecomputeInProgress(bool value);
    /// Shows the busy cursor and starts a job; the job's result pops it.
    void StartRecomputeWithBusyCursor();
    void ApplyRecomputeResult(std::int32_t jobId, const TRecomputeResult &result);
    /// Makes every pending result stale and pops the cursors pushed for
    /// them: a new comparison replaces what they describe.
    void DropPendingRecompute();
    void PopJobCursors();

    void CopySelectedBlock(TSide target);
    void CopyAllTo(TSide target);
    void SaveSide(TSide side, const QString &pathBoxText);

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
    TGridCursor *FGridCursor = nullptr;
    std::int32_t FDiffRecomputeJobId = 0;
    bool FDiffRecomputeInProgress = false;
    /// The items may not describe the present lines: set when a job starts,
    /// cleared when the newest result or a new comparison is applied.
    bool FItemsStale = false;
    /// Busy cursors pushed for jobs whose results have not been applied.
    int FJobBusyCursors = 0;
    TDiffFunction FDiffFunction;
    TExtractFunction FExtractText{[](const QString &path) { return ExtractDocumentText(path); }};
    /// The newest job's result; invalid when that job could not start.
    std::shared_future<TRecomputeResult> FNewestJob;
    /// Jobs that may still be running, waited for on destruction.
    std::vector<std::shared_future<TRecomputeResult>> FJobs;
};
