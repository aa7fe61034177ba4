// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SettingsRecord.h"

#include <QDialog>
#include <QFont>

#include <cstdint>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TColorSwatch;
class TPrompts;
struct TSettingsOwners;

/// The settings dialog: the six comparison options, line numbers, grid
/// lines, the grid font and the four row colours. It edits only its own
/// controls; the caller fills it, shows it and applies the result when
/// Tag() is 1 (see RunSettingsDialog). Created once and reused.
class TfrmSettings final : public QDialog
{
    Q_OBJECT

public:
    /// `defaultGridFontSize`: the grid font's size in points when the main
    /// window was created, which "Set Defaults" restores.
    TfrmSettings(TPrompts &prompts, std::int32_t defaultGridFontSize, QWidget *parent = nullptr);

    /// Sets every control the dialog edits from `record`: the six options,
    /// the two switches, the font object's colour, size and face, and the
    /// four swatches. The font object's other attributes stay.
    void FillFrom(const TSettingsRecord &record);
    /// Writes the same fields into `record`, from the controls.
    void CopyTo(TSettingsRecord &record) const;

    /// The confirmation flag: 0 from each showing, 1 once OK was pressed.
    int Tag() const { return FTag; }
    /// The font object the font dialog edits: face, size in points, and
    /// attributes that carry over from one opening to the next.
    const QFont &FontDialogFont() const { return FFont; }
    std::uint32_t FontDialogColor() const { return FFontColor; }

    void setVisible(bool visible) override;

private:
    void FormShow();
    /// Places the controls for their present texts.
    void ArrangeControls();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void btnChangeFontClick();
    void btnColorAddedLinesMouseUp(TColorSwatch *swatch);

    TPrompts &FPrompts;
    const std::int32_t FDefaultGridFontSize;
    int FTag = 0;
    QFont FFont;
    std::uint32_t FFontColor = 0;

    QGroupBox *GroupBox1;
    QGroupBox *GroupBox2;
    QCheckBox *chkIgnoreCase;
    QCheckBox *chkIgnoreWhitespace;
    QCheckBox *chkIgnoreWSAmount;
    QCheckBox *chkIgnoreTrailingWS;
    QCheckBox *chkIgnoreLeadingWS;
    QCheckBox *chkIgnoreBlankLines;
    QCheckBox *chkShowLineNumbers;
    QCheckBox *chkShowGridLines;
    QPushButton *btnChangeFont;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    TColorSwatch *btnColorAddedLines;
    TColorSwatch *btnColorRemovedLines;
    TColorSwatch *btnColorChangedLines;
    TColorSwatch *btnColorDifferentTextInLine;
    QPushButton *Button3;
    QPushButton *Button1;
    QPushButton *Button2;
};

/// The Settings command: fills `dialog` from the owners, shows it modally
/// and, only after OK, applies the options, the colours, the line-number
/// column, the grid lines and the font's colour, size and face (nothing
/// else of the font), then runs `resizeColumns`. Outside folder mode it then
/// recomputes the comparison in the background and writes the statistics
/// of the present items to the status line. Writes no file.
void RunSettingsDialog(TfrmSettings &dialog, const TSettingsOwners &owners,
                       const std::function<void()> &resizeColumns);
