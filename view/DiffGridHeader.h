// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHeaderView>

/// The grid's header row (grid row 0): button-face cells with bold
/// window-text captions (the model gives none; the path boxes lie over the
/// row), vertical lines always and a bottom line with the grid lines.
/// Its height is set, not derived from the font.
class TDiffGridHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit TDiffGridHeader(QWidget *parent = nullptr);

    /// The row's height in pixels.
    void SetRowHeight(int height);
    void SetShowHorizontalLines(bool show);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    bool FShowHorizontalLines = true;
};
