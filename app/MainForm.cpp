// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainForm.h"

#include "AppInfo.h"
#include "CellEditor.h"
#include "CommandRunner.h"
#include "DiffGrid.h"
#include "GridLayout.h"
#include "PathHistory.h"
#include "Prompts.h"
#include "SettingsFile.h"
#include "SettingsOwners.h"
#include "TranslationCatalogue.h"
#include "translation.h"
#include "uSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A label that acts as a link: hand cursor, underlined while hovered.
class THomepageLabel final : public QLabel
{
public:
    using QLabel::QLabel;
    std::function<void()> OnClick;

protected:
    void enterEvent(QEnterEvent *) override { SetUnderline(true); }
    void leaveEvent(QEvent *) override { SetUnderline(false); }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
            OnClick();
    }

private:
    void SetUnderline(bool on)
    {
        QFont f = font();
        f.setUnderline(on);
        setFont(f);
    }
};

// The drop-down button opens its menu when any mouse button is released over it.
class TDropDownButton final : public QToolButton
{
public:
    using QToolButton::QToolButton;
    std::function<void()> OnMouseUp;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QToolButton::mouseReleaseEvent(event);
        if (rect().contains(event->position().toPoint()) && OnMouseUp)
            OnMouseUp();
    }
};

// Puts a compared path into a box's history by `rule` (InsertPathIfAbsent
// or MovePathToTop), keeping what the box shows.
void RecordInHistory(QComboBox *box, const QString &path,
                     void (*rule)(QStringList &, const QString &) = InsertPathIfAbsent)
{
    QStringList history;
    for (int i = 0; i < box->count(); ++i)
        history.append(box->itemText(i));
    const QString text = box->currentText();
    rule(history, path);
    box->clear();
    box->addItems(history);
    box->setCurrentText(text);
}

} // namespace

TfrmMain::TfrmMain(TPrompts &prompts, QWidget *parent)
    : QMainWindow(parent)
    , FPrompts(prompts)
    , FSession(prompts)
{
    FormCreate();
}

TfrmMain::~TfrmMain()
{
    // FormDestroy: the children still stand, so every setting can be read.
    SaveSettings(FSettingsFilePath, SettingsOwners());
    FSession.SetGridCursor(nullptr);
}

// The icons are compiled into this static library, so they are registered
// by hand (outside any namespace, as the macro requires).
static void InitIconResources()
{
    Q_INIT_RESOURCE(icons);
}

void TfrmMain::FormCreate()
{
    InitIconResources();
    setObjectName(u"frmMain"_s);
    setWindowTitle(ApplicationTitle() + u' ' + ApplicationVersion());
    setWindowIcon(QIcon(u":/icons/lunavist"_s));

    CreateActions();
    CreateMenus();
    CreateToolbar();
    CreateCentralArea();
    CreateStatusBar();

    FSession.SetGridCursor(grdDiff);
    FInCellEdit = std::make_unique<TCellEditor>(*grdDiff, FSession, FPrompts);
    connect(grdDiff, &TDiffGrid::cellDoubleClicked, this,
            [this] { RunCommand(FPrompts, [this] { EditSelectedCell(); }); });

    connect(&FSession, &TComparisonSession::StatusChanged, lblStatus, &QLabel::setText);
    connect(&FSession, &TComparisonSession::GridRowsChanged, this, &TfrmMain::ShowGridRows);
    connect(&FSession, &TComparisonSession::ComparisonStarted, this, &TfrmMain::HideGettingStarted);
    // A new comparison replaces the lines: an edit still open (only when a
    // command did not store it first) belongs to the old ones.
    connect(&FSession, &TComparisonSession::ComparisonStarted, this,
            [this] { RunCommand(FPrompts, [this] { FInCellEdit->EndCellEdit(false); }); });
    connect(&FSession, &TComparisonSession::CommandModeChanged, this, &TfrmMain::ApplyCommandMode);
    connect(&FSession, &TComparisonSession::UndoBecameAvailable, this, [this] { btnUndo->setEnabled(true); });
    ApplyCommandMode(cmNone);

    // Client area as designed, centred on the screen; the settings file
    // may then move, resize or maximize it.
    resize(1138, 606 + menuBar()->sizeHint().height() + 51 + 28);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FDefaultGridFontSize = FontPointSize(grdDiff->GridFont());
    FSettingsFilePath = SettingsFilePath();
    LoadSettings(FSettingsFilePath, SettingsOwners());

    lblStatus->setText(Translate(u"Ready."_s));
    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
    Timer1->start();

    BuildLanguageMenu();
    ApplyMainWindowTexts();

    frmSettings = new TfrmSettings(FPrompts, FDefaultGridFontSize, this);
}

TSettingsOwners TfrmMain::SettingsOwners()
{
    return {FSession, *grdDiff, *StaticText1, *cmbLeft, *cmbRight, *this, FLeftDialogFolder, FRightDialogFolder,
            FGridFontColor};
}

QAction *TfrmMain::NewAction(const char *objectName, const char *icon, void (TfrmMain::*handler)())
{
    auto *action = new QAction(this);
    action->setObjectName(QString::fromLatin1(objectName));
    if (icon)
        action->setIcon(QIcon(u":/icons/"_s + QString::fromLatin1(icon)));
    action->setIconVisibleInMenu(false);
    if (handler)
        connect(action, &QAction::triggered, this, [this, handler] { RunCommand(FPrompts, [&] { (this->*handler)(); }); });
    return action;
}

void TfrmMain::CreateActions()
{
    btnCompare = NewAction("btnCompare", "search", &TfrmMain::btnCompareClick);
    btnPrevDiff = NewAction("btnPrevDiff", "arrow-up", &TfrmMain::btnPrevDiffClick);
    btnNextDiff = NewAction("btnNextDiff", "arrow-down", &TfrmMain::btnNextDiffClick);
    btnFirstDiff = NewAction("btnFirstDiff", "first", &TfrmMain::btnFirstDiffClick);
    btnLastDiff = NewAction("btnLastDiff", "last", &TfrmMain::btnLastDiffClick);
    btnLeftToRight = NewAction("btnLeftToRight", "copy-to-right", &TfrmMain::btnLeftToRightClick);
    btnRightToLeft = NewAction("btnRightToLeft", "copy-to-left", &TfrmMain::btnRightToLeftClick);
    btnAllLeftDiffsToRight =
        NewAction("btnAllLeftDiffsToRight", "copy-all-to-right", &TfrmMain::btnAllLeftDiffsToRightClick);
    btnAllRightDiffsToLeft =
        NewAction("btnAllRightDiffsToLeft", "copy-all-to-left", &TfrmMain::btnAllRightDiffsToLeftClick);
    btnUndo = NewAction("btnUndo", "undo2", &TfrmMain::btnUndoClick);
    btnSaveLeft = NewAction("btnSaveLeft", "save1", &TfrmMain::btnSaveLeftClick);
    btnSaveRight = NewAction("btnSaveRight", "save2", &TfrmMain::btnSaveRightClick);
    btnSettings = NewAction("btnSettings", "settings", &TfrmMain::btnSettingsClick);
    btnInfo = NewAction("btnInfo", "question-mark", &TfrmMain::btnInfoClick);
    mmEditSelected = NewAction("mmEditSelected", nullptr, &TfrmMain::EditSelectedCell);

    btnPrevDiff->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    btnNextDiff->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    btnFirstDiff->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    btnLastDiff->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    mmEditSelected->setShortcut(QKeySequence(Qt::Key_F2));

    // Form-wide undo: in no menu, active wherever the focus is in the window.
    ActionUndo = NewAction("ActionUndo", nullptr, &TfrmMain::ActionUndoExecute);
    ActionUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    ActionUndo->setShortcutContext(Qt::WindowShortcut);
    addAction(ActionUndo);

    miAutomatically1 = NewAction("miAutomatically1", nullptr, &TfrmMain::miAutomatically1Click);
    miAsTextFiles1 = NewAction("miAsTextFiles1", nullptr, &TfrmMain::miAsTextFiles1Click);
    miAsComplexDocumentsegPDFDOCXetcwithTIKA1 = NewAction(
        "miAsComplexDocumentsegPDFDOCXetcwithTIKA1", nullptr, &TfrmMain::miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click);
    miAsFolders1 = NewAction("miAsFolders1", nullptr, &TfrmMain::miAsFolders1Click);
    mmAutomatically1 = NewAction("mmAutomatically1", nullptr, &TfrmMain::miAutomatically1Click);
    mmAsTextFiles1 = NewAction("mmAsTextFiles1", nullptr, &TfrmMain::miAsTextFiles1Click);
    mmAsComplexDocumentsegPDFDOCXetcwithTIKA1 = NewAction(
        "mmAsComplexDocumentsegPDFDOCXetcwithTIKA1", nullptr, &TfrmMain::miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click);
    mmAsFolders1 = NewAction("mmAsFolders1", nullptr, &TfrmMain::miAsFolders1Click);
    mmBrowseLeft = NewAction("mmBrowseLeft", nullptr, &TfrmMain::btnBrowseLeftClick);
    mmBrowseRight = NewAction("mmBrowseRight", nullptr, &TfrmMain::btnBrowseRightClick);
    mmExit = NewAction("mmExit", nullptr, &TfrmMain::mmExitClick);
    mmTutorial = NewAction("mmTutorial", nullptr, &TfrmMain::mmTutorialClick);
    mmSupport = NewAction("mmSupport", nullptr, &TfrmMain::mmSupportClick);
    mmWebsite = NewAction("mmWebsite", nullptr, &TfrmMain::lbHomepageURLClick);
}

void TfrmMain::CreateMenus()
{
    QMenuBar *bar = menuBar();
    File1 = bar->addMenu(QString());
    File1->setObjectName(u"File1"_s);
    File1->addActions({mmBrowseLeft, mmBrowseRight});
    File1->addSeparator();
    File1->addActions({btnSaveLeft, btnSaveRight});
    File1->addSeparator();
    File1->addAction(mmExit);

    Compare1 = bar->addMenu(QString());
    Compare1->setObjectName(u"Compare1"_s);
    Compare1->addAction(mmAutomatically1);
    Compare1->addSeparator();
    Compare1->addActions({mmAsTextFiles1, mmAsComplexDocumentsegPDFDOCXetcwithTIKA1, mmAsFolders1});

    Browse1 = bar->addMenu(QString());
    Browse1->setObjectName(u"Browse1"_s);
    Browse1->addActions({btnPrevDiff, btnNextDiff});
    Browse1->addSeparator();
    Browse1->addActions({btnFirstDiff, btnLastDiff});

    Edit1 = bar->addMenu(QString());
    Edit1->setObjectName(u"Edit1"_s);
    Edit1->addAction(mmEditSelected);
    Edit1->addSeparator();
    Edit1->addAction(btnUndo);
    Edit1->addSeparator();
    Edit1->addActions({btnLeftToRight, btnRightToLeft, btnAllLeftDiffsToRight, btnAllRightDiffsToLeft});

    ools1 = bar->addMenu(QString());
    ools1->setObjectName(u"ools1"_s);
    ools1->addAction(btnSettings);
    ools1->addSeparator();
    mmLanguage = ools1->addMenu(QString());
    mmLanguage->setObjectName(u"mmLanguage"_s);

    Help1 = bar->addMenu(QString());
    Help1->setObjectName(u"Help1"_s);
    Help1->addAction(mmTutorial);
    Help1->addSeparator();
    Help1->addActions({mmSupport, mmWebsite});
    Help1->addSeparator();
    Help1->addAction(btnInfo);

    // F10 opens the menu bar, as elsewhere on the desktop; from there the
    // arrow keys reach every command without a mouse.
    auto *menuKey = new QAction(this);
    menuKey->setObjectName(u"ActionMenuBar"_s);
    menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    connect(menuKey, &QAction::triggered, bar, [this, bar] { bar->setActiveAction(File1->menuAction()); });
    addAction(menuKey);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    PopupMenu1->addAction(miAutomatically1);
    PopupMenu1->setDefaultAction(miAutomatically1); // shown bold
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({miAsTextFiles1, miAsComplexDocumentsegPDFDOCXetcwithTIKA1, miAsFolders1});
}

void TfrmMain::CreateToolbar()
{
    QToolBar *toolbar = addToolBar(u"Toolbar"_s);
    toolbar->setObjectName(u"Toolbar"_s);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(32, 32));
    toolbar->setFixedHeight(51);
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    toolbar->toggleViewAction()->setVisible(false);

    toolbar->addAction(btnCompare);
    auto *dropDown = new TDropDownButton(toolbar);
    dropDown->OnMouseUp = [this] { RunCommand(FPrompts, [this] { SpeedButton1MouseUp(); }); };
    SpeedButton1 = dropDown;
    SpeedButton1->setObjectName(u"SpeedButton1"_s);
    SpeedButton1->setIcon(QIcon(u":/icons/dropdown"_s));
    SpeedButton1->setIconSize(QSize(16, 16));
    SpeedButton1->setFixedWidth(19);
    SpeedButton1->setAutoRaise(true);
    // Like the other toolbar buttons, out of the Tab order: its items are
    // the Compare menu's.
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    toolbar->addWidget(SpeedButton1);
    toolbar->addSeparator();
    toolbar->addActions({btnPrevDiff, btnNextDiff, btnFirstDiff, btnLastDiff});
    toolbar->addSeparator();
    toolbar->addActions({btnLeftToRight, btnRightToLeft, btnAllLeftDiffsToRight, btnAllRightDiffsToLeft, btnUndo});
    toolbar->addSeparator();
    toolbar->addActions({btnSaveLeft, btnSaveRight});
    toolbar->addSeparator();
    toolbar->addActions({btnSettings, btnInfo});

    auto *spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    auto *bubble = new QLabel(toolbar);
    bubble->setPixmap(QIcon(u":/icons/bubble"_s).pixmap(32, 32));
    toolbar->addWidget(bubble);
    Label1 = new QLabel(toolbar);
    Label1->setObjectName(u"Label1"_s);
    Label1->setContentsMargins(4, 0, 10, 0);
    toolbar->addWidget(Label1);
}

void TfrmMain::CreateCentralArea()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    grdDiff = new TDiffGrid(central);
    grdDiff->setObjectName(u"grdDiff"_s);
    grdDiff->installEventFilter(this);
    layout->addWidget(grdDiff);

    // The path row lies over the grid's header row.
    StaticText1 = new QLabel(grdDiff);
    StaticText1->setObjectName(u"StaticText1"_s);
    QFont captionFont = QApplication::font();
    captionFont.setPixelSize(11); // the design's dialog font size
    StaticText1->setFont(captionFont);
    // Created in reading order, which the Tab key follows: each box, then
    // its browse button; from the last button Tab goes on to the grid.
    const auto newPathBox = [this](const QString &name) {
        auto *box = new QComboBox(grdDiff);
        box->setObjectName(name);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxCount(int(MaxPathHistory));
        return box;
    };
    const auto newBrowseButton = [this](const QString &name) {
        auto *button = new QToolButton(grdDiff);
        button->setObjectName(name);
        button->setText(u"..."_s);
        return button;
    };
    cmbLeft = newPathBox(u"cmbLeft"_s);
    btnBrowseLeft = newBrowseButton(u"btnBrowseLeft"_s);
    cmbRight = newPathBox(u"cmbRight"_s);
    btnBrowseRight = newBrowseButton(u"btnBrowseRight"_s);
    // The path row speaks the dialog font, not the grid's.
    for (QWidget *widget : std::initializer_list<QWidget *>{cmbLeft, cmbRight, btnBrowseLeft, btnBrowseRight})
        widget->setFont(QApplication::font());
    connect(btnBrowseLeft, &QToolButton::clicked, this, [this] { RunCommand(FPrompts, [this] { btnBrowseLeftClick(); }); });
    connect(btnBrowseRight, &QToolButton::clicked, this, [this] { RunCommand(FPrompts, [this] { btnBrowseRightClick(); }); });

    Panel2 = new QFrame(central);
    Panel2->setObjectName(u"Panel2"_s);
    Panel2->setAutoFillBackground(true);
    auto *panelLayout = new QVBoxLayout(Panel2);
    lblGettingStarted = new QLabel(Panel2);
    lblGettingStarted->setObjectName(u"lblGettingStarted"_s);
    lblGettingStarted->setAlignment(Qt::AlignCenter);
    lblGettingStarted->setWordWrap(true);
    lblGettingStarted->setFont(TDiffGrid::DesignFont());
    panelLayout->addWidget(lblGettingStarted);
    layout->addWidget(Panel2, 1);

    // Until the first comparison only the grid's header row shows.
    grdDiff->setFixedHeight(grdDiff->RowHeight(0) + 2 * grdDiff->frameWidth());
    setCentralWidget(central);
}

void TfrmMain::CreateStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setSizeGripEnabled(true);
    bar->setFixedHeight(28);
    lblStatus = new QLabel(bar);
    lblStatus->setObjectName(u"lblStatus"_s);
    bar->addWidget(lblStatus, 1);
    auto *homepage = new THomepageLabel(bar);
    homepage->OnClick = [this] { RunCommand(FPrompts, [this] { lbHomepageURLClick(); }); };
    lbHomepageURL = homepage;
    lbHomepageURL->setObjectName(u"lbHomepageURL"_s);
    lbHomepageURL->setText(MakerSiteAddress());
    lbHomepageURL->setCursor(Qt::PointingHandCursor);
    lbHomepageURL->setContentsMargins(0, 0, 10, 0);
    bar->addPermanentWidget(lbHomepageURL);
}

void TfrmMain::ApplyMainWindowTexts()
{
    const auto setCaptionAndHint = [](QAction *action, const QString &text) {
        action->setText(text);
        action->setToolTip(text);
    };
    File1->setTitle(Translate(u"File"_s));
    Compare1->setTitle(Translate(u"Compare"_s));
    Browse1->setTitle(Translate(u"Browse"_s));
    Edit1->setTitle(Translate(u"Edit"_s));
    ools1->setTitle(Translate(u"Tools"_s));
    Help1->setTitle(Translate(u"Help"_s));
    FAlignedWidths = TAlignedColumnWidths(); // the caption is placed again on the next tick
    Label1->setText(Translate(u"Double-click on a cell to start editing"_s));
    setCaptionAndHint(btnCompare, Translate(u"Load and Compare"_s));
    miAutomatically1->setText(Translate(u"Automatically"_s));
    mmAutomatically1->setText(Translate(u"Automatically"_s));
    miAsTextFiles1->setText(Translate(u"As Text-based Files"_s));
    mmAsTextFiles1->setText(Translate(u"As Text-based Files"_s));
    miAsComplexDocumentsegPDFDOCXetcwithTIKA1->setText(
        Translate(u"As Complex Documents (e.g. PDF, DOCX etc.) with TIKA"_s));
    mmAsComplexDocumentsegPDFDOCXetcwithTIKA1->setText(Translate(u"As Complex Documents with TIKA"_s));
    miAsFolders1->setText(Translate(u"As Folders"_s));
    mmAsFolders1->setText(Translate(u"As Folders"_s));
    btnBrowseLeft->setStatusTip(Translate(u"Set Left Text..."_s));
    mmBrowseLeft->setText(Translate(u"Set Left Text..."_s));
    btnBrowseRight->setStatusTip(Translate(u"Set Right Text..."_s));
    mmBrowseRight->setText(Translate(u"Set Right Text..."_s));
    setCaptionAndHint(btnSaveLeft, Translate(u"Save Left Text As..."_s));
    setCaptionAndHint(btnSaveRight, Translate(u"Save Right Text As..."_s));
    mmExit->setText(Translate(u"Exit"_s));
    setCaptionAndHint(btnPrevDiff, Translate(u"Previous Difference"_s));
    setCaptionAndHint(btnNextDiff, Translate(u"Next Difference"_s));
    setCaptionAndHint(btnFirstDiff, Translate(u"First Difference"_s));
    setCaptionAndHint(btnLastDiff, Translate(u"Last Difference"_s));
    setCaptionAndHint(btnLeftToRight, Translate(u"Copy to Right"_s));
    setCaptionAndHint(btnRightToLeft, Translate(u"Copy to Left"_s));
    setCaptionAndHint(btnAllLeftDiffsToRight, Translate(u"Copy All to Right"_s));
    setCaptionAndHint(btnAllRightDiffsToLeft, Translate(u"Copy All to Left"_s));
    mmEditSelected->setText(Translate(u"Edit Selected..."_s));
    setCaptionAndHint(btnUndo, Translate(u"Undo Last Change"_s));
    ActionUndo->setText(Translate(u"Undo Last Change"_s));
    setCaptionAndHint(btnSettings, Translate(u"Settings..."_s));
    mmLanguage->setTitle(Translate(u"Language"_s));
    mmTutorial->setText(Translate(u"Tutorial"_s));
    mmWebsite->setText(Translate(u"Website"_s));
    mmSupport->setText(Translate(u"Support"_s));
    setCaptionAndHint(btnInfo, Translate(u"About..."_s));
    lblGettingStarted->setText(Translate(u"Select 2 Files or 2 Folders"_s) + u"\r\n"_s
                               + Translate(u"Then click on \"Compare\""_s));

    // What a screen reader says: the path boxes their side, the buttons
    // their hints (the browse buttons show only "...", the toolbar's only
    // icons), the caption in full even when the column shortens it.
    for (QComboBox *box : {cmbLeft, cmbRight}) {
        box->setAccessibleName(box == cmbLeft ? Translate(u"Left path"_s) : Translate(u"Right path"_s));
        box->lineEdit()->setAccessibleName(box->accessibleName());
    }
    btnBrowseLeft->setAccessibleName(Translate(u"Set Left Text..."_s));
    btnBrowseRight->setAccessibleName(Translate(u"Set Right Text..."_s));
    SpeedButton1->setAccessibleName(Translate(u"Comparison Mode"_s));
    StaticText1->setAccessibleName(Translate(u"Files or Folders:"_s));
    grdDiff->setAccessibleName(Translate(u"Comparison"_s));
    if (auto *toolbar = findChild<QToolBar *>(u"Toolbar"_s)) {
        for (QAction *action : toolbar->actions()) {
            if (auto *button = qobject_cast<QToolButton *>(toolbar->widgetForAction(action));
                button && button->defaultAction() == action)
                button->setAccessibleName(action->toolTip());
        }
    }
}

void TfrmMain::BuildLanguageMenu()
{
    const TTranslationCatalogue &catalogue = TranslationCatalogue();
    for (int column = 0; column < catalogue.LanguageCount(); ++column) {
        QAction *item = mmLanguage->addAction(catalogue.DisplayName(column));
        item->setCheckable(true);
        item->setData(column);
        item->setChecked(column == CurrentLanguageIndex());
        connect(item, &QAction::triggered, this,
                [this, item] { RunCommand(FPrompts, [this, item] { LanguageMenuItemClick(item); }); });
    }
}

void TfrmMain::LanguageMenuItemClick(QAction *item)
{
    const int column = item->data().toInt();
    for (QAction *other : mmLanguage->actions())
        other->setChecked(false);
    SetCurrentLanguageIndex(column);
    item->setChecked(true);
    SetCurrentLanguageCode(TranslationCatalogue().Code(column));
    SaveLanguageChoice();
    ApplyMainWindowTexts();
}

// --- commands -----------------------------------------------------------

void TfrmMain::btnCompareClick()
{
    miAutomatically1Click();
}

void TfrmMain::CompareOnStart(const QString &leftPath, const QString &rightPath)
{
    cmbLeft->setCurrentText(leftPath);
    cmbRight->setCurrentText(rightPath);
    // Queued, so its message boxes open over the window, not before it.
    QTimer::singleShot(0, btnCompare, &QAction::trigger);
}

void TfrmMain::miAutomatically1Click()
{
    CommitOpenEdit();
    QString leftPath;
    QString rightPath;
    if (!FSession.btnCompareClick(cmbLeft->currentText(), cmbRight->currentText(), leftPath, rightPath))
        return;
    RecordInHistory(cmbLeft, leftPath, MovePathToTop);
    RecordInHistory(cmbRight, rightPath, MovePathToTop);
    SaveSettings(FSettingsFilePath, SettingsOwners());
}

void TfrmMain::miAsTextFiles1Click()
{
    CommitOpenEdit();
    QString leftPath;
    QString rightPath;
    if (!FSession.miAsTextFiles1Click(cmbLeft->currentText(), cmbRight->currentText(), leftPath, rightPath))
        return;
    RecordInHistory(cmbLeft, leftPath);
    RecordInHistory(cmbRight, rightPath);
    SaveSettings(FSettingsFilePath, SettingsOwners());
}

void TfrmMain::miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click()
{
    CommitOpenEdit();
    QString leftPath;
    QString rightPath;
    if (!FSession.miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click(cmbLeft->currentText(), cmbRight->currentText(),
                                                                 leftPath, rightPath))
        return;
    RecordInHistory(cmbLeft, leftPath);
    RecordInHistory(cmbRight, rightPath);
    SaveSettings(FSettingsFilePath, SettingsOwners());
}

void TfrmMain::miAsFolders1Click()
{
    CommitOpenEdit();
    QString leftPath;
    QString rightPath;
    if (!FSession.miAsFolders1Click(cmbLeft->currentText(), cmbRight->currentText(), leftPath, rightPath))
        return;
    RecordInHistory(cmbLeft, leftPath);
    RecordInHistory(cmbRight, rightPath);
    SaveSettings(FSettingsFilePath, SettingsOwners());
}

void TfrmMain::btnSettingsClick()
{
    CommitOpenEdit();
    RunSettingsDialog(*frmSettings, SettingsOwners(), [this] { FormResize(); });
}

void TfrmMain::CommitOpenEdit()
{
    FInCellEdit->EndCellEdit(true);
}

void TfrmMain::btnFirstDiffClick()
{
    FSession.btnFirstDiffClick();
}

void TfrmMain::btnPrevDiffClick()
{
    FSession.btnPrevDiffClick();
}

void TfrmMain::btnNextDiffClick()
{
    FSession.btnNextDiffClick();
}

void TfrmMain::btnLastDiffClick()
{
    FSession.btnLastDiffClick();
}

void TfrmMain::btnLeftToRightClick()
{
    CommitOpenEdit();
    FSession.btnLeftToRightClick();
}

void TfrmMain::btnRightToLeftClick()
{
    CommitOpenEdit();
    FSession.btnRightToLeftClick();
}

void TfrmMain::btnAllLeftDiffsToRightClick()
{
    CommitOpenEdit();
    FSession.btnAllLeftDiffsToRightClick();
}

void TfrmMain::btnAllRightDiffsToLeftClick()
{
    CommitOpenEdit();
    FSession.btnAllRightDiffsToLeftClick();
}

void TfrmMain::btnUndoClick()
{
    ActionUndo->trigger();
}

void TfrmMain::ActionUndoExecute()
{
    CommitOpenEdit();
    FSession.ActionUndoExecute();
}

void TfrmMain::btnSaveLeftClick()
{
    CommitOpenEdit();
    FSession.btnSaveLeftClick(cmbLeft->currentText());
}

void TfrmMain::btnSaveRightClick()
{
    CommitOpenEdit();
    FSession.btnSaveRightClick(cmbRight->currentText());
}

void TfrmMain::EditSelectedCell()
{
    FInCellEdit->EditSelectedCell();
}

void TfrmMain::SpeedButton1MouseUp()
{
    PopupMenu1->popup(SpeedButton1->mapToGlobal(SpeedButton1->rect().bottomLeft()));
}

void TfrmMain::BrowseInto(QComboBox *box, QString &dialogFolder)
{
    const QString folder = QFileInfo(box->currentText().trimmed()).path();
    if (!box->currentText().trimmed().isEmpty() && QFileInfo(folder).isDir())
        dialogFolder = QFileInfo(folder).absoluteFilePath();
    const QString chosen = FPrompts.OpenFile(box == cmbLeft ? Translate(u"Set Left Text..."_s)
                                                            : Translate(u"Set Right Text..."_s),
                                             dialogFolder);
    if (chosen.isEmpty())
        return;
    box->setCurrentText(QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath()));
    dialogFolder = QFileInfo(chosen).absolutePath();
}

void TfrmMain::btnBrowseLeftClick()
{
    BrowseInto(cmbLeft, FLeftDialogFolder);
}

void TfrmMain::btnBrowseRightClick()
{
    BrowseInto(cmbRight, FRightDialogFolder);
}

void TfrmMain::btnInfoClick()
{
    const QStringList lines = {
        ApplicationTitle(),
        Translate(u"Version:"_s) + u' ' + ApplicationVersion(),
        u"© %1"_s.arg(QDate::currentDate().year()),
        Translate(u"Website:"_s) + u' ' + MakerSiteAddress(),
        QString(),
        Translate(u"Compares text files, documents and folders side by side and merges their differences."_s),
        Translate(u"This program is free software under the GNU General Public License, version 3 or later. "
                  "It comes with absolutely no warranty."_s),
    };
    FPrompts.Information(lines.join(u"\r\n"_s));
}

void TfrmMain::mmExitClick()
{
    close();
}

void TfrmMain::lbHomepageURLClick()
{
    QDesktopServices::openUrl(QUrl(MakerSiteAddress() + u'/'));
}

void TfrmMain::mmSupportClick()
{
    QDesktopServices::openUrl(QUrl(MakerSiteAddress() + u"/contact"_s));
}

void TfrmMain::mmTutorialClick()
{
    QDesktopServices::openUrl(QUrl(MakerSiteAddress() + u"/redirect/tutorial-lunavist.html"_s));
}

// --- reactions to the session -------------------------------------------

void TfrmMain::ShowGridRows()
{
    grdDiff->SetRows(FSession.GridRows());
    FInCellEdit->GridRowsReplaced();
}

void TfrmMain::HideGettingStarted()
{
    if (!Panel2->isVisible())
        return;
    Panel2->hide();
    grdDiff->setMinimumHeight(0);
    grdDiff->setMaximumHeight(QWIDGETSIZE_MAX);
}

void TfrmMain::ApplyCommandMode(TCommandMode mode)
{
    const bool navigation = mode != cmNone;
    const bool fileContents = mode == cmText;
    for (QAction *action : {btnPrevDiff, btnNextDiff, btnFirstDiff, btnLastDiff})
        action->setEnabled(navigation);
    for (QAction *action : {btnLeftToRight, btnRightToLeft, btnAllLeftDiffsToRight, btnAllRightDiffsToLeft, btnSaveLeft,
                            btnSaveRight, btnUndo, mmEditSelected})
        action->setEnabled(fileContents);
}

// --- layout ---------------------------------------------------------------

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    // The columns follow the grid's width, which the layout sets after the
    // window's own resize: so react to the grid's resize.
    if (watched == grdDiff && event->type() == QEvent::Resize) {
        FormResize();
        grdDiff->AdjustAllRowHeights();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::FormResize()
{
    grdDiff->SetColumnWidth(1, Column1WidthAfterResize(grdDiff->width(), grdDiff->ColumnWidth(0)));
}

void TfrmMain::Timer1Timer()
{
    if (!FAlignedWidths.Update(grdDiff->ColumnWidth(1), grdDiff->ColumnWidth(2)))
        return;
    TPathBoxInputs input;
    input.GridWidth = grdDiff->width();
    input.Column0Width = grdDiff->ColumnWidth(0);
    input.Column1Width = FAlignedWidths.iColWidth1;
    input.BrowseLeftWidth = btnBrowseLeft->width();
    input.BrowseRightWidth = btnBrowseRight->width();
    input.GettingStartedVisible = Panel2->isVisible();
    const TPathBoxGeometry geometry = ComputePathBoxGeometry(input);
    grdDiff->SetColumnWidth(2, geometry.Column2Width);

    const int top = grdDiff->frameWidth() + std::max(0, (grdDiff->RowHeight(0) - cmbLeft->sizeHint().height()) / 2);
    const int height = cmbLeft->sizeHint().height();
    const int left = grdDiff->frameWidth();
    // The caption fits the row-number column, shortened when it must be.
    const int captionWidth = std::max(0, grdDiff->ColumnWidth(0) - 6);
    const QString caption = Translate(u"Files or Folders:"_s);
    StaticText1->setText(StaticText1->fontMetrics().elidedText(caption, Qt::ElideRight, captionWidth));
    StaticText1->setToolTip(caption);
    StaticText1->setGeometry(left + 4, top, captionWidth, height);
    cmbLeft->setGeometry(left + geometry.LeftBoxLeft, top, geometry.LeftBoxWidth, height);
    btnBrowseLeft->setGeometry(left + geometry.LeftBrowseLeft, top, btnBrowseLeft->width(), height);
    cmbRight->setGeometry(left + geometry.RightBoxLeft, top, geometry.RightBoxWidth, height);
    btnBrowseRight->setGeometry(left + geometry.RightBrowseLeft, top, btnBrowseRight->width(), height);
}
