// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

#include <cstdint>
#include <memory>
#include <vector>

/// The measured heights of the grid's cell texts, kept per text column,
/// layout width and font, so that going back to an earlier width, or
/// repainting, lays no text out again. Heights are pixels, one per model
/// row; an empty text has height 0.
class TTextHeightCache
{
public:
    /// Marks a cell not measured yet at that width.
    static constexpr int kUnknownHeight = -1;

    /// Keeps at most `widthsPerColumn` (at least 1) layout widths per text
    /// column, forgetting the least recently asked for.
    explicit TTextHeightCache(int widthsPerColumn = 8);

    /// Forgets every height and sizes the cache for `rowCount` model rows.
    void Reset(int rowCount);
    /// Forgets one cell's height at every width and font, as after an edit
    /// of its text. Rows and columns outside the cache are ignored.
    void ForgetCell(int modelRow, int column);
    /// The heights of text column `column` (1 or 2) laid out `layoutWidth`
    /// pixels wide in `font`: one per model row, kUnknownHeight where not
    /// measured yet; created empty when new. The reference stays valid
    /// until the next Reset, or until this column has been asked for that
    /// many other widths that this entry is the least recently used.
    std::vector<int> &Heights(int column, int layoutWidth, const QFont &font);

private:
    struct TEntry {
        int LayoutWidth = 0;
        QFont Font;
        std::uint64_t LastUse = 0;
        std::vector<int> Heights;
    };

    int FWidthsPerColumn;
    int FRowCount = 0;
    std::uint64_t FUseClock = 0;
    // Entries are held by pointer, so a reference handed out survives
    // later insertions.
    std::vector<std::unique_ptr<TEntry>> FEntries[2];
};
