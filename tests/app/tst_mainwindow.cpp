// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven through its real widgets, as a user would.

#include "DiffGrid.h"
#include "MainForm.h"
#include "ScriptedPrompts.h"
#include "TranslationCatalogue.h"
#include "translation.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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
    void commandsOfLaterModesBeep();
    void anUnreadableFileShowsTheErrorAndNoStaleRows();
    void browsePutsTheChosenFileIntoThePathBox();
    void aboutBoxAndWebLinks();
    void switchingTheLanguageRetranslatesTheWindow();

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
    void SavePicture(const QString &name);

    QTemporaryDir FDir;
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
    FPrompts = new TScriptedPrompts;
    FWindow = new TfrmMain(*FPrompts);
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow));
}

void TestMainWindow::cleanup()
{
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

void TestMainWindow::commandsOfLaterModesBeep()
{
    Trigger("miAsFolders1");
    Trigger("mmAsComplexDocumentsegPDFDOCXetcwithTIKA1");
    QCOMPARE(FPrompts->Beeps, 2);
    QVERIFY(FPrompts->Log.isEmpty());
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

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
