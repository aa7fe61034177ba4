// SPDX-License-Identifier: GPL-3.0-or-later
#include "uSettings.h"

#include "ColorSwatch.h"
#include "ColorValue.h"
#include "ComparisonSession.h"
#include "Prompts.h"
#include "SettingsOwners.h"
#include "TextFormat.h"
#include "translation.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

template<typename T>
T *NewControl(QWidget *parent, const QString &name)
{
    auto *control = new T(parent);
    control->setObjectName(name);
    return control;
}

// The width a push button needs for its text: the text and the frame's padding.
int ButtonWidth(const QPushButton *button, int designWidth)
{
    return std::max(designWidth, button->fontMetrics().horizontalAdvance(button->text()) + 16);
}

} // namespace

TfrmSettings::TfrmSettings(TPrompts &prompts, std::int32_t defaultGridFontSize, QWidget *parent)
    : QDialog(parent)
    , FPrompts(prompts)
    , FDefaultGridFontSize(defaultGridFontSize)
{
    setObjectName(u"frmSettings"_s);
    setModal(true);

    // Placed by ArrangeControls once their texts are known.
    GroupBox1 = NewControl<QGroupBox>(this, u"GroupBox1"_s);
    chkIgnoreCase = NewControl<QCheckBox>(GroupBox1, u"chkIgnoreCase"_s);
    chkIgnoreWhitespace = NewControl<QCheckBox>(GroupBox1, u"chkIgnoreWhitespace"_s);
    chkIgnoreWSAmount = NewControl<QCheckBox>(GroupBox1, u"chkIgnoreWSAmount"_s);
    chkIgnoreTrailingWS = NewControl<QCheckBox>(GroupBox1, u"chkIgnoreTrailingWS"_s);
    chkIgnoreLeadingWS = NewControl<QCheckBox>(GroupBox1, u"chkIgnoreLeadingWS"_s);
    chkIgnoreBlankLines = NewControl<QCheckBox>(GroupBox1, u"chkIgnoreBlankLines"_s);

    GroupBox2 = NewControl<QGroupBox>(this, u"GroupBox2"_s);
    chkShowLineNumbers = NewControl<QCheckBox>(GroupBox2, u"chkShowLineNumbers"_s);
    btnChangeFont = NewControl<QPushButton>(GroupBox2, u"btnChangeFont"_s);
    chkShowGridLines = NewControl<QCheckBox>(GroupBox2, u"chkShowGridLines"_s);
    Label2 = NewControl<QLabel>(GroupBox2, u"Label2"_s);
    btnColorAddedLines = NewControl<TColorSwatch>(GroupBox2, u"btnColorAddedLines"_s);
    Label3 = NewControl<QLabel>(GroupBox2, u"Label3"_s);
    btnColorRemovedLines = NewControl<TColorSwatch>(GroupBox2, u"btnColorRemovedLines"_s);
    Label4 = NewControl<QLabel>(GroupBox2, u"Label4"_s);
    btnColorChangedLines = NewControl<TColorSwatch>(GroupBox2, u"btnColorChangedLines"_s);
    Label5 = NewControl<QLabel>(GroupBox2, u"Label5"_s);
    Label5->setWordWrap(true);
    btnColorDifferentTextInLine = NewControl<TColorSwatch>(GroupBox2, u"btnColorDifferentTextInLine"_s);

    Button3 = NewControl<QPushButton>(this, u"Button3"_s);
    Button1 = NewControl<QPushButton>(this, u"Button1"_s);
    Button2 = NewControl<QPushButton>(this, u"Button2"_s);
    Button1->setDefault(true);

    connect(Button1, &QPushButton::clicked, this, &TfrmSettings::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmSettings::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmSettings::Button3Click);
    connect(btnChangeFont, &QPushButton::clicked, this, &TfrmSettings::btnChangeFontClick);
    for (TColorSwatch *swatch :
         {btnColorAddedLines, btnColorRemovedLines, btnColorChangedLines, btnColorDifferentTextInLine})
        connect(swatch, &TColorSwatch::mouseUp, this, [this, swatch] { btnColorAddedLinesMouseUp(swatch); });
}

void TfrmSettings::setVisible(bool visible)
{
    // Before the dialog is placed, so that it is centred at the size its
    // texts give it.
    if (visible && !isVisible())
        FormShow();
    QDialog::setVisible(visible);
}

void TfrmSettings::FormShow()
{
    FTag = 0;
    setWindowTitle(Translate(u"Settings"_s));
    GroupBox1->setTitle(Translate(u"Comparison"_s));
    GroupBox2->setTitle(Translate(u"Grid"_s));
    Button3->setText(Translate(u"Set Defaults"_s));
    Button1->setText(Translate(u"OK"_s));
    Button2->setText(Translate(u"Cancel"_s));
    btnChangeFont->setText(Translate(u"Change Font..."_s));
    chkIgnoreCase->setText(Translate(u"Ignore case"_s));
    // The blank belongs to the text: the catalogue is looked up exactly.
    chkIgnoreWhitespace->setText(Translate(u"Ignore all whitespaces "_s));
    chkIgnoreWSAmount->setText(Translate(u"Ignore changes in amount of white space in line"_s));
    chkIgnoreTrailingWS->setText(Translate(u"Ignore trailing white space"_s));
    chkIgnoreLeadingWS->setText(Translate(u"Ignore leading white space"_s));
    chkIgnoreBlankLines->setText(Translate(u"Ignore blank lines"_s));
    chkShowLineNumbers->setText(Translate(u"Show Line Numbers"_s));
    chkShowGridLines->setText(Translate(u"Show Grid Lines"_s));
    Label2->setText(Translate(u"Added Lines:"_s));
    Label3->setText(Translate(u"Removed Lines:"_s));
    Label4->setText(Translate(u"Changed Lines:"_s));
    Label5->setText(Translate(u"Different text (bkgr):"_s));
    // The swatches show no text; screen readers take the label's.
    btnColorAddedLines->setAccessibleName(Label2->text());
    btnColorRemovedLines->setAccessibleName(Label3->text());
    btnColorChangedLines->setAccessibleName(Label4->text());
    btnColorDifferentTextInLine->setAccessibleName(Label5->text());
    ArrangeControls();
}

void TfrmSettings::ArrangeControls()
{
    // The design's places and sizes, for texts that fit them; a longer text
    // (a wider font, a translation) widens its column and so the dialog.
    constexpr int margin = 8;
    constexpr int boxHeight = 22;
    const QList<QCheckBox *> options = {chkIgnoreCase,       chkIgnoreWhitespace, chkIgnoreWSAmount,
                                        chkIgnoreTrailingWS, chkIgnoreLeadingWS,  chkIgnoreBlankLines};
    int optionWidth = 287;
    for (const QCheckBox *box : options)
        optionWidth = std::max(optionWidth, box->sizeHint().width());
    for (int i = 0; i < options.size(); ++i)
        options[i]->setGeometry(10, 22 + 27 * int(i), optionWidth, boxHeight);
    GroupBox1->setGeometry(margin, margin, std::max(305, optionWidth + 18), 204);

    // Right group: the switches on top, then a column of labels beside a
    // column of swatches.
    const int fontButtonWidth = ButtonWidth(btnChangeFont, 110);
    const int lineNumbersWidth = std::max(140, chkShowLineNumbers->sizeHint().width());
    const int fontButtonLeft = 10 + lineNumbersWidth + 4;
    chkShowLineNumbers->setGeometry(10, 22, lineNumbersWidth, boxHeight);
    int labelWidth = 124;
    for (const QLabel *label : {Label2, Label3, Label4})
        labelWidth = std::max(labelWidth, label->sizeHint().width());
    const int group2Width = std::max({274, fontButtonLeft + fontButtonWidth + 10, 10 + labelWidth + 4 + 126 + 10,
                                      10 + chkShowGridLines->sizeHint().width() + 10});
    const int swatchLeft = group2Width - 10 - 126; // flush with the font button's right edge
    btnChangeFont->setGeometry(group2Width - 10 - fontButtonWidth, 20, fontButtonWidth, 25);
    chkShowGridLines->setGeometry(10, 49, group2Width - 20, boxHeight);
    const std::pair<QLabel *, TColorSwatch *> rows[] = {{Label2, btnColorAddedLines},
                                                        {Label3, btnColorRemovedLines},
                                                        {Label4, btnColorChangedLines}};
    for (int i = 0; i < 3; ++i) {
        rows[i].first->setGeometry(10, 84 + 28 * i, labelWidth, boxHeight);
        rows[i].second->move(swatchLeft, 84 + 28 * i);
    }
    // Two lines high, word-wrapped, its swatch beside the middle.
    Label5->setGeometry(10, 164, labelWidth, std::max(34, Label5->heightForWidth(labelWidth)));
    btnColorDifferentTextInLine->move(swatchLeft, 170);
    GroupBox2->setGeometry(GroupBox1->geometry().right() + 1 + 15, margin, group2Width, 203);

    const int width = GroupBox2->geometry().right() + 1 + margin;
    const int cancelWidth = ButtonWidth(Button2, 75);
    const int okWidth = ButtonWidth(Button1, 75);
    Button3->setGeometry(margin, 237, ButtonWidth(Button3, 195), 25);
    Button2->setGeometry(width - margin - cancelWidth, 237, cancelWidth, 25);
    Button1->setGeometry(Button2->x() - margin - okWidth, 237, okWidth, 25);
    setFixedSize(width, 270);
}

void TfrmSettings::Button1Click()
{
    FTag = 1;
    close();
}

void TfrmSettings::Button2Click()
{
    close();
}

void TfrmSettings::Button3Click()
{
    TSettingsRecord defaults;
    defaults.GridFontSize = FDefaultGridFontSize;
    FillFrom(defaults);
}

void TfrmSettings::btnChangeFontClick()
{
    QFont font = FFont;
    if (FPrompts.ChooseFont(font))
        FFont = font;
}

void TfrmSettings::btnColorAddedLinesMouseUp(TColorSwatch *swatch)
{
    QColor color = ColorFromValue(swatch->Color(), swatch->palette());
    if (FPrompts.ChooseColor(color))
        swatch->SetColor(ValueFromColor(color));
}

void TfrmSettings::FillFrom(const TSettingsRecord &record)
{
    chkIgnoreCase->setChecked(record.IgnoreCase);
    chkIgnoreWhitespace->setChecked(record.IgnoreWhitespace);
    chkIgnoreWSAmount->setChecked(record.IgnoreWSAmount);
    chkIgnoreLeadingWS->setChecked(record.IgnoreLeadingWS);
    chkIgnoreTrailingWS->setChecked(record.IgnoreTrailingWS);
    chkIgnoreBlankLines->setChecked(record.IgnoreBlankLines);
    chkShowLineNumbers->setChecked(record.ShowLineNumbers);
    chkShowGridLines->setChecked(record.ShowGridLines);
    FFontColor = record.GridFontColor;
    FFont.setPointSize(record.GridFontSize);
    FFont.setFamily(record.GridFontName);
    btnColorAddedLines->SetColor(record.ColorAddedLines);
    btnColorRemovedLines->SetColor(record.ColorRemovedLines);
    btnColorChangedLines->SetColor(record.ColorChangedLines);
    btnColorDifferentTextInLine->SetColor(record.ColorDifferentTextInLine);
}

void TfrmSettings::CopyTo(TSettingsRecord &record) const
{
    record.IgnoreCase = chkIgnoreCase->isChecked();
    record.IgnoreWhitespace = chkIgnoreWhitespace->isChecked();
    record.IgnoreWSAmount = chkIgnoreWSAmount->isChecked();
    record.IgnoreLeadingWS = chkIgnoreLeadingWS->isChecked();
    record.IgnoreTrailingWS = chkIgnoreTrailingWS->isChecked();
    record.IgnoreBlankLines = chkIgnoreBlankLines->isChecked();
    record.ShowLineNumbers = chkShowLineNumbers->isChecked();
    record.ShowGridLines = chkShowGridLines->isChecked();
    record.GridFontColor = FFontColor;
    record.GridFontSize = FontPointSize(FFont);
    record.GridFontName = FFont.family();
    record.ColorAddedLines = btnColorAddedLines->Color();
    record.ColorRemovedLines = btnColorRemovedLines->Color();
    record.ColorChangedLines = btnColorChangedLines->Color();
    record.ColorDifferentTextInLine = btnColorDifferentTextInLine->Color();
}

void RunSettingsDialog(TfrmSettings &dialog, const TSettingsOwners &owners,
                       const std::function<void()> &resizeColumns)
{
    TSettingsRecord record = CollectSettings(owners);
    dialog.FillFrom(record);
    dialog.exec();
    if (dialog.Tag() != 1)
        return;

    dialog.CopyTo(record);
    ApplySettings(record, sfIgnoreWhitespace, sfColorDifferentTextInLine, owners);
    if (resizeColumns)
        resizeColumns();

    TComparisonSession &session = owners.Session;
    if (session.FolderMode())
        return;
    session.RecomputeDiffAsync();
    // The statistics of the items shown now; the recomputed ones follow.
    session.ReportStatistics(FormatText(Translate(u"%d lines (left file) vs %d lines (right file)."_s),
                                        {QString::number(session.LeftLines().size()),
                                         QString::number(session.RightLines().size())}),
                             false);
}
