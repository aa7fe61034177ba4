// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyInterning.h"

#include <QHashFunctions>

#include <algorithm>
#include <bit>

namespace {

// The distinct keys as caller-chosen handles, found by open addressing with
// linear probing. A slot keeps the key's hash so most probes never touch the
// strings; equal hashes are confirmed by content, the caller giving the key
// of a handle.
class TKeyTable
{
public:
    // Room for `maxKeys` keys with the table at most half full.
    explicit TKeyTable(std::size_t maxKeys)
    {
        FSlots.assign(std::bit_ceil(std::max<std::size_t>(16, maxKeys * 2)), TSlot{});
        FMask = FSlots.size() - 1;
    }

    // 32 bits of the hash keep a slot at 8 bytes; equal hashes are confirmed anyway.
    static std::uint32_t Hash(QStringView key) { return std::uint32_t(qHash(key, std::size_t(0x5eed))); }

    // Starts loading the slot where the search for `hash` begins, so that
    // searches for a batch of keys wait for memory together, not in turn.
    void Prefetch([[maybe_unused]] std::uint32_t hash) const
    {
#if defined(__GNUC__)
        __builtin_prefetch(&FSlots[hash & FMask]);
#endif
    }

    // The handle of the key equal to `key`, whose Hash is `hash`; when there
    // is none yet, `key` joins the table as `newHandle`, which is returned.
    template<typename KeyOfHandle>
    std::int32_t HandleOf(QStringView key, std::uint32_t hash, std::int32_t newHandle, KeyOfHandle keyOfHandle)
    {
        std::size_t index = hash & FMask;
        for (; FSlots[index].Handle >= 0; index = (index + 1) & FMask) {
            const TSlot &slot = FSlots[index];
            if (slot.Hash == hash && QStringView(keyOfHandle(slot.Handle)) == key)
                return slot.Handle;
        }
        FSlots[index] = {hash, newHandle};
        return newHandle;
    }

private:
    struct TSlot {
        std::uint32_t Hash = 0;
        std::int32_t Handle = -1;
    };

    // Probed at random all over: worth huge pages once it is large.
    using TSlots = std::vector<TSlot, THugePageAllocator<TSlot>>;

    TSlots FSlots;
    std::size_t FMask = 0;
};

// Calls `intern(index, hash)` for every key in order, hashing a batch of
// keys ahead and prefetching their slots: the table is probed at random and
// mostly missing from the cache.
template<typename Intern>
void ForEachHashed(const TKeyTable &table, const QStringList &keys, Intern intern)
{
    constexpr std::int32_t BatchSize = 16;
    std::uint32_t hashes[BatchSize];
    const auto count = std::int32_t(keys.size());
    for (std::int32_t first = 0; first < count; first += BatchSize) {
        const std::int32_t size = std::min(BatchSize, count - first);
        for (std::int32_t at = 0; at < size; ++at) {
            hashes[at] = TKeyTable::Hash(keys[first + at]);
            table.Prefetch(hashes[at]);
        }
        for (std::int32_t at = 0; at < size; ++at)
            intern(first + at, hashes[at]);
    }
}

// Room for every key to be distinct: a large table costs little more than
// a small one, its pages being filled 2 MB at a time, and never needs to grow.
std::size_t MaxKeys(const QStringList &left, const QStringList &right)
{
    return std::size_t(left.size()) + std::size_t(right.size());
}

} // namespace

TInternedKeys InternKeys(const QStringList &leftKeys, const QStringList &rightKeys)
{
    // A key's handle is the place of its first occurrence, left keys first:
    // that key is the one compared with, and its id is already known.
    const auto leftCount = std::int32_t(leftKeys.size());
    TInternedKeys result;
    result.Left.reserve(std::size_t(leftKeys.size()));
    result.Right.reserve(std::size_t(rightKeys.size()));
    const auto keyAt = [&](std::int32_t place) -> const QString & {
        return place < leftCount ? leftKeys[place] : rightKeys[place - leftCount];
    };
    const auto idAt = [&](std::int32_t place) {
        return place < leftCount ? result.Left[std::size_t(place)] : result.Right[std::size_t(place - leftCount)];
    };
    TKeyTable table(MaxKeys(leftKeys, rightKeys));
    const auto intern = [&](const QStringList &keys, TKeyIds &ids, std::int32_t firstPlace) {
        ForEachHashed(table, keys, [&](std::int32_t at, std::uint32_t hash) {
            const std::int32_t place = firstPlace + at;
            const std::int32_t found = table.HandleOf(keys[at], hash, place, keyAt);
            ids.push_back(found == place ? result.DistinctCount++ : idAt(found));
        });
    };
    intern(leftKeys, result.Left, 0);
    intern(rightKeys, result.Right, leftCount);
    return result;
}

TInternedKeys InternKeys(const QStringList &leftLines, const QStringList &rightLines,
                         const std::function<QString(const QString &)> &keyOf)
{
    // A key's handle is its id. Only the first key of each id is kept; the
    // others are dropped at once, so only the distinct keys are ever held.
    std::vector<QString> keyOfId;
    const auto keyOfHandle = [&keyOfId](std::int32_t id) -> const QString & { return keyOfId[std::size_t(id)]; };
    TKeyTable table(MaxKeys(leftLines, rightLines));
    TInternedKeys result;
    const auto intern = [&](const QStringList &lines, TKeyIds &ids) {
        ids.reserve(std::size_t(lines.size()));
        for (const QString &line : lines) {
            QString key = keyOf(line);
            const std::int32_t id = table.HandleOf(key, TKeyTable::Hash(key), result.DistinctCount, keyOfHandle);
            if (id == result.DistinctCount) {
                keyOfId.push_back(std::move(key));
                ++result.DistinctCount;
            }
            ids.push_back(id);
        }
    };
    intern(leftLines, result.Left);
    intern(rightLines, result.Right);
    return result;
}
