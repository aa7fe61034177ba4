// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridLayout.h"

#include <algorithm>
#include <cstdlib>

std::int32_t HalveRoundingToEven(std::int32_t value)
{
    // Floor division keeps negative values right as well.
    std::int32_t q = value / 2;
    if (value % 2 != 0 && value < 0)
        --q;
    const bool tie = value - 2 * q != 0;
    return tie && q % 2 != 0 ? q + 1 : q;
}

std::int32_t BaseRowHeightFor(std::int32_t textHeight)
{
    return textHeight + 2 * kCellTextMargin;
}

std::int32_t HeaderRowHeightFor(std::int32_t baseRowHeight)
{
    return HalveRoundingToEven(3 * baseRowHeight);
}

std::int32_t TextLayoutWidth(std::int32_t columnWidth)
{
    return std::max(1, columnWidth - 2 * kCellTextMargin);
}

std::int32_t RowHeightFor(std::int32_t baseRowHeight, std::int32_t tallestTextHeight)
{
    if (tallestTextHeight <= 0)
        return baseRowHeight;
    return std::max(baseRowHeight, tallestTextHeight + 2 * kCellTextMargin);
}

std::int32_t Column1WidthAfterResize(std::int32_t gridWidth, std::int32_t column0Width)
{
    return std::max(0, HalveRoundingToEven(gridWidth - column0Width));
}

TPathBoxGeometry ComputePathBoxGeometry(const TPathBoxInputs &in)
{
    // The gaps are the window design's: 10 before each box, 2 between box
    // and button, and room after each button for the column border (and the
    // scroll bar on the right).
    TPathBoxGeometry g;
    g.Column2Width = std::max(0, in.GridWidth - in.Column1Width - in.Column0Width
                                     - (in.GettingStartedVisible ? 0 : 20));
    g.LeftBoxLeft = in.Column0Width + 10;
    g.LeftBoxWidth = std::max(0, in.Column1Width - in.BrowseLeftWidth - 20);
    g.LeftBrowseLeft = g.LeftBoxLeft + g.LeftBoxWidth + 2;
    g.RightBoxLeft = in.Column0Width + in.Column1Width + 10;
    g.RightBoxWidth = std::max(0, g.Column2Width - in.BrowseRightWidth - 50);
    g.RightBrowseLeft = g.RightBoxLeft + g.RightBoxWidth + 2;
    return g;
}

bool TAlignedColumnWidths::Update(std::int32_t column1Width, std::int32_t column2Width)
{
    if (column1Width == iColWidth1 && column2Width == iColWidth2)
        return false;
    iColWidth1 = column1Width;
    iColWidth2 = column2Width;
    return true;
}

bool PressGrabsColumnBorder(int gridRow, int x, const QList<int> &columnRightEdges)
{
    if (gridRow != 0)
        return false;
    // Every border but the grid's right end can be dragged.
    for (qsizetype c = 0; c + 1 < columnRightEdges.size(); ++c) {
        if (std::abs(x - columnRightEdges[c]) <= kColumnBorderGrip)
            return true;
    }
    return false;
}
