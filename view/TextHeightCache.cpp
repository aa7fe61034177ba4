// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextHeightCache.h"

#include <algorithm>

TTextHeightCache::TTextHeightCache(int widthsPerColumn)
    : FWidthsPerColumn(std::max(1, widthsPerColumn))
{
}

void TTextHeightCache::Reset(int rowCount)
{
    FRowCount = std::max(0, rowCount);
    for (auto &entries : FEntries)
        entries.clear();
}

void TTextHeightCache::ForgetCell(int modelRow, int column)
{
    if (column < 1 || column > 2 || modelRow < 0 || modelRow >= FRowCount)
        return;
    for (const auto &entry : FEntries[column - 1])
        entry->Heights[std::size_t(modelRow)] = kUnknownHeight;
}

std::vector<int> &TTextHeightCache::Heights(int column, int layoutWidth, const QFont &font)
{
    auto &entries = FEntries[std::clamp(column, 1, 2) - 1];
    ++FUseClock;
    for (const auto &entry : entries) {
        if (entry->LayoutWidth == layoutWidth && entry->Font == font) {
            entry->LastUse = FUseClock;
            return entry->Heights;
        }
    }
    if (int(entries.size()) >= FWidthsPerColumn) {
        const auto oldest = std::min_element(entries.begin(), entries.end(),
                                             [](const auto &a, const auto &b) { return a->LastUse < b->LastUse; });
        entries.erase(oldest);
    }
    auto entry = std::make_unique<TEntry>();
    entry->LayoutWidth = layoutWidth;
    entry->Font = font;
    entry->LastUse = FUseClock;
    entry->Heights.assign(std::size_t(FRowCount), kUnknownHeight);
    entries.push_back(std::move(entry));
    return entries.back()->Heights;
}
