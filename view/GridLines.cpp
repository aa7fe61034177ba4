// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridLines.h"

#include <QColor>
#include <QPainter>
#include <QRect>

void DrawCellGridLines(QPainter &painter, const QRect &cell, bool horizontalLines, const QColor &color)
{
    // fillRect rather than lines: exact pixels whatever the pen.
    painter.fillRect(QRect(cell.right(), cell.top(), 1, cell.height()), color);
    if (horizontalLines)
        painter.fillRect(QRect(cell.left(), cell.bottom(), cell.width(), 1), color);
}
