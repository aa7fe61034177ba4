// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyInterning.h"

#include <QHashFunctions>

#include <bit>

namespace {

// Open addressing with linear probing; a slot keeps the full hash so most
// probes never touch the strings, and equal hashes are confirmed by content.
class TKeyTable
{
public:
    explicit TKeyTable(qsizetype expectedKeys)
    {
        const auto capacity = std::bit_ceil(std::max<std::size_t>(16, std::size_t(expectedKeys) * 2));
        FMask = capacity - 1;
        FSlots.assign(capacity, TSlot{});
    }

    std::int32_t IdOf(const QString &key)
    {
        // 32 bits of the hash keep a slot at 8 bytes; equal hashes are confirmed anyway.
        const auto hash = std::uint32_t(qHash(QStringView(key), std::size_t(0x5eed)));
        for (std::size_t index = hash & FMask;; index = (index + 1) & FMask) {
            TSlot &slot = FSlots[index];
            if (slot.Id < 0) {
                slot.Id = std::int32_t(FRepresentatives.size());
                slot.Hash = hash;
                FRepresentatives.push_back(&key);
                return slot.Id;
            }
            if (slot.Hash == hash && *FRepresentatives[std::size_t(slot.Id)] == key)
                return slot.Id;
        }
    }

    std::int32_t DistinctCount() const { return std::int32_t(FRepresentatives.size()); }

private:
    struct TSlot {
        std::uint32_t Hash = 0;
        std::int32_t Id = -1;
    };
    std::vector<TSlot> FSlots;
    std::vector<const QString *> FRepresentatives;
    std::size_t FMask = 0;
};

void InternInto(TKeyTable &table, const QStringList &keys, std::vector<std::int32_t> &ids)
{
    ids.reserve(std::size_t(keys.size()));
    for (const QString &key : keys)
        ids.push_back(table.IdOf(key));
}

} // namespace

TInternedKeys InternKeys(const QStringList &leftKeys, const QStringList &rightKeys)
{
    TKeyTable table(leftKeys.size() + rightKeys.size());
    TInternedKeys result;
    InternInto(table, leftKeys, result.Left);
    InternInto(table, rightKeys, result.Right);
    result.DistinctCount = table.DistinctCount();
    return result;
}
