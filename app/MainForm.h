// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ComparisonSession.h"
#include "GridLayout.h"

#include <QList>
#include <QMainWindow>

#include <cstdint>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QTimer;
class QToolButton;
class TCellEditor;
class TDiffGrid;
class TPrompts;
class TfrmSettings;
struct TSettingsOwners;

/// The main window: builds the toolbar, menus, path boxes, grid and status
/// line, and turns their events into calls of the comparison session. It
/// holds no comparison logic of its own.
class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmMain(TPrompts &prompts, QWidget *parent = nullptr);
    ~TfrmMain() override;

    TComparisonSession &Session() { return FSession; }
    TDiffGrid &Grid() { return *grdDiff; }
    TCellEditor &CellEditor() { return *FInCellEdit; }

    /// Sets every caption, hint and label of the window in the current language.
    void ApplyMainWindowTexts();

    /// Puts the two paths into the path boxes and runs "Load and Compare"
    /// once the event loop runs, so on the window already shown: the
    /// command line's LEFT RIGHT.
    void CompareOnStart(const QString &leftPath, const QString &rightPath);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building the window.
    void FormCreate();
    void CreateActions();
    void CreateMenus();
    void CreateToolbar();
    void CreateCentralArea();
    void CreateStatusBar();
    QAction *NewAction(const char *objectName, const char *icon, void (TfrmMain::*handler)());
    void BuildLanguageMenu();

    // Command handlers; each runs through the one error-reporting wrapper.
    void btnCompareClick();
    void SpeedButton1MouseUp();
    void miAutomatically1Click();
    void miAsTextFiles1Click();
    void miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click();
    void miAsFolders1Click();
    void btnBrowseLeftClick();
    void btnBrowseRightClick();
    void btnInfoClick();
    void mmExitClick();
    void mmSupportClick();
    void mmTutorialClick();
    void lbHomepageURLClick();
    void LanguageMenuItemClick(QAction *item);
    void btnFirstDiffClick();
    void btnPrevDiffClick();
    void btnNextDiffClick();
    void btnLastDiffClick();
    void btnLeftToRightClick();
    void btnRightToLeftClick();
    void btnAllLeftDiffsToRightClick();
    void btnAllRightDiffsToLeftClick();
    void btnUndoClick();
    void ActionUndoExecute();
    void btnSaveLeftClick();
    void btnSaveRightClick();
    void EditSelectedCell();
    void btnSettingsClick();
    /// Stores an open in-cell edit. Toolbar buttons and shortcuts leave the
    /// focus in the editor, so every command that reads or changes the
    /// lines calls this first.
    void CommitOpenEdit();

    // Reactions to the session.
    void ShowGridRows();
    void HideGettingStarted();
    void ApplyCommandMode(TCommandMode mode);

    // Layout.
    void FormResize();
    void Timer1Timer();
    void BrowseInto(QComboBox *box, QString &dialogFolder);

    /// Where the settings file and the settings dialog find each setting.
    TSettingsOwners SettingsOwners();

    TPrompts &FPrompts;
    TComparisonSession FSession;
    /// Destroyed before the session and the grid, so a closing editor never
    /// calls into either.
    std::unique_ptr<TCellEditor> FInCellEdit;

    TDiffGrid *grdDiff = nullptr;
    QFrame *Panel2 = nullptr;
    QLabel *lblGettingStarted = nullptr;
    QLabel *StaticText1 = nullptr;
    QComboBox *cmbLeft = nullptr;
    QComboBox *cmbRight = nullptr;
    QToolButton *btnBrowseLeft = nullptr;
    QToolButton *btnBrowseRight = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblStatus = nullptr;
    QLabel *lbHomepageURL = nullptr;
    QTimer *Timer1 = nullptr;

    QMenu *File1 = nullptr;
    QMenu *Compare1 = nullptr;
    QMenu *Browse1 = nullptr;
    QMenu *Edit1 = nullptr;
    QMenu *ools1 = nullptr;
    QMenu *Help1 = nullptr;
    QMenu *mmLanguage = nullptr;
    QMenu *PopupMenu1 = nullptr;

    // A toolbar button and its menu item share one action.
    QAction *btnCompare = nullptr;
    QAction *btnPrevDiff = nullptr;
    QAction *btnNextDiff = nullptr;
    QAction *btnFirstDiff = nullptr;
    QAction *btnLastDiff = nullptr;
    QAction *btnLeftToRight = nullptr;
    QAction *btnRightToLeft = nullptr;
    QAction *btnAllLeftDiffsToRight = nullptr;
    QAction *btnAllRightDiffsToLeft = nullptr;
    QAction *btnUndo = nullptr;
    QAction *btnSaveLeft = nullptr;
    QAction *btnSaveRight = nullptr;
    QAction *btnSettings = nullptr;
    QAction *btnInfo = nullptr;
    QAction *mmEditSelected = nullptr;
    QAction *ActionUndo = nullptr;
    QAction *miAutomatically1 = nullptr;
    QAction *miAsTextFiles1 = nullptr;
    QAction *miAsComplexDocumentsegPDFDOCXetcwithTIKA1 = nullptr;
    QAction *miAsFolders1 = nullptr;
    QAction *mmAutomatically1 = nullptr;
    QAction *mmAsTextFiles1 = nullptr;
    QAction *mmAsComplexDocumentsegPDFDOCXetcwithTIKA1 = nullptr;
    QAction *mmAsFolders1 = nullptr;
    QAction *mmBrowseLeft = nullptr;
    QAction *mmBrowseRight = nullptr;
    QAction *mmExit = nullptr;
    QAction *mmTutorial = nullptr;
    QAction *mmSupport = nullptr;
    QAction *mmWebsite = nullptr;

    QString FLeftDialogFolder;
    QString FRightDialogFolder;
    /// Computed once at creation, so every write goes where the read came from.
    QString FSettingsFilePath;
    /// The grid font's size in points before the settings file was read:
    /// what "Set Defaults" restores.
    std::int32_t FDefaultGridFontSize = 0;
    /// The grid font's colour: kept and stored, while the cells draw their
    /// text in the window-text colour.
    std::uint32_t FGridFontColor = 0xFF000008;
    TfrmSettings *frmSettings = nullptr;
    TAlignedColumnWidths FAlignedWidths;
};
