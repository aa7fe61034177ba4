// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsOwners.h"

#include "ComparisonSession.h"
#include "DiffGrid.h"
#include "GridLayout.h"
#include "SettingsFile.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QScreen>

namespace {

QStringList Items(const QComboBox &box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items.append(box.itemText(i));
    return items;
}

void SetItems(QComboBox &box, const QStringList &items)
{
    const QString text = box.currentText();
    box.clear();
    box.addItems(items);
    box.setCurrentText(text);
}

// round(screen / 2) - round(window / 2) on each axis, halves to even.
void CentreOnScreen(QWidget &window)
{
    const QScreen *screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QRect frame = window.frameGeometry();
    window.move(area.x() + HalveRoundingToEven(area.width()) - HalveRoundingToEven(frame.width()),
                area.y() + HalveRoundingToEven(area.height()) - HalveRoundingToEven(frame.height()));
}

} // namespace

std::int32_t FontPointSize(const QFont &font)
{
    if (font.pointSize() > 0)
        return font.pointSize();
    return qRound(QFontInfo(font).pointSizeF());
}

TSettingsRecord CollectSettings(const TSettingsOwners &owners)
{
    const TComparisonSession &session = owners.Session;
    const TDiffGrid &grid = owners.Grid;
    const TDiffOptions options = session.Options();
    TSettingsRecord record;
    record.LeftDialogFolder = owners.LeftDialogFolder;
    record.RightDialogFolder = owners.RightDialogFolder;
    record.IgnoreWhitespace = options.IgnoreAllWhiteSpace;
    record.IgnoreWSAmount = options.IgnoreWsAmount;
    record.IgnoreLeadingWS = options.IgnoreLeadingWhiteSpace;
    record.IgnoreTrailingWS = options.IgnoreTrailingWhiteSpace;
    record.IgnoreBlankLines = options.IgnoreBlankLines;
    record.IgnoreCase = options.IgnoreCase;
    record.ShowLineNumbers = grid.ColumnWidth(0) > 0;
    record.ShowGridLines = grid.ShowGridLines();
    record.GridFontColor = owners.GridFontColor;
    record.GridFontSize = FontPointSize(grid.GridFont());
    record.GridFontName = grid.GridFont().family();
    record.ColorAddedLines = session.fColorAddedLines;
    record.ColorRemovedLines = session.fColorRemovedLines;
    record.ColorChangedLines = session.fColorChangedLines;
    record.ColorDifferentTextInLine = session.fColorDifferentTextInLine;
    record.LeftHistory = Items(owners.LeftPathBox);
    record.RightHistory = Items(owners.RightPathBox);
    // Position with the frame, size without it: that is what move() and
    // resize() take back, so a restored window neither drifts nor grows.
    const QWidget &window = owners.Window;
    record.Maximized = window.isMaximized();
    record.WindowLeft = window.x();
    record.WindowTop = window.y();
    record.WindowWidth = window.width();
    record.WindowHeight = window.height();
    record.LeftColumnWidth = grid.ColumnWidth(1);
    record.RightColumnWidth = grid.ColumnWidth(2);
    return record;
}

void ApplySettings(const TSettingsRecord &record, TSettingsField first, TSettingsField last,
                   const TSettingsOwners &owners)
{
    const auto applies = [&](TSettingsField field) { return field >= first && field <= last; };
    TComparisonSession &session = owners.Session;
    TDiffGrid &grid = owners.Grid;

    if (applies(sfLeftDialogFolder))
        owners.LeftDialogFolder = record.LeftDialogFolder;
    if (applies(sfRightDialogFolder))
        owners.RightDialogFolder = record.RightDialogFolder;

    TDiffOptions options = session.Options();
    if (applies(sfIgnoreWhitespace))
        options.IgnoreAllWhiteSpace = record.IgnoreWhitespace;
    if (applies(sfIgnoreWSAmount))
        options.IgnoreWsAmount = record.IgnoreWSAmount;
    if (applies(sfIgnoreLeadingWS))
        options.IgnoreLeadingWhiteSpace = record.IgnoreLeadingWS;
    if (applies(sfIgnoreTrailingWS))
        options.IgnoreTrailingWhiteSpace = record.IgnoreTrailingWS;
    if (applies(sfIgnoreBlankLines))
        options.IgnoreBlankLines = record.IgnoreBlankLines;
    if (applies(sfIgnoreCase))
        options.IgnoreCase = record.IgnoreCase;
    session.SetOptions(options);

    if (applies(sfShowLineNumbers)) {
        grid.SetLineNumbersVisible(record.ShowLineNumbers);
        owners.LineNumbersCaption.setVisible(record.ShowLineNumbers);
    }
    if (applies(sfShowGridLines))
        grid.SetShowGridLines(record.ShowGridLines);

    if (applies(sfGridFontColor))
        owners.GridFontColor = record.GridFontColor;
    if (applies(sfGridFontSize) || applies(sfGridFontName)) {
        // Only face and size are taken: bold, italic and the like never
        // reach the grid.
        QFont font = grid.GridFont();
        if (applies(sfGridFontSize))
            font.setPointSize(record.GridFontSize);
        if (applies(sfGridFontName))
            font.setFamily(record.GridFontName);
        grid.SetGridFont(font);
        grid.AdjustAllRowHeights();
    }

    if (applies(sfColorAddedLines))
        session.fColorAddedLines = record.ColorAddedLines;
    if (applies(sfColorRemovedLines))
        session.fColorRemovedLines = record.ColorRemovedLines;
    if (applies(sfColorChangedLines))
        session.fColorChangedLines = record.ColorChangedLines;
    if (applies(sfColorDifferentTextInLine))
        session.fColorDifferentTextInLine = record.ColorDifferentTextInLine;
    grid.SetRowColors(session.fColorAddedLines, session.fColorRemovedLines, session.fColorChangedLines,
                      session.fColorDifferentTextInLine);

    if (applies(sfLeftHistoryCount))
        SetItems(owners.LeftPathBox, record.LeftHistory);
    if (applies(sfRightHistoryCount))
        SetItems(owners.RightPathBox, record.RightHistory);

    QWidget &window = owners.Window;
    if (applies(sfMaximized) && record.Maximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    // The reader takes the four bounds together; they are applied as they
    // stand, on a screen or not.
    if (applies(sfWindowHeight) && !window.isMaximized()) {
        window.move(record.WindowLeft, record.WindowTop);
        window.resize(record.WindowWidth, record.WindowHeight);
    }

    if (applies(sfLeftColumnWidth))
        grid.SetColumnWidth(1, record.LeftColumnWidth);
    if (applies(sfRightColumnWidth))
        grid.SetColumnWidth(2, record.RightColumnWidth);
}

void LoadSettings(const QString &path, const TSettingsOwners &owners) noexcept
{
    try {
        const std::optional<QByteArray> bytes = ReadSettingsFile(path);
        if (!bytes) {
            CentreOnScreen(owners.Window);
            return;
        }
        TSettingsRecord record;
        const TSettingsField last = ReadSettingsRecord(*bytes, record);
        ApplySettings(record, sfHeader, last, owners);
    } catch (...) {
        // The settings keep what they had; a settings file never stops the program.
    }
}

void SaveSettings(const QString &path, const TSettingsOwners &owners) noexcept
{
    try {
        WriteSettingsFile(path, WriteSettingsRecord(CollectSettings(owners)));
    } catch (...) {
        // As for any other write failure: the previous file stays.
    }
}
