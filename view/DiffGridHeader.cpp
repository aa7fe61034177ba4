// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffGridHeader.h"

#include "GridLayout.h"
#include "GridLines.h"

#include <QPainter>
#include <QStyleOption>

TDiffGridHeader::TDiffGridHeader(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionsMovable(false);
    setStretchLastSection(false);
    setMinimumSectionSize(0);
    setSectionResizeMode(QHeaderView::Interactive);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TDiffGridHeader::SetRowHeight(int height)
{
    setFixedHeight(height);
}

void TDiffGridHeader::SetShowHorizontalLines(bool show)
{
    FShowHorizontalLines = show;
    viewport()->update();
}

void TDiffGridHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    painter->save();
    painter->setClipRect(rect);
    painter->fillRect(rect, palette().color(QPalette::Button));

    QFont bold = font();
    bold.setBold(true);
    painter->setFont(bold);
    painter->setPen(palette().color(QPalette::Text));
    const QString caption = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    painter->drawText(rect.adjusted(kCellTextMargin, kCellTextMargin, -kCellTextMargin, -kCellTextMargin),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);

    QStyleOptionHeader option;
    initStyleOption(&option);
    const QColor lineColor = QColor::fromRgba(QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    DrawCellGridLines(*painter, rect, FShowHorizontalLines, lineColor);
    painter->restore();
}
