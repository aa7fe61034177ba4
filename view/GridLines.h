// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QColor;
class QPainter;
class QRect;

/// The lines between cells, drawn over a cell's own right and bottom pixel
/// rows: the vertical line always, the horizontal one only when
/// `horizontalLines` (the "Show Grid Lines" setting).
void DrawCellGridLines(QPainter &painter, const QRect &cell, bool horizontalLines, const QColor &color);
