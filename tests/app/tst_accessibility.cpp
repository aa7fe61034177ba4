// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as assistive technology and the keyboard reach it.

#include "DiffGrid.h"
#include "MainForm.h"
#include "ScriptedPrompts.h"
#include "translation.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

class TestAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void everyControlHasAName_data();
    void everyControlHasAName();
    void theGridReadsRowByRow_data();
    void theGridReadsRowByRow();
    void everyToolbarCommandIsInTheMenus();
    void theKeyboardWalksTheMenusAndThePathRow();

private:
    void OpenWindow(int languageIndex);
    QString Name(QObject *object) const;
    template<typename T>
    T *Child(const QString &name)
    {
        auto *child = FWindow->findChild<T *>(name);
        if (!child)
            qFatal("no child %s", qPrintable(name));
        return child;
    }

    QTemporaryDir FDir;
    std::unique_ptr<TScriptedPrompts> FPrompts;
    std::unique_ptr<TfrmMain> FWindow;
};

void TestAccessibility::initTestCase()
{
    QVERIFY(FDir.isValid());
    qputenv("APPDATA", FDir.filePath(u"appdata"_s).toLocal8Bit()); // the window's settings file
    QStandardPaths::setTestModeEnabled(true);
    LoadTranslationsFrom(QStringLiteral(LUNAVIST_SOURCE_DIR) + u"/i18n"_s);
}

void TestAccessibility::cleanup()
{
    if (FWindow)
        QTRY_VERIFY(!FWindow->Session().DiffRecomputeInProgress());
    FWindow.reset();
    FPrompts.reset();
    SetCurrentLanguageIndex(0);
}

void TestAccessibility::OpenWindow(int languageIndex)
{
    SetCurrentLanguageIndex(languageIndex);
    FPrompts = std::make_unique<TScriptedPrompts>();
    FWindow = std::make_unique<TfrmMain>(*FPrompts);
    FWindow->show();
    FWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
}

QString TestAccessibility::Name(QObject *object) const
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

void TestAccessibility::everyControlHasAName_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("leftPath");
    QTest::addColumn<QString>("rightPath");
    QTest::addColumn<QString>("compare"); // the first toolbar button

    QTest::newRow("in English") << 0 << u"Left path"_s << u"Right path"_s << u"Load and Compare"_s;
    QTest::newRow("in German") << 1 << u"Linker Pfad"_s << u"Rechter Pfad"_s << u"Laden und vergleichen"_s;
}

void TestAccessibility::everyControlHasAName()
{
    QFETCH(int, language);
    QFETCH(QString, leftPath);
    QFETCH(QString, rightPath);
    QFETCH(QString, compare);
    OpenWindow(language);

    QCOMPARE(Name(Child<QComboBox>(u"cmbLeft"_s)), leftPath);
    QCOMPARE(Name(Child<QComboBox>(u"cmbRight"_s)), rightPath);
    // Every toolbar button says its hint, dots included.
    auto *toolbar = Child<QToolBar>(u"Toolbar"_s);
    QCOMPARE(Name(toolbar->widgetForAction(Child<QAction>(u"btnCompare"_s))), compare);
    for (QToolButton *button : toolbar->findChildren<QToolButton *>()) {
        if (button->defaultAction())
            QCOMPARE(Name(button), button->defaultAction()->toolTip());
    }
    QCOMPARE(Name(Child<QToolButton>(u"btnBrowseLeft"_s)), Translate(u"Set Left Text..."_s));

    // Whatever the keyboard or a pointer can operate, or an edit opens, is named.
    FWindow->Session().SetUnsavedChanges(false);
    QStringList unnamed;
    for (QWidget *widget : FWindow->findChildren<QWidget *>()) {
        const bool control = widget->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton *>(widget);
        if (control && widget->isVisible() && Name(widget).isEmpty())
            unnamed.append(u"%1 %2"_s.arg(QString::fromLatin1(widget->metaObject()->className()),
                                          widget->objectName()));
    }
    QCOMPARE(unnamed, QStringList());
}

void TestAccessibility::theGridReadsRowByRow_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<QString>("rightEditor"); // the in-cell editor over a right text

    QTest::newRow("in English") << 0
                                << QStringList{u"Same on both sides"_s, u"Changed"_s, u"Only on the left"_s,
                                               u"Only on the right"_s}
                                << u"Right line"_s;
    QTest::newRow("in German") << 1
                               << QStringList{u"Auf beiden Seiten gleich"_s, u"Geändert"_s, u"Nur links"_s,
                                              u"Nur rechts"_s}
                               << u"Rechte Zeile"_s;
}

void TestAccessibility::theGridReadsRowByRow()
{
    QFETCH(int, language);
    QFETCH(QStringList, kinds);
    QFETCH(QString, rightEditor);
    OpenWindow(language);

    // Before any comparison the one empty row says nothing. (Asked of the
    // model: without a screen reader attached the table's cell interfaces
    // are not told of new rows, so none is made before the comparison.)
    const QModelIndex empty = FWindow->Grid().model()->index(0, 1);
    QCOMPARE(empty.data(Qt::DisplayRole).toString(), QString());
    QVERIFY(!empty.data(Qt::AccessibleDescriptionRole).isValid());

    const auto write = [this](const QString &name, const QByteArray &bytes) {
        QFile file(FDir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write a fixture");
        return file.fileName();
    };
    Child<QComboBox>(u"cmbLeft"_s)->setCurrentText(write(u"left.txt"_s, "same\nold line\nleft only\nend\n"));
    Child<QComboBox>(u"cmbRight"_s)->setCurrentText(write(u"right.txt"_s, "same\nnew line\nend\nright only\n"));
    Child<QAction>(u"miAsTextFiles1"_s)->trigger();
    FPrompts->Log.clear();

    const QStringList rows = {u"1|same|same"_s, u"2|old line|new line"_s, u"3|left only|"_s, u"4|end|end"_s,
                              u"5||right only"_s};
    const QList<int> rowKinds = {0, 1, 2, 0, 3};
    QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(&FWindow->Grid());
    QVERIFY(grid && grid->tableInterface());
    QAccessibleTableInterface *table = grid->tableInterface();
    QCOMPARE(table->rowCount(), rows.size());
    QCOMPARE(table->columnCount(), 3);
    for (int row = 0; row < rows.size(); ++row) {
        QStringList read;
        for (int column = 0; column < 3; ++column) {
            QAccessibleInterface *cell = table->cellAt(row, column);
            read.append(cell->text(QAccessible::Name));
            QCOMPARE(cell->text(QAccessible::Description), kinds[rowKinds[row]]);
        }
        QCOMPARE(read.join(u'|'), rows[row]);
    }
    QCOMPARE(grid->text(QAccessible::Name), language == 0 ? u"Comparison"_s : u"Vergleich"_s);

    // F2 on a right text opens the editor, which says whose line it holds.
    QTest::mouseClick(FWindow->Grid().viewport(), Qt::LeftButton, {}, FWindow->Grid().CellRect(2, 2).center());
    QTest::keyClick(&FWindow->Grid(), Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    QCOMPARE(editor->objectName(), u"FCellEditor"_s);
    QCOMPARE(Name(editor), rightEditor);
    QTest::keyClick(editor, Qt::Key_Escape);
}

void TestAccessibility::everyToolbarCommandIsInTheMenus()
{
    OpenWindow(0);
    QList<QAction *> inMenus;
    QList<QMenu *> menus;
    for (QAction *top : FWindow->menuBar()->actions())
        if (top->menu())
            menus.append(top->menu());
    while (!menus.isEmpty()) {
        QMenu *menu = menus.takeFirst();
        for (QAction *action : menu->actions()) {
            inMenus.append(action);
            if (action->menu())
                menus.append(action->menu());
        }
    }
    // "Load and Compare" is the Compare menu's "Automatically"; the drop-down
    // button's items are the Compare menu's too.
    QVERIFY(inMenus.contains(Child<QAction>(u"mmAutomatically1"_s)));
    for (QAction *action : Child<QToolBar>(u"Toolbar"_s)->actions()) {
        if (action->isSeparator() || action->objectName().isEmpty() || action->objectName() == u"btnCompare"_s)
            continue;
        QVERIFY2(inMenus.contains(action), qPrintable(action->objectName()));
    }
    for (QAction *item : Child<QMenu>(u"PopupMenu1"_s)->actions()) {
        if (item->isSeparator())
            continue;
        const QString inMenu = u"mm"_s + item->objectName().mid(2);
        QVERIFY2(inMenus.contains(Child<QAction>(inMenu)), qPrintable(inMenu));
    }
}

void TestAccessibility::theKeyboardWalksTheMenusAndThePathRow()
{
    OpenWindow(0);

    // F10 opens the first menu; Right goes on to "Compare", whose first item
    // is "Automatically": with empty path boxes it asks for both paths.
    QTest::keyClick(FWindow.get(), Qt::Key_F10);
    QTRY_COMPARE(QApplication::activePopupWidget(), Child<QMenu>(u"File1"_s));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
    QTRY_COMPARE(QApplication::activePopupWidget(), Child<QMenu>(u"Compare1"_s));
    QCOMPARE(Child<QMenu>(u"Compare1"_s)->activeAction(), Child<QAction>(u"mmAutomatically1"_s));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
    QTRY_COMPARE(FPrompts->Log, QStringList{u"warning: Please select both left and right files or folders."_s});
    FPrompts->Log.clear();

    // Tab walks the path row from left to right and into the grid.
    Child<QComboBox>(u"cmbLeft"_s)->setFocus();
    QStringList visited;
    for (int step = 0; step < 5; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        visited.append(qobject_cast<QComboBox *>(focus->parentWidget()) ? focus->parentWidget()->objectName()
                                                                       : focus->objectName());
    }
    QCOMPARE(visited,
             (QStringList{u"btnBrowseLeft"_s, u"cmbRight"_s, u"btnBrowseRight"_s, u"grdDiff"_s, u"cmbLeft"_s}));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
