// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

#include <cstdint>

// The grid's sizing rules as plain arithmetic, so the window and the grid
// apply them and tests check them without any widget. All values are pixels.

/// Width of the row-number column while line numbers are shown (0 when hidden).
inline constexpr int kLineNumberColumnWidth = 120;
/// Widths of columns 0, 1 and 2 before the first resize of the window.
inline constexpr int kDesignColumnWidths[3] = {100, 432, 573};
/// Text inside a cell keeps this distance from every edge of the cell.
inline constexpr int kCellTextMargin = 2;
/// How far (either side) from a header border a press still counts as
/// grabbing that border.
inline constexpr int kColumnBorderGrip = 4;

/// `value` / 2 rounded to the nearest integer, halves to the even
/// neighbour (881 -> 440, 883 -> 442, 63 -> 32, 69 -> 34).
std::int32_t HalveRoundingToEven(std::int32_t value);

/// The default row height: the text height of "Wg" plus 4.
std::int32_t BaseRowHeightFor(std::int32_t textHeight);

/// The header row: 1.5 times the base row height, halves to even
/// (21 -> 32, 23 -> 34).
std::int32_t HeaderRowHeightFor(std::int32_t baseRowHeight);

/// Width available to word-wrapped text in a column of `columnWidth`:
/// the width less both margins, never below 1.
std::int32_t TextLayoutWidth(std::int32_t columnWidth);

/// A data row's height: the tallest wrapped text of its cells plus both
/// margins, never below `baseRowHeight`. `tallestTextHeight` is 0 when
/// every text cell of the row is empty.
std::int32_t RowHeightFor(std::int32_t baseRowHeight, std::int32_t tallestTextHeight);

/// Column 1's width after the window was resized: half of what column 0
/// leaves of `gridWidth`, halves to even; 0 when column 0 takes it all.
std::int32_t Column1WidthAfterResize(std::int32_t gridWidth, std::int32_t column0Width);

/// What the path-box alignment reads.
struct TPathBoxInputs {
    std::int32_t Column0Width = 0;
    std::int32_t Column1Width = 0;
    /// The grid widget's outer width.
    std::int32_t GridWidth = 0;
    std::int32_t BrowseLeftWidth = 0;
    std::int32_t BrowseRightWidth = 0;
    /// The getting-started panel is still shown (no comparison yet); once
    /// it is gone the vertical scroll bar takes 20 pixels from column 2.
    bool GettingStartedVisible = true;
};

/// Where the alignment puts column 2 and the path row; x values are in the
/// grid's coordinates (0 = the grid's left edge).
struct TPathBoxGeometry {
    std::int32_t Column2Width = 0;
    std::int32_t LeftBoxLeft = 0;
    std::int32_t LeftBoxWidth = 0;
    std::int32_t LeftBrowseLeft = 0;
    std::int32_t RightBoxLeft = 0;
    std::int32_t RightBoxWidth = 0;
    std::int32_t RightBrowseLeft = 0;

    friend bool operator==(const TPathBoxGeometry &, const TPathBoxGeometry &) = default;
};

/// Column 2 fills the rest of the grid; each path box spans its text column
/// less its browse button and a gap, the button right after the box. Widths
/// that would be negative (a very narrow window) are 0.
TPathBoxGeometry ComputePathBoxGeometry(const TPathBoxInputs &in);

/// The text columns' widths as the last alignment saw them (`iColWidth1`,
/// `iColWidth2`); both 0 at start, so the first check always aligns.
struct TAlignedColumnWidths {
    std::int32_t iColWidth1 = 0;
    std::int32_t iColWidth2 = 0;

    /// True, and remembers the new widths, when either differs from the
    /// remembered one; false when both are unchanged (nothing to align).
    bool Update(std::int32_t column1Width, std::int32_t column2Width);
};

/// True when a left press at `x` in grid row `gridRow` grabs a column
/// border: the row is the header and `x` lies at most kColumnBorderGrip
/// pixels from the right edge of a column other than the last.
/// `columnRightEdges` holds each column's right edge (exclusive: left +
/// width), in the same coordinates as `x`.
bool PressGrabsColumnBorder(int gridRow, int x, const QList<int> &columnRightEdges);
