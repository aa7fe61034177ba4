// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

/// An allocator for large arrays that are filled at once and then read all
/// over, such as hash tables and the engine's per-line arrays. Blocks of
/// 256 KB and more get their own mapping, aligned and sized to 2 MB and
/// offered to the system for 2 MB pages: the first touch then costs one page
/// fault per 2 MB instead of one per 4 KB (a fault costs far more than
/// clearing the page, above all in virtual machines), and random reads miss
/// the address cache less. Where the system has no such pages the mapping
/// behaves as ordinary memory; smaller blocks come from std::allocator.
template<typename T>
class THugePageAllocator
{
public:
    using value_type = T;

    THugePageAllocator() = default;
    template<typename U>
    THugePageAllocator(const THugePageAllocator<U> &) noexcept
    {
    }

    T *allocate(std::size_t count)
    {
#ifdef __linux__
        if (count * sizeof(T) >= MappedFrom) {
            // Mapped with a huge page to spare, then trimmed to the aligned part.
            const std::size_t size = MappedSize(count);
            void *mapped = mmap(nullptr, size + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (mapped == MAP_FAILED)
                throw std::bad_alloc();
            const auto start = std::uintptr_t(mapped);
            const auto aligned = (start + HugePage - 1) & ~std::uintptr_t(HugePage - 1);
            if (aligned > start)
                munmap(mapped, aligned - start);
            if (const std::size_t tail = start + HugePage - aligned; tail > 0)
                munmap(reinterpret_cast<void *>(aligned + size), tail);
            madvise(reinterpret_cast<void *>(aligned), size, MADV_HUGEPAGE); // only advice: failing is harmless
            return reinterpret_cast<T *>(aligned);
        }
#endif
        return std::allocator<T>().allocate(count);
    }

    void deallocate(T *block, std::size_t count) noexcept
    {
#ifdef __linux__
        if (count * sizeof(T) >= MappedFrom) {
            munmap(block, MappedSize(count));
            return;
        }
#endif
        std::allocator<T>().deallocate(block, count);
    }

    friend bool operator==(const THugePageAllocator &, const THugePageAllocator &) { return true; }

private:
    static constexpr std::size_t HugePage = std::size_t(2) << 20;
    static constexpr std::size_t MappedFrom = std::size_t(256) << 10;

    static std::size_t MappedSize(std::size_t count)
    {
        return (count * sizeof(T) + HugePage - 1) & ~(HugePage - 1);
    }
};

/// 32-bit integers, one per line, held in huge pages once there are many.
using TLargeInt32Vector = std::vector<std::int32_t, THugePageAllocator<std::int32_t>>;
