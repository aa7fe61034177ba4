// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog opened from the real main window, and the settings
// surviving a restart of the window.

#include "ColorSwatch.h"
#include "DiffGrid.h"
#include "GridLayout.h"
#include "MainForm.h"
#include "ScriptedPrompts.h"
#include "SettingsOwners.h"
#include "TranslationCatalogue.h"
#include "translation.h"
#include "uSettings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void theDialogShowsItsTextsInItsLayout();
    void cancelOrClosingAppliesNothing_data();
    void cancelOrClosingAppliesNothing();
    void okAppliesEverySettingAndRecomputes();
    void okInFolderModeAppliesTheViewWithoutRecomputing();
    void setDefaultsThenOkRestoresTheStartingValues();
    void aSwatchOpensTheColourDialogOnAnyButton();
    void aSwatchShowsSystemColoursInThePalettes_data();
    void aSwatchShowsSystemColoursInThePalettes();
    void textsFitTheirControlsInEveryLanguage();
    void settingsSurviveARestart();
    void aMaximizedWindowStartsMaximized();

private:
    void NewWindow();
    QString WriteFile(const QString &name, const QByteArray &bytes);
    void CompareAsText(const QString &left, const QString &right);
    /// Opens the dialog with the Settings button and runs `whileOpen` in it;
    /// the dialog must be closed when `whileOpen` returns.
    void OpenSettings(const std::function<void()> &whileOpen);
    TfrmSettings &Dialog() { return *FWindow->findChild<TfrmSettings *>(); }
    template<typename T>
    T *Control(const char *name)
    {
        auto *control = Dialog().findChild<T *>(QString::fromLatin1(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }
    void Click(const char *name) { QTest::mouseClick(Control<QPushButton>(name), Qt::LeftButton); }
    void Toggle(const char *name)
    {
        // On the box's indicator, where a click always lands.
        QCheckBox *box = Control<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    QLabel *StatusLine() { return FWindow->findChild<QLabel *>(u"lblStatus"_s); }
    QLabel *Caption() { return FWindow->findChild<QLabel *>(u"StaticText1"_s); }
    TDiffGrid &Grid() { return FWindow->Grid(); }
    TComparisonSession &Session() { return FWindow->Session(); }

    QTemporaryDir FDir;
    std::unique_ptr<QTemporaryDir> FAppData;
    std::unique_ptr<TScriptedPrompts> FPrompts;
    std::unique_ptr<TfrmMain> FWindow;
};

void TestSettingsDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true); // the language choice goes to a test store
    QVERIFY(FDir.isValid());
}

void TestSettingsDialog::init()
{
    SetCurrentLanguageIndex(0);
    FAppData = std::make_unique<QTemporaryDir>();
    qputenv("APPDATA", FAppData->path().toUtf8());
    FPrompts = std::make_unique<TScriptedPrompts>();
    NewWindow();
}

void TestSettingsDialog::cleanup()
{
    QTRY_VERIFY(!Session().DiffRecomputeInProgress());
    QCOMPARE(FPrompts->Unscripted, QStringList());
    FWindow.reset();
    FPrompts.reset();
}

void TestSettingsDialog::NewWindow()
{
    FWindow.reset();
    FWindow = std::make_unique<TfrmMain>(*FPrompts);
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
}

QString TestSettingsDialog::WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(FDir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a fixture");
    return file.fileName();
}

void TestSettingsDialog::CompareAsText(const QString &left, const QString &right)
{
    FWindow->findChild<QComboBox *>(u"cmbLeft"_s)->setCurrentText(left);
    FWindow->findChild<QComboBox *>(u"cmbRight"_s)->setCurrentText(right);
    FWindow->findChild<QAction *>(u"miAsTextFiles1"_s)->trigger();
    FPrompts->Log.clear();
}

void TestSettingsDialog::OpenSettings(const std::function<void()> &whileOpen)
{
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        ran = true;
        QVERIFY(Dialog().isVisible());
        whileOpen();
        if (Dialog().isVisible()) {
            Dialog().reject(); // never leave the test hanging in the dialog
            QFAIL("the dialog was left open");
        }
    });
    FWindow->findChild<QAction *>(u"btnSettings"_s)->trigger();
    QVERIFY(ran);
    QVERIFY(!Dialog().isVisible());
}

void TestSettingsDialog::theDialogShowsItsTextsInItsLayout()
{
    // With a font as narrow as the design's every text fits the design's sizes.
    QFont narrow(u"Liberation Sans"_s);
    narrow.setPixelSize(11);
    Dialog().setFont(narrow);
    OpenSettings([&] {
        QCOMPARE(Dialog().windowTitle(), u"Settings"_s);
        QCOMPARE(Dialog().size(), QSize(610, 270));
        QCOMPARE(Dialog().minimumSize(), Dialog().maximumSize()); // not resizable
        QCOMPARE(Control<QGroupBox>("GroupBox1")->title(), u"Comparison"_s);
        QCOMPARE(Control<QGroupBox>("GroupBox2")->title(), u"Grid"_s);
        // The six options top to bottom, 27 pixels apart.
        const std::pair<const char *, QString> options[] = {
            {"chkIgnoreCase", u"Ignore case"_s},
            {"chkIgnoreWhitespace", u"Ignore all whitespaces "_s},
            {"chkIgnoreWSAmount", u"Ignore changes in amount of white space in line"_s},
            {"chkIgnoreTrailingWS", u"Ignore trailing white space"_s},
            {"chkIgnoreLeadingWS", u"Ignore leading white space"_s},
            {"chkIgnoreBlankLines", u"Ignore blank lines"_s},
        };
        const int top = Control<QCheckBox>(options[0].first)->y();
        for (int i = 0; i < 6; ++i) {
            QCheckBox *box = Control<QCheckBox>(options[i].first);
            QCOMPARE(box->text(), options[i].second);
            QCOMPARE(box->y(), top + 27 * i);
        }
        const std::pair<const char *, QString> others[] = {
            {"chkShowLineNumbers", u"Show Line Numbers"_s}, {"chkShowGridLines", u"Show Grid Lines"_s},
            {"btnChangeFont", u"Change Font..."_s},         {"Button3", u"Set Defaults"_s},
            {"Button1", u"OK"_s},                           {"Button2", u"Cancel"_s},
            {"Label2", u"Added Lines:"_s},                  {"Label3", u"Removed Lines:"_s},
            {"Label4", u"Changed Lines:"_s},                {"Label5", u"Different text (bkgr):"_s},
        };
        for (const auto &[name, text] : others) {
            QWidget *control = Control<QWidget>(name);
            QCOMPARE(control->property("text").toString(), text);
        }
        QCOMPARE(Control<QGroupBox>("GroupBox1")->size(), QSize(305, 204));
        QCOMPARE(Control<QGroupBox>("GroupBox2")->size(), QSize(274, 203));
        QCOMPARE(Control<QPushButton>("Button3")->geometry(), QRect(8, 237, 195, 25));
        QCOMPARE(Control<QPushButton>("Button1")->size(), QSize(75, 25));
        QCOMPARE(Control<QPushButton>("Button2")->geometry(), QRect(527, 237, 75, 25));
        for (const char *name :
             {"btnColorAddedLines", "btnColorRemovedLines", "btnColorChangedLines", "btnColorDifferentTextInLine"}) {
            TColorSwatch *swatch = Control<TColorSwatch>(name);
            QCOMPARE(swatch->size(), QSize(126, 22));
            QCOMPARE(swatch->cursor().shape(), Qt::PointingHandCursor);
        }
        // A swatch shows its colour, a system colour in the palette's.
        const QImage added = Control<TColorSwatch>("btnColorAddedLines")->grab().toImage();
        QCOMPARE(added.pixelColor(0, 0), QColor(0xE0, 0xF0, 0xFF));
        QCOMPARE(added.pixelColor(125, 21), QColor(0xE0, 0xF0, 0xFF)); // no outline
        Click("Button2");
    });
}

void TestSettingsDialog::cancelOrClosingAppliesNothing_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel") << 0;
    QTest::newRow("closing by the window frame") << 1;
    QTest::newRow("the Escape key") << 2;
}

void TestSettingsDialog::cancelOrClosingAppliesNothing()
{
    QFETCH(int, how);
    CompareAsText(WriteFile(u"l.txt"_s, "A\nb\n"), WriteFile(u"r.txt"_s, "a\nb\n"));
    Session().SetOptions({true, false, false, false, false, false});
    Session().fColorAddedLines = 0x00112233;
    Grid().SetLineNumbersVisible(false);
    Caption()->hide();
    StatusLine()->setText(u"untouched"_s);
    const TDiffOptions options = Session().Options();
    const QFont font = Grid().GridFont();

    FPrompts->ColorAnswer = [](QColor &color) {
        color = QColor(1, 2, 3);
        return true;
    };
    FPrompts->FontAnswer = [](QFont &font) {
        font = QFont(u"DejaVu Serif"_s, 30);
        return true;
    };
    OpenSettings([&] {
        Click("Button3");
        QTest::mouseClick(Control<TColorSwatch>("btnColorAddedLines"), Qt::LeftButton);
        Click("btnChangeFont");
        Toggle("chkShowGridLines");
        if (how == 0)
            Click("Button2");
        else if (how == 1)
            Dialog().close();
        else
            QTest::keyClick(&Dialog(), Qt::Key_Escape);
    });
    QCOMPARE(Dialog().Tag(), 0);
    QCOMPARE(Session().Options(), options);
    QCOMPARE(Session().fColorAddedLines, 0x00112233u);
    QCOMPARE(Grid().ColumnWidth(0), 0);
    QVERIFY(Caption()->isHidden());
    QVERIFY(Grid().ShowGridLines());
    QCOMPARE(Grid().GridFont(), font);
    QCOMPARE(StatusLine()->text(), u"untouched"_s);
    QVERIFY(!Session().DiffRecomputeInProgress());

    // The next opening shows the window's values again, not the cancelled ones.
    OpenSettings([&] {
        QVERIFY(Control<QCheckBox>("chkIgnoreCase")->isChecked());
        QVERIFY(!Control<QCheckBox>("chkShowLineNumbers")->isChecked());
        QVERIFY(Control<QCheckBox>("chkShowGridLines")->isChecked());
        QCOMPARE(Control<TColorSwatch>("btnColorAddedLines")->Color(), 0x00112233u);
        QCOMPARE(Dialog().FontDialogFont().family(), font.family());
        QCOMPARE(Dialog().FontDialogFont().pointSize(), FontPointSize(font));
        Click("Button2");
    });
}

void TestSettingsDialog::okAppliesEverySettingAndRecomputes()
{
    CompareAsText(WriteFile(u"l.txt"_s, "Alpha\nbeta\n"), WriteFile(u"r.txt"_s, "alpha\nbeta\n"));
    const QString before = u"2 lines (left file) vs 2 lines (right file). Equal lines: 1 of 2 (50.0%). "
                           "Different lines: 1."_s;
    QCOMPARE(StatusLine()->text(), before);
    StatusLine()->setText(u"stale"_s);

    FPrompts->ColorAnswer = [](QColor &color) {
        color = QColor(0x20, 0x40, 0x60);
        return true;
    };
    FPrompts->FontAnswer = [](QFont &font) {
        font = QFont(u"DejaVu Serif"_s, 16, QFont::Bold, true);
        return true;
    };
    OpenSettings([&] {
        Toggle("chkIgnoreCase");
        Toggle("chkShowLineNumbers");
        Toggle("chkShowGridLines");
        QTest::mouseClick(Control<TColorSwatch>("btnColorRemovedLines"), Qt::LeftButton);
        Click("btnChangeFont");
        Click("Button1");
    });
    QCOMPARE(Dialog().Tag(), 1);
    QVERIFY(Session().Options().IgnoreCase);
    QCOMPARE(Session().fColorRemovedLines, 0x00604020u);
    QCOMPARE(Grid().ColumnWidth(0), 0);
    QVERIFY(Caption()->isHidden());
    QVERIFY(!Grid().ShowGridLines());
    QCOMPARE(Grid().ColumnWidth(1), Column1WidthAfterResize(Grid().width(), 0));
    // Face and size only: bold and italic from the font dialog do not reach the grid.
    QCOMPARE(Grid().GridFont().family(), u"DejaVu Serif"_s);
    QCOMPARE(Grid().GridFont().pointSize(), 16);
    QVERIFY(!Grid().GridFont().bold());
    QVERIFY(!Grid().GridFont().italic());
    // At once the statistics of the rows shown, then those of the new options.
    QCOMPARE(StatusLine()->text(), before);
    QTRY_COMPARE(StatusLine()->text(), u"2 lines (left file) vs 2 lines (right file). Equal lines: 2 of 2 (100.0%). "
                                       "Different lines: 0."_s);

    // Line numbers back on: 120 pixels and the caption, whatever the width was.
    Grid().SetColumnWidth(0, 0);
    OpenSettings([&] {
        Toggle("chkShowLineNumbers");
        Click("Button1");
    });
    QCOMPARE(Grid().ColumnWidth(0), kLineNumberColumnWidth);
    QVERIFY(Caption()->isVisible());
    QTRY_VERIFY(!Session().DiffRecomputeInProgress());
    // The font dialog's other attributes carry over to the next opening.
    QVERIFY(Dialog().FontDialogFont().bold());
}

void TestSettingsDialog::okInFolderModeAppliesTheViewWithoutRecomputing()
{
    QDir(FDir.path()).mkpath(u"L"_s);
    QDir(FDir.path()).mkpath(u"R"_s);
    WriteFile(u"L/a.txt"_s, "one");
    WriteFile(u"R/a.txt"_s, "three");
    FWindow->findChild<QComboBox *>(u"cmbLeft"_s)->setCurrentText(FDir.filePath(u"L"_s));
    FWindow->findChild<QComboBox *>(u"cmbRight"_s)->setCurrentText(FDir.filePath(u"R"_s));
    FWindow->findChild<QAction *>(u"miAsFolders1"_s)->trigger();
    QVERIFY(Session().FolderMode());
    const QString status = StatusLine()->text();
    const TDiffItems items = Session().DiffItems();

    OpenSettings([&] {
        Toggle("chkIgnoreBlankLines");
        Toggle("chkShowLineNumbers");
        Click("Button1");
    });
    QVERIFY(Session().Options().IgnoreBlankLines);
    QCOMPARE(Grid().ColumnWidth(0), 0);
    QVERIFY(!Session().DiffRecomputeInProgress());
    QVERIFY(Session().FolderMode());
    QCOMPARE(Session().DiffItems(), items);
    QCOMPARE(StatusLine()->text(), status);
    QVERIFY(Grid().CellText(1, 1).startsWith(u"a.txt"_s));
}

void TestSettingsDialog::setDefaultsThenOkRestoresTheStartingValues()
{
    Session().SetOptions({true, true, true, true, true, true});
    Session().fColorAddedLines = 1;
    Session().fColorRemovedLines = 2;
    Session().fColorChangedLines = 3;
    Session().fColorDifferentTextInLine = 4;
    Grid().SetLineNumbersVisible(false);
    Caption()->hide();
    Grid().SetShowGridLines(false);
    Grid().SetGridFont(QFont(u"DejaVu Serif"_s, 25));

    OpenSettings([&] {
        Click("Button3");
        Click("Button1");
    });
    QCOMPARE(Session().Options(), TDiffOptions());
    QCOMPARE(Session().fColorAddedLines, 0x00FFF0E0u);
    QCOMPARE(Session().fColorRemovedLines, 0x00E0F0FFu);
    QCOMPARE(Session().fColorChangedLines, 0x00E0E0FFu);
    QCOMPARE(Session().fColorDifferentTextInLine, 0x0000FFFFu);
    QCOMPARE(Grid().ColumnWidth(0), kLineNumberColumnWidth);
    QVERIFY(Caption()->isVisible());
    QVERIFY(Grid().ShowGridLines());
    QCOMPARE(Grid().GridFont().family(), u"Courier New"_s);
    // The size the grid font had when the window was made, in points.
    QCOMPARE(Grid().GridFont().pointSize(), FontPointSize(TDiffGrid::DesignFont()));
}

void TestSettingsDialog::aSwatchOpensTheColourDialogOnAnyButton()
{
    QList<QColor> presets;
    QColor answer;
    FPrompts->ColorAnswer = [&](QColor &color) {
        presets.append(color);
        if (!answer.isValid())
            return false; // Cancel
        color = answer;
        return true;
    };
    OpenSettings([&] {
        TColorSwatch *swatch = Control<TColorSwatch>("btnColorChangedLines");
        answer = QColor(0x11, 0x22, 0x33);
        QTest::mouseClick(swatch, Qt::RightButton);
        QCOMPARE(swatch->Color(), 0x00332211u);
        answer = QColor(0x44, 0x55, 0x66);
        QTest::mouseClick(swatch, Qt::MiddleButton);
        QCOMPARE(swatch->Color(), 0x00665544u);
        answer = QColor();
        QTest::mouseClick(swatch, Qt::LeftButton);
        QCOMPARE(swatch->Color(), 0x00665544u);
        Click("Button2");
    });
    // Each time preset with the swatch's colour of that moment.
    QCOMPARE(presets, (QList<QColor>{QColor(0xFF, 0xE0, 0xE0), QColor(0x11, 0x22, 0x33), QColor(0x44, 0x55, 0x66)}));
}

void TestSettingsDialog::aSwatchShowsSystemColoursInThePalettes_data()
{
    QTest::addColumn<uint>("value");
    QTest::addColumn<QColor>("shown");
    QTest::newRow("window text is the palette's text colour") << 0xFF000008u << QColor(1, 2, 3);
    QTest::newRow("the tool tip background is the palette's") << 0xFF000018u << QColor(4, 5, 6);
    QTest::newRow("an RGB value stands for itself, red in the low byte") << 0x00332211u << QColor(0x11, 0x22, 0x33);
    QTest::newRow("an index no system defines is black") << 0xFF0000FFu << QColor(Qt::black);
}

void TestSettingsDialog::aSwatchShowsSystemColoursInThePalettes()
{
    QFETCH(uint, value);
    QFETCH(QColor, shown);
    TColorSwatch swatch;
    QPalette palette = swatch.palette();
    palette.setColor(QPalette::Text, QColor(1, 2, 3));
    palette.setColor(QPalette::ToolTipBase, QColor(4, 5, 6));
    swatch.setPalette(palette);
    swatch.SetColor(value);
    QCOMPARE(swatch.grab().toImage().pixelColor(60, 10), shown);
    QCOMPARE(swatch.Color(), value); // the value itself stays as it was
}

void TestSettingsDialog::textsFitTheirControlsInEveryLanguage()
{
    LoadTranslationsFrom(QStringLiteral(LUNAVIST_SOURCE_DIR) + u"/i18n"_s);
    const TTranslationCatalogue &catalogue = TranslationCatalogue();
    QVERIFY(catalogue.LanguageCount() >= 2);
    for (int language = 0; language < catalogue.LanguageCount(); ++language) {
        SetCurrentLanguageIndex(language);
        const QString code = catalogue.Code(language);
        QStringList misfits;
        OpenSettings([&] {
            const QString folder = qEnvironmentVariable("LUNAVIST_PICTURES");
            if (!folder.isEmpty()) {
                QDir().mkpath(folder);
                Dialog().grab().save(QDir(folder).filePath(u"settings-"_s + code + u".png"_s));
            }
            for (const QCheckBox *box : Dialog().findChildren<QCheckBox *>())
                if (box->sizeHint().width() > box->width())
                    misfits.append(box->text());
            // A push button's text with room for the frame on both sides.
            for (const QPushButton *button : Dialog().findChildren<QPushButton *>())
                if (button->fontMetrics().horizontalAdvance(button->text()) + 12 > button->width())
                    misfits.append(button->text());
            for (QLabel *label : Dialog().findChildren<QLabel *>()) {
                const bool fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                                    : label->sizeHint().width() <= label->width();
                if (!fits)
                    misfits.append(label->text());
            }
            for (QGroupBox *group : Dialog().findChildren<QGroupBox *>())
                if (group->minimumSizeHint().width() > group->width())
                    misfits.append(group->title());
            // Centred over the window at the size its texts gave it.
            const QPoint offset = Dialog().frameGeometry().center() - FWindow->frameGeometry().center();
            QVERIFY2(offset.manhattanLength() <= 2, qPrintable(code));
            Click("Button2");
        });
        QVERIFY2(misfits.isEmpty(), qPrintable(code + u": "_s + misfits.join(u" | "_s)));
    }
    SetCurrentLanguageIndex(0);
}

void TestSettingsDialog::settingsSurviveARestart()
{
    const QString settingsFile = FAppData->filePath(u"Lunavist/settings.dt"_s);
    QVERIFY(!QFileInfo::exists(settingsFile));

    FPrompts->ColorAnswer = [](QColor &color) {
        color = QColor(0x0C, 0x0B, 0x0A);
        return true;
    };
    FPrompts->FontAnswer = [](QFont &font) {
        font = QFont(u"DejaVu Serif"_s, 13);
        return true;
    };
    OpenSettings([&] {
        Toggle("chkIgnoreWhitespace");
        Toggle("chkShowGridLines");
        QTest::mouseClick(Control<TColorSwatch>("btnColorChangedLines"), Qt::LeftButton);
        Click("btnChangeFont");
        Click("Button1");
    });
    QVERIFY(!QFileInfo::exists(settingsFile)); // the dialog writes nothing

    QDir(FDir.path()).mkpath(u"first"_s);
    const QString left1 = WriteFile(u"first/l1.txt"_s, "a\n");
    const QString right1 = WriteFile(u"r1.txt"_s, "b\n");
    const QString left2 = WriteFile(u"l2.txt"_s, "c\n");
    const QString right2 = WriteFile(u"r2.txt"_s, "d\n");
    FPrompts->OpenFileAnswers = {left1};
    FWindow->findChild<QAction *>(u"mmBrowseLeft"_s)->trigger();
    CompareAsText(left1, right1);
    QVERIFY(QFileInfo::exists(settingsFile)); // written after the comparison
    CompareAsText(left2, right2);
    QTRY_VERIFY(!Session().DiffRecomputeInProgress());
    FWindow->move(40, 50);
    FWindow->resize(1000, 700);
    const QPoint position = FWindow->pos();

    NewWindow();
    QCOMPARE(Session().Options(), (TDiffOptions{false, true, false, false, false, false}));
    QVERIFY(!Grid().ShowGridLines());
    QCOMPARE(Grid().ColumnWidth(0), kLineNumberColumnWidth);
    QCOMPARE(Session().fColorChangedLines, 0x000A0B0Cu);
    QCOMPARE(Grid().GridFont().family(), u"DejaVu Serif"_s);
    QCOMPARE(Grid().GridFont().pointSize(), 13);
    QComboBox *leftBox = FWindow->findChild<QComboBox *>(u"cmbLeft"_s);
    QComboBox *rightBox = FWindow->findChild<QComboBox *>(u"cmbRight"_s);
    QCOMPARE(leftBox->count(), 2);
    QCOMPARE(leftBox->itemText(0), left2);
    QCOMPARE(leftBox->itemText(1), left1);
    QCOMPARE(rightBox->count(), 2);
    QCOMPARE(rightBox->itemText(0), right2);
    QCOMPARE(rightBox->itemText(1), right1);
    QCOMPARE(leftBox->currentText(), QString()); // the edit text is not kept
    QCOMPARE(FWindow->pos(), position);
    QCOMPARE(FWindow->size(), QSize(1000, 700));
    // The left open dialog starts where the last file was picked.
    FPrompts->OpenFileAnswers = {QString()};
    FWindow->findChild<QAction *>(u"mmBrowseLeft"_s)->trigger();
    QCOMPARE(FPrompts->DialogStartPaths.last(), QFileInfo(left1).absolutePath());
    FPrompts->Unscripted.clear(); // the cancelled browse above
}

void TestSettingsDialog::aMaximizedWindowStartsMaximized()
{
    FWindow->showMaximized();
    QTRY_VERIFY(FWindow->isMaximized());
    NewWindow();
    QVERIFY(FWindow->isMaximized());
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
