// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <cstdint>
#include <vector>

/// Line keys replaced by dense ids: two keys get the same id exactly when
/// they are identical code unit for code unit. Ids run 0..DistinctCount-1.
struct TInternedKeys {
    std::vector<std::int32_t> Left;
    std::vector<std::int32_t> Right;
    std::int32_t DistinctCount = 0;
};

/// Interns the keys of both sides in one table, so the alignment compares
/// integers instead of strings.
TInternedKeys InternKeys(const QStringList &leftKeys, const QStringList &rightKeys);
