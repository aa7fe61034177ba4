// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffGridDelegate.h"

#include "CellPainting.h"
#include "ColorValue.h"
#include "DiffGridModel.h"
#include "GridLines.h"
#include "translation.h"

#include <QAbstractItemView>
#include <QPainter>

using namespace Qt::StringLiterals;

TDiffGridDelegate::TDiffGridDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void TDiffGridDelegate::SetRowColors(TColorValue added, TColorValue removed, TColorValue changed,
                                     TColorValue differentText)
{
    FColorAddedLines = added;
    FColorRemovedLines = removed;
    FColorChangedLines = changed;
    FColorDifferentTextInLine = differentText;
}

void TDiffGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    const auto *model = qobject_cast<const TDiffGridModel *>(index.model());
    if (!model)
        return;
    const int row = index.row();
    const int column = index.column();
    const QRect cell = option.rect;
    const QPalette &palette = option.palette;

    QColor back;
    switch (model->Kind(row)) {
    case dkLeftOnly:
        back = ColorFromValue(FColorAddedLines, palette);
        break;
    case dkRightOnly:
        back = ColorFromValue(FColorRemovedLines, palette);
        break;
    case dkDifferent:
        back = ColorFromValue(FColorChangedLines, palette);
        break;
    case dkEqual:
        back = palette.color(QPalette::Base);
        break;
    }
    const QColor textColor = palette.color(QPalette::Text);
    const QColor highlightBack = ColorFromValue(FColorDifferentTextInLine, palette);

    painter->save();
    // A single row may be repainted alone: nothing may spill into the next one.
    painter->setClipRect(cell);
    painter->setFont(option.font);
    painter->fillRect(cell, back);

    QString text = model->CellText(row, column);
    if (model->IsHighlightedCell(row, column)) {
        DrawHighlightedText(*painter, cell, text, model->HighlightRanges(row, column), textColor, back,
                            textColor, highlightBack);
    } else {
        const bool isNew = model->FolderMode() && (column == 1 || column == 2) && TakeNewMarker(text);
        DrawPlainText(*painter, cell, text, textColor);
        if (isNew)
            DrawNewBadge(*painter, cell, Translate(u"new"_s), highlightBack);
    }

    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : nullptr;
    const QColor lineColor = style ? QColor::fromRgba(QRgb(style->styleHint(QStyle::SH_Table_GridLineColor,
                                                                            &option, widget)))
                                   : palette.color(QPalette::Mid);
    DrawCellGridLines(*painter, cell, FShowHorizontalLines, lineColor);

    const auto *view = qobject_cast<const QAbstractItemView *>(widget);
    if (view && view->currentIndex().isValid() && view->currentIndex().row() == row)
        DrawRowFrame(*painter, cell, column == 0, column == model->columnCount() - 1, textColor);
    painter->restore();
}
