// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ComparisonSession.h"

#include <QStyledItemDelegate>

/// Paints the data cells of the diff grid: the row colour of the item's
/// kind, the text word-wrapped (changed lines with their differing words
/// highlighted), the "new" badge of folder mode, the grid lines and the
/// frame around the view's current row. The selection state is ignored:
/// only the frame marks the current row. Works on a TDiffGridModel.
class TDiffGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit TDiffGridDelegate(QObject *parent = nullptr);

    /// Backgrounds of left-only, right-only and changed rows and of the
    /// differing words, as 0x00BBGGRR values.
    void SetRowColors(TColorValue added, TColorValue removed, TColorValue changed, TColorValue differentText);
    /// Horizontal lines between rows; vertical lines are always drawn.
    void SetShowHorizontalLines(bool show) { FShowHorizontalLines = show; }
    bool ShowHorizontalLines() const { return FShowHorizontalLines; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TColorValue FColorAddedLines = 0x00FFF0E0;
    TColorValue FColorRemovedLines = 0x00E0F0FF;
    TColorValue FColorChangedLines = 0x00E0E0FF;
    TColorValue FColorDifferentTextInLine = 0x0000FFFF;
    bool FShowHorizontalLines = true;
};
