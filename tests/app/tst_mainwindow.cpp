// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven through its real widgets, as a user would.

#include "CellEditor.h"
#include "DiffGrid.h"
#include "MainForm.h"
#include "ScriptedPrompts.h"
#include "TranslationCatalogue.h"
#include "translation.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kLeft = "alpha\n"
                         "beta gamma delta\n"
                         "same line\n"
                         "int x = 10; // a comment\n"
                         "only left\n"
                         "shared\n"
                         "A long line that is the same on both sides and wraps in the grid because it does not fit "
                         "into one column of the window, so its row grows to show all of it.\n"
                         "end\n";
const QByteArray kRight = "alpha\n"
                          "beta GAMMA delta epsilon\n"
                          "same line\n"
                          "int y = 10; // a comment\n"
                          "shared\n"
                          "A long line that is the same on both sides and wraps in the grid because it does not fit "
                          "into one column of the window, so its row grows to show all of it.\n"
                          "only right\n"
                          "end\n";

QColor Rgb(quint32 colorValue)
{
    return QColor(int(colorValue & 0xFF), int((colorValue >> 8) & 0xFF), int((colorValue >> 16) & 0xFF));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void startsReadyWithSessionCommandsDisabled();
    void comparesTwoFilesFromTheMenu();
    void identicalFilesShowBothBoxesInOrder();
    void emptyFilesLeaveOneEmptyRow();
    void cancelOnTheConfirmationChangesNothing();
    void foldersFromBothCommands();
    void anUnreadableFileShowsTheErrorAndNoStaleRows();
    void browsePutsTheChosenFileIntoThePathBox();
    void aboutBoxAndWebLinks();
    void switchingTheLanguageRetranslatesTheWindow();
    void navigateMergeEditUndoAndSave();
    void openingAnEdit_data();
    void openingAnEdit();
    void endingAnEdit_data();
    void endingAnEdit();
    void theStoredLineKeepsWhatWasNotTyped();
    void theEditorFollowsItsLineWhenTheRowsChange();
    void ctrlCCopiesTheDisplayedText_data();
    void ctrlCCopiesTheDisplayedText();

private:
    QString WriteFile(const QString &name, const QByteArray &bytes);
    template<typename T>
    T *Child(const char *name)
    {
        auto *child = FWindow->findChild<T *>(QString::fromLatin1(name));
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    void Trigger(const char *actionName) { Child<QAction>(actionName)->trigger(); }
    void CompareAsText(const QString &left, const QString &right);
    /// Compares kLeft with kRight and waits until the grid has its room.
    void CompareSample();
    void SavePicture(const QString &name);
    TDiffGrid &Grid() { return FWindow->Grid(); }
    QPlainTextEdit *Editor() { return Child<QPlainTextEdit>("FCellEditor"); }
    QPoint CellCentre(int col, int row) { return Grid().CellRect(col, row).center(); }
    void ClickCell(int col, int row) { QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, CellCentre(col, row)); }
    void DoubleClickCell(int col, int row)
    {
        QTest::mouseDClick(Grid().viewport(), Qt::LeftButton, {}, CellCentre(col, row));
    }

    QTemporaryDir FDir;
    std::unique_ptr<QTemporaryDir> FAppData;
    TScriptedPrompts *FPrompts = nullptr;
    TfrmMain *FWindow = nullptr;
};

void TestMainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true); // the language choice goes to a test store
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(FDir.isValid());
}

void TestMainWindow::init()
{
    SetCurrentLanguageIndex(0);
    // Each test starts without a settings file and never writes the user's.
    FAppData = std::make_unique<QTemporaryDir>();
    qputenv("APPDATA", FAppData->path().toUtf8());
    FPrompts = new TScriptedPrompts;
    FWindow = new TfrmMain(*FPrompts);
    FWindow->show();
    FWindow->activateWindow(); // the editor's focus changes need an active window
    QVERIFY(QTest::qWaitForWindowActive(FWindow));
}

void TestMainWindow::cleanup()
{
    // Merges and edits show the busy cursor until their rows arrive.
    QTRY_VERIFY(!FWindow->Session().DiffRecomputeInProgress());
    QVERIFY(FPrompts->Unscripted.isEmpty());
    QVERIFY(FPrompts->CursorsBalanced());
    delete FWindow;
    delete FPrompts;
}

QString TestMainWindow::WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(FDir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a fixture");
    return file.fileName();
}

void TestMainWindow::CompareAsText(const QString &left, const QString &right)
{
    Child<QComboBox>("cmbLeft")->setCurrentText(left);
    Child<QComboBox>("cmbRight")->setCurrentText(right);
    Trigger("miAsTextFiles1");
}

void TestMainWindow::CompareSample()
{
    CompareAsText(WriteFile(u"left.txt"_s, kLeft), WriteFile(u"right.txt"_s, kRight));
    FPrompts->Log.clear();
    // The grid takes the getting-started panel's room on the next layout.
    QTRY_VERIFY(Grid().CellRect(2, Grid().RowCount() - 1).bottom() < Grid().viewport()->height());
}

// Pictures for a person to look at, when LUNAVIST_PICTURES names a folder.
void TestMainWindow::SavePicture(const QString &name)
{
    const QString folder = qEnvironmentVariable("LUNAVIST_PICTURES");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QTest::qWait(250); // let the path row settle on the timer
    FWindow->grab().save(QDir(folder).filePath(name + u".png"_s));
}

void TestMainWindow::startsReadyWithSessionCommandsDisabled()
{
    QCOMPARE(FWindow->windowTitle(), u"Lunavist 2.4"_s);
    QCOMPARE(Child<QLabel>("lblStatus")->text(), u"Ready."_s);
    QCOMPARE(Child<QLabel>("lblGettingStarted")->text(), u"Select 2 Files or 2 Folders\r\nThen click on \"Compare\""_s);
    QVERIFY(Child<QFrame>("Panel2")->isVisible());
    for (const char *name : {"btnPrevDiff", "btnNextDiff", "btnFirstDiff", "btnLastDiff", "btnLeftToRight",
                             "btnRightToLeft", "btnAllLeftDiffsToRight", "btnAllRightDiffsToLeft", "btnUndo",
                             "btnSaveLeft", "btnSaveRight", "mmEditSelected"})
        QVERIFY2(!Child<QAction>(name)->isEnabled(), name);
    for (const char *name : {"btnCompare", "btnSettings", "btnInfo", "mmExit", "miAsTextFiles1", "mmBrowseLeft"})
        QVERIFY2(Child<QAction>(name)->isEnabled(), name);
    QCOMPARE(Child<QAction>("btnNextDiff")->shortcut(), QKeySequence(u"Ctrl+N"_s));
    QCOMPARE(Child<QAction>("ActionUndo")->shortcut(), QKeySequence(u"Ctrl+Z"_s));
    SavePicture(u"1-start"_s);
}

void TestMainWindow::comparesTwoFilesFromTheMenu()
{
    const QString left = WriteFile(u"left.txt"_s, kLeft);
    const QString right = WriteFile(u"right.txt"_s, kRight);
    CompareAsText(u"  "_s + left + u"\t"_s, right + u" "_s);

    const TDiffGrid &grid = FWindow->Grid();
    QCOMPARE(grid.RowCount(), 10); // header and nine rows
    const QStringList expected = {u"1|alpha|alpha"_s,
                                  u"2|beta gamma delta|beta GAMMA delta epsilon"_s,
                                  u"3|same line|same line"_s,
                                  u"4|int x = 10; // a comment|int y = 10; // a comment"_s,
                                  u"5|only left|"_s,
                                  u"6|shared|shared"_s};
    for (int row = 1; row <= expected.size(); ++row)
        QCOMPARE(grid.CellText(0, row) + u'|' + grid.CellText(1, row) + u'|' + grid.CellText(2, row),
                 expected[row - 1]);
    QCOMPARE(grid.CellText(2, 8), u"only right"_s);

    QCOMPARE(Child<QLabel>("lblStatus")->text(),
             u"8 lines (left file) vs 8 lines (right file). Equal lines: 5 of 9 (55.6%). Different lines: 4."_s);
    QCOMPARE(FPrompts->Log, QStringList{u"information: Compared:\r\n8 lines (left file) vs 8 lines (right file).\r\n"
                                        "Equal lines: 5 of 9 (55.6%).\r\nDifferent lines: 4."_s});
    QVERIFY(!Child<QFrame>("Panel2")->isVisible());
    QVERIFY(Child<QAction>("btnLeftToRight")->isEnabled());
    QVERIFY(Child<QAction>("btnNextDiff")->isEnabled());

    // The trimmed paths enter the histories.
    QCOMPARE(Child<QComboBox>("cmbLeft")->itemText(0), left);
    QCOMPARE(Child<QComboBox>("cmbRight")->itemText(0), right);

    // Rows are painted in the colour of their kind.
    QTest::qWait(250); // the grid takes the room of the panel; the timer aligns the columns
    const QImage picture = FWindow->Grid().viewport()->grab().toImage();
    const auto colourAt = [&](int column, int row) {
        const QRect cell = grid.CellRect(column, row);
        return picture.pixelColor(cell.right() - 6, cell.bottom() - 5);
    };
    const TComparisonSession &session = FWindow->Session();
    QCOMPARE(colourAt(0, 5), Rgb(session.fColorAddedLines));
    QCOMPARE(colourAt(1, 8), Rgb(session.fColorRemovedLines));
    QCOMPARE(colourAt(2, 2), Rgb(session.fColorChangedLines));
    QCOMPARE(colourAt(1, 1), grid.palette().color(QPalette::Base));
    // The long line wraps: its row is taller than a one-line row.
    QVERIFY(grid.RowHeight(7) > grid.RowHeight(6));
    SavePicture(u"2-compared"_s);
}

void TestMainWindow::identicalFilesShowBothBoxesInOrder()
{
    const QString file = WriteFile(u"same.txt"_s, "one\ntwo\n");
    CompareAsText(file, file);
    QCOMPARE(FPrompts->Log, (QStringList{u"information: The files are identical."_s,
                                         u"information: Compared:\r\n2 lines (left file) vs 2 lines (right file).\r\n"
                                         "Equal lines: 2 of 2 (100.0%).\r\nDifferent lines: 0."_s}));
}

void TestMainWindow::emptyFilesLeaveOneEmptyRow()
{
    CompareAsText(WriteFile(u"left.txt"_s, kLeft), WriteFile(u"right.txt"_s, kRight));
    FPrompts->Log.clear();
    const QString empty = WriteFile(u"empty.txt"_s, QByteArray());
    CompareAsText(empty, empty);
    QCOMPARE(FWindow->Grid().RowCount(), 2);
    QCOMPARE(FWindow->Grid().CellText(1, 1), QString());
    QVERIFY(Child<QLabel>("lblStatus")->text().endsWith(u" No comparable lines."_s));
    QCOMPARE(FPrompts->Log, QStringList{u"information: The files are identical."_s});
}

void TestMainWindow::cancelOnTheConfirmationChangesNothing()
{
    const QString left = WriteFile(u"left.txt"_s, kLeft);
    CompareAsText(left, WriteFile(u"right.txt"_s, kRight));
    FWindow->Session().SetUnsavedChanges(true);
    const TDiffItems before = FWindow->Session().DiffItems();
    FPrompts->Log.clear();
    FPrompts->ConfirmAnswers = {false};

    const QString other = WriteFile(u"other.txt"_s, "x\n");
    CompareAsText(other, other);
    QCOMPARE(FPrompts->Log,
             QStringList{u"confirm: Load and compare the specified files?\r\nCurrent changes will be lost."_s});
    QCOMPARE(FWindow->Session().DiffItems(), before);
    QCOMPARE(Child<QComboBox>("cmbLeft")->count(), 1);
    QVERIFY(FWindow->Session().UnsavedChanges());
}

void TestMainWindow::foldersFromBothCommands()
{
    QDir(FDir.path()).mkpath(u"L/sub"_s);
    QDir(FDir.path()).mkpath(u"R/sub"_s);
    WriteFile(u"L/sub/report.txt"_s, "longer");
    WriteFile(u"R/sub/report.txt"_s, "short");
    WriteFile(u"R/extra.txt"_s, "x");
    const QString left = FDir.filePath(u"L"_s);
    const QString right = FDir.filePath(u"R"_s);
    QComboBox *leftBox = Child<QComboBox>("cmbLeft");
    QComboBox *rightBox = Child<QComboBox>("cmbRight");
    leftBox->addItems({u"/older"_s, left});
    leftBox->setCurrentText(left);
    rightBox->setCurrentText(right);

    // "As Folders" keeps a known path where it stands in the history.
    Trigger("miAsFolders1");
    QVERIFY(FPrompts->Log.isEmpty());
    QCOMPARE(Grid().RowCount(), 3);
    QCOMPARE(Grid().CellText(1, 1), QString());
    QCOMPARE(Grid().CellText(2, 1), u"extra.txt"_s);
    QVERIFY(Grid().CellText(1, 2).startsWith(u"sub/report.txt"_s));
    QCOMPARE(Child<QLabel>("lblStatus")->text(), u"Compared 1 files (left folder, including subfolders) vs 2 files "
                                                 "(right folder, including subfolders)."_s);
    QVERIFY(Child<QAction>("btnNextDiff")->isEnabled());
    for (const char *name : {"btnLeftToRight", "btnRightToLeft", "btnAllLeftDiffsToRight", "btnAllRightDiffsToLeft",
                             "btnSaveLeft", "btnSaveRight", "btnUndo"})
        QVERIFY2(!Child<QAction>(name)->isEnabled(), name);
    QCOMPARE(leftBox->itemText(1), left);
    QCOMPARE(rightBox->itemText(0), right);
    SavePicture(u"folders"_s);

    // "Load and Compare" moves it to the top.
    Trigger("btnCompare");
    QCOMPARE(leftBox->itemText(0), left);
    QCOMPARE(leftBox->count(), 2);
    QCOMPARE(leftBox->currentText(), left);

    // A folder and a file: refused, and neither history changes.
    const QString file = WriteFile(u"file.txt"_s, "x\n");
    rightBox->setCurrentText(file);
    Trigger("btnCompare");
    QCOMPARE(FPrompts->Log, QStringList{u"error: Both paths must be folders for folder comparison."_s});
    QCOMPARE(leftBox->count(), 2);
    QCOMPARE(rightBox->count(), 1);
}

void TestMainWindow::anUnreadableFileShowsTheErrorAndNoStaleRows()
{
    CompareAsText(WriteFile(u"left.txt"_s, kLeft), WriteFile(u"right.txt"_s, kRight));
    FPrompts->Log.clear();
    // Ill-formed UTF-8 after a byte-order mark cannot be decoded.
    CompareAsText(WriteFile(u"left.txt"_s, kLeft), WriteFile(u"bad.txt"_s, "\xEF\xBB\xBFok\n\xC0\xAF\n"));
    QCOMPARE(FPrompts->Log, QStringList{u"error: No mapping for the Unicode character exists in the target "
                                        "multi-byte code page"_s});
    QCOMPARE(FWindow->Grid().RowCount(), 2);
    QCOMPARE(FWindow->Grid().CellText(1, 1), QString());
}

void TestMainWindow::browsePutsTheChosenFileIntoThePathBox()
{
    const QString chosen = WriteFile(u"chosen.txt"_s, "x\n");
    FPrompts->OpenFileAnswers = {chosen, QString()};
    Child<QAction>("mmBrowseLeft")->trigger();
    QCOMPARE(Child<QComboBox>("cmbLeft")->currentText(), chosen);

    // With an empty box the dialog opens where the last file was chosen; Cancel changes nothing.
    Child<QComboBox>("cmbLeft")->setCurrentText(QString());
    Child<QAction>("mmBrowseLeft")->trigger();
    QCOMPARE(FPrompts->DialogStartPaths.last(), FDir.path());
    QCOMPARE(Child<QComboBox>("cmbLeft")->currentText(), QString());
    QCOMPARE(FPrompts->Log, (QStringList{u"open file: Set Left Text..."_s, u"open file: Set Left Text..."_s}));
}

// Collects the addresses the program asks the desktop to open.
class TUrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> Opened;

public Q_SLOTS:
    void Open(const QUrl &url) { Opened.append(url); }
};

void TestMainWindow::aboutBoxAndWebLinks()
{
    Trigger("btnInfo");
    QCOMPARE(FPrompts->Log.size(), 1);
    const QStringList about = FPrompts->Log.first().split(u"\r\n"_s);
    QCOMPARE(about.mid(0, 2), (QStringList{u"information: Lunavist"_s, u"Version: 2.4"_s}));
    QVERIFY(about.contains(u"Website: http://lunavist.example"_s));

    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler(u"http"_s, &recorder, "Open");
    Trigger("mmWebsite");
    Trigger("mmSupport");
    Trigger("mmTutorial");
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QCOMPARE(recorder.Opened, (QList<QUrl>{QUrl(u"http://lunavist.example/"_s), QUrl(u"http://lunavist.example/contact"_s),
                                           QUrl(u"http://lunavist.example/redirect/tutorial-lunavist.html"_s)}));

    // Ctrl+Z reaches the form-wide undo, which has nothing to undo yet.
    QTest::keyClick(FWindow, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(FPrompts->Beeps, 1);
}

void TestMainWindow::switchingTheLanguageRetranslatesTheWindow()
{
    delete FWindow;
    LoadTranslationsFrom(QStringLiteral(LUNAVIST_SOURCE_DIR) + u"/i18n"_s);
    FWindow = new TfrmMain(*FPrompts);
    FWindow->show();

    QMenu *languages = Child<QMenu>("mmLanguage");
    QCOMPARE(languages->actions().size(), 3);
    languages->actions().at(1)->trigger(); // Deutsch
    QCOMPARE(CurrentLanguageCode(), u"de"_s);
    QVERIFY(languages->actions().at(1)->isChecked());
    QVERIFY(!languages->actions().at(0)->isChecked());
    QCOMPARE(Child<QAction>("btnCompare")->toolTip(), u"Laden und vergleichen"_s);
    QCOMPARE(Child<QMenu>("File1")->title(), u"Datei"_s);
    SavePicture(u"3-german-start"_s);

    CompareAsText(WriteFile(u"left.txt"_s, kLeft), WriteFile(u"right.txt"_s, kRight));
    QVERIFY(Child<QLabel>("lblStatus")->text().startsWith(u"8 Zeilen (linke Datei)"_s));
    SavePicture(u"4-german-compared"_s);
    languages->actions().at(0)->trigger();
    QCOMPARE(Child<QAction>("btnCompare")->toolTip(), u"Load and Compare"_s);
}

void TestMainWindow::navigateMergeEditUndoAndSave()
{
    CompareAsText(WriteFile(u"left.txt"_s, "alpha\r\nbeta\r\ngamma\r\ndelta\r\nepsilon\r\nzeta\r\neta\r\ntheta\r\n"),
                  WriteFile(u"right.txt"_s,
                            "alpha\r\nBETA\r\ngamma\r\ndelta\r\nepsilon\r\nzeta 2\r\nzeta 3\r\neta\r\ntheta\r\n"));
    FPrompts->Log.clear();
    QTRY_VERIFY(Grid().CellRect(2, Grid().RowCount() - 1).bottom() < Grid().viewport()->height());

    // The second difference is the block 'zeta' against 'zeta 2', 'zeta 3'.
    Trigger("btnNextDiff");
    Trigger("btnNextDiff");
    QCOMPARE(Grid().CurrentGridRow(), 6);
    QCOMPARE(Grid().CellText(1, 6), u"zeta"_s);

    Trigger("btnLeftToRight");
    QVERIFY(Child<QAction>("btnUndo")->isEnabled());
    QTRY_COMPARE(Grid().RowCount(), 9); // the block is gone from the rows
    QCOMPARE(Grid().CellText(2, 6), u"zeta"_s);

    // Two edits typed into the cells; Ctrl+Z takes back the second.
    DoubleClickCell(2, 2);
    QVERIFY(Editor()->isVisible());
    QCOMPARE(Editor()->toPlainText(), u"BETA"_s);
    QTest::keyClicks(Editor(), u"Beta!"_s);
    QTest::keyClick(Editor(), Qt::Key_Return);
    QVERIFY(!Editor()->isVisible());
    QCOMPARE(Grid().CellText(2, 2), u"Beta!"_s);
    QVERIFY(Child<QLabel>("lblStatus")->text().startsWith(u"8 lines (left file) vs 8 lines (right file). "_s));

    DoubleClickCell(2, 4);
    QTest::keyClicks(Editor(), u"DELTA"_s);
    QTest::keyClick(Editor(), Qt::Key_Return);
    QCOMPARE(FWindow->Session().RightLines().at(3), u"DELTA"_s);
    QTest::keyClick(&Grid(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(FWindow->Session().RightLines().at(3), u"delta"_s);
    QTRY_VERIFY(!FWindow->Session().DiffRecomputeInProgress());
    QCOMPARE(Grid().CellText(2, 4), u"delta"_s);

    const QString saved = FDir.filePath(u"saved.txt"_s);
    FPrompts->SaveFileAnswers = {saved};
    Trigger("btnSaveRight");
    QCOMPARE(FPrompts->DialogStartPaths.last(), Child<QComboBox>("cmbRight")->currentText());
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("alpha\r\nBeta!\r\ngamma\r\ndelta\r\nepsilon\r\nzeta\r\neta\r\ntheta\r\n"));
    QVERIFY(Child<QLabel>("lblStatus")->text().startsWith(u"Right file saved as "_s));
    QVERIFY(!FWindow->Session().UnsavedChanges());
    QCOMPARE(FPrompts->Beeps, 0);
    QCOMPARE(FPrompts->Log, QStringList{u"save file: Save Right Text As..."_s});
}

void TestMainWindow::openingAnEdit_data()
{
    QTest::addColumn<QString>("how"); // "double-click", or a click on the cell then "F2" or "menu"
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("editedCol"); // 0: a beep and no editor
    QTest::addColumn<QString>("text");

    QTest::newRow("a double-click on the right text of a changed row edits the right line")
        << u"double-click"_s << 2 << 2 << 2 << u"beta GAMMA delta epsilon"_s;
    QTest::newRow("a double-click on the left text edits the left line")
        << u"double-click"_s << 1 << 4 << 1 << u"int x = 10; // a comment"_s;
    QTest::newRow("a double-click on the empty right cell of a left-only row beeps")
        << u"double-click"_s << 2 << 5 << 0 << QString();
    QTest::newRow("a double-click on the row number beeps") << u"double-click"_s << 0 << 2 << 0 << QString();
    QTest::newRow("F2 in the grid edits the current cell") << u"F2"_s << 2 << 8 << 2 << u"only right"_s;
    QTest::newRow("F2 on the empty left cell of a right-only row beeps") << u"F2"_s << 1 << 8 << 0 << QString();
    QTest::newRow("Edit Selected... edits the side last clicked in the selected row")
        << u"menu"_s << 1 << 2 << 1 << u"beta gamma delta"_s;
}

void TestMainWindow::openingAnEdit()
{
    QFETCH(QString, how);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(int, editedCol);
    QFETCH(QString, text);

    CompareSample();
    ClickCell(2, 1); // the grid's current column is the right one
    if (how == u"double-click"_s) {
        DoubleClickCell(col, row);
    } else {
        ClickCell(col, row);
        if (how == u"F2"_s)
            QTest::keyClick(&Grid(), Qt::Key_F2);
        else
            Trigger("mmEditSelected");
    }

    QCOMPARE(FPrompts->Beeps, editedCol == 0 ? 1 : 0);
    QCOMPARE(Editor()->isVisible(), editedCol != 0);
    if (editedCol == 0)
        return;
    QCOMPARE(FWindow->CellEditor().EditingCol(), editedCol);
    QCOMPARE(FWindow->CellEditor().EditingRow(), row);
    QCOMPARE(Editor()->toPlainText(), text);
    QVERIFY(Editor()->hasFocus());
    QCOMPARE(Editor()->textCursor().selectedText(), text);
    QCOMPARE(Editor()->geometry(), Grid().CellRect(editedCol, row).adjusted(2, 1, -2, -1));
    QCOMPARE(Editor()->font(), Grid().GridFont());
    if (QTest::currentDataTag() == QByteArray("a double-click on the right text of a changed row edits the right line"))
        SavePicture(u"5-editing"_s);
}

void TestMainWindow::endingAnEdit_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("stored");

    QTest::newRow("Enter stores the text") << u"enter"_s << true;
    QTest::newRow("Ctrl+Enter stores the text as well") << u"ctrl+enter"_s << true;
    QTest::newRow("Escape drops the text") << u"escape"_s << false;
    QTest::newRow("clicking another widget stores the text") << u"click elsewhere"_s << true;
    QTest::newRow("a command that changes lines stores the text first") << u"copy all"_s << true;
    QTest::newRow("opening an edit on another cell stores the first") << u"edit another"_s << true;
}

void TestMainWindow::endingAnEdit()
{
    QFETCH(QString, how);
    QFETCH(bool, stored);

    CompareSample();
    TComparisonSession &session = FWindow->Session();
    const QString before = session.RightLines().at(0);
    DoubleClickCell(2, 1);
    QTest::keyClicks(Editor(), u"typed"_s);

    QLineEdit *pathBox = Child<QComboBox>("cmbLeft")->lineEdit();
    if (how == u"enter"_s)
        QTest::keyClick(Editor(), Qt::Key_Enter);
    else if (how == u"ctrl+enter"_s)
        QTest::keyClick(Editor(), Qt::Key_Return, Qt::ControlModifier);
    else if (how == u"escape"_s)
        QTest::keyClick(Editor(), Qt::Key_Escape);
    else if (how == u"click elsewhere"_s)
        QTest::mouseClick(pathBox, Qt::LeftButton);
    else if (how == u"copy all"_s)
        Trigger("btnAllRightDiffsToLeft"); // a toolbar button takes no focus
    else if (how == u"edit another"_s)
        DoubleClickCell(1, 3);

    QCOMPARE(session.RightLines().at(0), stored ? u"typed"_s : before);
    QCOMPARE(session.UnsavedChanges(), stored);
    QCOMPARE(session.UndoStack().size(), how == u"copy all"_s ? 2 : stored ? 1 : 0);
    QCOMPARE(Grid().CellText(2, 1), stored ? u"typed"_s : before);
    QCOMPARE(FPrompts->Beeps, 0);
    if (how == u"edit another"_s) {
        QVERIFY(Editor()->isVisible());
        QCOMPARE(FWindow->CellEditor().EditingRow(), 3);
        QCOMPARE(Editor()->toPlainText(), u"same line"_s);
        return;
    }
    QVERIFY(!Editor()->isVisible());
    QCOMPARE(FWindow->CellEditor().EditingRow(), -1);
    // The focus goes back to the grid, unless the user put it elsewhere.
    QVERIFY(how == u"click elsewhere"_s ? pathBox->hasFocus() : Grid().hasFocus());
}

void TestMainWindow::theStoredLineKeepsWhatWasNotTyped()
{
    const QString left = WriteFile(u"left.txt"_s, "x\ny\n");
    const QString right = WriteFile(u"right.txt"_s, "a\xC2\xA0" "b\ttab\ny\n"); // a no-break space and a tab
    CompareAsText(left, right);
    FPrompts->Log.clear();
    QTRY_VERIFY(Grid().CellRect(2, 2).bottom() < Grid().viewport()->height());

    // Typing at the end changes nothing before it.
    DoubleClickCell(2, 1);
    QTest::keyClick(Editor(), Qt::Key_End);
    QTest::keyClicks(Editor(), u"!"_s);
    QTest::keyClick(Editor(), Qt::Key_Return);
    QCOMPARE(FWindow->Session().RightLines().at(0), u"a\u00A0b\ttab!"_s);

    // Pasted line breaks join the pieces without a separator.
    QGuiApplication::clipboard()->setText(u"one\r\ntwo\nthree"_s);
    DoubleClickCell(2, 2);
    QTest::keyClick(Editor(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(Editor(), Qt::Key_Return);
    QCOMPARE(FWindow->Session().RightLines().at(1), u"onetwothree"_s);
}

void TestMainWindow::theEditorFollowsItsLineWhenTheRowsChange()
{
    // Case-sensitive, right 'b' pairs with left 'a' in row 1; ignoring case
    // it is equal to left 'B' in row 2.
    CompareAsText(WriteFile(u"left.txt"_s, "a\nB\nc\n"), WriteFile(u"right.txt"_s, "b\nc\na\n"));
    FPrompts->Log.clear();
    QTRY_VERIFY(Grid().CellRect(2, 4).bottom() < Grid().viewport()->height());
    TComparisonSession &session = FWindow->Session();
    DoubleClickCell(2, 1);
    QCOMPARE(Editor()->toPlainText(), u"b"_s);
    QTest::keyClicks(Editor(), u"bee"_s);

    TDiffOptions options = session.Options();
    options.IgnoreCase = true;
    session.SetOptions(options);
    session.RecomputeDiffAsync();
    session.ApplyPendingRecompute();
    QCOMPARE(Grid().CellText(2, 2), u"b"_s);
    QVERIFY(Editor()->isVisible());
    QCOMPARE(FWindow->CellEditor().EditingRow(), 2);
    QCOMPARE(Editor()->geometry(), Grid().CellRect(2, 2).adjusted(2, 1, -2, -1));
    QTest::keyClick(Editor(), Qt::Key_Return);
    QCOMPARE(session.RightLines(), (QStringList{u"bee"_s, u"c"_s, u"a"_s}));
    QCOMPARE(Grid().CellText(2, 2), u"bee"_s);
    QCOMPARE(Grid().CurrentGridRow(), 2);

    // A new comparison drops an edit that is still open: its lines are gone.
    DoubleClickCell(2, 2);
    QTest::keyClicks(Editor(), u"lost"_s);
    session.SetUnsavedChanges(false);
    session.CompareTextFiles(FDir.filePath(u"left.txt"_s), FDir.filePath(u"right.txt"_s));
    QVERIFY(!Editor()->isVisible());
    QCOMPARE(session.RightLines(), (QStringList{u"b"_s, u"c"_s, u"a"_s}));
    QVERIFY(!session.UnsavedChanges());
    FPrompts->Log.clear();
}

void TestMainWindow::ctrlCCopiesTheDisplayedText_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("copied"); // null: the clipboard is left alone

    QTest::newRow("the right text of a changed row") << 2 << 2 << u"beta GAMMA delta epsilon"_s;
    QTest::newRow("the left text of a left-only row") << 1 << 5 << u"only left"_s;
    QTest::newRow("the empty side of a left-only row copies the empty text") << 2 << 5 << u""_s;
    QTest::newRow("the row number column copies nothing") << 0 << 2 << QString();
}

void TestMainWindow::ctrlCCopiesTheDisplayedText()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, copied);

    CompareSample();
    QGuiApplication::clipboard()->setText(u"before"_s);
    ClickCell(col, row);
    QTest::keyClick(&Grid(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), copied.isNull() ? u"before"_s : copied);
    QCOMPARE(FPrompts->Beeps, 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
